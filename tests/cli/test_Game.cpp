// pixwright-cli --game and -r, end to end: a game folder drawn by the test,
// converted in one run, every output compared byte for byte with the same
// picture converted alone with its kind's settings spelled out.
#include "CliRun.h"
#include "PngMaker.h"
#include "game/TextPath.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
// Names with Japanese in them go between text and paths in UTF-8.
using game::pathOf;
using game::textOf;

namespace {

std::string readFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A path as the report writes it: a "\" of a Windows path escaped.
std::string asInReport(std::string text)
{
    for (std::size_t at = 0; (at = text.find('\\', at)) != std::string::npos; at += 2)
        text.insert(at, 1, '\\');
    return text;
}

void writeFile(const fs::path& file, const std::string& bytes)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

// The files directly in a folder, name to bytes.
std::map<std::string, std::string> filesIn(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.is_regular_file())
            files[textOf(entry.path().filename())] = readFile(entry.path());
    return files;
}

// A palette picture whose entry 0 (a green no other entry has) fills a
// border and a diagonal, so "auto" has pixels to key.
std::string palettePng(int w, int h, int seed)
{
    PngPicture p;
    p.width = w;
    p.height = h;
    p.colourType = PNG_COLOR_TYPE_PALETTE;
    p.palette = {{10, 200, 30}, {200, 40, 40}, {40, 40, 200}, {250, 250, 250}, {0, 0x75, 0x75}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.samples.push_back(x == 0 || y == 0 || x == y ? 0 : std::uint16_t(1 + (x * 7 + y * 3 + seed) % 4));
    return writePng(p);
}

// A 24-bit BMP with some pixels of the default fixed colour 007575, which
// "auto" keys in a picture without a palette.
void writeRgbBmp(const fs::path& file, int w, int h, int seed)
{
    fs::create_directories(file.parent_path());
    SDL_Surface* s = SDL_CreateRGBSurface(0, w, h, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Uint8* p = static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 3;
            const bool key = (x + y + seed) % 5 == 0;
            p[0] = key ? 0x00 : Uint8(x * 9 + seed);
            p[1] = key ? 0x75 : Uint8(y * 11);
            p[2] = key ? 0x75 : Uint8(x * y + 3);
        }
    SDL_SaveBMP(s, textOf(file).c_str());
    SDL_FreeSurface(s);
}

// One picture of the game and the options that convert it alone as its
// kind does.
struct GamePicture {
    std::string file; // below the game folder
    int width;
    int height;
    bool bmp;
    std::string alone; // --mode, --grid and --key of the lone conversion
};

const std::vector<GamePicture> gamePictures = {
    {"ChipSet/World.png", 480, 256, false, "--mode chipset --key auto"},
    {"ChipSet/Small Tiles.bmp", 160, 96, true, "--mode custom --grid 16x16 --key auto"},
    {"CharSet/キャラ.png", 288, 256, false, "--mode charset --key auto"},
    {"CharSet/odd.bmp", 96, 64, true, "--mode custom --grid 24x32 --key auto"},
    {"FaceSet/face.bmp", 96, 48, true, "--mode custom --grid 48x48 --key auto"},
    // 50 is no multiple of 48: the last square of a row is cut to 2 pixels.
    {"FaceSet/wide face.png", 50, 50, false, "--mode custom --grid 48x48 --key auto"},
    {"Battle/hit.png", 192, 96, false, "--mode custom --grid 96x96 --key auto"},
    {"Battle2/flash.png", 128, 128, false, "--mode custom --grid 128x128 --key auto"},
    {"BattleCharSet/hero.bmp", 144, 48, true, "--mode custom --grid 48x48 --key auto"},
    {"BattleWeapon/sword.png", 64, 128, false, "--mode custom --grid 64x64 --key auto"},
    {"System/system.png", 160, 80, false, "--mode custom --grid 8x8 --key auto"},
    {"System2/numbers.bmp", 80, 96, true, "--mode custom --grid 8x8 --key auto"},
    {"Monster/Slime.png", 37, 23, false, "--mode nogrid --key auto"},
    {"Picture/sign.bmp", 40, 30, true, "--mode nogrid --key auto"},
    {"Frame/frame.png", 64, 48, false, "--mode nogrid --key auto"},
    {"Panorama/Night Sky1.png", 80, 60, false, "--mode nogrid --key none"},
    {"Backdrop/cave.bmp", 64, 40, true, "--mode nogrid --key none"},
    {"Title/title.png", 32, 24, false, "--mode nogrid --key none"},
    {"GameOver/Game Over.png", 32, 24, false, "--mode nogrid --key none"},
};

class CliGame : public ::testing::Test {
protected:
    void SetUp() override
    {
        char templ[] = "/tmp/pixwright-game-XXXXXX";
        ASSERT_NE(mkdtemp(templ), nullptr);
        dir = templ;
    }
    void TearDown() override { fs::remove_all(dir); }

    // The game: every kind, some folders in other letter cases, things that
    // are no picture, a damaged picture and a folder of music.
    void drawGame()
    {
        int seed = 0;
        for (const GamePicture& picture : gamePictures) {
            const fs::path file = game() / pathOf(picture.file);
            if (picture.bmp)
                writeRgbBmp(file, picture.width, picture.height, ++seed);
            else
                writeFile(file, palettePng(picture.width, picture.height, ++seed));
        }
        writeFile(game() / "ChipSet" / "readme.txt", "tiles by a friend");
        // A PNG signature and nothing after it.
        writeFile(game() / "Picture" / "broken.png", "\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIHDR");
        writeFile(game() / "Music" / "theme.mid", "MThd");
        writeFile(game() / "RPG_RT.ini", "[RPG_RT]");
        fs::create_directories(game() / "ChipSet" / "old");
    }

    fs::path game() const { return fs::path(dir) / "game"; }
    fs::path out() const { return fs::path(dir) / "out"; }

    std::string dir;
};

} // namespace

