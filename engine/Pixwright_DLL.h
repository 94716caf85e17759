/*
 * Pixwright_DLL: the conversion engine's exported interface.
 *
 * graphicConvert converts one source picture into up to three output files
 * per cell and returns 0 on success or a non-zero ConvertResult code. On every
 * failure except code 1 it shows exactly one error box (see
 * setErrorBoxHandler) before it returns. Strings are NUL-terminated byte
 * strings in the platform's narrow encoding; they are only borrowed for the
 * call. Flags are ints where 0 means off.
 *
 * The colour-key calls set the engine-wide transparent colour used by every
 * later conversion: a fixed colour, the colour of one pixel of the source
 * picture, the colour of one entry of the source picture's own palette, or
 * none.
 *
 * The other settings (threads, PNG row filter, compression and palette,
 * progress handlers) are
 * engine-wide too and keep their value until changed; set them before a
 * conversion starts, not while one runs.
 *
 * The numbered values the calls take and return have names below
 * (PIXWRIGHT_INTERPOLATION_*, _FORMAT_*, _GRID_*, _PRESET_*, _KEY_*,
 * _RESULT_*), so front ends never depend on an order kept by hand.
 *
 * A conversion may spread its cells, the bands of rows of a large cell and
 * the pieces of a PNG file over the threads of the engine's one worker pool
 * (setThreadCount), but its results are exactly those of one thread: the
 * same files, written in the same order, the same log entries and the same
 * error box. The error box and
 * the progress handler are always called on the thread that called
 * graphicConvert. Conversions may run side by side on several threads; the
 * engine keeps no picture and no SDL state between calls.
 */
#ifndef PIXWRIGHT_DLL_H
#define PIXWRIGHT_DLL_H

#if defined(_WIN32)
#  if defined(PIXWRIGHT_BUILDING_DLL)
#    define PIXWRIGHT_API __declspec(dllexport)
#  elif defined(PIXWRIGHT_STATIC)
#    define PIXWRIGHT_API
#  else
#    define PIXWRIGHT_API __declspec(dllimport)
#  endif
#else
#  define PIXWRIGHT_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Interpolation modes: graphicConvert's `interpolation`, in the order of the
 * window's list. Any other value makes every pixel opaque black. */
#define PIXWRIGHT_INTERPOLATION_NEAREST 0
#define PIXWRIGHT_INTERPOLATION_BILINEAR 1
#define PIXWRIGHT_INTERPOLATION_ORIGINAL 2 /* nearest colours, smoothed alpha */
#define PIXWRIGHT_INTERPOLATION_SCALE2X 3
#define PIXWRIGHT_INTERPOLATION_XBR 4
#define PIXWRIGHT_INTERPOLATION_COUNT 5

/* Output formats: graphicConvert's `outputFormat`, in the order of the
 * window's list. Any other value writes nothing and fails. */
#define PIXWRIGHT_FORMAT_BMP 0
#define PIXWRIGHT_FORMAT_PNG 1
#define PIXWRIGHT_FORMAT_JPEG 2
#define PIXWRIGHT_FORMAT_COUNT 3

/* Grid modes, the choices a front end offers for the grid: the editor's
 * chipset preset, its charset preset, no grid, or a grid of the user's own.
 * The two presets convert with editorPreset on and their preset's grid
 * (presetInfo); no grid passes 0 x 0. */
#define PIXWRIGHT_GRID_CHIPSET 0
#define PIXWRIGHT_GRID_CHARSET 1
#define PIXWRIGHT_GRID_NONE 2
#define PIXWRIGHT_GRID_CUSTOM 3
#define PIXWRIGHT_GRID_COUNT 4

/* What the editor preset cuts a picture into: nothing (one cell), a chipset
 * or a charset. */
#define PIXWRIGHT_PRESET_NONE 0
#define PIXWRIGHT_PRESET_CHIPSET 1
#define PIXWRIGHT_PRESET_CHARSET 2

