// The convert button: the sixteen engine arguments, the messages, and one
// conversion through the real engine.
#include "GuiTestSupport.h"
#include "TestMain.h"

#include "gui/PreviewView.h"
#include "gui/Translation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

class TestConvert : public QObject {
    Q_OBJECT

private slots:
    void init() { EngineRecorder::reset(); }
    void passesSixteenArguments_data();
    void passesSixteenArguments();
    void engineFailureAndBadGrid();
    void realConversionWritesFiles();
    void realEngineErrorGoesThroughHost();
    void failureSaysWhatWhereAndWhy_data();
    void failureSaysWhatWhereAndWhy();
    void realFailuresInBothLanguages_data();
    void realFailuresInBothLanguages();
    void overwriteIsAskedOncePerConversion();
    void endListsTheFilesAndOpensTheFolder();
};

void TestConvert::passesSixteenArguments_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("preset");
    QTest::addColumn<int>("gridWidth");
    QTest::addColumn<int>("gridHeight");
    QTest::addColumn<int>("erase");
    QTest::newRow("chipset") << "TilesetRadioButton" << 1 << 16 << 16 << 1;
    QTest::newRow("charset") << "CharsetRadioButton" << 1 << 24 << 32 << 0;
    QTest::newRow("no grid") << "NoGridRadioButton" << 0 << 0 << 0 << 0;
    QTest::newRow("custom") << "CustomRadioButton" << 0 << -3 << 5 << 1;
}

void TestConvert::passesSixteenArguments()
{
    QFETCH(QString, mode);
    QFETCH(int, preset);
    QFETCH(int, gridWidth);
    QFETCH(int, gridHeight);
    QFETCH(int, erase);
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    const QString input = writePicture(env.path("絵.png"), patternPicture(7, 5), "PNG");
    enterInputFile(*form, input);
    form->SaveDirEdit->setText(QStringLiteral("/out/出力"));
    form->SaveFilePreffixEdit->setText(QStringLiteral("名"));
    form->GridXEdit->setText(QStringLiteral("-3"));
    form->GridYEdit->setText(QStringLiteral(" 5"));
    form->EraseAlphaGridCheckBox->setChecked(true);
    childNamed<QRadioButton>(form.get(), qPrintable(mode))->click();
    form->SharpeLevelComboBox->setCurrentIndex(4);
    form->InterpolationTypeComboBox->setCurrentIndex(2);
    form->NaturalSuffixEdit->setText(QStringLiteral("n"));
    form->ColorSuffixEdit->setText(QStringLiteral("色"));
    form->SaveAlphaCheckBox->click();
    QVERIFY(convertAndWait(*form));

    QCOMPARE(EngineRecorder::converts.size(), size_t(1));
    const ConvertCall& call = EngineRecorder::converts[0];
    QCOMPARE(call.sourcePath, input.toUtf8());
    QCOMPARE(call.outputFolder, QStringLiteral("/out/出力").toUtf8());
    QCOMPARE(call.outputName, QStringLiteral("名").toUtf8());
    QCOMPARE(call.editorPreset, preset);
    QCOMPARE(call.gridWidth, gridWidth);
    QCOMPARE(call.gridHeight, gridHeight);
    QCOMPARE(call.sharpenLevel, 4);
    QCOMPARE(call.eraseAlphaGrid, erase);
    QCOMPARE(call.interpolation, 2);
    QCOMPARE(call.outputFormat, 1);
    QCOMPARE(call.saveNatural, 1);
    QCOMPARE(call.naturalSuffix, QByteArray("n"));
    QCOMPARE(call.saveColor, 1);
    QCOMPARE(call.colorSuffix, QByteArray("\xe8\x89\xb2"));
    QCOMPARE(call.saveAlpha, 0);
    QCOMPARE(call.alphaSuffix, QByteArray("alpha"));
    QCOMPARE(call.buttonCaption, QStringLiteral("変換中"));
    QVERIFY(!call.buttonEnabled);
    QCOMPARE(form->ConvertButton->text(), QStringLiteral("変換開始"));
    QVERIFY(form->ConvertButton->isEnabled());
    QCOMPARE(host.messageTexts(), QStringList{"画像の変換に成功しました。\n1 個のファイルを /out/出力 に書き出しました。"});
    QCOMPARE(host.messages[0].icon, QMessageBox::Information);
    QCOMPARE(host.messages[0].owner.data(), form.get());
}

