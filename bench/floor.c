/* bench_floor: the least work that writes the files pixwright-cli writes, as
   the yardstick of bench/run.sh. Plain C on libpng: one decode, memcpy-style
   cuts, 2x doubling by row copies, and the saver's own libpng calls, so that
   what remains of the converter's time over this is its own overhead.

     bench_floor chipset IN.png OUTDIR NAME [--key RRGGBB] [--filter none|default]
     bench_floor charset IN.png OUTDIR NAME [--key RRGGBB] [--filter none|default]
     bench_floor single  IN.png OUTDIR NAME [--key RRGGBB] [--filter none|default]
     bench_floor batch   OUTDIR IN.png... [--key RRGGBB] [--filter none|default]
     bench_floor dump    PNGDIR RAWDIR
     bench_floor encode  RAWDIR OUTDIR [--filter none|default]
     bench_floor compare DIR_A DIR_B

   chipset and charset write, pixel for pixel, the 54 or 24 files of
     pixwright-cli -o OUTDIR --name NAME --mode chipset|charset --interpolation nearest
                   --sharpen 0 --no-alpha-grid --format png --key RRGGBB IN.png
   single the one file of the same call with --mode nogrid --outputs natural.
   batch converts each input as the automatic mode does (480 x 256 chipset,
   288 x 256 charset, any other size one cell with all three files), named
   after the input. The key defaults to 007575; --filter none asks libpng for
   the None row filter only, default leaves the choice to libpng.

   dump decodes every .png of PNGDIR into RAWDIR/NAME.raw: the rows as stored
   with the colour type, bit depth, palette, tRNS and sBIT, so that encode
   writes from them the equivalent PNG with the saver's settings, measuring
   libpng alone on exactly the converter's output.

   compare decodes every .png of DIR_A and the file of the same name in DIR_B
   to 8-bit RGBA and reports each difference: pixels, size, colour type and bit
   depth, files missing on either side. With --pixels the colour type and bit
   depth may differ (a palette file against an RGBA one of the same pixels).

   Exit status: 0 done (compare: no difference), 1 some picture failed
   (compare: a difference), 2 bad command line. */
#define _POSIX_C_SOURCE 200809L

#include <png.h>

#include <dirent.h>
#include <errno.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>

/* The converter refuses pictures past these sizes; the floor does the same. */
enum { maxSourceWidth = 8191, maxSourceHeight = 16383 };

enum { chipsetWidth = 480, chipsetHeight = 256, charsetWidth = 288, charsetHeight = 256 };

/* One pixel of a cell as four bytes R, G, B, A in memory order: the layout
   of the engine's 32-bit pictures, compared byte for byte. */
typedef uint32_t Pixel;

static Pixel makePixel(uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    const uint8_t bytes[4] = {r, g, b, a};
    Pixel p;
    memcpy(&p, bytes, sizeof p);
    return p;
}

typedef struct {
    char text[512];
    char warning[128]; /* libpng's last warning, often the reason for its error */
} Message;

static void setMessage(Message* m, const char* what, const char* detail)
{
    snprintf(m->text, sizeof m->text, "%s%s%s", what, detail ? ": " : "", detail ? detail : "");
}

/* ------------------------------------------------------------------ files */

static int endsWith(const char* text, const char* tail)
{
    const size_t n = strlen(text), m = strlen(tail);
    return n > m && strcmp(text + n - m, tail) == 0;
}

static int compareNames(const void* a, const void* b)
{
    return strcmp(*(char* const*)a, *(char* const*)b);
}

typedef struct {
    char** names;
    size_t count;
} NameList;

static void freeNames(NameList* list)
{
    for (size_t i = 0; i < list->count; ++i)
        free(list->names[i]);
    free(list->names);
    list->names = NULL;
    list->count = 0;
}

/* The regular-looking entries of folder ending in extension, in byte order
   of their names (the converter's folder order). */
static int listFolder(const char* folder, const char* extension, NameList* list, Message* error)
{
    list->names = NULL;
    list->count = 0;
    DIR* dir = opendir(folder);
    if (dir == NULL) {
        setMessage(error, "cannot read the folder", strerror(errno));
        return -1;
    }
    size_t capacity = 0;
    struct dirent* entry;
    while ((entry = readdir(dir)) != NULL) {
        if (entry->d_name[0] == '.' || !endsWith(entry->d_name, extension))
            continue;
        if (list->count == capacity) {
            capacity = capacity ? 2 * capacity : 64;
            char** grown = realloc(list->names, capacity * sizeof *grown);
            if (grown == NULL)
                break;
            list->names = grown;
        }
        if ((list->names[list->count] = strdup(entry->d_name)) == NULL)
            break;
        ++list->count;
    }
    const int failed = entry != NULL;
    closedir(dir);
    if (failed) {
        freeNames(list);
        setMessage(error, "out of memory listing the folder", NULL);
        return -1;
    }
    qsort(list->names, list->count, sizeof *list->names, compareNames);
    return 0;
}

