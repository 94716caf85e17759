// Stands in for SDL_image in a Windows build that has none (Debian's
// archive does not always serve its source to cross-build it from): PNG
// files through the engine's own loader, BMP files through SDL's own reader.
// Cases that compare the engine's loader with SDL_image's skip themselves
// in such a build (PIXWRIGHT_WITHOUT_SDL_IMAGE).
#ifndef TESTS_WINDOWS_SDL_IMAGE_H
#define TESTS_WINDOWS_SDL_IMAGE_H

#include "auxlib/draw/PngLoader.h"

#include <SDL.h>

inline SDL_Surface* IMG_LoadTyped_RW(SDL_RWops* src, int freesrc, const char* /*type*/ = nullptr)
{
    if (src == nullptr)
        return nullptr;
    SDL_Surface* surface = nullptr;
    if (auxlib::draw::hasPngSignature(src)) {
        auxlib::draw::PngLoad png = auxlib::draw::loadPng(src);
        surface = png.surface;
        if (surface == nullptr)
            SDL_SetError("%s", png.reason.c_str());
    } else {
        const int start = SDL_RWtell(src);
        char magic[2] = {0, 0};
        const bool bmp = SDL_RWread(src, magic, 1, 2) == 2 && magic[0] == 'B' && magic[1] == 'M';
        SDL_RWseek(src, start, RW_SEEK_SET);
        if (bmp)
            surface = SDL_LoadBMP_RW(src, 0);
        else
            SDL_SetError("Unsupported image format");
    }
    if (freesrc)
        SDL_RWclose(src);
    return surface;
}

inline SDL_Surface* IMG_Load_RW(SDL_RWops* src, int freesrc) { return IMG_LoadTyped_RW(src, freesrc); }

// Their cases skip: the engine's own BMP and JPEG readers are what they test.
inline SDL_Surface* IMG_LoadBMP_RW(SDL_RWops*)
{
    SDL_SetError("no SDL_image in this build");
    return nullptr;
}

inline SDL_Surface* IMG_LoadJPG_RW(SDL_RWops*)
{
    SDL_SetError("no SDL_image in this build");
    return nullptr;
}

inline SDL_Surface* IMG_Load(const char* file) { return IMG_LoadTyped_RW(SDL_RWFromFile(file, "rb"), 1); }

#define IMG_GetError SDL_GetError

#endif
