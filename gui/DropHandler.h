// Files dropped on the window: a picture becomes the input, a folder the
// output folder, a game's folder dropped on the game area is converted as a
// game; anything else is refused, so the cursor never offers it.
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

    // What a drag carries: exactly one local file holding a picture the
    // engine decodes (told by its content, not its name) or one existing
    // folder; everything else is refused. path gets the file or folder.
    static Kind classify(const QMimeData* data, QString* path = nullptr);

    // Watches window and every widget inside it at this time, so a drop is
    // taken wherever it lands, also on fields that would take dropped text.
    explicit TDropHandler(QWidget* window);

    // While disabled every drop is refused.
    void setEnabled(bool enabled) { enabled_ = enabled; }
    // A folder holding asset folders dropped on area (or inside it) is a
    // game; anywhere else it is a folder like any other.
    void setGameArea(QWidget* area);

signals:
    void pictureDropped(const QString& path);
    void folderDropped(const QString& path);
    void gameFolderDropped(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool enabled_ = true;
    QWidget* gameArea_ = nullptr;
};

#endif