/* The output folder is made when missing, as the converter does. */
static int ensureFolder(const char* folder, Message* error)
{
    struct stat st;
    if (stat(folder, &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return 0;
        setMessage(error, "exists and is not a folder", NULL);
        return -1;
    }
    if (mkdir(folder, 0777) != 0) {
        setMessage(error, "cannot create the folder", strerror(errno));
        return -1;
    }
    return 0;
}

static void joinPath(char* out, size_t size, const char* folder, const char* name)
{
    snprintf(out, size, "%s/%s", folder, name);
}

/* The file name without its folder and without the text from its last dot,
   as the converter names its output after the input. */
static void stemOf(const char* path, char* out, size_t size)
{
    const char* slash = strrchr(path, '/');
    const char* base = slash ? slash + 1 : path;
    const char* dot = strrchr(base, '.');
    size_t n = dot && dot != base ? (size_t)(dot - base) : strlen(base);
    if (n >= size)
        n = size - 1;
    memcpy(out, base, n);
    out[n] = '\0';
}

/* ------------------------------------------------------------ PNG reading */

/* A decoded PNG. Rows are rowBytes apart in pixels. In Converter mode the key
   fields say which pixels SDL's colour key marks. */
typedef struct {
    png_uint_32 width, height;
    int colorType, bitDepth;         /* of the rows as read */
    int fileColorType, fileBitDepth; /* as stored in the file */
    size_t rowBytes;
    png_bytep pixels;
    png_color palette[256];
    int paletteCount;
    png_byte trans[256];
    int transCount;
    png_color_16 transColour;
    int hasTransColour;
    png_color_8 sig;
    int hasSig;
} PngImage;

typedef enum {
    AsStored,   /* the samples as in the file; bit depths below 8 one per byte */
    AsRgba,     /* 8-bit RGBA, for comparing */
    AsConverter /* what SDL_image 1.2 hands the converter: indices, RGB or RGBA */
} ReadMode;

typedef struct {
    FILE* file;
    png_structp png;
    png_infop info;
    png_bytepp rows;
    PngImage* image;
    ReadMode mode;
    Message* error;
} ReadJob;

static void pngError(png_structp png, png_const_charp text)
{
    Message* error = png_get_error_ptr(png);
    char detail[256];
    snprintf(detail, sizeof detail, "%s%s%s%s", text, error->warning[0] ? " (" : "", error->warning,
             error->warning[0] ? ")" : "");
    setMessage(error, "libpng", detail);
    png_longjmp(png, 1);
}

/* Warnings (unknown chunks, a bad CRC in an ancillary chunk) do not stop the
   converter's loader either; the last one is kept for an error after it. */
static void pngWarning(png_structp png, png_const_charp text)
{
    Message* error = png_get_error_ptr(png);
    snprintf(error->warning, sizeof error->warning, "%s", text);
}

/* The converter's loader: 16-bit samples cut to 8, interlacing undone,
   packed indices spread to bytes, grey expanded to 8 bits; a palette whose
   transparency is more than one fully transparent entry becomes an alpha
   channel. A single transparent entry or tRNS colour is only a colour key,
   which the converter's cut ignores: those pixels keep their colours. */
static int converterTransforms(ReadJob* job, int colorType)
{
    png_structp png = job->png;
    png_infop info = job->info;
    png_set_strip_16(png);
    png_set_interlace_handling(png);
    png_set_packing(png);
    if (colorType == PNG_COLOR_TYPE_GRAY)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) {
        png_bytep trans = NULL;
        int count = 0;
        png_color_16p colour = NULL;
        png_get_tRNS(png, info, &trans, &count, &colour);
        if (colorType == PNG_COLOR_TYPE_PALETTE) {
            int j, clear = -1;
            for (j = 0; j < count; ++j) {
                if (trans[j] == 0) {
                    if (clear >= 0)
                        break;
                    clear = j;
                } else if (trans[j] != 255) {
                    break;
                }
            }
            if (j != count)
                png_set_expand(png);
        }
    }
    if (colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    return 0;
}

static void readFromFile(png_structp png, png_bytep data, size_t length)
{
    FILE* file = png_get_io_ptr(png);
    if (fread(data, 1, length, file) != length)
        png_error(png, ferror(file) ? "the file could not be read" : "the file ends before the picture does");
}

static int decodePng(ReadJob* job)
{
    png_structp png = job->png;
    png_infop info = job->info;
    PngImage* image = job->image;
    if (setjmp(png_jmpbuf(png)))
        return -1;
    png_set_read_fn(png, job->file, readFromFile);
    /* The converter's limits for its inputs; its outputs are twice as large. */
    if (job->mode == AsConverter)
        png_set_user_limits(png, maxSourceWidth, maxSourceHeight);
    else
        png_set_user_limits(png, 2 * maxSourceWidth, 2 * maxSourceHeight);
    png_read_info(png, info);

    png_uint_32 width, height;
    int depth, colorType, interlace;
    png_get_IHDR(png, info, &width, &height, &depth, &colorType, &interlace, NULL, NULL);
    image->fileColorType = colorType;
    image->fileBitDepth = depth;

    switch (job->mode) {
    case AsStored: {
        png_set_interlace_handling(png);
        png_set_packing(png);
        png_color_8p sig = NULL;
        if (png_get_sBIT(png, info, &sig)) {
            /* The encoder widens the samples again by the same bits. */
            image->sig = *sig;
            image->hasSig = 1;
            if (colorType != PNG_COLOR_TYPE_PALETTE)
                png_set_shift(png, sig);
        }
        png_colorp palette = NULL;
        int count = 0;
        if (png_get_PLTE(png, info, &palette, &count)) {
            memcpy(image->palette, palette, (size_t)count * sizeof *palette);
            image->paletteCount = count;
        }
        png_bytep trans = NULL;
        png_color_16p colour = NULL;
        if (png_get_tRNS(png, info, &trans, &count, &colour)) {
            if (colorType == PNG_COLOR_TYPE_PALETTE) {
                memcpy(image->trans, trans, (size_t)count);
                image->transCount = count;
            } else {
                image->transColour = *colour;
                image->hasTransColour = 1;
            }
        }
        break;
    }
    case AsRgba:
        png_set_expand(png);
        png_set_strip_16(png);
        png_set_gray_to_rgb(png);
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
        png_set_interlace_handling(png);
        break;
    case AsConverter:
        if (converterTransforms(job, colorType) != 0)
            return -1;
        break;
    }
    png_read_update_info(png, info);
    image->width = width;
    image->height = height;
    image->colorType = png_get_color_type(png, info);
    image->bitDepth = png_get_bit_depth(png, info);
    image->rowBytes = png_get_rowbytes(png, info);
    if (job->mode == AsConverter) {
        png_colorp palette = NULL;
        int count = 0;
        if (image->colorType == PNG_COLOR_TYPE_PALETTE && png_get_PLTE(png, info, &palette, &count)) {
            memcpy(image->palette, palette, (size_t)count * sizeof *palette);
            image->paletteCount = count;
        }
    }

    /* The user limits keep height * rowBytes far below SIZE_MAX. */
    image->pixels = malloc(image->rowBytes * height + 1);
    job->rows = malloc(sizeof *job->rows * (height + 1));
    if (image->pixels == NULL || job->rows == NULL) {
        setMessage(job->error, "out of memory", NULL);
        return -1;
    }
    for (png_uint_32 y = 0; y < height; ++y)
        job->rows[y] = image->pixels + (size_t)y * image->rowBytes;
    png_read_image(png, job->rows);
    /* SDL_image stops after the image data; so does the floor, for the same
       cost, except when reading the whole file for a dump or comparison. */
    if (job->mode != AsConverter)
        png_read_end(png, NULL);
    return 0;
}

static void freeImage(PngImage* image)
{
    free(image->pixels);
    image->pixels = NULL;
}

static int readPng(const char* path, ReadMode mode, PngImage* image, Message* error)
{
    memset(image, 0, sizeof *image);
    error->warning[0] = '\0';
    ReadJob job = {NULL, NULL, NULL, NULL, image, mode, error};
    job.file = fopen(path, "rb");
    if (job.file == NULL) {
        setMessage(error, "cannot open", strerror(errno));
        return -1;
    }
    png_byte signature[8];
    int result = -1;
    if (fread(signature, 1, sizeof signature, job.file) != sizeof signature || png_sig_cmp(signature, 0, 8) != 0) {
        setMessage(error, "not a PNG file", NULL);
    } else if ((job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, error, pngError, pngWarning)) == NULL
               || (job.info = png_create_info_struct(job.png)) == NULL) {
        setMessage(error, "libpng could not be set up", NULL);
    } else {
        rewind(job.file);
        result = decodePng(&job);
    }
    if (job.png != NULL)
        png_destroy_read_struct(&job.png, job.info ? &job.info : NULL, NULL);
    free(job.rows);
    fclose(job.file);
    if (result != 0)
        freeImage(image);
    return result;
}

