// What the last graphicConvert of each thread failed on, for getLastFailure:
// the facts a front end needs to say in its own language what went wrong,
// kept beside (never instead of) the engine's own box and log entry.
#ifndef ENGINE_LASTFAILURE_H
#define ENGINE_LASTFAILURE_H

#include "engine/Pixwright_DLL.h"

#include <string>

namespace engine {

struct Failure {
    int code = 0;
    int kind = PIXWRIGHT_FAILURE_NONE;
    std::string path;
    std::string other;
    std::string reason;
};

// The calling thread's record. A conversion starts it afresh; the first
// failure noted wins, so a later, vaguer note (the box's code) cannot hide
// the facts of the place that failed.
void clearFailure();
void noteFailure(int kind, std::string path = std::string(), std::string reason = std::string(),
                 std::string other = std::string());
// Sets the code graphicConvert returns; a failure nobody noted gets kind.
void finishFailure(int code, int kind);
const Failure& lastFailure();

} // namespace engine

#endif
