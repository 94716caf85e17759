// Draws the pictures bench/run.sh converts: editor pictures of the usual
// kind, made in code with a fixed seed so every run converts the same bytes.
//
//     make_pictures OUTDIR
//
// writes OUTDIR/chipset.png (480 x 256), OUTDIR/charset.png (288 x 256),
// OUTDIR/large.png (2048 x 2048, a big sheet of the chipset's tiles) and
// OUTDIR/folder/set_01.png ... set_25.png (15 chipsets, 10 charsets), all
// 8-bit palette PNGs without tRNS whose entry 0 (255, 103, 139) is the
// transparent colour, never at (0, 0); and OUTDIR/kinds/*.png, one chipset
// stored in each kind of PNG a user may give (RGB, RGBA, tRNS, grey, 16-bit,
// 4-bit, interlaced), on which the floor is checked against the converter. The content is what compresses like
// real tiles: dithered and noisy terrain, outlined objects, diagonals, a few
// dozen colours. Prints each file's size and its share of transparent pixels.
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

struct Colour {
    std::uint8_t r, g, b;
};

// Entry 0 is the transparent colour; the rest are ramps from dark to light.
enum Index : std::uint8_t {
    Clear = 0,
    Outline,
    Grass0, Grass1, Grass2, Grass3,
    Dirt0, Dirt1, Dirt2, Dirt3,
    Sand0, Sand1,
    Water0, Water1, Water2, Water3, Foam,
    Stone0, Stone1, Stone2, Stone3, Stone4,
    Wood0, Wood1, Wood2,
    Roof0, Roof1, Roof2,
    Leaf0, Leaf1,
    Yellow, White, Purple, Red,
    Skin0, Skin1,
    Hair0, Hair1, Hair2,
    Blue0, Blue1, Crimson0, Crimson1, Green0, Violet0,
    Snow0, Snow1,
    PaletteSize
};

const Colour palette[PaletteSize] = {
    {255, 103, 139}, {24, 20, 32},
    {34, 90, 40}, {56, 128, 52}, {86, 160, 64}, {124, 190, 82},
    {94, 64, 40}, {128, 92, 56}, {160, 122, 76}, {190, 156, 104},
    {200, 180, 120}, {224, 206, 148},
    {20, 50, 120}, {30, 80, 160}, {50, 120, 200}, {90, 160, 220}, {200, 230, 250},
    {60, 60, 70}, {96, 96, 108}, {132, 132, 144}, {170, 170, 182}, {208, 208, 216},
    {80, 48, 28}, {118, 74, 40}, {156, 104, 58},
    {110, 30, 30}, {160, 48, 40}, {200, 80, 60},
    {20, 64, 36}, {40, 100, 50},
    {240, 210, 60}, {245, 245, 240}, {150, 80, 180}, {210, 50, 50},
    {240, 200, 160}, {208, 160, 120},
    {60, 40, 24}, {20, 20, 24}, {220, 180, 90},
    {40, 70, 150}, {70, 110, 200}, {150, 30, 40}, {200, 60, 60}, {40, 110, 60}, {90, 50, 120},
    {230, 235, 245}, {190, 200, 220},
};

using Ramp = std::vector<std::uint8_t>;
const Ramp grassRamp{Grass0, Grass1, Grass2, Grass3};
const Ramp dirtRamp{Dirt0, Dirt1, Dirt2, Dirt3};
const Ramp sandRamp{Dirt3, Sand0, Sand1};
const Ramp waterRamp{Water0, Water1, Water2, Water3};
const Ramp stoneRamp{Stone0, Stone1, Stone2, Stone3, Stone4};
const Ramp woodRamp{Wood0, Wood1, Wood2};
const Ramp roofRamp{Roof0, Roof1, Roof2};
const Ramp leafRamp{Leaf0, Leaf1, Grass1, Grass2};
const Ramp snowRamp{Stone3, Snow1, Snow0};

// xorshift32: the same numbers on every compiler, unlike <random>'s
// distributions.
class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
    std::uint32_t next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
    float unit() { return static_cast<float>(next() >> 8) / 16777216.0f; }
    bool chance(float p) { return unit() < p; }

private:
    std::uint32_t state_;
};

