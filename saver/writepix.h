/* writepix: writes an SDL 1.2 surface as BMP, PNG or JPEG.

   Formats
     BMP  uncompressed, 1/4/8-bit palette or 16/24/32-bit colour; alpha dropped.
     PNG  palette, RGB or RGBA with 8-bit samples; the only format keeping alpha.
     JPEG baseline, quality 75; alpha dropped.
   WPX_Save picks the format from the text after the last '.' of the path
   ("bmp", "png", "jpg", "jpeg", any letter case); WPX_SaveTyped and
   WPX_Save_RW take the type name as an argument.

   Ownership
     The surface stays the caller's; it is only read, never locked, so its
     pixels must be addressable (a software surface, or one the caller locked).
     The writers WPX_Save*_RW never close the stream. WPX_Save_RW closes it
     when freedst is non-zero, on failure as well as on success; WPX_Save and
     WPX_SaveTyped always leave the file closed. A file opened and then
     rejected stays on disk with whatever was written to it.

   Results
     0 is success. Any other value is a failure whose number is specific to
     the function that returned it; the reason is in SDL_GetError(), prefixed
     "WPX_bmp: ", "WPX_png: " or "WPX_jpg: " for the writers' own failures.
     Every writer returns 1, with SDL's text unchanged, for a null stream,
     and 1 with "...: Passed an invalid surface" for a surface it cannot read.
     The BMP writer also fails when SDL's error text is non-empty after the
     headers, so clear a stale error (SDL_ClearError) before saving.

   Nothing is thrown and nothing is shown; no state is kept between calls. */
#ifndef WRITEPIX_H
#define WRITEPIX_H

#include <SDL.h>

#if defined(_WIN32)
#  if defined(WRITEPIX_BUILDING)
#    define WPX_EXPORT __declspec(dllexport)
#  else
#    define WPX_EXPORT __declspec(dllimport)
#  endif
#else
#  define WPX_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The library's version record, 1.2.4. */
WPX_EXPORT const SDL_version* WPX_Linked_Version(void);

/* Opens file for writing, then saves by the type after its last '.'.
   1: the file could not be opened; otherwise as WPX_Save_RW. */
WPX_EXPORT int WPX_Save(SDL_Surface* surface, const char* file);

/* As WPX_Save with the type name given. */
WPX_EXPORT int WPX_SaveTyped(SDL_Surface* surface, const char* file, const char* type);

/* 1 null stream, 2 null type, 3 stream cannot seek, 4 type not BMP, PNG,
   JPG or JPEG; otherwise the writer's result. */
WPX_EXPORT int WPX_Save_RW(SDL_Surface* surface, SDL_RWops* dst, int freedst, const char* type);

/* 3 or 4 SDL error text set after the headers or the palette, 5 out of
   memory, 6 unknown pixel format, 10 a write failed. */
WPX_EXPORT int WPX_SaveBMP_RW(SDL_Surface* surface, SDL_RWops* dst);

/* 2 or 3 libpng could not be set up, 4 libpng failed while writing (a failed
   stream write included), 5 unknown pixel format, 7, 8, 9 or 11 out of memory. */
WPX_EXPORT int WPX_SavePNG_RW(SDL_Surface* surface, SDL_RWops* dst);

/* Row filters for WPX_SavePNGEx_RW. */
enum {
    WPX_PNG_FILTER_DEFAULT = 0, /* libpng's own choice, as WPX_SavePNG_RW */
    WPX_PNG_FILTER_NONE = 1,
    WPX_PNG_FILTER_SUB = 2,
    WPX_PNG_FILTER_UP = 3,
    WPX_PNG_FILTER_AVERAGE = 4,
    WPX_PNG_FILTER_PAETH = 5,
    WPX_PNG_FILTER_ALL = 6 /* all five tried on every row */
};

