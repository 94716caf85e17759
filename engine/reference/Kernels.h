#ifndef ENGINE_REFERENCE_KERNELS_H
#define ENGINE_REFERENCE_KERNELS_H

#include "auxlib/draw/Surface.h"

namespace engine::reference {

// The per-pixel reference kernels, which state each rule literally and which
// the row kernels of engine/rows/Kernels.h are held to. The enlargement's
// passes are the effector's own (PixEffector::resample, correctAlphaGrid,
// sharpen: Resample.cpp, PixelArt.cpp, Sharpen.cpp here); the variants
// PixSaver writes are below, from a picture of any format.

// The colour variant: the raw copy drops alpha and keeps each pixel's
// colour, including the colour hidden under fully transparent pixels.
auxlib::draw::ResultCode copyColour(const auxlib::draw::Surface& picture, auxlib::draw::Surface& colour);
// The alpha variant into grey, which carries the grey palette.
void copyAlpha(const auxlib::draw::Surface& picture, auxlib::draw::Surface& grey);

} // namespace engine::reference

#endif
