// The writers' cores under the settings of one save, for the dispatch and
// the exported wrappers.
#ifndef WPX_SAVE_H
#define WPX_SAVE_H

#include "saver/writepix.h"

namespace wpx {

// The settings of a plain save: libpng's own filter, the row kernels, every
// task on the calling thread, no abort check.
const WPX_SaveSettings& plainSettings();

// Rows between two abort checks.
constexpr int rowsPerCheck = 64;

inline bool stopRequested(const WPX_SaveSettings& settings)
{
    return settings.shouldStop != nullptr && settings.shouldStop(settings.abortData) != 0;
}

// Results as WPX_SaveBMP_RW, WPX_SavePNGEx_RW and WPX_SaveJPG_RW, and
// WPX_SAVE_STOPPED.
int saveBmp(SDL_Surface* surface, SDL_RWops* dst, const WPX_SaveSettings& settings);
int savePng(SDL_Surface* surface, SDL_RWops* dst, const WPX_SaveSettings& settings);
int saveJpg(SDL_Surface* surface, SDL_RWops* dst, const WPX_SaveSettings& settings);

} // namespace wpx

#endif
