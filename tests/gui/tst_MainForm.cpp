// The main window: its controls, its start-up calls and the rules its
// handlers keep.
#include "GuiTestSupport.h"
#include "TestMain.h"

#include "gui/FileFilter.h"
#include "gui/FolderDialog.h"
#include "gui/HelpDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTextBrowser>

class TestMainForm : public QObject {
    Q_OBJECT

private slots:
    void init() { EngineRecorder::reset(); }
    void startsWithDefaultsAndTellsEngine();
    void controlsCarryTheirNames();
    void listsHelpAndMenuTexts();
    void japaneseTextsHaveGlyphs();
    void engineErrorBoxIsNotShown();
    void previewPresetsFollowPictureSize();
    void previewOfBadFile_data();
    void previewOfBadFile();
    void unreadableFileIsRefusedLikeBadPicture();
    void leavingGridField_data();
    void leavingGridField();
    void pngSwitchesNaturalOutputBackOn();
    void suffixFieldsFollowCheckBoxes();
    void colourKeyModesAndRememberedColour();
    void openFileChooser();
    void folderChooser();
    void pixelArtModesResetSharpening_data();
    void pixelArtModesResetSharpening();
    void everyControlHasATooltip();
    void japaneseTextsAreJapaneseAndConsistent();
    void helpOpensTheBundledManual();
    void missingInputIsMarkedAndCannotConvert();
};

void TestMainForm::startsWithDefaultsAndTellsEngine()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    QCOMPARE(form->objectName(), QStringLiteral("PixwrightForm"));
    QCOMPARE(form->windowTitle(), QStringLiteral("Pixwright"));
    QVERIFY(form->CustomRadioButton->isChecked());
    QCOMPARE(form->GridXEdit->text() + "x" + form->GridYEdit->text(), QStringLiteral("16x16"));
    QVERIFY(form->GridXEdit->isEnabled() && form->GridYEdit->isEnabled() &&
            form->EraseAlphaGridCheckBox->isEnabled() && !form->EraseAlphaGridCheckBox->isChecked());
    QCOMPARE(form->InterpolationTypeComboBox->currentIndex(), 1);
    QCOMPARE(form->SharpeLevelComboBox->currentIndex(), 2);
    // A first start suits the editors' pictures: PNG, so the alpha is kept,
    // and the palette-entry-0 key, which shows the fixed colour it falls
    // back to while no picture is loaded.
    QCOMPARE(form->SaveImageTypeComboBox->currentIndex(), 1);
    QVERIFY(form->SaveNaturalCheckBox->isChecked() && form->SaveNaturalCheckBox->isEnabled());
    QVERIFY(form->NaturalSuffixEdit->isEnabled());
    QVERIFY(form->SaveColorCheckBox->isChecked() && form->ColorSuffixEdit->isEnabled());
    QVERIFY(form->SaveAlphaCheckBox->isChecked() && form->AlphaSuffixEdit->isEnabled());
    QVERIFY(form->ColorKeyPaletteCheckBox->isChecked() && !form->ColorKeyPosCheckBox->isChecked());
    QVERIFY(!form->SelectColorKeyButton->isEnabled());
    QCOMPARE(form->ColorKeyLabel->text(), QStringLiteral("#007575"));
    QVERIFY(!form->HelpMemo->isHidden() && form->OpenFileImage->isHidden());
    QVERIFY(form->OverwriteAskCheckBox->isChecked());
    // Nothing to convert yet.
    QVERIFY(!form->ConvertButton->isEnabled());
    QCOMPARE(EngineRecorder::log, QStringList({"setErrorBoxHandler(set)", "setColorKey(0,117,117)",
                                               "setColorKeyPaletteIndex(0)"}));
    QVERIFY(host.messages.empty());
    form->show();
    form->ExitButton->click();
    QVERIFY(!form->isVisible());
    form.reset();
    QCOMPARE(EngineRecorder::log.last(), QStringLiteral("setErrorBoxHandler(null)"));
}