void TestConvert::engineFailureAndBadGrid()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    EngineRecorder::convertResult = 4;
    EngineRecorder::failure.kind = PIXWRIGHT_FAILURE_REQUEST;
    enterInputFile(*form, writePicture(env.path("in.png"), patternPicture(7, 5), "PNG"));
    for (QCheckBox* box : {form->SaveNaturalCheckBox, form->SaveColorCheckBox, form->SaveAlphaCheckBox})
        box->click();
    QVERIFY(convertAndWait(*form));
    QCOMPARE(EngineRecorder::converts.size(), size_t(1));
    QCOMPARE(EngineRecorder::converts[0].saveNatural + EngineRecorder::converts[0].saveColor +
                 EngineRecorder::converts[0].saveAlpha,
             0);
    QCOMPARE(host.messageTexts(),
             QStringList{"出力する画像がありません。アルファチャネル付き、無し、のみのどれかを選んでください。"});
    QCOMPARE(host.messages[0].icon, QMessageBox::Warning);
    QCOMPARE(host.messages[0].caption, QStringLiteral("エラー発生"));
    QVERIFY(form->ConvertButton->isEnabled());
    QCOMPARE(form->ConvertButton->text(), QStringLiteral("変換開始"));

    // A grid field that is no number stops before the engine is called.
    host.messages.clear();
    form->GridYEdit->setText(QStringLiteral("1.5"));
    QVERIFY(convertAndWait(*form));
    QCOMPARE(EngineRecorder::converts.size(), size_t(1));
    QCOMPARE(host.messageTexts(), QStringList{"グリッド値が整数ではありません。"});
    QCOMPARE(form->GridYEdit->text(), QStringLiteral("1.5"));
}

void TestConvert::realConversionWritesFiles()
{
    ScriptedModalHost host;
    FormEnvironment env;
    TFormContext context = env.context();
    context.engine = TEngineCalls::exports();
    TPixwrightForm form(context);
    // 7 x 5, with two pixels in the start-up transparent colour (0,75,75).
    QImage picture = patternPicture(7, 5);
    picture.setPixel(0, 0, qRgb(0x00, 0x75, 0x75));
    picture.setPixel(6, 4, qRgb(0x00, 0x75, 0x75));
    enterInputFile(form, writePicture(env.path("tiny.png"), picture, "PNG"));
    form.NoGridRadioButton->click();
    form.InterpolationTypeComboBox->setCurrentIndex(0);
    form.SharpeLevelComboBox->setCurrentIndex(0);
    const QString out = env.path("出力");
    form.SaveDirEdit->setText(out);
    QVERIFY(convertAndWait(form));
    QCOMPARE(host.messageTexts(), QStringList{"画像の変換に成功しました。\n3 個のファイルを " + out + " に書き出しました。"});

    QCOMPARE(QDir(out).entryList(QDir::Files),
             QStringList({"tiny.png", "tiny_alpha.png", "tiny_color.png"}));
    const QImage natural(QDir(out).filePath("tiny.png"));
    const QImage alpha(QDir(out).filePath("tiny_alpha.png"));
    QCOMPARE(natural.size(), QSize(14, 10));
    QCOMPARE(alpha.size(), QSize(14, 10));
    // Nearest neighbour: target (2x, 2y) is source (x, y); the key colour
    // turns transparent.
    QCOMPARE(natural.pixel(2 * 3, 2 * 2), picture.pixel(3, 2));
    QCOMPARE(natural.pixel(2 * 5, 2 * 1), picture.pixel(5, 1));
    QCOMPARE(qAlpha(natural.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(natural.pixel(12, 8)), 0);
    QCOMPARE(qGray(alpha.pixel(0, 0)), 0);
    QCOMPARE(qGray(alpha.pixel(6, 4)), 255);
}

void TestConvert::realEngineErrorGoesThroughHost()
{
    ScriptedModalHost host;
    FormEnvironment env;
    TFormContext context = env.context();
    context.engine = TEngineCalls::exports();
    TPixwrightForm form(context);
    enterInputFile(form, writePicture(env.path("tiny.png"), patternPicture(3, 2), "PNG"));
    QVERIFY(convertAndWait(form));
    // One box, the window's, with the warning icon.
    QCOMPARE(host.messageTexts(), QStringList{"出力フォルダが指定されていません。"});
    QCOMPARE(host.messages[0].icon, QMessageBox::Warning);
    QCOMPARE(host.messages[0].caption, QStringLiteral("エラー発生"));
    QCOMPARE(host.messages[0].owner.data(), &form);
}

void TestConvert::failureSaysWhatWhereAndWhy_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("other");
    QTest::addColumn<QString>("japanese");
    QTest::addColumn<QString>("english");
    QTest::newRow("write") << 21 << PIXWRIGHT_FAILURE_NOT_WRITTEN << "/out/World_00.png" << "Permission denied" << ""
                           << "'/out/World_00.png' に書き込めません: Permission denied"
                           << "Cannot write '/out/World_00.png': Permission denied";
    QTest::newRow("open") << 10 << PIXWRIGHT_FAILURE_SOURCE_NOT_OPENED << "/home/u/x.png"
                          << "No such file or directory" << ""
                          << "'/home/u/x.png' を開けません: No such file or directory"
                          << "Cannot open '/home/u/x.png': No such file or directory";
    QTest::newRow("parent") << 8 << PIXWRIGHT_FAILURE_FOLDER_NO_PARENT << "/a/b/c" << "No such file or directory"
                            << "/a/b" << "出力フォルダ '/a/b/c' を作れません: 親フォルダ '/a/b' がありません。"
                            << "The output folder '/a/b/c' cannot be made: its parent '/a/b' does not exist";
    QTest::newRow("decode") << 10 << PIXWRIGHT_FAILURE_SOURCE_NOT_DECODED << "/in/b.png" << "Not a PNG file" << ""
                            << "'/in/b.png' を画像として読めません: Not a PNG file"
                            << "Cannot read '/in/b.png' as a picture: Not a PNG file";
    QTest::newRow("request") << 5 << PIXWRIGHT_FAILURE_REQUEST << "" << "" << ""
                             << "二つの出力のサフィックスが同じです（大文字と小文字は区別しません）。"
                             << "Two outputs have the same suffix (letter case does not count).";
}

