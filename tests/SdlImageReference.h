// SDL_image 1.2 as the reference the engine's readers are held to. A
// Windows build may have none (Debian's archive does not always serve its
// source to cross-build it from); there tests/windows/SDL_image.h stands in,
// and the cases that compare with it skip themselves.
#ifndef TESTS_SDL_IMAGE_REFERENCE_H
#define TESTS_SDL_IMAGE_REFERENCE_H

#include <SDL_image.h>
#include <gtest/gtest.h>

#if defined(PIXWRIGHT_WITHOUT_SDL_IMAGE)
#  define NEEDS_SDL_IMAGE() GTEST_SKIP() << "compares the reader with SDL_image, which this build has none of"
#else
#  define NEEDS_SDL_IMAGE() (void)0
#endif

#endif