std::uint32_t hash(int x, int y, std::uint32_t seed)
{
    std::uint32_t h = seed ^ (static_cast<std::uint32_t>(x) * 0x8DA6B343u)
                      ^ (static_cast<std::uint32_t>(y) * 0xD8163841u);
    h ^= h >> 13;
    h *= 0x85EBCA6Bu;
    h ^= h >> 16;
    return h;
}

float lattice(int x, int y, std::uint32_t seed) { return static_cast<float>(hash(x, y, seed) & 0xFFFF) / 65535.0f; }

// Value noise in [0, 1], smooth over `scale` pixels.
float smooth(int x, int y, float scale, std::uint32_t seed)
{
    const float fx = x / scale, fy = y / scale;
    const int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
    const float tx = fx - ix, ty = fy - iy;
    const float sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    const float top = lattice(ix, iy, seed) + (lattice(ix + 1, iy, seed) - lattice(ix, iy, seed)) * sx;
    const float bottom = lattice(ix, iy + 1, seed) + (lattice(ix + 1, iy + 1, seed) - lattice(ix, iy + 1, seed)) * sx;
    return top + (bottom - top) * sy;
}

class Canvas {
public:
    Canvas(int width, int height)
        : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, Clear)
    {
    }
    int width() const { return width_; }
    int height() const { return height_; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    std::uint8_t at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    void put(int x, int y, std::uint8_t index)
    {
        if (inside(x, y))
            pixels_[static_cast<size_t>(y) * width_ + x] = index;
    }
    const std::uint8_t* row(int y) const { return &pixels_[static_cast<size_t>(y) * width_]; }

private:
    int width_, height_;
    std::vector<std::uint8_t> pixels_;
};

// Ordered 4 x 4 dithering between the steps of a ramp: the regular patterns
// hand-made pixel art uses for soft shading.
void shade(Canvas& c, int x, int y, const Ramp& ramp, float v)
{
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const float threshold = (bayer[y & 3][x & 3] + 0.5f) / 16.0f;
    const float scaled = std::fmin(std::fmax(v, 0.0f), 0.999f) * (ramp.size() - 1);
    int step = static_cast<int>(scaled);
    if (scaled - step > threshold && step + 1 < static_cast<int>(ramp.size()))
        ++step;
    c.put(x, y, ramp[step]);
}

struct Rect {
    int x, y, w, h;
};

// ------------------------------------------------------------ materials

enum class Material { Grass, Dirt, Sand, Water, Cobble, Brick, Wood, Snow, Count };

void drawMaterial(Canvas& c, Rect r, Material m, Random& rng, std::uint32_t seed)
{
    for (int y = r.y; y < r.y + r.h; ++y) {
        for (int x = r.x; x < r.x + r.w; ++x) {
            const float noise = rng.unit() - 0.5f;
            const float soft = smooth(x, y, 7.0f, seed);
            switch (m) {
            case Material::Grass:
                shade(c, x, y, grassRamp, 0.35f + 0.35f * soft + 0.3f * noise);
                break;
            case Material::Dirt:
                shade(c, x, y, dirtRamp, 0.3f + 0.4f * soft + 0.3f * noise);
                break;
            case Material::Sand:
                shade(c, x, y, sandRamp, 0.45f + 0.3f * soft + 0.15f * noise);
                break;
            case Material::Water: {
                const float wave = std::sin(x * 0.45f + y * 1.1f + 6.0f * smooth(x, y, 11.0f, seed));
                const float v = 0.45f + 0.25f * wave * soft + 0.12f * noise;
                if (v > 0.78f)
                    c.put(x, y, Foam);
                else
                    shade(c, x, y, waterRamp, v);
                break;
            }
            case Material::Cobble: {
                const int row = (y - r.y) / 6;
                const int cx = (x - r.x + (row & 1) * 4) % 8, cy = (y - r.y) % 6;
                if (cx == 0 || cy == 0)
                    c.put(x, y, Stone0);
                else
                    shade(c, x, y, stoneRamp, 0.75f - 0.05f * (cx + cy) + 0.25f * noise);
                break;
            }
            case Material::Brick: {
                const int row = (y - r.y) / 4;
                const int bx = (x - r.x + (row & 1) * 4) % 8, by = (y - r.y) % 4;
                if (bx == 0 || by == 0)
                    c.put(x, y, Stone3);
                else
                    shade(c, x, y, roofRamp, 0.7f - 0.1f * by + 0.2f * noise);
                break;
            }
            case Material::Wood: {
                const int plank = (x - r.x) / 4;
                if ((x - r.x) % 4 == 0)
                    c.put(x, y, Wood0);
                else
                    shade(c, x, y, woodRamp, 0.55f + 0.25f * std::sin(y * 0.6f + plank * 2.3f) + 0.2f * noise);
                break;
            }
            case Material::Snow:
                shade(c, x, y, snowRamp, 0.6f + 0.3f * soft + 0.2f * noise);
                break;
            case Material::Count:
                break;
            }
        }
    }
    if (m == Material::Grass) {
        // Flowers and blades of grass.
        const int tufts = r.w * r.h / 40;
        for (int i = 0; i < tufts; ++i) {
            const int x = r.x + rng.below(r.w), y = r.y + rng.below(r.h - 1);
            if (rng.chance(0.2f)) {
                c.put(x, y, rng.chance(0.5f) ? Yellow : White);
            } else {
                c.put(x, y, Grass3);
                c.put(x, y + 1, Grass0);
            }
        }
    }
}

