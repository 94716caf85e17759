#include "cli/Options.h"

#include <gtest/gtest.h>

using namespace cli;

namespace {

Options parse(std::vector<std::string> args) { return parseOptions(args); }

std::string usageError(std::vector<std::string> args)
{
    try {
        parseOptions(args);
    } catch (const UsageError& e) {
        return e.message;
    }
    return "(accepted)";
}

} // namespace

TEST(CliOptions, Defaults)
{
    Options o = parse({"a.png"});
    EXPECT_EQ(o.inputs, std::vector<std::string>{"a.png"});
    EXPECT_EQ(o.outputFolder, ".");
    EXPECT_FALSE(o.name);
    EXPECT_EQ(o.mode, Mode::Auto);
    EXPECT_EQ(o.interpolation, 1);
    EXPECT_EQ(o.sharpen, 2);
    EXPECT_EQ(o.format, 1);
    EXPECT_EQ(o.key, KeyMode::Auto);
    EXPECT_EQ(o.verbosity, Verbosity::Normal);
    EXPECT_EQ(o.jobs, 0);
    EXPECT_EQ(o.pngFilter, 0);
    EXPECT_EQ(o.pngCompression, 0);
    EXPECT_FALSE(o.pngPalette);
    EXPECT_EQ(o.keyRed, 0x00);
    EXPECT_EQ(o.keyGreen, 0x75);
    EXPECT_EQ(o.keyBlue, 0x75);
    EXPECT_EQ(o.naturalSuffix, "");
    EXPECT_EQ(o.colorSuffix, "color");
    EXPECT_EQ(o.alphaSuffix, "alpha");
}

TEST(CliOptions, EveryOption)
{
    Options o = parse({"-o", "out", "--name=tiles", "--mode", "custom", "--grid", "32x24", "--interpolation",
                       "original", "--sharpen", "0", "--no-alpha-grid", "--key", "FF00a0", "--format", "JPG",
                       "--outputs", "color,alpha", "--natural-suffix", "n", "--color-suffix=c", "--alpha-suffix", "a",
                       "in.bmp"});
    EXPECT_EQ(o.outputFolder, "out");
    EXPECT_EQ(*o.name, "tiles");
    EXPECT_EQ(o.mode, Mode::Custom);
    EXPECT_EQ(o.gridWidth, 32);
    EXPECT_EQ(o.gridHeight, 24);
    EXPECT_EQ(o.interpolation, 2);
    EXPECT_EQ(o.sharpen, 0);
    EXPECT_EQ(o.alphaGrid, std::optional<bool>(false));
    EXPECT_EQ(o.keyRed, 0xFF);
    EXPECT_EQ(o.keyGreen, 0x00);
    EXPECT_EQ(o.keyBlue, 0xA0);
    EXPECT_EQ(o.format, 2);
    EXPECT_EQ(*o.outputs, (std::vector<std::string>{"color", "alpha"}));
    EXPECT_EQ(o.naturalSuffix, "n");
    EXPECT_EQ(o.colorSuffix, "c");
    EXPECT_EQ(o.alphaSuffix, "a");
    EXPECT_EQ(parse({"--interpolation", "nearest", "x"}).interpolation, 0);
    EXPECT_EQ(parse({"--interpolation", "scale2x", "x"}).interpolation, 3);
    EXPECT_EQ(parse({"--interpolation=XBR", "x"}).interpolation, 4);
    EXPECT_EQ(parse({"--key", "topleft", "x"}).key, KeyMode::TopLeft);
    EXPECT_EQ(parse({"--key", "Palette", "x"}).key, KeyMode::Palette);
    EXPECT_EQ(parse({"--key", "007575", "--key", "auto", "x"}).key, KeyMode::Auto);
    EXPECT_EQ(parse({"--key", "123456", "x"}).key, KeyMode::Fixed);
    EXPECT_EQ(parse({"-j", "3", "x"}).jobs, 3);
    EXPECT_EQ(parse({"--jobs=1", "x"}).jobs, 1);
    EXPECT_EQ(parse({"--png-filter", "none", "x"}).pngFilter, 1);
    EXPECT_EQ(parse({"--png-filter=PAETH", "x"}).pngFilter, 5);
    EXPECT_EQ(parse({"--png-filter", "all", "x"}).pngFilter, 6);
    EXPECT_EQ(parse({"--png-compression", "fast", "x"}).pngCompression, 1);
    EXPECT_EQ(parse({"--png-compression=SMALL", "x"}).pngCompression, 2);
    EXPECT_EQ(parse({"--png-compression", "default", "x"}).pngCompression, 0);
    EXPECT_TRUE(parse({"--png-palette", "x"}).pngPalette);
    EXPECT_EQ(parse({"-v", "x"}).verbosity, Verbosity::Verbose);
    EXPECT_EQ(parse({"--quiet", "x"}).verbosity, Verbosity::Quiet);
    EXPECT_EQ(parse({"--", "-odd.png"}).inputs, std::vector<std::string>{"-odd.png"});
}

