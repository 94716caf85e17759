#ifndef CLI_PICTURESIZE_H
#define CLI_PICTURESIZE_H

#include <string>

namespace cli {

struct PictureSize {
    int width = 0;
    int height = 0;
};

// The size a picture file declares, for the automatic mode: read from the
// header without decoding the pixels for every kind whose header gives it,
// or by decoding the rest (XPM, XV). 0 x 0 when the file cannot be read; the
// engine then reports the file itself. Safe to call from several threads.
PictureSize readPictureSize(const std::string& path);

} // namespace cli

#endif
