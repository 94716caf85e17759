#include "cli/Options.h"

#include "engine/Pixwright_DLL.h"
#include "game/TextPath.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace cli {

namespace {

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

[[noreturn]] void usage(const std::string& message) { throw UsageError{message}; }

int parseInt(const std::string& option, const std::string& text)
{
    size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(text, &used);
    } catch (...) {
        used = 0;
    }
    if (used == 0 || used != text.size())
        usage("option " + option + ": '" + text + "' is not a whole number");
    return value;
}

// "512M", "2G", "1500000": bytes, or kibi-, mebi- or gibibytes.
long long parseByteCount(const std::string& option, const std::string& text)
{
    std::string digits = text;
    long long unit = 1;
    if (!digits.empty()) {
        switch (digits.back()) {
        case 'k': case 'K': unit = 1ll << 10; break;
        case 'm': case 'M': unit = 1ll << 20; break;
        case 'g': case 'G': unit = 1ll << 30; break;
        default: break;
        }
        if (unit != 1)
            digits.pop_back();
    }
    bool whole = !digits.empty() && digits.size() <= 12;
    for (char c : digits)
        whole = whole && c >= '0' && c <= '9';
    const long long value = whole ? std::stoll(digits) : 0;
    if (!whole || value == 0)
        usage("option " + option + ": '" + text + "' is not a size such as 512M or 2G");
    return value * unit;
}

int pick(const std::string& option, const std::string& value, const std::vector<std::string>& names)
{
    auto found = std::find(names.begin(), names.end(), lower(value));
    if (found == names.end()) {
        std::string list;
        for (const std::string& n : names)
            list += (list.empty() ? "" : ", ") + n;
        usage("option " + option + ": unknown value '" + value + "' (one of " + list + ")");
    }
    return static_cast<int>(found - names.begin());
}

std::vector<std::string> splitList(const std::string& text)
{
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos)
            comma = text.size();
        items.push_back(lower(text.substr(start, comma - start)));
        start = comma + 1;
    }
    return items;
}

// The words of numbered engine values, each at its number, so the lists
// follow the engine's numbering rather than an order kept by hand.
std::vector<std::string> interpolationWords()
{
    std::vector<std::string> words(PIXWRIGHT_INTERPOLATION_COUNT);
    words[PIXWRIGHT_INTERPOLATION_NEAREST] = "nearest";
    words[PIXWRIGHT_INTERPOLATION_BILINEAR] = "bilinear";
    words[PIXWRIGHT_INTERPOLATION_ORIGINAL] = "original";
    words[PIXWRIGHT_INTERPOLATION_SCALE2X] = "scale2x";
    words[PIXWRIGHT_INTERPOLATION_XBR] = "xbr";
    return words;
}

std::vector<std::string> formatWords()
{
    std::vector<std::string> words(PIXWRIGHT_FORMAT_COUNT);
    words[PIXWRIGHT_FORMAT_BMP] = "bmp";
    words[PIXWRIGHT_FORMAT_PNG] = "png";
    words[PIXWRIGHT_FORMAT_JPEG] = "jpg";
    return words;
}

// The grid modes, and auto after them.
std::vector<std::string> modeWords()
{
    std::vector<std::string> words(PIXWRIGHT_GRID_COUNT + 1);
    words[PIXWRIGHT_GRID_CHIPSET] = "chipset";
    words[PIXWRIGHT_GRID_CHARSET] = "charset";
    words[PIXWRIGHT_GRID_NONE] = "nogrid";
    words[PIXWRIGHT_GRID_CUSTOM] = "custom";
    words[PIXWRIGHT_GRID_COUNT] = "auto";
    return words;
}

// The list as the usage text gives it: "a, b or c", in the order given.
std::string wordList(const std::vector<std::string>& words)
{
    std::string list;
    for (size_t i = 0; i < words.size(); ++i)
        list += (i == 0 ? "" : i + 1 == words.size() ? " or " : ", ") + words[i];
    return list;
}