/* ------------------------------------------------------------ PNG writing */

typedef struct {
    png_uint_32 width, height;
    int colorType, bitDepth;
    png_bytepp rows;
    const png_color* palette;
    int paletteCount;
    const png_byte* trans;
    int transCount;
    const png_color_16* transColour;
    const png_color_8* sig;
    int filter; /* -1: libpng's choice; otherwise PNG_FILTER_* bits */
} PngOutput;

typedef struct {
    FILE* file;
    png_structp png;
    png_infop info;
    Message* error;
} WriteJob;

static void writeToFile(png_structp png, png_bytep data, size_t length)
{
    WriteJob* job = png_get_io_ptr(png);
    if (fwrite(data, 1, length, job->file) != length)
        png_error(png, "write to the file failed");
}

static void flushNothing(png_structp png)
{
    (void)png;
}

/* The saver's calls in the saver's order: zlib's default level, libpng's
   default filters unless told, sBIT with the shift transform for colour
   types other than palette (a no-op at 8 significant bits that libpng still
   runs over every row), PLTE, no interlacing. */
static int encodePng(WriteJob* job, const PngOutput* out)
{
    png_structp png = job->png;
    png_infop info = job->info;
    if (setjmp(png_jmpbuf(png)))
        return -1;
    png_set_write_fn(png, job, writeToFile, flushNothing);
    png_set_compression_level(png, -1);
    png_set_packing(png);
    if (out->sig != NULL) {
        png_set_sBIT(png, info, out->sig);
        /* As the product: eight significant bits need no shift transform. */
        if (out->sig->red < 8 || out->sig->green < 8 || out->sig->blue < 8
            || (out->colorType == PNG_COLOR_TYPE_RGB_ALPHA && out->sig->alpha < 8))
            png_set_shift(png, out->sig);
    }
    png_set_IHDR(png, info, out->width, out->height, out->bitDepth, out->colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (out->paletteCount > 0)
        png_set_PLTE(png, info, out->palette, out->paletteCount);
    if (out->transCount > 0 || out->transColour != NULL)
        png_set_tRNS(png, info, out->trans, out->transCount, out->transColour);
    if (out->filter >= 0)
        png_set_filter(png, PNG_FILTER_TYPE_BASE, out->filter);
    png_write_info(png, info);
    png_write_image(png, out->rows);
    png_write_end(png, NULL);
    return 0;
}

static int writePng(const char* path, const PngOutput* out, Message* error)
{
    WriteJob job = {NULL, NULL, NULL, error};
    error->warning[0] = '\0';
    job.file = fopen(path, "wb");
    if (job.file == NULL) {
        setMessage(error, "cannot create", strerror(errno));
        return -1;
    }
    int result = -1;
    if ((job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, error, pngError, pngWarning)) == NULL
        || (job.info = png_create_info_struct(job.png)) == NULL)
        setMessage(error, "libpng could not be set up", NULL);
    else
        result = encodePng(&job, out);
    if (job.png != NULL)
        png_destroy_write_struct(&job.png, job.info ? &job.info : NULL);
    if (fclose(job.file) != 0 && result == 0) {
        setMessage(error, "cannot finish writing", strerror(errno));
        result = -1;
    }
    return result;
}

/* ------------------------------------------------------- source and cells */

/* The loaded picture as the converter holds it: palette indices (grey
   pictures as indices into 256 greys), RGB or RGBA. */
typedef struct {
    int width, height, channels;
    const png_byte* pixels;
    size_t rowBytes;
    Pixel colours[256]; /* black past the file's palette, as the engine reads it */
} Picture;

static int makePicture(const PngImage* image, Picture* picture, Message* error)
{
    memset(picture, 0, sizeof *picture);
    picture->width = (int)image->width;
    picture->height = (int)image->height;
    picture->pixels = image->pixels;
    picture->rowBytes = image->rowBytes;
    for (int i = 0; i < 256; ++i)
        picture->colours[i] = makePixel(0, 0, 0, 255);
    switch (image->colorType) {
    case PNG_COLOR_TYPE_PALETTE:
        picture->channels = 1;
        for (int i = 0; i < image->paletteCount; ++i) {
            const png_color c = image->palette[i];
            picture->colours[i] = makePixel(c.red, c.green, c.blue, 255);
        }
        return 0;
    case PNG_COLOR_TYPE_GRAY:
        picture->channels = 1;
        for (int i = 0; i < 256; ++i)
            picture->colours[i] = makePixel((uint8_t)i, (uint8_t)i, (uint8_t)i, 255);
        return 0;
    case PNG_COLOR_TYPE_RGB:
        picture->channels = 3;
        return 0;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        picture->channels = 4;
        return 0;
    default:
        setMessage(error, "unexpected colour type after decoding", NULL);
        return -1;
    }
}

/* A span of a source row as the engine's cuts copy it into a picture without
   alpha: the colour, opaque, whatever colour key the file carried. */
static void readCutSpan(const Picture* p, int x, int y, int w, Pixel* out)
{
    const png_byte* src = p->pixels + (size_t)y * p->rowBytes + (size_t)x * p->channels;
    switch (p->channels) {
    case 1:
        for (int i = 0; i < w; ++i)
            out[i] = p->colours[src[i]];
        break;
    case 3:
        for (int i = 0; i < w; ++i, src += 3) {
            out[i] = makePixel(src[0], src[1], src[2], 255);
        }
        break;
    default:
        for (int i = 0; i < w; ++i, src += 4)
            out[i] = makePixel(src[0], src[1], src[2], 255);
        break;
    }
}

/* A whole source row as the engine's pixel reads see the picture itself:
   alpha kept, the colour key ignored. */
static const Pixel* readPictureRow(const void* source, int y, Pixel* scratch)
{
    const Picture* p = source;
    const png_byte* src = p->pixels + (size_t)y * p->rowBytes;
    switch (p->channels) {
    case 1:
        for (int i = 0; i < p->width; ++i)
            scratch[i] = p->colours[src[i]];
        break;
    case 3:
        for (int i = 0; i < p->width; ++i, src += 3)
            scratch[i] = makePixel(src[0], src[1], src[2], 255);
        break;
    default:
        memcpy(scratch, src, (size_t)p->width * sizeof *scratch);
        break;
    }
    return scratch;
}

typedef struct {
    int width, height;
    Pixel* pixels;
} Cell;

/* A new cell is all zero bytes, as a new SDL surface. */
static int createCell(Cell* cell, int width, int height)
{
    cell->width = width;
    cell->height = height;
    cell->pixels = calloc((size_t)width * height, sizeof *cell->pixels);
    return cell->pixels != NULL ? 0 : -1;
}