// ------------------------------------------------------------ objects

// Draws the outline around what was drawn in r: every transparent pixel next
// to a drawn one.
void outline(Canvas& c, Rect r)
{
    std::vector<std::uint8_t> edge(static_cast<size_t>(r.w) * r.h, 0);
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) {
            if (c.at(x, y) != Clear)
                continue;
            const int dx[4] = {-1, 1, 0, 0}, dy[4] = {0, 0, -1, 1};
            for (int k = 0; k < 4; ++k) {
                const int nx = x + dx[k], ny = y + dy[k];
                if (nx >= r.x && ny >= r.y && nx < r.x + r.w && ny < r.y + r.h && c.at(nx, ny) != Clear
                    && c.at(nx, ny) != Outline) {
                    edge[static_cast<size_t>(y - r.y) * r.w + (x - r.x)] = 1;
                    break;
                }
            }
        }
    for (int y = 0; y < r.h; ++y)
        for (int x = 0; x < r.w; ++x)
            if (edge[static_cast<size_t>(y) * r.w + x])
                c.put(r.x + x, r.y + y, Outline);
}

// A ball of leaves or a rock: a disc lit from the top left, with noise.
void drawBall(Canvas& c, float cx, float cy, float rx, float ry, const Ramp& ramp, Random& rng)
{
    for (int y = static_cast<int>(cy - ry); y <= static_cast<int>(cy + ry); ++y)
        for (int x = static_cast<int>(cx - rx); x <= static_cast<int>(cx + rx); ++x) {
            const float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
            if (dx * dx + dy * dy > 1.0f)
                continue;
            const float light = 0.75f - 0.35f * (dx + dy) - 0.2f * (dx * dx + dy * dy);
            shade(c, x, y, ramp, light + 0.25f * (rng.unit() - 0.5f));
        }
}

void drawTree(Canvas& c, Rect r, Random& rng)
{
    const int trunkW = std::max(2, r.w / 6);
    for (int y = r.y + r.h * 5 / 8; y < r.y + r.h - 1; ++y)
        for (int x = r.x + (r.w - trunkW) / 2; x < r.x + (r.w + trunkW) / 2; ++x)
            shade(c, x, y, woodRamp, 0.5f + 0.4f * (rng.unit() - 0.5f));
    drawBall(c, r.x + r.w / 2.0f, r.y + r.h * 0.38f, r.w * 0.44f, r.h * 0.36f, leafRamp, rng);
    outline(c, r);
}

void drawRock(Canvas& c, Rect r, Random& rng)
{
    drawBall(c, r.x + r.w / 2.0f, r.y + r.h * 0.6f, r.w * 0.4f, r.h * 0.32f, stoneRamp, rng);
    outline(c, r);
}

void drawBush(Canvas& c, Rect r, Random& rng)
{
    drawBall(c, r.x + r.w * 0.35f, r.y + r.h * 0.6f, r.w * 0.28f, r.h * 0.28f, leafRamp, rng);
    drawBall(c, r.x + r.w * 0.65f, r.y + r.h * 0.62f, r.w * 0.28f, r.h * 0.26f, leafRamp, rng);
    if (rng.chance(0.5f))
        c.put(r.x + r.w / 2, r.y + r.h / 2, Red);
    outline(c, r);
}