TEST_F(CliGame, EveryPictureConvertsAsAloneWithItsKindsSettings)
{
    drawGame();
    const CliRun r = runCli("--game " + shellQuoted(game().string()) + " -o " + shellQuoted(out().string()));
    EXPECT_EQ(r.status, 1) << r.out;
    // The damaged picture is the one failure, in one line; the rest goes on.
    EXPECT_EQ(r.out, "pixwright-cli: " + (game() / "Picture" / "broken.png").string() + ": code 10: Cannot read '"
                         + (game() / "Picture" / "broken.png").string()
                         + "' as a picture: truncated PNG file; libpng error: unexpected end of file\n");

    for (const GamePicture& picture : gamePictures) {
        SCOPED_TRACE(picture.file);
        const fs::path source = game() / pathOf(picture.file);
        const std::string folder = textOf(pathOf(picture.file).parent_path());
        const fs::path alone = fs::path(dir) / "alone" / pathOf(folder);
        fs::create_directories(alone.parent_path());
        const CliRun single =
            runCli(picture.alone + " -o " + shellQuoted(textOf(alone)) + " " + shellQuoted(textOf(source)));
        ASSERT_EQ(single.status, 0) << single.out;
        const auto expected = filesIn(alone);
        const auto got = filesIn(out() / folder);
        ASSERT_FALSE(expected.empty());
        for (const auto& [name, bytes] : expected) {
            ASSERT_TRUE(got.count(name)) << name;
            EXPECT_TRUE(got.at(name) == bytes) << name << " differs";
        }
    }
    // Nothing but the asset folders and the report.
    std::vector<std::string> top;
    for (const auto& entry : fs::directory_iterator(out()))
        top.push_back(textOf(entry.path().filename()));
    std::sort(top.begin(), top.end());
    EXPECT_EQ(top, (std::vector<std::string>{"Backdrop", "Battle", "Battle2", "BattleCharSet", "BattleWeapon",
                                             "CharSet", "ChipSet", "FaceSet", "Frame", "GameOver", "Monster",
                                             "Panorama", "Picture", "System", "System2", "Title",
                                             "pixwright-report.json"}));
}

TEST_F(CliGame, BackgroundsKeepEveryPixelOpaque)
{
    drawGame();
    ASSERT_EQ(runCli("--game " + shellQuoted(game().string()) + " -o " + shellQuoted(out().string())).status, 1);
    // The panorama's palette entry 0 is not keyed: the alpha-only file is
    // white all over. The monster's is keyed: its alpha file has black.
    auto alphaRange = [](const fs::path& file) {
        SDL_Surface* s = SDL_LoadBMP(textOf(file).c_str());
        std::pair<int, int> range{256, -1};
        if (s == nullptr)
            return range;
        for (int y = 0; y < s->h; ++y)
            for (int x = 0; x < s->w; ++x) {
                const Uint8 v = static_cast<Uint8*>(s->pixels)[y * s->pitch + x * s->format->BytesPerPixel];
                range.first = std::min<int>(range.first, v);
                range.second = std::max<int>(range.second, v);
            }
        SDL_FreeSurface(s);
        return range;
    };
    const fs::path bmpOut = fs::path(dir) / "bmp";
    ASSERT_EQ(runCli("--game " + shellQuoted(game().string()) + " -o " + shellQuoted(bmpOut.string())
                     + " --format bmp")
                  .status,
              1);
    EXPECT_EQ(alphaRange(bmpOut / "Panorama" / "Night Sky1_alpha.bmp"), std::make_pair(255, 255));
    EXPECT_EQ(alphaRange(bmpOut / "GameOver" / "Game Over_alpha.bmp"), std::make_pair(255, 255));
    EXPECT_EQ(alphaRange(bmpOut / "Monster" / "Slime_alpha.bmp").first, 0);
}

