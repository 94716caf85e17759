#include "GuiTestSupport.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include <cstring>

void ScriptedModalHost::showMessage(QWidget* owner, QMessageBox::Icon icon,
                                    const QString& caption, const QString& text)
{
    RecordedMessage message;
    message.owner = owner;
    message.hadOwner = owner != nullptr;
    message.icon = icon;
    message.caption = caption;
    message.text = text;
    message.thread = QThread::currentThread();
    messages.push_back(message);
}

bool ScriptedModalHost::askYesNo(QWidget* owner, const QString& caption, const QString& text)
{
    ++yesNoCalls;
    showMessage(owner, QMessageBox::Question, caption, text);
    return yesNoAnswer;
}

bool ScriptedModalHost::showMessageWithAction(QWidget* owner, QMessageBox::Icon icon, const QString& caption,
                                              const QString& text, const QString& label)
{
    showMessage(owner, icon, caption, text);
    actionLabel = label;
    return actionAnswer;
}

void ScriptedModalHost::openFolder(const QString& folder)
{
    openedFolders << folder;
}

QString ScriptedModalHost::chooseOpenFile(QWidget*, const QString& initialPath,
                                          const QString& filter)
{
    ++openFileCalls;
    openFileInitialPath = initialPath;
    openFileFilter = filter;
    return openFileAnswer;
}

bool ScriptedModalHost::chooseColor(QWidget*, QColor& colour)
{
    ++colorCalls;
    colorOffered = colour;
    if (!colorAnswer)
        return false;
    colour = *colorAnswer;
    return true;
}

QString ScriptedModalHost::chooseFolder(QWidget*, const QString& title,
                                        const QString& initialPath)
{
    ++folderCalls;
    folderTitle = title;
    folderInitialPath = initialPath;
    return folderAnswer;
}

int ScriptedModalHost::runDialog(QDialog& dialog)
{
    ++dialogCalls;
    return dialogScript ? dialogScript(dialog) : int(QDialog::Rejected);
}

void ScriptedModalHost::openFolder(QWidget*, const QString& folder)
{
    openedFolders << folder;
}

QStringList ScriptedModalHost::messageTexts() const
{
    QStringList texts;
    for (const RecordedMessage& message : messages)
        texts << message.text;
    return texts;
}

QStringList EngineRecorder::log;
std::vector<ConvertCall> EngineRecorder::converts;
int EngineRecorder::convertResult = 0;
PixwrightErrorBoxHandler EngineRecorder::errorBoxHandler = nullptr;
PixwrightProgressHandler EngineRecorder::progressHandler = nullptr;
void* EngineRecorder::progressUser = nullptr;
PixwrightWorkHandler EngineRecorder::workHandler = nullptr;
void* EngineRecorder::workUser = nullptr;
int EngineRecorder::cells = 1;
QStringList EngineRecorder::planned;
PixwrightFailure EngineRecorder::failure{};
thread_local int recordedResult = 0;
int EngineRecorder::pngPalette = -1;
QPointer<TPixwrightForm> EngineRecorder::form;

void EngineRecorder::reset(int result)
{
    log.clear();
    converts.clear();
    convertResult = result;
    errorBoxHandler = nullptr;
    progressHandler = nullptr;
    progressUser = nullptr;
    workHandler = nullptr;
    workUser = nullptr;
    cells = 1;
    planned.clear();
    failure = PixwrightFailure{};
    pngPalette = -1;
    form = nullptr;
}

