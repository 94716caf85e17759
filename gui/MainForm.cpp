#include "gui/MainForm.h"

#include "gui/DropHandler.h"
#include "gui/FailureMessage.h"
#include "gui/GameDialog.h"
#include "gui/FileFilter.h"
#include "gui/FolderDialog.h"
#include "gui/HelpDialog.h"
#include "gui/ModalHost.h"
#include "gui/PictureFile.h"
#include "gui/PreviewView.h"
#include "gui/SelectColorKeyDialog.h"
#include "gui/SettingsFile.h"
#include "gui/WindowFont.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdint>
#include <utility>

namespace {

// Texts used in more than one place; translated where they are shown.
const char* const kErrorCaption = QT_TRANSLATE_NOOP("TPixwrightForm", "エラー発生");
const char* const kGridNotInteger = QT_TRANSLATE_NOOP("TPixwrightForm", "グリッド値が整数ではありません。");
const QString kGridReset = QStringLiteral("16");
const char* const kConvertCaption = QT_TRANSLATE_NOOP("TPixwrightForm", "変換開始");
const char* const kConvertingCaption = QT_TRANSLATE_NOOP("TPixwrightForm", "変換中");

const char* const kOpenFilter = QT_TRANSLATE_NOOP("TPixwrightForm",
    "すべてのファイル (*.png;*.jpg;*.jpeg;*.bmp;*.xyz)|*.png;*.jpg;*.jpeg;*.bmp;*.xyz|"
    "PNG イメージファイル (*.png)|*.png|"
    "JPEG イメージファイル (*.jpg;*.jpeg)|*.jpg;*.jpeg|"
    "ビットマップ (*.bmp)|*.bmp|"
    "XYZ イメージファイル (*.xyz)|*.xyz");

// Typing into the input field loads the picture once typing has paused this
// long, not at every keystroke.
constexpr int kOpenFileSettleMs = 300;

constexpr int kPreviewWidth = 281;
constexpr int kPreviewHeight = 129;

// An optionally signed decimal number that fits an int; blanks around it are
// allowed.
bool parseGridValue(const QString& text, int& value)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*[+-]?[0-9]+\\s*$"));
    if (!pattern.match(text).hasMatch())
        return false;
    bool ok = false;
    value = text.trimmed().toInt(&ok, 10);
    return ok;
}

