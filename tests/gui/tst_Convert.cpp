// The convert button: the sixteen engine arguments, the messages, and one
// conversion through the real engine.
#include "GuiTestSupport.h"
#include "TestMain.h"

#include "gui/PreviewView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
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
    enterInputFile(*form, writePicture(env.path("in.png"), patternPicture(7, 5), "PNG"));
    for (QCheckBox* box : {form->SaveNaturalCheckBox, form->SaveColorCheckBox, form->SaveAlphaCheckBox})
        box->click();
    QVERIFY(convertAndWait(*form));
    QCOMPARE(EngineRecorder::converts.size(), size_t(1));
    QCOMPARE(EngineRecorder::converts[0].saveNatural + EngineRecorder::converts[0].saveColor +
                 EngineRecorder::converts[0].saveAlpha,
             0);
    QCOMPARE(host.messageTexts(), QStringList{"画像変換に失敗しました。"});
    QCOMPARE(host.messages[0].icon, QMessageBox::Question);
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
    QCOMPARE(host.messageTexts(),
             QStringList({"出力フォルダが指定されていません。", "画像変換に失敗しました。"}));
    QVERIFY(!host.messages[0].hadOwner);
    QCOMPARE(host.messages[0].icon, QMessageBox::Critical);
    QCOMPARE(host.messages[0].caption, QStringLiteral("エラー発生！"));
    QCOMPARE(host.messages[1].owner.data(), &form);
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
