#include "engine/StagedFile.h"

#include "auxlib/utility/TemporaryFile.h"
#include "saver/writepix.h"

#include <boost/filesystem.hpp>

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

namespace engine {

namespace {

// A name someone planted (a file or a link) is never written through: the
// temporary file is created exclusively, and a taken name makes another
// random one. Null with SDL's error text set when no file could be made.
SDL_RWops* createTemporary(std::string& name, const std::string& finalName, int& error)
{
    constexpr int attempts = 8;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (attempt > 0)
            name = auxlib::utility::temporaryNameFor(finalName);
        if (std::FILE* file = auxlib::utility::createExclusive(name)) {
            SDL_RWops* stream = SDL_RWFromFP(file, 1);
            if (stream == nullptr)
                std::fclose(file);
            return stream;
        }
        if (errno != EEXIST && errno != ELOOP)
            break;
    }
    const int reason = errno;
    error = reason;
    SDL_SetError("Couldn't open %s: %s", name.c_str(), std::strerror(reason));
    return nullptr;
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
    : finalName_(std::move(finalName)), temporaryName_(auxlib::utility::temporaryNameFor(finalName_))
{
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : finalName_(std::move(other.finalName_)), temporaryName_(std::move(other.temporaryName_)),
      written_(other.written_), failureReason_(std::move(other.failureReason_))
{
    other.written_ = false;
}

StagedFile::~StagedFile() { discard(); }

int StagedFile::write(SDL_Surface* picture, const WPX_SaveSettings& settings)
{
    discard();
    const std::string::size_type dot = finalName_.rfind('.');
    const char* type = dot == std::string::npos ? nullptr : finalName_.c_str() + dot + 1;

    failureReason_.clear();
    int openError = 0;
    SDL_RWops* stream = createTemporary(temporaryName_, finalName_, openError);
    int result;
    if (stream == nullptr) {
        renameInError(temporaryName_, finalName_);
        failureReason_ = openError != 0 ? std::generic_category().message(openError) : std::string(SDL_GetError());
        return 1;
    } else {
        result = WPX_SaveEx_RW(picture, stream, type, &settings);
        SDL_RWclose(stream);
    }
    if (result != 0) {
        removeQuietly(temporaryName_);
        renameInError(temporaryName_, finalName_);
        if (failureReason_.empty())
            failureReason_ = SDL_GetError();
        return result;
    }
    written_ = true;
    return 0;
}

bool StagedFile::commit()
{
    if (!written_) {
        SDL_SetError("Nothing written for %s", finalName_.c_str());
        failureReason_ = SDL_GetError();
        return false;
    }
    boost::system::error_code ec;
    // Replaces an older file of the same name, as writing it afresh would.
    boost::filesystem::rename(boost::filesystem::path(temporaryName_), boost::filesystem::path(finalName_), ec);
    if (ec) {
        const std::string reason = ec.message();
        failureReason_ = reason;
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
