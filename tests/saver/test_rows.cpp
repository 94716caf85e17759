// The writers' row conversion: the direct byte paths against the per-pixel
// mask rules, on every layout and target.
#include "saver/WPX_rows.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

struct Layout {
    const char* name;
    int bits;
    Uint32 r, g, b, a;
};

const Layout layouts[] = {
    {"rgb24", 24, 0x0000FF, 0x00FF00, 0xFF0000, 0},
    {"bgr24", 24, 0xFF0000, 0x00FF00, 0x0000FF, 0},
    {"gbr24", 24, 0x00FF00, 0xFF0000, 0x0000FF, 0},
    {"rgba32", 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000},
    {"bgra32", 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000},
    {"xbgr32", 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0},
    {"xrgb32", 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0},
    {"rgbx32", 32, 0xFF000000, 0x00FF0000, 0x0000FF00, 0},
    {"argb2101010", 32, 0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000},
    {"rgb565", 16, 0xF800, 0x07E0, 0x001F, 0},
    {"rgb555", 16, 0x7C00, 0x03E0, 0x001F, 0},
    {"argb4444", 16, 0x0F00, 0x00F0, 0x000F, 0xF000},
    {"palette8", 8, 0, 0, 0, 0},
};

SDL_Surface* makeSurface(const Layout& l, int w, int h)
{
    SDL_Surface* s = SDL_CreateRGBSurface(0, w, h, l.bits, l.r, l.g, l.b, l.a);
    std::mt19937 random(unsigned(l.bits * 31 + w));
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < s->pitch; ++i)
            static_cast<Uint8*>(s->pixels)[y * s->pitch + i] = Uint8(random());
    if (l.bits == 8) {
        SDL_Color colours[40];
        for (int i = 0; i < 40; ++i)
            colours[i] = SDL_Color{Uint8(i * 6), Uint8(255 - i * 5), Uint8(i * i), 0};
        SDL_SetPalette(s, SDL_LOGPAL, colours, 0, 40);
        s->format->palette->ncolors = 40; // indices past it read black
    }
    return s;
}

} // namespace

TEST(RowConversion, DirectPathsWriteTheBytesOfTheMaskRules)
{
    const wpx::RowTarget targets[] = {wpx::RowTarget::Bmp, wpx::RowTarget::Rgb, wpx::RowTarget::Channels,
                                      wpx::RowTarget::ChannelsAlpha};
    int compared = 0;
    for (const Layout& layout : layouts) {
        for (int w : {1, 7, 33}) {
            SDL_Surface* s = makeSurface(layout, w, 3);
            ASSERT_NE(s, nullptr);
            for (wpx::RowTarget target : targets) {
                const wpx::RowConverter converter(s->format, target);
                if (!converter.knowsFormat())
                    continue;
                const size_t bytes = size_t(converter.targetBytes(w));
                for (int y = 0; y < 3; ++y) {
                    const Uint8* row = wpx::surfaceRow(s, y);
                    std::vector<Uint8> fast(bytes + 8, 0xEE), reference(bytes + 8, 0xEE);
                    const Uint8* a = converter.rows(row, w, fast.data());
                    const Uint8* b = converter.reference(row, w, reference.data());
                    ASSERT_EQ(std::string(reinterpret_cast<const char*>(a), bytes),
                              std::string(reinterpret_cast<const char*>(b), bytes))
                        << layout.name << " width " << w << " target " << int(target);
                    // Nothing is written past the row's bytes.
                    if (a == fast.data()) {
                        EXPECT_EQ(fast[bytes], 0xEE) << layout.name;
                    }
                    ++compared;
                }
            }
            SDL_FreeSurface(s);
        }
    }
    EXPECT_GT(compared, 100);
}

TEST(RowConversion, WorkedBytes)
{
    // One pixel red 0x11, green 0x22, blue 0x33, alpha 0x44 in the engine's
    // layout: BMP wants blue, green, red, 0; JPEG red, green, blue.
    SDL_Surface* s = SDL_CreateRGBSurface(0, 1, 1, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000);
    *static_cast<Uint32*>(s->pixels) = 0x44332211;
    Uint8 out[4];
    const Uint8* bmp = wpx::RowConverter(s->format, wpx::RowTarget::Bmp).convert(wpx::surfaceRow(s, 0), 1, out);
    EXPECT_EQ(std::vector<Uint8>(bmp, bmp + 4), (std::vector<Uint8>{0x33, 0x22, 0x11, 0x00}));
    const Uint8* rgb = wpx::RowConverter(s->format, wpx::RowTarget::Rgb).convert(wpx::surfaceRow(s, 0), 1, out);
    EXPECT_EQ(std::vector<Uint8>(rgb, rgb + 3), (std::vector<Uint8>{0x11, 0x22, 0x33}));
    SDL_FreeSurface(s);

    // A 565 pixel with all green bits: BMP scales 63 to 31, JPEG to 255; the
    // PNG copy keeps 63 for the shift transform.
    s = SDL_CreateRGBSurface(0, 1, 1, 16, 0xF800, 0x07E0, 0x001F, 0);
    *static_cast<Uint16*>(s->pixels) = 0x07E0;
    const Uint8* word = wpx::RowConverter(s->format, wpx::RowTarget::Bmp).convert(wpx::surfaceRow(s, 0), 1, out);
    EXPECT_EQ(word[0] | word[1] << 8, 31 << 5);
    const Uint8* j = wpx::RowConverter(s->format, wpx::RowTarget::Rgb).convert(wpx::surfaceRow(s, 0), 1, out);
    EXPECT_EQ(j[1], 255);
    const Uint8* c = wpx::RowConverter(s->format, wpx::RowTarget::Channels).convert(wpx::surfaceRow(s, 0), 1, out);
    EXPECT_EQ(c[1], 63);
    SDL_FreeSurface(s);
}
