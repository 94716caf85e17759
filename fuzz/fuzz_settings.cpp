// The window's settings file on arbitrary bytes, read the way the program
// reads it: the bytes become the settings file beside the program of a real
// TPixwrightForm, whose creation reads every item of every version and the
// extension block after item 25. Qt runs on its off-screen platform, every
// box is answered at once, and the program folder, the configuration file and
// the working folder are all in the scratch folder.
//
// What a window writes when it closes must read back into the same window:
// a second form reading the first one's file writes the same bytes again.
#include "fuzz/FuzzSupport.h"
#include "fuzz/WindowSupport.h"
#include "gui/MainForm.h"
#include "gui/SettingsFile.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace {

TFormContext context()
{
    TFormContext c;
    c.engine = fuzz::quietEngine();
    c.programFolder = QString::fromStdString(fuzz::scratchFolder());
    c.configFile = QString::fromStdString(fuzz::scratchFolder() + "/config/Pixwright_GUI.dat");
    return c;
}

QString besidePath() { return settings::besideProgram(QString::fromStdString(fuzz::scratchFolder())); }

QByteArray readBack()
{
    QFile file(besidePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One window opened on the settings file there is and closed again, which
// writes its settings back.
void openAndClose()
{
    auto form = std::make_unique<TPixwrightForm>(context());
    form.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Both live until the process ends and are never destroyed: by the time
// static destructors run, Qt's own globals are gone and ~QApplication would
// crash.
QApplication* application = nullptr;
fuzz::SilentHost* host = nullptr;

// Qt's warnings about the odd paths and texts a file holds ("Broken
// filename passed to function" for a name with a NUL) are no failure;
// a fatal message still ends the run.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qInstallMessageHandler(quietMessages);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application = new QApplication(*argc, *argv);
    host = new fuzz::SilentHost;
    TModalHost::install(host);
    // Relative input paths in a file name pictures here; the seeds name
    // these two, a charset and a picture of no preset size.
    if (chdir(fuzz::scratchFolder().c_str()) != 0)
        fuzz::checkFailed(__FILE__, __LINE__, "chdir to the scratch folder");
    QImage charset(288, 256, QImage::Format_RGB32);
    charset.fill(QColor(0, 0x75, 0x75));
    charset.save(QStringLiteral("charset.png"), "PNG");
    QImage other(40, 30, QImage::Format_RGB32);
    other.fill(QColor(200, 10, 10));
    other.save(QStringLiteral("other.bmp"), "BMP");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The window reads no more than this of a file.
    if (size > std::size_t(settings::kMaxFileBytes))
        return 0;
    QDir(QString::fromStdString(fuzz::scratchFolder() + "/config")).removeRecursively();
    if (!fuzz::writeFile(besidePath().toStdString(), data, size))
        fuzz::checkFailed(__FILE__, __LINE__, "writing the settings file");

    openAndClose();
    const QByteArray first = readBack();
    FUZZ_CHECK(!first.isEmpty());
    openAndClose();
    FUZZ_CHECK(readBack() == first);
    return 0;
}
