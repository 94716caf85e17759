#ifndef AUXLIB_ERROR_ERRORLOGGER_H
#define AUXLIB_ERROR_ERRORLOGGER_H

#include "auxlib/utility/OutputStream.h"

namespace auxlib::error {

// Writes one entry to the engine's log for the site that created it:
//
//     ErrorLogger(source, __LINE__-like constant).put("message");
//
// The source name is a string constant the logger does not copy.
class ErrorLogger : public utility::IOutputStream {
public:
    ErrorLogger(const char* file, int line) : file_(file), line_(line) {}
    ~ErrorLogger() override = default;
    void write(const char* detail) override;

private:
    const char* file_;
    int line_;
};

} // namespace auxlib::error

#endif
