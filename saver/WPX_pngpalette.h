// PNG files that keep the palette: a picture of at most 256 distinct colours
// written as colour type 3 instead of RGB or RGBA.
#ifndef WPX_PNGPALETTE_H
#define WPX_PNGPALETTE_H

#include "saver/WPX_pngfast.h"

namespace wpx {

// When the image holds at most 256 distinct colours (an RGB image's
// transparent colour counting as a clear one), turns it into a palette image
// of the same pixels: entries in the order the colours first appear, row by
// row, and a tRNS chunk that ends at the last entry that is not opaque. A
// palette image keeps only the entries it uses (the alpha-only picture's 256
// greys shrink to the few levels it has). Sixteen colours or fewer are
// packed at 4, 2 or 1 bits a pixel. Returns false, with the image untouched,
// for more colours or an index past the palette.
bool reduceToPalette(PngImage& image);

} // namespace wpx

#endif
