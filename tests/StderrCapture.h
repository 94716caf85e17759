#ifndef TESTS_STDERRCAPTURE_H
#define TESTS_STDERRCAPTURE_H

#include <cstdio>
#include <string>
#include <unistd.h>

// Whatever reaches file descriptor 2 while it lives: the readers' libraries
// must never print.
class StderrCapture {
public:
    StderrCapture()
    {
        std::fflush(stderr);
        saved_ = dup(2);
        file_ = std::tmpfile();
        dup2(fileno(file_), 2);
    }
    ~StderrCapture()
    {
        std::fflush(stderr);
        dup2(saved_, 2);
        close(saved_);
        std::fclose(file_);
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    std::string text()
    {
        std::fflush(stderr);
        std::rewind(file_);
        std::string out;
        for (int c; (c = std::fgetc(file_)) != EOF;)
            out += static_cast<char>(c);
        return out;
    }

private:
    int saved_;
    std::FILE* file_;
};

#endif
