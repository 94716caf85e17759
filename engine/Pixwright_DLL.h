/*
 * Pixwright_DLL: the conversion engine's exported interface.
 *
 * graphicConvert converts one source picture into up to three output files
 * per cell and returns 0 on success or a non-zero ConvertResult code. On every
 * failure except code 1 it shows exactly one error box (see
 * setErrorBoxHandler) before it returns. Strings are NUL-terminated byte
 * strings in the platform's narrow encoding; they are only borrowed for the
 * call. Flags are ints where 0 means off.
 *
 * The colour-key calls set the engine-wide transparent colour used by every
 * later conversion: a fixed colour, the colour of one pixel of the source
 * picture, the colour of one entry of the source picture's own palette, or
 * none.
 *
 * The other settings (threads, PNG row filter, progress handler) are
 * engine-wide too and keep their value until changed; set them before a
 * conversion starts, not while one runs.
 *
 * A conversion may spread its cells over several threads of its own, but its
 * results are exactly those of one thread: the same files, written in the
 * same order, the same log entries and the same error box. The error box and
 * the progress handler are always called on the thread that called
 * graphicConvert. Conversions may run side by side on several threads; the
 * engine keeps no picture and no SDL state between calls.
 */
#ifndef PIXWRIGHT_DLL_H
#define PIXWRIGHT_DLL_H

#if defined(_WIN32)
#  if defined(PIXWRIGHT_BUILDING_DLL)
#    define PIXWRIGHT_API __declspec(dllexport)
#  else
#    define PIXWRIGHT_API __declspec(dllimport)
#  endif
#else
#  define PIXWRIGHT_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

PIXWRIGHT_API int graphicConvert(const char* sourcePath, const char* outputFolder,
                                 const char* outputName, int editorPreset,
                                 int gridWidth, int gridHeight, int sharpenLevel,
                                 int eraseAlphaGrid, int interpolation, int outputFormat,
                                 int saveNatural, const char* naturalSuffix,
                                 int saveColor, const char* colorSuffix,
                                 int saveAlpha, const char* alphaSuffix);

PIXWRIGHT_API void setColorKey(int red, int green, int blue);
PIXWRIGHT_API void setColorKeyPos(int x, int y);
PIXWRIGHT_API void resetColorKey(void);

/* The key becomes the colour of palette entry `index` (clamped to 0..255) of
 * each source picture that has a palette of its own, with alpha 255. A
 * picture without one (or whose palette has no such entry) is keyed with the
 * fixed colour last given to setColorKey, (0, 0, 0) if none was. */
PIXWRIGHT_API void setColorKeyPaletteIndex(int index);

/* Threads one conversion spreads its cells (and the rows of a large cell)
 * over. 0 or less: the machine's core count, the default. 1: everything runs
 * on the calling thread. */
PIXWRIGHT_API void setThreadCount(int threads);

/* Row filter of the PNG files written: 0 libpng's own choice per row (the
 * default), 1 none, 2 sub, 3 up, 4 average, 5 paeth, 6 all five tried per row
 * (libpng's heuristic, as 0). Other values count as 0. Every filter decodes to
 * the same pixels. */
PIXWRIGHT_API void setPngFilter(int filter);

/* Called on the calling thread once the picture is cut (cellsDone 0) and after
 * the files of each cell are written, with the number of files this call has
 * written so far. A non-zero return cancels the conversion between cells: the
 * files written so far stay, nothing further is written, and graphicConvert
 * returns 40 without an error box. A null handler turns reporting off. */
typedef int (*PixwrightProgressHandler)(void* user, int cellsDone, int cellsTotal, int filesWritten);
PIXWRIGHT_API void setProgressHandler(PixwrightProgressHandler handler, void* user);

/* The engine's error box. With no handler installed (or after passing null)
 * the platform's own box is used: MessageBoxA on Windows, standard error
 * elsewhere. The handler must not return before the user has seen the text. */
typedef void (*PixwrightErrorBoxHandler)(const char* caption, const char* text);
PIXWRIGHT_API void setErrorBoxHandler(PixwrightErrorBoxHandler handler);

/* Where the engine's log entries go: "stderr.txt" in the current folder, or
 * the same name in the user's state folder ($XDG_STATE_HOME/pixwright, else
 * ~/.local/state/pixwright; %LOCALAPPDATA%\pixwright on Windows) once the
 * current folder could not be written. Copies at most size - 1 bytes and a
 * NUL into buffer (nothing when buffer is null or size is 0) and returns the
 * path's full length; 0 when logging is off. */
PIXWRIGHT_API int getLogFilePath(char* buffer, int size);

#ifdef __cplusplus
}
#endif

#endif
