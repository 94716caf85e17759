#include "engine/PixSaver.h"

#include "auxlib/error/ErrorLogger.h"
#include "auxlib/utility/Text.h"
#include "engine/PixelPath.h"
#include "engine/PixelRows.h"
#include "saver/writepix.h"

#include <boost/format.hpp>
#include <optional>

namespace engine {

using auxlib::draw::InvalidArgument;
using auxlib::draw::Rgba;
using auxlib::draw::SdlFailure;
using auxlib::draw::Success;
using auxlib::error::ErrorLogger;

namespace {
constexpr const char* sourceName = "..\\..\\PixSaver";

// The colour variant of a picture in the engine's 32-bit format, row by row:
// its red, green and blue bytes, in the order of the engine's 24-bit format.
void copyColourRows(const Surface& picture, const Surface& colour)
{
    const PixelRows in = pixelRowsOf(picture);
    SDL_Surface* out = colour.sdl();
    for (std::int32_t y = 0; y < in.height; ++y) {
        const Pixel* src = in.row(y);
        Uint8* dst = static_cast<Uint8*>(out->pixels) + static_cast<std::ptrdiff_t>(y) * out->pitch;
        for (std::int32_t x = 0; x < in.width; ++x) {
            dst[3 * x] = redOf(src[x]);
            dst[3 * x + 1] = greenOf(src[x]);
            dst[3 * x + 2] = blueOf(src[x]);
        }
    }
}

// The alpha variant row by row: with the grey palette, index a is the level
// (a, a, a), so each index is the pixel's alpha.
void copyAlphaRows(const Surface& picture, const Surface& grey)
{
    const PixelRows in = pixelRowsOf(picture);
    SDL_Surface* out = grey.sdl();
    for (std::int32_t y = 0; y < in.height; ++y) {
        const Pixel* src = in.row(y);
        Uint8* dst = static_cast<Uint8*>(out->pixels) + static_cast<std::ptrdiff_t>(y) * out->pitch;
        for (std::int32_t x = 0; x < in.width; ++x)
            dst[x] = alphaOf(src[x]);
    }
}
}

std::string extensionFor(int format)
{
    switch (format) {
    case Bmp:
        return "bmp";
    case Png:
        return "png";
    case Jpeg:
        return "jpg";
    default:
        return std::string();
    }
}

std::string makeOutputFileName(const OutputOptions& options, const std::string& outputPath, int cellIndex,
                               const std::string& suffix)
{
    const std::string extension = extensionFor(options.format);
    if (options.numbered) {
        if (suffix.empty())
            return (boost::format("%s_%02d.%s") % outputPath % cellIndex % extension).str();
        return (boost::format("%s_%02d_%s.%s") % outputPath % cellIndex % suffix % extension).str();
    }
    if (suffix.empty())
        return (boost::format("%s.%s") % outputPath % extension).str();
    return (boost::format("%s_%s.%s") % outputPath % suffix % extension).str();
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
    if (file.write(surface.sdl(), settings.pngFilter, settings.threads) != 0) {
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
    ErrorLogger(sourceName, 82).put(boost::format("'%1%'ファイルへの画像保存に失敗しました。:%2%") % fileName % reason);
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
        ErrorLogger(sourceName, 104).put("ＤＩＢを作成できませんでした。");
        return result;
    }
    if (pixelPath() == PixelPath::Rows && isEnginePixelFormat(surface)) {
        copyColourRows(surface, colour);
    } else {
        // The raw copy drops alpha and keeps each pixel's colour, including
        // the colour hidden under fully transparent pixels.
        result = colour.copy(&surface, 0, 0, nullptr, 0, 0);
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
        ErrorLogger(sourceName, 133).put("アルファチャネル画像を作成できませんでした。");
        return SdlFailure;
    }
    Surface grey;
    ResultCode result = grey.setSurface(raw);
    if (result != Success) {
        ErrorLogger(sourceName, 140).put("サーフェイスのセットに失敗。");
        return result;
    }
    SDL_Color palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = SDL_Color{static_cast<Uint8>(i), static_cast<Uint8>(i), static_cast<Uint8>(i), 0};
    if (SDL_SetPalette(raw, SDL_LOGPAL, palette, 0, 256) != 1) {
        ErrorLogger(sourceName, 155).put("パレット設定に失敗。");
        return SdlFailure;
    }
    if (pixelPath() == PixelPath::Rows && isEnginePixelFormat(surface)) {
        copyAlphaRows(surface, grey);
    } else {
        // With the grey palette the nearest entry to (a, a, a) is index a
        // itself.
        for (int y = 0; y < surface.height(); ++y) {
            for (int x = 0; x < surface.width(); ++x) {
                Rgba pixel;
                surface.getPixel(pixel, x, y);
                const Rgba level{pixel.a, pixel.a, pixel.a, 255};
                grey.putPixel(x, y, &level);
            }
        }
    }
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
