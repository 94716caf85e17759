// pixwright-cli: converts pictures from the command line through the
// engine's exported calls, one graphicConvert per input.
#include "cli/JobRunner.h"
#include "cli/Options.h"
#include "cli/ProgressLine.h"
#include "engine/Pixwright_DLL.h"

#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace {

// The engine's messages may span lines (a path error under its heading);
// a failure is reported in one line.
std::string oneLine(const std::vector<std::string>& messages)
{
    std::string line;
    for (const std::string& message : messages) {
        if (!line.empty())
            line += ' ';
        bool space = false;
        for (char c : message) {
            if (c == '\n' || c == '\r') {
                space = !line.empty();
                continue;
            }
            if (space)
                line += ' ';
            space = false;
            line += c;
        }
    }
    return line.empty() ? "failed" : line;
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
                std::cerr << "pixwright-cli: " << input << ": no .png, .bmp, .jpg or .jpeg files in this folder\n";
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
    cli::ProgressLine progress(stderr, isatty(fileno(stderr)) && options.verbosity != cli::Verbosity::Quiet,
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
        progress.print(stderr, "pixwright-cli: " + input + ": code " + std::to_string(result.code) + ": "
                                   + oneLine(result.messages));
    });
    progress.finish();
    if (verbose && inputs.size() > 1)
        std::cout << (inputs.size() - failed) << " of " << inputs.size() << " pictures converted\n";
    if (inputs.empty())
        return 1;
    return failed == 0 ? 0 : 1;
}
