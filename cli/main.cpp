// pixwright-cli: converts pictures from the command line through the
// engine's exported calls, one graphicConvert per input.
#include "cli/Options.h"
#include "engine/Pixwright_DLL.h"

#include <SDL_image.h>

#include <filesystem>
#include <iostream>
#include <map>
#include <set>

namespace {

std::string currentInput;

void printErrorBox(const char*, const char* text)
{
    std::cerr << "pixwright-cli: " << currentInput << ": " << text << "\n";
}

// Reads only the picture's size, for the automatic mode; 0 x 0 when the
// picture cannot be read (the engine then reports it).
void pictureSize(const std::string& path, int& width, int& height)
{
    width = height = 0;
    if (SDL_Surface* picture = IMG_Load(path.c_str())) {
        width = picture->w;
        height = picture->h;
        SDL_FreeSurface(picture);
    }
}

using Listing = std::map<std::string, std::filesystem::file_time_type>;

Listing listFiles(const std::string& folder)
{
    Listing files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (entry.is_regular_file(ec))
            files[entry.path().filename().string()] = entry.last_write_time(ec);
    }
    return files;
}

int countWritten(const Listing& before, const Listing& after)
{
    int written = 0;
    for (const auto& [name, time] : after) {
        auto old = before.find(name);
        written += old == before.end() || old->second != time;
    }
    return written;
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
            if (found.empty())
                std::cerr << "pixwright-cli: " << input << ": no .png, .bmp, .jpg or .jpeg files in this folder\n";
            inputs.insert(inputs.end(), found.begin(), found.end());
        } else {
            inputs.push_back(input);
        }
    }

    setErrorBoxHandler(printErrorBox);
    if (options.keyTopLeft)
        setColorKeyPos(0, 0);
    else
        setColorKey(options.keyRed, options.keyGreen, options.keyBlue);

    int failed = 0;
    for (const std::string& input : inputs) {
        currentInput = input;
        int width = 0, height = 0;
        pictureSize(input, width, height);
        const cli::Job job = cli::planJob(options, width, height);
        const Listing before = listFiles(options.outputFolder);
        const int result = graphicConvert(
            input.c_str(), options.outputFolder.c_str(), options.name ? options.name->c_str() : nullptr,
            job.editorPreset, job.gridWidth, job.gridHeight, options.sharpen, job.alphaGrid, options.interpolation,
            options.format, job.saveNatural, options.naturalSuffix.c_str(), job.saveColor, options.colorSuffix.c_str(),
            job.saveAlpha, options.alphaSuffix.c_str());
        const int written = countWritten(before, listFiles(options.outputFolder));
        if (result == 0) {
            std::cout << input << ": " << written << " files written\n";
        } else {
            ++failed;
            std::cout << input << ": failed with code " << result;
            if (written > 0)
                std::cout << " (" << written << " files written before the failure)";
            std::cout << "\n";
        }
    }
    if (inputs.size() > 1)
        std::cout << (inputs.size() - failed) << " of " << inputs.size() << " pictures converted\n";
    if (inputs.empty())
        return 1;
    return failed == 0 ? 0 : 1;
}