PixwrightPresetInfo presetOf(int preset)
{
    PixwrightPresetInfo info{};
    presetInfo(preset, &info);
    return info;
}

std::string sizeText(const PixwrightPresetInfo& info)
{
    return std::to_string(info.pictureWidth) + "x" + std::to_string(info.pictureHeight);
}

bool isHex(const std::string& text)
{
    return text.size() == 6 && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isxdigit(c); });
}

} // namespace

Options parseOptions(const std::vector<std::string>& args)
{
    Options options;
    bool onlyInputs = false;
    bool outputGiven = false;
    // Options whose values a game takes from the kinds table.
    std::vector<std::string> fromTable;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (onlyInputs || arg.empty() || arg[0] != '-' || arg == "-") {
            options.inputs.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyInputs = true;
            continue;
        }
        std::string value;
        bool inlineValue = false;
        if (arg.rfind("--", 0) == 0) {
            size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                value = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
                inlineValue = true;
            }
        }
        auto takeValue = [&]() -> std::string {
            if (inlineValue)
                return value;
            if (i + 1 >= args.size())
                usage("option " + arg + " needs a value");
            return args[++i];
        };
        auto noValue = [&]() {
            if (inlineValue)
                usage("option " + arg + " takes no value");
        };

        if (arg == "-h" || arg == "--help") {
            noValue();
            options.help = true;
        } else if (arg == "--version") {
            noValue();
            options.version = true;
        } else if (arg == "-o" || arg == "--output") {
            options.outputFolder = takeValue();
            outputGiven = true;
            if (options.outputFolder.empty())
                usage("option " + arg + " needs a folder");
        } else if (arg == "--name") {
            options.name = takeValue();
        } else if (arg == "--game") {
            options.game = takeValue();
            if (options.game->empty())
                usage("option --game needs a folder");
        } else if (arg == "-r" || arg == "--recursive") {
            noValue();
            options.recursive = true;
        } else if (arg == "--mode") {
            fromTable.push_back(arg);
            // Listed with auto first, as the usage text gives them.
            std::vector<std::string> words = modeWords();
            std::rotate(words.begin(), words.end() - 1, words.end());
            const int picked = pick(arg, takeValue(), words);
            options.mode = picked == 0 ? Mode::Auto : static_cast<Mode>(picked - 1);
        } else if (arg == "--grid") {
            fromTable.push_back(arg);
            std::string grid = lower(takeValue());
            size_t x = grid.find('x');
            if (x == std::string::npos)
                usage("option --grid: '" + grid + "' is not WIDTHxHEIGHT");
            options.gridWidth = parseInt(arg, grid.substr(0, x));
            options.gridHeight = parseInt(arg, grid.substr(x + 1));
        } else if (arg == "--interpolation") {
            options.interpolation = pick(arg, takeValue(), interpolationWords());
        } else if (arg == "--sharpen") {
            options.sharpen = parseInt(arg, takeValue());
            if (options.sharpen < 0 || options.sharpen > 5)
                usage("option --sharpen: " + std::to_string(options.sharpen) + " is not a level from 0 to 5");
        } else if (arg == "--alpha-grid") {
            noValue();
            options.alphaGrid = true;
        } else if (arg == "--no-alpha-grid") {
            noValue();
            options.alphaGrid = false;
        } else if (arg == "--key") {
            fromTable.push_back(arg);
            std::string key = takeValue();
            if (lower(key) == "none") {
                options.key = KeyMode::None;
            } else if (lower(key) == "topleft") {
                options.key = KeyMode::TopLeft;
            } else if (lower(key) == "auto") {
                options.key = KeyMode::Auto;
            } else if (lower(key) == "palette") {
                options.key = KeyMode::Palette;
            } else if (isHex(key)) {
                unsigned long rgb = std::stoul(key, nullptr, 16);
                options.key = KeyMode::Fixed;
                options.keyRed = static_cast<int>((rgb >> 16) & 0xFF);
                options.keyGreen = static_cast<int>((rgb >> 8) & 0xFF);
                options.keyBlue = static_cast<int>(rgb & 0xFF);
            } else {
                usage("option --key: '" + key + "' is none of auto, palette, topleft, none, RRGGBB");
            }
        } else if (arg == "-v" || arg == "--verbose") {
            noValue();
            if (options.verbosity == Verbosity::Quiet)
                usage("options --verbose and --quiet exclude each other");
            options.verbosity = Verbosity::Verbose;
        } else if (arg == "-q" || arg == "--quiet") {
            noValue();
            if (options.verbosity == Verbosity::Verbose)
                usage("options --verbose and --quiet exclude each other");
            options.verbosity = Verbosity::Quiet;
        } else if (arg == "-j" || arg == "--jobs") {
            options.jobs = parseInt(arg, takeValue());
            if (options.jobs < 1 || options.jobs > 256)
                usage("option " + arg + ": " + std::to_string(options.jobs) + " is not a number of jobs from 1 to 256");
        } else if (arg == "--memory-limit") {
            options.memoryLimit = parseByteCount(arg, takeValue());
        } else if (arg == "--png-filter") {
            options.pngFilter = pick(arg, takeValue(), {"default", "none", "sub", "up", "average", "paeth", "all"});
        } else if (arg == "--png-compression") {
            static_assert(PIXWRIGHT_PNG_COMPRESSION_DEFAULT == 0 && PIXWRIGHT_PNG_COMPRESSION_FAST == 1
                              && PIXWRIGHT_PNG_COMPRESSION_SMALL == 2,
                          "the words are listed in the order of the engine's numbers");
            options.pngCompression = pick(arg, takeValue(), {"default", "fast", "small"});
        } else if (arg == "--png-palette") {
            noValue();
            options.pngPalette = true;
        } else if (arg == "--format") {
            options.format = pick(arg, takeValue(), formatWords());
        } else if (arg == "--outputs") {
            std::vector<std::string> outputs = splitList(takeValue());
            for (const std::string& o : outputs)
                pick(arg, o, {"natural", "color", "alpha"});
            options.outputs = outputs;
        } else if (arg == "--natural-suffix") {
            options.naturalSuffix = takeValue();
        } else if (arg == "--color-suffix") {
            options.colorSuffix = takeValue();
        } else if (arg == "--alpha-suffix") {
            options.alphaSuffix = takeValue();
        } else {
            usage("unknown option " + arg);
        }
    }
    if (options.help || options.version)
        return options;
    if (options.game) {
        if (!fromTable.empty())
            usage("option " + fromTable.front() + " cannot be used with --game: each asset folder has its own");
        if (!options.inputs.empty())
            usage("option --game takes no other input");
        if (options.name)
            usage("option --name cannot be used with --game: each picture keeps its own name");
        if (options.recursive)
            usage("option --recursive cannot be used with --game");
        if (!outputGiven)
            usage("option --game needs -o OUT_FOLDER");
        return options;
    }
    if (options.inputs.empty())
        usage("no input picture or folder given");
    if (options.name && options.inputs.size() != 1)
        usage("option --name takes one input only");
    return options;
}

