// The English face: every text the window and its dialogs show is
// translated, and Japanese stays exactly the original.
#include "GuiTestSupport.h"
#include "TestMain.h"

#include "gui/PreviewView.h"
#include "gui/SelectColorKeyDialog.h"
#include "gui/Translation.h"
#include "gui/WindowFont.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// Every text a user can see in window and the dialogs inside it, each
// prefixed by where it was found, in a fixed order; boxes and choosers are
// opened through host and their texts added too.
QStringList visibleTexts(TPixwrightForm& form, ScriptedModalHost& host)
{
    QStringList texts;
    const auto add = [&](const QObject* where, const QString& text) {
        if (!text.isEmpty())
            texts << where->objectName() + QLatin1String(": ") + text;
    };
    const QList<QWidget*> widgets = form.findChildren<QWidget*>();
    add(&form, form.windowTitle());
    for (QWidget* widget : widgets) {
        // Qt's own unnamed menus (the menu bar's overflow, shown only when the
        // named menus do not fit) repeat the named ones' titles.
        if (qobject_cast<QMenu*>(widget) && widget->objectName().isEmpty())
            continue;
        add(widget, widget->toolTip());
        if (widget->isWindow())
            add(widget, widget->windowTitle());
        if (auto* label = qobject_cast<QLabel*>(widget))
            add(label, label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            add(button, button->text());
        if (auto* group = qobject_cast<QGroupBox*>(widget))
            add(group, group->title());
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            add(edit, edit->placeholderText());
        if (auto* list = qobject_cast<QComboBox*>(widget))
            for (int i = 0; i < list->count(); ++i)
                add(list, list->itemText(i));
        if (auto* menu = qobject_cast<QMenu*>(widget)) {
            add(menu, menu->title());
            for (QAction* action : menu->actions())
                add(action, action->text());
        }
    }
    for (const QString& line : form.HelpMemo->toPlainText().split(QLatin1Char('\n')))
        add(form.HelpMemo, line);

    // The boxes and choosers the window opens itself.
    host.messages.clear();
    const QString good = writePicture(QStringLiteral("good.png"), patternPicture(3, 2), "PNG");
    enterInputFile(form, good);
    form.GridXEdit->setText(QStringLiteral("x"));
    form.ConvertButton->click();
    form.GridXEdit->setText(QStringLiteral("16"));
    enterInputFile(form, writeBytes(QStringLiteral("bad.png"), "not a picture"));
    enterInputFile(form, good);
    for (int result : {0, 4, 40}) {
        EngineRecorder::convertResult = result;
        convertAndWait(form);
    }
    for (const RecordedMessage& message : host.messages) {
        texts << QStringLiteral("box: ") + message.caption;
        texts << QStringLiteral("box: ") + message.text;
    }
    form.SaveDirButton->click();
    texts << QStringLiteral("folder chooser: ") + host.folderTitle;
    form.OpenFileButton->click();
    texts << QStringLiteral("file chooser: ") + host.openFileFilter;
    return texts;
}

} // namespace

class TestTranslation : public QObject {
    Q_OBJECT

private slots:
    void init() { EngineRecorder::reset(); }
    void cleanup() { translation::install(translation::Language::Japanese); }
    void languageFromOptionOrLocale();
    void englishLeavesNoJapaneseText();
    void japaneseIsTheOriginal();
    void fontFollowsTheLanguage();
};

void TestTranslation::languageFromOptionOrLocale()
{
    using translation::Language;
    QCOMPARE(translation::choose(QString(), QLocale(QLocale::Japanese, QLocale::Japan)), Language::Japanese);
    QCOMPARE(translation::choose(QString(), QLocale(QLocale::English, QLocale::UnitedStates)), Language::English);
    QCOMPARE(translation::choose(QString(), QLocale(QLocale::German, QLocale::Germany)), Language::English);
    QCOMPARE(translation::choose(QStringLiteral("ja"), QLocale(QLocale::French)), Language::Japanese);
    QCOMPARE(translation::choose(QStringLiteral("EN"), QLocale(QLocale::Japanese)), Language::English);
    QVERIFY(translation::isKnownOption(QStringLiteral("en")) && translation::isKnownOption(QStringLiteral("ja")));
    QVERIFY(!translation::isKnownOption(QStringLiteral("de")) && !translation::isKnownOption(QString()));
}

