#ifndef ENGINE_STAGEDFILE_H
#define ENGINE_STAGEDFILE_H

#include "saver/writepix.h"

#include <string>

namespace engine {

// One output file, written under a temporary name beside its final one and
// moved into place by commit(), so no file is ever half written under its
// final name: a failed or abandoned write leaves nothing but what was there
// before. The temporary file goes with the object unless it was committed.
class StagedFile {
public:
    explicit StagedFile(std::string finalName);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;
    StagedFile(StagedFile&& other) noexcept;
    StagedFile& operator=(StagedFile&&) = delete;

    const std::string& finalName() const { return finalName_; }

    // Encodes the picture into the temporary file by the final name's
    // extension, as WPX_Save would into the final file, under the saver
    // settings given. The result is the saver's; on failure (a stopped save
    // included) the temporary file is gone and SDL's error text names the
    // final file.
    int write(SDL_Surface* picture, const WPX_SaveSettings& settings);

    // Moves a written file into place. False when that fails, with SDL's
    // error text saying why; the temporary file is removed then.
    bool commit();

    // Removes a written file that is not to be kept.
    void discard();

    bool written() const { return written_; }

    // Why the last write or commit failed, in the system's words where the
    // system refused (the file could not be made or moved), else the
    // saver's; empty after a success.
    const std::string& failureReason() const { return failureReason_; }

private:
    std::string finalName_;
    std::string temporaryName_;
    bool written_ = false;
    std::string failureReason_;
};

} // namespace engine

#endif
