#include "engine/SourcePicture.h"

#include "auxlib/draw/PngLoader.h"

namespace engine {

using auxlib::draw::Success;

namespace {

// The pictures the conversion takes: SDL keeps blit and fill rectangles in
// 16 bits, so a doubled picture past these sizes would be copied only in
// part or could not be made. The decoded picture is at most 8191 x 16383 x 4
// bytes (512 MiB), its enlargement four times that; anything larger is
// refused from its header, before memory is taken for it.
auxlib::draw::PictureLimits sourceLimits()
{
    auxlib::draw::PictureLimits limits;
    limits.maxWidth = maxSourceWidth;
    limits.maxHeight = maxSourceHeight;
    limits.maxDecodedBytes = std::uint64_t(maxSourceWidth) * maxSourceHeight * 4;
    return limits;
}

} // namespace

auxlib::draw::ResultCode loadSource(const std::string& path, auxlib::draw::Surface& source,
                                    auxlib::draw::LoadReport& report)
{
    const auxlib::draw::ResultCode result = source.load(path, sourceLimits(), &report);
    if (result != Success)
        return result;
    // The loader's own colour key (a palette picture's transparent entry) is
    // no part of the conversion: the cut copies colours as they are, and
    // transparency comes from the conversion's key alone.
    SDL_SetColorKey(source.sdl(), 0, 0);
    return Success;
}

auxlib::draw::PictureHeader readSourceHeader(const std::string& path)
{
    return auxlib::draw::readPictureHeader(path, sourceLimits());
}

} // namespace engine