void drawBarrel(Canvas& c, Rect r, Random& rng)
{
    for (int y = r.y + 3; y < r.y + r.h - 1; ++y)
        for (int x = r.x + 3; x < r.x + r.w - 3; ++x) {
            const bool band = (y - r.y) % 5 == 0;
            const float round = std::fabs((x - r.x - r.w / 2.0f) / (r.w / 2.0f - 3));
            if (band)
                c.put(x, y, Stone1);
            else
                shade(c, x, y, woodRamp, 0.8f - 0.6f * round + 0.2f * (rng.unit() - 0.5f));
        }
    outline(c, r);
}

// Posts with two diagonal rails.
void drawFence(Canvas& c, Rect r, Random& rng)
{
    for (int y = r.y + 3; y < r.y + r.h - 1; ++y) {
        c.put(r.x + 2, y, Wood2);
        c.put(r.x + 3, y, Wood1);
        c.put(r.x + r.w - 4, y, Wood2);
        c.put(r.x + r.w - 3, y, Wood1);
    }
    for (int i = 0; i < r.w - 6; ++i) {
        const int x = r.x + 4 + i;
        c.put(x, r.y + 5 + i / 3, rng.chance(0.2f) ? Wood0 : Wood2);
        c.put(x, r.y + 6 + i / 3, Wood1);
        c.put(x, r.y + r.h - 5 - i / 3, rng.chance(0.2f) ? Wood0 : Wood2);
        c.put(x, r.y + r.h - 4 - i / 3, Wood1);
    }
    outline(c, r);
}

// A gable roof: two diagonal edges and rows of shingles, lit from the left.
void drawRoof(Canvas& c, Rect r, Random& rng)
{
    const int mid = r.x + r.w / 2;
    for (int y = r.y + 1; y < r.y + r.h - 1; ++y) {
        const int half = (y - r.y) * (r.w / 2 - 1) / (r.h - 2);
        for (int x = mid - half; x <= mid + half; ++x) {
            if ((y - r.y) % 3 == 0)
                c.put(x, y, Roof0);
            else
                shade(c, x, y, roofRamp, (x < mid ? 0.75f : 0.45f) + 0.25f * (rng.unit() - 0.5f));
        }
    }
    outline(c, r);
}

// Stairs: diagonal steps of stone.
void drawStairs(Canvas& c, Rect r, Random& rng)
{
    drawMaterial(c, r, Material::Dirt, rng, 7);
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) {
            const int step = (x - r.x + y - r.y) / 4;
            if (step % 2 == 0 && x - r.x > 2 && x - r.x < r.w - 2)
                shade(c, x, y, stoneRamp, 0.7f - 0.04f * ((x - r.x + y - r.y) % 4) + 0.2f * (rng.unit() - 0.5f));
        }
}

// One 16 x 16 tile of a tile sheet: terrain most of the time, otherwise an
// object on the transparent colour.
void drawTile(Canvas& c, int x, int y, Random& rng, std::uint32_t seed)
{
    const Rect r{x, y, 16, 16};
    const int pick = rng.below(100);
    if (pick < 68) {
        const Material m = static_cast<Material>(rng.below(static_cast<int>(Material::Count)));
        drawMaterial(c, r, m, rng, seed + static_cast<std::uint32_t>(m));
        return;
    }
    if (pick < 72) {
        drawStairs(c, r, rng);
        return;
    }
    switch (rng.below(6)) {
    case 0:
        drawTree(c, r, rng);
        break;
    case 1:
        drawRock(c, r, rng);
        break;
    case 2:
        drawBush(c, r, rng);
        break;
    case 3:
        drawBarrel(c, r, rng);
        break;
    case 4:
        drawFence(c, r, rng);
        break;
    default:
        drawRoof(c, r, rng);
        break;
    }
}

// A sheet of 16 x 16 tiles over area, with now and then a large tree or roof
// over 2 x 2 of them.
void drawTileSheet(Canvas& c, Rect area, Random& rng, std::uint32_t seed)
{
    for (int ty = area.y; ty < area.y + area.h; ty += 16)
        for (int tx = area.x; tx < area.x + area.w; tx += 16)
            drawTile(c, tx, ty, rng, seed);
    const int large = area.w * area.h / 16384;
    for (int i = 0; i < large; ++i) {
        const int tx = area.x + 16 * rng.below(area.w / 16 - 1), ty = area.y + 16 * rng.below(area.h / 16 - 1);
        const Rect r{tx, ty, 32, 32};
        for (int y = ty; y < ty + 32; ++y)
            for (int x = tx; x < tx + 32; ++x)
                c.put(x, y, Clear);
        if (rng.chance(0.5f))
            drawTree(c, r, rng);
        else
            drawRoof(c, r, rng);
    }
}

