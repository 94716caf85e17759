// The messages libpng and libjpeg gave during the last save on a thread.
// They are never printed; a caller that reports a failed save can add them
// to its report through WPX_LastMessages.
#ifndef WPX_MESSAGES_H
#define WPX_MESSAGES_H

namespace wpx {

void clearMessages();
// One line "<library> <kind>: <text>", e.g. "libpng error: ...".
void addMessage(const char* library, const char* kind, const char* text);
const char* lastMessages();

} // namespace wpx

#endif
