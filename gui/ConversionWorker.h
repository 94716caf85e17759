// Conversions on a thread of their own, so the window keeps answering while
// the engine works: the request copied out of the window, the worker that
// runs it and relays the engine's progress, and the bar with its cancel
// button that shows that progress.
#ifndef PIXWRIGHT_GUI_CONVERSIONWORKER_H
#define PIXWRIGHT_GUI_CONVERSIONWORKER_H

#include "gui/EngineCalls.h"

#include <QByteArray>
#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <atomic>

class QProgressBar;
class QPushButton;
class QThread;

// The sixteen graphicConvert arguments as values, so the worker thread never
// reads a widget.
struct TConversionRequest {
    QByteArray sourcePath, outputFolder, outputName;
    int editorPreset = 0;
    int gridWidth = 0, gridHeight = 0;
    int sharpenLevel = 0, eraseAlphaGrid = 0, interpolation = 0, outputFormat = 0;
    int saveNatural = 0;
    QByteArray naturalSuffix;
    int saveColor = 0;
    QByteArray colorSuffix;
    int saveAlpha = 0;
    QByteArray alphaSuffix;

    int run(const TEngineCalls& engine) const;
    // The files run would write, in the order it writes them, as the engine
    // names them; empty when the engine cannot say or would write nothing.
    QStringList plannedFiles(const TEngineCalls& engine) const;
};

// The first picture the request's conversion writes that the preview can
// show, as the engine names it: the natural variant if selected, else the
// colour one; empty when neither is (or the engine would write nothing).
QString firstResultFile(const TConversionRequest& request, const TEngineCalls& engine);

class TConversionWorker : public QObject {
    Q_OBJECT

public:
    explicit TConversionWorker(const TEngineCalls& engine, QObject* parent = nullptr);
    // Cancels a running conversion and waits for it.
    ~TConversionWorker() override;

    bool isRunning() const { return thread_ != nullptr; }
    // Files the last conversion wrote, as the engine last reported.
    int filesWritten() const { return filesWritten_; }
    // Why the last conversion failed, as the engine told its thread.
    const PixwrightFailure& lastFailure() const { return failure_; }

    // Starts request on a new thread; false (and nothing started) while a
    // conversion runs.
    bool start(const TConversionRequest& request);
    // Asks the engine to stop at its next band of rows.
    void cancel() { cancelRequested_ = true; }
    // Returns once the running conversion has ended and finished was
    // emitted. Events of this thread go on meanwhile, so an error box the
    // worker waits for is still shown.
    void waitForEnd();

signals:
    // Emitted on the worker thread: once the picture is cut with unitsDone
    // 0, then as the engine's bands of rows (and files) are done.
    void progressed(qint64 unitsDone, qint64 unitsTotal, int filesWritten);
    // Emitted on the worker's own thread once the conversion thread is gone.
    void finished(int result);

private:
    static int progressHandler(void* user, long long unitsDone, long long unitsTotal, int filesWritten);
    void threadEnded();

    TEngineCalls engine_;
    QThread* thread_ = nullptr;
    std::atomic<bool> cancelRequested_{false};
    std::atomic<int> filesWritten_{0};
    // Written by the conversion thread, read after it has ended.
    int result_ = 0;
    PixwrightFailure failure_{};
};

// The progress bar and cancel button shown while a conversion runs.
class TConversionProgress : public QWidget {
    Q_OBJECT

public:
    explicit TConversionProgress(QWidget* parent = nullptr);

    // Shows the bar at zero and enables the cancel button.
    void begin();
    void update(qint64 unitsDone, qint64 unitsTotal);
    void end();

    QProgressBar* ConvertProgressBar;
    QPushButton* CancelConvertButton;

signals:
    void cancelRequested();
};

#endif