TEST_F(CliGame, TheReportListsEveryFileMet)
{
    drawGame();
    ASSERT_EQ(runCli("--game " + shellQuoted(game().string()) + " -o " + shellQuoted(out().string())).status, 1);
    const std::string report = readFile(out() / "pixwright-report.json");
    auto has = [&](const std::string& text) { return report.find(text) != std::string::npos; };
    EXPECT_TRUE(has("\"converted\": 19,\n  \"failed\": 1,\n  \"skipped\": 4,")) << report;
    // A converted picture: kind, decoded format, size, settings and files.
    EXPECT_TRUE(has("      \"path\": \"CharSet/キャラ.png\",\n"
                    "      \"folder\": \"CharSet\",\n"
                    "      \"kind\": \"CharSet\",\n"
                    "      \"format\": \"PNG\",\n"
                    "      \"width\": 288,\n"
                    "      \"height\": 256,\n"
                    "      \"settings\": {\n"
                    "        \"grid_mode\": \"charset\",\n"
                    "        \"editor_preset\": true,\n"
                    "        \"grid\": \"24x32\",\n"
                    "        \"alpha_grid\": false,\n"
                    "        \"key\": \"auto\"\n"
                    "      },\n"
                    "      \"status\": \"converted\",\n"
                    "      \"written\": [\n"
                    "        \"CharSet/キャラ_00.png\",\n"))
        << report;
    EXPECT_TRUE(has("\"CharSet/キャラ_07_alpha.png\"\n"));
    EXPECT_TRUE(has("\"path\": \"ChipSet/Small Tiles.bmp\",\n      \"folder\": \"ChipSet\",\n      \"kind\": "
                    "\"ChipSet\",\n      \"format\": \"BMP\",\n      \"width\": 160,\n      \"height\": 96,\n"
                    "      \"settings\": {\n        \"grid_mode\": \"custom\",\n        \"editor_preset\": false,\n"
                    "        \"grid\": \"16x16\","))
        << report;
    EXPECT_TRUE(has("\"grid_mode\": \"nogrid\",\n        \"editor_preset\": false,\n        \"grid\": null,\n"
                    "        \"alpha_grid\": false,\n        \"key\": \"none\""));
    // Why the others were not converted.
    EXPECT_TRUE(has("\"path\": \"Picture/broken.png\",\n      \"folder\": \"Picture\",\n      \"kind\": \"Picture\",\n"
                    "      \"format\": \"PNG\",\n      \"width\": 0,\n      \"height\": 0,"));
    EXPECT_TRUE(has("\"status\": \"failed\",\n      \"code\": 10,\n      \"reason\": \""));
    EXPECT_TRUE(has("\"path\": \"ChipSet/readme.txt\",\n      \"folder\": \"ChipSet\",\n      \"kind\": \"ChipSet\",\n"
                    "      \"status\": \"skipped\",\n      \"reason\": \"not a picture\""));
    EXPECT_TRUE(has("\"path\": \"ChipSet/old\",\n      \"folder\": \"ChipSet\",\n      \"kind\": \"ChipSet\",\n"
                    "      \"status\": \"skipped\",\n      \"reason\": \"a folder inside an asset folder\""));
    EXPECT_TRUE(has("\"path\": \"Music\",\n      \"folder\": null,\n      \"kind\": null,\n"
                    "      \"status\": \"skipped\",\n      \"reason\": \"not an asset folder\""));
    EXPECT_TRUE(has("\"path\": \"RPG_RT.ini\",\n      \"folder\": null,\n      \"kind\": null,\n"
                    "      \"status\": \"skipped\",\n      \"reason\": \"not in an asset folder\""));
    EXPECT_FALSE(has("theme.mid")) << "other folders are not looked into";
    // The same run on one thread writes the same report and files.
    const fs::path oneOut = fs::path(dir) / "one";
    ASSERT_EQ(
        runCli("--game " + shellQuoted(game().string()) + " -o " + shellQuoted(oneOut.string()) + " -j 1").status, 1);
    std::string oneReport = readFile(oneOut / "pixwright-report.json");
    const std::string from = "\"output\": \"" + asInReport(oneOut.string()) + "\"";
    const std::string to = "\"output\": \"" + asInReport(out().string()) + "\"";
    oneReport.replace(oneReport.find(from), from.size(), to);
    EXPECT_EQ(oneReport, report);
    EXPECT_TRUE(filesIn(oneOut / "CharSet") == filesIn(out() / "CharSet"));
}

