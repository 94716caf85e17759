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
 * picture, or none.
 *
 * Everything runs on the caller's thread; the engine keeps no picture and no
 * SDL state between calls.
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

/* The engine's error box. With no handler installed (or after passing null)
 * the platform's own box is used: MessageBoxA on Windows, standard error
 * elsewhere. The handler must not return before the user has seen the text. */
typedef void (*PixwrightErrorBoxHandler)(const char* caption, const char* text);
PIXWRIGHT_API void setErrorBoxHandler(PixwrightErrorBoxHandler handler);

#ifdef __cplusplus
}
#endif

#endif