// Every control carries its role's name as its object name, so tests and
// the settings file find it.
template <typename Widget, typename... Args>
Widget* newNamed(QWidget* parent, const char* name, Args&&... args)
{
    auto* widget = new Widget(std::forward<Args>(args)..., parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLineEdit* newEdit(QWidget* parent, const char* name, const QString& text = QString())
{
    return newNamed<QLineEdit>(parent, name, text);
}

QLabel* newLabel(QWidget* parent, const char* name, const QString& text)
{
    return newNamed<QLabel>(parent, name, text);
}

QCheckBox* newCheckBox(QWidget* parent, const char* name, const QString& text, bool on)
{
    auto* box = newNamed<QCheckBox>(parent, name, text);
    box->setChecked(on);
    return box;
}

QRadioButton* newRadioButton(QWidget* parent, const char* name, const QString& text)
{
    return newNamed<QRadioButton>(parent, name, text);
}

QPushButton* newButton(QWidget* parent, const char* name, const QString& text)
{
    return newNamed<QPushButton>(parent, name, text);
}

QComboBox* newList(QWidget* parent, const char* name, const QStringList& items, int selected)
{
    auto* list = newNamed<QComboBox>(parent, name);
    list->addItems(items);
    list->setCurrentIndex(selected);
    return list;
}

QGroupBox* newGroup(QWidget* parent, const char* name, const QString& title)
{
    return newNamed<QGroupBox>(parent, name, title);
}

// The "…" buttons next to a path field.
void makeEllipsisButton(QPushButton* button)
{
    button->setFixedWidth(24);
}

// The window says what went wrong in its own words and language, from the
// facts the engine keeps of the failure; the engine's own box, in Japanese
// and without the reason, would be a second box for the same failure.
void keepEngineBoxUnshown(const char*, const char*) {}

} // namespace

TPixwrightForm::TPixwrightForm(const TFormContext& context, QWidget* parent)
    : QMainWindow(parent),
      engine_(context.engine),
      programFolder_(context.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                     : context.programFolder),
      configFile_(context.configFile.isEmpty() ? settings::inConfigFolder() : context.configFile)
{
    setObjectName(QStringLiteral("PixwrightForm"));
    setWindowTitle(QStringLiteral("Pixwright"));
    setFont(windowFont());

    createControls();
    createMenu();
    ConversionWorker = new TConversionWorker(engine_, this);
    ConversionWorker->setObjectName(QStringLiteral("ConversionWorker"));
    OpenFileSettleTimer = new QTimer(this);
    OpenFileSettleTimer->setObjectName(QStringLiteral("OpenFileSettleTimer"));
    OpenFileSettleTimer->setSingleShot(true);
    OpenFileSettleTimer->setInterval(kOpenFileSettleMs);
    // Before the dialogs exist: a drop on them is no drop on the window.
    DropHandler = new TDropHandler(this);
    DropHandler->setGameArea(PreviewGroupBox);
    connectHandlers();

    // The window was designed at about 683 x 550; a larger font may need
    // more, never less.
    resize(sizeHint().expandedTo(QSize(683, 550)));

    ColorKeyDialog = new TColorKeyDialog(this);
    FolderDialog = new TFolderDialog(this);

    engine_.setErrorBoxHandler(&keepEngineBoxUnshown);
    PixwrightFormCreate();
}

TPixwrightForm::~TPixwrightForm()
{
    // A conversion still running is stopped at its next cell and waited
    // for, so the settings are written with the groups enabled again and
    // the engine outlives no window.
    destroying_ = true;
    ConversionWorker->cancel();
    ConversionWorker->waitForEnd();
    PixwrightDestroy();
    engine_.setErrorBoxHandler(nullptr);
}

void TPixwrightForm::createControls()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(central);

    // Left column: preview, input file and conversion mode.
    GroupBox6 = newGroup(central, "GroupBox6", tr("画像変換"));
    auto* previewArea = new QWidget(GroupBox6);
    previewArea->setFixedSize(kPreviewWidth, kPreviewHeight);
    HelpMemo = new QPlainTextEdit(previewArea);
    HelpMemo->setObjectName(QStringLiteral("HelpMemo"));
    HelpMemo->setGeometry(0, 0, kPreviewWidth, kPreviewHeight);
    HelpMemo->setReadOnly(true);
    HelpMemo->setToolTip(tr("使い方のあらましです。詳しくはヘルプメニューから説明書を開きます。"));
    HelpMemo->setPlainText(QStringList{
        tr("お手軽チュートリアル"),
        tr("　１、変換元の画像を指定します。"),
        tr("　２，画像にグリッドの大きさを決めます。"),
        tr("　３，補間方法＆透過色を設定します。"),
        tr("　４，保存先ディレクトリの設定を行います。"),
        QString(),
        tr("詳しくはヘルプメニューまたは"),
        tr("ツールチップを参照してちょ。"),
    }.join(QLatin1Char('\n')));
    QPalette memoPalette = HelpMemo->palette();
    memoPalette.setColor(QPalette::Base, QColor(0xE0, 0xE0, 0xE0));
    memoPalette.setColor(QPalette::Text, Qt::black);
    HelpMemo->setPalette(memoPalette);
    OpenFileImage = new QLabel(previewArea);
    OpenFileImage->setObjectName(QStringLiteral("OpenFileImage"));
    OpenFileImage->setGeometry(0, 0, kPreviewWidth, kPreviewHeight);
    OpenFileImage->setScaledContents(true);
    OpenFileImage->hide();

    Label1 = newLabel(GroupBox6, "Label1", tr("入力ファイル"));
    OpenFileEdit = newEdit(GroupBox6, "OpenFileEdit");
    OpenFileEdit->setToolTip(tr("入力画像を選択します。"));
    Label1->setBuddy(OpenFileEdit);
    OpenFileButton = newButton(GroupBox6, "OpenFileButton", tr("…"));
    OpenFileButton->setToolTip(tr("入力画像をファイルの選択画面で選びます。"));
    makeEllipsisButton(OpenFileButton);

    auto* openRow = new QHBoxLayout;
    openRow->addWidget(OpenFileEdit, 1);
    openRow->addWidget(OpenFileButton);
    OpenFileStatusLabel = newLabel(GroupBox6, "OpenFileStatusLabel", tr("このファイルは見つかりません。"));
    QPalette missingPalette = OpenFileStatusLabel->palette();
    missingPalette.setColor(QPalette::WindowText, QColor(0xC0, 0x00, 0x00));
    OpenFileStatusLabel->setPalette(missingPalette);
    OpenFileStatusLabel->hide();
    auto* group6Layout = new QVBoxLayout(GroupBox6);
    group6Layout->addWidget(previewArea, 0, Qt::AlignHCenter);
    group6Layout->addWidget(Label1);
    group6Layout->addLayout(openRow);
    group6Layout->addWidget(OpenFileStatusLabel);

    ImageReplaceGroupBox = newGroup(central, "ImageReplaceGroupBox", tr("画像変換モード"));
    TilesetRadioButton = newRadioButton(ImageReplaceGroupBox, "TilesetRadioButton",
                                        tr("ゲームエディタ用チップセット"));
    TilesetRadioButton->setToolTip(
        tr("グリッドモードをゲームエディタ用チップセット用に合わせます。"));
    CharsetRadioButton = newRadioButton(ImageReplaceGroupBox, "CharsetRadioButton",
                                        tr("ゲームエディタ用キャラセット"));
    CharsetRadioButton->setToolTip(
        tr("グリッドモードをゲームエディタ用キャラセットに合わせます。"));
    NoGridRadioButton =
        newRadioButton(ImageReplaceGroupBox, "NoGridRadioButton", tr("グリッド無し"));
    NoGridRadioButton->setToolTip(tr("グリッド設定を行いません。"));
    CustomRadioButton =
        newRadioButton(ImageReplaceGroupBox, "CustomRadioButton", tr("カスタム"));
    CustomRadioButton->setToolTip(tr("任意のグリッドを設定してください。"));
    CustomRadioButton->setChecked(true);
    GridModeGroup = new QButtonGroup(this);
    GridModeGroup->setObjectName(QStringLiteral("GridModeGroup"));
    GridModeGroup->setExclusive(true);
    GridModeGroup->addButton(TilesetRadioButton);
    GridModeGroup->addButton(CharsetRadioButton);
    GridModeGroup->addButton(NoGridRadioButton);
    GridModeGroup->addButton(CustomRadioButton);

    GroupBox4 = newGroup(ImageReplaceGroupBox, "GroupBox4", tr("グリッド設定"));
    const QString gridTip = tr("おなじファイル内で画像を区切りたい場合に設定します。");
    Label7 = newLabel(GroupBox4, "Label7", tr("グリッドの幅"));
    GridXEdit = newEdit(GroupBox4, "GridXEdit", QStringLiteral("16"));
    GridXEdit->setToolTip(gridTip);
    GridXEdit->setFixedWidth(60);
    Label7->setBuddy(GridXEdit);
    Label8 = newLabel(GroupBox4, "Label8", tr("グリッドの高さ"));
    GridYEdit = newEdit(GroupBox4, "GridYEdit", QStringLiteral("16"));
    GridYEdit->setToolTip(gridTip);
    GridYEdit->setFixedWidth(60);
    Label8->setBuddy(GridYEdit);
    EraseAlphaGridCheckBox = newCheckBox(GroupBox4, "EraseAlphaGridCheckBox",
                                         tr("格子状になったアルファ値を補正する"), false);
    EraseAlphaGridCheckBox->setToolTip(
        tr("グリッドにそって生じるアルファ値の誤差を修正します。"));

    auto* gridLayout = new QGridLayout(GroupBox4);
    gridLayout->addWidget(Label7, 0, 0);
    gridLayout->addWidget(GridXEdit, 0, 1);
    gridLayout->addWidget(Label8, 1, 0);
    gridLayout->addWidget(GridYEdit, 1, 1);
    gridLayout->addWidget(EraseAlphaGridCheckBox, 2, 0, 1, 3);
    gridLayout->setColumnStretch(2, 1);

    auto* replaceLayout = new QVBoxLayout(ImageReplaceGroupBox);
    replaceLayout->addWidget(TilesetRadioButton);
    replaceLayout->addWidget(CharsetRadioButton);
    replaceLayout->addWidget(NoGridRadioButton);
    replaceLayout->addWidget(CustomRadioButton);
    replaceLayout->addWidget(GroupBox4);

    // Right column: interpolation and transparent colour, then the outputs.
    ImageConvertGroupBox = newGroup(central, "ImageConvertGroupBox", tr("補間設定"));
    Label3 = newLabel(ImageConvertGroupBox, "Label3", tr("補間モード"));
    // The lists hold the engine's numbered values, each item at its number.
    QStringList interpolations(PIXWRIGHT_INTERPOLATION_COUNT);
    interpolations[PIXWRIGHT_INTERPOLATION_NEAREST] = tr("ニアレストネイバー");
    interpolations[PIXWRIGHT_INTERPOLATION_BILINEAR] = tr("バイリニア");
    interpolations[PIXWRIGHT_INTERPOLATION_ORIGINAL] = tr("オリジナル");
    interpolations[PIXWRIGHT_INTERPOLATION_SCALE2X] = tr("Scale2x");
    interpolations[PIXWRIGHT_INTERPOLATION_XBR] = tr("xBR");
    InterpolationTypeComboBox = newList(ImageConvertGroupBox, "InterpolationTypeComboBox", interpolations,
                                        PIXWRIGHT_INTERPOLATION_BILINEAR);
    InterpolationTypeComboBox->setToolTip(
        tr("拡大するときのドットの補い方を選びます。Scale2x と xBR を選ぶと、色を増やさないようにシャープ化を行わない設定になります。"));
    Label3->setBuddy(InterpolationTypeComboBox);
    Label4 = newLabel(ImageConvertGroupBox, "Label4", tr("シャープ化レベル"));
    SharpeLevelComboBox = newList(ImageConvertGroupBox, "SharpeLevelComboBox",
                                  {tr("シャープ化を行わない"),
                                   tr("レベル１"), tr("レベル２"),
                                   tr("レベル３"), tr("レベル４"),
                                   tr("レベル５")},
                                  2);
    SharpeLevelComboBox->setToolTip(
        tr("補間法によっては画像がぼけるのでその修正に使ってください。"));
    Label4->setBuddy(SharpeLevelComboBox);
    ColorKeyPosCheckBox = newCheckBox(ImageConvertGroupBox, "ColorKeyPosCheckBox",
                                      tr("透過色は画像の左上のドット"), false);
    ColorKeyPosCheckBox->setToolTip(tr("それぞれの画像の左上のドットの色を透過色にします。"));
    ColorKeyPaletteCheckBox = newCheckBox(ImageConvertGroupBox, "ColorKeyPaletteCheckBox",
                                          tr("透過色はパレットの0番の色"), false);
    ColorKeyPaletteCheckBox->setToolTip(
        tr("パレットを持つ画像では、パレットの0番の色を透過色にします。"));
    SelectColorKeyButton =
        newButton(ImageConvertGroupBox, "SelectColorKeyButton", tr("透過色選択"));
    SelectColorKeyButton->setToolTip(
        tr("透過色を入力画像のドットから選びます。画像が無いときは色の選択画面で選びます。"));
    ColorKeyCaption = newLabel(ImageConvertGroupBox, "ColorKeyCaption", tr("設定された色"));
    ColorKeyLabel = newEdit(ImageConvertGroupBox, "ColorKeyLabel");
    ColorKeyLabel->setReadOnly(true);
    ColorKeyLabel->setToolTip(tr("透過色になる色です（#RRGGBB、16進数）。"));
    ColorKeyLabel->setFixedWidth(80);
    ColorKeyCaption->setBuddy(ColorKeyLabel);

    auto* convertLayout = new QGridLayout(ImageConvertGroupBox);
    convertLayout->addWidget(Label3, 0, 0);
    convertLayout->addWidget(InterpolationTypeComboBox, 0, 1, 1, 2);
    convertLayout->addWidget(Label4, 1, 0);
    convertLayout->addWidget(SharpeLevelComboBox, 1, 1, 1, 2);
    convertLayout->addWidget(ColorKeyPosCheckBox, 2, 0, 1, 3);
    convertLayout->addWidget(ColorKeyPaletteCheckBox, 3, 0, 1, 3);
    auto* keyRow = new QHBoxLayout;
    keyRow->addWidget(SelectColorKeyButton);
    keyRow->addStretch(1);
    keyRow->addWidget(ColorKeyCaption);
    keyRow->addWidget(ColorKeyLabel);
    convertLayout->addLayout(keyRow, 4, 0, 1, 3);
    convertLayout->setColumnStretch(2, 1);

    ImageSaveGroupBox = newGroup(central, "ImageSaveGroupBox", tr("出力設定"));
    Label6 = newLabel(ImageSaveGroupBox, "Label6", tr("出力形式"));
    QStringList formats(PIXWRIGHT_FORMAT_COUNT);
    formats[PIXWRIGHT_FORMAT_BMP] = tr("ＢＭＰファイル");
    formats[PIXWRIGHT_FORMAT_PNG] = tr("ＰＮＧファイル");
    formats[PIXWRIGHT_FORMAT_JPEG] = tr("ＪＰＧファイル");
    SaveImageTypeComboBox = newList(ImageSaveGroupBox, "SaveImageTypeComboBox", formats, PIXWRIGHT_FORMAT_BMP);
    SaveImageTypeComboBox->setToolTip(
        tr("出力ファイルの形式を選びます。アルファチャネル付きの画像は PNG でだけ出力できます。"));
    Label6->setBuddy(SaveImageTypeComboBox);
    Label2 = newLabel(ImageSaveGroupBox, "Label2", tr("出力フォルダ"));
    SaveDirEdit = newEdit(ImageSaveGroupBox, "SaveDirEdit");
    SaveDirEdit->setToolTip(tr(
        "パスの最後の'\\'記号はなくても構いません。フォルダが存在しない場合は勝手に作成します。"));
    Label2->setBuddy(SaveDirEdit);
    SaveDirButton = newButton(ImageSaveGroupBox, "SaveDirButton", tr("…"));
    SaveDirButton->setToolTip(tr("出力フォルダを選択画面で選びます。"));
    makeEllipsisButton(SaveDirButton);
    Label5 = newLabel(ImageSaveGroupBox, "Label5", tr("出力ファイル名"));
    SaveFilePreffixEdit = newEdit(ImageSaveGroupBox, "SaveFilePreffixEdit");
    SaveFilePreffixEdit->setToolTip(tr(
        "出力ファイル名を指定します。空欄の場合は入力ファイルの名前が使われます。"));
    Label5->setBuddy(SaveFilePreffixEdit);

    SaveNaturalCheckBox = newCheckBox(ImageSaveGroupBox, "SaveNaturalCheckBox",
                                      tr("アルファチャネル付き"), true);
    SaveNaturalCheckBox->setToolTip(tr("アルファ情報付き画像を出力するか決めます。"));
    NaturalSuffixLabel = newLabel(ImageSaveGroupBox, "NaturalSuffixLabel", tr("サフィックス:"));
    NaturalSuffixEdit = newEdit(ImageSaveGroupBox, "NaturalSuffixEdit");
    NaturalSuffixLabel->setBuddy(NaturalSuffixEdit);
    SaveColorCheckBox = newCheckBox(ImageSaveGroupBox, "SaveColorCheckBox",
                                    tr("アルファチャネル無し"), true);
    SaveColorCheckBox->setToolTip(tr("アルファ情報無しの画像を出力するか決めます。"));
    ColorSuffixLabel = newLabel(ImageSaveGroupBox, "ColorSuffixLabel", tr("サフィックス:"));
    ColorSuffixEdit = newEdit(ImageSaveGroupBox, "ColorSuffixEdit", QStringLiteral("color"));
    ColorSuffixLabel->setBuddy(ColorSuffixEdit);
    SaveAlphaCheckBox = newCheckBox(ImageSaveGroupBox, "SaveAlphaCheckBox",
                                    tr("アルファチャネルのみ"), true);
    SaveAlphaCheckBox->setToolTip(tr("アルファ情報だけの画像を出力するか決めます。"));
    AlphaSuffixLabel = newLabel(ImageSaveGroupBox, "AlphaSuffixLabel", tr("サフィックス:"));
    AlphaSuffixEdit = newEdit(ImageSaveGroupBox, "AlphaSuffixEdit", QStringLiteral("alpha"));
    AlphaSuffixLabel->setBuddy(AlphaSuffixEdit);
    for (QLineEdit* suffix : {NaturalSuffixEdit, ColorSuffixEdit, AlphaSuffixEdit})
        suffix->setFixedWidth(90);
    NaturalSuffixEdit->setToolTip(tr("アルファチャネル付きの画像のファイル名の最後に付ける文字です。"));
    ColorSuffixEdit->setToolTip(tr("アルファチャネル無しの画像のファイル名の最後に付ける文字です。"));
    AlphaSuffixEdit->setToolTip(tr("アルファチャネルのみの画像のファイル名の最後に付ける文字です。"));
    OverwriteAskCheckBox = newCheckBox(ImageSaveGroupBox, "OverwriteAskCheckBox",
                                       tr("上書きの前に確認する"), true);
    OverwriteAskCheckBox->setToolTip(
        tr("同じ名前のファイルが既にあるとき、変換の前に一度だけ上書きしてよいか確認します。"));
    KeepPaletteCheckBox = newCheckBox(ImageSaveGroupBox, "KeepPaletteCheckBox",
                                      tr("パレットを保つ（小さいファイル）"), false);
    KeepPaletteCheckBox->setToolTip(tr(
        "256色以下の画像をパレット付きのPNGファイルで出力します。画素は同じで、ファイルはずっと小さくなります。"));

    auto* saveLayout = new QGridLayout(ImageSaveGroupBox);
    saveLayout->addWidget(Label6, 0, 0);
    saveLayout->addWidget(SaveImageTypeComboBox, 0, 1, 1, 3, Qt::AlignLeft);
    saveLayout->addWidget(Label2, 1, 0, 1, 4);
    auto* dirRow = new QHBoxLayout;
    dirRow->addWidget(SaveDirEdit, 1);
    dirRow->addWidget(SaveDirButton);
    saveLayout->addLayout(dirRow, 2, 0, 1, 4);
    saveLayout->addWidget(Label5, 3, 0, 1, 4);
    saveLayout->addWidget(SaveFilePreffixEdit, 4, 0, 1, 4);
    saveLayout->addWidget(SaveNaturalCheckBox, 5, 0, 1, 2);
    saveLayout->addWidget(NaturalSuffixLabel, 5, 2, Qt::AlignRight);
    saveLayout->addWidget(NaturalSuffixEdit, 5, 3);
    saveLayout->addWidget(SaveColorCheckBox, 6, 0, 1, 2);
    saveLayout->addWidget(ColorSuffixLabel, 6, 2, Qt::AlignRight);
    saveLayout->addWidget(ColorSuffixEdit, 6, 3);
    saveLayout->addWidget(SaveAlphaCheckBox, 7, 0, 1, 2);
    saveLayout->addWidget(AlphaSuffixLabel, 7, 2, Qt::AlignRight);
    saveLayout->addWidget(AlphaSuffixEdit, 7, 3);
    saveLayout->addWidget(OverwriteAskCheckBox, 8, 0, 1, 4);
    saveLayout->addWidget(KeepPaletteCheckBox, 9, 0, 1, 4);
    saveLayout->setColumnStretch(1, 1);

    ConvertButton = newButton(central, "ConvertButton", tr(kConvertCaption));
    ConvertButton->setToolTip(tr("設定した内容で変換を始めます。入力画像が読み込まれるまでは押せません。"));
    ExitButton = newButton(central, "ExitButton", tr("終了"));
    ExitButton->setToolTip(tr("設定を保存して終了します。変換中なら変換を止めてから終了します。"));
    for (QPushButton* button : {ConvertButton, ExitButton})
        button->setMinimumWidth(90);

    // Third column: the preview, which takes whatever room the window has.
    PreviewGroupBox = newGroup(central, "PreviewGroupBox", tr("プレビュー"));
    Preview = new TPreviewView(PreviewGroupBox);
    auto* previewLayout = new QVBoxLayout(PreviewGroupBox);
    previewLayout->addWidget(Preview);
    ConversionProgress = new TConversionProgress(central);

    auto* left = new QVBoxLayout;
    left->addWidget(GroupBox6);
    left->addWidget(ImageReplaceGroupBox);
    left->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ConvertButton);
    buttons->addWidget(ExitButton);
    auto* right = new QVBoxLayout;
    right->addWidget(ImageConvertGroupBox);
    right->addWidget(ImageSaveGroupBox);
    right->addStretch(1);
    // A row of its own, shown only while converting, so nothing moves.
    right->addWidget(ConversionProgress);
    right->addLayout(buttons);
    auto* columns = new QHBoxLayout(central);
    columns->setContentsMargins(5, 5, 5, 5);
    columns->addLayout(left);
    columns->addLayout(right, 1);
    columns->addWidget(PreviewGroupBox, 2);
}