/* As WPX_SavePNG_RW with the row filter given; an unknown number counts as
   WPX_PNG_FILTER_DEFAULT. The filter changes the file's size and speed, never
   its pixels. With a single filter (none, sub, up, average, paeth) the image
   data is compressed in independent pieces; the default and
   WPX_PNG_FILTER_ALL are libpng's own encoding, byte for byte as
   WPX_SavePNG_RW. `threads` is only checked: the pieces run one after the
   other on the calling thread here, and side by side through the task
   runner of WPX_SaveEx_RW. */
WPX_EXPORT int WPX_SavePNGEx_RW(SDL_Surface* surface, SDL_RWops* dst, int filter, int threads);

/* How a save runs, for WPX_SaveEx_RW. A zeroed record (or a null pointer)
   is a plain save, as WPX_Save_RW makes it. */

/* One of count independent tasks; index runs from 0 to count - 1. */
typedef void (*WPX_Task)(void* taskData, int index);
/* Runs task(taskData, i) once for every i below count, in any order and on
   any threads, and returns when all have returned. The writers only hand it
   work that touches neither SDL nor the stream. */
typedef void (*WPX_TaskRunner)(void* runnerData, int count, WPX_Task task, void* taskData);
/* Asked between chunks of rows; non-zero stops the save. */
typedef int (*WPX_AbortCheck)(void* abortData);

/* How a PNG file's image data is compressed (WPX_SaveSettings). */
enum {
    WPX_PNG_COMPRESSION_DEFAULT = 0, /* libpng and zlib's default level, as WPX_SavePNGEx_RW */
    WPX_PNG_COMPRESSION_FAST = 1,    /* a fast deflate of the writer's own; a row that repeats
                                        the one above costs no search; no row filter unless
                                        pngFilter names one */
    WPX_PNG_COMPRESSION_SMALL = 2    /* every filter tried (or the one pngFilter names), the
                                        best compressed by libdeflate's strong levels; slow */
};

typedef struct WPX_SaveSettings {
    int pngFilter;         /* a WPX_PNG_FILTER_* value, for PNG files */
    int referenceRows;     /* non-zero: rows converted by the per-pixel reference
                              rules rather than the row kernels (same bytes) */
    WPX_TaskRunner runTasks; /* null: tasks run in order on the calling thread */
    void* runnerData;
    WPX_AbortCheck shouldStop; /* null: a save always runs to its end */
    void* abortData;
    int pngCompression;    /* a WPX_PNG_COMPRESSION_* value; others count as DEFAULT */
    int pngPalette;        /* non-zero: a picture of at most 256 colours is written as
                              a palette picture (colour type 3), packed below 8 bits
                              for 16 colours or fewer */
} WPX_SaveSettings;

/* Every compression and the palette decode to the same pixels, and the bytes
   never depend on the task runner. FAST, SMALL and the palette pictures are
   written without libpng (no sBIT chunk for full 8-bit channels); a memory
   failure there is result 11. */

/* A save stopped by its abort check: the stream holds a partial file. */
#define WPX_SAVE_STOPPED 12

/* As WPX_Save_RW with freedst 0 (the stream is left open), under the
   settings given. WPX_SAVE_STOPPED, with "...: Save stopped" as SDL's
   error text, when the abort check asked to stop. */
WPX_EXPORT int WPX_SaveEx_RW(SDL_Surface* surface, SDL_RWops* dst, const char* type,
                             const WPX_SaveSettings* settings);

/* 2 libjpeg failed, 5 or 6 out of memory, 8 unknown pixel format,
   10 a write failed. */
WPX_EXPORT int WPX_SaveJPG_RW(SDL_Surface* surface, SDL_RWops* dst);

/* The warnings and errors libpng or libjpeg gave during the last save on
   the calling thread, one per line ("libpng error: ..."), or "". The writers
   never print them. Valid until the next save on the same thread. */
WPX_EXPORT const char* WPX_LastMessages(void);

#ifdef __cplusplus
}
#endif

#endif
