// The Pixwright program: the main window over the conversion engine.
//
//   Pixwright [--lang ja|en]      runs the window, in Japanese or English;
//                                 without --lang the system's locale decides
//                                 (Japanese for a Japanese locale, else English)
//   Pixwright --screenshot FILE [--load PICTURE] [--fail-into FOLDER] [--lang ja|en]
//                                 renders the window with its default
//                                 settings, PICTURE loaded if given, to the PNG
//                                 file FILE, off screen; with --fail-into, after
//                                 converting PICTURE into FOLDER, with the box
//                                 that the conversion's failure shows over it
//   Pixwright --screenshot FILE --game GAME [--into FOLDER] [--lang ja|en]
//                                 renders the game window with the game
//                                 folder GAME listed and converted instead,
//                                 into FOLDER if given, else a scratch folder
//
// The screenshots are drawn off screen where Qt has that platform (Linux),
// unless the environment names another; on Windows Qt ships only its own
// platform, and the window is drawn on the desktop.
#include "gui/GameDialog.h"
#include "gui/MainForm.h"
#include "gui/ModalHost.h"
#include "gui/PreviewView.h"
#include "gui/Translation.h"
#include "gui/WindowFont.h"

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

struct Options {
    const char* screenshot = nullptr;
    const char* load = nullptr;
    const char* lang = nullptr;
    const char* game = nullptr;
    const char* failInto = nullptr;
    const char* into = nullptr;
};

// Draws every box the window shows, as it would look, instead of waiting for
// a user to close it.
class TBoxCapture : public TModalHost {
public:
    TBoxCapture() { TModalHost::install(this); }
    ~TBoxCapture() override { TModalHost::install(nullptr); }

    void showMessage(QWidget* owner, QMessageBox::Icon icon, const QString& caption, const QString& text) override
    {
        QMessageBox box(icon, caption, text, QMessageBox::Ok, owner);
        box.show();
        QApplication::processEvents();
        box.adjustSize();
        shown = box.grab();
    }

    QPixmap shown;
};

// Waits for the preview to paint the picture just loaded, at most a few
// seconds, so a broken picture cannot keep the program from ending.
void waitForPreview(TPixwrightForm& form)
{
    QEventLoop loop;
    QObject::connect(form.Preview, &TPreviewView::rendered, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    QApplication::processEvents();
}

int renderScreenshot(const Options& options)
{
    // A folder of its own keeps the user's settings out of the picture and
    // the picture's settings out of the user's folders.
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        std::fprintf(stderr, "Pixwright: no temporary folder for the screenshot\n");
        return 1;
    }
    TFormContext context;
    context.programFolder = scratch.path();
    context.configFile = scratch.filePath(QStringLiteral("config/Pixwright_GUI.dat"));
    TPixwrightForm form(context);
    if (options.game) {
        TGameDialog dialog;
        dialog.setOutputFolder(options.into ? QString::fromLocal8Bit(options.into)
                                            : scratch.filePath(QStringLiteral("out")));
        dialog.setGameFolder(QString::fromLocal8Bit(options.game));
        dialog.show();
        QEventLoop loop;
        QObject::connect(&dialog, &TGameDialog::runFinished, &loop, &QEventLoop::quit);
        QTimer::singleShot(120000, &loop, &QEventLoop::quit);
        dialog.ConvertButtonClick();
        loop.exec();
        QApplication::processEvents();
        if (!dialog.grab().save(QString::fromLocal8Bit(options.screenshot), "PNG")) {
            std::fprintf(stderr, "Pixwright: cannot write %s\n", options.screenshot);
            return 1;
        }
        return 0;
    }
    form.show();
    QApplication::processEvents();
    if (options.load) {
        form.SetInputFileAtOnce(QString::fromLocal8Bit(options.load));
        if (form.LoadedPicture().isNull()) {
            std::fprintf(stderr, "Pixwright: cannot load %s\n", options.load);
            return 1;
        }
        waitForPreview(form);
    }
    QPixmap picture = form.grab();
    if (options.failInto) {
        TBoxCapture boxes;
        form.SaveDirEdit->setText(QString::fromLocal8Bit(options.failInto));
        QEventLoop loop;
        QObject::connect(&form, &TPixwrightForm::ConversionFinished, &loop, &QEventLoop::quit);
        form.ConvertButton->click();
        if (form.IsConverting())
            loop.exec();
        if (boxes.shown.isNull()) {
            std::fprintf(stderr, "Pixwright: the conversion into %s showed no box\n", options.failInto);
            return 1;
        }
        picture = form.grab();
        QPainter painter(&picture);
        const QPixmap& box = boxes.shown;
        const QPoint at((picture.width() - box.width()) / 2, (picture.height() - box.height()) / 2);
        painter.fillRect(QRect(at + QPoint(4, 4), box.size()), QColor(0, 0, 0, 0x50));
        painter.drawPixmap(at, box);
        painter.setPen(QColor(0x60, 0x60, 0x60));
        painter.drawRect(QRect(at, box.size()).adjusted(0, 0, -1, -1));
    }
    const QString file = QString::fromLocal8Bit(options.screenshot);
    if (!picture.save(file, "PNG")) {
        std::fprintf(stderr, "Pixwright: cannot write %s\n", options.screenshot);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0)
            options.screenshot = argv[i + 1];
        else if (std::strcmp(argv[i], "--load") == 0)
            options.load = argv[i + 1];
        else if (std::strcmp(argv[i], "--lang") == 0)
            options.lang = argv[i + 1];
        else if (std::strcmp(argv[i], "--game") == 0)
            options.game = argv[i + 1];
        else if (std::strcmp(argv[i], "--fail-into") == 0)
            options.failInto = argv[i + 1];
        else if (std::strcmp(argv[i], "--into") == 0)
            options.into = argv[i + 1];
    }
    if (options.lang && !translation::isKnownOption(QString::fromLocal8Bit(options.lang))) {
        std::fprintf(stderr, "Pixwright: --lang takes ja or en, not %s\n", options.lang);
        return 2;
    }
    // The platform has to be chosen before the application object exists:
    // off screen, unless the environment names one. Windows has no
    // off-screen platform among the plugins shipped beside the program, and
    // always a desktop to draw on.
#ifndef Q_OS_WIN
    if (options.screenshot && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pixwright"));
    const translation::Language language =
        translation::choose(options.lang ? QString::fromLocal8Bit(options.lang) : QString());
    if (!translation::install(language))
        std::fprintf(stderr, "Pixwright: the English texts are missing; showing Japanese\n");
    applyWindowFont();
    if (options.screenshot)
        return renderScreenshot(options);

    TPixwrightForm form;
    form.show();
    return app.exec();
}