namespace {

// The user's alpha-grid choice and variants over what the grid mode gives.
Job withOutputs(const Options& options, Job job)
{
    if (options.alphaGrid)
        job.alphaGrid = *options.alphaGrid;

    std::vector<std::string> outputs = options.outputs ? *options.outputs
                                       : options.format == PIXWRIGHT_FORMAT_PNG
                                           ? std::vector<std::string>{"natural", "color", "alpha"}
                                                             : std::vector<std::string>{"color", "alpha"};
    for (const std::string& o : outputs) {
        job.saveNatural |= o == "natural";
        job.saveColor |= o == "color";
        job.saveAlpha |= o == "alpha";
    }
    return job;
}

} // namespace

Job planJob(const Options& options, int preset)
{
    Mode mode = options.mode;
    if (mode == Mode::Auto)
        mode = preset == PIXWRIGHT_PRESET_CHIPSET   ? Mode::Chipset
               : preset == PIXWRIGHT_PRESET_CHARSET ? Mode::Charset
                                                    : Mode::Custom;
    Job job;
    switch (mode) {
    case Mode::Chipset:
    case Mode::Charset: {
        const PixwrightPresetInfo info =
            presetOf(mode == Mode::Chipset ? PIXWRIGHT_PRESET_CHIPSET : PIXWRIGHT_PRESET_CHARSET);
        job = Job{true, info.gridWidth, info.gridHeight, info.eraseAlphaGrid != 0};
        break;
    }
    case Mode::NoGrid:
        job = Job{false, 0, 0, false};
        break;
    default:
        job = Job{false, options.gridWidth, options.gridHeight, false};
        break;
    }
    return withOutputs(options, job);
}

