// The questions a front end asks the engine instead of restating its rules:
// which preset a picture is cut as, what a picture file is, which key a
// conversion would use for it, and which files a conversion would write.
#include "auxlib/draw/Surface.h"
#include "auxlib/utility/Path.h"
#include "auxlib/utility/Text.h"
#include "engine/ColorKey.h"
#include "engine/ConvertResult.h"
#include "engine/EditorPresets.h"
#include "engine/Inspection.h"
#include "engine/OutputNaming.h"
#include "engine/Pixwright_DLL.h"
#include "engine/SourcePicture.h"

#include <cstring>
#include <string>

namespace {

using auxlib::draw::LoadReport;
using auxlib::draw::Success;
using auxlib::draw::Surface;

PixwrightColor colourOf(const auxlib::draw::Rgba& c) { return PixwrightColor{c.r, c.g, c.b, c.a}; }

} // namespace

extern "C" PIXWRIGHT_API int presetForSize(int width, int height)
{
    const engine::EditorPreset* preset = engine::presetOfSize(width, height);
    return preset != nullptr ? preset->kind : PIXWRIGHT_PRESET_NONE;
}

extern "C" PIXWRIGHT_API int presetInfo(int preset, PixwrightPresetInfo* info)
{
    const engine::EditorPreset* found = preset == PIXWRIGHT_PRESET_CHIPSET   ? &engine::chipsetPreset
                                        : preset == PIXWRIGHT_PRESET_CHARSET ? &engine::charsetPreset
                                                                              : nullptr;
    if (found == nullptr || info == nullptr)
        return -1;
    *info = PixwrightPresetInfo{found->pictureWidth, found->pictureHeight, found->gridWidth, found->gridHeight,
                                found->eraseAlphaGrid ? 1 : 0};
    return 0;
}

namespace engine {

int inspectPictureByDecoding(const char* path, PixwrightPictureInfo* info)
{
    if (path == nullptr || info == nullptr)
        return SourceNotLoaded;
    try {
        Surface source;
        LoadReport loaded;
        if (loadSource(auxlib::utility::copyText(path), source, loaded) != Success)
            return SourceNotLoaded;
        PixwrightPictureInfo found{};
        found.width = source.width();
        found.height = source.height();
        const SDL_Palette* palette = source.sdl()->format->palette;
        if (loaded.ownPalette && palette != nullptr && palette->colors != nullptr && palette->ncolors > 0) {
            found.ownPalette = 1;
            // Palette pixels read back opaque.
            found.paletteEntry0 = PixwrightColor{palette->colors[0].r, palette->colors[0].g, palette->colors[0].b, 255};
        }
        found.preset = presetForSize(found.width, found.height);
        *info = found;
        return Converted;
    } catch (...) {
        // SDL could not be started: the picture cannot be loaded.
        return SourceNotLoaded;
    }
}

} // namespace engine

// Every input is inspected before it is converted (the command line's plan,
// the planned files, a game's listing): decoding it there would decode each
// picture two or three times. The header gives the same answer as long as
// the pixels are sound; damaged ones fail when the picture is converted.
extern "C" PIXWRIGHT_API int inspectPicture(const char* path, PixwrightPictureInfo* info)
{
    if (path == nullptr || info == nullptr)
        return engine::SourceNotLoaded;
    try {
        const auxlib::draw::PictureHeader header = engine::readSourceHeader(auxlib::utility::copyText(path));
        if (!header.sound())
            return engine::SourceNotLoaded;
        PixwrightPictureInfo found{};
        // Within the source limits, far inside int.
        found.width = static_cast<int>(header.width);
        found.height = static_cast<int>(header.height);
        if (header.ownPalette) {
            found.ownPalette = 1;
            found.paletteEntry0 = colourOf(header.paletteEntry0);
        }
        found.preset = presetForSize(found.width, found.height);
        *info = found;
        return engine::Converted;
    } catch (...) {
        // Memory for the header's reading could not be had.
        return engine::SourceNotLoaded;
    }
}

extern "C" PIXWRIGHT_API int pictureKeyColor(const char* path, PixwrightColor* key)
{
    if (path == nullptr || key == nullptr)
        return engine::SourceNotLoaded;
    try {
        const engine::ColorKeyState state = engine::colorKeyState();
        Surface source;
        LoadReport loaded;
        if (engine::loadSource(auxlib::utility::copyText(path), source, loaded) != Success)
            return engine::SourceNotLoaded;
        *key = colourOf(engine::chooseKeyColour(state, source, loaded.ownPalette));
        return engine::Converted;
    } catch (...) {
        return engine::SourceNotLoaded;
    }
}

extern "C" PIXWRIGHT_API int plannedOutputFiles(const char* sourcePath, const char* outputFolder,
                                                const char* outputName, int editorPreset, int outputFormat,
                                                int saveNatural, const char* naturalSuffix, int saveColor,
                                                const char* colorSuffix, int saveAlpha, const char* alphaSuffix,
                                                char* buffer, int bufferSize)
{
    using namespace engine;
    if (sourcePath == nullptr || outputFolder == nullptr)
        return 0;
    const ConvertRequest request{sourcePath,   outputFolder, outputName,      editorPreset != 0, 0, 0, 0, false,
                                 0,            outputFormat, saveNatural != 0, naturalSuffix,     saveColor != 0,
                                 colorSuffix,  saveAlpha != 0, alphaSuffix};
    std::string list;
    try {
        const RequestCheck check = checkRequest(request);
        if (check.code != Converted)
            return 0;
        using auxlib::utility::NameRule;
        using auxlib::utility::Path;
        const Path folder = Path::parse(auxlib::utility::copyText(outputFolder), NameRule::Folder);
        const std::string outputPath = outputPathFor(folder, check.outputName, sourcePath, check.variants);
        PixwrightPictureInfo picture;
        if (inspectPicture(sourcePath, &picture) != Converted)
            return 0;
        const EditorPreset* preset = editorPreset != 0 ? presetOfSize(picture.width, picture.height) : nullptr;
        const int cells = preset != nullptr ? preset->cells : 1;
        OutputOptions options;
        options.format = outputFormat;
        options.numbered = cells != 1;
        for (int cell = 0; cell < cells; ++cell)
            for (const CellVariant& variant : check.variants)
                if (variant.selected)
                    list += makeOutputFileName(options, outputPath, cell, variant.suffix) + '\0';
    } catch (...) {
        // A name the path rules refuse: the conversion would write nothing.
        return 0;
    }
    list += '\0';
    if (list.size() > 0x7FFFFFFF)
        return 0;
    const int size = static_cast<int>(list.size());
    if (buffer != nullptr && size <= bufferSize)
        std::memcpy(buffer, list.data(), list.size());
    return size;
}
