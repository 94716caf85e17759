// Loading a picture file for the preview and the colour-key picker: BMP,
// PNG and JPEG only, recognised by their content.
#ifndef PIXWRIGHT_GUI_PICTUREFILE_H
#define PIXWRIGHT_GUI_PICTUREFILE_H

#include <QImage>
#include <QString>

struct TPictureFile {
    enum State {
        Missing,  // the path names no existing file
        Invalid,  // a file that is not a readable BMP, PNG or JPEG picture
        Loaded,
    };
    State state = Missing;
    QImage image;

    static TPictureFile load(const QString& path);
};

#endif