TEST(CliOptions, UsageErrorsNameTheOptionAndValue)
{
    EXPECT_EQ(usageError({}), "no input picture or folder given");
    EXPECT_EQ(usageError({"--mode", "tiles", "a"}),
              "option --mode: unknown value 'tiles' (one of auto, chipset, charset, nogrid, custom)");
    EXPECT_EQ(usageError({"--interpolation", "hq2x", "a"}),
              "option --interpolation: unknown value 'hq2x' (one of nearest, bilinear, original, scale2x, xbr)");
    EXPECT_EQ(usageError({"--sharpen", "6", "a"}), "option --sharpen: 6 is not a level from 0 to 5");
    EXPECT_EQ(usageError({"--sharpen", "2x", "a"}), "option --sharpen: '2x' is not a whole number");
    EXPECT_EQ(usageError({"--grid", "16", "a"}), "option --grid: '16' is not WIDTHxHEIGHT");
    EXPECT_EQ(usageError({"--key", "75", "a"}), "option --key: '75' is none of auto, palette, topleft, none, RRGGBB");
    EXPECT_EQ(usageError({"-j", "0", "a"}), "option -j: 0 is not a number of jobs from 1 to 256");
    EXPECT_EQ(usageError({"--png-filter", "fast", "a"}),
              "option --png-filter: unknown value 'fast' (one of default, none, sub, up, average, paeth, all)");
    EXPECT_EQ(usageError({"-v", "-q", "a"}), "options --verbose and --quiet exclude each other");
    EXPECT_EQ(usageError({"--outputs", "color,grey", "a"}),
              "option --outputs: unknown value 'grey' (one of natural, color, alpha)");
    EXPECT_EQ(usageError({"--name", "x", "a", "b"}), "option --name takes one input only");
    EXPECT_EQ(usageError({"a", "--output"}), "option --output needs a value");
    EXPECT_EQ(usageError({"--fast", "a"}), "unknown option --fast");
    EXPECT_EQ(usageError({"--alpha-grid=1", "a"}), "option --alpha-grid takes no value");
    EXPECT_EQ(usageError({"--png-compression", "best", "a"}),
              "option --png-compression: unknown value 'best' (one of default, fast, small)");
    EXPECT_EQ(usageError({"--png-palette=yes", "a"}), "option --png-palette takes no value");
    EXPECT_TRUE(parse({"--help"}).help);
}

TEST(CliPlan, AutoModeFollowsThePicturesPreset)
{
    Options o = parse({"a"});
    Job chipset = planJob(o, PIXWRIGHT_PRESET_CHIPSET);
    EXPECT_TRUE(chipset.editorPreset);
    EXPECT_EQ(chipset.gridWidth, 16);
    EXPECT_EQ(chipset.gridHeight, 16);
    EXPECT_TRUE(chipset.alphaGrid);
    Job charset = planJob(o, PIXWRIGHT_PRESET_CHARSET);
    EXPECT_TRUE(charset.editorPreset);
    EXPECT_EQ(charset.gridWidth, 24);
    EXPECT_EQ(charset.gridHeight, 32);
    EXPECT_FALSE(charset.alphaGrid);
    Job other = planJob(o, PIXWRIGHT_PRESET_NONE);
    EXPECT_FALSE(other.editorPreset);
    EXPECT_EQ(other.gridWidth, 16);
    EXPECT_FALSE(other.alphaGrid);
}

TEST(CliPlan, ExplicitModesAndAlphaGridOverride)
{
    Job nogrid = planJob(parse({"--mode", "nogrid", "a"}), PIXWRIGHT_PRESET_CHIPSET);
    EXPECT_FALSE(nogrid.editorPreset);
    EXPECT_EQ(nogrid.gridWidth, 0);
    EXPECT_EQ(nogrid.gridHeight, 0);
    Job custom = planJob(parse({"--mode", "custom", "--grid", "8x4", "--alpha-grid", "a"}), PIXWRIGHT_PRESET_CHIPSET);
    EXPECT_FALSE(custom.editorPreset);
    EXPECT_EQ(custom.gridWidth, 8);
    EXPECT_EQ(custom.gridHeight, 4);
    EXPECT_TRUE(custom.alphaGrid);
    Job chipset = planJob(parse({"--mode", "chipset", "--no-alpha-grid", "a"}), PIXWRIGHT_PRESET_NONE);
    EXPECT_TRUE(chipset.editorPreset);
    EXPECT_FALSE(chipset.alphaGrid);
}

