// pixwright-cli: converts pictures from the command line through the
// engine's exported calls, one graphicConvert per input.
#include "cli/FailureText.h"
#include "cli/GameRun.h"
#include "cli/JobRunner.h"
#include "cli/Options.h"
#include "cli/ProgressLine.h"
#include "engine/Pixwright_DLL.h"
#include "game/TextPath.h"

#include <atomic>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <optional>

#if defined(_WIN32)
#  include <windows.h>
#else
#  include <unistd.h>
#endif

namespace {

// Ctrl-C or a TERM asks the running conversions to stop at their next band
// of rows, so the files already whole stay and none is left half-written;
// a second one ends the program at once.
std::atomic<bool> stopRequested{false};
std::atomic<int> stopSignal{0};

void requestStop(int signal)
{
    stopSignal.store(signal);
    if (stopRequested.exchange(true)) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
}

void stopOnSignals()
{
#if defined(_WIN32)
    // The C runtime sets a signal back to its default before it calls the
    // handler, so a second Ctrl-C ends the program there as it does here.
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
#else
    struct sigaction action{};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#endif
}

// The shell's convention: 128 + the signal, 130 for Ctrl-C, 143 for TERM.
int stopExitStatus() { return 128 + (stopSignal.load() != 0 ? stopSignal.load() : SIGINT); }

// A name may hold any byte but "/" and NUL, a line break or an escape
// sequence included; shown as it stands it would break the one line or drive
// the terminal. Control characters are shown escaped, other bytes unchanged.
std::string shown(const std::string& text)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else if (c < 0x20 || c == 0x7F)
            out += std::string("\\x") + digits[c >> 4] + digits[c & 0xF];
        else
            out += static_cast<char>(c);
    }
    return out;
}

// Where the engine's log went, when not to stderr.txt in this folder (a
// read-only folder moves it to the user's state folder).
std::string logElsewhere()
{
    const int length = getLogFilePath(nullptr, 0);
    if (length <= 0)
        return std::string();
    std::string path(static_cast<size_t>(length) + 1, '\0');
    getLogFilePath(&path[0], length + 1);
    path.resize(static_cast<size_t>(length));
    return path == "stderr.txt" ? std::string() : path;
}

// Whether standard error is a terminal that can take the progress line's
// "erase to the end of the line" sequence. A Windows console takes it once
// asked to; a file, a pipe or NUL is no console.
bool progressTerminal()
{
#if defined(_WIN32)
    HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (console == INVALID_HANDLE_VALUE || !GetConsoleMode(console, &mode))
        return false;
    return SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
#else
    return isatty(fileno(stderr));
#endif
}

} // namespace