static void freeCell(Cell* cell)
{
    free(cell->pixels);
    cell->pixels = NULL;
}

static const Pixel* readCellRow(const void* source, int y, Pixel* scratch)
{
    (void)scratch;
    const Cell* cell = source;
    return cell->pixels + (size_t)y * cell->width;
}

static void fillCell(Cell* cell, int x, int y, int w, int h, Pixel value)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            cell->pixels[(size_t)j * cell->width + i] = value;
}

static void copyFromCell(Cell* to, int dx, int dy, const Cell* from, int sx, int sy, int w, int h)
{
    for (int j = 0; j < h; ++j)
        memcpy(to->pixels + (size_t)(dy + j) * to->width + dx, from->pixels + (size_t)(sy + j) * from->width + sx,
               (size_t)w * sizeof(Pixel));
}

static void copyFromPicture(Cell* to, int dx, int dy, const Picture* from, int sx, int sy, int w, int h)
{
    for (int j = 0; j < h; ++j)
        readCutSpan(from, sx, sy + j, w, to->pixels + (size_t)(dy + j) * to->width + dx);
}

/* ------------------------------------------------------- the two layouts */

/* How a 16 x 64 sea column becomes a 48 x 64 chip, in 8 x 8 pieces: {a, b}
   is the block's piece 8a right of the column and 8b down, T the key colour
   with alpha 0, S the sea sub picture's top-left piece (engine/ReplacerTables.h). */
typedef struct {
    int a, b;
} SeaPiece;

#define T {-1, -1}
#define S {-2, -2}
static const SeaPiece seaPieces[8][6] = {
    {{0, 0}, {1, 0}, T, T, {0, 6}, {1, 6}},
    {{0, 1}, {1, 1}, T, T, {0, 7}, {1, 7}},
    {{0, 0}, {1, 4}, {0, 4}, {1, 4}, {0, 4}, {1, 0}},
    {{0, 3}, S, S, S, S, {1, 2}},
    {{0, 2}, S, S, S, S, {1, 3}},
    {{0, 3}, S, S, S, S, {1, 2}},
    {{0, 2}, S, S, S, S, {1, 3}},
    {{0, 1}, {0, 5}, {1, 5}, {0, 5}, {1, 5}, {1, 1}},
};
#undef T
#undef S

enum { maxCells = 18 };

typedef struct {
    Cell cells[maxCells];
    int count;
} CellList;

static void freeCells(CellList* list)
{
    for (int i = 0; i < list->count; ++i)
        freeCell(&list->cells[i]);
    list->count = 0;
}

static Cell* nextCell(CellList* list, int width, int height)
{
    Cell* cell = &list->cells[list->count];
    if (createCell(cell, width, height) != 0)
        return NULL;
    ++list->count;
    return cell;
}

static int cutBlock(const Picture* p, Cell* block, int x, int y)
{
    if (createCell(block, 48, 64) != 0)
        return -1;
    copyFromPicture(block, 0, 0, p, x, y, 48, 64);
    return 0;
}

/* A sea block's three 16-pixel columns, each widened to a 48 x 64 chip. */
static int addSeaChip(CellList* list, const Cell* block, const Cell* sub, Pixel empty)
{
    Cell* sea = nextCell(list, 144, 64);
    if (sea == NULL)
        return -1;
    for (int k = 0; k < 3; ++k)
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 6; ++c) {
                const SeaPiece piece = seaPieces[r][c];
                const int dx = 48 * k + 8 * c, dy = 8 * r;
                if (piece.a >= 0)
                    copyFromCell(sea, dx, dy, block, 16 * k + 8 * piece.a, 8 * piece.b, 8, 8);
                else if (piece.a == -1)
                    fillCell(sea, dx, dy, 8, 8, empty);
                else
                    copyFromCell(sea, dx, dy, sub, 0, 0, 8, 8);
            }
    return 0;
}

/* The animation block's three 16-pixel columns, each as a strip of its four
   frames side by side. */
static int addAnimationStrips(CellList* list, const Cell* block)
{
    for (int column = 0; column < 48; column += 16) {
        Cell* strip = nextCell(list, 64, 16);
        if (strip == NULL)
            return -1;
        for (int frame = 0; frame < 64; frame += 16)
            copyFromCell(strip, frame, 0, block, column, frame, 16, 16);
    }
    return 0;
}

/* The 18 cells of a chipset: the 288 x 256 tile part as three 96 x 256
   columns on a 128 x 768 picture of the key colour, then the left part's
   48 x 64 blocks row by row, the sea sub block at (0, 64) left out: two sea
   chips, the animation block as three 64 x 16 strips, the rest as they are.
   Colour-keyed source pixels are skipped by SDL's blits, so they stay the key
   colour in the tile stack and black in the blocks. */
static int cutChipset(const Picture* p, Pixel key, CellList* list)
{
    Cell* stack = nextCell(list, 128, 768);
    if (stack == NULL)
        return -1;
    fillCell(stack, 0, 0, 128, 768, key);
    for (int i = 0; i < 3; ++i)
        copyFromPicture(stack, 0, 256 * i, p, 192 + 96 * i, 0, 96, 256);

    Cell sub = {0, 0, NULL};
    int result = cutBlock(p, &sub, 0, 64);
    for (int y = 0; y < 256 && result == 0; y += 64) {
        for (int x = 0; x < 192 && result == 0; x += 48) {
            if (x == 0 && y == 64)
                continue;
            Cell block = {0, 0, NULL};
            result = cutBlock(p, &block, x, y);
            if (result != 0)
                break;
            if (y == 0 && (x == 0 || x == 48)) {
                result = addSeaChip(list, &block, &sub, key & makePixel(0xFF, 0xFF, 0xFF, 0));
                freeCell(&block);
            } else if (x == 48 && y == 64) {
                result = addAnimationStrips(list, &block);
                freeCell(&block);
            } else {
                list->cells[list->count++] = block;
            }
        }
    }
    freeCell(&sub);
    return result;
}

/* The 8 characters of a charset, top row first, each 96 x 128: its 24 x 32
   pieces with the rows reordered and the middle column doubled. */
static int cutCharset(const Picture* p, CellList* list)
{
    static const int rowMap[4] = {3, 2, 0, 1};
    static const int columnMap[6] = {1, 1, 0, 2, 3, 3};
    for (int y0 = 0; y0 < 256; y0 += 128) {
        for (int x0 = 0; x0 < 288; x0 += 72) {
            Cell* cell = nextCell(list, 96, 128);
            if (cell == NULL)
                return -1;
            for (int r = 0; r < 4; ++r)
                for (int f = 0; f < 3; ++f)
                    for (int k = 0; k < 2; ++k)
                        copyFromPicture(cell, 24 * columnMap[2 * f + k], 32 * rowMap[r], p, x0 + 24 * f, y0 + 32 * r,
                                        24, 32);
        }
    }
    return 0;
}