TEST(CliPlan, OutputsDefaultByFormat)
{
    Job png = planJob(parse({"a"}), PIXWRIGHT_PRESET_NONE);
    EXPECT_TRUE(png.saveNatural && png.saveColor && png.saveAlpha);
    Job bmp = planJob(parse({"--format", "bmp", "a"}), PIXWRIGHT_PRESET_NONE);
    EXPECT_FALSE(bmp.saveNatural);
    EXPECT_TRUE(bmp.saveColor && bmp.saveAlpha);
    Job jpgNatural = planJob(parse({"--format", "jpg", "--outputs", "natural", "a"}), PIXWRIGHT_PRESET_NONE);
    EXPECT_TRUE(jpgNatural.saveNatural);
    EXPECT_FALSE(jpgNatural.saveColor || jpgNatural.saveAlpha);
}

TEST(CliOptions, GameAndRecursive)
{
    Options game = parse({"--game", "My Game", "-o", "out", "--format", "bmp", "--no-alpha-grid", "-j", "2"});
    EXPECT_EQ(*game.game, "My Game");
    EXPECT_TRUE(game.inputs.empty());
    EXPECT_EQ(game.format, PIXWRIGHT_FORMAT_BMP);
    EXPECT_EQ(parse({"--key", "NONE", "a.png"}).key, KeyMode::None);
    EXPECT_TRUE(parse({"-r", "in"}).recursive);
    EXPECT_TRUE(parse({"--recursive", "in"}).recursive);
    EXPECT_FALSE(parse({"in"}).recursive);

    const std::vector<std::string> base = {"--game", "g", "-o", "out"};
    auto with = [&](std::vector<std::string> more) {
        std::vector<std::string> args = base;
        args.insert(args.end(), more.begin(), more.end());
        return usageError(args);
    };
    EXPECT_EQ(with({"--mode", "nogrid"}), "option --mode cannot be used with --game: each asset folder has its own");
    EXPECT_EQ(with({"--grid", "8x8"}), "option --grid cannot be used with --game: each asset folder has its own");
    EXPECT_EQ(with({"--key", "auto"}), "option --key cannot be used with --game: each asset folder has its own");
    EXPECT_EQ(with({"a.png"}), "option --game takes no other input");
    EXPECT_EQ(with({"--name", "x"}), "option --name cannot be used with --game: each picture keeps its own name");
    EXPECT_EQ(with({"-r"}), "option --recursive cannot be used with --game");
    EXPECT_EQ(usageError({"--game", "g"}), "option --game needs -o OUT_FOLDER");
    EXPECT_EQ(usageError({"--game", "", "-o", "out"}), "option --game needs a folder");
    EXPECT_EQ(usageError({"-r=1", "in"}), "unknown option -r=1");
}

TEST(CliPlan, AKindsSettingsWithTheUsersChoices)
{
    PixwrightKindSettings chipset{};
    ASSERT_EQ(kindSettings(PIXWRIGHT_KIND_CHIPSET, &chipset), 0);
    PixwrightKindSettings resolved{};
    ASSERT_EQ(pictureSettings(&chipset, 480, 256, &resolved), 0);
    Job job = kindJob(parse({"--game", "g", "-o", "o"}), resolved);
    EXPECT_TRUE(job.editorPreset);
    EXPECT_EQ(job.gridWidth, 16);
    EXPECT_TRUE(job.alphaGrid);
    EXPECT_TRUE(job.saveNatural && job.saveColor && job.saveAlpha);
    job = kindJob(parse({"--game", "g", "-o", "o", "--no-alpha-grid", "--format", "jpg"}), resolved);
    EXPECT_FALSE(job.alphaGrid);
    EXPECT_FALSE(job.saveNatural);
    EXPECT_TRUE(job.saveColor && job.saveAlpha);
}

TEST(CliOptions, MemoryLimitSizes)
{
    EXPECT_EQ(parse({"a.png"}).memoryLimit, 0);
    EXPECT_EQ(parse({"--memory-limit", "1500000", "a.png"}).memoryLimit, 1500000);
    EXPECT_EQ(parse({"--memory-limit", "64k", "a.png"}).memoryLimit, 65536);
    EXPECT_EQ(parse({"--memory-limit", "512M", "a.png"}).memoryLimit, 536870912);
    EXPECT_EQ(parse({"--memory-limit", "3G", "a.png"}).memoryLimit, 3221225472ll);
    for (const char* bad : {"", "0", "G", "-1G", "1.5G", "12T", "9999999999999"})
        EXPECT_EQ(usageError({"--memory-limit", bad, "a.png"}),
                  std::string("option --memory-limit: '") + bad + "' is not a size such as 512M or 2G")
            << bad;
}