void TestMainForm::controlsCarryTheirNames()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    const QStringList expected{
        "QGroupBox GroupBox6 ImageReplaceGroupBox GroupBox4 ImageConvertGroupBox ImageSaveGroupBox",
        "QLabel Label1 Label2 Label3 Label4 Label5 Label6 Label7 Label8 OpenFileImage",
        "QLineEdit OpenFileEdit GridXEdit GridYEdit ColorKeyLabel SaveDirEdit SaveFilePreffixEdit "
        "NaturalSuffixEdit ColorSuffixEdit AlphaSuffixEdit",
        "QPushButton OpenFileButton SelectColorKeyButton SaveDirButton ConvertButton ExitButton",
        "QRadioButton TilesetRadioButton CharsetRadioButton NoGridRadioButton CustomRadioButton",
        "QCheckBox EraseAlphaGridCheckBox ColorKeyPosCheckBox SaveNaturalCheckBox "
        "SaveColorCheckBox SaveAlphaCheckBox",
        "QComboBox InterpolationTypeComboBox SharpeLevelComboBox SaveImageTypeComboBox",
        "QPlainTextEdit HelpMemo", "QMenuBar MainMenu1", "QMenu Help1", "QAction Pixwright1",
        "TColorKeyDialog ColorKeyDialog", "TFolderDialog FolderDialog"};
    for (const QString& line : expected) {
        const QStringList words = line.split(' ');
        for (const QString& name : words.mid(1)) {
            QObject* object = form->findChild<QObject*>(name);
            QVERIFY2(object && object->inherits(qPrintable(words[0])), qPrintable(name));
        }
    }
    // Spot checks of texts that differ from what one would guess.
    QCOMPARE(form->ImageConvertGroupBox->title(), QStringLiteral("補間設定"));
    QCOMPARE(form->OpenFileButton->text(), QStringLiteral("…"));
    QCOMPARE(form->GridYEdit->toolTip(), form->GridXEdit->toolTip());
    QCOMPARE(form->SaveDirEdit->toolTip(),
             QStringLiteral("パスの最後の'\\'記号はなくても構いません。"
                            "フォルダが存在しない場合は勝手に作成します。"));
}

void TestMainForm::listsHelpAndMenuTexts()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    auto items = [&](const char* name) {
        QStringList texts;
        QComboBox* list = childNamed<QComboBox>(form.get(), name);
        for (int i = 0; list && i < list->count(); ++i)
            texts << list->itemText(i);
        return texts.join('|');
    };
    QCOMPARE(items("InterpolationTypeComboBox"),
             QStringLiteral("ニアレストネイバー|バイリニア|オリジナル|Scale2x|xBR"));
    QCOMPARE(items("SharpeLevelComboBox"),
             QStringLiteral("シャープ化を行わない|レベル１|レベル２|レベル３|レベル４|レベル５"));
    QCOMPARE(items("SaveImageTypeComboBox"),
             QStringLiteral("ＢＭＰファイル|ＰＮＧファイル|ＪＰＧファイル"));
    QCOMPARE(form->SharpeLevelComboBox->toolTip(),
             QStringLiteral("補間法によっては画像がぼけるのでその修正に使ってください。"));

    QCOMPARE(form->HelpMemo->toPlainText().split('\n'),
             QStringList({"お手軽チュートリアル", "　１、変換元の画像を指定します。",
                          "　２，画像にグリッドの大きさを決めます。",
                          "　３，補間方法＆透過色を設定します。",
                          "　４，保存先ディレクトリの設定を行います。", "",
                          "詳しくはヘルプメニューまたは", "ツールチップを参照してちょ。"}));
    QVERIFY(form->HelpMemo->isReadOnly());
    QCOMPARE(form->HelpMemo->geometry(), QRect(0, 0, 281, 129));
    QCOMPARE(form->OpenFileImage->geometry(), QRect(0, 0, 281, 129));

    QCOMPARE(childNamed<QMenu>(form.get(), "Help1")->title(), QStringLiteral("ヘルプ(&H)"));
    QCOMPARE(childNamed<QAction>(form.get(), "Pixwright1")->text(),
             QStringLiteral("Pixwrightのヘルプ"));
    QVERIFY(childNamed<QMenuBar>(form.get(), "MainMenu1"));
    QCOMPARE(form->GridModeGroup->buttons().size(), 4);
    QVERIFY(form->GridModeGroup->exclusive());
}

