#include "gui/DropHandler.h"

#include "engine/Pixwright_DLL.h"
#include "game/GameFolder.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

TDropHandler::Kind TDropHandler::classify(const QMimeData* data, QString* path)
{
    if (!data || !data->hasUrls())
        return Refused;
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return Refused;
    const QString local = urls.front().toLocalFile();
    const QFileInfo info(local);
    Kind kind = Refused;
    if (info.isDir()) {
        kind = Folder;
    } else if (info.isFile()) {
        // The first bytes decide while the drag is in the air; the picture
        // itself is read once dropped, and a bad one is reported as from the
        // chooser.
        PixwrightFileFormat format{};
        if (fileFormat(QFile::encodeName(local).constData(), &format) == PIXWRIGHT_FILE_DECODED)
            kind = PictureFile;
    }
    if (kind != Refused && path)
        *path = local;
    return kind;
}

TDropHandler::TDropHandler(QWidget* window) : QObject(window)
{
    setObjectName(QStringLiteral("DropHandler"));
    window->setAcceptDrops(true);
    window->installEventFilter(this);
    for (QWidget* child : window->findChildren<QWidget*>())
        child->installEventFilter(this);
}

void TDropHandler::setGameArea(QWidget* area)
{
    gameArea_ = area;
    // Qt hands a drag to the nearest widget that takes drops: the area must
    // take them itself to be told from the window around it.
    if (area != nullptr)
        area->setAcceptDrops(true);
}

bool TDropHandler::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (enabled_ && classify(drag->mimeData()) != Refused)
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        QString path;
        const Kind kind = enabled_ ? classify(drop->mimeData(), &path) : Refused;
        if (kind == Refused) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        auto* target = qobject_cast<QWidget*>(watched);
        const bool onGameArea = gameArea_ != nullptr && target != nullptr
                                && (target == gameArea_ || gameArea_->isAncestorOf(target));
        if (kind == PictureFile)
            emit pictureDropped(path);
        else if (onGameArea && game::isGameFolder(QFile::encodeName(path).toStdString()))
            emit gameFolderDropped(path);
        else
            emit folderDropped(path);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