/* ------------------------------------------------ enlarging and the files */

typedef struct {
    Pixel key;
    int filter;
    int natural, colour, alpha;
} Settings;

/* Buffers kept from cell to cell: the doubled picture, the colour or alpha
   copy written from it (only when one of those files is asked for), the row
   pointers and one row of the source. */
typedef struct {
    Pixel* doubled;
    png_bytep variant;
    png_bytepp rows;
    Pixel* scratch;
    size_t doubledPixels, variantBytes, rowCount, scratchPixels;
} Buffers;

static void freeBuffers(Buffers* b)
{
    free(b->doubled);
    free(b->variant);
    free(b->rows);
    free(b->scratch);
    memset(b, 0, sizeof *b);
}

/* buffer, or a new one in its place when it holds fewer than `needed`
   elements of `size` bytes; NULL when memory ran out. */
static void* ensure(void* buffer, size_t* capacity, size_t needed, size_t size)
{
    if (needed <= *capacity)
        return buffer;
    free(buffer);
    buffer = malloc(needed * size + 1);
    *capacity = buffer != NULL ? needed : 0;
    return buffer;
}

static int reserve(Buffers* b, int width, int height, const Settings* s)
{
    const size_t doubled = (size_t)4 * width * height;
    const size_t variant = s->colour ? 3 * doubled : s->alpha ? doubled : 0;
    b->doubled = ensure(b->doubled, &b->doubledPixels, doubled, sizeof *b->doubled);
    b->variant = ensure(b->variant, &b->variantBytes, variant, 1);
    b->rows = ensure(b->rows, &b->rowCount, (size_t)2 * height, sizeof *b->rows);
    b->scratch = ensure(b->scratch, &b->scratchPixels, (size_t)width, sizeof *b->scratch);
    return b->doubled && (variant == 0 || b->variant) && b->rows && b->scratch ? 0 : -1;
}

typedef const Pixel* (*RowReader)(const void* source, int y, Pixel* scratch);

/* Nearest 2x: every source pixel a 2 x 2 block, a pixel equal to the key in
   all four bytes the key's colour with alpha 0. One doubled row is built and
   copied below itself. */
static void enlarge(const void* source, RowReader read, int width, int height, Pixel key, Buffers* b)
{
    const Pixel empty = key & makePixel(0xFF, 0xFF, 0xFF, 0);
    const size_t doubledWidth = (size_t)2 * width;
    for (int y = 0; y < height; ++y) {
        const Pixel* in = read(source, y, b->scratch);
        Pixel* out = b->doubled + (size_t)2 * y * doubledWidth;
        for (int x = 0; x < width; ++x) {
            const Pixel p = in[x] == key ? empty : in[x];
            out[2 * x] = p;
            out[2 * x + 1] = p;
        }
        memcpy(out + doubledWidth, out, doubledWidth * sizeof *out);
    }
}

static void outputName(char* out, size_t size, const char* folder, const char* name, int numbered, int index,
                       const char* suffix)
{
    char file[4096];
    if (numbered)
        snprintf(file, sizeof file, "%s_%02d%s%s.png", name, index, *suffix ? "_" : "", suffix);
    else
        snprintf(file, sizeof file, "%s%s%s.png", name, *suffix ? "_" : "", suffix);
    joinPath(out, size, folder, file);
}

/* The files of one doubled picture: natural (32-bit RGBA), colour (RGB, the
   colour under transparent pixels kept) and alpha (a palette of 256 greys
   indexed by the alpha). */
static int writeVariants(const Buffers* b, int width, int height, const char* folder, const char* name, int numbered,
                         int index, const Settings* s, Message* error)
{
    static const png_color_8 sigRgba = {8, 8, 8, 0, 8};
    static const png_color_8 sigRgb = {8, 8, 8, 0, 0};
    png_color greys[256];
    for (int i = 0; i < 256; ++i)
        greys[i].red = greys[i].green = greys[i].blue = (png_byte)i;

    const png_uint_32 w = (png_uint_32)width, h = (png_uint_32)height;
    const png_byte* rgba = (const png_byte*)b->doubled;
    char path[8192];
    PngOutput out = {w, h, 0, 8, b->rows, NULL, 0, NULL, 0, NULL, NULL, s->filter};
    if (s->natural) {
        for (png_uint_32 y = 0; y < h; ++y)
            b->rows[y] = (png_bytep)(rgba + (size_t)y * w * 4);
        out.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
        out.sig = &sigRgba;
        outputName(path, sizeof path, folder, name, numbered, index, "");
        if (writePng(path, &out, error) != 0)
            return -1;
    }
    if (s->colour) {
        const size_t n = (size_t)w * h;
        for (size_t i = 0; i < n; ++i) {
            b->variant[3 * i] = rgba[4 * i];
            b->variant[3 * i + 1] = rgba[4 * i + 1];
            b->variant[3 * i + 2] = rgba[4 * i + 2];
        }
        for (png_uint_32 y = 0; y < h; ++y)
            b->rows[y] = b->variant + (size_t)y * w * 3;
        out.colorType = PNG_COLOR_TYPE_RGB;
        out.sig = &sigRgb;
        outputName(path, sizeof path, folder, name, numbered, index, "color");
        if (writePng(path, &out, error) != 0)
            return -1;
    }
    if (s->alpha) {
        const size_t n = (size_t)w * h;
        for (size_t i = 0; i < n; ++i)
            b->variant[i] = rgba[4 * i + 3];
        for (png_uint_32 y = 0; y < h; ++y)
            b->rows[y] = b->variant + (size_t)y * w;
        out.colorType = PNG_COLOR_TYPE_PALETTE;
        out.sig = NULL;
        out.palette = greys;
        out.paletteCount = 256;
        outputName(path, sizeof path, folder, name, numbered, index, "alpha");
        if (writePng(path, &out, error) != 0)
            return -1;
    }
    return 0;
}

static int convertOne(const void* source, RowReader read, int width, int height, const char* folder,
                      const char* name, int numbered, int index, const Settings* s, Buffers* b, Message* error)
{
    if (reserve(b, width, height, s) != 0) {
        setMessage(error, "out of memory", NULL);
        return -1;
    }
    enlarge(source, read, width, height, s->key, b);
    return writeVariants(b, 2 * width, 2 * height, folder, name, numbered, index, s, error);
}

typedef enum { LayoutChipset, LayoutCharset, LayoutSingle, LayoutAuto } Layout;

