#include "gui/GameDialog.h"

#include "gui/ModalHost.h"

#include <algorithm>

#include <QComboBox>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

TGameDialog::TGameDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("GameDialog"));
    setWindowTitle(tr("ゲームフォルダを変換"));
    createControls();
    Worker = new TGameWorker(this);
    connect(Worker, &TGameWorker::pictureStarted, this, &TGameDialog::pictureStarted);
    connect(Worker, &TGameWorker::pictureEnded, this, &TGameDialog::pictureEnded);
    connect(Worker, &TGameWorker::finished, this, &TGameDialog::runEnded);
    resize(sizeHint().expandedTo(QSize(760, 760)));
    updateControls();
}

TGameDialog::~TGameDialog()
{
    Worker->stop();
    Worker->waitForEnd();
}

void TGameDialog::createControls()
{
    auto* layout = new QVBoxLayout(this);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel(tr("ゲームフォルダ"), this));
    GameFolderEdit = new QLineEdit(this);
    GameFolderEdit->setObjectName(QStringLiteral("GameFolderEdit"));
    GameFolderEdit->setToolTip(tr("素材フォルダ（ChipSet、CharSet など）の入ったゲームのフォルダです。"));
    folderRow->addWidget(GameFolderEdit, 1);
    GameFolderButton = new QPushButton(tr("…"), this);
    GameFolderButton->setObjectName(QStringLiteral("GameFolderButton"));
    folderRow->addWidget(GameFolderButton);
    layout->addLayout(folderRow);

    auto* kinds = new QGroupBox(tr("種類ごとの設定"), this);
    kinds->setObjectName(QStringLiteral("KindGroupBox"));
    auto* kindLayout = new QVBoxLayout(kinds);
    KindTable = new QTableWidget(0, 5, kinds);
    KindTable->setObjectName(QStringLiteral("KindTable"));
    KindTable->setHorizontalHeaderLabels({tr("フォルダ"), tr("グリッド"), tr("幅"), tr("高さ"), tr("透過色")});
    KindTable->verticalHeader()->hide();
    KindTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Every kind's row in view: a game has at most sixteen.
    KindTable->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    KindTable->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    kindLayout->addWidget(KindTable);
    layout->addWidget(kinds);

    auto* pictures = new QGroupBox(tr("画像"), this);
    pictures->setObjectName(QStringLiteral("PictureGroupBox"));
    auto* pictureLayout = new QVBoxLayout(pictures);
    PictureList = new QTreeWidget(pictures);
    PictureList->setObjectName(QStringLiteral("PictureList"));
    PictureList->setRootIsDecorated(false);
    PictureList->setHeaderLabels({tr("ファイル"), tr("種類"), tr("形式"), tr("大きさ"), tr("設定"), tr("結果")});
    PictureList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    pictureLayout->addWidget(PictureList);
    ListSummaryLabel = new QLabel(pictures);
    ListSummaryLabel->setObjectName(QStringLiteral("ListSummaryLabel"));
    pictureLayout->addWidget(ListSummaryLabel);
    layout->addWidget(pictures, 1);

    auto* outputRow = new QHBoxLayout;
    outputRow->addWidget(new QLabel(tr("出力フォルダ"), this));
    OutputFolderEdit = new QLineEdit(this);
    OutputFolderEdit->setObjectName(QStringLiteral("OutputFolderEdit"));
    OutputFolderEdit->setToolTip(tr("素材フォルダごとに同じ名前のフォルダを作って保存します。"));
    outputRow->addWidget(OutputFolderEdit, 1);
    OutputFolderButton = new QPushButton(tr("…"), this);
    OutputFolderButton->setObjectName(QStringLiteral("OutputFolderButton"));
    outputRow->addWidget(OutputFolderButton);
    layout->addLayout(outputRow);

    GameProgressBar = new QProgressBar(this);
    GameProgressBar->setObjectName(QStringLiteral("GameProgressBar"));
    GameProgressBar->setFormat(QStringLiteral("%v / %m"));
    GameProgressBar->setValue(0);
    layout->addWidget(GameProgressBar);
    ProgressLabel = new QLabel(this);
    ProgressLabel->setObjectName(QStringLiteral("ProgressLabel"));
    layout->addWidget(ProgressLabel);
    SummaryLabel = new QLabel(this);
    SummaryLabel->setObjectName(QStringLiteral("SummaryLabel"));
    SummaryLabel->setWordWrap(true);
    SummaryLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(SummaryLabel);

    auto* buttons = new QHBoxLayout;
    ConvertButton = new QPushButton(tr("変換"), this);
    ConvertButton->setObjectName(QStringLiteral("ConvertButton"));
    StopButton = new QPushButton(tr("停止"), this);
    StopButton->setObjectName(QStringLiteral("StopButton"));
    OpenOutputButton = new QPushButton(tr("出力フォルダを開く"), this);
    OpenOutputButton->setObjectName(QStringLiteral("OpenOutputButton"));
    CloseButton = new QPushButton(tr("閉じる"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    buttons->addWidget(ConvertButton);
    buttons->addWidget(StopButton);
    buttons->addStretch(1);
    buttons->addWidget(OpenOutputButton);
    buttons->addWidget(CloseButton);
    layout->addLayout(buttons);

    connect(GameFolderButton, &QPushButton::clicked, this, &TGameDialog::GameFolderButtonClick);
    connect(GameFolderEdit, &QLineEdit::returnPressed, this, [this] { setGameFolder(GameFolderEdit->text()); });
    connect(OutputFolderButton, &QPushButton::clicked, this, &TGameDialog::OutputFolderButtonClick);
    connect(OutputFolderEdit, &QLineEdit::textChanged, this, &TGameDialog::updateControls);
    connect(ConvertButton, &QPushButton::clicked, this, &TGameDialog::ConvertButtonClick);
    connect(StopButton, &QPushButton::clicked, this, &TGameDialog::StopButtonClick);
    connect(OpenOutputButton, &QPushButton::clicked, this, &TGameDialog::OpenOutputButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &TGameDialog::reject);
}

void TGameDialog::setGameFolder(const QString& folder)
{
    GameFolderEdit->setText(QDir::toNativeSeparators(folder));
    listGame();
}

void TGameDialog::setOutputFolder(const QString& folder)
{
    OutputFolderEdit->setText(QDir::toNativeSeparators(folder));
}

void TGameDialog::GameFolderButtonClick()
{
    const QString folder =
        TModalHost::current().chooseFolder(this, tr("ゲームフォルダを選択してください"), GameFolderEdit->text());
    if (!folder.isEmpty())
        setGameFolder(folder);
}

void TGameDialog::OutputFolderButtonClick()
{
    const QString folder =
        TModalHost::current().chooseFolder(this, tr("出力フォルダを選択してください"), OutputFolderEdit->text());
    if (!folder.isEmpty())
        setOutputFolder(folder);
}

QString TGameDialog::skipText(game::Skip skip) const
{
    switch (skip) {
    case game::Skip::NotInAssetFolder:
        return tr("対象外（素材フォルダの外）");
    case game::Skip::NotAssetFolder:
        return tr("対象外（素材フォルダではない）");
    case game::Skip::FolderInsideAssetFolder:
        return tr("対象外（素材フォルダの中のフォルダ）");
    case game::Skip::NotPicture:
        return tr("対象外（画像ではない）");
    case game::Skip::None:
        break;
    }
    return QString();
}

QString TGameDialog::settingsText(const PixwrightKindSettings& s) const
{
    QString grid;
    switch (s.gridMode) {
    case PIXWRIGHT_GRID_CHIPSET:
        grid = tr("チップセット");
        break;
    case PIXWRIGHT_GRID_CHARSET:
        grid = tr("キャラセット");
        break;
    case PIXWRIGHT_GRID_NONE:
        grid = tr("グリッド無し");
        break;
    default:
        grid = tr("カスタム %1×%2").arg(s.gridWidth).arg(s.gridHeight);
        break;
    }
    return grid + tr("・透過色 %1").arg(s.keyMode == PIXWRIGHT_KEY_OFF ? tr("なし") : tr("自動"));
}

void TGameDialog::listGame()
{
    entries_ = game::scanGame(QDir::fromNativeSeparators(GameFolderEdit->text()).toStdString());
    game::inspectPictures(entries_);
    ran_ = false;
    SummaryLabel->clear();
    ProgressLabel->clear();
    PictureList->clear();
    int pictures = 0;
    for (const game::GameEntry& entry : entries_) {
        auto* item = new QTreeWidgetItem(PictureList);
        item->setText(FileColumn, QString::fromStdString(entry.relativePath));
        if (const char* kind = entry.folder.empty() ? nullptr : kindFolderName(entry.kind))
            item->setText(KindColumn, QString::fromLatin1(kind));
        if (entry.isPicture()) {
            ++pictures;
            item->setText(FormatColumn, QString::fromLatin1(entry.format.name));
            if (entry.width > 0)
                item->setText(SizeColumn, QStringLiteral("%1×%2").arg(entry.width).arg(entry.height));
            else
                item->setText(SizeColumn, tr("読めません"));
        } else {
            item->setText(ResultColumn, skipText(entry.skip));
            item->setDisabled(true);
        }
    }
    ListSummaryLabel->setText(
        tr("画像 %1 件、対象外 %2 件").arg(pictures).arg(int(entries_.size()) - pictures));
    GameProgressBar->setRange(0, std::max(pictures, 1));
    GameProgressBar->setValue(0);
    fillKindTable();
    showPictureSettings();
    updateControls();
}

void TGameDialog::fillKindTable()
{
    filling_ = true;
    KindTable->setRowCount(0);
    std::vector<int> kinds;
    for (const game::GameEntry& entry : entries_)
        if (entry.isPicture() && std::find(kinds.begin(), kinds.end(), entry.kind) == kinds.end())
            kinds.push_back(entry.kind);
    std::sort(kinds.begin(), kinds.end());
    for (int kind : kinds) {
        const int row = KindTable->rowCount();
        KindTable->insertRow(row);
        const PixwrightKindSettings& s = presets_.rows[size_t(kind)];
        auto* name = new QTableWidgetItem(QString::fromLatin1(kindFolderName(kind)));
        name->setFlags(Qt::ItemIsEnabled);
        name->setData(Qt::UserRole, kind);
        KindTable->setItem(row, KindNameColumn, name);

        // In the order of the engine's grid modes.
        auto* mode = new QComboBox(KindTable);
        mode->addItems({tr("チップセット"), tr("キャラセット"), tr("グリッド無し"), tr("カスタム")});
        mode->setCurrentIndex(s.gridMode);
        KindTable->setCellWidget(row, GridModeColumn, mode);
        auto* width = new QSpinBox(KindTable);
        auto* height = new QSpinBox(KindTable);
        for (QSpinBox* box : {width, height})
            box->setRange(1, 4096);
        width->setValue(std::max(1, s.gridWidth));
        height->setValue(std::max(1, s.gridHeight));
        KindTable->setCellWidget(row, GridWidthColumn, width);
        KindTable->setCellWidget(row, GridHeightColumn, height);
        auto* key = new QComboBox(KindTable);
        key->addItems({tr("自動"), tr("なし")});
        key->setCurrentIndex(s.keyMode == PIXWRIGHT_KEY_OFF ? 1 : 0);
        KindTable->setCellWidget(row, KeyColumn, key);

        const auto edited = [this, kind] { kindEdited(kind); };
        connect(mode, qOverload<int>(&QComboBox::currentIndexChanged), this, edited);
        connect(width, qOverload<int>(&QSpinBox::valueChanged), this, edited);
        connect(height, qOverload<int>(&QSpinBox::valueChanged), this, edited);
        connect(key, qOverload<int>(&QComboBox::currentIndexChanged), this, edited);
    }
    filling_ = false;
}

void TGameDialog::kindEdited(int kind)
{
    if (filling_)
        return;
    for (int row = 0; row < KindTable->rowCount(); ++row) {
        if (KindTable->item(row, KindNameColumn)->data(Qt::UserRole).toInt() != kind)
            continue;
        PixwrightKindSettings& s = presets_.rows[size_t(kind)];
        s.gridMode = static_cast<QComboBox*>(KindTable->cellWidget(row, GridModeColumn))->currentIndex();
        s.gridWidth = static_cast<QSpinBox*>(KindTable->cellWidget(row, GridWidthColumn))->value();
        s.gridHeight = static_cast<QSpinBox*>(KindTable->cellWidget(row, GridHeightColumn))->value();
        s.keyMode = static_cast<QComboBox*>(KindTable->cellWidget(row, KeyColumn))->currentIndex() == 1
                        ? PIXWRIGHT_KEY_OFF
                        : PIXWRIGHT_KEY_PALETTE;
    }
    showPictureSettings();
    updateControls();
}

void TGameDialog::showPictureSettings()
{
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].isPicture())
            PictureList->topLevelItem(int(i))->setText(SettingsColumn,
                                                       settingsText(presets_.forPicture(entries_[i])));
    // The grid fields count for a custom grid only.
    for (int row = 0; row < KindTable->rowCount(); ++row) {
        const bool custom =
            static_cast<QComboBox*>(KindTable->cellWidget(row, GridModeColumn))->currentIndex() == PIXWRIGHT_GRID_CUSTOM;
        KindTable->cellWidget(row, GridWidthColumn)->setEnabled(custom);
        KindTable->cellWidget(row, GridHeightColumn)->setEnabled(custom);
    }
}