/* Key modes, as the colour-key calls set them. */
#define PIXWRIGHT_KEY_NONE 0     /* resetColorKey: opaque black */
#define PIXWRIGHT_KEY_FIXED 1    /* setColorKey */
#define PIXWRIGHT_KEY_POSITION 2 /* setColorKeyPos */
#define PIXWRIGHT_KEY_PALETTE 3  /* setColorKeyPaletteIndex */
#define PIXWRIGHT_KEY_OFF 4      /* setColorKeyOff: no pixel is keyed */

/* graphicConvert's results. Every code but SUCCESS, NULL_ARGUMENT and
 * CANCELLED comes with one error box. */
#define PIXWRIGHT_RESULT_SUCCESS 0
#define PIXWRIGHT_RESULT_NULL_ARGUMENT 1      /* sourcePath or outputFolder null */
#define PIXWRIGHT_RESULT_NO_SOURCE_PATH 2
#define PIXWRIGHT_RESULT_NO_OUTPUT_FOLDER 3
#define PIXWRIGHT_RESULT_NO_OUTPUT 4          /* no variant selected */
#define PIXWRIGHT_RESULT_SUFFIX_CLASH 5
#define PIXWRIGHT_RESULT_BAD_OUTPUT_NAME 6    /* a name starting with "." or a folder that is a file */
#define PIXWRIGHT_RESULT_FOLDER_NOT_CREATED 7
#define PIXWRIGHT_RESULT_BAD_PATH 8
#define PIXWRIGHT_RESULT_SOURCE_NOT_LOADED 10
#define PIXWRIGHT_RESULT_NOT_REARRANGED 11
#define PIXWRIGHT_RESULT_CELL_NOT_CONVERTED 20
#define PIXWRIGHT_RESULT_NATURAL_NOT_SAVED 21
#define PIXWRIGHT_RESULT_COLOR_NOT_SAVED 22
#define PIXWRIGHT_RESULT_ALPHA_NOT_SAVED 23
#define PIXWRIGHT_RESULT_STANDARD_EXCEPTION 30
#define PIXWRIGHT_RESULT_OTHER_EXCEPTION 35
#define PIXWRIGHT_RESULT_CANCELLED 40         /* a progress handler asked to stop */

PIXWRIGHT_API int graphicConvert(const char* sourcePath, const char* outputFolder,
                                 const char* outputName, int editorPreset,
                                 int gridWidth, int gridHeight, int sharpenLevel,
                                 int eraseAlphaGrid, int interpolation, int outputFormat,
                                 int saveNatural, const char* naturalSuffix,
                                 int saveColor, const char* colorSuffix,
                                 int saveAlpha, const char* alphaSuffix);

PIXWRIGHT_API void setColorKey(int red, int green, int blue);
PIXWRIGHT_API void setColorKeyPos(int x, int y);
PIXWRIGHT_API void resetColorKey(void);

/* The key becomes the colour of palette entry `index` (clamped to 0..255) of
 * each source picture that has a palette of its own, with alpha 255. A
 * picture without one (or whose palette has no such entry) is keyed with the
 * fixed colour last given to setColorKey, (0, 0, 0) if none was. */
PIXWRIGHT_API void setColorKeyPaletteIndex(int index);

/* No pixel is keyed: every pixel keeps its own alpha (255 in a picture
 * without an alpha channel), and the colour-only and alpha-only files are
 * written as usual. The kinds table's and the command line's "none". */
PIXWRIGHT_API void setColorKeyOff(void);

/* A colour key for one conversion, as the colour-key calls would set it:
 * mode is a PIXWRIGHT_KEY_* value; red, green and blue (clamped to 0..255)
 * the fixed colour, which PIXWRIGHT_KEY_PALETTE falls back to; x and y the
 * pixel of PIXWRIGHT_KEY_POSITION; paletteIndex (clamped to 0..255) the entry
 * of PIXWRIGHT_KEY_PALETTE. An unknown mode is PIXWRIGHT_KEY_NONE. */