static int convertPicture(const char* input, Layout layout, const char* folder, const char* name, Settings s,
                          Buffers* b, Message* error)
{
    PngImage image;
    if (readPng(input, AsConverter, &image, error) != 0)
        return -1;
    Picture picture;
    if (makePicture(&image, &picture, error) != 0) {
        freeImage(&image);
        return -1;
    }
    const int w = picture.width, h = picture.height;
    if (layout == LayoutAuto)
        layout = w == chipsetWidth && h == chipsetHeight   ? LayoutChipset
                 : w == charsetWidth && h == charsetHeight ? LayoutCharset
                                                           : LayoutSingle;
    int result = 0;
    if (layout == LayoutSingle) {
        result = convertOne(&picture, readPictureRow, w, h, folder, name, 0, 0, &s, b, error);
    } else {
        const int chipset = layout == LayoutChipset;
        if (w != (chipset ? chipsetWidth : charsetWidth) || h != (chipset ? chipsetHeight : charsetHeight)) {
            char text[128];
            snprintf(text, sizeof text, "%d x %d is not the size of a %s", w, h,
                     chipset ? "480 x 256 chipset" : "288 x 256 charset");
            setMessage(error, text, NULL);
            freeImage(&image);
            return -1;
        }
        CellList cells;
        cells.count = 0;
        result = chipset ? cutChipset(&picture, s.key, &cells) : cutCharset(&picture, &cells);
        if (result != 0)
            setMessage(error, "out of memory cutting the cells", NULL);
        for (int i = 0; i < cells.count && result == 0; ++i)
            result = convertOne(&cells.cells[i], readCellRow, cells.cells[i].width, cells.cells[i].height, folder,
                                name, cells.count != 1, i, &s, b, error);
        freeCells(&cells);
    }
    freeImage(&image);
    return result;
}

/* -------------------------------------------------------- dump and encode */

/* A raw dump: "PWFLOOR1", then little-endian fields, then the rows.
     u32 width, u32 height, u8 colour type, u8 bit depth, u8 has sBIT, u8 sBIT red, green, blue, gray, alpha,
     u16 palette entries, 3 bytes each, u16 tRNS alphas, 1 byte each,
     u8 has tRNS colour, u16 red, green, blue, gray,
     u32 row bytes, rows. */
static const char rawMagic[8] = {'P', 'W', 'F', 'L', 'O', 'O', 'R', '1'};

static void put16(FILE* f, unsigned v)
{
    fputc((int)(v & 0xFF), f);
    fputc((int)((v >> 8) & 0xFF), f);
}

static void put32(FILE* f, uint32_t v)
{
    put16(f, v & 0xFFFF);
    put16(f, v >> 16);
}

static int get8(FILE* f, unsigned* v)
{
    const int c = fgetc(f);
    *v = (unsigned)c;
    return c == EOF ? -1 : 0;
}

static int get16(FILE* f, unsigned* v)
{
    unsigned lo, hi;
    if (get8(f, &lo) || get8(f, &hi))
        return -1;
    *v = lo | hi << 8;
    return 0;
}

static int get32(FILE* f, uint32_t* v)
{
    unsigned lo, hi;
    if (get16(f, &lo) || get16(f, &hi))
        return -1;
    *v = (uint32_t)lo | (uint32_t)hi << 16;
    return 0;
}

static int writeRaw(const char* path, const PngImage* image, Message* error)
{
    FILE* f = fopen(path, "wb");
    if (f == NULL) {
        setMessage(error, "cannot create", strerror(errno));
        return -1;
    }
    fwrite(rawMagic, 1, sizeof rawMagic, f);
    put32(f, image->width);
    put32(f, image->height);
    fputc(image->colorType, f);
    fputc(image->bitDepth, f);
    fputc(image->hasSig, f);
    fputc(image->sig.red, f);
    fputc(image->sig.green, f);
    fputc(image->sig.blue, f);
    fputc(image->sig.gray, f);
    fputc(image->sig.alpha, f);
    put16(f, (unsigned)image->paletteCount);
    for (int i = 0; i < image->paletteCount; ++i) {
        fputc(image->palette[i].red, f);
        fputc(image->palette[i].green, f);
        fputc(image->palette[i].blue, f);
    }
    put16(f, (unsigned)image->transCount);
    fwrite(image->trans, 1, (size_t)image->transCount, f);
    fputc(image->hasTransColour, f);
    put16(f, image->transColour.red);
    put16(f, image->transColour.green);
    put16(f, image->transColour.blue);
    put16(f, image->transColour.gray);
    put32(f, (uint32_t)image->rowBytes);
    fwrite(image->pixels, image->rowBytes, image->height, f);
    const int failed = ferror(f);
    if (fclose(f) != 0 || failed) {
        setMessage(error, "cannot write", strerror(errno));
        return -1;
    }
    return 0;
}

/* The bytes of one row with every sample in a byte of its own (two at 16
   bits); 0 for a colour type or depth PNG does not have. */
static uint32_t unpackedRowBytes(int colorType, int bitDepth, png_uint_32 width)
{
    int channels;
    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_PALETTE:
        channels = 1;
        break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        channels = 2;
        break;
    case PNG_COLOR_TYPE_RGB:
        channels = 3;
        break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        channels = 4;
        break;
    default:
        return 0;
    }
    if (bitDepth != 1 && bitDepth != 2 && bitDepth != 4 && bitDepth != 8 && bitDepth != 16)
        return 0;
    return (uint32_t)channels * (bitDepth == 16 ? 2 : 1) * width;
}

static int readRaw(const char* path, PngImage* image, Message* error)
{
    memset(image, 0, sizeof *image);
    FILE* f = fopen(path, "rb");
    if (f == NULL) {
        setMessage(error, "cannot open", strerror(errno));
        return -1;
    }
    char magic[sizeof rawMagic];
    unsigned type = 0, depth = 0, hasSig = 0, sig[5] = {0}, count = 0, hasColour = 0, colour[4] = {0};
    uint32_t rowBytes = 0;
    int bad = fread(magic, 1, sizeof magic, f) != sizeof magic || memcmp(magic, rawMagic, sizeof magic) != 0
              || get32(f, &image->width) || get32(f, &image->height) || get8(f, &type) || get8(f, &depth)
              || get8(f, &hasSig);
    for (int i = 0; i < 5 && !bad; ++i)
        bad = get8(f, &sig[i]);
    bad = bad || get16(f, &count) || count > 256;
    for (unsigned i = 0; i < count && !bad; ++i) {
        unsigned r = 0, g = 0, b = 0;
        bad = get8(f, &r) || get8(f, &g) || get8(f, &b);
        image->palette[i] = (png_color){(png_byte)r, (png_byte)g, (png_byte)b};
    }
    image->paletteCount = (int)count;
    bad = bad || get16(f, &count) || count > 256 || fread(image->trans, 1, count, f) != count;
    image->transCount = (int)count;
    bad = bad || get8(f, &hasColour);
    for (int i = 0; i < 4 && !bad; ++i)
        bad = get16(f, &colour[i]);
    bad = bad || get32(f, &rowBytes) || image->width == 0 || image->height == 0 || image->width > 2 * maxSourceWidth
          || image->height > 2 * maxSourceHeight || rowBytes != unpackedRowBytes((int)type, (int)depth, image->width);
    if (!bad) {
        image->colorType = (int)type;
        image->bitDepth = (int)depth;
        image->hasSig = (int)hasSig;
        image->sig = (png_color_8){(png_byte)sig[0], (png_byte)sig[1], (png_byte)sig[2], (png_byte)sig[3],
                                   (png_byte)sig[4]};
        image->hasTransColour = (int)hasColour;
        image->transColour = (png_color_16){0, (png_uint_16)colour[0], (png_uint_16)colour[1], (png_uint_16)colour[2],
                                            (png_uint_16)colour[3]};
        image->rowBytes = rowBytes;
        image->pixels = malloc((size_t)rowBytes * image->height + 1);
        bad = image->pixels == NULL || fread(image->pixels, rowBytes, image->height, f) != image->height;
    }
    fclose(f);
    if (bad) {
        freeImage(image);
        setMessage(error, "not a complete raw dump", NULL);
        return -1;
    }
    return 0;
}

