// What a file holds, for front ends that list a folder's pictures: told from
// the first bytes, as the loader tells them, never from the name.
#include "engine/Pixwright_DLL.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct Magic {
    const char* bytes;
    size_t length;
    const char* name;
    int picture;
};

// Every kind a picture file of the editor's games comes in.
constexpr Magic magics[] = {
    {"\x89PNG\r\n\x1a\n", 8, "PNG", PIXWRIGHT_FILE_DECODED},
    {"BM", 2, "BMP", PIXWRIGHT_FILE_DECODED},
    {"\xff\xd8\xff", 3, "JPEG", PIXWRIGHT_FILE_DECODED},
    {"XYZ1", 4, "XYZ", PIXWRIGHT_FILE_UNDECODED},
    {"GIF8", 4, "GIF", PIXWRIGHT_FILE_UNDECODED},
};

} // namespace

extern "C" PIXWRIGHT_API int fileFormat(const char* path, PixwrightFileFormat* format)
{
    PixwrightFileFormat found{};
    unsigned char head[16] = {};
    size_t length = 0;
    if (path != nullptr) {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path, "rb"), std::fclose);
        if (file)
            length = std::fread(head, 1, sizeof head, file.get());
    }
    for (const Magic& magic : magics) {
        if (length >= magic.length && std::memcmp(head, magic.bytes, magic.length) == 0) {
            found.picture = magic.picture;
            std::strncpy(found.name, magic.name, sizeof found.name - 1);
            break;
        }
    }
    if (format != nullptr)
        *format = found;
    return found.picture;
}