typedef struct PixwrightColorKey {
    int mode;
    int red;
    int green;
    int blue;
    int x;
    int y;
    int paletteIndex;
} PixwrightColorKey;

/* graphicConvert with the key of this call alone: the engine-wide key is
 * neither read nor changed, so conversions side by side may each have their
 * own. A null key is the engine-wide one. */
PIXWRIGHT_API int graphicConvertWithKey(const PixwrightColorKey* key, const char* sourcePath,
                                        const char* outputFolder, const char* outputName, int editorPreset,
                                        int gridWidth, int gridHeight, int sharpenLevel, int eraseAlphaGrid,
                                        int interpolation, int outputFormat, int saveNatural,
                                        const char* naturalSuffix, int saveColor, const char* colorSuffix,
                                        int saveAlpha, const char* alphaSuffix);

/* Threads in all that conversions, their files and runTasks keep busy, the
 * calling threads included: the engine keeps one pool of threads, and work
 * started inside work (a conversion's cells inside runTasks, the pieces of a
 * PNG file inside a cell) borrows from the same pool, so no more than this
 * many are ever busy for one caller. 0 or less: the machine's core count,
 * the default. 1: everything runs on the calling thread. */
PIXWRIGHT_API void setThreadCount(int threads);

/* Runs task(user, 0) to task(user, count - 1), each once, on the calling
 * thread and on the threads of the engine's pool that are free, and returns
 * once all have returned. Tasks may call graphicConvert. */
typedef void (*PixwrightTask)(void* user, int index);
PIXWRIGHT_API void runTasks(int count, PixwrightTask task, void* user);

/* Row filter of the PNG files written: 0 libpng's own choice per row (the
 * default), 1 none, 2 sub, 3 up, 4 average, 5 paeth, 6 all five tried per row
 * (libpng's heuristic, as 0). Other values count as 0. Every filter decodes to
 * the same pixels. */
PIXWRIGHT_API void setPngFilter(int filter);

/* How the image data of the PNG files written is compressed: 0 libpng with
 * zlib's default level (the default; the files of earlier versions byte for
 * byte), 1 fast (a deflate of the engine's own, several times faster; a row
 * that repeats the one above, as every second row of a nearest-neighbour
 * enlargement does, costs almost nothing), 2 small (the strongest deflate
 * over every row filter, the smallest kept; many times slower). Other values
 * count as 0. With 1 and 2 the default row filter means: none for fast, all
 * tried for small. Every mode decodes to the same pixels. */
#define PIXWRIGHT_PNG_COMPRESSION_DEFAULT 0
#define PIXWRIGHT_PNG_COMPRESSION_FAST 1
#define PIXWRIGHT_PNG_COMPRESSION_SMALL 2
PIXWRIGHT_API void setPngCompression(int mode);

/* Non-zero: a PNG file whose picture has at most 256 distinct colours (the
 * RGBA values of the picture with alpha, the RGB values of the colour-only
 * one) is written as a palette picture, several times smaller, with the
 * same pixels. 0 (the default): 32-bit RGBA and 24-bit RGB as before. The
 * alpha-only picture is a palette picture either way. */
PIXWRIGHT_API void setPngPalette(int on);

/* Called on the calling thread once the picture is cut (cellsDone 0) and after
 * the files of each cell are written, with the number of files this call has
 * written so far. A non-zero return cancels the conversion between cells: the
 * files written so far stay, nothing further is written, and graphicConvert
 * returns 40 without an error box. A null handler turns reporting off. */
typedef int (*PixwrightProgressHandler)(void* user, int cellsDone, int cellsTotal, int filesWritten);
PIXWRIGHT_API void setProgressHandler(PixwrightProgressHandler handler, void* user);

