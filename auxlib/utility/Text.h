#ifndef AUXLIB_UTILITY_TEXT_H
#define AUXLIB_UTILITY_TEXT_H

#include <string>

namespace auxlib::utility {

// Every path, file name and message the engine keeps is copied through here.
// Source and target encoding are the same narrow encoding, so the bytes come
// out exactly as they went in; the engine never converts text.
inline std::string copyText(const std::string& text) { return std::string(text.data(), text.size()); }

} // namespace auxlib::utility

#endif