void TestMainForm::japaneseTextsHaveGlyphs()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    QCOMPARE(form->font().families().value(0), QStringLiteral("ＭＳ Ｐゴシック"));
    QCOMPARE(form->font().pixelSize(), 12);
    // Every character of every caption must come from the window's font or
    // its fallback, or it shows as an empty box.
    const QFontMetrics metrics(form->font());
    QString texts = form->HelpMemo->toPlainText();
    for (QLabel* label : form->findChildren<QLabel*>())
        texts += label->text();
    for (QAbstractButton* button : form->findChildren<QAbstractButton*>())
        texts += button->text();
    for (QGroupBox* group : form->findChildren<QGroupBox*>())
        texts += group->title();
    for (const QChar c : texts)
        if (!c.isSpace())
            QVERIFY2(metrics.inFont(c), qPrintable(QStringLiteral("no glyph for %1").arg(c)));
}

void TestMainForm::engineErrorBoxIsNotShown()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    // The engine's own box goes to a handler that shows nothing: the
    // window says what failed itself, once.
    QVERIFY(EngineRecorder::errorBoxHandler);
    EngineRecorder::errorBoxHandler("エラー発生！", "出力画像がありません。");
    QVERIFY(host.messages.empty());
}

void TestMainForm::previewPresetsFollowPictureSize()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    auto grid = [&] {
        return QStringLiteral("%1x%2 erase=%3 enabled=%4")
            .arg(form->GridXEdit->text(), form->GridYEdit->text())
            .arg(form->EraseAlphaGridCheckBox->isChecked())
            .arg(form->GridXEdit->isEnabled() && form->GridYEdit->isEnabled() &&
                 form->EraseAlphaGridCheckBox->isEnabled());
    };
    enterInputFile(*form, writePicture(env.path("chips.png"), patternPicture(480, 256), "PNG"));
    QVERIFY(form->TilesetRadioButton->isChecked());
    QCOMPARE(grid(), QStringLiteral("16x16 erase=1 enabled=0"));
    QVERIFY(form->HelpMemo->isHidden() && !form->OpenFileImage->isHidden());
    QVERIFY(form->OpenFileImage->hasScaledContents());
    QCOMPARE(form->OpenFileImage->pixmap().size(), QSize(480, 256));

    enterInputFile(*form, writePicture(env.path("chara.bmp"), patternPicture(288, 256), "BMP"));
    QVERIFY(form->CharsetRadioButton->isChecked());
    QCOMPARE(grid(), QStringLiteral("24x32 erase=0 enabled=0"));

    enterInputFile(*form, writePicture(env.path("other.jpg"), patternPicture(100, 100), "JPEG"));
    QVERIFY(form->CustomRadioButton->isChecked());
    QCOMPARE(grid(), QStringLiteral("24x32 erase=0 enabled=1"));

    form->OpenFileEdit->setText(env.path("nothing.png"));
    QVERIFY(!form->HelpMemo->isHidden() && form->OpenFileImage->isHidden());
    QVERIFY(form->CustomRadioButton->isChecked());
    QVERIFY(host.messages.empty());
}

void TestMainForm::previewOfBadFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("text named .png") << QByteArray("not a picture");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("truncated png") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    QTest::newRow("gif is no preview format")
        << QByteArray("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 14);
}

void TestMainForm::previewOfBadFile()
{
    QFETCH(QByteArray, bytes);
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    enterInputFile(*form, writeBytes(env.path("bad.png"), bytes));
    QCOMPARE(host.messageTexts(), QStringList{"画像を開けません。"});
    QCOMPARE(host.messages[0].owner.data(), form.get());
    QCOMPARE(host.messages[0].icon, QMessageBox::Warning);
    QCOMPARE(host.messages[0].caption, QStringLiteral("エラー発生"));
    QCOMPARE(form->OpenFileEdit->text(), QString());
    QVERIFY(!form->HelpMemo->isHidden() && form->OpenFileImage->isHidden());
}

