#ifndef ENGINE_EFFECTORLOGSITES_H
#define ENGINE_EFFECTORLOGSITES_H

// The log entries of the enlargement, whichever path writes them: the log
// names each site by a fixed number rather than by a file's line, so the
// per-pixel and the row path write the same entries, and entries read the
// same whatever the layout of the code.
namespace engine::effectorSites {

constexpr const char* sourceName = "..\\..\\PixEffector";

constexpr int createFailedLine = 39;
constexpr int resampleFailedLine = 61;
constexpr int alphaGridFailedLine = 69;
constexpr int sharpenFailedLine = 78;
constexpr int resampleLockFailedLine = 126;
constexpr int copyFailedLine = 301;
constexpr int sharpenLockFailedLine = 313;

} // namespace engine::effectorSites

#endif
