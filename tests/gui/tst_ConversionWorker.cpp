// Conversions on the worker thread: the same files as a call on the main
// thread, cancelling between cells, the engine's error box on the GUI
// thread, and closing the window while the engine runs.
#include "GuiTestSupport.h"
#include "TestMain.h"

#include "gui/ConversionWorker.h"
#include "gui/PreviewView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QListWidget>
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
    void stopEndsALargePictureAtOnce();
};

void TestConversionWorker::settingsLockedWhileEngineRunsOnWorker()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    enterInputFile(*form, writePicture(env.path("in.png"), patternPicture(5, 3), "PNG"));
    form->SaveColorCheckBox->click();
    EngineRecorder::cells = 4;
    std::vector<std::pair<qint64, qint64>> reported;
    connect(form->ConversionWorker, &TConversionWorker::progressed, form.get(),
            [&](qint64 done, qint64 total) { reported.emplace_back(done, total); });
    form->ConvertButton->click();
    QVERIFY(form->IsConverting());
    QVERIFY(waitForConversion(*form));
    QCOMPARE(EngineRecorder::converts.size(), size_t(1));
    const ConvertCall& call = EngineRecorder::converts[0];
    QVERIFY(call.thread != form->thread());
    QVERIFY(!call.settingsEnabled);
    QVERIFY(call.progressShown);
    QCOMPARE(reported, (std::vector<std::pair<qint64, qint64>>{{0, 4}, {1, 4}, {2, 4}, {3, 4}, {4, 4}}));
    // In thousandths of the work, whatever its units.
    QCOMPARE(form->ConversionProgress->ConvertProgressBar->value(), 1000);
    QCOMPARE(form->ConversionProgress->ConvertProgressBar->maximum(), 1000);
    QVERIFY(form->ConversionProgress->isHidden());
    for (QGroupBox* group : {form->GroupBox6, form->ImageReplaceGroupBox, form->ImageConvertGroupBox,
                             form->ImageSaveGroupBox})
        QVERIFY(group->isEnabled());
    // Controls disabled by their own rules stay disabled after the groups
    // come back.
    QVERIFY(!form->ColorSuffixEdit->isEnabled());
    QCOMPARE(host.messages.size(), size_t(1));
    QVERIFY(host.messages[0].text.startsWith(QStringLiteral("画像の変換に成功しました。\n4 個のファイルを ")));
    QVERIFY(!EngineRecorder::workHandler);
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
    // cancel is seen at the report that says nine files are whole. On one
    // thread every band is reported as it ends, so that report comes before
    // the last one.
    setThreadCount(1);
    std::atomic<int> wholeAtCancel{-1};
    connect(form->ConversionWorker, &TConversionWorker::progressed, form->ConversionWorker,
            [&](qint64, qint64, int files) {
                if (files >= 9 && wholeAtCancel < 0) {
                    wholeAtCancel = files;
                    form->ConversionWorker->cancel();
                }
            }, Qt::DirectConnection);
    QSignalSpy ended(form.get(), &TPixwrightForm::ConversionFinished);
    const bool converted = convertAndWait(*form);
    setThreadCount(0);
    QVERIFY(converted);
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended[0][0].toInt(), PIXWRIGHT_RESULT_CANCELLED);
    const int kept = wholeAtCancel;
    QVERIFY(kept >= 9 && kept < 54);
    QCOMPARE(host.messageTexts(), QStringList{QStringLiteral("中止しました: %1 個のファイルを書き出しました。\n出力フォルダ: ")
                                                  .arg(kept) + part});
    QCOMPARE(host.messages[0].icon, QMessageBox::Information);

    // The files whole when it stopped, each the same bytes as a whole run's.
    const auto all = filesIn(whole);
    const auto written = filesIn(part);
    QCOMPARE(int(written.size()), kept);
    for (const auto& [name, bytes] : written)
        QVERIFY2(all.count(name) && all.at(name) == bytes, qPrintable(name));
    // Nothing half-written is left beside them.
    QDirIterator leftovers(part, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    int entries = 0;
    for (; leftovers.hasNext(); leftovers.next())
        ++entries;
    QCOMPARE(entries, kept);
    // The result list shows what was written.
    QCOMPARE(form->Preview->PreviewResultList->count(), kept);
    QVERIFY(form->ConvertButton->isEnabled() && form->ImageSaveGroupBox->isEnabled());
}

