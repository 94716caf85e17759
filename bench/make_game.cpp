// Draws the game bench/bench_game.sh converts: 200 palette pictures spread
// over every asset folder, at the sizes the editor's games use, with a fixed
// seed so every run converts the same bytes.
//
//     make_game GAME_FOLDER
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

struct KindPlan {
    const char* folder;
    int count;
    int width;
    int height;
};

// 200 pictures in all: many chipsets and charsets, as a game has.
const KindPlan plan[] = {
    {"ChipSet", 40, 480, 256},      {"CharSet", 40, 288, 256},      {"FaceSet", 20, 192, 192},
    {"Battle", 15, 480, 480},       {"Battle2", 5, 640, 640},       {"BattleCharSet", 10, 144, 384},
    {"BattleWeapon", 10, 192, 64},  {"System", 5, 160, 80},         {"System2", 5, 80, 96},
    {"Monster", 15, 120, 100},      {"Picture", 10, 320, 240},      {"Frame", 5, 320, 240},
    {"Panorama", 10, 640, 480},     {"Backdrop", 5, 320, 160},      {"Title", 3, 320, 240},
    {"GameOver", 2, 320, 240},
};

std::uint32_t state = 12345;
std::uint32_t next()
{
    state = state * 1103515245u + 12345u;
    return state >> 16;
}

// Blocks of 8 x 8 pixels in one of a few colours with some noise, and
// palette entry 0 (the editors' transparent colour) on about a tenth of them.
bool writePicture(const std::string& file, int width, int height)
{
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(out);
        return false;
    }
    png_init_io(png, out);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette(32);
    palette[0] = png_color{255, 103, 139};
    for (size_t i = 1; i < palette.size(); ++i)
        palette[i] = png_color{png_byte(next()), png_byte(next()), png_byte(next())};
    png_set_PLTE(png, info, palette.data(), int(palette.size()));
    png_write_info(png, info);
    const int blocksX = (width + 7) / 8;
    std::vector<png_byte> blockColour(size_t(blocksX) * size_t((height + 7) / 8));
    for (png_byte& c : blockColour)
        c = next() % 10 == 0 ? 0 : png_byte(1 + next() % 31);
    std::vector<png_byte> row(static_cast<size_t>(width));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const png_byte base = blockColour[size_t(y / 8) * size_t(blocksX) + size_t(x / 8)];
            row[size_t(x)] = base != 0 && next() % 6 == 0 ? png_byte(1 + next() % 31) : base;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(out) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: make_game GAME_FOLDER\n");
        return 2;
    }
    const std::string game = argv[1];
    mkdir(game.c_str(), 0755);
    int written = 0;
    for (const KindPlan& kind : plan) {
        const std::string folder = game + "/" + kind.folder;
        mkdir(folder.c_str(), 0755);
        for (int i = 0; i < kind.count; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "/%s_%03d.png", kind.folder, i + 1);
            if (!writePicture(folder + name, kind.width, kind.height)) {
                std::fprintf(stderr, "make_game: cannot write %s%s\n", folder.c_str(), name);
                return 1;
            }
            ++written;
        }
    }
    std::printf("%d pictures in %s\n", written, game.c_str());
    return 0;
}
