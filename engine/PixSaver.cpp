#include "engine/PixSaver.h"

#include "auxlib/error/ErrorLogger.h"
#include "auxlib/utility/Text.h"
#include "engine/reference/Kernels.h"
#include "engine/rows/Kernels.h"

#include <boost/format.hpp>
#include <optional>

namespace engine {

using auxlib::draw::InvalidArgument;
using auxlib::draw::SdlFailure;
using auxlib::draw::Success;
using auxlib::error::ErrorLogger;

namespace {

constexpr const char* sourceName = "..\\..\\PixSaver";

// The fixed site numbers of this file's log entries.
constexpr int saveFailedSite = 82;
constexpr int colourNotCreatedSite = 104;
constexpr int alphaNotCreatedSite = 133;
constexpr int alphaNotSetSite = 140;
constexpr int paletteNotSetSite = 155;

} // namespace

WPX_SaveSettings WriteSettings::saverSettings() const
{
    WPX_SaveSettings settings{};
    settings.pngFilter = pngFilter;
    settings.referenceRows = kernels == KernelSet::Reference ? 1 : 0;
    settings.runTasks = runTasks;
    settings.runnerData = runnerData;
    settings.shouldStop = shouldStop;
    settings.abortData = abortData;
    settings.pngCompression = pngCompression;
    settings.pngPalette = pngPalette ? 1 : 0;
    return settings;
}

ResultCode PixSaver::writeNatural(const Surface& surface, const std::string& fileName, const WriteSettings& settings,
                                  StagedFile* staged)
{
    if (!surface.isValid() || fileName.empty())
        return InvalidArgument;
    const std::string name = auxlib::utility::copyText(fileName);
    // An error text left by an earlier step the conversion survived must not
    // be mistaken by the writer for a failure of this save.
    SDL_ClearError();
    std::optional<StagedFile> own;
    StagedFile& file = staged != nullptr ? *staged : own.emplace(name);
    const int written = file.write(surface.sdl(), settings.saverSettings());
    if (written == WriteStopped)
        return WriteStopped;
    if (written != 0) {
        logSaveFailure(name, true);
        return SdlFailure;
    }
    if (staged == nullptr && !file.commit()) {
        logSaveFailure(name, false);
        return SdlFailure;
    }
    return Success;
}

void PixSaver::logSaveFailure(const std::string& fileName, bool afterEncoding)
{
    // The encoder's own messages, if it gave any, follow the reason.
    std::string reason = SDL_GetError();
    const char* messages = afterEncoding ? WPX_LastMessages() : nullptr;
    if (messages != nullptr && *messages != '\0')
        reason += std::string("\n") + messages;
    ErrorLogger(sourceName, saveFailedSite).put(boost::format("'%1%'ファイルへの画像保存に失敗しました。:%2%") % fileName % reason);
}

ResultCode PixSaver::writeColor(const Surface& surface, const std::string& fileName, const WriteSettings& settings,
                                StagedFile* staged)
{
    if (!surface.isValid() || fileName.empty())
        return InvalidArgument;
    if (!surface.hasAlpha())
        return writeNatural(surface, fileName, settings, staged);
    Surface colour;
    ResultCode result = colour.create(surface.width(), surface.height(), false);
    if (result != Success) {
        ErrorLogger(sourceName, colourNotCreatedSite).put("ＤＩＢを作成できませんでした。");
        return result;
    }
    if (settings.kernels == KernelSet::Rows && isEnginePixelFormat(surface)) {
        rows::copyColour(surface, colour);
    } else {
        result = reference::copyColour(surface, colour);
        if (result != Success)
            return result;
    }
    return writeNatural(colour, fileName, settings, staged);
}

ResultCode PixSaver::writeAlpha(const Surface& surface, const std::string& fileName, const WriteSettings& settings,
                                StagedFile* staged)
{
    if (!surface.isValid() || fileName.empty())
        return InvalidArgument;
    if (!surface.hasAlpha())
        return Success;
    SDL_Surface* raw = SDL_CreateRGBSurface(0, surface.width(), surface.height(), 8, 0, 0, 0, 0);
    if (raw == nullptr) {
        ErrorLogger(sourceName, alphaNotCreatedSite).put("アルファチャネル画像を作成できませんでした。");
        return SdlFailure;
    }
    Surface grey;
    ResultCode result = grey.setSurface(raw);
    if (result != Success) {
        ErrorLogger(sourceName, alphaNotSetSite).put("サーフェイスのセットに失敗。");
        return result;
    }
    SDL_Color palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = SDL_Color{static_cast<Uint8>(i), static_cast<Uint8>(i), static_cast<Uint8>(i), 0};
    if (SDL_SetPalette(raw, SDL_LOGPAL, palette, 0, 256) != 1) {
        ErrorLogger(sourceName, paletteNotSetSite).put("パレット設定に失敗。");
        return SdlFailure;
    }
    if (settings.kernels == KernelSet::Rows && isEnginePixelFormat(surface))
        rows::copyAlpha(surface, grey);
    else
        reference::copyAlpha(surface, grey);
    return writeNatural(grey, fileName, settings, staged);
}

namespace {

using Writer = ResultCode (*)(const Surface&, const std::string&, const WriteSettings&, StagedFile*);

ResultCode saveCell(Writer write, const OutputOptions& options, const Surface& cell, const std::string& outputPath,
                    int cellIndex, const std::string& suffix)
{
    if (!cell.isValid())
        return InvalidArgument;
    return write(cell, makeOutputFileName(options, outputPath, cellIndex, suffix), WriteSettings(), nullptr);
}

} // namespace

ResultCode saveNaturalCell(const OutputOptions& options, const Surface& cell, const std::string& outputPath,
                           int cellIndex, const std::string& suffix)
{
    return saveCell(PixSaver::writeNatural, options, cell, outputPath, cellIndex, suffix);
}

ResultCode saveColorCell(const OutputOptions& options, const Surface& cell, const std::string& outputPath,
                         int cellIndex, const std::string& suffix)
{
    return saveCell(PixSaver::writeColor, options, cell, outputPath, cellIndex, suffix);
}

ResultCode saveAlphaCell(const OutputOptions& options, const Surface& cell, const std::string& outputPath,
                         int cellIndex, const std::string& suffix)
{
    return saveCell(PixSaver::writeAlpha, options, cell, outputPath, cellIndex, suffix);
}

} // namespace engine
