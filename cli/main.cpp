// pixwright-cli: converts pictures from the command line through the
// engine's exported calls, one graphicConvert per input.
#include "cli/JobRunner.h"
#include "cli/Options.h"
#include "cli/ProgressLine.h"
#include "engine/Pixwright_DLL.h"

#include <filesystem>
#include <iostream>

#if defined(_WIN32)
#  include <windows.h>
#else
#  include <unistd.h>
#endif

namespace {

// The engine's messages may span lines (a path error under its heading,
// after a blank line); a failure is reported in one line. A single line
// break is part of a name the message quotes and is kept, to be shown
// escaped.
std::string oneLine(const std::vector<std::string>& messages)
{
    std::string line;
    for (const std::string& message : messages) {
        if (!line.empty())
            line += ' ';
        size_t i = 0;
        while (i < message.size()) {
            size_t breaks = 0, end = i;
            while (end < message.size() && (message[end] == '\n' || message[end] == '\r')) {
                breaks += message[end] == '\n';
                ++end;
            }
            if (end == i) {
                line += message[i++];
                continue;
            }
            if (breaks >= 2 || end == message.size() || i == 0)
                line += (line.empty() || end == message.size()) ? "" : " ";
            else
                line.append(message, i, end - i);
            i = end;
        }
    }
    return line.empty() ? "failed" : line;
}

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
    for (const std::string& input : options.inputs) {
        std::error_code ec;
        if (std::filesystem::is_directory(input, ec)) {
            std::vector<std::string> found = cli::picturesIn(input);
            if (found.empty() && options.verbosity != cli::Verbosity::Quiet)
                std::cerr << "pixwright-cli: " << shown(input) << ": no .png, .bmp, .jpg or .jpeg files in this folder\n";
            inputs.insert(inputs.end(), found.begin(), found.end());
        } else {
            inputs.push_back(input);
        }
    }

    // The fixed colour is also what the palette modes fall back to.
    setColorKey(options.keyRed, options.keyGreen, options.keyBlue);
    if (options.key == cli::KeyMode::TopLeft)
        setColorKeyPos(0, 0);
    else if (options.key == cli::KeyMode::Auto || options.key == cli::KeyMode::Palette)
        setColorKeyPaletteIndex(0);
    setPngFilter(options.pngFilter);

    int failed = 0;
    cli::ProgressLine progress(stderr, progressTerminal() && options.verbosity != cli::Verbosity::Quiet,
                               inputs.size());
    cli::JobRunner runner(options, options.jobs, &progress);
    const bool verbose = options.verbosity == cli::Verbosity::Verbose;
    runner.run(inputs, [&](size_t i, const cli::InputResult& result) {
        const std::string& input = inputs[i];
        if (result.code == 0) {
            if (verbose)
                progress.print(stdout, input + ": " + std::to_string(result.filesWritten) + " files written");
            return;
        }
        ++failed;
        const std::string log = logElsewhere();
        progress.print(stderr, "pixwright-cli: " + shown(input) + ": code " + std::to_string(result.code) + ": "
                                   + shown(oneLine(result.messages)) + (log.empty() ? "" : " (log: " + shown(log) + ")"));
    });
    progress.finish();
    if (verbose && inputs.size() > 1)
        std::cout << (inputs.size() - failed) << " of " << inputs.size() << " pictures converted\n";
    if (inputs.empty())
        return 1;
    return failed == 0 ? 0 : 1;
}
