#ifndef AUXLIB_DRAW_JPEGSCANS_H
#define AUXLIB_DRAW_JPEGSCANS_H

#include <string>

namespace auxlib::draw {

// A progressive JPEG is decoded scan by scan, each scan over the whole
// picture, and nothing in the format bounds their number: a small file can
// ask for thousands of passes over a picture of many megapixels. No encoder
// writes more than a few dozen.
inline constexpr int maxJpegScans = 256;

// The number of scans (start-of-scan markers) of a JPEG file, counting no
// further than stopAfter + 1; -1 when the file is no JPEG or cannot be read.
// Reads the markers only, skipping the entropy-coded data.
int countJpegScans(const std::string& path, int stopAfter);

} // namespace auxlib::draw

#endif
