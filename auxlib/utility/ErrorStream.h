#ifndef AUXLIB_UTILITY_ERRORSTREAM_H
#define AUXLIB_UTILITY_ERRORSTREAM_H

#include "auxlib/utility/OutputStream.h"

#include <string>

namespace auxlib::utility {

// The log file every ErrorLogger appends to, relative to the current folder.
inline constexpr const char* errorLogFileName = "stderr.txt";

// The process-wide log stream. It is built while the library loads, which
// deletes a log an earlier run left in the current folder (a file of that
// name holding anything else stays, and entries go after it), and released
// when the library unloads.
extern OutputStreamHolder errorStream;

// Where the log's entries go: errorLogFileName, or the same name in the
// user's state folder once the current folder refused a write. Empty when
// logging is off.
std::string errorLogPath();

} // namespace auxlib::utility

#endif