void TestConvert::failureSaysWhatWhereAndWhy()
{
    QFETCH(int, code);
    QFETCH(int, kind);
    QFETCH(QString, path);
    QFETCH(QString, reason);
    QFETCH(QString, other);
    QFETCH(QString, japanese);
    QFETCH(QString, english);
    for (const auto language : {translation::Language::Japanese, translation::Language::English}) {
        QVERIFY(translation::install(language));
        EngineRecorder::reset(code);
        EngineRecorder::failure.kind = kind;
        qstrncpy(EngineRecorder::failure.path, path.toUtf8().constData(), sizeof EngineRecorder::failure.path);
        qstrncpy(EngineRecorder::failure.reason, reason.toUtf8().constData(), sizeof EngineRecorder::failure.reason);
        qstrncpy(EngineRecorder::failure.other, other.toUtf8().constData(), sizeof EngineRecorder::failure.other);
        ScriptedModalHost host;
        FormEnvironment env;
        auto form = env.makeForm();
        enterInputFile(*form, writePicture(env.path("in.png"), patternPicture(7, 5), "PNG"));
        // The engine's own box text reaches the handler and is not shown.
        EngineRecorder::errorBoxHandler("エラー発生！", "画像ファイルの保存に失敗しました。");
        QVERIFY(convertAndWait(*form));
        // One box, with the warning icon, in the window's language.
        QCOMPARE(host.messageTexts(),
                 QStringList{language == translation::Language::Japanese ? japanese : english});
        QCOMPARE(host.messages[0].icon, QMessageBox::Warning);
        QCOMPARE(host.messages[0].owner.data(), form.get());
        QCOMPARE(host.messages[0].caption, language == translation::Language::Japanese ? QStringLiteral("エラー発生")
                                                                                      : QStringLiteral("Error"));
    }
    QVERIFY(translation::install(translation::Language::Japanese));
}

void TestConvert::realFailuresInBothLanguages_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("japanese");
    QTest::addColumn<QString>("english");
    QTest::newRow("input gone") << "input gone" << "'%1/in.png' を開けません: No such file or directory"
                                << "Cannot open '%1/in.png': No such file or directory";
    QTest::newRow("folder two deep") << "folder two deep"
                                     << "出力フォルダ '%1/a/b/c' を作れません: 親フォルダ '%1/a/b' がありません。"
                                     << "The output folder '%1/a/b/c' cannot be made: its parent '%1/a/b' does not exist";
    QTest::newRow("read-only folder") << "read-only folder" << "'%1/ro/in.png' に書き込めません: Permission denied"
                                      << "Cannot write '%1/ro/in.png': Permission denied";
}

