#include "gui/MainForm.h"

#include "gui/FileFilter.h"
#include "gui/FolderDialog.h"
#include "gui/ModalHost.h"
#include "gui/PictureFile.h"
#include "gui/SelectColorKeyDialog.h"
#include "gui/SettingsFile.h"
#include "gui/WindowFont.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
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
#include <QVBoxLayout>

#include <cstdint>
#include <utility>

namespace {

const QString kErrorCaption = QStringLiteral("エラー発生");
const QString kGridNotInteger = QStringLiteral("グリッド値が整数ではありません。");
const QString kGridReset = QStringLiteral("16");
const QString kConvertCaption = QStringLiteral("変換開始");
const QString kConvertingCaption = QStringLiteral("変換中");

const QString kOpenFilter = QStringLiteral(
    "すべてのファイル (*.png;*.jpg;*.jpeg;*.bmp)|*.png;*.jpg;*.jpeg;*.bmp|"
    "PNG イメージファイル (*.png)|*.png|"
    "JPEG イメージファイル (*.jpg;*.jpeg)|*.jpg;*.jpeg|"
    "ビットマップ (*.bmp)|*.bmp");

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
    connectHandlers();

    // The window was designed at about 683 x 550; a larger font may need
    // more, never less.
    resize(sizeHint().expandedTo(QSize(683, 550)));

    ColorKeyDialog = new TColorKeyDialog(this);
    FolderDialog = new TFolderDialog(this);

    engine_.setErrorBoxHandler(&pixwrightEngineErrorBox);
    PixwrightFormCreate();
}

TPixwrightForm::~TPixwrightForm()
{
    PixwrightDestroy();
    engine_.setErrorBoxHandler(nullptr);
}

