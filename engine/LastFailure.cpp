#include "engine/LastFailure.h"

#include <cstring>
#include <utility>

namespace engine {

namespace {

Failure& threadFailure()
{
    thread_local Failure failure;
    return failure;
}

// A byte string cut to fit size bytes with its NUL, never inside a UTF-8
// sequence, so a cut name still shows as text.
void copyTo(char* target, size_t size, const std::string& text)
{
    size_t length = text.size() < size ? text.size() : size - 1;
    if (length < text.size())
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            --length;
    std::memcpy(target, text.data(), length);
    target[length] = '\0';
}

} // namespace

void clearFailure()
{
    threadFailure() = Failure();
}

void noteFailure(int kind, std::string path, std::string reason, std::string other)
{
    Failure& failure = threadFailure();
    if (failure.kind != PIXWRIGHT_FAILURE_NONE)
        return;
    failure.kind = kind;
    failure.path = std::move(path);
    failure.reason = std::move(reason);
    failure.other = std::move(other);
}

void finishFailure(int code, int kind)
{
    Failure& failure = threadFailure();
    failure.code = code;
    if (code == 0)
        failure = Failure();
    else if (failure.kind == PIXWRIGHT_FAILURE_NONE)
        failure.kind = kind;
}

const Failure& lastFailure()
{
    return threadFailure();
}

} // namespace engine

extern "C" PIXWRIGHT_API int getLastFailure(PixwrightFailure* out)
{
    const engine::Failure& failure = engine::lastFailure();
    if (out != nullptr) {
        out->code = failure.code;
        out->kind = failure.kind;
        engine::copyTo(out->path, sizeof out->path, failure.path);
        engine::copyTo(out->other, sizeof out->other, failure.other);
        engine::copyTo(out->reason, sizeof out->reason, failure.reason);
    }
    return failure.code;
}
