#ifndef ENGINE_PIXSAVER_H
#define ENGINE_PIXSAVER_H

#include "auxlib/draw/Surface.h"
#include "engine/CellEnlargement.h"
#include "engine/OutputNaming.h"
#include "engine/StagedFile.h"
#include "saver/writepix.h"

#include <string>

namespace engine {

using auxlib::draw::ResultCode;
using auxlib::draw::Surface;

// How files are written besides their names.
struct WriteSettings {
    int pngFilter = 0; // as setPngFilter; 0 is libpng's own choice
    KernelSet kernels = KernelSet::Rows;
    // The saver's hooks: how the pieces of a PNG file run side by side (the
    // engine's worker pool; null: one after the other), and when to stop.
    WPX_TaskRunner runTasks = nullptr;
    void* runnerData = nullptr;
    WPX_AbortCheck shouldStop = nullptr;
    void* abortData = nullptr;
    int pngCompression = 0;  // as setPngCompression
    bool pngPalette = false; // as setPngPalette

    WPX_SaveSettings saverSettings() const;
};

// Writes one picture as its three variants: as it is (alpha included), its
// colour channels alone, and its alpha channel as a grey picture. The format
// follows the file name's extension. The picture itself is never changed.
//
// Each file is written under a temporary name and moved into place once it
// is complete, so a failed write leaves no file behind. Given a StagedFile,
// the move is left to the caller (who commits files in its own order); the
// staged file then names the file to write.
class PixSaver {
public:
    static ResultCode writeNatural(const Surface& surface, const std::string& fileName,
                                   const WriteSettings& settings = WriteSettings(), StagedFile* staged = nullptr);
    static ResultCode writeColor(const Surface& surface, const std::string& fileName,
                                 const WriteSettings& settings = WriteSettings(), StagedFile* staged = nullptr);
    // A picture without alpha has nothing to write here and succeeds; a
    // staged file then stays unwritten.
    static ResultCode writeAlpha(const Surface& surface, const std::string& fileName,
                                 const WriteSettings& settings = WriteSettings(), StagedFile* staged = nullptr);

    // The entry of a failed write, with SDL's error text as its reason and,
    // right after an encoding, the encoder's messages.
    static void logSaveFailure(const std::string& fileName, bool afterEncoding);
};

// The result of a write the settings' stop check ended: no file is left.
constexpr ResultCode WriteStopped = WPX_SAVE_STOPPED;

// Name one variant of a cell and write it; 3 for a cell holding no picture.
ResultCode saveNaturalCell(const OutputOptions& options, const Surface& cell, const std::string& outputPath,
                           int cellIndex, const std::string& suffix);
ResultCode saveColorCell(const OutputOptions& options, const Surface& cell, const std::string& outputPath,
                         int cellIndex, const std::string& suffix);
ResultCode saveAlphaCell(const OutputOptions& options, const Surface& cell, const std::string& outputPath,
                         int cellIndex, const std::string& suffix);

} // namespace engine

#endif
