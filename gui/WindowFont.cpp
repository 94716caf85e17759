#include "gui/WindowFont.h"

#include <QApplication>
#include <QStringList>

QFont windowFont(translation::Language language)
{
    QFont font;
    if (language == translation::Language::Japanese)
        font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                          QStringLiteral("IPAGothic")});
    else
        font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                          QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    // A character height excludes the internal leading, which is what
    // Qt's pixel size means as well.
    font.setPixelSize(12);
    return font;
}

void applyWindowFont()
{
    QApplication::setFont(windowFont());
}
