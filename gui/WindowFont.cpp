#include "gui/WindowFont.h"

#include <QStringList>

QFont windowFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("IPAGothic")});
    // A character height excludes the internal leading, which is what
    // Qt's pixel size means as well.
    font.setPixelSize(12);
    return font;
}