TEST_F(CliGame, OptionsTheTableDecidesAreRefused)
{
    drawGame();
    const std::string base = "--game " + shellQuoted(game().string()) + " -o " + shellQuoted(out().string());
    for (const char* option : {"--mode chipset", "--grid 8x8", "--key none", "--key 007575"}) {
        const CliRun r = runCli(base + " " + option);
        EXPECT_EQ(r.status, 2) << option;
        EXPECT_NE(r.out.find("cannot be used with --game"), std::string::npos) << r.out;
    }
    EXPECT_EQ(runCli("--game " + shellQuoted(game().string())).status, 2) << "-o is required";
    EXPECT_EQ(runCli(base + " --name x").status, 2);
    EXPECT_EQ(runCli(base + " " + shellQuoted(game().string() + "/ChipSet/World.png")).status, 2);
    EXPECT_FALSE(fs::exists(out())) << "a refused command line writes nothing";

    const CliRun missing = runCli("--game " + shellQuoted(dir + "/nothing") + " -o " + shellQuoted(out().string()));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "pixwright-cli: " + dir + "/nothing: not a folder\n");

    // The user's other options apply to every kind.
    const CliRun bmp = runCli(base + " --format bmp --outputs color --color-suffix c --interpolation nearest");
    EXPECT_EQ(bmp.status, 1);
    EXPECT_TRUE(fs::exists(out() / "FaceSet" / "face_c.bmp"));
    EXPECT_FALSE(fs::exists(out() / "FaceSet" / "face_alpha.bmp"));
    EXPECT_TRUE(fs::exists(out() / "ChipSet" / "World_17_c.bmp"));
}

