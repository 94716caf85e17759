// A whole game's pictures converted on a thread of their own, one after the
// other, each with its own settings and key, so the window keeps answering
// and can stop the run between pictures or inside one.
#ifndef PIXWRIGHT_GUI_GAMEWORKER_H
#define PIXWRIGHT_GUI_GAMEWORKER_H

#include "engine/Pixwright_DLL.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <vector>

class QThread;

// One picture of the run: the file, the folder its files go to, the
// settings of its kind for its size.
struct TGamePicture {
    QByteArray sourcePath;
    QByteArray outputFolder;
    PixwrightKindSettings settings{};
};

// What every picture of a run shares: the window's choices besides the grid
// and the key.
struct TGameOptions {
    int interpolation = PIXWRIGHT_INTERPOLATION_BILINEAR;
    int sharpenLevel = 2;
    int outputFormat = PIXWRIGHT_FORMAT_PNG;
    int saveNatural = 1;
    QByteArray naturalSuffix;
    int saveColor = 1;
    QByteArray colorSuffix = "color";
    int saveAlpha = 1;
    QByteArray alphaSuffix = "alpha";
    // The fixed colour "auto" falls back to, 0xRRGGBB.
    unsigned fixedKeyColour = 0x007575;
};

// The conversion call the worker makes; tests put one of their own here.
using TGameConvertFn = decltype(&graphicConvertWithKey);

class TGameWorker : public QObject {
    Q_OBJECT

public:
    explicit TGameWorker(QObject* parent = nullptr);
    // Stops a running game and waits for it.
    ~TGameWorker() override;

    void setConvertFunction(TGameConvertFn convert) { convert_ = convert; }
    bool isRunning() const { return thread_ != nullptr; }

    // Starts the pictures in order on a new thread; false (nothing started)
    // while a run goes on.
    bool start(const std::vector<TGamePicture>& pictures, const TGameOptions& options);
    // Asks the run to stop: the picture being converted stops at its next
    // cell (its files written so far stay) and no further one starts.
    void stop() { stopRequested_ = true; }
    // Returns once the run has ended and finished was emitted; events of
    // this thread go on meanwhile.
    void waitForEnd();

signals:
    // Emitted on the run's thread before picture index starts.
    void pictureStarted(int index);
    // Emitted on the run's thread when picture index has ended: the
    // engine's result and the texts of its error boxes.
    void pictureEnded(int index, int result, const QString& messages);
    // Emitted on the worker's own thread once the run's thread is gone;
    // stopped when a stop cut it short.
    void finished(bool stopped);

private:
    void runAll();
    static int progressHandler(void* user, int cellsDone, int cellsTotal, int filesWritten);

    TGameConvertFn convert_ = &graphicConvertWithKey;
    std::vector<TGamePicture> pictures_;
    TGameOptions options_;
    QThread* thread_ = nullptr;
    std::atomic<bool> stopRequested_{false};
    // Written by the run's thread, read after it has ended.
    bool stopped_ = false;
};

#endif
