#ifndef AUXLIB_UTILITY_ERRORSTREAM_H
#define AUXLIB_UTILITY_ERRORSTREAM_H

#include "auxlib/utility/OutputStream.h"

namespace auxlib::utility {

// The log file every ErrorLogger appends to, relative to the current folder.
inline constexpr const char* errorLogFileName = "stderr.txt";

// The process-wide log stream. It is built while the library loads, which
// deletes a log left in the current folder by an earlier run, and released
// when the library unloads.
extern OutputStreamHolder errorStream;

} // namespace auxlib::utility

#endif