void TestMainForm::unreadableFileIsRefusedLikeBadPicture()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    const QString path = writePicture(env.path("locked.png"), patternPicture(480, 256), "PNG");
    QFile::setPermissions(path, QFileDevice::Permissions());
    if (QFile(path).open(QIODevice::ReadOnly))
        QSKIP("this user reads files whatever their permissions");
    enterInputFile(*form, path);
    QCOMPARE(host.messageTexts(), QStringList{"画像を開けません。"});
    QVERIFY(form->OpenFileEdit->text().isEmpty() && form->CustomRadioButton->isChecked());
}

void TestMainForm::leavingGridField_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("refused");
    QTest::newRow("letters") << "GridXEdit" << "abc" << true;
    QTest::newRow("negative") << "GridXEdit" << "-3" << false;
    QTest::newRow("plus sign") << "GridYEdit" << "+8" << false;
    QTest::newRow("blanks around") << "GridYEdit" << " 12 " << false;
    QTest::newRow("empty") << "GridYEdit" << "" << true;
    QTest::newRow("trailing letter") << "GridYEdit" << "12px" << true;
    QTest::newRow("hexadecimal") << "GridXEdit" << "0x10" << true;
    QTest::newRow("past int") << "GridXEdit" << "2147483648" << true;
    QTest::newRow("full-width digits") << "GridXEdit" << "１６" << true;
}

void TestMainForm::leavingGridField()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(bool, refused);
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    auto* edit = childNamed<QLineEdit>(form.get(), qPrintable(field));
    edit->setText(typed);
    // Focus lent to the field's own context menu is no leaving.
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QCoreApplication::sendEvent(edit, &popup);
    QVERIFY(host.messages.empty());
    leaveField(edit);
    QCOMPARE(host.messageTexts(),
             refused ? QStringList{"グリッド値が整数ではありません。"} : QStringList());
    QCOMPARE(edit->text(), refused ? QStringLiteral("16") : typed);
}

void TestMainForm::pngSwitchesNaturalOutputBackOn()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    QComboBox* format = form->SaveImageTypeComboBox;
    QTest::keyClick(format, Qt::Key_Up);
    QCOMPARE(format->currentIndex(), 0);
    // A selection made from code runs no handler.
    format->setCurrentIndex(1);
    QVERIFY(!form->SaveNaturalCheckBox->isEnabled());
    format->setCurrentIndex(0);
    auto natural = [&] {
        return QStringLiteral("%1%2%3").arg(form->SaveNaturalCheckBox->isChecked())
            .arg(form->SaveNaturalCheckBox->isEnabled()).arg(form->NaturalSuffixEdit->isEnabled());
    };
    QTest::keyClick(format, Qt::Key_Down);
    QCOMPARE(format->currentIndex(), 1);
    QCOMPARE(natural(), QStringLiteral("111"));
    form->SaveNaturalCheckBox->click();
    QCOMPARE(natural(), QStringLiteral("010"));
    QTest::keyClick(format, Qt::Key_Down);
    QCOMPARE(format->currentIndex(), 2);
    QCOMPARE(natural(), QStringLiteral("000"));
    QTest::keyClick(format, Qt::Key_Up);
    QCOMPARE(natural(), QStringLiteral("111"));
}

void TestMainForm::suffixFieldsFollowCheckBoxes()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    form->SaveColorCheckBox->click();
    QVERIFY(!form->ColorSuffixEdit->isEnabled() && form->AlphaSuffixEdit->isEnabled());
    form->SaveAlphaCheckBox->setChecked(false);
    QVERIFY(!form->AlphaSuffixEdit->isEnabled());
    form->SaveColorCheckBox->click();
    QVERIFY(form->ColorSuffixEdit->isEnabled() && !form->AlphaSuffixEdit->isEnabled());
}

