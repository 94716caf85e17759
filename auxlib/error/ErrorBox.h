#ifndef AUXLIB_ERROR_ERRORBOX_H
#define AUXLIB_ERROR_ERRORBOX_H

#include <boost/format.hpp>

namespace auxlib::error {

inline constexpr const char* errorBoxCaption = "エラー発生！";

using ErrorBoxHandler = void (*)(const char* caption, const char* text);

// Shows the engine's one modal error box and returns once it is closed.
// An installed handler takes the box's place; without one the platform's
// box is used (standard error where there is none).
void showErrorBox(boost::format text);
void setErrorBoxHandler(ErrorBoxHandler handler);

} // namespace auxlib::error

#endif
