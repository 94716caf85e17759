#include "gui/ModalHost.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QMetaObject>
#include <QThread>
#include <QPushButton>
#include <QUrl>

namespace {

TModalHost& defaultHost()
{
    static TModalHost host;
    return host;
}

TModalHost* installedHost = nullptr;

} // namespace

TModalHost::~TModalHost() = default;

void TModalHost::showMessage(QWidget* owner, QMessageBox::Icon icon, const QString& caption,
                             const QString& text)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok, owner);
    box.exec();
}

bool TModalHost::askYesNo(QWidget* owner, const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool TModalHost::showMessageWithAction(QWidget* owner, QMessageBox::Icon icon, const QString& caption,
                                       const QString& text, const QString& actionLabel)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok, owner);
    QPushButton* action = box.addButton(actionLabel, QMessageBox::ActionRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    return box.clickedButton() == action;
}

void TModalHost::openFolder(const QString& folder)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

QString TModalHost::chooseOpenFile(QWidget* owner, const QString& initialPath,
                                   const QString& filter)
{
    QString selected = filter.section(QStringLiteral(";;"), 0, 0);
    return QFileDialog::getOpenFileName(owner, QString(), initialPath, filter, &selected);
}

bool TModalHost::chooseColor(QWidget* owner, QColor& colour)
{
    const QColor chosen = QColorDialog::getColor(colour, owner);
    if (!chosen.isValid())
        return false;
    colour = chosen;
    return true;
}

QString TModalHost::chooseFolder(QWidget* owner, const QString& title, const QString& initialPath)
{
    // With no folder given the browser opens at the top of the folder tree.
    const QString start = initialPath.isEmpty() ? QDir::rootPath() : initialPath;
    return QFileDialog::getExistingDirectory(owner, title, start, QFileDialog::ShowDirsOnly);
}

void TModalHost::openFolder(QWidget*, const QString& folder)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

int TModalHost::runDialog(QDialog& dialog)
{
    return dialog.exec();
}

TModalHost& TModalHost::current()
{
    return installedHost ? *installedHost : defaultHost();
}

void TModalHost::install(TModalHost* host)
{
    installedHost = host;
}
