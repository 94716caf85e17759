// The window's colour value: 32 bits laid out 0x00BBGGRR, red in the low
// byte, the way the settings file has always stored it.
#ifndef PIXWRIGHT_GUI_COLORVALUE_H
#define PIXWRIGHT_GUI_COLORVALUE_H

#include <QString>
#include <cstdint>

using TColorValue = std::uint32_t;

inline int colorRed(TColorValue c) { return static_cast<int>(c & 0xFFu); }
inline int colorGreen(TColorValue c) { return static_cast<int>((c >> 8) & 0xFFu); }
inline int colorBlue(TColorValue c) { return static_cast<int>((c >> 16) & 0xFFu); }

inline TColorValue makeColorValue(int red, int green, int blue)
{
    return (static_cast<TColorValue>(red & 0xFF)) | (static_cast<TColorValue>(green & 0xFF) << 8) |
           (static_cast<TColorValue>(blue & 0xFF) << 16);
}

// "#RRGGBB" in upper-case hexadecimal, each channel zero-padded to two
// digits: the notation of web colours, which nobody reads as decimal.
inline QString formatColorValue(TColorValue c)
{
    return QStringLiteral("#%1%2%3")
        .arg(colorRed(c), 2, 16, QLatin1Char('0'))
        .arg(colorGreen(c), 2, 16, QLatin1Char('0'))
        .arg(colorBlue(c), 2, 16, QLatin1Char('0'))
        .toUpper();
}

#endif
