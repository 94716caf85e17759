#ifndef ENGINE_CELLLIST_H
#define ENGINE_CELLLIST_H

#include "auxlib/draw/Surface.h"

#include <vector>

namespace engine {

// The pictures one conversion processes, numbered from 0 in list order. A
// cell may share its pixels with another Surface, the source included; a
// reallocation of the vector only copies handles, never pixels.
using CellList = std::vector<auxlib::draw::Surface>;

} // namespace engine

#endif
