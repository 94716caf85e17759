// The three ways the transparent colour is chosen, and the colour each one
// gives for a loaded picture, as the engine will pick it.
#ifndef PIXWRIGHT_GUI_COLORKEYCHOICE_H
#define PIXWRIGHT_GUI_COLORKEYCHOICE_H

#include "gui/ColorValue.h"

#include <QImage>

enum class TColorKeyChoice { Fixed, TopLeft, PaletteEntry0 };

// A palette read from the file itself. Qt gives palette pictures an indexed
// format with their colour table; grey pictures come as a grey format with
// no table, which the engine does not count as a palette either.
inline bool hasOwnPalette(const QImage& picture)
{
    return picture.format() == QImage::Format_Indexed8 && picture.colorCount() > 0;
}

// The key of picture under choice; fixed stands for the fixed colour and for
// a picture that cannot give one (none loaded, or no palette of its own).
inline TColorValue keyColourFor(const QImage& picture, TColorKeyChoice choice, TColorValue fixed)
{
    QRgb rgb = 0;
    if (choice == TColorKeyChoice::TopLeft && !picture.isNull())
        rgb = picture.pixel(0, 0);
    else if (choice == TColorKeyChoice::PaletteEntry0 && hasOwnPalette(picture))
        rgb = picture.color(0);
    else
        return fixed;
    return makeColorValue(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

#endif
