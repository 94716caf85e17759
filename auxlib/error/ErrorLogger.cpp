#include "auxlib/error/ErrorLogger.h"

#include "auxlib/error/LogCapture.h"

namespace auxlib::error {

void ErrorLogger::write(const char* detail)
{
    if (detail == nullptr)
        return;
    const boost::format entry = boost::format("Error!!\n  Program : %1%(%2%)\n  Detail\n\n%3%") % file_ % line_ % detail;
    // The entry and its line break go out as one text, so entries written by
    // threads side by side never interleave.
    writeLogText(entry.str() + "\n");
}

} // namespace auxlib::error
