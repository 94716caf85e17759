#include "engine/StagedFile.h"

#include "saver/writepix.h"

#include <boost/filesystem.hpp>

#include <atomic>
#include <string>

#if defined(_WIN32)
#  include <process.h>
#  define PIXWRIGHT_GETPID _getpid
#else
#  include <unistd.h>
#  define PIXWRIGHT_GETPID getpid
#endif

namespace engine {

namespace {

// The marker goes before the extension, so a temporary file a crash left
// behind still says what kind of picture it holds. The writer is chosen from
// the final name, as WPX_Save would choose it.
std::string temporaryFor(const std::string& finalName)
{
    static std::atomic<unsigned> serial{0};
    const std::string tag = ".~pw" + std::to_string(PIXWRIGHT_GETPID()) + "-" + std::to_string(serial++);
    const std::string::size_type dot = finalName.rfind('.');
    if (dot == std::string::npos)
        return finalName + tag;
    return finalName.substr(0, dot) + tag + finalName.substr(dot);
}

// SDL's error text names the file it failed on; the caller knows only the
// final name.
void renameInError(const std::string& from, const std::string& to)
{
    std::string text = SDL_GetError();
    bool changed = false;
    for (std::string::size_type at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
        changed = true;
    }
    if (changed)
        SDL_SetError("%s", text.c_str());
}

void removeQuietly(const std::string& name)
{
    boost::system::error_code ec;
    boost::filesystem::remove(boost::filesystem::path(name), ec);
}

} // namespace

StagedFile::StagedFile(std::string finalName)
    : finalName_(std::move(finalName)), temporaryName_(temporaryFor(finalName_))
{
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : finalName_(std::move(other.finalName_)), temporaryName_(std::move(other.temporaryName_)),
      written_(other.written_)
{
    other.written_ = false;
}

StagedFile::~StagedFile() { discard(); }

int StagedFile::write(SDL_Surface* picture, const WPX_SaveSettings& settings)
{
    discard();
    const std::string::size_type dot = finalName_.rfind('.');
    const char* type = dot == std::string::npos ? nullptr : finalName_.c_str() + dot + 1;

    SDL_RWops* stream = SDL_RWFromFile(temporaryName_.c_str(), "wb");
    int result;
    if (stream == nullptr) {
        result = 1;
    } else {
        result = WPX_SaveEx_RW(picture, stream, type, &settings);
        SDL_RWclose(stream);
    }
    if (result != 0) {
        removeQuietly(temporaryName_);
        renameInError(temporaryName_, finalName_);
        return result;
    }
    written_ = true;
    return 0;
}

bool StagedFile::commit()
{
    if (!written_) {
        SDL_SetError("Nothing written for %s", finalName_.c_str());
        return false;
    }
    boost::system::error_code ec;
    // Replaces an older file of the same name, as writing it afresh would.
    boost::filesystem::rename(boost::filesystem::path(temporaryName_), boost::filesystem::path(finalName_), ec);
    if (ec) {
        const std::string reason = ec.message();
        discard();
        SDL_SetError("Couldn't write %s: %s", finalName_.c_str(), reason.c_str());
        return false;
    }
    written_ = false;
    return true;
}

void StagedFile::discard()
{
    if (written_)
        removeQuietly(temporaryName_);
    written_ = false;
}

} // namespace engine
