#include "auxlib/draw/Surface.h"

#include "auxlib/draw/BmpLoader.h"
#include "auxlib/draw/JpegLoader.h"
#include "auxlib/draw/PictureFormat.h"
#include "auxlib/draw/PngLoader.h"
#include "auxlib/draw/XyzLoader.h"
#include "auxlib/error/ErrorLogger.h"
#include "auxlib/utility/SDLInitializer.h"
#include "auxlib/utility/Text.h"


namespace auxlib::draw {

using utility::SDLInitializer;

namespace {
constexpr const char* sourceName = "..\\..\\..\\auxlib\\draw\\Surface";
constexpr Uint32 lockFlags = SDL_HWSURFACE | SDL_ASYNCBLIT | SDL_RLEACCEL;

SDL_Rect sdlRect(int x, int y, int w, int h)
{
    SDL_Rect rect;
    rect.x = static_cast<Sint16>(x);
    rect.y = static_cast<Sint16>(y);
    rect.w = static_cast<Uint16>(w);
    rect.h = static_cast<Uint16>(h);
    return rect;
}
} // namespace

SurfaceHolder::SurfaceHolder(SDL_Surface* s) : surface(nullptr)
{
    SDLInitializer::acquire(SDL_INIT_VIDEO);
    surface = s;
}

SurfaceHolder::~SurfaceHolder()
{
    if (surface != nullptr) {
        SDL_FreeSurface(surface);
        surface = nullptr;
    }
    try {
        SDLInitializer::release(SDL_INIT_VIDEO);
    } catch (...) {
        // Unreachable while every release pairs an acquire; a destructor must
        // not throw either way.
    }
}

Surface::Surface(SDL_Surface* surface)
{
    SDLInitializer::acquire(SDL_INIT_VIDEO);
    setSurface(surface);
}

Surface::Surface(const Surface& other) : holder_(other.holder_), count_(other.count_)
{
    if (count_ != nullptr)
        count_->fetch_add(1, std::memory_order_relaxed);
    SDLInitializer::acquire(SDL_INIT_VIDEO);
}

Surface::~Surface()
{
    releaseHandle();
    try {
        SDLInitializer::release(SDL_INIT_VIDEO);
    } catch (...) {
    }
}

void Surface::releaseHandle()
{
    // The last owner must see every write the others made to the picture.
    if (count_ != nullptr && count_->fetch_sub(1, std::memory_order_acq_rel) <= 1) {
        delete count_;
        delete holder_;
    }
    holder_ = nullptr;
    count_ = nullptr;
}

bool Surface::needsLock() const
{
    const SDL_Surface* s = holder_->surface;
    return s->offset != 0 || (s->flags & lockFlags) != 0;
}

ResultCode Surface::lock() const
{
    if (!isValid())
        return NoSurface;
    if (needsLock() && SDL_LockSurface(holder_->surface) != 0)
        return SdlFailure;
    return Success;
}

void Surface::unlock() const
{
    if (isValid() && needsLock())
        SDL_UnlockSurface(holder_->surface);
}

ResultCode Surface::setSurface(SDL_Surface* surface)
{
    if (isValid() && holder_->surface == surface)
        return Success;
    releaseHandle();
    if (surface == nullptr)
        return Success;
    holder_ = new SurfaceHolder(surface);
    count_ = new std::atomic<std::int32_t>(0);
    count_->fetch_add(1, std::memory_order_relaxed);
    return Success;
}

ResultCode Surface::create(int width, int height, bool withAlpha)
{
    if (width <= 0 || height <= 0)
        return InvalidArgument;
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, withAlpha ? 32 : 24, 0x000000FF,
                                          0x0000FF00, 0x00FF0000, withAlpha ? 0xFF000000 : 0);
    if (s == nullptr)
        return SdlFailure;
    return setSurface(s);
}

ResultCode Surface::createCopy(const Surface* source)
{
    if (source == nullptr)
        return InvalidArgument;
    const SDL_PixelFormat* f = source->holder_->surface->format;
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, source->width(), source->height(), f->BitsPerPixel,
                                          f->Rmask, f->Gmask, f->Bmask, f->Amask);
    if (s == nullptr)
        return SdlFailure;
    setSurface(s);
    return copy(source, 0, 0, nullptr, 0, 0);
}