static int encodeRaw(const PngImage* image, const char* path, int filter, Message* error)
{
    png_bytepp rows = malloc(sizeof *rows * image->height);
    if (rows == NULL) {
        setMessage(error, "out of memory", NULL);
        return -1;
    }
    for (png_uint_32 y = 0; y < image->height; ++y)
        rows[y] = image->pixels + (size_t)y * image->rowBytes;
    const int palette = image->colorType == PNG_COLOR_TYPE_PALETTE;
    PngOutput out = {image->width,
                     image->height,
                     image->colorType,
                     image->bitDepth,
                     rows,
                     image->palette,
                     image->paletteCount,
                     image->trans,
                     image->transCount,
                     image->hasTransColour ? &image->transColour : NULL,
                     image->hasSig && !palette ? &image->sig : NULL,
                     filter};
    const int result = writePng(path, &out, error);
    free(rows);
    return result;
}

/* ------------------------------------------------------------- comparing */

/* Set by --pixels: only the decoded pixels and sizes count. */
static int comparePixelsOnly = 0;

static int comparePair(const char* pathA, const char* pathB, const char* name)
{
    Message error;
    PngImage a, b;
    if (readPng(pathA, AsRgba, &a, &error) != 0) {
        printf("%s: first folder: %s\n", name, error.text);
        return 1;
    }
    if (readPng(pathB, AsRgba, &b, &error) != 0) {
        printf("%s: second folder: %s\n", name, error.text);
        freeImage(&a);
        return 1;
    }
    int differs = 0;
    if (a.width != b.width || a.height != b.height) {
        printf("%s: size %ux%u against %ux%u\n", name, (unsigned)a.width, (unsigned)a.height, (unsigned)b.width,
               (unsigned)b.height);
        differs = 1;
    } else {
        size_t count = 0;
        png_uint_32 firstX = 0, firstY = 0;
        for (png_uint_32 y = 0; y < a.height; ++y) {
            const png_byte* ra = a.pixels + (size_t)y * a.rowBytes;
            const png_byte* rb = b.pixels + (size_t)y * b.rowBytes;
            if (memcmp(ra, rb, (size_t)a.width * 4) == 0)
                continue;
            for (png_uint_32 x = 0; x < a.width; ++x) {
                if (memcmp(ra + 4 * x, rb + 4 * x, 4) != 0) {
                    if (count++ == 0) {
                        firstX = x;
                        firstY = y;
                    }
                }
            }
        }
        if (count > 0) {
            const png_byte* pa = a.pixels + (size_t)firstY * a.rowBytes + 4 * firstX;
            const png_byte* pb = b.pixels + (size_t)firstY * b.rowBytes + 4 * firstX;
            printf("%s: %zu pixels differ, first at (%u, %u): RGBA %u,%u,%u,%u against %u,%u,%u,%u\n", name, count,
                   (unsigned)firstX, (unsigned)firstY, pa[0], pa[1], pa[2], pa[3], pb[0], pb[1], pb[2], pb[3]);
            differs = 1;
        }
    }
    if (!comparePixelsOnly && (a.fileColorType != b.fileColorType || a.fileBitDepth != b.fileBitDepth)) {
        printf("%s: colour type %d at %d bits against %d at %d bits\n", name, a.fileColorType, a.fileBitDepth,
               b.fileColorType, b.fileBitDepth);
        differs = 1;
    }
    freeImage(&a);
    freeImage(&b);
    return differs;
}

static int findName(const NameList* list, const char* name)
{
    return bsearch(&name, list->names, list->count, sizeof *list->names, compareNames) != NULL;
}

static int runCompare(const char* folderA, const char* folderB)
{
    Message error;
    NameList a, b;
    if (listFolder(folderA, ".png", &a, &error) != 0) {
        fprintf(stderr, "bench_floor: %s: %s\n", folderA, error.text);
        return 1;
    }
    if (listFolder(folderB, ".png", &b, &error) != 0) {
        fprintf(stderr, "bench_floor: %s: %s\n", folderB, error.text);
        freeNames(&a);
        return 1;
    }
    size_t differing = 0;
    for (size_t i = 0; i < a.count; ++i) {
        if (!findName(&b, a.names[i])) {
            printf("%s: only in %s\n", a.names[i], folderA);
            ++differing;
            continue;
        }
        char pathA[8192], pathB[8192];
        joinPath(pathA, sizeof pathA, folderA, a.names[i]);
        joinPath(pathB, sizeof pathB, folderB, a.names[i]);
        differing += (size_t)comparePair(pathA, pathB, a.names[i]);
    }
    for (size_t i = 0; i < b.count; ++i) {
        if (!findName(&a, b.names[i])) {
            printf("%s: only in %s\n", b.names[i], folderB);
            ++differing;
        }
    }
    const size_t total = a.count;
    freeNames(&a);
    freeNames(&b);
    if (total == 0) {
        printf("compare: no PNG files in %s\n", folderA);
        return 1;
    }
    if (differing > 0) {
        printf("compare: %zu of %zu files differ\n", differing, total);
        return 1;
    }
    printf("compare: %zu files, all identical\n", total);
    return 0;
}

/* ----------------------------------------------------------- command line */

static const char usageText[] =
    "Usage: bench_floor chipset|charset|single IN.png OUTDIR NAME [--key RRGGBB] [--filter none|default]\n"
    "       bench_floor batch OUTDIR IN.png... [--key RRGGBB] [--filter none|default]\n"
    "       bench_floor dump PNGDIR RAWDIR\n"
    "       bench_floor encode RAWDIR OUTDIR [--filter none|default]\n"
    "       bench_floor compare DIR_A DIR_B [--pixels]\n";

static int usage(const char* message)
{
    if (message != NULL)
        fprintf(stderr, "bench_floor: %s\n", message);
    fputs(usageText, stderr);
    return 2;
}