// ------------------------------------------------------------ chipsets

// A 48 x 64 terrain block of the left part: the icon tile, then a patch of
// the material with an outlined, rounded border and transparent corners.
void drawAutotile(Canvas& c, int x0, int y0, Material m, Random& rng, std::uint32_t seed)
{
    drawMaterial(c, Rect{x0, y0, 48, 64}, m, rng, seed);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) {
            const int ex = std::min(x, 47 - x), ey = std::min(y, 47 - y);
            const int corner = (ex < 4 && ey < 4) ? (4 - ex) * (4 - ex) + (4 - ey) * (4 - ey) : 0;
            if (corner > 13)
                c.put(x0 + x, y0 + 16 + y, Clear);
            else if (ex == 0 || ey == 0 || corner > 8)
                c.put(x0 + x, y0 + 16 + y, Outline);
        }
}

// The animation block: three columns of four 16 x 16 frames of a flickering
// flame or sparkle on the transparent colour.
void drawAnimation(Canvas& c, int x0, int y0, Random& rng)
{
    for (int column = 0; column < 3; ++column)
        for (int frame = 0; frame < 4; ++frame) {
            const Rect r{x0 + 16 * column, y0 + 16 * frame, 16, 16};
            const float height = 5.0f + 1.5f * frame + column;
            const Ramp& ramp = column == 1 ? waterRamp : roofRamp;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    const float dx = (x - 7.5f) / (3.0f + frame % 2), dy = (y - 15.0f + height) / height;
                    if (dx * dx + dy * dy * (y < 15 - height ? 1.0f : 0.3f) < 1.0f)
                        shade(c, r.x + x, r.y + y, ramp, 0.9f - 0.5f * std::fabs(dx) + 0.2f * (rng.unit() - 0.5f));
                }
            c.put(r.x + 7, r.y + 15 - static_cast<int>(height), column == 2 ? White : Yellow);
            outline(c, r);
        }
}

Canvas drawChipset(std::uint32_t seed)
{
    Random rng(seed);
    Canvas c(480, 256);
    // The two sea blocks, then two more water autotiles.
    for (int x0 = 0; x0 < 192; x0 += 48)
        drawMaterial(c, Rect{x0, 0, 48, 64}, Material::Water, rng, seed + static_cast<std::uint32_t>(x0));
    for (int x = 0; x < 96; ++x) {
        c.put(x, 16, Foam);
        c.put(x, 17, Water3);
    }
    drawMaterial(c, Rect{0, 64, 48, 64}, Material::Water, rng, seed + 11);
    drawAnimation(c, 48, 64, rng);
    const Material kinds[] = {Material::Grass, Material::Dirt, Material::Sand, Material::Cobble, Material::Snow,
                              Material::Grass, Material::Wood, Material::Dirt, Material::Brick, Material::Grass};
    int k = 0;
    for (int y0 = 64; y0 < 256; y0 += 64)
        for (int x0 = 0; x0 < 192; x0 += 48) {
            if (y0 == 64 && x0 < 96)
                continue;
            drawAutotile(c, x0, y0, kinds[(k + seed) % 10], rng, seed + static_cast<std::uint32_t>(k));
            ++k;
        }
    drawTileSheet(c, Rect{192, 0, 288, 256}, rng, seed);
    return c;
}

// ------------------------------------------------------------ charsets

struct Look {
    std::uint8_t cloth, clothLight, hair;
};

