#ifndef AUXLIB_DRAW_SURFACE_H
#define AUXLIB_DRAW_SURFACE_H

#include <SDL.h>
#include <atomic>
#include <cstdint>
#include <string>

namespace auxlib::draw {

struct Rgba {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 0;
};

inline bool operator==(const Rgba& x, const Rgba& y) { return x.r == y.r && x.g == y.g && x.b == y.b && x.a == y.a; }
inline bool operator!=(const Rgba& x, const Rgba& y) { return !(x == y); }

// Sizes and rectangles reach SDL in 16-bit fields; only the low bits count.
struct Size {
    std::int32_t w = 0;
    std::int32_t h = 0;
};

struct Rect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t w = 0;
    std::int32_t h = 0;
};

// Result codes of the picture operations and of the cell steps built on them.
// Other values are passed through unchanged.
using ResultCode = int;
enum : ResultCode {
    Success = 0,
    NoSurface = 2,
    InvalidArgument = 3,
    LockFailed = 10,
    SdlFailure = 14,
};

struct PictureLimits;

// What loading a picture found out besides its pixels.
struct LoadReport {
    // The file carries a palette of its own (a grey PNG's made-up grey
    // palette is none).
    bool ownPalette = false;
    // Refused before decoding: the size the file declares is past the limits.
    bool tooLarge = false;
    std::uint32_t declaredWidth = 0;
    std::uint32_t declaredHeight = 0;
    // Why the load failed: the decoder's reason and its messages.
    std::string reason;
};

// Owns one SDL surface for any number of Surface handles.
class SurfaceHolder {
public:
    explicit SurfaceHolder(SDL_Surface* surface);
    ~SurfaceHolder();
    SurfaceHolder(const SurfaceHolder&) = delete;
    SurfaceHolder& operator=(const SurfaceHolder&) = delete;

    SDL_Surface* surface;
};

// A cheap handle to one in-memory SDL surface. Copies share the pixels; the
// last handle frees them. Every handle, even an empty one, keeps SDL's video
// subsystem started, so SDL runs exactly while pictures exist. Handles may be
// copied and released on different threads; the picture itself is not
// guarded, so two threads may read one picture but not write it.
class Surface {
public:
    explicit Surface(SDL_Surface* surface = nullptr);
    Surface(const Surface& other);
    Surface& operator=(const Surface&) = delete;
    ~Surface();

    bool isValid() const { return holder_ != nullptr && holder_->surface != nullptr; }
    int width() const { return isValid() ? holder_->surface->w : 0; }
    int height() const { return isValid() ? holder_->surface->h : 0; }
    // False for an empty handle, which holds no picture to have alpha.
    bool hasAlpha() const { return isValid() && holder_->surface->format->Amask != 0; }
    // The SDL surface itself, or null; stays owned by the handle.
    SDL_Surface* sdl() const { return isValid() ? holder_->surface : nullptr; }

    ResultCode lock() const;
    void unlock() const;

    ResultCode setSurface(SDL_Surface* surface);
    ResultCode create(int width, int height, bool withAlpha);
    ResultCode createCopy(const Surface* source);
    ResultCode load(const std::string& path);
    // As load, refusing pictures past the limits before they are decoded.
    // The kind is told from the file's first bytes: PNG, BMP, JPEG and XYZ
    // each have a reader of the engine's that checks the file before it
    // allocates, never prints and cannot be made to hang; every other kind
    // is refused unread ("unsupported picture format: GIF").
    ResultCode load(const std::string& path, const PictureLimits& limits, LoadReport* report);

    // Blends source onto this picture by the source's own SDL rules.
    ResultCode blit(const Surface* source, int dx, int dy, const Size* size, int sx, int sy);
    // Replaces pixels with the source's, alpha included, without blending.
    ResultCode copy(const Surface* source, int dx, int dy, const Size* size, int sx, int sy);
    ResultCode fill(const Rect* rect, const Rgba* colour);

    // Out of bounds, invalid or unlockable: opaque black.
    Rgba& getPixel(Rgba& out, int x, int y) const;
    // Out of bounds, invalid or unlockable: nothing happens.
    void putPixel(int x, int y, const Rgba* colour);

    static std::uint32_t readPixelValue(const std::uint8_t* pixel, int bytesPerPixel);
    static void writePixelValue(std::uint8_t* pixel, int bytesPerPixel, std::uint32_t value);

private:
    void releaseHandle();
    bool needsLock() const;
    std::uint8_t* pixelAddress(int x, int y) const;

    SurfaceHolder* holder_ = nullptr;
    // Atomic: the cells of one conversion are worked on by several threads,
    // and a cell may share its picture with the source the caller holds.
    std::atomic<std::int32_t>* count_ = nullptr;
};

// Holds a picture locked for the scope of a pixel loop.
class SurfaceLock {
public:
    explicit SurfaceLock(Surface* surface)
        : surface_(surface), result_(surface ? surface->lock() : InvalidArgument)
    {
    }
    ~SurfaceLock()
    {
        if (result_ == Success)
            surface_->unlock();
    }
    SurfaceLock(const SurfaceLock&) = delete;
    SurfaceLock& operator=(const SurfaceLock&) = delete;

    ResultCode result() const { return result_; }

private:
    Surface* surface_;
    ResultCode result_;
};

} // namespace auxlib::draw

#endif
