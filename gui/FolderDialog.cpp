#include "gui/FolderDialog.h"

#include "gui/ModalHost.h"

#include <QDir>
#include <QWidget>

TFolderDialog::TFolderDialog(QWidget* owner) : QObject(owner), owner_(owner)
{
    setObjectName(QStringLiteral("FolderDialog"));
}

bool TFolderDialog::Execute()
{
    const QString chosen = TModalHost::current().chooseFolder(owner_, Title, InitialPath);
    if (chosen.isEmpty()) {
        FolderPath.clear();
        return false;
    }
    FolderPath = QDir::toNativeSeparators(chosen);
    return true;
}
