#include "auxlib/utility/ErrorStream.h"

#include <new>

namespace auxlib::utility {

static ctl::SharedRef<IOutputStream> makeLogFileStream()
{
    // If the stream cannot be allocated the holder falls back to a discarding
    // stream: logging is then off for the process rather than failing loads.
    return ctl::SharedRef<IOutputStream>(new (std::nothrow) FileOutputStream(errorLogFileName, true));
}

OutputStreamHolder errorStream(makeLogFileStream());

} // namespace auxlib::utility
