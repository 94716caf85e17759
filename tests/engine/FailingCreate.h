#ifndef TESTS_ENGINE_FAILINGCREATE_H
#define TESTS_ENGINE_FAILINGCREATE_H

// A stand-in for SDL_CreateRGBSurface that fails for one chosen size. Include
// it in exactly one file of a test program: the engine is linked statically,
// so its calls (and SDL_image's) reach this definition before SDL's own.

#include <SDL.h>
#include <dlfcn.h>

// The size that fails; 0 x 0 (the default) lets every creation through,
// since SDL itself makes a 0 x 0 surface when its video starts.
inline int failWidth = 0, failHeight = 0;

extern "C" SDL_Surface* SDL_CreateRGBSurface(Uint32 flags, int w, int h, int depth, Uint32 rmask, Uint32 gmask,
                                             Uint32 bmask, Uint32 amask)
{
    using Create = SDL_Surface* (*)(Uint32, int, int, int, Uint32, Uint32, Uint32, Uint32);
    static const auto real = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "SDL_CreateRGBSurface"));
    if (failWidth > 0 && w == failWidth && h == failHeight)
        return nullptr;
    return real(flags, w, h, depth, rmask, gmask, bmask, amask);
}

#endif