void TestTranslation::englishLeavesNoJapaneseText()
{
    QStringList japanese;
    {
        ScriptedModalHost host;
        FormEnvironment env;
        auto form = env.makeForm();
        japanese = visibleTexts(*form, host);
    }
    QVERIFY(translation::install(translation::Language::English));
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    const QStringList english = visibleTexts(*form, host);
    QCOMPARE(english.size(), japanese.size());
    QStringList untranslated;
    int translated = 0;
    for (int i = 0; i < english.size(); ++i) {
        if (hasJapanese(english[i]))
            untranslated << english[i];
        else if (hasJapanese(japanese[i]))
            ++translated;
    }
    QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join('\n')));
    QVERIFY(translated > 80);
    // Spot checks that the walk saw what it should.
    QVERIFY(english.contains("ColorKeyPaletteCheckBox: Transparent colour is palette entry 0"));
    QVERIFY(english.contains("box: Stopped: 1 file written\nOutput folder: " + QDir::currentPath()));
    QVERIFY(english.contains("box: The grid value is not a whole number."));
    QVERIFY(english.contains("PreviewKeyCheckBox: Show transparent colour"));
    QVERIFY(english.contains("CancelButton: Cancel"));
    QVERIFY(english.contains("ColorKeyDialog: Choose Transparent Colour"));
    QVERIFY(english.contains("file chooser: All pictures (*.png *.jpg *.jpeg *.bmp *.xyz);;PNG pictures (*.png);;"
                             "JPEG pictures (*.jpg *.jpeg);;Bitmaps (*.bmp);;XYZ pictures (*.xyz)"));
}

void TestTranslation::japaneseIsTheOriginal()
{
    QStringList original;
    {
        ScriptedModalHost host;
        FormEnvironment env;
        auto form = env.makeForm();
        original = visibleTexts(*form, host);
    }
    // English installed and then Japanese chosen, as --lang ja does on an
    // English system: nothing of the English may stay.
    QVERIFY(translation::install(translation::Language::English));
    QVERIFY(translation::install(translation::choose(QStringLiteral("ja"), QLocale(QLocale::English))));
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    QCOMPARE(visibleTexts(*form, host), original);
    QVERIFY(original.contains("ColorKeyPaletteCheckBox: 透過色はパレットの0番の色"));
    QVERIFY(original.contains("box: 中止しました: 1 個のファイルを書き出しました。\n出力フォルダ: " + QDir::currentPath()));
    QVERIFY(original.contains("HelpMemo: ツールチップを参照してちょ。"));
    QVERIFY(original.contains("Help1: ヘルプ(&H)"));
    QVERIFY(original.contains("PreviewGroupBox: プレビュー"));
}

void TestTranslation::fontFollowsTheLanguage()
{
    const QFont before = QApplication::font();
    QVERIFY(translation::install(translation::Language::English));
    {
        ScriptedModalHost host;
        FormEnvironment env;
        auto form = env.makeForm();
        QCOMPARE(form->font().families().value(0), QStringLiteral("DejaVu Sans"));
        QCOMPARE(QFontInfo(form->font()).family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(form->ColorKeyDialog->font(), form->font());
        // The boxes and choosers of Qt's own follow the application's font.
        applyWindowFont();
        QCOMPARE(QApplication::font().families().value(0), QStringLiteral("DejaVu Sans"));
        const QFontMetrics metrics(form->font());
        for (const QString& text : visibleTexts(*form, host))
            for (const QChar c : text.mid(text.indexOf(QLatin1String(": ")) + 2))
                if (!c.isSpace())
                    QVERIFY2(metrics.inFont(c), qPrintable(QStringLiteral("no glyph for %1 in %2").arg(c).arg(text)));
    }
    QVERIFY(translation::install(translation::Language::Japanese));
    applyWindowFont();
    QCOMPARE(QApplication::font().families().value(0), QStringLiteral("ＭＳ Ｐゴシック"));
    QApplication::setFont(before);
}

PIXWRIGHT_GUI_TEST(TestTranslation);
#include "tst_Translation.moc"
