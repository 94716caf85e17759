#include "auxlib/error/ErrorBox.h"

#include <cstdio>
#include <string>

#if defined(_WIN32)
#  include <windows.h>
#endif

namespace auxlib::error {

static ErrorBoxHandler installedHandler = nullptr;

void setErrorBoxHandler(ErrorBoxHandler handler) { installedHandler = handler; }

void showErrorBox(boost::format text)
{
    const std::string message = text.str();
    if (installedHandler != nullptr) {
        installedHandler(errorBoxCaption, message.c_str());
        return;
    }
#if defined(_WIN32)
    MessageBoxA(nullptr, message.c_str(), errorBoxCaption, MB_OK | MB_ICONERROR);
#else
    std::fprintf(stderr, "%s\n%s\n", errorBoxCaption, message.c_str());
#endif
}

} // namespace auxlib::error
