#include "gui/HelpDialog.h"

#include "gui/WindowFont.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

QString THelpDialog::pageFor(translation::Language language)
{
    return language == translation::Language::Japanese ? QStringLiteral(":/help/pixwright_ja.html")
                                                       : QStringLiteral(":/help/pixwright_en.html");
}

THelpDialog::THelpDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("HelpDialog"));
    setWindowTitle(tr("Pixwrightのヘルプ"));
    setFont(windowFont());
    HelpBrowser = new QTextBrowser(this);
    HelpBrowser->setObjectName(QStringLiteral("HelpBrowser"));
    HelpBrowser->setOpenExternalLinks(false);
    HelpBrowser->setOpenLinks(false);
    HelpBrowser->setSource(QUrl(QStringLiteral("qrc") + pageFor(translation::current())));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(tr("閉じる"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(HelpBrowser);
    layout->addWidget(buttons);
    resize(640, 560);
}