namespace {

int recordConvert(const char* sourcePath, const char* outputFolder, const char* outputName,
                  int editorPreset, int gridWidth, int gridHeight, int sharpenLevel,
                  int eraseAlphaGrid, int interpolation, int outputFormat, int saveNatural,
                  const char* naturalSuffix, int saveColor, const char* colorSuffix,
                  int saveAlpha, const char* alphaSuffix)
{
    ConvertCall call;
    call.sourcePath = sourcePath;
    call.outputFolder = outputFolder;
    call.outputName = outputName;
    call.editorPreset = editorPreset;
    call.gridWidth = gridWidth;
    call.gridHeight = gridHeight;
    call.sharpenLevel = sharpenLevel;
    call.eraseAlphaGrid = eraseAlphaGrid;
    call.interpolation = interpolation;
    call.outputFormat = outputFormat;
    call.saveNatural = saveNatural;
    call.naturalSuffix = naturalSuffix;
    call.saveColor = saveColor;
    call.colorSuffix = colorSuffix;
    call.saveAlpha = saveAlpha;
    call.alphaSuffix = alphaSuffix;
    call.thread = QThread::currentThread();
    if (EngineRecorder::form) {
        call.buttonCaption = EngineRecorder::form->ConvertButton->text();
        call.buttonEnabled = EngineRecorder::form->ConvertButton->isEnabled();
        call.settingsEnabled = EngineRecorder::form->ImageSaveGroupBox->isEnabled() ||
                               EngineRecorder::form->ImageConvertGroupBox->isEnabled() ||
                               EngineRecorder::form->ImageReplaceGroupBox->isEnabled() ||
                               EngineRecorder::form->GroupBox6->isEnabled();
        call.progressShown = !EngineRecorder::form->ConversionProgress->isHidden();
    }
    EngineRecorder::converts.push_back(call);
    EngineRecorder::log << QStringLiteral("graphicConvert");
    recordedResult = EngineRecorder::convertResult;
    // One unit of work per cell, a file written with each.
    if (PixwrightWorkHandler work = EngineRecorder::workHandler) {
        for (int done = 0; done <= EngineRecorder::cells; ++done)
            if (work(EngineRecorder::workUser, done, EngineRecorder::cells, done) != 0 && done < EngineRecorder::cells)
                return recordedResult = 40;
    }
    if (PixwrightProgressHandler progress = EngineRecorder::progressHandler) {
        for (int done = 0; done <= EngineRecorder::cells; ++done)
            if (progress(EngineRecorder::progressUser, done, EngineRecorder::cells, done) != 0 &&
                done < EngineRecorder::cells)
                return recordedResult = 40;
    }
    return recordedResult;
}

int recordGetLastFailure(PixwrightFailure* out)
{
    // Per thread, as the engine keeps it.
    if (out) {
        *out = recordedResult == 0 ? PixwrightFailure{} : EngineRecorder::failure;
        out->code = recordedResult;
    }
    return recordedResult;
}

// The key calls reach the engine as well, so the window's questions about
// the key get the answers of the settings it sent.
void recordSetColorKey(int red, int green, int blue)
{
    EngineRecorder::log << QStringLiteral("setColorKey(%1,%2,%3)").arg(red).arg(green).arg(blue);
    ::setColorKey(red, green, blue);
}

void recordSetColorKeyPos(int x, int y)
{
    EngineRecorder::log << QStringLiteral("setColorKeyPos(%1,%2)").arg(x).arg(y);
    ::setColorKeyPos(x, y);
}

void recordSetColorKeyPaletteIndex(int index)
{
    EngineRecorder::log << QStringLiteral("setColorKeyPaletteIndex(%1)").arg(index);
    ::setColorKeyPaletteIndex(index);
}

void recordSetProgressHandler(PixwrightProgressHandler handler, void* user)
{
    EngineRecorder::progressHandler = handler;
    EngineRecorder::progressUser = user;
}

void recordSetWorkProgressHandler(PixwrightWorkHandler handler, void* user)
{
    EngineRecorder::workHandler = handler;
    EngineRecorder::workUser = user;
}

void recordSetErrorBoxHandler(PixwrightErrorBoxHandler handler)
{
    EngineRecorder::errorBoxHandler = handler;
    EngineRecorder::log << (handler ? QStringLiteral("setErrorBoxHandler(set)")
                                    : QStringLiteral("setErrorBoxHandler(null)"));
}

int recordPlannedOutputFiles(const char* sourcePath, const char* outputFolder, const char* outputName,
                             int editorPreset, int outputFormat, int saveNatural, const char* naturalSuffix,
                             int saveColor, const char* colorSuffix, int saveAlpha, const char* alphaSuffix,
                             char* buffer, int bufferSize)
{
    if (EngineRecorder::planned.isEmpty())
        return ::plannedOutputFiles(sourcePath, outputFolder, outputName, editorPreset, outputFormat, saveNatural,
                                    naturalSuffix, saveColor, colorSuffix, saveAlpha, alphaSuffix, buffer,
                                    bufferSize);
    QByteArray list;
    for (const QString& file : EngineRecorder::planned)
        list += file.toUtf8() + '\0';
    if (list.isEmpty())
        return 0;
    list += '\0';
    if (buffer && bufferSize >= list.size())
        memcpy(buffer, list.constData(), size_t(list.size()));
    return int(list.size());
}
void recordSetPngPalette(int on) { EngineRecorder::pngPalette = on; }

} // namespace