void TPixwrightForm::OpenGameDialog(const QString& gameFolder)
{
    TGameDialog dialog(this);
    TGameOptions options;
    options.interpolation = InterpolationTypeComboBox->currentIndex();
    options.sharpenLevel = SharpeLevelComboBox->currentIndex();
    options.outputFormat = SaveImageTypeComboBox->currentIndex();
    options.saveNatural = SaveNaturalCheckBox->isChecked() ? 1 : 0;
    options.naturalSuffix = NaturalSuffixEdit->text().toUtf8();
    options.saveColor = SaveColorCheckBox->isChecked() ? 1 : 0;
    options.colorSuffix = ColorSuffixEdit->text().toUtf8();
    options.saveAlpha = SaveAlphaCheckBox->isChecked() ? 1 : 0;
    options.alphaSuffix = AlphaSuffixEdit->text().toUtf8();
    // "auto" falls back to the fixed colour, as the palette box does here.
    options.fixedKeyColour = (rememberedColor_ & 0xFF) << 16 | (rememberedColor_ & 0xFF00) | (rememberedColor_ >> 16 & 0xFF);
    dialog.setOptions(options);
    dialog.setOutputFolder(SaveDirEdit->text());
    if (!gameFolder.isEmpty())
        dialog.setGameFolder(gameFolder);
    TModalHost::current().runDialog(dialog);
}