/* Finer progress than setProgressHandler's, in units of work over the whole
 * conversion, writing included: each cell counts one unit per band of at
 * most 64 rows of its enlargement for the resampling, as many again for the
 * sharpening when it is sharpened, and one per file it writes. unitsTotal is
 * known once the picture is cut. The handler is called on the calling
 * thread, first with unitsDone 0, then as units complete (and, while the
 * calling thread waits for another one, every few hundredths of a second);
 * unitsDone never goes down, and the last call of a finished conversion has
 * it at unitsTotal with every file counted. A non-zero return cancels at the
 * next band, or between chunks of rows of a file being written: the files
 * already whole stay, the file being written is removed, nothing further is
 * written, and graphicConvert returns 40 without an error box. Both handlers
 * may be set; a null handler turns this one off. */
typedef int (*PixwrightWorkHandler)(void* user, long long unitsDone, long long unitsTotal, int filesWritten);
PIXWRIGHT_API void setWorkProgressHandler(PixwrightWorkHandler handler, void* user);

/* The engine's error box. With no handler installed (or after passing null)
 * the platform's own box is used: MessageBoxA on Windows, standard error
 * elsewhere. The handler must not return before the user has seen the text. */
typedef void (*PixwrightErrorBoxHandler)(const char* caption, const char* text);
PIXWRIGHT_API void setErrorBoxHandler(PixwrightErrorBoxHandler handler);

/* The questions a front end asks instead of restating the engine's rules.
 * None of them shows a box, writes a log entry or touches a file. */

/* The preset the editor preset cuts a width x height picture as:
 * PIXWRIGHT_PRESET_CHIPSET, _CHARSET or _NONE. */
PIXWRIGHT_API int presetForSize(int width, int height);

/* What a preset is: the picture size it takes, the grid its cells are
 * resampled with and whether the alpha-grid correction suits it. */
typedef struct PixwrightPresetInfo {
    int pictureWidth;
    int pictureHeight;
    int gridWidth;
    int gridHeight;
    int eraseAlphaGrid;
} PixwrightPresetInfo;
/* 0 with *info filled for PIXWRIGHT_PRESET_CHIPSET and _CHARSET, -1 (and
 * *info untouched) for anything else. */
PIXWRIGHT_API int presetInfo(int preset, PixwrightPresetInfo* info);

typedef struct PixwrightColor {
    unsigned char red;
    unsigned char green;
    unsigned char blue;
    unsigned char alpha;
} PixwrightColor;

/* A picture file as a conversion would load it. */
typedef struct PixwrightPictureInfo {
    int width;
    int height;
    /* 1 when the file carries a palette of its own; a grey picture's made-up
     * one does not count. */
    int ownPalette;
    /* Its palette entry 0 (alpha 255); (0, 0, 0, 0) without a palette. */
    PixwrightColor paletteEntry0;
    /* What the editor preset cuts it as (presetForSize). */
    int preset;
} PixwrightPictureInfo;
/* 0 with *info filled, or 10 (as graphicConvert would return) when the file
 * cannot be loaded. The answer comes from the file's header (and its
 * palette) alone, read by the rules the conversion loads it by, without
 * decoding the pixels: a file whose header is sound but whose pixel data is
 * damaged answers 0 here and then fails when converted (code 10). */
PIXWRIGHT_API int inspectPicture(const char* path, PixwrightPictureInfo* info);

/* The key colour a conversion started now would use for the picture file,
 * under the colour-key settings as they stand. 0 with *key filled, or 10
 * when the file cannot be loaded (*key untouched). */
PIXWRIGHT_API int pictureKeyColor(const char* path, PixwrightColor* key);

/* The files graphicConvert with these arguments would write, in the order it
 * would write them: each name NUL-terminated, an empty name after the last.
 * The list is copied into buffer when it fits into bufferSize bytes. Returns
 * the number of bytes the list takes, or 0 when the call would write no file
 * (a request graphicConvert refuses, a picture it cannot load). */
PIXWRIGHT_API int plannedOutputFiles(const char* sourcePath, const char* outputFolder,
                                     const char* outputName, int editorPreset, int outputFormat,
                                     int saveNatural, const char* naturalSuffix,
                                     int saveColor, const char* colorSuffix,
                                     int saveAlpha, const char* alphaSuffix,
                                     char* buffer, int bufferSize);

