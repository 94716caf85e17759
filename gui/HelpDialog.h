// The program's manual, bundled in the program's resources in each of its
// languages and shown without any network: links lead nowhere outside it.
#ifndef PIXWRIGHT_GUI_HELPDIALOG_H
#define PIXWRIGHT_GUI_HELPDIALOG_H

#include "gui/Translation.h"

#include <QDialog>
#include <QString>

class QTextBrowser;

class THelpDialog : public QDialog {
    Q_OBJECT

public:
    // The resource holding the manual in language.
    static QString pageFor(translation::Language language);

    explicit THelpDialog(QWidget* parent = nullptr);

    QTextBrowser* HelpBrowser;
};

#endif