Job kindJob(const Options& options, const PixwrightKindSettings& settings)
{
    Job job{settings.editorPreset != 0, settings.gridWidth, settings.gridHeight, settings.eraseAlphaGrid != 0};
    return withOutputs(options, job);
}

std::vector<FolderPicture> picturesIn(const std::string& folder, bool recursive)
{
    namespace fs = std::filesystem;
    std::vector<std::pair<std::string, FolderPicture>> found;
    auto take = [&](const fs::directory_entry& entry) {
        std::error_code ec;
        if (!entry.is_regular_file(ec))
            return;
        PixwrightFileFormat format{};
        const std::string path = game::textOf(entry.path());
        if (fileFormat(path.c_str(), &format) != PIXWRIGHT_FILE_DECODED)
            return;
        const fs::path relative = entry.path().lexically_relative(game::pathOf(folder));
        const std::string subfolder = game::genericTextOf(relative.parent_path());
        found.push_back({game::genericTextOf(relative), FolderPicture{path, subfolder}});
    };
    std::error_code ec;
    if (recursive) {
        for (fs::recursive_directory_iterator it(game::pathOf(folder), ec), end; !ec && it != end; it.increment(ec))
            take(*it);
    } else {
        for (fs::directory_iterator it(game::pathOf(folder), ec), end; !ec && it != end; it.increment(ec))
            take(*it);
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<FolderPicture> pictures;
    for (auto& f : found)
        pictures.push_back(std::move(f.second));
    return pictures;
}

std::string gridModeWord(int gridMode)
{
    const std::vector<std::string> words = modeWords();
    return gridMode >= 0 && gridMode < PIXWRIGHT_GRID_COUNT ? words[size_t(gridMode)] : std::string();
}

std::string interpolationWord(int interpolation)
{
    const std::vector<std::string> words = interpolationWords();
    return interpolation >= 0 && interpolation < PIXWRIGHT_INTERPOLATION_COUNT ? words[size_t(interpolation)]
                                                                                : std::string();
}

std::string formatWord(int format)
{
    const std::vector<std::string> words = formatWords();
    return format >= 0 && format < PIXWRIGHT_FORMAT_COUNT ? words[size_t(format)] : std::string();
}

std::string usageText()
{
    std::vector<std::string> modes = modeWords();
    std::rotate(modes.begin(), modes.end() - 1, modes.end());
    return "Usage: pixwright-cli [options] INPUT...\n"
           "       pixwright-cli --game GAME_FOLDER -o OUT_FOLDER [options]\n"
           "Enlarges game-editor pictures 2x grid square by grid square and writes\n"
           "them with alpha, colour only and alpha only. An INPUT is a picture file\n"
           "or a folder (its pictures, told by their content, in name order).\n"
           "\n"
           "  -o, --output DIR          output folder (default: the current folder)\n"
           "  -r, --recursive           folder inputs take their subfolders too, the tree\n"
           "                            mirrored under the output folder\n"
           "      --game DIR            convert a whole game: every picture of the asset\n"
           "                            folders directly in DIR (ChipSet, CharSet, FaceSet, ...)\n"
           "                            with its folder's grid and key, into OUT/<folder>/,\n"
           "                            and a report in OUT/pixwright-report.json; --mode,\n"
           "                            --grid and --key come from the folder and are refused\n"
           "      --name NAME           output name (one input only; default: the input's)\n"
           "      --mode MODE           " + wordList(modes) + " (default auto:\n"
           "                            chipset for " + sizeText(presetOf(PIXWRIGHT_PRESET_CHIPSET)) + ", charset for "
           + sizeText(presetOf(PIXWRIGHT_PRESET_CHARSET)) + ", else custom)\n"
           "      --grid WxH            grid of custom mode (default 16x16)\n"
           "      --interpolation I     " + wordList(interpolationWords()) + " (default\n"
           "                            bilinear); scale2x and xbr smooth the diagonals of\n"
           "                            pixel art, scale2x with the picture's own colours,\n"
           "                            xbr blending the pixels along an edge\n"
           "      --sharpen N           sharpening level 0-5 (default 2)\n"
           "      --alpha-grid          correct alpha along the grid (default in chipset mode)\n"
           "      --no-alpha-grid       do not correct it\n"
           "      --key K               transparent colour: auto (default) keys a picture with a\n"
           "                            palette by its palette entry 0 and any other picture by\n"
           "                            007575; palette does the same; topleft takes the colour\n"
           "                            of each picture's top-left pixel; none keys no pixel;\n"
           "                            RRGGBB a fixed colour\n"
           "      --format F            " + wordList(formatWords()) + " (default png)\n"
           "      --outputs LIST        comma list of natural, color, alpha\n"
           "                            (default: all three for png, color,alpha otherwise)\n"
           "      --natural-suffix S    suffix of the with-alpha file (default none)\n"
           "      --color-suffix S      suffix of the colour-only file (default color)\n"
           "      --alpha-suffix S      suffix of the alpha-only file (default alpha)\n"
           "      --png-filter F        PNG row filter: default (libpng's choice per row), none,\n"
           "                            sub, up, average, paeth or all; every filter gives the\n"
           "                            same pixels, 'none' is fastest and often smallest on\n"
           "                            pixel art\n"
           "      --png-compression C   default (libpng and zlib, as ever), fast (several\n"
           "                            times faster, files no larger on pixel art; no row\n"
           "                            filter unless --png-filter names one) or small (the\n"
           "                            strongest deflate over every filter; slow)\n"
           "      --png-palette         PNG pictures of at most 256 colours are written with\n"
           "                            a palette: the same pixels in far smaller files (some\n"
           "                            engines may expect 32-bit RGBA)\n"
           "  -j, --jobs N              threads (default: the number of cores); the pictures\n"
           "                            of a folder are converted side by side, the cells of\n"
           "                            one picture too; --jobs 1 does everything on one thread\n"
           "      --memory-limit SIZE   memory the pictures converted side by side may take\n"
           "                            together, in bytes or with K, M or G (default: half\n"
           "                            the machine's memory); a picture that needs more\n"
           "                            alone fails, the others wait their turn\n"
           "  -v, --verbose             also print a line for every converted picture and a total\n"
           "  -q, --quiet               print nothing but the failures\n"
           "  -h, --help                show this text\n"
           "      --version             show the version\n"
           "\n"
           "A failing picture is reported on standard error in one line: its name, the\n"
           "engine's result code and message. Nothing else is printed unless asked.\n"
           "\n"
           "Exit status: 0 all converted, 1 some input failed, 2 bad command line.\n";
}

} // namespace cli
