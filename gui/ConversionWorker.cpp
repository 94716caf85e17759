#include "gui/ConversionWorker.h"

#include "gui/EditorPictures.h"

#include <QDir>
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

QString firstResultFile(const TConversionRequest& request, const QSize& sourceSize)
{
    QByteArray suffix;
    if (request.saveNatural)
        suffix = request.naturalSuffix;
    else if (request.saveColor)
        suffix = request.colorSuffix;
    else
        return QString();
    static const char* const extensions[] = {"bmp", "png", "jpg"};
    if (request.outputFormat < 0 || request.outputFormat > 2)
        return QString();

    // The engine splits the folder at either slash and the source path too,
    // whatever the platform.
    QString name = QString::fromUtf8(request.outputName);
    if (name.isEmpty()) {
        name = QString::fromUtf8(request.sourcePath);
        name = name.mid(qMax(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\'))) + 1);
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0)
            name.truncate(dot);
    }
    QString folder = QString::fromUtf8(request.outputFolder);
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString file = QDir(folder).filePath(name);
    // Only a cut picture has several cells; every other conversion writes
    // one cell, unnumbered.
    if (editorCutFor(request.editorPreset != 0, sourceSize) != TEditorCut::None)
        file += QStringLiteral("_00");
    if (!suffix.isEmpty())
        file += QLatin1Char('_') + QString::fromUtf8(suffix);
    return file + QLatin1Char('.') + QLatin1String(extensions[request.outputFormat]);
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
    result_ = 0;
    // The handler is engine-wide and may only change while no conversion
    // runs, so it is set here and taken back once the thread has ended.
    if (engine_.setProgressHandler)
        engine_.setProgressHandler(&TConversionWorker::progressHandler, this);
    thread_ = QThread::create([this, request] { result_ = request.run(engine_); });
    thread_->setObjectName(QStringLiteral("ConversionThread"));
    connect(thread_, &QThread::finished, this, &TConversionWorker::threadEnded, Qt::QueuedConnection);
    thread_->start();
    return true;
}

int TConversionWorker::progressHandler(void* user, int cellsDone, int cellsTotal, int)
{
    auto* worker = static_cast<TConversionWorker*>(user);
    emit worker->progressed(cellsDone, cellsTotal);
    return worker->cancelRequested_ ? 1 : 0;
}

void TConversionWorker::threadEnded()
{
    if (!thread_)
        return;
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    if (engine_.setProgressHandler)
        engine_.setProgressHandler(nullptr, nullptr);
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

TConversionProgress::TConversionProgress(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ConversionProgress"));
    ConvertProgressBar = new QProgressBar(this);
    ConvertProgressBar->setObjectName(QStringLiteral("ConvertProgressBar"));
    ConvertProgressBar->setFormat(QStringLiteral("%v / %m"));
    ConvertProgressBar->setRange(0, 1);
    ConvertProgressBar->setValue(0);
    CancelConvertButton = new QPushButton(this);
    CancelConvertButton->setObjectName(QStringLiteral("CancelConvertButton"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ConvertProgressBar, 1);
    layout->addWidget(CancelConvertButton);
    CancelConvertButton->setText(tr("中止"));
    CancelConvertButton->setToolTip(tr("変換を次のセルの区切りで止めます。"));
    connect(CancelConvertButton, &QPushButton::clicked, this, [this] {
        CancelConvertButton->setEnabled(false);
        emit cancelRequested();
    });
    hide();
}

void TConversionProgress::begin()
{
    // Until the engine has cut the picture the number of cells is unknown.
    ConvertProgressBar->setRange(0, 0);
    ConvertProgressBar->setValue(0);
    CancelConvertButton->setEnabled(true);
    show();
}

void TConversionProgress::update(int cellsDone, int cellsTotal)
{
    ConvertProgressBar->setRange(0, qMax(cellsTotal, 1));
    ConvertProgressBar->setValue(qBound(0, cellsDone, qMax(cellsTotal, 1)));
}

void TConversionProgress::end()
{
    hide();
}
