// Conversions on the worker thread: the same files as a call on the main
// thread, cancelling between cells, the engine's error box on the GUI
// thread, and closing the window while the engine runs.
#include "GuiTestSupport.h"
#include "TestMain.h"

#include "gui/ConversionWorker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSemaphore>
#include <QSignalSpy>

#include <atomic>
#include <map>

namespace {

// Every file of folder by name, with its bytes.
std::map<QString, QByteArray> filesIn(const QString& folder)
{
    std::map<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files)) {
        QFile file(QDir(folder).filePath(name));
        if (file.open(QIODevice::ReadOnly))
            files[name] = file.readAll();
    }
    return files;
}

// A form over the real engine with a chipset-sized input picture loaded,
// writing PNG files to out under the name "chips".
std::unique_ptr<TPixwrightForm> chipsetForm(const FormEnvironment& env, const QString& out)
{
    TFormContext context = env.context();
    context.engine = TEngineCalls::exports();
    auto form = std::make_unique<TPixwrightForm>(context);
    enterInputFile(*form, writePicture(env.path("chips.png"), patternPicture(480, 256), "PNG"));
    form->SaveDirEdit->setText(out);
    form->SaveFilePreffixEdit->setText(QStringLiteral("chips"));
    return form;
}

// The request the chipset form above makes.
TConversionRequest chipsetRequest(const FormEnvironment& env, const QString& out)
{
    TConversionRequest request;
    request.sourcePath = env.path("chips.png").toUtf8();
    request.outputFolder = out.toUtf8();
    request.outputName = "chips";
    request.editorPreset = 1;
    request.gridWidth = request.gridHeight = 16;
    request.sharpenLevel = 2;
    request.eraseAlphaGrid = 1;
    request.interpolation = 1;
    request.outputFormat = 1;
    request.saveNatural = 1;
    request.saveColor = 1;
    request.colorSuffix = "color";
    request.saveAlpha = 1;
    request.alphaSuffix = "alpha";
    return request;
}

} // namespace

class TestConversionWorker : public QObject {
    Q_OBJECT

private slots:
    void init() { EngineRecorder::reset(); }
    void settingsLockedWhileEngineRunsOnWorker();
    void workerWritesTheFilesOfADirectCall();
    void cancelStopsBetweenCellsKeepingFiles();
    void engineErrorBoxOnceOnGuiThread();
    void closingWhileConvertingCancelsThenCloses();
};

void TestConversionWorker::settingsLockedWhileEngineRunsOnWorker()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    enterInputFile(*form, writePicture(env.path("in.png"), patternPicture(5, 3), "PNG"));
    form->SaveColorCheckBox->click();
    EngineRecorder::cells = 4;
    std::vector<std::pair<int, int>> reported;
    connect(form->ConversionWorker, &TConversionWorker::progressed, form.get(),
            [&](int done, int total) { reported.emplace_back(done, total); });
    form->ConvertButton->click();
    QVERIFY(form->IsConverting());
    QVERIFY(waitForConversion(*form));
    QCOMPARE(EngineRecorder::converts.size(), size_t(1));
    const ConvertCall& call = EngineRecorder::converts[0];
    QVERIFY(call.thread != form->thread());
    QVERIFY(!call.settingsEnabled);
    QVERIFY(call.progressShown);
    QCOMPARE(reported, (std::vector<std::pair<int, int>>{{0, 4}, {1, 4}, {2, 4}, {3, 4}, {4, 4}}));
    QCOMPARE(form->ConversionProgress->ConvertProgressBar->value(), 4);
    QCOMPARE(form->ConversionProgress->ConvertProgressBar->maximum(), 4);
    QVERIFY(form->ConversionProgress->isHidden());
    for (QGroupBox* group : {form->GroupBox6, form->ImageReplaceGroupBox, form->ImageConvertGroupBox,
                             form->ImageSaveGroupBox})
        QVERIFY(group->isEnabled());
    // Controls disabled by their own rules stay disabled after the groups
    // come back.
    QVERIFY(!form->ColorSuffixEdit->isEnabled());
    QCOMPARE(host.messages.size(), size_t(1));
    QVERIFY(host.messages[0].text.startsWith(QStringLiteral("画像の変換に成功しました。\n4 個のファイルを ")));
    QVERIFY(!EngineRecorder::progressHandler);
}

