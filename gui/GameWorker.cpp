#include "gui/GameWorker.h"

#include "gui/ModalHost.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <string>

namespace {

// The engine's boxes of the picture being converted; a game shows its
// failures in its list, not one box each.
thread_local std::vector<std::string>* collectedBoxes = nullptr;

void collectBox(const char*, const char* text)
{
    if (collectedBoxes != nullptr)
        collectedBoxes->push_back(text);
}

} // namespace

TGameWorker::TGameWorker(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("GameWorker"));
}

TGameWorker::~TGameWorker()
{
    stop();
    waitForEnd();
}

bool TGameWorker::start(const std::vector<TGamePicture>& pictures, const TGameOptions& options)
{
    if (thread_ != nullptr)
        return false;
    pictures_ = pictures;
    options_ = options;
    stopRequested_ = false;
    stopped_ = false;
    // The handlers are the engine's own state: the window's box comes back
    // once the run is over.
    setErrorBoxHandler(collectBox);
    setProgressHandler(&TGameWorker::progressHandler, this);
    thread_ = QThread::create([this] { runAll(); });
    connect(thread_, &QThread::finished, this, [this] {
        thread_->deleteLater();
        thread_ = nullptr;
        setProgressHandler(nullptr, nullptr);
        // The window words every failure itself; the engine's box stays unshown.
        setErrorBoxHandler([](const char*, const char*) {});
        emit finished(stopped_);
    });
    thread_->start();
    return true;
}

void TGameWorker::waitForEnd()
{
    if (thread_ == nullptr)
        return;
    QEventLoop loop;
    connect(this, &TGameWorker::finished, &loop, &QEventLoop::quit);
    loop.exec();
}

int TGameWorker::progressHandler(void* user, int, int, int)
{
    return static_cast<TGameWorker*>(user)->stopRequested_ ? 1 : 0;
}

void TGameWorker::runAll()
{
    const TGameOptions& o = options_;
    for (size_t i = 0; i < pictures_.size(); ++i) {
        if (stopRequested_) {
            stopped_ = true;
            return;
        }
        const TGamePicture& picture = pictures_[i];
        emit pictureStarted(int(i));
        PixwrightColorKey key{};
        key.mode = picture.settings.keyMode;
        key.red = int((o.fixedKeyColour >> 16) & 0xFF);
        key.green = int((o.fixedKeyColour >> 8) & 0xFF);
        key.blue = int(o.fixedKeyColour & 0xFF);
        std::vector<std::string> boxes;
        collectedBoxes = &boxes;
        const PixwrightKindSettings& s = picture.settings;
        const int result =
            convert_(&key, picture.sourcePath.constData(), picture.outputFolder.constData(), nullptr, s.editorPreset,
                     s.gridWidth, s.gridHeight, o.sharpenLevel, s.eraseAlphaGrid, o.interpolation, o.outputFormat,
                     o.saveNatural, o.naturalSuffix.constData(), o.saveColor, o.colorSuffix.constData(), o.saveAlpha,
                     o.alphaSuffix.constData());
        collectedBoxes = nullptr;
        QString messages;
        for (const std::string& box : boxes)
            messages += (messages.isEmpty() ? QString() : QStringLiteral("\n")) + QString::fromStdString(box);
        emit pictureEnded(int(i), result, messages);
        if (result == PIXWRIGHT_RESULT_CANCELLED) {
            stopped_ = true;
            return;
        }
    }
}