ResultCode Surface::load(const std::string& path) { return load(path, PictureLimits(), nullptr); }

namespace {

// What every reader reports, gathered in one shape.
struct Decoded {
    SDL_Surface* surface = nullptr;
    bool ownPalette = false;
    bool tooLarge = false;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::string reason;
};

// The reader's reason, then its library's messages on lines of their own.
std::string withMessages(std::string reason, const std::string& messages)
{
    if (!messages.empty())
        reason += "\n" + messages;
    while (!reason.empty() && reason.back() == '\n')
        reason.pop_back();
    return reason;
}

template <typename Load>
Decoded gather(const Load& load, bool ownPalette)
{
    Decoded d;
    d.surface = load.surface;
    d.ownPalette = ownPalette;
    d.tooLarge = load.tooLarge;
    d.width = load.width;
    d.height = load.height;
    d.reason = load.reason;
    return d;
}

Decoded decode(SDL_RWops* file, PictureFormat format, const PictureLimits& limits)
{
    switch (format) {
    case PictureFormat::Png: {
        const PngLoad png = loadPng(file, limits);
        Decoded d = gather(png, png.filePalette);
        d.reason = withMessages(png.reason, png.messages);
        return d;
    }
    case PictureFormat::Bmp: {
        const BmpLoad bmp = loadBmp(file, limits);
        return gather(bmp, bmp.filePalette);
    }
    case PictureFormat::Jpeg: {
        const JpegLoad jpeg = loadJpeg(file, limits);
        Decoded d = gather(jpeg, false);
        if (jpeg.surface == nullptr)
            d.reason = withMessages(jpeg.reason, jpeg.messages);
        return d;
    }
    case PictureFormat::Xyz:
        // The file's 256 colours are its own, as a palette PNG's are.
        return gather(loadXyz(file, limits), true);
    default: {
        // Refused before any reader sees a byte of it.
        Decoded d;
        d.reason = unsupportedFormatReason(format);
        return d;
    }
    }
}

} // namespace

ResultCode Surface::load(const std::string& path, const PictureLimits& limits, LoadReport* report)
{
    LoadReport local;
    LoadReport& r = report != nullptr ? *report : local;
    r = LoadReport();
    if (path.empty())
        return InvalidArgument;
    const std::string name = utility::copyText(path);
    SDL_RWops* file = SDL_RWFromFile(name.c_str(), "rb");
    if (file == nullptr) {
        r.reason = SDL_GetError();
        return SdlFailure;
    }
    // The kind comes from the file's first bytes; its name may say anything.
    const Decoded d = decode(file, sniffPictureFormat(file), limits);
    SDL_RWclose(file);
    r.declaredWidth = d.width;
    r.declaredHeight = d.height;
    r.tooLarge = d.tooLarge;
    if (d.surface == nullptr) {
        r.reason = d.reason;
        return SdlFailure;
    }
    r.ownPalette = d.ownPalette;
    return setSurface(d.surface);
}

ResultCode Surface::blit(const Surface* source, int dx, int dy, const Size* size, int sx, int sy)
{
    if (!isValid())
        return NoSurface;
    if (source == nullptr)
        return InvalidArgument;
    int w = size ? size->w : source->width();
    int h = size ? size->h : source->height();
    SDL_Rect from = sdlRect(sx, sy, w, h);
    SDL_Rect to = sdlRect(dx, dy, 0, 0);
    SDL_Surface* src = source->isValid() ? source->holder_->surface : nullptr;
    return SDL_UpperBlit(src, &from, holder_->surface, &to) != 0 ? SdlFailure : Success;
}

