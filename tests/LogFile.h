#ifndef TESTS_LOGFILE_H
#define TESTS_LOGFILE_H

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

// The engine's log in the test's working folder, read as raw bytes.
inline std::string readLog()
{
    std::ifstream in("stderr.txt", std::ios::binary);
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