void TPixwrightForm::createControls()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(central);

    // Left column: preview, input file and conversion mode.
    GroupBox6 = newGroup(central, "GroupBox6", QStringLiteral("画像変換"));
    auto* previewArea = new QWidget(GroupBox6);
    previewArea->setFixedSize(kPreviewWidth, kPreviewHeight);
    HelpMemo = new QPlainTextEdit(previewArea);
    HelpMemo->setObjectName(QStringLiteral("HelpMemo"));
    HelpMemo->setGeometry(0, 0, kPreviewWidth, kPreviewHeight);
    HelpMemo->setReadOnly(true);
    HelpMemo->setPlainText(QStringList{
        QStringLiteral("お手軽チュートリアル"),
        QStringLiteral("　１、変換元の画像を指定します。"),
        QStringLiteral("　２，画像にグリッドの大きさを決めます。"),
        QStringLiteral("　３，補間方法＆透過色を設定します。"),
        QStringLiteral("　４，保存先ディレクトリの設定を行います。"),
        QString(),
        QStringLiteral("詳しくは Readme.txt または"),
        QStringLiteral("ツールチップを参照してちょ。"),
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

    Label1 = newLabel(GroupBox6, "Label1", QStringLiteral("入力ファイル"));
    OpenFileEdit = newEdit(GroupBox6, "OpenFileEdit");
    OpenFileEdit->setToolTip(QStringLiteral("入力画像を選択します。"));
    Label1->setBuddy(OpenFileEdit);
    OpenFileButton = newButton(GroupBox6, "OpenFileButton", QStringLiteral("…"));
    makeEllipsisButton(OpenFileButton);

    auto* openRow = new QHBoxLayout;
    openRow->addWidget(OpenFileEdit, 1);
    openRow->addWidget(OpenFileButton);
    auto* group6Layout = new QVBoxLayout(GroupBox6);
    group6Layout->addWidget(previewArea, 0, Qt::AlignHCenter);
    group6Layout->addWidget(Label1);
    group6Layout->addLayout(openRow);

    ImageReplaceGroupBox = newGroup(central, "ImageReplaceGroupBox", QStringLiteral("画像変換モード"));
    TilesetRadioButton = newRadioButton(ImageReplaceGroupBox, "TilesetRadioButton",
                                        QStringLiteral("ゲームエディタ用チップセット"));
    TilesetRadioButton->setToolTip(
        QStringLiteral("グリッドモードをゲームエディタ用チップセット用に合わせます。"));
    CharsetRadioButton = newRadioButton(ImageReplaceGroupBox, "CharsetRadioButton",
                                        QStringLiteral("ゲームエディタ用キャラセット"));
    CharsetRadioButton->setToolTip(
        QStringLiteral("グリッドモードをゲームエディタ用キャラセットに合わせます。"));
    NoGridRadioButton =
        newRadioButton(ImageReplaceGroupBox, "NoGridRadioButton", QStringLiteral("グリッド無し"));
    NoGridRadioButton->setToolTip(QStringLiteral("グリッド設定を行いません。"));
    CustomRadioButton =
        newRadioButton(ImageReplaceGroupBox, "CustomRadioButton", QStringLiteral("カスタム"));
    CustomRadioButton->setToolTip(QStringLiteral("任意のグリッドを設定してください。"));
    CustomRadioButton->setChecked(true);
    GridModeGroup = new QButtonGroup(this);
    GridModeGroup->setObjectName(QStringLiteral("GridModeGroup"));
    GridModeGroup->setExclusive(true);
    GridModeGroup->addButton(TilesetRadioButton);
    GridModeGroup->addButton(CharsetRadioButton);
    GridModeGroup->addButton(NoGridRadioButton);
    GridModeGroup->addButton(CustomRadioButton);

    GroupBox4 = newGroup(ImageReplaceGroupBox, "GroupBox4", QStringLiteral("グリッド設定"));
    const QString gridTip = QStringLiteral("おなじファイル内で画像を区切りたい場合に設定します。");
    Label7 = newLabel(GroupBox4, "Label7", QStringLiteral("グリッドの幅"));
    GridXEdit = newEdit(GroupBox4, "GridXEdit", QStringLiteral("16"));
    GridXEdit->setToolTip(gridTip);
    GridXEdit->setFixedWidth(60);
    Label7->setBuddy(GridXEdit);
    Label8 = newLabel(GroupBox4, "Label8", QStringLiteral("グリッドの高さ"));
    GridYEdit = newEdit(GroupBox4, "GridYEdit", QStringLiteral("16"));
    GridYEdit->setToolTip(gridTip);
    GridYEdit->setFixedWidth(60);
    Label8->setBuddy(GridYEdit);
    EraseAlphaGridCheckBox = newCheckBox(GroupBox4, "EraseAlphaGridCheckBox",
                                         QStringLiteral("格子状になったアルファ値を補正する"), false);
    EraseAlphaGridCheckBox->setToolTip(
        QStringLiteral("グリッドにそって生じるアルファ値の誤差を修正します。"));

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
    ImageConvertGroupBox = newGroup(central, "ImageConvertGroupBox", QStringLiteral("補完設定"));
    Label3 = newLabel(ImageConvertGroupBox, "Label3", QStringLiteral("補間モード"));
    InterpolationTypeComboBox = newList(ImageConvertGroupBox, "InterpolationTypeComboBox",
                                        {QStringLiteral("ニアレストネイバー"),
                                         QStringLiteral("バイリニア"),
                                         QStringLiteral("オリジナル")},
                                        1);
    Label3->setBuddy(InterpolationTypeComboBox);
    Label4 = newLabel(ImageConvertGroupBox, "Label4", QStringLiteral("シャープ化レベル"));
    SharpeLevelComboBox = newList(ImageConvertGroupBox, "SharpeLevelComboBox",
                                  {QStringLiteral("シャープ化を行わない"),
                                   QStringLiteral("レベル１"), QStringLiteral("レベル２"),
                                   QStringLiteral("レベル３"), QStringLiteral("レベル４"),
                                   QStringLiteral("レベル５")},
                                  2);
    SharpeLevelComboBox->setToolTip(
        QStringLiteral("補間法によっては画像がぼけるのでその修正に使ってください。"));
    Label4->setBuddy(SharpeLevelComboBox);
    ColorKeyPosCheckBox = newCheckBox(ImageConvertGroupBox, "ColorKeyPosCheckBox",
                                      QStringLiteral("透過色は画像の左上のドット"), false);
    SelectColorKeyButton =
        newButton(ImageConvertGroupBox, "SelectColorKeyButton", QStringLiteral("透過色選択"));
    ColorKeyCaption = newLabel(ImageConvertGroupBox, "ColorKeyCaption", QStringLiteral("設定された色"));
    ColorKeyLabel = newEdit(ImageConvertGroupBox, "ColorKeyLabel");
    ColorKeyLabel->setReadOnly(true);
    ColorKeyLabel->setFixedWidth(80);
    ColorKeyCaption->setBuddy(ColorKeyLabel);

    auto* convertLayout = new QGridLayout(ImageConvertGroupBox);
    convertLayout->addWidget(Label3, 0, 0);
    convertLayout->addWidget(InterpolationTypeComboBox, 0, 1, 1, 2);
    convertLayout->addWidget(Label4, 1, 0);
    convertLayout->addWidget(SharpeLevelComboBox, 1, 1, 1, 2);
    convertLayout->addWidget(ColorKeyPosCheckBox, 2, 0, 1, 3);
    auto* keyRow = new QHBoxLayout;
    keyRow->addWidget(SelectColorKeyButton);
    keyRow->addStretch(1);
    keyRow->addWidget(ColorKeyCaption);
    keyRow->addWidget(ColorKeyLabel);
    convertLayout->addLayout(keyRow, 3, 0, 1, 3);
    convertLayout->setColumnStretch(2, 1);

    ImageSaveGroupBox = newGroup(central, "ImageSaveGroupBox", QStringLiteral("出力設定"));
    Label6 = newLabel(ImageSaveGroupBox, "Label6", QStringLiteral("出力形式"));
    SaveImageTypeComboBox = newList(ImageSaveGroupBox, "SaveImageTypeComboBox",
                                    {QStringLiteral("ＢＭＰファイル"),
                                     QStringLiteral("ＰＮＧファイル"),
                                     QStringLiteral("ＪＰＧファイル")},
                                    0);
    Label6->setBuddy(SaveImageTypeComboBox);
    Label2 = newLabel(ImageSaveGroupBox, "Label2", QStringLiteral("出力フォルダ"));
    SaveDirEdit = newEdit(ImageSaveGroupBox, "SaveDirEdit");
    SaveDirEdit->setToolTip(QStringLiteral(
        "パスの最後の'\\'記号はなくても構いません。フォルダが存在しない場合は勝手に作成します。"));
    Label2->setBuddy(SaveDirEdit);
    SaveDirButton = newButton(ImageSaveGroupBox, "SaveDirButton", QStringLiteral("…"));
    makeEllipsisButton(SaveDirButton);
    Label5 = newLabel(ImageSaveGroupBox, "Label5", QStringLiteral("出力ファイル名"));
    SaveFilePreffixEdit = newEdit(ImageSaveGroupBox, "SaveFilePreffixEdit");
    SaveFilePreffixEdit->setToolTip(QStringLiteral(
        "出力ファイル名を指定します。空欄の場合は入力ファイルの名前が使われます。"));
    Label5->setBuddy(SaveFilePreffixEdit);

    SaveNaturalCheckBox = newCheckBox(ImageSaveGroupBox, "SaveNaturalCheckBox",
                                      QStringLiteral("アルファチャネル付き"), true);
    SaveNaturalCheckBox->setToolTip(QStringLiteral("アルファ情報付き画像を出力するか決めます。"));
    NaturalSuffixLabel = newLabel(ImageSaveGroupBox, "NaturalSuffixLabel", QStringLiteral("suffix:"));
    NaturalSuffixEdit = newEdit(ImageSaveGroupBox, "NaturalSuffixEdit");
    NaturalSuffixLabel->setBuddy(NaturalSuffixEdit);
    SaveColorCheckBox = newCheckBox(ImageSaveGroupBox, "SaveColorCheckBox",
                                    QStringLiteral("アルファチャネル無し"), true);
    SaveColorCheckBox->setToolTip(QStringLiteral("アルファ情報無しの画像を出力するか決めます。"));
    ColorSuffixLabel = newLabel(ImageSaveGroupBox, "ColorSuffixLabel", QStringLiteral("suffix:"));
    ColorSuffixEdit = newEdit(ImageSaveGroupBox, "ColorSuffixEdit", QStringLiteral("color"));
    ColorSuffixLabel->setBuddy(ColorSuffixEdit);
    SaveAlphaCheckBox = newCheckBox(ImageSaveGroupBox, "SaveAlphaCheckBox",
                                    QStringLiteral("アルファチャネルのみ"), true);
    SaveAlphaCheckBox->setToolTip(QStringLiteral("アルファ情報だけの画像を出力するか決めます。"));
    AlphaSuffixLabel = newLabel(ImageSaveGroupBox, "AlphaSuffixLabel", QStringLiteral("suffix:"));
    AlphaSuffixEdit = newEdit(ImageSaveGroupBox, "AlphaSuffixEdit", QStringLiteral("alpha"));
    AlphaSuffixLabel->setBuddy(AlphaSuffixEdit);
    for (QLineEdit* suffix : {NaturalSuffixEdit, ColorSuffixEdit, AlphaSuffixEdit})
        suffix->setFixedWidth(90);

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
    saveLayout->setColumnStretch(1, 1);

    ConvertButton = newButton(central, "ConvertButton", kConvertCaption);
    ExitButton = newButton(central, "ExitButton", QStringLiteral("終了"));
    for (QPushButton* button : {ConvertButton, ExitButton})
        button->setMinimumWidth(90);

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
    right->addLayout(buttons);
    auto* columns = new QHBoxLayout(central);
    columns->setContentsMargins(5, 5, 5, 5);
    columns->addLayout(left);
    columns->addLayout(right, 1);
}

void TPixwrightForm::createMenu()
{
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    Help1 = MainMenu1->addMenu(QStringLiteral("ヘルプ(&H)"));
    Help1->setObjectName(QStringLiteral("Help1"));
    // The help item has no action of its own.
    Pixwright1 = Help1->addAction(QStringLiteral("Pixwrightのヘルプ"));
    Pixwright1->setObjectName(QStringLiteral("Pixwright1"));
}

void TPixwrightForm::connectHandlers()
{
    // textChanged and toggled fire for changes made from code as well as by
    // the user, and toggled only on a real change: a radio button switched
    // on from code runs its handler, one that is already on runs nothing.
    // activated, by contrast, fires for the user's selections only.
    connect(OpenFileEdit, &QLineEdit::textChanged, this, &TPixwrightForm::OpenFileEditChange);
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
    connect(ColorKeyPosCheckBox, &QCheckBox::toggled, this,
            &TPixwrightForm::ColorKeyPosCheckBoxClick);
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
}

bool TPixwrightForm::eventFilter(QObject* watched, QEvent* event)
{
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
}

void TPixwrightForm::OutError(const QString& text)
{
    TModalHost::current().showMessage(this, QMessageBox::Question, kErrorCaption, text);
}

void TPixwrightForm::SetGridButtonEnabled(bool enabled)
{
    GridXEdit->setEnabled(enabled);
    GridYEdit->setEnabled(enabled);
    EraseAlphaGridCheckBox->setEnabled(enabled);
}

QString TPixwrightForm::GetDataFileName() const
{
    return settings::besideProgram(programFolder_);
}

void TPixwrightForm::PixwrightFormCreate()
{
    SaveImageTypeComboBoxChange();
    InnerSetColorKey(kInitialColor);
    if (!readSettings())
        return;
    SaveImageTypeComboBoxChange();
    ColorKeyPosCheckBoxClick();
    SaveNaturalCheckBoxClick();
    SaveColorCheckBoxClick();
    SaveAlphaCheckBoxClick();
    // Older files hold the grid fields' enabled state but no grid mode, so
    // fields saved disabled could come back disabled under the custom grid.
    SetGridButtonEnabled(CustomRadioButton->isChecked());
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
    // A file that cannot be written leaves the last one in place; there is
    // no window left to report it in.
    settings::write(GetDataFileName(), configFile_, out.bytes());
}

void TPixwrightForm::OpenFileEditChange()
{
    const TPictureFile picture = TPictureFile::load(OpenFileEdit->text());
    if (picture.state == TPictureFile::Invalid) {
        OutError(QStringLiteral("画像を開けません。"));
        OpenFileEdit->clear();
        return;
    }
    if (picture.state == TPictureFile::Missing) {
        OpenFileImage->hide();
        OpenFileImage->clear();
        HelpMemo->show();
        return;
    }
    HelpMemo->hide();
    OpenFileImage->setPixmap(QPixmap::fromImage(picture.image));
    OpenFileImage->show();
    CustomRadioButton->setChecked(true);
    const QSize size = picture.image.size();
    if (size == QSize(288, 256))
        CharsetRadioButton->setChecked(true);
    if (size == QSize(480, 256))
        TilesetRadioButton->setChecked(true);
}

void TPixwrightForm::OpenFileButtonClick()
{
    if (!OpenFileEdit->text().isEmpty())
        openDialogInitialPath_ = OpenFileEdit->text();
    const QString chosen =
        TModalHost::current().chooseOpenFile(this, openDialogInitialPath_, qtFileFilter(kOpenFilter));
    if (!chosen.isEmpty())
        OpenFileEdit->setText(QDir::toNativeSeparators(chosen));
}

void TPixwrightForm::TilesetRadioButtonClick()
{
    GridXEdit->setText(QStringLiteral("16"));
    GridYEdit->setText(QStringLiteral("16"));
    EraseAlphaGridCheckBox->setChecked(true);
    SetGridButtonEnabled(false);
}

void TPixwrightForm::CharsetRadioButtonClick()
{
    GridXEdit->setText(QStringLiteral("24"));
    GridYEdit->setText(QStringLiteral("32"));
    EraseAlphaGridCheckBox->setChecked(false);
    SetGridButtonEnabled(false);
}

void TPixwrightForm::NoGridRadioButtonClick()
{
    GridXEdit->setText(QStringLiteral("0"));
    GridYEdit->setText(QStringLiteral("0"));
    EraseAlphaGridCheckBox->setChecked(false);
    SetGridButtonEnabled(false);
}

void TPixwrightForm::CustomButtonClick()
{
    SetGridButtonEnabled(true);
}

void TPixwrightForm::checkGridField(QLineEdit* edit)
{
    int value = 0;
    if (parseGridValue(edit->text(), value))
        return;
    OutError(kGridNotInteger);
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
    SelectColorKeyButton->setEnabled(!topLeft);
    ColorKeyLabel->setEnabled(!topLeft);
    if (topLeft) {
        engine_.setColorKeyPos(0, 0);
    } else {
        InnerSetColorKey(rememberedColor_);
    }
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
    const bool png = SaveImageTypeComboBox->currentIndex() == 1;
    SaveNaturalCheckBox->setChecked(png);
    SaveNaturalCheckBox->setEnabled(png);
    NaturalSuffixEdit->setEnabled(png);
}

void TPixwrightForm::SaveNaturalCheckBoxClick()
{
    NaturalSuffixEdit->setEnabled(SaveNaturalCheckBox->isChecked());
}

void TPixwrightForm::SaveColorCheckBoxClick()
{
    ColorSuffixEdit->setEnabled(SaveColorCheckBox->isChecked());
}

void TPixwrightForm::SaveAlphaCheckBoxClick()
{
    AlphaSuffixEdit->setEnabled(SaveAlphaCheckBox->isChecked());
}

void TPixwrightForm::SaveDirButtonClick()
{
    if (!SaveDirEdit->text().isEmpty())
        FolderDialog->InitialPath = SaveDirEdit->text();
    FolderDialog->Title = QStringLiteral("出力フォルダを指定して下さい。");
    if (FolderDialog->Execute())
        SaveDirEdit->setText(FolderDialog->FolderPath);
}

void TPixwrightForm::ConvertButtonClick()
{
    int gridWidth = 0;
    int gridHeight = 0;
    if (!parseGridValue(GridXEdit->text(), gridWidth) ||
        !parseGridValue(GridYEdit->text(), gridHeight)) {
        OutError(kGridNotInteger);
        return;
    }

    ConvertButton->setText(kConvertingCaption);
    ConvertButton->setEnabled(false);
    // The engine blocks the event loop; paint the busy caption first.
    ConvertButton->repaint();

    const QByteArray sourcePath = OpenFileEdit->text().toUtf8();
    const QByteArray outputFolder = SaveDirEdit->text().toUtf8();
    const QByteArray outputName = SaveFilePreffixEdit->text().toUtf8();
    const QByteArray naturalSuffix = NaturalSuffixEdit->text().toUtf8();
    const QByteArray colorSuffix = ColorSuffixEdit->text().toUtf8();
    const QByteArray alphaSuffix = AlphaSuffixEdit->text().toUtf8();
    const int editorPreset =
        (TilesetRadioButton->isChecked() || CharsetRadioButton->isChecked()) ? 1 : 0;
    const int result = engine_.graphicConvert(
        sourcePath.constData(), outputFolder.constData(), outputName.constData(), editorPreset,
        gridWidth, gridHeight, SharpeLevelComboBox->currentIndex(),
        EraseAlphaGridCheckBox->isChecked() ? 1 : 0, InterpolationTypeComboBox->currentIndex(),
        SaveImageTypeComboBox->currentIndex(), SaveNaturalCheckBox->isChecked() ? 1 : 0,
        naturalSuffix.constData(), SaveColorCheckBox->isChecked() ? 1 : 0,
        colorSuffix.constData(), SaveAlphaCheckBox->isChecked() ? 1 : 0,
        alphaSuffix.constData());

    ConvertButton->setEnabled(true);
    ConvertButton->setText(kConvertCaption);
    if (result == 0)
        TModalHost::current().showMessage(this, QMessageBox::Information,
                                          QStringLiteral("Pixwright"),
                                          QStringLiteral("画像の変換に成功しました。"));
    else
        OutError(QStringLiteral("画像変換に失敗しました。"));
}

void TPixwrightForm::ExitButtonClick()
{
    close();
}