void TestConversionWorker::workerWritesTheFilesOfADirectCall()
{
    ScriptedModalHost host;
    FormEnvironment env;
    const QString direct = env.path("direct");
    const QString worker = env.path("worker");
    auto form = chipsetForm(env, worker);
    QVERIFY(form->TilesetRadioButton->isChecked());
    QVERIFY(convertAndWait(*form));
    QCOMPARE(host.messageTexts(), QStringList{"画像の変換に成功しました。\n54 個のファイルを " + worker + " に書き出しました。"});
    QCOMPARE(chipsetRequest(env, direct).run(TEngineCalls::exports()), 0);

    const auto expected = filesIn(direct);
    // 18 cells of the chipset preset, three files each.
    QCOMPARE(expected.size(), size_t(54));
    QVERIFY(expected.count("chips_00.png") && expected.count("chips_17_alpha.png"));
    QVERIFY(filesIn(worker) == expected);
}

void TestConversionWorker::cancelStopsBetweenCellsKeepingFiles()
{
    ScriptedModalHost host;
    FormEnvironment env;
    const QString whole = env.path("whole");
    const QString part = env.path("part");
    auto form = chipsetForm(env, part);
    QCOMPARE(chipsetRequest(env, whole).run(TEngineCalls::exports()), 0);
    // Runs on the worker thread inside the engine's progress call, so the
    // cancel is seen at exactly this cell boundary.
    connect(form->ConversionWorker, &TConversionWorker::progressed, form->ConversionWorker,
            [&](int done, int) {
                if (done == 3)
                    form->ConversionWorker->cancel();
            }, Qt::DirectConnection);
    QSignalSpy ended(form.get(), &TPixwrightForm::ConversionFinished);
    QVERIFY(convertAndWait(*form));
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended[0][0].toInt(), PIXWRIGHT_RESULT_CANCELLED);
    QCOMPARE(host.messageTexts(), QStringList{"中止しました: 9 個のファイルを書き出しました。\n出力フォルダ: " + part});
    QCOMPARE(host.messages[0].icon, QMessageBox::Information);

    std::map<QString, QByteArray> expected;
    for (const auto& [name, bytes] : filesIn(whole))
        if (name < QStringLiteral("chips_03"))
            expected[name] = bytes;
    QCOMPARE(expected.size(), size_t(9));
    const auto written = filesIn(part);
    QCOMPARE(written.size(), expected.size());
    QVERIFY(written == expected);
    // Nothing half-written is left beside them.
    QDirIterator leftovers(part, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    int entries = 0;
    for (; leftovers.hasNext(); leftovers.next())
        ++entries;
    QCOMPARE(entries, 9);
    QVERIFY(form->ConvertButton->isEnabled() && form->ImageSaveGroupBox->isEnabled());
}

void TestConversionWorker::engineErrorBoxOnceOnGuiThread()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = chipsetForm(env, QString());
    QVERIFY(convertAndWait(*form));
    QCOMPARE(host.messageTexts(),
             QStringList({"出力フォルダが指定されていません。", "画像変換に失敗しました。"}));
    QCOMPARE(host.messages[0].caption, QStringLiteral("エラー発生！"));
    QVERIFY(!host.messages[0].hadOwner);
    for (const RecordedMessage& message : host.messages)
        QCOMPARE(message.thread, form->thread());
}

void TestConversionWorker::closingWhileConvertingCancelsThenCloses()
{
    ScriptedModalHost host;
    FormEnvironment env;
    const QString out = env.path("out");
    auto form = chipsetForm(env, out);
    form->show();
    QSemaphore gate;
    std::atomic<bool> atFirstCell{false};
    connect(form->ConversionWorker, &TConversionWorker::progressed, form->ConversionWorker,
            [&](int done, int) {
                if (done == 1) {
                    atFirstCell = true;
                    gate.acquire();
                }
            }, Qt::DirectConnection);
    QSignalSpy ended(form.get(), &TPixwrightForm::ConversionFinished);
    form->ConvertButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(atFirstCell, 30000);
    // The engine is held inside the first cell's report: the window goes at
    // once, and is closed for good once the engine has stopped.
    const bool closed = form->close();
    const bool visible = form->isVisible();
    gate.release();
    QVERIFY(!closed);
    QVERIFY(!visible);
    QVERIFY(ended.wait(30000));
    QCOMPARE(ended[0][0].toInt(), PIXWRIGHT_RESULT_CANCELLED);
    QVERIFY(!form->isVisible());
    QVERIFY(host.messages.empty());
    // The first cell's files only.
    QCOMPARE(QDir(out).entryList(QDir::Files),
             QStringList({"chips_00.png", "chips_00_alpha.png", "chips_00_color.png"}));
}

PIXWRIGHT_GUI_TEST(TestConversionWorker);
#include "tst_ConversionWorker.moc"
