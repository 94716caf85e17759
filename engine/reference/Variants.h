#ifndef ENGINE_REFERENCE_VARIANTS_H
#define ENGINE_REFERENCE_VARIANTS_H

#include "auxlib/draw/Surface.h"

namespace engine::reference {

// The variants PixSaver writes, from a picture of any format, pixel by
// pixel: the reference that engine/rows/Variants.cpp is held to.

// The colour variant: the raw copy drops alpha and keeps each pixel's
// colour, including the colour hidden under fully transparent pixels.
auxlib::draw::ResultCode copyColour(const auxlib::draw::Surface& picture, auxlib::draw::Surface& colour);
// The alpha variant into grey, which carries the grey palette.
void copyAlpha(const auxlib::draw::Surface& picture, auxlib::draw::Surface& grey);

} // namespace engine::reference

#endif
