#include "auxlib/utility/ErrorStream.h"
#include "engine/Pixwright_DLL.h"

#include <algorithm>
#include <cstring>
#include <string>

extern "C" PIXWRIGHT_API int getLogFilePath(char* buffer, int size)
{
    const std::string path = auxlib::utility::errorLogPath();
    if (buffer != nullptr && size > 0) {
        const size_t copied = std::min(path.size(), static_cast<size_t>(size - 1));
        std::memcpy(buffer, path.data(), copied);
        buffer[copied] = '\0';
    }
    return static_cast<int>(path.size());
}
