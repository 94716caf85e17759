#ifndef AUXLIB_CTL_SHAREDREF_H
#define AUXLIB_CTL_SHAREDREF_H

#include <memory>

namespace auxlib::ctl {

// The library's reference-counted owning pointer. std::shared_ptr keeps the
// release order the log stream relies on: the object is deleted through its
// virtual destructor when the last owner lets go, then the control block.
template <typename T>
using SharedRef = std::shared_ptr<T>;

} // namespace auxlib::ctl

#endif