void TPixwrightForm::createMenu()
{
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    File1 = MainMenu1->addMenu(tr("ファイル(&F)"));
    File1->setObjectName(QStringLiteral("File1"));
    GameFolderAction = File1->addAction(tr("ゲームフォルダを変換…"));
    GameFolderAction->setObjectName(QStringLiteral("GameFolderAction"));
    connect(GameFolderAction, &QAction::triggered, this, [this] { OpenGameDialog(); });
    Help1 = MainMenu1->addMenu(tr("ヘルプ(&H)"));
    Help1->setObjectName(QStringLiteral("Help1"));
    Pixwright1 = Help1->addAction(tr("Pixwrightのヘルプ"));
    Pixwright1->setObjectName(QStringLiteral("Pixwright1"));
    Pixwright1->setShortcut(QKeySequence::HelpContents);
}

void TPixwrightForm::connectHandlers()
{
    // textChanged and toggled fire for changes made from code as well as by
    // the user, and toggled only on a real change: a radio button switched
    // on from code runs its handler, one that is already on runs nothing.
    // activated, by contrast, fires for the user's selections only.
    // Typing runs OpenFileEditChange only once it pauses, or when the user
    // leaves the field or presses Enter: it loads the picture.
    connect(OpenFileEdit, &QLineEdit::textChanged, this, &TPixwrightForm::openFileTextChanged);
    connect(OpenFileEdit, &QLineEdit::returnPressed, this, &TPixwrightForm::flushOpenFileEdit);
    connect(OpenFileSettleTimer, &QTimer::timeout, this, &TPixwrightForm::OpenFileEditChange);
    OpenFileEdit->installEventFilter(this);
    connect(OpenFileButton, &QPushButton::clicked, this, &TPixwrightForm::OpenFileButtonClick);
    const auto onSwitchedOn = [this](QRadioButton* button, void (TPixwrightForm::*handler)()) {
        connect(button, &QRadioButton::toggled, this, [this, handler](bool on) {
            if (on)
                (this->*handler)();
        });
    };
    onSwitchedOn(TilesetRadioButton, &TPixwrightForm::TilesetRadioButtonClick);
    onSwitchedOn(CharsetRadioButton, &TPixwrightForm::CharsetRadioButtonClick);
    onSwitchedOn(NoGridRadioButton, &TPixwrightForm::NoGridRadioButtonClick);
    onSwitchedOn(CustomRadioButton, &TPixwrightForm::CustomButtonClick);
    GridXEdit->installEventFilter(this);
    GridYEdit->installEventFilter(this);
    connect(InterpolationTypeComboBox, &QComboBox::activated, this,
            &TPixwrightForm::InterpolationTypeComboBoxChange);
    connect(ColorKeyPosCheckBox, &QCheckBox::toggled, this,
            &TPixwrightForm::ColorKeyPosCheckBoxClick);
    connect(ColorKeyPaletteCheckBox, &QCheckBox::toggled, this,
            &TPixwrightForm::ColorKeyPaletteCheckBoxClick);
    connect(SelectColorKeyButton, &QPushButton::clicked, this,
            &TPixwrightForm::SelectColorKeyButtonClick);
    connect(SaveImageTypeComboBox, &QComboBox::activated, this,
            &TPixwrightForm::SaveImageTypeComboBoxChange);
    connect(SaveNaturalCheckBox, &QCheckBox::toggled, this,
            &TPixwrightForm::SaveNaturalCheckBoxClick);
    connect(SaveColorCheckBox, &QCheckBox::toggled, this, &TPixwrightForm::SaveColorCheckBoxClick);
    connect(SaveAlphaCheckBox, &QCheckBox::toggled, this, &TPixwrightForm::SaveAlphaCheckBoxClick);
    connect(SaveDirButton, &QPushButton::clicked, this, &TPixwrightForm::SaveDirButtonClick);
    connect(ConvertButton, &QPushButton::clicked, this, &TPixwrightForm::ConvertButtonClick);
    connect(ExitButton, &QPushButton::clicked, this, &TPixwrightForm::ExitButtonClick);
    connect(Pixwright1, &QAction::triggered, this, &TPixwrightForm::Pixwright1Click);

    // The preview follows the grid without reloading anything.
    connect(GridXEdit, &QLineEdit::textChanged, this, &TPixwrightForm::updatePreviewGrid);
    connect(GridYEdit, &QLineEdit::textChanged, this, &TPixwrightForm::updatePreviewGrid);
    connect(GridModeGroup, &QButtonGroup::buttonToggled, this, &TPixwrightForm::updatePreviewGrid);

    connect(ConversionWorker, &TConversionWorker::progressed, ConversionProgress, &TConversionProgress::update);
    connect(ConversionWorker, &TConversionWorker::finished, this, &TPixwrightForm::conversionEnded);
    connect(ConversionProgress, &TConversionProgress::cancelRequested, ConversionWorker,
            &TConversionWorker::cancel);

    connect(DropHandler, &TDropHandler::pictureDropped, this, &TPixwrightForm::SetInputFileAtOnce);
    connect(DropHandler, &TDropHandler::folderDropped, this,
            [this](const QString& folder) { SaveDirEdit->setText(QDir::toNativeSeparators(folder)); });
    connect(DropHandler, &TDropHandler::gameFolderDropped, this, &TPixwrightForm::OpenGameDialog);
}