/* How much memory conversions running side by side may take together, in
 * bytes; 0 or less: half the machine's memory, the default. Each conversion
 * reserves its estimated peak (40 bytes a source pixel: the decoded picture,
 * its cells, the doubled picture and a variant) from its picture's header
 * before decoding, and waits while the conversions running leave no room
 * for it; a picture whose peak alone is past the limit fails with code 10
 * and a log entry saying so. */
PIXWRIGHT_API void setMemoryLimit(long long bytes);

/* Where the engine's log entries go: "stderr.txt" in the current folder, or
 * the same name in the user's state folder ($XDG_STATE_HOME/pixwright, else
 * ~/.local/state/pixwright; %LOCALAPPDATA%\pixwright on Windows) once the
 * current folder could not be written. Copies at most size - 1 bytes and a
 * NUL into buffer (nothing when buffer is null or size is 0) and returns the
 * path's full length; 0 when logging is off. */
PIXWRIGHT_API int getLogFilePath(char* buffer, int size);

/* The kinds of picture of a game made with the editor: each asset folder
 * directly inside the game's folder holds one kind, named by the folder
 * (matched without regard to ASCII letter case). */
#define PIXWRIGHT_KIND_UNKNOWN -1 /* a folder of no picture kind (Music, Sound, ...) */
#define PIXWRIGHT_KIND_CHIPSET 0
#define PIXWRIGHT_KIND_CHARSET 1
#define PIXWRIGHT_KIND_FACESET 2
#define PIXWRIGHT_KIND_BATTLE 3
#define PIXWRIGHT_KIND_BATTLE2 4
#define PIXWRIGHT_KIND_BATTLECHARSET 5
#define PIXWRIGHT_KIND_BATTLEWEAPON 6
#define PIXWRIGHT_KIND_SYSTEM 7
#define PIXWRIGHT_KIND_SYSTEM2 8
#define PIXWRIGHT_KIND_MONSTER 9
#define PIXWRIGHT_KIND_PICTURE 10
#define PIXWRIGHT_KIND_FRAME 11
#define PIXWRIGHT_KIND_PANORAMA 12
#define PIXWRIGHT_KIND_BACKDROP 13
#define PIXWRIGHT_KIND_TITLE 14
#define PIXWRIGHT_KIND_GAMEOVER 15
#define PIXWRIGHT_KIND_COUNT 16

/* How a picture converts: a grid mode with the graphicConvert arguments it
 * stands for, and a key mode. */
typedef struct PixwrightKindSettings {
    int gridMode;       /* PIXWRIGHT_GRID_* */
    int editorPreset;   /* graphicConvert's editorPreset */
    int gridWidth;      /* graphicConvert's grid; 0 x 0 without one */
    int gridHeight;
    int eraseAlphaGrid; /* the grid mode's alpha-grid correction */
    int keyMode;        /* PIXWRIGHT_KEY_PALETTE with entry 0 ("auto"), or PIXWRIGHT_KEY_OFF ("none") */
} PixwrightKindSettings;

/* The folder name of a kind as the editor spells it ("ChipSet", "Battle2"),
 * or null for a value that is no kind. */
PIXWRIGHT_API const char* kindFolderName(int kind);

/* The kind of an asset folder's name, or PIXWRIGHT_KIND_UNKNOWN. */
PIXWRIGHT_API int kindOfFolder(const char* folderName);

/* 0 with *settings filled with the kind's row of the table, -1 (untouched)
 * for a value that is no kind. ChipSet and CharSet give their editor preset;
 * what a picture of another size gets, pictureSettings says. */
PIXWRIGHT_API int kindSettings(int kind, PixwrightKindSettings* settings);