// One 24 x 32 frame: direction 0 up, 1 right, 2 down, 3 left; step 0 left
// foot, 1 standing, 2 right foot. The frame stands on a patch of floor; above
// the shoulders beside the head it is transparent.
void drawCharacter(Canvas& c, int x0, int y0, int direction, int step, const Look& look, Material floor, Random& rng,
                   std::uint32_t seed)
{
    drawMaterial(c, Rect{x0, y0 + 9, 24, 23}, floor, rng, seed);
    const Rect frame{x0, y0, 24, 32};
    const int swing = step == 1 ? 0 : (step == 0 ? -1 : 1);
    // Legs.
    for (int y = 23; y < 30; ++y) {
        const int offset = (y - 23) * swing / 3;
        for (int x = 8; x < 11; ++x)
            c.put(x0 + x + offset, y0 + y, y > 27 ? Hair0 : Blue0);
        for (int x = 13; x < 16; ++x)
            c.put(x0 + x - offset, y0 + y, y > 27 ? Hair0 : Blue0);
    }
    // Body with arms, shaded from the left.
    for (int y = 12; y < 24; ++y)
        for (int x = 5; x < 19; ++x) {
            const bool arm = x < 7 || x > 16;
            if (arm && y > 20 + swing)
                continue;
            const std::uint8_t cloth = x < 11 ? look.clothLight : look.cloth;
            c.put(x0 + x, y0 + y, arm && y > 19 ? std::uint8_t{Skin0} : cloth);
            if (rng.chance(0.04f))
                c.put(x0 + x, y0 + y, Outline);
        }
    // Head: skin, hair on top (all of it from behind), eyes facing the way.
    for (int y = 1; y < 13; ++y)
        for (int x = 6; x < 18; ++x) {
            const float dx = (x - 11.5f) / 6.0f, dy = (y - 6.5f) / 6.0f;
            if (dx * dx + dy * dy > 1.0f)
                continue;
            const bool hair = y < 5 || direction == 0 || (direction == 1 && x < 9) || (direction == 3 && x > 14);
            c.put(x0 + x, y0 + y, hair ? look.hair : std::uint8_t{x < 11 ? Skin0 : Skin1});
        }
    if (direction != 0) {
        const int eye = direction == 1 ? 2 : direction == 3 ? -2 : 0;
        c.put(x0 + 9 + eye, y0 + 7, Outline);
        c.put(x0 + 14 + eye, y0 + 7, Outline);
    }
    // The outline only where the figure meets the transparent part.
    outline(c, Rect{frame.x, frame.y, frame.w, 10});
}

// A wall with a door opening over the four directions' rows: an "object"
// sheet, opaque everywhere.
void drawDoor(Canvas& c, int x0, int y0, int step, Random& rng, std::uint32_t seed)
{
    drawMaterial(c, Rect{x0, y0, 24, 32}, Material::Brick, rng, seed);
    const int open = step * 3;
    for (int y = 6; y < 32; ++y)
        for (int x = 4 + open; x < 20 - open; ++x)
            shade(c, x0 + x, y0 + y, woodRamp, 0.5f + 0.3f * std::sin(x * 1.3f) + 0.2f * (rng.unit() - 0.5f));
    for (int x = 3; x < 21; ++x)
        c.put(x0 + x, y0 + 5, Outline);
}

Canvas drawCharset(std::uint32_t seed)
{
    Random rng(seed);
    Canvas c(288, 256);
    const Look looks[] = {{Blue0, Blue1, Hair0}, {Crimson0, Crimson1, Hair2}, {Green0, Grass2, Hair1},
                          {Violet0, Purple, Hair0}, {Wood1, Wood2, Hair2},    {Stone1, Stone3, Hair1},
                          {Blue1, Water3, Hair2}};
    const Material floors[] = {Material::Grass, Material::Cobble, Material::Wood, Material::Dirt};
    for (int character = 0; character < 8; ++character) {
        const int cx = 72 * (character % 4), cy = 128 * (character / 4);
        const Look& look = looks[(character + seed) % 7];
        const Material floor = floors[(character + seed) % 4];
        for (int direction = 0; direction < 4; ++direction)
            for (int step = 0; step < 3; ++step) {
                const int x0 = cx + 24 * step, y0 = cy + 32 * direction;
                const std::uint32_t s = seed + static_cast<std::uint32_t>(character);
                if (character == 0)
                    drawDoor(c, x0, y0, step, rng, s);
                else
                    drawCharacter(c, x0, y0, direction, step, look, floor, rng, s);
            }
    }
    return c;
}

// ------------------------------------------------------------ writing

// The ways one picture is stored: the editor's own palette PNG, and the other
// kinds a user may hand the converter, which the floor must decode as the
// converter's loader does.
enum class Kind {
    Palette,           // 8-bit palette, no tRNS: the editor's pictures
    PaletteInterlaced, // the same, Adam7
    PaletteKey,        // tRNS: entry 0 clear, the rest opaque (a colour key)
    PaletteAlpha,      // tRNS: entry 0 clear, entry 1 half (an alpha channel)
    Palette4,          // 4-bit palette of 16 entries (index & 15)
    Rgb,
    RgbKey,            // tRNS colour: the transparent colour
    Rgba,              // alpha 0 on the transparent colour, its colour kept
    Rgb16Key,          // 16-bit samples with a 16-bit tRNS colour
    Grey,
    GreyAlpha,
    Grey16,
};