ResultCode Surface::copy(const Surface* source, int dx, int dy, const Size* size, int sx, int sy)
{
    if (!isValid())
        return NoSurface;
    if (source == nullptr)
        return InvalidArgument;
    SDL_Surface* src = source->holder_->surface;
    const Uint32 flags = src->flags;
    const Uint8 alpha = src->format->alpha;
    // With per-surface alpha off, SDL copies the source's alpha channel
    // into a destination that has one instead of blending with it.
    if (SDL_SetAlpha(src, flags & ~SDL_SRCALPHA, 255) != 0)
        return SdlFailure;
    ResultCode result = blit(source, dx, dy, size, sx, sy);
    // The source is restored after a failed blit too: callers never expect a
    // copy to change the picture it reads.
    SDL_SetAlpha(src, flags, alpha);
    return result;
}

ResultCode Surface::fill(const Rect* rect, const Rgba* colour)
{
    if (!isValid())
        return NoSurface;
    SDL_Surface* s = holder_->surface;
    SDL_Rect area = rect ? sdlRect(rect->x, rect->y, rect->w, rect->h) : sdlRect(0, 0, s->w, s->h);
    Uint32 value = SDL_MapRGBA(s->format, colour->r, colour->g, colour->b, colour->a);
    if (SDL_FillRect(s, &area, value) != 0) {
        error::ErrorLogger(sourceName, 289).put("画像の塗りつぶしに失敗しました。");
        return SdlFailure;
    }
    return Success;
}

std::uint8_t* Surface::pixelAddress(int x, int y) const
{
    SDL_Surface* s = holder_->surface;
    return static_cast<std::uint8_t*>(s->pixels) + static_cast<std::ptrdiff_t>(y) * s->pitch
           + static_cast<std::ptrdiff_t>(x) * s->format->BytesPerPixel;
}

Rgba& Surface::getPixel(Rgba& out, int x, int y) const
{
    if (x < 0 || y < 0 || x >= width() || y >= height() || !isValid() || lock() != Success) {
        out = Rgba{0, 0, 0, 255};
        return out;
    }
    SDL_Surface* s = holder_->surface;
    Uint32 value = readPixelValue(pixelAddress(x, y), s->format->BytesPerPixel);
    const SDL_Palette* palette = s->format->palette;
    if (palette != nullptr && (palette->colors == nullptr || value >= static_cast<Uint32>(palette->ncolors))) {
        // SDL would read the colour table past its end; a damaged picture
        // can hold such an index.
        out = Rgba{0, 0, 0, 255};
    } else {
        SDL_GetRGBA(value, s->format, &out.r, &out.g, &out.b, &out.a);
    }
    unlock();
    return out;
}

void Surface::putPixel(int x, int y, const Rgba* colour)
{
    if (x < 0 || y < 0 || x >= width() || y >= height() || !isValid() || lock() != Success)
        return;
    SDL_Surface* s = holder_->surface;
    Uint32 value = SDL_MapRGBA(s->format, colour->r, colour->g, colour->b, colour->a);
    writePixelValue(pixelAddress(x, y), s->format->BytesPerPixel, value);
    unlock();
}

std::uint32_t Surface::readPixelValue(const std::uint8_t* p, int n)
{
    if (p == nullptr)
        return 0;
    switch (n) {
    case 1:
        return *p;
    case 2: {
        Uint16 v;
        SDL_memcpy(&v, p, 2);
        return v;
    }
    case 3:
        return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8
               | static_cast<std::uint32_t>(p[2]) << 16;
    case 4: {
        Uint32 v;
        SDL_memcpy(&v, p, 4);
        return v;
    }
    default:
        return 0;
    }
}

void Surface::writePixelValue(std::uint8_t* p, int n, std::uint32_t v)
{
    if (p == nullptr)
        return;
    switch (n) {
    case 1:
        *p = static_cast<std::uint8_t>(v);
        break;
    case 2: {
        Uint16 w = static_cast<Uint16>(v);
        SDL_memcpy(p, &w, 2);
        break;
    }
    case 3:
        p[0] = static_cast<std::uint8_t>(v);
        p[1] = static_cast<std::uint8_t>(v >> 8);
        p[2] = static_cast<std::uint8_t>(v >> 16);
        break;
    case 4:
        SDL_memcpy(p, &v, 4);
        break;
    default:
        break;
    }
}

} // namespace auxlib::draw