/* The settings a width x height picture converts with under `preset` (a
 * kind's row, or one a user has edited): of the preset only gridMode,
 * gridWidth and gridHeight (for PIXWRIGHT_GRID_CUSTOM) and keyMode are read,
 * the rest follows from them. A chipset or charset grid mode for a picture
 * not of that preset's size becomes a custom grid of the preset's grid size
 * (ChipSet: 16 x 16, CharSet: 24 x 32). A custom grid that does not divide
 * the picture converts as every grid does: the last square of a row or
 * column is cut to what is left. 0, or -1 (untouched) for a null pointer or
 * an unknown grid mode. */
PIXWRIGHT_API int pictureSettings(const PixwrightKindSettings* preset, int width, int height,
                                  PixwrightKindSettings* settings);

/* What a file holds, told from its first bytes; its name never counts. */
#define PIXWRIGHT_FILE_NOT_PICTURE 0 /* or unreadable */
#define PIXWRIGHT_FILE_DECODED 1     /* a picture of a kind the engine decodes */
#define PIXWRIGHT_FILE_UNDECODED 2   /* a picture of a kind it does not */
typedef struct PixwrightFileFormat {
    int picture;   /* PIXWRIGHT_FILE_* */
    char name[16]; /* "PNG", "BMP", "JPEG", "XYZ", "GIF", ...; "" for no picture */
} PixwrightFileFormat;
/* Always fills *format; returns its `picture`. */
PIXWRIGHT_API int fileFormat(const char* path, PixwrightFileFormat* format);
/* Why the last graphicConvert of the calling thread failed, in parts a front
 * end puts into a message of its own language: the kind of failure, the file
 * or folder concerned and the reason the system or the decoder gave. The
 * error box text and the log entry stay as they are; these are the same
 * facts, not a translation of them. */
#define PIXWRIGHT_FAILURE_NONE 0
#define PIXWRIGHT_FAILURE_REQUEST 1            /* codes 1 to 5 and a name starting with ".": the code says which */
#define PIXWRIGHT_FAILURE_NOT_A_FOLDER 2       /* path: the output folder, which is something else */
#define PIXWRIGHT_FAILURE_FOLDER_NO_PARENT 3   /* path: the output folder; other: its parent, which does not exist */
#define PIXWRIGHT_FAILURE_FOLDER_NOT_MADE 4    /* path: the output folder; reason: the system's */
#define PIXWRIGHT_FAILURE_BAD_NAME 5           /* path: the folder or name refused; reason: the rule it breaks */
#define PIXWRIGHT_FAILURE_SOURCE_NOT_OPENED 6  /* path: the source; reason: the system's */
#define PIXWRIGHT_FAILURE_SOURCE_NOT_DECODED 7 /* path: the source; reason: the decoder's */
#define PIXWRIGHT_FAILURE_SOURCE_TOO_LARGE 8   /* path: the source; reason: its size against the largest taken */
#define PIXWRIGHT_FAILURE_NOT_CUT 9            /* path: the source */
#define PIXWRIGHT_FAILURE_NOT_CONVERTED 10     /* path: the source */
#define PIXWRIGHT_FAILURE_NOT_WRITTEN 11       /* path: the output file; reason: the system's or the encoder's */
#define PIXWRIGHT_FAILURE_INTERNAL 12          /* reason: the exception's text, if any */
#define PIXWRIGHT_FAILURE_CANCELLED 13         /* code 40 */

typedef struct PixwrightFailure {
    int code; /* what graphicConvert returned */
    int kind; /* PIXWRIGHT_FAILURE_... */
    /* NUL-terminated byte strings as the engine got or made them; empty
     * where the kind has none; cut at the end (between UTF-8 characters)
     * when longer. */
    char path[4096];
    char other[4096];
    char reason[1024];
} PixwrightFailure;

/* The calling thread's last graphicConvert result (0 after a success or
 * before any call), with *failure filled when failure is not null. */
PIXWRIGHT_API int getLastFailure(PixwrightFailure* failure);

#ifdef __cplusplus
}
#endif

#endif