void TGameDialog::ConvertButtonClick()
{
    const QString output = QDir::fromNativeSeparators(OutputFolderEdit->text());
    game::OutputRequest outputs;
    outputs.outputFormat = options_.outputFormat;
    outputs.saveNatural = options_.saveNatural != 0;
    outputs.naturalSuffix = options_.naturalSuffix.toStdString();
    outputs.saveColor = options_.saveColor != 0;
    outputs.colorSuffix = options_.colorSuffix.toStdString();
    outputs.saveAlpha = options_.saveAlpha != 0;
    outputs.alphaSuffix = options_.alphaSuffix.toStdString();
    const std::vector<int> clashes =
        game::findClashes(game::plannedFiles(entries_, presets_, QFile::encodeName(output).toStdString(), outputs));
    std::vector<TGamePicture> run;
    runEntries_.clear();
    converted_ = 0;
    failed_ = 0;
    failures_.clear();
    for (size_t i = 0; i < entries_.size(); ++i) {
        const game::GameEntry& entry = entries_[i];
        if (!entry.isPicture())
            continue;
        if (clashes[i] >= 0) {
            // Its files would replace another picture's.
            const QString reason = tr("%1 と同じファイル名になるため変換しません")
                                       .arg(QString::fromStdString(entries_[size_t(clashes[i])].relativePath));
            PictureList->topLevelItem(int(i))->setText(ResultColumn, tr("失敗: %1").arg(reason));
            failures_ << QStringLiteral("%1: %2").arg(QString::fromStdString(entry.relativePath), reason);
            ++failed_;
            continue;
        }
        const QString folder = QDir(output).filePath(QString::fromStdString(entry.folder));
        // The engine makes the asset folder, as for any conversion; the
        // game's output folder above it may be missing too. One that cannot
        // be made is reported by the pictures.
        QDir().mkpath(output);
        run.push_back(TGamePicture{QByteArray::fromStdString(entry.path), QFile::encodeName(folder),
                                   presets_.forPicture(entry)});
        runEntries_.push_back(int(i));
        PictureList->topLevelItem(int(i))->setText(ResultColumn, QString());
    }
    SummaryLabel->clear();
    GameProgressBar->setRange(0, std::max(int(run.size()), 1));
    GameProgressBar->setValue(0);
    if (Worker->start(run, options_))
        updateControls();
}

