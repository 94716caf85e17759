// The font of the program's windows.
#ifndef PIXWRIGHT_GUI_WINDOWFONT_H
#define PIXWRIGHT_GUI_WINDOWFONT_H

#include <QFont>

// Asks for "ＭＳ Ｐゴシック" at a 12-pixel character height, with the IPA
// Gothic faces as fallback where that font is not installed: both carry
// every kana and kanji the window shows.
QFont windowFont();

#endif
