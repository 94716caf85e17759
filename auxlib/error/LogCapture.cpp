#include "auxlib/error/LogCapture.h"

#include "auxlib/utility/ErrorStream.h"

namespace auxlib::error {

namespace {
thread_local LogCapture* activeCapture = nullptr;
}

LogCapture::LogCapture() : previous_(activeCapture) { activeCapture = this; }

LogCapture::~LogCapture() { activeCapture = previous_; }

std::string LogCapture::take()
{
    std::string taken;
    taken.swap(text_);
    return taken;
}

LogCapture* LogCapture::active() { return activeCapture; }

void writeLogText(const std::string& entries)
{
    if (entries.empty())
        return;
    if (LogCapture* capture = LogCapture::active())
        capture->append(entries);
    else
        utility::errorStream.put(entries);
}

} // namespace auxlib::error
