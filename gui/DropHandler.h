// Files dropped on the window: a picture becomes the input, a folder the
// output folder; anything else is refused, so the cursor never offers it.
#ifndef PIXWRIGHT_GUI_DROPHANDLER_H
#define PIXWRIGHT_GUI_DROPHANDLER_H

#include <QObject>
#include <QString>

class QMimeData;
class QWidget;

class TDropHandler : public QObject {
    Q_OBJECT

public:
    enum Kind { Refused, PictureFile, Folder };

    // What a drag carries: exactly one local file with a picture name (BMP,
    // PNG, JPEG) or one existing folder; everything else is refused. path
    // gets the file or folder.
    static Kind classify(const QMimeData* data, QString* path = nullptr);

    // Watches window and every widget inside it at this time, so a drop is
    // taken wherever it lands, also on fields that would take dropped text.
    explicit TDropHandler(QWidget* window);

    // While disabled every drop is refused.
    void setEnabled(bool enabled) { enabled_ = enabled; }

signals:
    void pictureDropped(const QString& path);
    void folderDropped(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool enabled_ = true;
};

#endif
