#ifndef ENGINE_SOURCEPICTURE_H
#define ENGINE_SOURCEPICTURE_H

#include "auxlib/draw/PictureHeader.h"
#include "auxlib/draw/Surface.h"

#include <string>

namespace engine {

// Largest source picture the conversion takes: its doubled size must fit
// SDL's 16-bit rectangles.
inline constexpr int maxSourceWidth = 8191;
inline constexpr int maxSourceHeight = 16383;

// Loads a source picture as a conversion takes it, within the limits above
// and with no colour key of the loader's own. Logs nothing; the report says
// why a load failed and whether the file carries a palette of its own.
auxlib::draw::ResultCode loadSource(const std::string& path, auxlib::draw::Surface& source,
                                    auxlib::draw::LoadReport& report);

// The header of a source picture, checked as loadSource checks it within
// the same limits, without decoding the pixels: what loadSource gives for
// every file whose pixel data is sound.
auxlib::draw::PictureHeader readSourceHeader(const std::string& path);

} // namespace engine

#endif