int main(int argc, char** argv)
{
    cli::Options options;
    try {
        options = cli::parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const cli::UsageError& e) {
        std::cerr << "pixwright-cli: " << e.message << "\nTry 'pixwright-cli --help'.\n";
        return 2;
    }
    if (options.help) {
        std::cout << cli::usageText();
        return 0;
    }
    if (options.version) {
        std::cout << "pixwright-cli 1.0.0\n";
        return 0;
    }

    std::vector<std::string> inputs;
    // Where each input's files go: the output folder, below it the input's
    // place in the tree of a recursive folder input.
    std::vector<std::string> outputFolders;
    std::optional<cli::GameRun> game;
    if (options.game) {
        try {
            game.emplace(options);
        } catch (const cli::GameError& e) {
            std::cerr << "pixwright-cli: " << e.message << "\n";
            return 1;
        }
        inputs = game->inputs();
    }
    for (const std::string& input : options.inputs) {
        std::error_code ec;
        if (std::filesystem::is_directory(game::pathOf(input), ec)) {
            const std::vector<cli::FolderPicture> found = cli::picturesIn(input, options.recursive);
            if (found.empty() && options.verbosity != cli::Verbosity::Quiet)
                std::cerr << "pixwright-cli: " << shown(input) << ": no pictures in this folder\n";
            for (const cli::FolderPicture& picture : found) {
                inputs.push_back(picture.path);
                const std::filesystem::path folder =
                    game::pathOf(options.outputFolder) / game::pathOf(picture.subfolder);
                outputFolders.push_back(picture.subfolder.empty() ? options.outputFolder : game::textOf(folder));
                // The engine makes the last level of a folder, as for any
                // conversion; the levels above it are made here.
                if (!picture.subfolder.empty())
                    std::filesystem::create_directories(folder.parent_path(), ec);
            }
        } else {
            inputs.push_back(input);
            outputFolders.push_back(options.outputFolder);
        }
    }

    // The fixed colour is also what the palette modes fall back to.
    setColorKey(options.keyRed, options.keyGreen, options.keyBlue);
    if (options.key == cli::KeyMode::TopLeft)
        setColorKeyPos(0, 0);
    else if (options.key == cli::KeyMode::Auto || options.key == cli::KeyMode::Palette)
        setColorKeyPaletteIndex(0);
    else if (options.key == cli::KeyMode::None)
        setColorKeyOff();
    setPngFilter(options.pngFilter);
    setMemoryLimit(options.memoryLimit);
    setPngCompression(options.pngCompression);
    setPngPalette(options.pngPalette ? 1 : 0);

    const cli::Language language = cli::messageLanguageFromEnvironment();
    int failed = 0;
    long filesWritten = 0;
    cli::ProgressLine progress(stderr, progressTerminal() && options.verbosity != cli::Verbosity::Quiet,
                               inputs.size());
    stopOnSignals();
    cli::JobRunner runner(options, options.jobs, &progress, &stopRequested);
    const bool verbose = options.verbosity == cli::Verbosity::Verbose;
    const auto plan = [&](size_t i) {
        if (game)
            return game->plan(i);
        cli::InputPlan p = runner.plainPlan(inputs[i]);
        p.outputFolder = outputFolders[i];
        return p;
    };
    if (game) {
        for (const std::string& line : game->clashLines())
            progress.print(stderr, "pixwright-cli: " + line);
        failed += static_cast<int>(game->clashLines().size());
    }
    runner.run(inputs, plan, [&](size_t i, const cli::InputResult& result) {
        const std::string& input = inputs[i];
        filesWritten += result.filesWritten;
        if (game)
            game->record(i, result);
        // A stopped conversion is no failure of its picture.
        if (result.code == PIXWRIGHT_RESULT_CANCELLED)
            return;
        if (result.code == 0) {
            if (verbose)
                progress.print(stdout, input + ": " + std::to_string(result.filesWritten) + " files written");
            return;
        }
        ++failed;
        const std::string log = logElsewhere();
        const std::string message = result.failure ? cli::failureText(*result.failure, language) : "failed";
        progress.print(stderr, "pixwright-cli: " + shown(input) + ": code " + std::to_string(result.code) + ": "
                                   + shown(message) + (log.empty() ? "" : " (log: " + shown(log) + ")"));
    });
    progress.finish();
    if (stopRequested) {
        // The pictures done before the stop are in the report too.
        if (game) {
            std::string error;
            game->writeReport(&error);
        }
        std::cerr << "pixwright-cli: " << cli::stoppedText(filesWritten, language) << "\n";
        return stopExitStatus();
    }
    // A game's pictures not tried (their files are another's) count too.
    const size_t total = inputs.size() + (game ? game->clashLines().size() : 0);
    if (verbose && total > 1)
        std::cout << (total - failed) << " of " << total << " pictures converted\n";
    if (game) {
        if (verbose)
            std::cout << game->skipped() << " files skipped\n";
        std::string error;
        if (!game->writeReport(&error)) {
            std::cerr << "pixwright-cli: " << error << "\n";
            return 1;
        }
        return failed == 0 ? 0 : 1;
    }
    if (inputs.empty())
        return 1;
    return failed == 0 ? 0 : 1;
}
