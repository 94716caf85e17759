#ifndef ENGINE_EFFECTORLOGSITES_H
#define ENGINE_EFFECTORLOGSITES_H

// The log entries of the enlargement, whichever path writes them: the log
// names each site by a fixed number rather than by a file's line, so the
// per-pixel and the row path write the same entries, and entries read the
// same whatever the layout of the code.
namespace engine::effectorSites {

constexpr const char* sourceName = "..\\..\\PixEffector";

constexpr int createFailedSite = 39;
constexpr int resampleFailedSite = 61;
constexpr int alphaGridFailedSite = 69;
constexpr int sharpenFailedSite = 78;
constexpr int resampleLockFailedSite = 126;
constexpr int copyFailedSite = 301;
constexpr int sharpenLockFailedSite = 313;

} // namespace engine::effectorSites

#endif