void TGameDialog::StopButtonClick()
{
    Worker->stop();
    StopButton->setEnabled(false);
}

void TGameDialog::OpenOutputButtonClick()
{
    TModalHost::current().openFolder(this, QDir::fromNativeSeparators(OutputFolderEdit->text()));
}

void TGameDialog::pictureStarted(int index)
{
    const game::GameEntry& entry = entries_[size_t(runEntries_[size_t(index)])];
    ProgressLabel->setText(tr("%1 / %2 枚目: %3")
                               .arg(index + 1)
                               .arg(runEntries_.size())
                               .arg(QString::fromStdString(entry.relativePath)));
}

void TGameDialog::pictureEnded(int index, int result, const QString& messages)
{
    const int entry = runEntries_[size_t(index)];
    QTreeWidgetItem* item = PictureList->topLevelItem(entry);
    if (result == PIXWRIGHT_RESULT_SUCCESS) {
        ++converted_;
        item->setText(ResultColumn, tr("変換しました"));
    } else if (result == PIXWRIGHT_RESULT_CANCELLED) {
        item->setText(ResultColumn, tr("停止しました"));
    } else {
        ++failed_;
        const QString reason = QString(messages).replace(QLatin1Char('\n'), QLatin1Char(' ')).simplified();
        item->setText(ResultColumn, tr("失敗（コード %1）: %2").arg(result).arg(reason));
        failures_ << QStringLiteral("%1: %2").arg(QString::fromStdString(entries_[size_t(entry)].relativePath), reason);
    }
    GameProgressBar->setValue(index + 1);
}