struct KindInfo {
    Kind kind;
    const char* name;
    int colorType, bitDepth;
};

const KindInfo kinds[] = {
    {Kind::Palette, "palette", PNG_COLOR_TYPE_PALETTE, 8},
    {Kind::PaletteInterlaced, "palette_interlaced", PNG_COLOR_TYPE_PALETTE, 8},
    {Kind::PaletteKey, "palette_trns_key", PNG_COLOR_TYPE_PALETTE, 8},
    {Kind::PaletteAlpha, "palette_trns_alpha", PNG_COLOR_TYPE_PALETTE, 8},
    {Kind::Palette4, "palette_4bit", PNG_COLOR_TYPE_PALETTE, 4},
    {Kind::Rgb, "rgb", PNG_COLOR_TYPE_RGB, 8},
    {Kind::RgbKey, "rgb_trns", PNG_COLOR_TYPE_RGB, 8},
    {Kind::Rgba, "rgba", PNG_COLOR_TYPE_RGB_ALPHA, 8},
    {Kind::Rgb16Key, "rgb16_trns", PNG_COLOR_TYPE_RGB, 16},
    {Kind::Grey, "grey", PNG_COLOR_TYPE_GRAY, 8},
    {Kind::GreyAlpha, "grey_alpha", PNG_COLOR_TYPE_GRAY_ALPHA, 8},
    {Kind::Grey16, "grey16", PNG_COLOR_TYPE_GRAY, 16},
};

std::uint8_t luma(const Colour& c) { return static_cast<std::uint8_t>((c.r * 299 + c.g * 587 + c.b * 114) / 1000); }

// The samples of one row of the canvas in the given kind; 16-bit samples
// big-endian, v * 257, as PNG stores them.
void convertRow(const Canvas& canvas, int y, Kind kind, std::vector<png_byte>& out)
{
    out.clear();
    auto put16 = [&out](std::uint8_t v) {
        out.push_back(v);
        out.push_back(v);
    };
    for (int x = 0; x < canvas.width(); ++x) {
        const std::uint8_t index = canvas.at(x, y);
        const Colour& c = palette[index];
        switch (kind) {
        case Kind::Palette:
        case Kind::PaletteInterlaced:
        case Kind::PaletteKey:
        case Kind::PaletteAlpha:
            out.push_back(index);
            break;
        case Kind::Palette4:
            out.push_back(index & 15);
            break;
        case Kind::Rgb:
        case Kind::RgbKey:
            out.insert(out.end(), {c.r, c.g, c.b});
            break;
        case Kind::Rgba:
            out.insert(out.end(), {c.r, c.g, c.b, static_cast<png_byte>(index == Clear ? 0 : 255)});
            break;
        case Kind::Rgb16Key:
            put16(c.r);
            put16(c.g);
            put16(c.b);
            break;
        case Kind::Grey:
            out.push_back(luma(c));
            break;
        case Kind::GreyAlpha:
            out.insert(out.end(), {luma(c), static_cast<png_byte>(index == Clear ? 0 : 255)});
            break;
        case Kind::Grey16:
            put16(luma(c));
            break;
        }
    }
}

struct PngFile {
    FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
};

