// Shared pieces of the window tests: a modal host that answers every box and
// chooser from a script, an engine table that records its calls, and small
// picture fixtures.
#ifndef PIXWRIGHT_TESTS_GUI_GUITESTSUPPORT_H
#define PIXWRIGHT_TESTS_GUI_GUITESTSUPPORT_H

#include "gui/EngineCalls.h"
#include "gui/MainForm.h"
#include "gui/ModalHost.h"

#include <QColor>
#include <QImage>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QDialog;

struct RecordedMessage {
    QPointer<QWidget> owner;
    bool hadOwner = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString caption;
    QString text;
    // The thread the box was shown on.
    QThread* thread = nullptr;
};

class ScriptedModalHost : public TModalHost {
public:
    ScriptedModalHost() { TModalHost::install(this); }
    ~ScriptedModalHost() override { TModalHost::install(nullptr); }

    void showMessage(QWidget* owner, QMessageBox::Icon icon, const QString& caption,
                     const QString& text) override;
    bool askYesNo(QWidget* owner, const QString& caption, const QString& text) override;
    bool showMessageWithAction(QWidget* owner, QMessageBox::Icon icon, const QString& caption,
                               const QString& text, const QString& actionLabel) override;
    void openFolder(const QString& folder) override;
    QString chooseOpenFile(QWidget* owner, const QString& initialPath,
                           const QString& filter) override;
    bool chooseColor(QWidget* owner, QColor& colour) override;
    QString chooseFolder(QWidget* owner, const QString& title,
                         const QString& initialPath) override;
    int runDialog(QDialog& dialog) override;
    void openFolder(QWidget* owner, const QString& folder) override;

    QStringList messageTexts() const;

    std::vector<RecordedMessage> messages;

    // Answers, and what the choosers were asked with. Questions and boxes
    // with an action are recorded in messages too, questions with the
    // Question icon.
    bool yesNoAnswer = false;
    int yesNoCalls = 0;
    bool actionAnswer = false;
    QString actionLabel;
    QStringList openedFolders;

    QString openFileAnswer;
    QString openFileInitialPath;
    QString openFileFilter;
    int openFileCalls = 0;

    std::optional<QColor> colorAnswer;
    QColor colorOffered;
    int colorCalls = 0;

    QString folderAnswer;
    QString folderTitle;
    QString folderInitialPath;
    int folderCalls = 0;

    std::function<int(QDialog&)> dialogScript;
    int dialogCalls = 0;

};

// One graphicConvert call as the engine saw it.
struct ConvertCall {
    QByteArray sourcePath, outputFolder, outputName;
    int editorPreset = -9, gridWidth = -9, gridHeight = -9, sharpenLevel = -9;
    int eraseAlphaGrid = -9, interpolation = -9, outputFormat = -9;
    int saveNatural = -9, saveColor = -9, saveAlpha = -9;
    QByteArray naturalSuffix, colorSuffix, alphaSuffix;
    // The convert button as the user saw it while the engine ran.
    QString buttonCaption;
    bool buttonEnabled = true;
    // The settings groups and the progress bar while the engine ran.
    bool settingsEnabled = true;
    bool progressShown = false;
    QThread* thread = nullptr;
};

// The engine calls made since reset(), in order: "setColorKey(r,g,b)",
// "setColorKeyPos(x,y)", "setColorKeyPaletteIndex(i)",
// "setErrorBoxHandler(set|null)", "graphicConvert". The progress handler is
// kept, not logged; graphicConvert reports `cells` cells through it and
// stops with 40 when it asks to, as the engine does.
struct EngineRecorder {
    static void reset(int convertResult = 0);
    static TEngineCalls calls();
    static QStringList log;
    static std::vector<ConvertCall> converts;
    static int convertResult;
    static PixwrightErrorBoxHandler errorBoxHandler;
    static PixwrightProgressHandler progressHandler;
    static void* progressUser;
    static PixwrightWorkHandler workHandler;
    static void* workUser;
    static int cells;
    // What plannedOutputFiles answers, whatever it is asked.
    static QStringList planned;
    // What getLastFailure answers after a failed conversion; its code is
    // the conversion's result.
    static PixwrightFailure failure;
    // The last setPngPalette argument, -1 before any (kept out of the log,
    // which other tests compare whole).
    static int pngPalette;
    // The form whose convert button is captured during graphicConvert.
    static QPointer<TPixwrightForm> form;
};

// A scratch program folder and configuration file for one form, so no test
// reads or writes the settings of another.
class FormEnvironment {
public:
    FormEnvironment();
    QString programFolder() const { return dir_.path(); }
    QString settingsFile() const;
    QString configFile() const;
    QString path(const QString& name) const { return dir_.filePath(name); }
    TFormContext context() const;
    std::unique_ptr<TPixwrightForm> makeForm() const;

private:
    QTemporaryDir dir_;
};

// A picture whose every pixel differs from its neighbours: red 3x+1,
// green 5y+2, blue 7(x+y)+3, each modulo 256.
QImage patternPicture(int width, int height);
QString writePicture(const QString& path, const QImage& picture, const char* format);
QString writeBytes(const QString& path, const QByteArray& bytes);

template <typename T>
T* childNamed(QObject* parent, const char* name)
{
    T* child = parent->findChild<T*>(QLatin1String(name));
    if (!child)
        qWarning("no child %s", name);
    return child;
}

// Leaves a field the way the user does: its focus goes to another control.
void leaveField(QWidget* field);

// Sets the input field's text and leaves the field, which loads the picture
// at once instead of after the pause in typing.
void enterInputFile(TPixwrightForm& form, const QString& path);

// Clicks the convert button and waits until the conversion's boxes are
// shown; false when it did not end within half a minute.
bool convertAndWait(TPixwrightForm& form);
bool waitForConversion(TPixwrightForm& form);

// True for kana, kanji and full-width forms: text no English face shows.
bool hasJapanese(const QString& text);

#endif
