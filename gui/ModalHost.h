// Every modal message box and chooser the program opens goes through the
// current TModalHost. The program uses the default host, which shows real Qt
// boxes; tests install their own so that nothing ever waits for a user.
#ifndef PIXWRIGHT_GUI_MODALHOST_H
#define PIXWRIGHT_GUI_MODALHOST_H

#include <QColor>
#include <QMessageBox>
#include <QString>

class QDialog;
class QWidget;

class TModalHost {
public:
    virtual ~TModalHost();

    // A box with one OK button. A null owner gives a top-level box.
    virtual void showMessage(QWidget* owner, QMessageBox::Icon icon, const QString& caption,
                             const QString& text);

    // A question with Yes and No buttons, No the default; true for Yes.
    virtual bool askYesNo(QWidget* owner, const QString& caption, const QString& text);

    // A box that closes with OK or with a second button labelled
    // actionLabel; true when the second one was pressed.
    virtual bool showMessageWithAction(QWidget* owner, QMessageBox::Icon icon, const QString& caption,
                                       const QString& text, const QString& actionLabel);

    // Shows folder in the desktop's file manager.
    virtual void openFolder(const QString& folder);

    // The file-open chooser; filter is in Qt's ";;" syntax and its first
    // entry is preselected. Returns the chosen path, or an empty text when
    // the user cancelled.
    virtual QString chooseOpenFile(QWidget* owner, const QString& initialPath,
                                   const QString& filter);

    // The platform's colour chooser, starting at colour. Returns false when
    // the user cancelled; colour then stays unchanged.
    virtual bool chooseColor(QWidget* owner, QColor& colour);

    // The folder chooser. Returns the chosen folder, or an empty text when
    // the user cancelled.
    virtual QString chooseFolder(QWidget* owner, const QString& title,
                                 const QString& initialPath);

    // Shows a folder in the platform's file manager.
    virtual void openFolder(QWidget* owner, const QString& folder);

    // Runs one of the program's own dialogs modally; returns its result code
    // (QDialog::Accepted or QDialog::Rejected).
    virtual int runDialog(QDialog& dialog);

    static TModalHost& current();
    // Makes host the current one (not owned); null restores the default.
    static void install(TModalHost* host);
};

#endif
