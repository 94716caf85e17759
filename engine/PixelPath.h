#ifndef ENGINE_PIXELPATH_H
#define ENGINE_PIXELPATH_H

namespace engine {

// Which code the pixel stages run: the row path (the default), or the
// per-pixel reference that states each rule literally. Both write the same
// bytes; the reference stays so the tests can hold the row path to it.
enum class PixelPath { Rows, Reference };

PixelPath pixelPath();
// Process-wide; set it only while no conversion runs.
void setPixelPath(PixelPath path);

} // namespace engine

#endif
