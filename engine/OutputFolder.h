#ifndef ENGINE_OUTPUTFOLDER_H
#define ENGINE_OUTPUTFOLDER_H

#include "auxlib/utility/Path.h"

#include <string>

namespace engine {

// The output folder of one conversion, tested and created when missing. A
// folder a conversion made is removed again when the last conversion of the
// process using it ends and it is still empty: a failed conversion leaves no
// new, empty folder behind. A folder that was there before is never removed.
//
// Conversions running side by side into one new folder share it: the test
// and the creation run under one lock, so the second finds the folder the
// first made rather than failing to make it, and the folder stays while any
// of them uses it.
class OutputFolder {
public:
    enum class State { Ready, NotAFolder, NotCreated };

    OutputFolder() = default;
    ~OutputFolder();
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;

    // Throws the path layer's errors of the test and the creation.
    State prepare(const auxlib::utility::Path& folder);

private:
    std::string claimed_; // the native path of a folder made by a conversion
};

} // namespace engine

#endif
