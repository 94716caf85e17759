#include "auxlib/draw/Surface.h"

#include "auxlib/draw/JpegScans.h"
#include "auxlib/draw/PictureHeader.h"
#include "auxlib/draw/PngLoader.h"
#include "auxlib/error/ErrorLogger.h"
#include "auxlib/utility/SDLInitializer.h"
#include "auxlib/utility/Text.h"

#if !defined(PIXWRIGHT_WITHOUT_SDL_IMAGE)
#  include <SDL_image.h>
#endif

#include <mutex>

namespace auxlib::draw {

using utility::SDLInitializer;

namespace {
constexpr const char* sourceName = "..\\..\\..\\auxlib\\draw\\Surface";
constexpr Uint32 lockFlags = SDL_HWSURFACE | SDL_ASYNCBLIT | SDL_RLEACCEL;

#if defined(PIXWRIGHT_WITHOUT_SDL_IMAGE)
// A build without SDL_image reads PNG files with the engine's own loader and
// BMP files with SDL's own reader, and refuses every other kind as SDL_image
// refuses one it does not know. Closes the stream.
SDL_Surface* loadWithoutSdlImage(SDL_RWops* file)
{
    if (hasPngSignature(file)) {
        PngLoad png = loadPng(file);
        SDL_RWclose(file);
        if (png.surface == nullptr)
            SDL_SetError("%s", png.reason.c_str());
        return png.surface;
    }
    char magic[2] = {0, 0};
    const int start = SDL_RWtell(file);
    const bool bmp = SDL_RWread(file, magic, 1, 2) == 2 && magic[0] == 'B' && magic[1] == 'M';
    SDL_RWseek(file, start, RW_SEEK_SET);
    if (bmp)
        return SDL_LoadBMP_RW(file, 1);
    SDL_RWclose(file);
    SDL_SetError("Unsupported image format");
    return nullptr;
}
#endif

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

ResultCode Surface::load(const std::string& path)
{
    if (path.empty())
        return InvalidArgument;
#if defined(PIXWRIGHT_WITHOUT_SDL_IMAGE)
    SDL_RWops* file = SDL_RWFromFile(utility::copyText(path).c_str(), "rb");
    SDL_Surface* s = file != nullptr ? loadWithoutSdlImage(file) : nullptr;
    if (s == nullptr)
#else
    SDL_Surface* s = IMG_Load(utility::copyText(path).c_str());
    if (s == nullptr)
#endif
        return SdlFailure;
    return setSurface(s);
}

namespace {

#if !defined(PIXWRIGHT_WITHOUT_SDL_IMAGE)
// SDL_image's loaders keep unguarded state of their own; conversions may run
// on several threads.
std::mutex& imageLoaderLock()
{
    static std::mutex lock;
    return lock;
}
#endif

bool beyond(const PictureLimits& limits, std::uint32_t w, std::uint32_t h)
{
    return w == 0 || h == 0 || w > limits.maxWidth || h > limits.maxHeight
           || std::uint64_t(w) * h * 4 > limits.maxDecodedBytes;
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
    if (const auto declared = readDeclaredSize(name)) {
        r.declaredWidth = declared->width;
        r.declaredHeight = declared->height;
        if (beyond(limits, declared->width, declared->height)) {
            r.tooLarge = true;
            return SdlFailure;
        }
    }
    SDL_RWops* file = SDL_RWFromFile(name.c_str(), "rb");
    if (file == nullptr) {
        r.reason = SDL_GetError();
        return SdlFailure;
    }
    SDL_Surface* s = nullptr;
    if (hasPngSignature(file)) {
        PngLoad png = loadPng(file, limits);
        SDL_RWclose(file);
        s = png.surface;
        r.ownPalette = png.filePalette;
        if (s == nullptr) {
            r.reason = png.reason;
            if (!png.messages.empty())
                r.reason += "\n" + png.messages;
            while (!r.reason.empty() && r.reason.back() == '\n')
                r.reason.pop_back();
            return SdlFailure;
        }
    } else {
        if (countJpegScans(name, maxJpegScans) > maxJpegScans) {
            SDL_RWclose(file);
            r.reason = "too many scans for a JPEG file (more than " + std::to_string(maxJpegScans) + ")";
            return SdlFailure;
        }
#if defined(PIXWRIGHT_WITHOUT_SDL_IMAGE)
        s = loadWithoutSdlImage(file);
#else
        // The extension is SDL_image's hint for kinds without a signature,
        // as IMG_Load gives it.
        const std::string::size_type dot = name.rfind('.');
        std::string type = dot == std::string::npos ? std::string() : name.substr(dot + 1);
        std::lock_guard<std::mutex> guard(imageLoaderLock());
        s = IMG_LoadTyped_RW(file, 1, type.empty() ? nullptr : &type[0]);
#endif
        if (s == nullptr) {
            r.reason = SDL_GetError();
            return SdlFailure;
        }
        // SDL_image's BMP reader makes a surface of whatever bit count the
        // header gives (or the unread fields of a header cut short): 0 bits
        // gives pixels of no bytes and a picture of any size decoded from
        // nothing; 8193 bits, cut to SDL's 8-bit fields, a 1-bit row pitch
        // for 1-byte pixels. Every pixel loop reads whole bytes per pixel
        // across the full width.
        const SDL_PixelFormat* f = s->format;
        if (f->BytesPerPixel < 1 || f->BytesPerPixel > 4 || s->pixels == nullptr
            || s->pitch < s->w * f->BytesPerPixel) {
            r.reason = "unreadable pixel layout: " + std::to_string(f->BitsPerPixel) + " bits, "
                       + std::to_string(f->BytesPerPixel) + " bytes per pixel, rows of " + std::to_string(s->pitch)
                       + " bytes";
            SDL_FreeSurface(s);
            return SdlFailure;
        }
        r.ownPalette = s->format->palette != nullptr;
    }
    if (beyond(limits, std::uint32_t(s->w), std::uint32_t(s->h))) {
        // A kind of picture whose header was not read up front.
        r.tooLarge = true;
        r.declaredWidth = std::uint32_t(s->w);
        r.declaredHeight = std::uint32_t(s->h);
        SDL_FreeSurface(s);
        return SdlFailure;
    }
    return setSurface(s);
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
