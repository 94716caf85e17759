// The engine calls the window makes, gathered in one table so that tests can
// record them instead of converting. exports() fills it with the engine
// library's own functions.
#ifndef PIXWRIGHT_GUI_ENGINECALLS_H
#define PIXWRIGHT_GUI_ENGINECALLS_H

#include "engine/Pixwright_DLL.h"

struct TEngineCalls {
    using GraphicConvertFn = int (*)(const char* sourcePath, const char* outputFolder,
                                     const char* outputName, int editorPreset, int gridWidth,
                                     int gridHeight, int sharpenLevel, int eraseAlphaGrid,
                                     int interpolation, int outputFormat, int saveNatural,
                                     const char* naturalSuffix, int saveColor,
                                     const char* colorSuffix, int saveAlpha,
                                     const char* alphaSuffix);
    using SetColorKeyFn = void (*)(int red, int green, int blue);
    using SetColorKeyPosFn = void (*)(int x, int y);
    using SetColorKeyPaletteIndexFn = void (*)(int index);
    using SetProgressHandlerFn = void (*)(PixwrightProgressHandler handler, void* user);
    using SetErrorBoxHandlerFn = void (*)(PixwrightErrorBoxHandler handler);
    using SetWorkProgressHandlerFn = void (*)(PixwrightWorkHandler handler, void* user);
    using PictureKeyColorFn = int (*)(const char* path, PixwrightColor* key);
    using GetLastFailureFn = int (*)(PixwrightFailure* failure);
    using PlannedOutputFilesFn = int (*)(const char* sourcePath, const char* outputFolder,
                                         const char* outputName, int editorPreset, int outputFormat,
                                         int saveNatural, const char* naturalSuffix, int saveColor,
                                         const char* colorSuffix, int saveAlpha,
                                         const char* alphaSuffix, char* buffer, int bufferSize);
    using SetPngPaletteFn = void (*)(int on);

    GraphicConvertFn graphicConvert = nullptr;
    SetColorKeyFn setColorKey = nullptr;
    SetColorKeyPosFn setColorKeyPos = nullptr;
    SetColorKeyPaletteIndexFn setColorKeyPaletteIndex = nullptr;
    SetProgressHandlerFn setProgressHandler = nullptr;
    SetErrorBoxHandlerFn setErrorBoxHandler = nullptr;
    SetWorkProgressHandlerFn setWorkProgressHandler = nullptr;
    PictureKeyColorFn pictureKeyColor = nullptr;
    GetLastFailureFn getLastFailure = nullptr;
    // May be null: nothing is known of the files ahead of a conversion.
    PlannedOutputFilesFn plannedOutputFiles = nullptr;
    SetPngPaletteFn setPngPalette = nullptr;

    static TEngineCalls exports();
};

#endif
