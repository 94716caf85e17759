#include "auxlib/error/ErrorLogger.h"

#include "auxlib/utility/ErrorStream.h"

namespace auxlib::error {

void ErrorLogger::write(const char* detail)
{
    if (detail == nullptr)
        return;
    utility::errorStream.putLine(boost::format("Error!!\n  Program : %1%(%2%)\n  Detail\n\n%3%") % file_ % line_ % detail);
}

} // namespace auxlib::error