bool TPixwrightForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && watched == OpenFileEdit) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            flushOpenFileEdit();
    }
    if (event->type() == QEvent::FocusOut && (watched == GridXEdit || watched == GridYEdit)) {
        // Focus lent to a popup (the field's context menu) or taken by
        // another application comes back to the field: the user has not
        // left it.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            if (watched == GridXEdit)
                GridXEditChange();
            else
                GridYEditChange();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TPixwrightForm::InnerSetColorKey(TColorValue colour)
{
    ColorKeyLabel->setText(formatColorValue(colour));
    engine_.setColorKey(colorRed(colour), colorGreen(colour), colorBlue(colour));
    rememberedColor_ = colour;
    updatePreviewKey();
}

void TPixwrightForm::OutError(const QString& text)
{
    TModalHost::current().showMessage(this, QMessageBox::Warning, tr(kErrorCaption), text);
}

void TPixwrightForm::updateActions()
{
    // Nothing the engine reads may change while it converts.
    const bool idle = !converting_;
    for (QGroupBox* group : {GroupBox6, ImageReplaceGroupBox, ImageConvertGroupBox, ImageSaveGroupBox})
        group->setEnabled(idle);
    DropHandler->setEnabled(idle);
    // Nothing to convert until a picture is loaded.
    ConvertButton->setEnabled(idle && !loadedPicture_.isNull());

    // A preset or no grid fixes the grid; only a custom one is typed in.
    const bool customGrid = CustomRadioButton->isChecked();
    GridXEdit->setEnabled(customGrid);
    GridYEdit->setEnabled(customGrid);
    EraseAlphaGridCheckBox->setEnabled(customGrid);

    // The fixed colour is picked only while it is the key.
    const bool fixedKey = !ColorKeyPosCheckBox->isChecked() && !ColorKeyPaletteCheckBox->isChecked();
    SelectColorKeyButton->setEnabled(fixedKey);
    ColorKeyLabel->setEnabled(fixedKey);

    // Only PNG keeps the alpha channel of the picture itself.
    SaveNaturalCheckBox->setEnabled(SaveImageTypeComboBox->currentIndex() == PIXWRIGHT_FORMAT_PNG);
    NaturalSuffixEdit->setEnabled(SaveNaturalCheckBox->isChecked());
    ColorSuffixEdit->setEnabled(SaveColorCheckBox->isChecked());
    AlphaSuffixEdit->setEnabled(SaveAlphaCheckBox->isChecked());
}

QString TPixwrightForm::GetDataFileName() const
{
    return settings::besideProgram(programFolder_);
}

void TPixwrightForm::PixwrightFormCreate()
{
    SaveImageTypeComboBoxChange();
    InnerSetColorKey(kInitialColor);
    // The restored input loads while the file is read, so the items after
    // it override the grid mode its size suggests, as they always have.
    loadAtOnce_ = true;
    const bool read = readSettings();
    loadAtOnce_ = false;
    if (!read) {
        // A first start: the editors' chipsets and charsets carry a palette
        // whose entry 0 is their background, and only PNG keeps the alpha
        // made from it. Pictures without a palette fall back to the fixed
        // colour.
        SaveImageTypeComboBox->setCurrentIndex(PIXWRIGHT_FORMAT_PNG);
        SaveImageTypeComboBoxChange();
        ColorKeyPaletteCheckBox->setChecked(true);
        updateActions();
        return;
    }
    SaveImageTypeComboBoxChange();
    ColorKeyPosCheckBoxClick();
    ColorKeyPaletteCheckBoxClick();
    SaveNaturalCheckBoxClick();
    SaveColorCheckBoxClick();
    SaveAlphaCheckBoxClick();
    // Older files hold the grid fields' enabled state but no grid mode, so
    // fields saved disabled could come back disabled under the custom grid;
    // the enabled states follow the restored choices instead.
    updateActions();
}

void TPixwrightForm::PixwrightDestroy()
{
    writeSettings();
}

bool TPixwrightForm::readSettings()
{
    const std::optional<QByteArray> data = settings::readFirst(settings::readOrder(GetDataFileName(), configFile_));
    if (!data)
        return false;

    // Every get below does nothing once the file has run short or out of
    // step, so a damaged file keeps the defaults from there on.
    TSettingsReader in(*data);
    std::int32_t version = 0;
    in.getInt32(version);
    if (version >= 2) {
        in.getEdit(*OpenFileEdit);
        in.getEdit(*SaveDirEdit);
        in.getList(*SaveImageTypeComboBox);
        in.getEdit(*NaturalSuffixEdit);
        in.getEdit(*ColorSuffixEdit);
        in.getEdit(*AlphaSuffixEdit);
        in.getEdit(*SaveFilePreffixEdit);
        in.getList(*InterpolationTypeComboBox);
        in.getButton(*ColorKeyPosCheckBox);
        in.getList(*SharpeLevelComboBox);
        in.getEdit(*GridXEdit);
        in.getEdit(*GridYEdit);
        in.getButton(*EraseAlphaGridCheckBox);
    }
    if (version >= 3) {
        std::uint32_t colour = 0;
        if (in.getUInt32(colour))
            rememberedColor_ = colour & 0x00FFFFFFu;
        for (QCheckBox* box : {SaveNaturalCheckBox, SaveColorCheckBox, SaveAlphaCheckBox}) {
            std::uint8_t on = 0;
            if (in.getByte(on))
                box->setChecked(on != 0);
        }
        in.getEdit(*NaturalSuffixEdit);
        in.getEdit(*ColorSuffixEdit);
        in.getEdit(*AlphaSuffixEdit);
    }
    if (version >= 4) {
        in.getButton(*TilesetRadioButton);
        in.getButton(*CharsetRadioButton);
        in.getButton(*NoGridRadioButton);
        in.getButton(*CustomRadioButton);
        // Items added after version 4; a file without them keeps the
        // defaults, and a damaged block only its own records.
        if (const std::optional<TSettingsExtension> extension = in.getExtensionBlock()) {
            extension->getButton(settings::kPaletteKeyTag, *ColorKeyPaletteCheckBox);
            extension->getButton(settings::kPreviewZoomTag, *Preview->PreviewZoomCheckBox);
            extension->getButton(settings::kPreviewKeyTag, *Preview->PreviewKeyCheckBox);
            extension->getButton(settings::kOverwriteAskTag, *OverwriteAskCheckBox);
            extension->getButton(settings::kKeepPaletteTag, *KeepPaletteCheckBox);
        }
    }
    return true;
}

void TPixwrightForm::writeSettings() const
{
    TSettingsWriter out;
    out.putInt32(settings::kWrittenVersion);
    out.putEdit(*OpenFileEdit);
    out.putEdit(*SaveDirEdit);
    out.putList(*SaveImageTypeComboBox);
    out.putEdit(*NaturalSuffixEdit);
    out.putEdit(*ColorSuffixEdit);
    out.putEdit(*AlphaSuffixEdit);
    out.putEdit(*SaveFilePreffixEdit);
    out.putList(*InterpolationTypeComboBox);
    out.putButton(*ColorKeyPosCheckBox);
    out.putList(*SharpeLevelComboBox);
    out.putEdit(*GridXEdit);
    out.putEdit(*GridYEdit);
    out.putButton(*EraseAlphaGridCheckBox);
    out.putUInt32(rememberedColor_);
    out.putByte(SaveNaturalCheckBox->isChecked() ? 1 : 0);
    out.putByte(SaveColorCheckBox->isChecked() ? 1 : 0);
    out.putByte(SaveAlphaCheckBox->isChecked() ? 1 : 0);
    // The suffixes a second time: readers of the older layout find them here.
    out.putEdit(*NaturalSuffixEdit);
    out.putEdit(*ColorSuffixEdit);
    out.putEdit(*AlphaSuffixEdit);
    out.putButton(*TilesetRadioButton);
    out.putButton(*CharsetRadioButton);
    out.putButton(*NoGridRadioButton);
    out.putButton(*CustomRadioButton);
    TSettingsWriter extension;
    TSettingsWriter paletteKey;
    paletteKey.putButton(*ColorKeyPaletteCheckBox);
    extension.putTagged(settings::kPaletteKeyTag, paletteKey);
    const auto putButtonRecord = [&extension](std::uint8_t tag, const QAbstractButton& button) {
        TSettingsWriter record;
        record.putButton(button);
        extension.putTagged(tag, record);
    };
    putButtonRecord(settings::kPreviewZoomTag, *Preview->PreviewZoomCheckBox);
    putButtonRecord(settings::kPreviewKeyTag, *Preview->PreviewKeyCheckBox);
    putButtonRecord(settings::kOverwriteAskTag, *OverwriteAskCheckBox);
    putButtonRecord(settings::kKeepPaletteTag, *KeepPaletteCheckBox);
    out.putExtensionBlock(extension);
    // A file that cannot be written leaves the last one in place; there is
    // no window left to report it in.
    settings::write(GetDataFileName(), configFile_, out.bytes());
}

void TPixwrightForm::setLoadedPicture(const QImage& image)
{
    loadedPicture_ = image;
    // The engine is asked about the file under the name a conversion gets.
    loadedPath_ = image.isNull() ? QByteArray() : OpenFileEdit->text().toUtf8();
    Preview->setPicture(loadedPicture_);
    updatePreviewKey();
    if (ColorKeyPaletteCheckBox->isChecked())
        showPaletteKey();
    updateActions();
}

void TPixwrightForm::markMissingInput(bool missing)
{
    OpenFileStatusLabel->setVisible(missing);
    OpenFileEdit->setStyleSheet(missing ? QStringLiteral("QLineEdit { background: #FFE0E0; }") : QString());
}

void TPixwrightForm::OpenFileEditChange()
{
    OpenFileSettleTimer->stop();
    const QString path = OpenFileEdit->text();
    // A large picture takes a moment to decode; say so before the wait.
    if (QFileInfo(path).isFile())
        Preview->showLoading();
    const TPictureFile picture = TPictureFile::load(path);
    markMissingInput(picture.state == TPictureFile::Missing && !path.trimmed().isEmpty());
    if (picture.state != TPictureFile::Loaded && !loadedPicture_.isNull()) {
        setLoadedPicture(QImage());
        emit InputPictureChanged();
    }
    if (picture.state == TPictureFile::Invalid) {
        OutError(tr("画像を開けません。"));
        OpenFileEdit->clear();
        return;
    }
    if (picture.state == TPictureFile::Missing) {
        OpenFileImage->hide();
        OpenFileImage->clear();
        HelpMemo->show();
        return;
    }
    setLoadedPicture(picture.image);
    HelpMemo->hide();
    OpenFileImage->setPixmap(QPixmap::fromImage(picture.image));
    OpenFileImage->show();
    CustomRadioButton->setChecked(true);
    switch (presetForSize(picture.image.width(), picture.image.height())) {
    case PIXWRIGHT_PRESET_CHARSET:
        CharsetRadioButton->setChecked(true);
        break;
    case PIXWRIGHT_PRESET_CHIPSET:
        TilesetRadioButton->setChecked(true);
        break;
    default:
        break;
    }
    updatePreviewGrid();
    emit InputPictureChanged();
}

void TPixwrightForm::OpenFileButtonClick()
{
    if (!OpenFileEdit->text().isEmpty())
        openDialogInitialPath_ = OpenFileEdit->text();
    const QString chosen =
        TModalHost::current().chooseOpenFile(this, openDialogInitialPath_, qtFileFilter(tr(kOpenFilter)));
    if (!chosen.isEmpty())
        SetInputFileAtOnce(chosen);
}

void TPixwrightForm::applyPreset(int preset)
{
    PixwrightPresetInfo info{};
    presetInfo(preset, &info);
    GridXEdit->setText(QString::number(info.gridWidth));
    GridYEdit->setText(QString::number(info.gridHeight));
    EraseAlphaGridCheckBox->setChecked(info.eraseAlphaGrid != 0);
    updateActions();
}

void TPixwrightForm::TilesetRadioButtonClick()
{
    applyPreset(PIXWRIGHT_PRESET_CHIPSET);
}

void TPixwrightForm::CharsetRadioButtonClick()
{
    applyPreset(PIXWRIGHT_PRESET_CHARSET);
}

void TPixwrightForm::NoGridRadioButtonClick()
{
    GridXEdit->setText(QStringLiteral("0"));
    GridYEdit->setText(QStringLiteral("0"));
    EraseAlphaGridCheckBox->setChecked(false);
    updateActions();
}

void TPixwrightForm::CustomButtonClick()
{
    updateActions();
}

void TPixwrightForm::checkGridField(QLineEdit* edit)
{
    int value = 0;
    if (parseGridValue(edit->text(), value))
        return;
    OutError(tr(kGridNotInteger));
    edit->setText(kGridReset);
}

void TPixwrightForm::GridXEditChange()
{
    checkGridField(GridXEdit);
}

void TPixwrightForm::GridYEditChange()
{
    checkGridField(GridYEdit);
}

void TPixwrightForm::ColorKeyPosCheckBoxClick()
{
    const bool topLeft = ColorKeyPosCheckBox->isChecked();
    if (topLeft && ColorKeyPaletteCheckBox->isChecked()) {
        // The two choices exclude each other; the label goes back to the
        // fixed colour that the top-left mode leaves shown.
        const QSignalBlocker quiet(ColorKeyPaletteCheckBox);
        ColorKeyPaletteCheckBox->setChecked(false);
        paletteKeyOn_ = false;
        ColorKeyLabel->setText(formatColorValue(rememberedColor_));
    }
    updateActions();
    if (topLeft) {
        engine_.setColorKeyPos(0, 0);
    } else {
        InnerSetColorKey(rememberedColor_);
    }
    updatePreviewKey();
}

void TPixwrightForm::ColorKeyPaletteCheckBoxClick()
{
    if (ColorKeyPaletteCheckBox->isChecked()) {
        if (ColorKeyPosCheckBox->isChecked()) {
            const QSignalBlocker quiet(ColorKeyPosCheckBox);
            ColorKeyPosCheckBox->setChecked(false);
        }
        updateActions();
        engine_.setColorKeyPaletteIndex(0);
        paletteKeyOn_ = true;
        showPaletteKey();
    } else if (paletteKeyOn_) {
        // Only a real switch off gives the fixed colour back; run as a
        // follow-up with the box off it leaves the other two modes alone.
        paletteKeyOn_ = false;
        updateActions();
        InnerSetColorKey(rememberedColor_);
    }
    updatePreviewKey();
}

void TPixwrightForm::showPaletteKey()
{
    ColorKeyLabel->setText(formatColorValue(engineKeyColour()));
}

TColorValue TPixwrightForm::engineKeyColour() const
{
    // With no picture (or one the engine cannot read) the field shows the
    // fixed colour, which the engine also falls back to.
    PixwrightColor key{};
    if (loadedPicture_.isNull() || !engine_.pictureKeyColor
        || engine_.pictureKeyColor(loadedPath_.constData(), &key) != PIXWRIGHT_RESULT_SUCCESS)
        return rememberedColor_;
    return makeColorValue(key.red, key.green, key.blue);
}

TColorKeyChoice TPixwrightForm::ColorKeyChoice() const
{
    if (ColorKeyPaletteCheckBox->isChecked())
        return TColorKeyChoice::PaletteEntry0;
    if (ColorKeyPosCheckBox->isChecked())
        return TColorKeyChoice::TopLeft;
    return TColorKeyChoice::Fixed;
}

void TPixwrightForm::SelectColorKeyButtonClick()
{
    const TPictureFile picture = TPictureFile::load(OpenFileEdit->text());
    if (picture.state == TPictureFile::Loaded) {
        ColorKeyDialog->LoadPicture(picture.image);
        if (TModalHost::current().runDialog(*ColorKeyDialog) == QDialog::Accepted)
            InnerSetColorKey(ColorKeyDialog->PickedColor());
        return;
    }
    QColor colour(colorRed(rememberedColor_), colorGreen(rememberedColor_),
                  colorBlue(rememberedColor_));
    if (TModalHost::current().chooseColor(this, colour))
        InnerSetColorKey(makeColorValue(colour.red(), colour.green(), colour.blue()));
}

void TPixwrightForm::SaveImageTypeComboBoxChange()
{
    SaveNaturalCheckBox->setChecked(SaveImageTypeComboBox->currentIndex() == PIXWRIGHT_FORMAT_PNG);
    updateActions();
}

void TPixwrightForm::SaveNaturalCheckBoxClick()
{
    updateActions();
}

void TPixwrightForm::SaveColorCheckBoxClick()
{
    updateActions();
}

void TPixwrightForm::SaveAlphaCheckBoxClick()
{
    updateActions();
}

void TPixwrightForm::SaveDirButtonClick()
{
    if (!SaveDirEdit->text().isEmpty())
        FolderDialog->InitialPath = SaveDirEdit->text();
    FolderDialog->Title = tr("出力フォルダを指定して下さい。");
    if (FolderDialog->Execute())
        SaveDirEdit->setText(FolderDialog->FolderPath);
}

void TPixwrightForm::ConvertButtonClick()
{
    if (IsConverting())
        return;
    // A path still being typed is loaded first, as leaving the field would.
    flushOpenFileEdit();
    int gridWidth = 0;
    int gridHeight = 0;
    if (!parseGridValue(GridXEdit->text(), gridWidth) ||
        !parseGridValue(GridYEdit->text(), gridHeight)) {
        OutError(tr(kGridNotInteger));
        return;
    }

    ConvertButton->setText(tr(kConvertingCaption));

    TConversionRequest request;
    request.sourcePath = OpenFileEdit->text().toUtf8();
    request.outputFolder = SaveDirEdit->text().toUtf8();
    request.outputName = SaveFilePreffixEdit->text().toUtf8();
    request.editorPreset = (TilesetRadioButton->isChecked() || CharsetRadioButton->isChecked()) ? 1 : 0;
    request.gridWidth = gridWidth;
    request.gridHeight = gridHeight;
    request.sharpenLevel = SharpeLevelComboBox->currentIndex();
    request.eraseAlphaGrid = EraseAlphaGridCheckBox->isChecked() ? 1 : 0;
    request.interpolation = InterpolationTypeComboBox->currentIndex();
    request.outputFormat = SaveImageTypeComboBox->currentIndex();
    request.saveNatural = SaveNaturalCheckBox->isChecked() ? 1 : 0;
    request.naturalSuffix = NaturalSuffixEdit->text().toUtf8();
    request.saveColor = SaveColorCheckBox->isChecked() ? 1 : 0;
    request.colorSuffix = ColorSuffixEdit->text().toUtf8();
    request.saveAlpha = SaveAlphaCheckBox->isChecked() ? 1 : 0;
    request.alphaSuffix = AlphaSuffixEdit->text().toUtf8();
    convertRequest_ = request;
    convertPlannedFiles_ = request.plannedFiles(engine_);
    if (!mayOverwrite(convertPlannedFiles_)) {
        ConvertButton->setText(tr(kConvertCaption));
        updateActions();
        return;
    }

    // Sent now rather than on every toggle: the engine's settings must not
    // change while it runs, and here nothing runs.
    if (engine_.setPngPalette)
        engine_.setPngPalette(KeepPaletteCheckBox->isChecked() ? 1 : 0);
    // The controls are locked before the conversion thread can read
    // anything.
    converting_ = true;
    updateActions();
    ConversionProgress->begin();
    ConversionWorker->start(request);
}

bool TPixwrightForm::mayOverwrite(const QStringList& planned)
{
    if (!OverwriteAskCheckBox->isChecked())
        return true;
    QStringList existing;
    for (const QString& file : planned)
        if (QFileInfo::exists(file))
            existing << QDir::toNativeSeparators(file);
    if (existing.isEmpty())
        return true;
    // A few names say which files; a chipset's 54 would not fit a box.
    constexpr int kNamesShown = 5;
    QString names = existing.mid(0, kNamesShown).join(QLatin1Char('\n'));
    if (existing.size() > kNamesShown)
        names += QStringLiteral("\n…");
    return TModalHost::current().askYesNo(
        this, tr("上書きの確認"),
        tr("%n 個のファイルが既にあります。上書きしますか？", nullptr, int(existing.size())) + QStringLiteral("\n\n") +
            names);
}

bool TPixwrightForm::IsConverting() const
{
    return ConversionWorker->isRunning();
}

void TPixwrightForm::conversionEnded(int result)
{
    ConversionProgress->end();
    converting_ = false;
    updateActions();
    ConvertButton->setText(tr(kConvertCaption));
    if (destroying_)
        return;
    if (closeWhenConverted_) {
        closeWhenConverted_ = false;
        emit ConversionFinished(result);
        close();
        return;
    }
    // The engine writes its files in the planned order, so the first ones
    // are those written, however the conversion ended.
    const int written = ConversionWorker->filesWritten();
    const QStringList files = convertPlannedFiles_.mid(0, written);
    const QString folder =
        QDir::toNativeSeparators(QDir(QString::fromUtf8(convertRequest_.outputFolder)).absolutePath());
    const auto tellWritten = [&](const QString& text) {
        Preview->setResultFiles(files);
        if (written == 0) {
            TModalHost::current().showMessage(this, QMessageBox::Information, QStringLiteral("Pixwright"), text);
            return;
        }
        if (TModalHost::current().showMessageWithAction(this, QMessageBox::Information, QStringLiteral("Pixwright"),
                                                        text, tr("フォルダを開く")))
            TModalHost::current().openFolder(folder);
    };
    if (result == 0) {
        tellWritten(tr("画像の変換に成功しました。") + QLatin1Char('\n') +
                    tr("%n 個のファイルを %1 に書き出しました。", nullptr, written).arg(folder));
    } else if (result == PIXWRIGHT_RESULT_CANCELLED) {
        tellWritten(tr("中止しました: %n 個のファイルを書き出しました。", nullptr, written) + QLatin1Char('\n') +
                    tr("出力フォルダ: %1").arg(folder));
    } else {
        OutError(TFailureMessage::text(ConversionWorker->lastFailure()));
    }
    emit ConversionFinished(result);
}

void TPixwrightForm::closeEvent(QCloseEvent* event)
{
    if (IsConverting()) {
        // The window goes at once; it is closed for good, the settings
        // written, once the engine has stopped at its next band of rows.
        closeWhenConverted_ = true;
        ConversionWorker->cancel();
        ConversionProgress->CancelConvertButton->setEnabled(false);
        hide();
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void TPixwrightForm::openFileTextChanged()
{
    // Text that names no file needs no loading: the help comes back at once.
    if (loadAtOnce_ || !QFileInfo(OpenFileEdit->text()).isFile()) {
        OpenFileEditChange();
        return;
    }
    OpenFileSettleTimer->start();
}

void TPixwrightForm::flushOpenFileEdit()
{
    if (OpenFileSettleTimer->isActive())
        OpenFileEditChange();
}

void TPixwrightForm::SetInputFileAtOnce(const QString& path)
{
    loadAtOnce_ = true;
    OpenFileEdit->setText(QDir::toNativeSeparators(path));
    loadAtOnce_ = false;
    flushOpenFileEdit();
}

void TPixwrightForm::updatePreviewGrid()
{
    // The engine cuts a picture of a preset's size under either preset.
    const bool preset = TilesetRadioButton->isChecked() || CharsetRadioButton->isChecked();
    const int cut = preset ? presetForSize(loadedPicture_.width(), loadedPicture_.height()) : PIXWRIGHT_PRESET_NONE;
    int gridWidth = 0;
    int gridHeight = 0;
    TPreviewView::GridMode mode = TPreviewView::GridLines;
    if (NoGridRadioButton->isChecked())
        mode = TPreviewView::NoGrid;
    else if (cut == PIXWRIGHT_PRESET_CHIPSET)
        mode = TPreviewView::ChipsetGrid;
    else if (cut == PIXWRIGHT_PRESET_CHARSET)
        mode = TPreviewView::CharsetGrid;
    else if (!parseGridValue(GridXEdit->text(), gridWidth) || !parseGridValue(GridYEdit->text(), gridHeight))
        mode = TPreviewView::NoGrid;
    Preview->setGrid(mode, gridWidth, gridHeight);
}

void TPixwrightForm::updatePreviewKey()
{
    Preview->setKeyColour(engineKeyColour());
}

void TPixwrightForm::ExitButtonClick()
{
    close();
}

void TPixwrightForm::Pixwright1Click()
{
    if (!HelpDialog)
        HelpDialog = new THelpDialog(this);
    HelpDialog->show();
    HelpDialog->raise();
    HelpDialog->activateWindow();
}

void TPixwrightForm::InterpolationTypeComboBoxChange()
{
    // Scale2x and xBR draw with the picture's own colours; sharpening would
    // mix new ones in. The user may raise it again afterwards.
    const int mode = InterpolationTypeComboBox->currentIndex();
    if (mode == 3 || mode == 4)
        SharpeLevelComboBox->setCurrentIndex(0);
}
