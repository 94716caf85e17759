#include "gui/PictureFile.h"

#include <QByteArray>
#include <QFileInfo>
#include <QImageReader>

#include <utility>

TPictureFile TPictureFile::load(const QString& path)
{
    TPictureFile result;
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return result;

    result.state = Invalid;
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (format != "bmp" && format != "png" && format != "jpeg")
        return result;
    QImage image = reader.read();
    if (image.isNull())
        return result;
    result.state = Loaded;
    result.image = std::move(image);
    return result;
}