TEngineCalls EngineRecorder::calls()
{
    TEngineCalls calls;
    calls.graphicConvert = &recordConvert;
    calls.setColorKey = &recordSetColorKey;
    calls.setColorKeyPos = &recordSetColorKeyPos;
    calls.setColorKeyPaletteIndex = &recordSetColorKeyPaletteIndex;
    calls.setProgressHandler = &recordSetProgressHandler;
    calls.setErrorBoxHandler = &recordSetErrorBoxHandler;
    calls.setWorkProgressHandler = &recordSetWorkProgressHandler;
    calls.setPngPalette = &recordSetPngPalette;
    // Questions change nothing; the engine answers them itself, unless a
    // test gives the planned files.
    calls.pictureKeyColor = &::pictureKeyColor;
    calls.plannedOutputFiles = &recordPlannedOutputFiles;
    calls.getLastFailure = &recordGetLastFailure;
    return calls;
}

FormEnvironment::FormEnvironment() = default;

QString FormEnvironment::settingsFile() const
{
    return dir_.filePath(QStringLiteral("Pixwright_GUI.dat"));
}

QString FormEnvironment::configFile() const
{
    return dir_.filePath(QStringLiteral("config/pixwright/Pixwright_GUI.dat"));
}

TFormContext FormEnvironment::context() const
{
    TFormContext context;
    context.engine = EngineRecorder::calls();
    context.programFolder = programFolder();
    context.configFile = configFile();
    return context;
}

std::unique_ptr<TPixwrightForm> FormEnvironment::makeForm() const
{
    auto form = std::make_unique<TPixwrightForm>(context());
    EngineRecorder::form = form.get();
    return form;
}

QImage patternPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y,
                             qRgb((3 * x + 1) & 0xFF, (5 * y + 2) & 0xFF, (7 * (x + y) + 3) & 0xFF));
    return picture;
}

QString writePicture(const QString& path, const QImage& picture, const char* format)
{
    if (!picture.save(path, format))
        qWarning("cannot write %s", qPrintable(path));
    return path;
}

QString writeBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qWarning("cannot write %s", qPrintable(path));
    return path;
}

void leaveField(QWidget* field)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(field, &out);
}

void enterInputFile(TPixwrightForm& form, const QString& path)
{
    form.OpenFileEdit->setText(path);
    leaveField(form.OpenFileEdit);
}

bool waitForConversion(TPixwrightForm& form)
{
    if (!form.IsConverting())
        return true;
    QSignalSpy ended(&form, &TPixwrightForm::ConversionFinished);
    return ended.wait(30000);
}

bool convertAndWait(TPixwrightForm& form)
{
    form.ConvertButton->click();
    return waitForConversion(form);
}

bool hasJapanese(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3000 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF))
            return true;
    }
    return false;
}