TEST_F(CliGame, PicturesWhoseFilesWouldClashAreNotConverted)
{
    // World.bmp and World.png write the same names; side by side either
    // could win, so the second in name order is not converted. A chipset
    // World.PNG in the same folder writes numbered names and is converted.
    writeRgbBmp(game() / "FaceSet" / "World.bmp", 48, 48, 1);
    writeFile(game() / "FaceSet" / "World.png", palettePng(48, 48, 2));
    writeFile(game() / "ChipSet" / "World.png", palettePng(480, 256, 3));
    writeFile(game() / "ChipSet" / "World.xyz.png", palettePng(16, 16, 4));
    const CliRun r = runCli("-v --game " + shellQuoted(game().string()) + " -o " + shellQuoted(out().string()));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("pixwright-cli: " + (game() / "FaceSet" / "World.png").string()
                         + ": not converted: its files would overwrite those of FaceSet/World.bmp\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("3 of 4 pictures converted"), std::string::npos) << r.out;
    // The files are the BMP's, whatever the threads did.
    const fs::path alone = fs::path(dir) / "alone";
    ASSERT_EQ(runCli("--mode custom --grid 48x48 -o " + shellQuoted(alone.string()) + " "
                     + shellQuoted((game() / "FaceSet" / "World.bmp").string()))
                  .status,
              0);
    EXPECT_TRUE(filesIn(out() / "FaceSet") == filesIn(alone));
    EXPECT_TRUE(fs::exists(out() / "ChipSet" / "World_17_alpha.png"));
    EXPECT_TRUE(fs::exists(out() / "ChipSet" / "World.xyz_alpha.png"));
    const std::string report = readFile(out() / "pixwright-report.json");
    EXPECT_NE(report.find("\"status\": \"failed\",\n      \"code\": null,\n      \"reason\": \"not converted: its "
                          "files would overwrite those of FaceSet/World.bmp\",\n      \"written\": []"),
              std::string::npos)
        << report;
}

// A picture whose header is sound and whose pixel data is damaged is listed
// with the size its header declares, as the engine's inspection answers from
// the header; its conversion is what fails, and the report says why.
TEST_F(CliGame, DamagedPixelsFailInTheConversionWithTheirReason)
{
    std::string damaged = palettePng(480, 256, 5);
    const std::size_t idat = damaged.find("IDAT");
    ASSERT_NE(idat, std::string::npos);
    for (std::size_t i = idat + 10; i < idat + 40; ++i)
        damaged[i] = char(damaged[i] ^ 0x33);
    writeFile(game() / "ChipSet" / "Damaged.png", damaged);
    writeFile(game() / "ChipSet" / "Sound.png", palettePng(480, 256, 6));
    const CliRun r = runCli("--game " + shellQuoted(game().string()) + " -o " + shellQuoted(out().string()));
    EXPECT_EQ(r.status, 1) << r.out;
    const std::string file = (game() / "ChipSet" / "Damaged.png").string();
    EXPECT_EQ(r.out.rfind("pixwright-cli: " + file + ": code 10: Cannot read '" + file
                              + "' as a picture: damaged PNG data",
                          0),
              0u)
        << r.out;
    EXPECT_TRUE(fs::exists(out() / "ChipSet" / "Sound_17_alpha.png"));
    EXPECT_FALSE(fs::exists(out() / "ChipSet" / "Damaged_00.png"));
    const std::string report = readFile(out() / "pixwright-report.json");
    EXPECT_NE(report.find("\"path\": \"ChipSet/Damaged.png\",\n      \"folder\": \"ChipSet\",\n      \"kind\": "
                          "\"ChipSet\",\n      \"format\": \"PNG\",\n      \"width\": 480,\n      \"height\": 256,"),
              std::string::npos)
        << report;
    const std::size_t entry = report.find("\"path\": \"ChipSet/Damaged.png\"");
    const std::size_t next = report.find("\"path\": \"ChipSet/Sound.png\"");
    ASSERT_LT(entry, next);
    const std::string damagedEntry = report.substr(entry, next - entry);
    // The engine's message for a picture it cannot load, as a header it
    // cannot read gets.
    EXPECT_NE(damagedEntry.find("\"status\": \"failed\",\n      \"code\": 10,\n      \"reason\": \"" + asInReport(file)
                                + "ファイルを開けません。\",\n      \"detail\": \"damaged PNG data"),
              std::string::npos)
        << damagedEntry;
    EXPECT_NE(damagedEntry.find("\"written\": []"), std::string::npos) << damagedEntry;
    EXPECT_NE(report.find("\"converted\": 1,\n  \"failed\": 1,"), std::string::npos) << report;
}

TEST_F(CliGame, RecursiveFoldersMirrorTheTree)
{
    // Three pictures named alike in different folders, and a text named
    // like a picture.
    const fs::path in = fs::path(dir) / "in";
    writeFile(in / "World.png", palettePng(20, 10, 1));
    writeFile(in / "east" / "World.png", palettePng(21, 11, 2));
    writeRgbBmp(in / "east" / "deep" / "World.png", 22, 12, 3);
    writeFile(in / "west" / "notes.png", "not a picture");
    // A PNG by content, whatever its name says.
    writeFile(in / "south" / "tiles.dat", palettePng(9, 9, 4));
    const fs::path tree = fs::path(dir) / "tree";
    const CliRun r = runCli("-r -v -o " + shellQuoted(tree.string()) + " " + shellQuoted(in.string()));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("4 of 4 pictures converted"), std::string::npos) << r.out;
    for (const char* sub : {"", "east", "east/deep"}) {
        SCOPED_TRACE(sub);
        // No trailing separator: before a closing quote, Windows reads "\" as
        // an escape.
        const fs::path alone = *sub != '\0' ? fs::path(dir) / "alone" / sub : fs::path(dir) / "alone";
        ASSERT_EQ(
            runCli("-o " + shellQuoted(alone.string()) + " " + shellQuoted((in / sub / "World.png").string())).status,
            0);
        EXPECT_TRUE(filesIn(tree / sub) == filesIn(alone));
        EXPECT_EQ(filesIn(tree / sub).size(), 3u);
    }
    EXPECT_FALSE(fs::exists(tree / "west")) << "a folder without pictures gets no output folder";
    EXPECT_TRUE(fs::exists(tree / "south" / "tiles_alpha.png"));

    // Without -r only the folder's own pictures, as before.
    const fs::path flat = fs::path(dir) / "flat";
    ASSERT_EQ(runCli("-v -o " + shellQuoted(flat.string()) + " " + shellQuoted(in.string())).status, 0);
    EXPECT_EQ(filesIn(flat).size(), 3u);
    EXPECT_FALSE(fs::exists(flat / "east"));
}
