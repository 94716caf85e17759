#include "cli/PictureSize.h"

#include "auxlib/draw/PictureHeader.h"

#include <SDL_image.h>

#include <climits>
#include <mutex>

namespace cli {

PictureSize readPictureSize(const std::string& path)
{
    if (const auto declared = auxlib::draw::readDeclaredSize(path)) {
        if (declared->width > INT_MAX || declared->height > INT_MAX)
            return PictureSize();
        return PictureSize{int(declared->width), int(declared->height)};
    }
    // Any other kind of picture is decoded for its size. SDL_image's
    // loaders keep unguarded state of their own.
    static std::mutex decoding;
    std::lock_guard<std::mutex> guard(decoding);
    PictureSize size;
    if (SDL_Surface* picture = IMG_Load(path.c_str())) {
        size = PictureSize{picture->w, picture->h};
        SDL_FreeSurface(picture);
    }
    return size;
}

} // namespace cli
