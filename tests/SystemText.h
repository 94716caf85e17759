#ifndef TESTS_SYSTEMTEXT_H
#define TESTS_SYSTEMTEXT_H

#include <string>

#if defined(_WIN32)
#  include <windows.h>
// <windows.h> defines these as empty words; tests use them as names.
#  undef far
#  undef near

// The system's text for an error code, as FormatMessage gives it without
// its line break: what the engine's folder calls quote on Windows.
inline std::string systemText(DWORD code)
{
    char text[512] = {0};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                             sizeof text, nullptr);
    while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n'))
        --n;
    return std::string(text, n);
}
#endif

// The system's text for a folder whose parent is missing.
inline std::string missingFolderText()
{
#if defined(_WIN32)
    return systemText(ERROR_PATH_NOT_FOUND);
#else
    return "No such file or directory";
#endif
}

// A path as the engine's texts show it: with the system's own separator.
inline std::string nativePath(std::string text)
{
#if defined(_WIN32)
    for (char& c : text)
        if (c == '/')
            c = '\\';
#endif
    return text;
}

#endif