void TestConvert::realFailuresInBothLanguages()
{
    QFETCH(QString, failure);
    QFETCH(QString, japanese);
    QFETCH(QString, english);
    for (const auto language : {translation::Language::Japanese, translation::Language::English}) {
        QVERIFY(translation::install(language));
        ScriptedModalHost host;
        FormEnvironment env;
        TFormContext context = env.context();
        context.engine = TEngineCalls::exports();
        TPixwrightForm form(context);
        const QString input = writePicture(env.path("in.png"), patternPicture(7, 5), "PNG");
        enterInputFile(form, input);
        form.SaveDirEdit->setText(env.path("out"));
        if (failure == "input gone") {
            QFile::remove(input);
        } else if (failure == "folder two deep") {
            form.SaveDirEdit->setText(env.path("a/b/c"));
        } else {
            QDir().mkpath(env.path("ro"));
            QFile::setPermissions(env.path("ro"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            if (QFile(env.path("ro/probe")).open(QIODevice::WriteOnly))
                QSKIP("this user writes into any folder");
            form.SaveDirEdit->setText(env.path("ro"));
        }
        QVERIFY(convertAndWait(form));
        const QString expected = (language == translation::Language::Japanese ? japanese : english).arg(env.path(""));
        QCOMPARE(host.messageTexts(), QStringList{QString(expected).replace(QStringLiteral("//"), QStringLiteral("/"))});
        QCOMPARE(host.messages[0].icon, QMessageBox::Warning);
        QFile::setPermissions(env.path("ro"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    QVERIFY(translation::install(translation::Language::Japanese));
}

void TestConvert::overwriteIsAskedOncePerConversion()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    enterInputFile(*form, writePicture(env.path("in.png"), patternPicture(7, 5), "PNG"));
    form->SaveDirEdit->setText(env.path("out"));
    EngineRecorder::planned = QStringList{env.path("out/in.png"), env.path("out/in_color.png"),
                                          env.path("out/in_alpha.png")};
    // Nothing there yet: no question.
    QVERIFY(convertAndWait(*form));
    QCOMPARE(host.yesNoCalls, 0);
    QCOMPARE(EngineRecorder::converts.size(), size_t(1));

    writeBytes(env.path("out/in.png"), "old");
    writeBytes(env.path("out/in_alpha.png"), "old");
    host.messages.clear();
    QVERIFY(convertAndWait(*form));
    QCOMPARE(host.yesNoCalls, 1);
    QCOMPARE(host.messages.size(), size_t(1));
    QCOMPARE(host.messages[0].caption, QStringLiteral("上書きの確認"));
    QCOMPARE(host.messages[0].owner.data(), form.get());
    QCOMPARE(host.messages[0].text, "2 個のファイルが既にあります。上書きしますか？\n\n" + env.path("out/in.png") + "\n" +
                                        env.path("out/in_alpha.png"));
    // Refused: nothing converted, the button as before.
    QCOMPARE(EngineRecorder::converts.size(), size_t(1));
    QVERIFY(form->ConvertButton->isEnabled());
    QCOMPARE(form->ConvertButton->text(), QStringLiteral("変換開始"));
    QVERIFY(!form->IsConverting());

    // Allowed: asked once, then converted.
    host.yesNoAnswer = true;
    host.messages.clear();
    QVERIFY(convertAndWait(*form));
    QCOMPARE(host.yesNoCalls, 2);
    QCOMPARE(EngineRecorder::converts.size(), size_t(2));
    QCOMPARE(host.messages.size(), size_t(2));

    // Switched off: never asked.
    form->OverwriteAskCheckBox->click();
    QVERIFY(convertAndWait(*form));
    QCOMPARE(host.yesNoCalls, 2);
    QCOMPARE(EngineRecorder::converts.size(), size_t(3));
}

void TestConvert::endListsTheFilesAndOpensTheFolder()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    enterInputFile(*form, writePicture(env.path("in.png"), patternPicture(7, 5), "PNG"));
    form->SaveDirEdit->setText(env.path("out"));
    QStringList planned;
    for (int cell = 0; cell < 4; ++cell)
        planned << env.path(QStringLiteral("out/in_%1.png").arg(cell, 2, 10, QLatin1Char('0')));
    EngineRecorder::planned = planned;
    // The engine reports three files written before it ends.
    EngineRecorder::cells = 3;
    host.actionAnswer = true;
    QVERIFY(convertAndWait(*form));
    QCOMPARE(host.messageTexts(),
             QStringList{"画像の変換に成功しました。\n3 個のファイルを " + env.path("out") + " に書き出しました。"});
    QCOMPARE(host.actionLabel, QStringLiteral("フォルダを開く"));
    QCOMPARE(host.openedFolders, QStringList{env.path("out")});
    QCOMPARE(form->Preview->PreviewResultList->count(), 3);
    QCOMPARE(form->Preview->PreviewResultList->item(2)->text(), QStringLiteral("in_02.png"));
    // Not asked to: the folder stays closed.
    host.actionAnswer = false;
    QVERIFY(convertAndWait(*form));
    QCOMPARE(host.openedFolders.size(), 1);
}

PIXWRIGHT_GUI_TEST(TestConvert);
#include "tst_Convert.moc"
