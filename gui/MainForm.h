// The main window: collects the conversion settings, keeps the engine's
// transparent colour in step with them, runs one conversion per click and
// keeps its settings between runs.
#ifndef PIXWRIGHT_GUI_MAINFORM_H
#define PIXWRIGHT_GUI_MAINFORM_H

#include "gui/ColorValue.h"
#include "gui/ConversionWorker.h"
#include "gui/EngineCalls.h"

#include <QImage>

#include <QMainWindow>
#include <QString>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class TColorKeyDialog;
class TDropHandler;
class TFolderDialog;
class THelpDialog;
class TPreviewView;

// What the window talks to besides its own controls.
// The three ways the window lets the user choose the transparent colour, as
// the engine's key modes.
enum class TColorKeyChoice {
    Fixed = PIXWRIGHT_KEY_FIXED,
    TopLeft = PIXWRIGHT_KEY_POSITION,
    PaletteEntry0 = PIXWRIGHT_KEY_PALETTE
};

struct TFormContext {
    TEngineCalls engine = TEngineCalls::exports();
    // Folder of the settings file; empty: the running program's folder.
    QString programFolder;
    // Settings file used when the program's folder takes no file; empty:
    // the user's configuration folder.
    QString configFile;
};

class TPixwrightForm : public QMainWindow {
    Q_OBJECT

public:
    static constexpr TColorValue kInitialColor = 0x757500;

    explicit TPixwrightForm(const TFormContext& context = TFormContext(),
                            QWidget* parent = nullptr);
    ~TPixwrightForm() override;

    // The fixed transparent colour that switching the top-left-pixel mode
    // off restores.
    TColorValue RememberedColor() const { return rememberedColor_; }

    void InnerSetColorKey(TColorValue colour);
    void OutError(const QString& text);
    QString GetDataFileName() const;

    // The key choice the three colour-key controls make.
    TColorKeyChoice ColorKeyChoice() const;
    // The picture OpenFileEditChange loaded last; null when none is.
    const QImage& LoadedPicture() const { return loadedPicture_; }
    // True from a conversion's start until its result boxes are done.
    bool IsConverting() const;
    // Makes path the input and loads it at once, as the file chooser does.
    void SetInputFileAtOnce(const QString& path);
    // The whole-game window, modal, with gameFolder listed when given; its
    // pictures share this window's interpolation, sharpening and outputs.
    void OpenGameDialog(const QString& gameFolder = QString());

    QMenuBar* MainMenu1;
    QMenu* File1;
    QAction* GameFolderAction;
    QMenu* Help1;
    QAction* Pixwright1;

    QGroupBox* GroupBox6;
    QPlainTextEdit* HelpMemo;
    QLabel* OpenFileImage;
    QLabel* Label1;
    QLineEdit* OpenFileEdit;
    QPushButton* OpenFileButton;
    // Says why the input field is marked: its path names no file.
    QLabel* OpenFileStatusLabel;

    QGroupBox* ImageReplaceGroupBox;
    QButtonGroup* GridModeGroup;
    QRadioButton* TilesetRadioButton;
    QRadioButton* CharsetRadioButton;
    QRadioButton* NoGridRadioButton;
    QRadioButton* CustomRadioButton;
    QGroupBox* GroupBox4;
    QLabel* Label7;
    QLineEdit* GridXEdit;
    QLabel* Label8;
    QLineEdit* GridYEdit;
    QCheckBox* EraseAlphaGridCheckBox;

    QGroupBox* ImageConvertGroupBox;
    QLabel* Label3;
    QComboBox* InterpolationTypeComboBox;
    QLabel* Label4;
    QComboBox* SharpeLevelComboBox;
    QCheckBox* ColorKeyPosCheckBox;
    QCheckBox* ColorKeyPaletteCheckBox;
    QPushButton* SelectColorKeyButton;
    QLabel* ColorKeyCaption;
    QLineEdit* ColorKeyLabel;