static int parseKey(const char* text, Pixel* key)
{
    if (strlen(text) != 6 || strspn(text, "0123456789abcdefABCDEF") != 6)
        return -1;
    const unsigned long rgb = strtoul(text, NULL, 16);
    *key = makePixel((uint8_t)(rgb >> 16), (uint8_t)(rgb >> 8), (uint8_t)rgb, 255);
    return 0;
}

static int runDump(const char* pngFolder, const char* rawFolder)
{
    Message error;
    NameList list;
    if (listFolder(pngFolder, ".png", &list, &error) != 0) {
        fprintf(stderr, "bench_floor: %s: %s\n", pngFolder, error.text);
        return 1;
    }
    if (list.count == 0) {
        fprintf(stderr, "bench_floor: %s: no .png files\n", pngFolder);
        return 1;
    }
    if (ensureFolder(rawFolder, &error) != 0) {
        fprintf(stderr, "bench_floor: %s: %s\n", rawFolder, error.text);
        freeNames(&list);
        return 1;
    }
    int failed = 0;
    for (size_t i = 0; i < list.count; ++i) {
        char in[8192], out[8192], stem[4096];
        joinPath(in, sizeof in, pngFolder, list.names[i]);
        stemOf(list.names[i], stem, sizeof stem);
        char rawName[4200];
        snprintf(rawName, sizeof rawName, "%s.raw", stem);
        joinPath(out, sizeof out, rawFolder, rawName);
        PngImage image;
        if (readPng(in, AsStored, &image, &error) != 0) {
            fprintf(stderr, "bench_floor: %s: %s\n", in, error.text);
            failed = 1;
            continue;
        }
        if (writeRaw(out, &image, &error) != 0) {
            fprintf(stderr, "bench_floor: %s: %s\n", out, error.text);
            failed = 1;
        }
        freeImage(&image);
    }
    freeNames(&list);
    return failed;
}

static int runEncode(const char* rawFolder, const char* outFolder, int filter)
{
    Message error;
    NameList list;
    if (listFolder(rawFolder, ".raw", &list, &error) != 0) {
        fprintf(stderr, "bench_floor: %s: %s\n", rawFolder, error.text);
        return 1;
    }
    if (list.count == 0) {
        fprintf(stderr, "bench_floor: %s: no .raw files\n", rawFolder);
        return 1;
    }
    if (ensureFolder(outFolder, &error) != 0) {
        fprintf(stderr, "bench_floor: %s: %s\n", outFolder, error.text);
        freeNames(&list);
        return 1;
    }
    int failed = 0;
    for (size_t i = 0; i < list.count; ++i) {
        char in[8192], out[8192], stem[4096], pngName[4200];
        joinPath(in, sizeof in, rawFolder, list.names[i]);
        stemOf(list.names[i], stem, sizeof stem);
        snprintf(pngName, sizeof pngName, "%s.png", stem);
        joinPath(out, sizeof out, outFolder, pngName);
        PngImage image;
        if (readRaw(in, &image, &error) != 0) {
            fprintf(stderr, "bench_floor: %s: %s\n", in, error.text);
            failed = 1;
            continue;
        }
        if (encodeRaw(&image, out, filter, &error) != 0) {
            fprintf(stderr, "bench_floor: %s: %s\n", out, error.text);
            failed = 1;
        }
        freeImage(&image);
    }
    freeNames(&list);
    return failed;
}

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage(NULL);
    const char* mode = argv[1];
    Settings settings = {makePixel(0x00, 0x75, 0x75, 255), -1, 1, 1, 1};
    const char* args[4096];
    int count = 0;
    for (int i = 2; i < argc; ++i) {
        if (strcmp(argv[i], "--key") == 0 || strcmp(argv[i], "--filter") == 0) {
            if (i + 1 >= argc)
                return usage("an option needs a value");
            const char* value = argv[++i];
            if (argv[i - 1][2] == 'k') {
                if (parseKey(value, &settings.key) != 0)
                    return usage("--key takes RRGGBB");
            } else if (strcmp(value, "none") == 0) {
                settings.filter = PNG_FILTER_NONE;
            } else if (strcmp(value, "default") == 0) {
                settings.filter = -1;
            } else {
                return usage("--filter takes none or default");
            }
        } else if (strcmp(argv[i], "--pixels") == 0) {
            comparePixelsOnly = 1;
        } else if (argv[i][0] == '-' && argv[i][1] == '-') {
            return usage("unknown option");
        } else if (count < (int)(sizeof args / sizeof *args)) {
            args[count++] = argv[i];
        } else {
            return usage("too many inputs");
        }
    }

    if (strcmp(mode, "compare") == 0)
        return count == 2 ? runCompare(args[0], args[1]) : usage("compare takes two folders");
    if (strcmp(mode, "dump") == 0)
        return count == 2 ? runDump(args[0], args[1]) : usage("dump takes two folders");
    if (strcmp(mode, "encode") == 0)
        return count == 2 ? runEncode(args[0], args[1], settings.filter) : usage("encode takes two folders");

    Layout layout;
    if (strcmp(mode, "chipset") == 0)
        layout = LayoutChipset;
    else if (strcmp(mode, "charset") == 0)
        layout = LayoutCharset;
    else if (strcmp(mode, "single") == 0)
        layout = LayoutSingle;
    else if (strcmp(mode, "batch") == 0)
        layout = LayoutAuto;
    else
        return usage("unknown mode");
    if (layout == LayoutSingle)
        settings.colour = settings.alpha = 0;

    Message error;
    Buffers buffers;
    memset(&buffers, 0, sizeof buffers);
    int failed = 0;
    if (layout == LayoutAuto) {
        if (count < 2)
            return usage("batch takes an output folder and inputs");
        if (ensureFolder(args[0], &error) != 0) {
            fprintf(stderr, "bench_floor: %s: %s\n", args[0], error.text);
            return 1;
        }
        for (int i = 1; i < count; ++i) {
            char name[4096];
            stemOf(args[i], name, sizeof name);
            if (convertPicture(args[i], LayoutAuto, args[0], name, settings, &buffers, &error) != 0) {
                fprintf(stderr, "bench_floor: %s: %s\n", args[i], error.text);
                failed = 1;
            }
        }
    } else {
        if (count != 3)
            return usage("chipset, charset and single take IN.png OUTDIR NAME");
        if (ensureFolder(args[1], &error) != 0) {
            fprintf(stderr, "bench_floor: %s: %s\n", args[1], error.text);
            return 1;
        }
        if (convertPicture(args[0], layout, args[1], args[2], settings, &buffers, &error) != 0) {
            fprintf(stderr, "bench_floor: %s: %s\n", args[0], error.text);
            failed = 1;
        }
    }
    freeBuffers(&buffers);
    return failed;
}
