#include "auxlib/utility/ErrorStream.h"

#include <new>

namespace auxlib::utility {

namespace {

FileOutputStream* logFile = nullptr;

ctl::SharedRef<IOutputStream> makeLogFileStream()
{
    // If the stream cannot be allocated the holder falls back to a discarding
    // stream: logging is then off for the process rather than failing loads.
    logFile = new (std::nothrow) FileOutputStream(errorLogFileName, true);
    return ctl::SharedRef<IOutputStream>(logFile);
}

} // namespace

OutputStreamHolder errorStream(makeLogFileStream());

std::string errorLogPath() { return logFile != nullptr ? logFile->path() : std::string(); }

} // namespace auxlib::utility
