#include "auxlib/error/Exception.h"

#include "auxlib/utility/Text.h"

namespace auxlib::error {

using utility::copyText;

Exception::Exception(const char* file, int line)
    : file_(copyText(file ? file : "")), line_(line)
{
}

void Exception::setDetail(const boost::format& detail) { setDetail(detail.str()); }

void Exception::setDetail(const std::string& detail)
{
    message_ = copyText((boost::format("Exception!!\n  Program : %1%(%2%)\n  Detail : %3%") % file_ % line_ % detail).str());
}

std::string Exception::message() const { return copyText(message_); }

} // namespace auxlib::error
