// The Pixwright program: the main window over the conversion engine.
//
//   Pixwright                     runs the window
//   Pixwright --screenshot FILE   renders the window with its default
//                                 settings to the PNG file FILE, off screen
#include "gui/MainForm.h"

#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

namespace {

int renderScreenshot(const QString& file)
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
    form.show();
    QApplication::processEvents();
    if (!form.grab().save(file, "PNG")) {
        std::fprintf(stderr, "Pixwright: cannot write %s\n", file.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const char* screenshot = nullptr;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0)
            screenshot = argv[i + 1];
    }
    // The platform has to be chosen before the application object exists.
    if (screenshot)
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pixwright"));
    if (screenshot)
        return renderScreenshot(QString::fromLocal8Bit(screenshot));

    TPixwrightForm form;
    form.show();
    return app.exec();
}