void TestMainForm::colourKeyModesAndRememberedColour()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    EngineRecorder::log.clear();
    form->ColorKeyPosCheckBox->click();
    QVERIFY(!form->SelectColorKeyButton->isEnabled() && !form->ColorKeyLabel->isEnabled());
    QCOMPARE(form->ColorKeyLabel->text(), QStringLiteral("#007575"));
    form->ColorKeyPosCheckBox->click();
    QVERIFY(form->SelectColorKeyButton->isEnabled() && form->ColorKeyLabel->isEnabled());

    // No input picture: the platform's colour chooser, starting at the
    // remembered colour. A cancel changes nothing.
    form->SelectColorKeyButton->click();
    QCOMPARE(host.colorOffered, QColor(0x00, 0x75, 0x75));
    host.colorAnswer = QColor(0xFF, 0x00, 0x00);
    form->SelectColorKeyButton->click();
    QCOMPARE(form->ColorKeyLabel->text(), QStringLiteral("#FF0000"));
    QCOMPARE(form->RememberedColor(), TColorValue(0x0000FF));
    form->ColorKeyPosCheckBox->setChecked(true);
    form->ColorKeyPosCheckBox->setChecked(false);
    QCOMPARE(EngineRecorder::log,
             QStringList({"setColorKeyPos(0,0)", "setColorKey(0,117,117)", "setColorKey(255,0,0)",
                          "setColorKeyPos(0,0)", "setColorKey(255,0,0)"}));
    QCOMPARE(host.colorCalls, 2);
}

void TestMainForm::openFileChooser()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    const QString chips = writePicture(env.path("chips.png"), patternPicture(480, 256), "PNG");
    host.openFileAnswer = chips;
    form->OpenFileButton->click();
    QCOMPARE(host.openFileInitialPath, QString());
    QCOMPARE(host.openFileFilter,
             QStringLiteral("すべてのファイル (*.png *.jpg *.jpeg *.bmp *.xyz);;PNG イメージファイル (*.png);;"
                            "JPEG イメージファイル (*.jpg *.jpeg);;ビットマップ (*.bmp);;XYZ イメージファイル (*.xyz)"));
    QCOMPARE(form->OpenFileEdit->text(), chips);
    QVERIFY(form->TilesetRadioButton->isChecked());
    host.openFileAnswer.clear();
    form->OpenFileButton->click();
    QCOMPARE(host.openFileInitialPath, chips);
    QCOMPARE(form->OpenFileEdit->text(), chips);
    QCOMPARE(qtFileFilter(QStringLiteral("Any|*.a;*.b|Bare|*.c")),
             QStringLiteral("Any (*.a *.b);;Bare (*.c)"));
}

void TestMainForm::folderChooser()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    host.folderAnswer = QStringLiteral("/srv/出力");
    form->SaveDirButton->click();
    QCOMPARE(host.folderTitle, QStringLiteral("出力フォルダを指定して下さい。"));
    QCOMPARE(host.folderInitialPath, QString());
    QCOMPARE(form->SaveDirEdit->text(), QStringLiteral("/srv/出力"));
    host.folderAnswer.clear();
    form->SaveDirButton->click();
    QCOMPARE(host.folderInitialPath, QStringLiteral("/srv/出力"));
    QCOMPARE(form->SaveDirEdit->text(), QStringLiteral("/srv/出力"));
    QCOMPARE(form->FolderDialog->FolderPath, QString());
    QCOMPARE(host.folderCalls, 2);
}

void TestMainForm::pixelArtModesResetSharpening_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("level");
    QTest::newRow("nearest keeps it") << 0 << 2;
    QTest::newRow("original keeps it") << 2 << 2;
    QTest::newRow("scale2x") << 3 << 0;
    QTest::newRow("xbr") << 4 << 0;
}

void TestMainForm::pixelArtModesResetSharpening()
{
    QFETCH(int, mode);
    QFETCH(int, level);
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    QComboBox* list = form->InterpolationTypeComboBox;
    QCOMPARE(form->SharpeLevelComboBox->currentIndex(), 2);
    // Chosen as a user does, from the list one step at a time.
    while (list->currentIndex() != mode)
        QTest::keyClick(list, list->currentIndex() < mode ? Qt::Key_Down : Qt::Key_Up);
    QCOMPARE(form->SharpeLevelComboBox->currentIndex(), level);
    // The user may raise it again; it stays.
    QTest::keyClick(form->SharpeLevelComboBox, Qt::Key_Down);
    QCOMPARE(form->SharpeLevelComboBox->currentIndex(), level + 1);
    QCOMPARE(list->currentIndex(), mode);
}

