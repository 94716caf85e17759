#ifndef TESTS_LOGFILE_H
#define TESTS_LOGFILE_H

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

// The engine's log in the test's working folder, read as raw bytes. Windows
// writes it in text mode (CR LF line ends, checked by the log's own tests),
// and it is read back in text mode there, so its text reads as on Linux.
inline std::string readLog()
{
#if defined(_WIN32)
    std::ifstream in("stderr.txt");
#else
    std::ifstream in("stderr.txt", std::ios::binary);
#endif
    std::ostringstream text;
    if (in)
        text << in.rdbuf();
    return text.str();
}

// Reads the log and removes it, so the next check starts from nothing.
inline std::string takeLog()
{
    std::string text = readLog();
    std::remove("stderr.txt");
    return text;
}

#endif
