#include "auxlib/draw/JpegScans.h"

#include <fstream>

namespace auxlib::draw {

int countJpegScans(const std::string& path, int stopAfter)
{
    std::ifstream in(path, std::ios::binary);
    if (!in || in.get() != 0xFF || in.get() != 0xD8)
        return -1;
    int scans = 0;
    int c = in.get();
    while (in && scans <= stopAfter) {
        if (c != 0xFF)
            return scans; // damaged: let the decoder say so
        while (c == 0xFF)
            c = in.get();
        const int marker = c;
        if (marker == 0xD9 || !in)
            break; // end of image
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            c = in.get();
            continue; // markers without a length
        }
        const int high = in.get(), low = in.get();
        if (!in)
            break;
        const int length = high << 8 | low;
        if (length < 2)
            return scans;
        in.seekg(length - 2, std::ios::cur);
        if (marker != 0xDA) {
            c = in.get();
            continue;
        }
        ++scans;
        // The entropy-coded data runs to the next marker: a 0xFF followed by
        // a byte that is neither a stuffed 0x00 nor a restart marker.
        for (c = in.get(); in; c = in.get()) {
            if (c != 0xFF)
                continue;
            int next = in.get();
            while (next == 0xFF)
                next = in.get();
            if (next != 0x00 && !(next >= 0xD0 && next <= 0xD7)) {
                in.unget();
                c = 0xFF;
                break;
            }
        }
    }
    return scans;
}

} // namespace auxlib::draw
