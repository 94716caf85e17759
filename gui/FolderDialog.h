// The output-folder chooser: a component with a prompt, a starting folder and
// the chosen folder, shown through the modal host.
#ifndef PIXWRIGHT_GUI_FOLDERDIALOG_H
#define PIXWRIGHT_GUI_FOLDERDIALOG_H

#include <QObject>
#include <QString>

class QWidget;

class TFolderDialog : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Title MEMBER Title)
    Q_PROPERTY(QString InitialPath MEMBER InitialPath)
    Q_PROPERTY(QString FolderPath MEMBER FolderPath)

public:
    explicit TFolderDialog(QWidget* owner = nullptr);

    QString Title;
    // Folder selected when the chooser opens; empty opens at the top.
    QString InitialPath;
    // The chosen folder in the platform's notation; empty after a cancel.
    QString FolderPath;

    // True when a folder was chosen.
    bool Execute();

private:
    QWidget* owner_;
};

#endif
