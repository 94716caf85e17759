// The few POSIX calls the tests use, for the Windows build of the tests
// (force-included there by tests/CMakeLists.txt). The programs themselves
// need none of them.
#ifndef TESTS_WINDOWS_POSIXSHIM_H
#define TESTS_WINDOWS_POSIXSHIM_H

#if defined(__cplusplus)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <direct.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>

// No <windows.h> here: its macros (far, near, min, max, ...) would reach
// every test.

// Replaces the trailing XXXXXX with letters and makes the folder.
inline char* mkdtemp(char* pattern)
{
    const std::size_t n = std::strlen(pattern);
    if (n < 6 || std::strcmp(pattern + n - 6, "XXXXXX") != 0)
        return nullptr;
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        unsigned value = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count())
                             * 2654435761u
                         + static_cast<unsigned>(_getpid()) * 40503u + ++counter * 7919u;
        for (std::size_t i = n - 6; i < n; ++i) {
            pattern[i] = "abcdefghijklmnopqrstuvwxyz0123456789"[value % 36];
            value /= 36;
        }
        if (_mkdir(pattern) == 0)
            return pattern;
    }
    return nullptr;
}

inline int setenv(const char* name, const char* value, int overwrite)
{
    if (!overwrite && std::getenv(name) != nullptr)
        return 0;
    return _putenv_s(name, value);
}

// An empty value removes the variable from the environment.
inline int unsetenv(const char* name) { return _putenv_s(name, ""); }

inline int mkdir(const char* path, int) { return _mkdir(path); }

// _pclose gives the program's exit code itself.
#ifndef WIFEXITED
#  define WIFEXITED(status) ((status) != -1)
#  define WEXITSTATUS(status) (status)
#endif

#endif // __cplusplus

#endif
