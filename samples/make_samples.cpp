// Draws the bundled sample pictures: a 480 x 256 chipset and a 288 x 256
// charset on the default transparent colour (0x00, 0x75, 0x75).
//
//     make_samples OUTPUT_FOLDER
#include "saver/writepix.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Colour {
    Uint8 r, g, b;
};

const Colour key{0x00, 0x75, 0x75};

void put(SDL_Surface* s, int x, int y, Colour c)
{
    if (x < 0 || y < 0 || x >= s->w || y >= s->h)
        return;
    Uint8* p = static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 3;
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
}

void fill(SDL_Surface* s, int x0, int y0, int w, int h, Colour c)
{
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            put(s, x, y, c);
}

Colour hue(int i, int shade)
{
    static const Colour base[] = {{200, 60, 50},  {60, 170, 70}, {70, 90, 200},  {210, 180, 60},
                                  {150, 80, 170}, {230, 130, 40}, {90, 60, 40},  {180, 180, 190}};
    Colour c = base[i % 8];
    auto adjust = [shade](int v) { return static_cast<Uint8>(std::min(255, std::max(0, v + shade))); };
    return {adjust(c.r), adjust(c.g), adjust(c.b)};
}

// A 16 x 16 tile: ground, a bush, a stone or a flower, by position.
void drawTile(SDL_Surface* s, int tx, int ty)
{
    const int x0 = tx * 16, y0 = ty * 16, kind = (tx * 7 + ty * 3) % 5, colour = tx + ty;
    switch (kind) {
    case 0: // ground with speckles
        fill(s, x0, y0, 16, 16, hue(colour, -40));
        for (int i = 0; i < 6; ++i)
            put(s, x0 + (i * 5 + ty) % 16, y0 + (i * 7 + tx) % 16, hue(colour, 40));
        break;
    case 1: // round bush, transparent corners
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const int dx = 2 * x - 15, dy = 2 * y - 15;
                if (dx * dx + dy * dy <= 196)
                    put(s, x0 + x, y0 + y, hue(colour, dx + dy < -6 ? 50 : 0));
            }
        break;
    case 2: // stone block with an outline
        fill(s, x0 + 2, y0 + 3, 12, 11, {40, 40, 48});
        fill(s, x0 + 3, y0 + 4, 10, 9, hue(7, -(tx % 3) * 20));
        break;
    case 3: // flower
        fill(s, x0 + 7, y0 + 8, 2, 7, {40, 140, 40});
        fill(s, x0 + 5, y0 + 3, 6, 6, hue(colour, 30));
        fill(s, x0 + 7, y0 + 5, 2, 2, {250, 240, 120});
        break;
    default: // water ripple band
        fill(s, x0, y0, 16, 16, {40, 90, 190});
        for (int x = 0; x < 16; ++x)
            put(s, x0 + x, y0 + 6 + (x + ty) % 4, {180, 220, 250});
        break;
    }
}

// One 24 x 32 frame of a walking figure facing one of four directions.
void drawFigure(SDL_Surface* s, int x0, int y0, int character, int direction, int step)
{
    const Colour skin{240, 200, 160}, hair = hue(character + 3, -60), cloth = hue(character, 0);
    fill(s, x0 + 7, y0 + 3, 10, 10, skin);
    fill(s, x0 + 7, y0 + 2, 10, direction == 3 ? 10 : 4, hair);
    if (direction == 0) {
        put(s, x0 + 9, y0 + 8, {20, 20, 20});
        put(s, x0 + 14, y0 + 8, {20, 20, 20});
    } else if (direction == 1 || direction == 2) {
        put(s, x0 + (direction == 1 ? 8 : 15), y0 + 8, {20, 20, 20});
    }
    fill(s, x0 + 6, y0 + 13, 12, 11, cloth);
    const int swing = step == 0 ? -2 : step == 2 ? 2 : 0;
    fill(s, x0 + 8 + swing, y0 + 24, 3, 6, {50, 50, 80});
    fill(s, x0 + 13 - swing, y0 + 24, 3, 6, {50, 50, 80});
}

SDL_Surface* canvas(int w, int h)
{
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0);
    if (s != nullptr)
        fill(s, 0, 0, w, h, key);
    return s;
}

bool save(SDL_Surface* s, const std::string& path)
{
    if (WPX_Save(s, path.c_str()) != 0) {
        std::fprintf(stderr, "make_samples: %s: %s\n", path.c_str(), SDL_GetError());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? argv[1] : ".";
    SDL_Surface* chipset = canvas(480, 256);
    SDL_Surface* charset = canvas(288, 256);
    if (chipset == nullptr || charset == nullptr)
        return 1;
    for (int ty = 0; ty < 16; ++ty)
        for (int tx = 0; tx < 30; ++tx)
            drawTile(chipset, tx, ty);
    for (int c = 0; c < 8; ++c)
        for (int d = 0; d < 4; ++d)
            for (int f = 0; f < 3; ++f)
                drawFigure(charset, (c % 4) * 72 + f * 24, (c / 4) * 128 + d * 32, c, d, f);
    const bool ok = save(chipset, folder + "/chipset.png") && save(charset, folder + "/charset.png");
    SDL_FreeSurface(chipset);
    SDL_FreeSurface(charset);
    return ok ? 0 : 1;
}
