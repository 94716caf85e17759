#include "gui/EngineCalls.h"

TEngineCalls TEngineCalls::exports()
{
    TEngineCalls calls;
    calls.graphicConvert = &::graphicConvert;
    calls.setColorKey = &::setColorKey;
    calls.setColorKeyPos = &::setColorKeyPos;
    calls.setColorKeyPaletteIndex = &::setColorKeyPaletteIndex;
    calls.setProgressHandler = &::setProgressHandler;
    calls.setPngPalette = &::setPngPalette;
    calls.setErrorBoxHandler = &::setErrorBoxHandler;
    calls.setWorkProgressHandler = &::setWorkProgressHandler;
    calls.pictureKeyColor = &::pictureKeyColor;
    calls.plannedOutputFiles = &::plannedOutputFiles;
    calls.getLastFailure = &::getLastFailure;
    return calls;
}