void TestConversionWorker::engineErrorBoxOnceOnGuiThread()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = chipsetForm(env, QString());
    QVERIFY(convertAndWait(*form));
    // The window's own words, once, instead of the engine's box and a
    // second one after it.
    QCOMPARE(host.messageTexts(), QStringList{"出力フォルダが指定されていません。"});
    QCOMPARE(host.messages[0].caption, QStringLiteral("エラー発生"));
    QCOMPARE(host.messages[0].icon, QMessageBox::Warning);
    QCOMPARE(host.messages[0].owner.data(), form.get());
    QCOMPARE(host.messages[0].thread, form->thread());
}

void TestConversionWorker::closingWhileConvertingCancelsThenCloses()
{
    ScriptedModalHost host;
    FormEnvironment env;
    const QString out = env.path("out");
    auto form = chipsetForm(env, out);
    form->show();
    QSemaphore gate;
    // One thread: the report of the first whole files is not the last one.
    setThreadCount(1);
    std::atomic<bool> atFirstCell{false};
    std::atomic<int> wholeAtClose{-1};
    connect(form->ConversionWorker, &TConversionWorker::progressed, form->ConversionWorker,
            [&](qint64, qint64, int files) {
                if (files >= 3 && !atFirstCell) {
                    wholeAtClose = files;
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
    const bool stopped = ended.wait(30000);
    setThreadCount(0);
    QVERIFY(!closed);
    QVERIFY(!visible);
    QVERIFY(stopped);
    QCOMPARE(ended[0][0].toInt(), PIXWRIGHT_RESULT_CANCELLED);
    QVERIFY(!form->isVisible());
    QVERIFY(host.messages.empty());
    // The files whole when it was closed, and nothing else.
    QCOMPARE(int(QDir(out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size()),
             int(wholeAtClose));
    QVERIFY(QDir(out).exists(QStringLiteral("chips_00.png")));
}

void TestConversionWorker::stopEndsALargePictureAtOnce()
{
    ScriptedModalHost host;
    FormEnvironment env;
    // 4096 x 4096, one cell: a conversion of a minute or more.
    QImage big(4096, 4096, QImage::Format_RGB32);
    for (int y = 0; y < big.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(big.scanLine(y));
        for (int x = 0; x < big.width(); ++x)
            row[x] = qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF);
    }
    const QString input = env.path("big.png");
    QVERIFY(big.save(input, "PNG", 100));
    big = QImage();
    TFormContext context = env.context();
    context.engine = TEngineCalls::exports();
    TPixwrightForm form(context);
    enterInputFile(form, input);
    const QString out = env.path("out");
    form.SaveDirEdit->setText(out);
    std::atomic<bool> underWay{false};
    std::atomic<qint64> total{0};
    connect(form.ConversionWorker, &TConversionWorker::progressed, form.ConversionWorker,
            [&](qint64 done, qint64 all, int) {
                total = all;
                if (done > 0)
                    underWay = true;
            }, Qt::DirectConnection);
    QSignalSpy ended(&form, &TPixwrightForm::ConversionFinished);
    form.ConvertButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(underWay, 60000);
    // Bands of rows: the bar moves inside the one cell.
    QVERIFY(total > 10);
    QElapsedTimer stopping;
    stopping.start();
    form.ConversionProgress->CancelConvertButton->click();
    QVERIFY(ended.wait(30000));
    const qint64 took = stopping.elapsed();
    qInfo("stopped after %lld ms", took);
    // A full conversion takes a minute or more here; a stop takes a band.
    QVERIFY2(took < 5000, qPrintable(QString::number(took)));
    QCOMPARE(ended[0][0].toInt(), PIXWRIGHT_RESULT_CANCELLED);
    QCOMPARE(host.messageTexts(), QStringList{"中止しました: 0 個のファイルを書き出しました。\n出力フォルダ: " + out});
    // No temporary file and no half-written picture.
    QCOMPARE(QDir(out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

PIXWRIGHT_GUI_TEST(TestConversionWorker);
#include "tst_ConversionWorker.moc"
