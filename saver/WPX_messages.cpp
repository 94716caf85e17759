#include "saver/WPX_messages.h"

#include "saver/writepix.h"

#include <string>

namespace wpx {

namespace {
// Saves may run on several threads at once; each keeps its own messages.
thread_local std::string messages;
// A runaway stream of warnings must not fill memory.
constexpr std::string::size_type maxBytes = 4096;
} // namespace

void clearMessages() { messages.clear(); }

void addMessage(const char* library, const char* kind, const char* text)
{
    if (messages.size() >= maxBytes)
        return;
    if (!messages.empty())
        messages += '\n';
    messages += library;
    messages += ' ';
    messages += kind;
    messages += ": ";
    messages += text != nullptr ? text : "";
}

const char* lastMessages() { return messages.c_str(); }

} // namespace wpx

extern "C" WPX_EXPORT const char* WPX_LastMessages(void) { return wpx::lastMessages(); }