void TestMainForm::everyControlHasATooltip()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    QStringList missing;
    const auto check = [&](QWidget* widget) {
        if (widget->toolTip().isEmpty())
            missing << widget->objectName() + QLatin1Char(' ') + widget->metaObject()->className();
    };
    for (QAbstractButton* button : form->findChildren<QAbstractButton*>())
        if (!button->objectName().isEmpty() && !button->objectName().startsWith(QLatin1String("qt_")))
            check(button);
    for (QLineEdit* edit : form->findChildren<QLineEdit*>())
        check(edit);
    for (QComboBox* list : form->findChildren<QComboBox*>())
        check(list);
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(", ")));
}

void TestMainForm::japaneseTextsAreJapaneseAndConsistent()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    QStringList texts;
    for (QLabel* label : form->findChildren<QLabel*>())
        texts << label->text();
    for (QAbstractButton* button : form->findChildren<QAbstractButton*>())
        texts << button->text();
    for (QGroupBox* group : form->findChildren<QGroupBox*>())
        texts << group->title();
    for (QWidget* widget : form->findChildren<QWidget*>())
        texts << widget->toolTip();
    // Only the names of things stay in Latin letters.
    static const QRegularExpression names(QStringLiteral("Scale2x|xBR|PNG|OK|RRGGBB|Pixwright"));
    static const QRegularExpression latin(QStringLiteral("[A-Za-z]{2,}"));
    for (const QString& text : texts) {
        QVERIFY2(!QString(text).remove(names).contains(latin), qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("補完")), qPrintable(text));
    }
    QCOMPARE(form->NaturalSuffixLabel->text(), QStringLiteral("サフィックス:"));
    QCOMPARE(form->Label3->text(), QStringLiteral("補間モード"));
    QCOMPARE(form->ImageConvertGroupBox->title(), QStringLiteral("補間設定"));
}

void TestMainForm::helpOpensTheBundledManual()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    form->show();
    form->Pixwright1->trigger();
    QVERIFY(form->HelpDialog && form->HelpDialog->isVisible());
    QCOMPARE(form->HelpDialog->windowTitle(), QStringLiteral("Pixwrightのヘルプ"));
    const QString page = form->HelpDialog->HelpBrowser->toPlainText();
    QVERIFY2(page.contains(QStringLiteral("シャープ化は色を増やします")), qPrintable(page.left(200)));
    QVERIFY(page.contains(QStringLiteral("Scale2x")));
    QVERIFY(!form->HelpDialog->HelpBrowser->openExternalLinks());
    // A second call shows the same dialog again.
    THelpDialog* first = form->HelpDialog;
    form->HelpDialog->close();
    form->Pixwright1->trigger();
    QCOMPARE(form->HelpDialog, first);
    QVERIFY(first->isVisible());
    // Both languages are in the program.
    for (const auto language : {translation::Language::Japanese, translation::Language::English}) {
        QFile file(THelpDialog::pageFor(language));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("Scale2x"));
    }
    QVERIFY(host.messages.empty());
}

void TestMainForm::missingInputIsMarkedAndCannotConvert()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    form->show();
    enterInputFile(*form, env.path("gone.png"));
    QVERIFY(form->OpenFileStatusLabel->isVisible());
    QVERIFY(!form->OpenFileEdit->styleSheet().isEmpty());
    QVERIFY(!form->ConvertButton->isEnabled());
    enterInputFile(*form, writePicture(env.path("here.png"), patternPicture(5, 3), "PNG"));
    QVERIFY(!form->OpenFileStatusLabel->isVisible());
    QVERIFY(form->OpenFileEdit->styleSheet().isEmpty());
    QVERIFY(form->ConvertButton->isEnabled());
    // An empty field is no mistake, but nothing is loaded either.
    enterInputFile(*form, QString());
    QVERIFY(!form->OpenFileStatusLabel->isVisible());
    QVERIFY(!form->ConvertButton->isEnabled());
    QVERIFY(host.messages.empty());
}

PIXWRIGHT_GUI_TEST(TestMainForm);
#include "tst_MainForm.moc"
