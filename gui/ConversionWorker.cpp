#include "gui/ConversionWorker.h"

#include <QEventLoop>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>

int TConversionRequest::run(const TEngineCalls& engine) const
{
    return engine.graphicConvert(sourcePath.constData(), outputFolder.constData(), outputName.constData(),
                                 editorPreset, gridWidth, gridHeight, sharpenLevel, eraseAlphaGrid,
                                 interpolation, outputFormat, saveNatural, naturalSuffix.constData(),
                                 saveColor, colorSuffix.constData(), saveAlpha, alphaSuffix.constData());
}

QStringList TConversionRequest::plannedFiles(const TEngineCalls& engine) const
{
    if (!engine.plannedOutputFiles)
        return {};
    const auto ask = [&](char* buffer, int size) {
        return engine.plannedOutputFiles(sourcePath.constData(), outputFolder.constData(), outputName.constData(),
                                         editorPreset, outputFormat, saveNatural, naturalSuffix.constData(),
                                         saveColor, colorSuffix.constData(), saveAlpha, alphaSuffix.constData(),
                                         buffer, size);
    };
    const int size = ask(nullptr, 0);
    if (size <= 0)
        return {};
    QByteArray list(size, '\0');
    if (ask(list.data(), size) != size)
        return {};
    QStringList files;
    for (const QByteArray& name : list.split('\0'))
        if (!name.isEmpty())
            files << QString::fromUtf8(name);
    return files;
}

QString firstResultFile(const TConversionRequest& request, const TEngineCalls& engine)
{
    if ((!request.saveNatural && !request.saveColor) || !engine.plannedOutputFiles)
        return QString();
    auto plan = [&](char* buffer, int size) {
        return engine.plannedOutputFiles(request.sourcePath.constData(), request.outputFolder.constData(),
                                         request.outputName.constData(), request.editorPreset, request.outputFormat,
                                         request.saveNatural, request.naturalSuffix.constData(), request.saveColor,
                                         request.colorSuffix.constData(), request.saveAlpha,
                                         request.alphaSuffix.constData(), buffer, size);
    };
    const int size = plan(nullptr, 0);
    if (size <= 1)
        return QString();
    QByteArray names(size, '\0');
    if (plan(names.data(), size) != size)
        return QString();
    // The list is in writing order, and the first cell's natural or colour
    // file comes first.
    return QString::fromUtf8(names.constData());
}

TConversionWorker::TConversionWorker(const TEngineCalls& engine, QObject* parent)
    : QObject(parent), engine_(engine)
{
}

TConversionWorker::~TConversionWorker()
{
    cancel();
    waitForEnd();
}

bool TConversionWorker::start(const TConversionRequest& request)
{
    if (thread_)
        return false;
    cancelRequested_ = false;
    filesWritten_ = 0;
    result_ = 0;
    // The handler is engine-wide and may only change while no conversion
    // runs, so it is set here and taken back once the thread has ended.
    if (engine_.setWorkProgressHandler)
        engine_.setWorkProgressHandler(&TConversionWorker::progressHandler, this);
    failure_ = PixwrightFailure{};
    thread_ = QThread::create([this, request] {
        result_ = request.run(engine_);
        // The engine keeps the failure per thread: it is read here or never.
        if (engine_.getLastFailure)
            engine_.getLastFailure(&failure_);
    });
    thread_->setObjectName(QStringLiteral("ConversionThread"));
    connect(thread_, &QThread::finished, this, &TConversionWorker::threadEnded, Qt::QueuedConnection);
    thread_->start();
    return true;
}

int TConversionWorker::progressHandler(void* user, long long unitsDone, long long unitsTotal, int filesWritten)
{
    auto* worker = static_cast<TConversionWorker*>(user);
    worker->filesWritten_ = filesWritten;
    emit worker->progressed(unitsDone, unitsTotal, filesWritten);
    return worker->cancelRequested_ ? 1 : 0;
}

void TConversionWorker::threadEnded()
{
    if (!thread_)
        return;
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    if (engine_.setWorkProgressHandler)
        engine_.setWorkProgressHandler(nullptr, nullptr);
    emit finished(result_);
}

void TConversionWorker::waitForEnd()
{
    if (!thread_)
        return;
    QEventLoop loop;
    connect(this, &TConversionWorker::finished, &loop, &QEventLoop::quit);
    // The thread may have ended already with threadEnded still queued; the
    // loop delivers it, which ends the loop.
    loop.exec();
}

namespace {

constexpr int kBarSteps = 1000;

} // namespace

TConversionProgress::TConversionProgress(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ConversionProgress"));
    ConvertProgressBar = new QProgressBar(this);
    ConvertProgressBar->setObjectName(QStringLiteral("ConvertProgressBar"));
    ConvertProgressBar->setFormat(QStringLiteral("%p%"));
    ConvertProgressBar->setRange(0, kBarSteps);
    ConvertProgressBar->setValue(0);
    CancelConvertButton = new QPushButton(this);
    CancelConvertButton->setObjectName(QStringLiteral("CancelConvertButton"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ConvertProgressBar, 1);
    layout->addWidget(CancelConvertButton);
    CancelConvertButton->setText(tr("中止"));
    CancelConvertButton->setToolTip(tr("変換をすぐに止めます。書き終えたファイルは残り、書きかけのファイルは残りません。"));
    connect(CancelConvertButton, &QPushButton::clicked, this, [this] {
        CancelConvertButton->setEnabled(false);
        emit cancelRequested();
    });
    hide();
}

void TConversionProgress::begin()
{
    // Until the engine has cut the picture the amount of work is unknown.
    ConvertProgressBar->setRange(0, 0);
    ConvertProgressBar->setValue(0);
    CancelConvertButton->setEnabled(true);
    show();
}

void TConversionProgress::update(qint64 unitsDone, qint64 unitsTotal)
{
    // The engine counts bands of rows, far more than a bar has steps.
    ConvertProgressBar->setRange(0, kBarSteps);
    const qint64 total = qMax<qint64>(unitsTotal, 1);
    ConvertProgressBar->setValue(int(qBound<qint64>(0, unitsDone, total) * kBarSteps / total));
}

void TConversionProgress::end()
{
    hide();
}
