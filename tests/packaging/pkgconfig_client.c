/* A program of a user of the installed libraries, built with nothing but
   `pkg-config --cflags --libs pixwright writepix`: it saves a picture with
   the saver, converts it with the engine and reads the result back.

   pkgconfig_client FOLDER   prints each failed check, exits 1 when any did */
#include <Pixwright_DLL.h>
#include <writepix.h>

#include <stdio.h>
#include <string.h>

static int failures;
static int boxes;
static char boxText[1024];

static void check(int ok, const char* what)
{
    if (!ok) {
        printf("FAIL: %s\n", what);
        ++failures;
    }
}

static void recordBox(const char* caption, const char* text)
{
    (void)caption;
    ++boxes;
    snprintf(boxText, sizeof boxText, "%s", text);
}

static Uint32 pixelAt(SDL_Surface* surface, int x, int y)
{
    const Uint8* p = (const Uint8*)surface->pixels + y * surface->pitch + x * surface->format->BytesPerPixel;
    switch (surface->format->BytesPerPixel) {
    case 1:
        return *p;
    case 2:
        return *(const Uint16*)p;
    case 3:
        return (Uint32)p[0] | (Uint32)p[1] << 8 | (Uint32)p[2] << 16;
    default:
        return *(const Uint32*)p;
    }
}

/* The colour of one pixel as 0xRRGGBB. */
static Uint32 rgbAt(SDL_Surface* surface, int x, int y)
{
    Uint8 r, g, b;
    SDL_GetRGB(pixelAt(surface, x, y), surface->format, &r, &g, &b);
    return (Uint32)r << 16 | (Uint32)g << 8 | b;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: pkgconfig_client FOLDER\n");
        return 2;
    }
    char source[1024], colorFile[1024], alphaFile[1024], missing[1024];
    snprintf(source, sizeof source, "%s/tile.png", argv[1]);
    snprintf(colorFile, sizeof colorFile, "%s/big_color.bmp", argv[1]);
    snprintf(alphaFile, sizeof alphaFile, "%s/big_alpha.bmp", argv[1]);
    snprintf(missing, sizeof missing, "%s/missing.png", argv[1]);

    const SDL_version* version = WPX_Linked_Version();
    check(version->major == 1 && version->minor == 2 && version->patch == 4, "writepix reports version 1.2.4");

    /* Top left orange, top right the transparent colour 007575, bottom left
       green, bottom right blue. */
    SDL_Surface* tile = SDL_CreateRGBSurface(SDL_SWSURFACE, 2, 2, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    if (!tile) {
        printf("FAIL: no surface: %s\n", SDL_GetError());
        return 1;
    }
    const Uint32 colours[4] = {0xE0A030, 0x007575, 0x30A050, 0x2040C0};
    for (int i = 0; i < 4; ++i)
        ((Uint32*)((Uint8*)tile->pixels + (i / 2) * tile->pitch))[i % 2] = colours[i];
    SDL_ClearError();
    check(WPX_Save(tile, source) == 0, "WPX_Save writes the source picture");
    SDL_FreeSurface(tile);
    FILE* written = fopen(source, "rb");
    unsigned char signature[8] = {0};
    if (written) {
        check(fread(signature, 1, 8, written) == 8, "the source picture has a signature");
        fclose(written);
    }
    check(memcmp(signature, "\x89PNG\r\n\x1a\n", 8) == 0, "the source picture is a PNG file");

    /* No grid, nearest neighbour, no sharpening, BMP colour and alpha files:
       every source pixel becomes a 2 x 2 block, the transparent one clear. */
    setErrorBoxHandler(recordBox);
    setColorKey(0x00, 0x75, 0x75);
    int result = graphicConvert(source, argv[1], "big", 0, 0, 0, 0, 0, 0, 0, 0, "", 1, "color", 1, "alpha");
    check(result == 0, "graphicConvert converts the picture");
    check(boxes == 0, "a conversion that succeeds shows no error box");

    SDL_Surface* color = SDL_LoadBMP(colorFile);
    SDL_Surface* alpha = SDL_LoadBMP(alphaFile);
    check(color && color->w == 4 && color->h == 4, "the colour file is 4 x 4");
    check(alpha && alpha->w == 4 && alpha->h == 4, "the alpha file is 4 x 4");
    if (color && alpha && color->w == 4 && color->h == 4 && alpha->w == 4 && alpha->h == 4) {
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                const int i = (y / 2) * 2 + x / 2;
                char what[128];
                snprintf(what, sizeof what, "alpha of (%d, %d)", x, y);
                check(rgbAt(alpha, x, y) == (i == 1 ? 0x000000u : 0xFFFFFFu), what);
                if (i != 1) {
                    snprintf(what, sizeof what, "colour of (%d, %d)", x, y);
                    check(rgbAt(color, x, y) == colours[i], what);
                }
            }
        }
    }
    SDL_FreeSurface(color);
    SDL_FreeSurface(alpha);

    result = graphicConvert(missing, argv[1], "none", 0, 0, 0, 0, 0, 0, 0, 0, "", 1, "color", 1, "alpha");
    check(result == 10, "a missing source fails with code 10");
    check(boxes == 1, "the failure shows one error box");
    char expected[1100];
    snprintf(expected, sizeof expected, "%sファイルを開けません。", missing);
    check(strcmp(boxText, expected) == 0, "the error box names the file that would not open");

    return failures == 0 ? 0 : 1;
}
