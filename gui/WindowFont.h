// The font of the program's windows, boxes and dialogs.
#ifndef PIXWRIGHT_GUI_WINDOWFONT_H
#define PIXWRIGHT_GUI_WINDOWFONT_H

#include "gui/Translation.h"

#include <QFont>

// At a 12-pixel character height. Japanese asks for "ＭＳ Ｐゴシック", with
// the IPA Gothic faces as fallback where that font is not installed: both
// carry every kana and kanji the window shows. English asks for a Latin face
// drawn for screen text, with the same Japanese faces behind it for a
// Japanese file name.
QFont windowFont(translation::Language language = translation::current());

// Makes windowFont the application's, so the message boxes, choosers and
// dialogs that no window of the program's own sets up use it as well.
void applyWindowFont();

#endif