// Nothing with a destructor lives in this frame: libpng's errors long-jump
// back into it.
bool encode(PngFile& f, const Canvas& canvas, const KindInfo& kind, const png_color* entries, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(f.png)))
        return false;
    png_init_io(f.png, f.file);
    const bool interlaced = kind.kind == Kind::PaletteInterlaced;
    png_set_IHDR(f.png, f.info, static_cast<png_uint_32>(canvas.width()), static_cast<png_uint_32>(canvas.height()),
                 kind.bitDepth, kind.colorType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (kind.colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(f.png, f.info, entries, kind.bitDepth == 4 ? 16 : PaletteSize);
    const png_byte clearKey[1] = {0};
    const png_byte clearAndHalf[2] = {0, 128};
    const Colour& t = palette[Clear];
    png_color_16 colour{};
    colour.red = static_cast<png_uint_16>(kind.bitDepth == 16 ? t.r * 257 : t.r);
    colour.green = static_cast<png_uint_16>(kind.bitDepth == 16 ? t.g * 257 : t.g);
    colour.blue = static_cast<png_uint_16>(kind.bitDepth == 16 ? t.b * 257 : t.b);
    if (kind.kind == Kind::PaletteKey)
        png_set_tRNS(f.png, f.info, clearKey, 1, nullptr);
    else if (kind.kind == Kind::PaletteAlpha)
        png_set_tRNS(f.png, f.info, clearAndHalf, 2, nullptr);
    else if (kind.kind == Kind::RgbKey || kind.kind == Kind::Rgb16Key)
        png_set_tRNS(f.png, f.info, nullptr, 0, &colour);
    png_write_info(f.png, f.info);
    if (kind.bitDepth < 8)
        png_set_packing(f.png);
    png_write_image(f.png, rows);
    png_write_end(f.png, nullptr);
    return true;
}

bool writePng(const std::string& path, const Canvas& canvas, const KindInfo& kind = kinds[0])
{
    if (canvas.at(0, 0) == Clear) {
        std::fprintf(stderr, "make_pictures: %s: (0, 0) is transparent\n", path.c_str());
        return false;
    }
    png_color entries[PaletteSize];
    for (int i = 0; i < PaletteSize; ++i)
        entries[i] = png_color{palette[i].r, palette[i].g, palette[i].b};
    std::vector<std::vector<png_byte>> samples(static_cast<size_t>(canvas.height()));
    std::vector<png_bytep> rows(samples.size());
    for (int y = 0; y < canvas.height(); ++y) {
        convertRow(canvas, y, kind.kind, samples[static_cast<size_t>(y)]);
        rows[static_cast<size_t>(y)] = samples[static_cast<size_t>(y)].data();
    }

    PngFile f;
    f.file = std::fopen(path.c_str(), "wb");
    if (f.file == nullptr) {
        std::perror(path.c_str());
        return false;
    }
    f.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    f.info = f.png ? png_create_info_struct(f.png) : nullptr;
    bool ok = f.info != nullptr && encode(f, canvas, kind, entries, rows.data());
    png_destroy_write_struct(&f.png, &f.info);
    ok = std::fclose(f.file) == 0 && ok;
    if (!ok) {
        std::fprintf(stderr, "make_pictures: %s: could not be written\n", path.c_str());
        return false;
    }
    if (kind.kind != Kind::Palette)
        return true;
    size_t clear = 0;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            clear += canvas.at(x, y) == Clear;
    struct stat st;
    stat(path.c_str(), &st);
    const double share = 100.0 * clear / (static_cast<double>(canvas.width()) * canvas.height());
    std::printf("%s: %dx%d, %lld bytes, %.1f %% transparent\n", path.c_str(), canvas.width(), canvas.height(),
                static_cast<long long>(st.st_size), share);
    return true;
}

bool makeFolder(const std::string& path)
{
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return true;
    if (mkdir(path.c_str(), 0777) == 0)
        return true;
    std::perror(path.c_str());
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: make_pictures OUTDIR\n");
        return 2;
    }
    const std::string out = argv[1];
    if (!makeFolder(out) || !makeFolder(out + "/folder") || !makeFolder(out + "/kinds"))
        return 1;
    bool ok = writePng(out + "/chipset.png", drawChipset(1));
    ok = writePng(out + "/charset.png", drawCharset(2)) && ok;

    Canvas large(2048, 2048);
    Random rng(3);
    drawTileSheet(large, Rect{0, 0, 2048, 2048}, rng, 3);
    if (large.at(0, 0) == Clear)
        drawMaterial(large, Rect{0, 0, 16, 16}, Material::Grass, rng, 3);
    ok = writePng(out + "/large.png", large) && ok;

    for (int i = 1; i <= 25; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/folder/set_%02d.png", i);
        const std::uint32_t seed = 100 + static_cast<std::uint32_t>(i);
        const bool charset = i % 5 == 2 || i % 5 == 4;
        ok = writePng(out + name, charset ? drawCharset(seed) : drawChipset(seed)) && ok;
    }

    const Canvas chipset = drawChipset(4);
    for (const KindInfo& kind : kinds)
        ok = writePng(out + "/kinds/" + kind.name + ".png", chipset, kind) && ok;
    return ok ? 0 : 1;
}