void TGameDialog::runEnded(bool stopped)
{
    ran_ = true;
    const int pictures = int(std::count_if(entries_.begin(), entries_.end(),
                                           [](const game::GameEntry& e) { return e.isPicture(); }));
    const int skipped = int(entries_.size()) - pictures;
    const int notRun = pictures - converted_ - failed_;
    QString summary = tr("変換 %1 件、対象外 %2 件、失敗 %3 件").arg(converted_).arg(skipped).arg(failed_);
    if (stopped)
        summary += tr("。停止したため %1 件は変換していません").arg(notRun);
    if (!failures_.isEmpty())
        summary += QStringLiteral("\n") + failures_.join(QStringLiteral("\n"));
    SummaryLabel->setText(summary);
    ProgressLabel->setText(stopped ? tr("停止しました") : tr("終わりました"));
    updateControls();
    emit runFinished();
}

void TGameDialog::reject()
{
    // Closing stops the run first: the dialog never outlives its pictures.
    if (Worker->isRunning()) {
        Worker->stop();
        Worker->waitForEnd();
    }
    QDialog::reject();
}

void TGameDialog::updateControls()
{
    const bool running = Worker->isRunning();
    const bool anyPicture = std::any_of(entries_.begin(), entries_.end(),
                                        [](const game::GameEntry& e) { return e.isPicture(); });
    GameFolderEdit->setEnabled(!running);
    GameFolderButton->setEnabled(!running);
    KindTable->setEnabled(!running);
    OutputFolderEdit->setEnabled(!running);
    OutputFolderButton->setEnabled(!running);
    ConvertButton->setEnabled(!running && anyPicture && !OutputFolderEdit->text().trimmed().isEmpty());
    StopButton->setEnabled(running);
    OpenOutputButton->setEnabled(!running && ran_ && QFileInfo(OutputFolderEdit->text()).isDir());
    CloseButton->setEnabled(true);
}