    QGroupBox* ImageSaveGroupBox;
    QLabel* Label6;
    QComboBox* SaveImageTypeComboBox;
    QLabel* Label2;
    QLineEdit* SaveDirEdit;
    QPushButton* SaveDirButton;
    QLabel* Label5;
    QLineEdit* SaveFilePreffixEdit;
    QCheckBox* SaveNaturalCheckBox;
    QLabel* NaturalSuffixLabel;
    QLineEdit* NaturalSuffixEdit;
    QCheckBox* SaveColorCheckBox;
    QLabel* ColorSuffixLabel;
    QLineEdit* ColorSuffixEdit;
    QCheckBox* SaveAlphaCheckBox;
    QCheckBox* KeepPaletteCheckBox;
    QLabel* AlphaSuffixLabel;
    QLineEdit* AlphaSuffixEdit;
    QCheckBox* OverwriteAskCheckBox;

    QPushButton* ConvertButton;
    QPushButton* ExitButton;

    QGroupBox* PreviewGroupBox;
    TPreviewView* Preview;
    TConversionProgress* ConversionProgress;
    TConversionWorker* ConversionWorker;
    TDropHandler* DropHandler;
    // Restarted by every change of OpenFileEdit's text; runs
    // OpenFileEditChange when it fires.
    QTimer* OpenFileSettleTimer;

    TColorKeyDialog* ColorKeyDialog;
    TFolderDialog* FolderDialog;
    // Made when first asked for.
    THelpDialog* HelpDialog = nullptr;

public slots:
    void PixwrightFormCreate();
    void PixwrightDestroy();
    void OpenFileEditChange();
    void OpenFileButtonClick();
    void TilesetRadioButtonClick();
    void CharsetRadioButtonClick();
    void NoGridRadioButtonClick();
    void CustomButtonClick();
    void GridXEditChange();
    void GridYEditChange();
    void InterpolationTypeComboBoxChange();
    void ColorKeyPosCheckBoxClick();
    void ColorKeyPaletteCheckBoxClick();
    void SelectColorKeyButtonClick();
    void SaveImageTypeComboBoxChange();
    void SaveNaturalCheckBoxClick();
    void SaveColorCheckBoxClick();
    void SaveAlphaCheckBoxClick();
    void SaveDirButtonClick();
    void ConvertButtonClick();
    void ExitButtonClick();
    void Pixwright1Click();

signals:
    // OpenFileEditChange loaded a picture, or dropped the one it had.
    void InputPictureChanged();
    // A conversion ended and its boxes were shown; result is the engine's.
    void ConversionFinished(int result);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createMenu();
    void connectHandlers();
    bool readSettings();
    void writeSettings() const;
    void checkGridField(QLineEdit* edit);
    void openFileTextChanged();
    void flushOpenFileEdit();
    void setLoadedPicture(const QImage& image);
    void showPaletteKey();
    void updatePreviewGrid();
    void updatePreviewKey();
    void conversionEnded(int result);
    // Enables every control by the state of the others and of the
    // conversion: the one place the window's enabled states are decided.
    void updateActions();
    // Sets the grid fields to a preset's grid.
    void applyPreset(int preset);
    // The key the engine would use for the loaded picture, under the key
    // settings it was last sent.
    TColorValue engineKeyColour() const;
    void markMissingInput(bool missing);
    bool mayOverwrite(const QStringList& planned);

    TEngineCalls engine_;
    QString programFolder_;
    QString configFile_;
    TColorValue rememberedColor_ = kInitialColor;
    QString openDialogInitialPath_;
    QImage loadedPicture_;
    QByteArray loadedPath_;
    // From the convert button's click until the conversion has ended.
    bool converting_ = false;
    // While set, a new OpenFileEdit text loads at once instead of after the
    // pause in typing.
    bool loadAtOnce_ = false;
    // The engine has the palette-entry key: switching its box off gives the
    // fixed colour back.
    bool paletteKeyOn_ = false;
    // The running conversion's request and its input's size, for the
    // preview of its result.
    TConversionRequest convertRequest_;
    QStringList convertPlannedFiles_;
    // A close asked for while converting, carried out when it ends.
    bool closeWhenConverted_ = false;
    bool destroying_ = false;
};

#endif
