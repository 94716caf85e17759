#include "gui/PreviewView.h"

#include "engine/Pixwright_DLL.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>
#include <QtConcurrent/QtConcurrentRun>

#include <cstdlib>
#include <utility>

namespace {

// The chipset's left part is cut into 48 x 64 blocks; its tile part from
// x 192 on becomes one cell built from three 96-pixel columns.
constexpr int kChipPartWidth = 192;
constexpr int kBlockWidth = 48;
constexpr int kBlockHeight = 64;
constexpr int kTileColumnWidth = 96;

constexpr int kCharacterWidth = 72;
constexpr int kCharacterHeight = 128;
constexpr int kPieceWidth = 24;
constexpr int kPieceHeight = 32;

constexpr int kCheckerSquare = 8;

constexpr int kThumbnailSide = 64;

// Qt refuses to read a picture of more than 128 MB decoded, which a 4096 x
// 4096 input's result passes; results up to this many megabytes are read
// and then scaled down.
constexpr int kReadLimitMegabytes = 1024;

using GridLine = TPreviewCanvas::GridLine;

void addVertical(std::vector<GridLine>& lines, int x, int top, int bottom, bool major)
{
    lines.push_back({QLine(x, top, x, bottom), major});
}

void addHorizontal(std::vector<GridLine>& lines, int y, int left, int right, bool major)
{
    lines.push_back({QLine(left, y, right, y), major});
}

// Lines every step pixels from 0 up to size, and one at size when the steps
// do not end there.
std::vector<int> positions(int step, int size)
{
    std::vector<int> at;
    for (int p = 0; p < size; p += step)
        at.push_back(p);
    at.push_back(size);
    return at;
}

QPixmap checkerTile()
{
    QPixmap tile(2 * kCheckerSquare, 2 * kCheckerSquare);
    tile.fill(QColor(0xFF, 0xFF, 0xFF));
    QPainter painter(&tile);
    const QColor grey(0xCC, 0xCC, 0xCC);
    painter.fillRect(0, 0, kCheckerSquare, kCheckerSquare, grey);
    painter.fillRect(kCheckerSquare, kCheckerSquare, kCheckerSquare, kCheckerSquare, grey);
    return tile;
}

} // namespace

TPreviewCanvas::TPreviewCanvas(QWidget* parent) : QWidget(parent) {}

void TPreviewCanvas::setLayer(const QImage& layer, int zoom, bool checkerboard, std::vector<GridLine> grid)
{
    layer_ = layer;
    zoom_ = zoom;
    checkerboard_ = checkerboard;
    grid_ = std::move(grid);
    // One pixel more than the picture, so the grid's right and bottom
    // border lines are inside.
    setFixedSize(layer_.isNull() ? QSize(0, 0) : layer_.size() + QSize(1, 1));
    update();
}

void TPreviewCanvas::paintEvent(QPaintEvent*)
{
    if (layer_.isNull())
        return;
    QPainter painter(this);
    if (checkerboard_)
        painter.fillRect(QRect(QPoint(0, 0), layer_.size()), QBrush(checkerTile()));
    painter.drawImage(QPoint(0, 0), layer_);
    // A bright line on a dark edge shows on any picture.
    const QPen edge(QColor(0x00, 0x00, 0x00, 0x90), 3);
    const QPen major(QColor(0xFF, 0xFF, 0x00), 1);
    const QPen minor(QColor(0x00, 0xFF, 0xFF, 0xC0), 1);
    const auto drawLines = [&](bool ofMajor, const QPen& pen) {
        painter.setPen(pen);
        for (const GridLine& grid : grid_)
            if (grid.major == ofMajor)
                painter.drawLine(grid.line.p1() * zoom_, grid.line.p2() * zoom_);
    };
    // Minor lines first, so the major ones stay whole where they cross.
    drawLines(false, minor);
    drawLines(true, edge);
    drawLines(true, major);
}

std::vector<TPreviewView::GridLine> TPreviewView::gridFor(GridMode mode, int gridWidth, int gridHeight,
                                                          const QSize& size)
{
    std::vector<GridLine> lines;
    const int w = size.width();
    const int h = size.height();
    if (w <= 0 || h <= 0)
        return lines;
    switch (mode) {
    case NoGrid:
        break;
    case GridLines:
        if (gridWidth <= 0 || gridHeight <= 0)
            break;
        for (int x : positions(gridWidth, w))
            addVertical(lines, x, 0, h, true);
        for (int y : positions(gridHeight, h))
            addHorizontal(lines, y, 0, w, true);
        break;
    case ChipsetGrid:
        if (presetForSize(w, h) != PIXWRIGHT_PRESET_CHIPSET)
            break;
        for (int x = 0; x <= kChipPartWidth; x += kBlockWidth)
            addVertical(lines, x, 0, h, true);
        for (int y = 0; y <= h; y += kBlockHeight)
            addHorizontal(lines, y, 0, kChipPartWidth, true);
        for (int x = kChipPartWidth + kTileColumnWidth; x <= w; x += kTileColumnWidth)
            addVertical(lines, x, 0, h, true);
        addHorizontal(lines, 0, kChipPartWidth, w, true);
        addHorizontal(lines, h, kChipPartWidth, w, true);
        break;
    case CharsetGrid:
        if (presetForSize(w, h) != PIXWRIGHT_PRESET_CHARSET)
            break;
        for (int x = 0; x <= w; x += kPieceWidth)
            addVertical(lines, x, 0, h, x % kCharacterWidth == 0);
        for (int y = 0; y <= h; y += kPieceHeight)
            addHorizontal(lines, y, 0, w, y % kCharacterHeight == 0);
        break;
    }
    return lines;
}

QRgb TPreviewView::markColourFor(TColorValue key)
{
    const int distance = std::abs(colorRed(key) - 0xFF) + colorGreen(key) + std::abs(colorBlue(key) - 0xFF);
    return distance < 0x180 ? qRgb(0x00, 0xFF, 0x00) : qRgb(0xFF, 0x00, 0xFF);
}

QImage TPreviewView::loadScaled(const QString& file, int maxSide, QSize* fullSize)
{
    QImageReader reader(file);
    const QSize size = reader.size();
    if (fullSize)
        *fullSize = size;
    QImage picture = reader.read();
    if (picture.isNull())
        return picture;
    if (fullSize)
        *fullSize = picture.size();
    if (picture.width() > maxSide || picture.height() > maxSide)
        picture = picture.scaled(maxSide, maxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return picture;
}

QImage TPreviewView::renderLayer(const QImage& picture, int zoom, bool markKey, TColorValue key)
{
    if (picture.isNull())
        return QImage();
    QImage layer = picture.convertToFormat(QImage::Format_ARGB32);
    if (markKey) {
        const QRgb keyRgb = qRgb(colorRed(key), colorGreen(key), colorBlue(key)) & 0x00FFFFFFu;
        const QRgb mark = markColourFor(key);
        for (int y = 0; y < layer.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(layer.scanLine(y));
            for (int x = 0; x < layer.width(); ++x)
                if ((row[x] & 0x00FFFFFFu) == keyRgb)
                    row[x] = mark;
        }
    }
    if (zoom == 2)
        layer = layer.scaled(layer.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return layer;
}

TPreviewView::TPreviewView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PreviewView"));
    PreviewZoomCheckBox = new QCheckBox(tr("2倍表示"), this);
    PreviewZoomCheckBox->setObjectName(QStringLiteral("PreviewZoomCheckBox"));
    PreviewZoomCheckBox->setToolTip(tr("プレビューを2倍の大きさで表示します。"));
    PreviewKeyCheckBox = new QCheckBox(tr("透過色を表示"), this);
    PreviewKeyCheckBox->setObjectName(QStringLiteral("PreviewKeyCheckBox"));
    PreviewKeyCheckBox->setToolTip(tr("入力画像の透過色になるドットを目立つ色で示します。"));
    PreviewResultCheckBox = new QCheckBox(tr("変換結果を表示"), this);
    PreviewResultCheckBox->setObjectName(QStringLiteral("PreviewResultCheckBox"));
    PreviewResultCheckBox->setToolTip(tr("最後の変換で最初に保存された画像を表示します。"));
    PreviewResultCheckBox->setEnabled(false);
    PreviewInfoLabel = new QLabel(this);
    PreviewInfoLabel->setObjectName(QStringLiteral("PreviewInfoLabel"));
    PreviewInfoLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long result name must not widen the window.
    PreviewInfoLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    if (QImageReader::allocationLimit() < kReadLimitMegabytes)
        QImageReader::setAllocationLimit(kReadLimitMegabytes);

    PreviewResultList = new QListWidget(this);
    PreviewResultList->setObjectName(QStringLiteral("PreviewResultList"));
    PreviewResultList->setViewMode(QListView::IconMode);
    PreviewResultList->setFlow(QListView::LeftToRight);
    PreviewResultList->setWrapping(false);
    PreviewResultList->setMovement(QListView::Static);
    PreviewResultList->setIconSize(QSize(kThumbnailSide, kThumbnailSide));
    PreviewResultList->setGridSize(QSize(kThumbnailSide + 40, kThumbnailSide + 24));
    PreviewResultList->setFixedHeight(kThumbnailSide + 44);
    PreviewResultList->setToolTip(tr("最後の変換で書き出したファイルです。クリックすると表示します。"));
    PreviewResultList->hide();

    PreviewCanvas = new TPreviewCanvas;
    PreviewCanvas->setObjectName(QStringLiteral("PreviewCanvas"));
    PreviewScrollArea = new QScrollArea(this);
    PreviewScrollArea->setObjectName(QStringLiteral("PreviewScrollArea"));
    PreviewScrollArea->setWidget(PreviewCanvas);
    PreviewScrollArea->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PreviewScrollArea->setBackgroundRole(QPalette::Dark);
    // A chipset at 1x fits whole, with room for the scroll bars.
    PixwrightPresetInfo chipset{};
    presetInfo(PIXWRIGHT_PRESET_CHIPSET, &chipset);
    PreviewScrollArea->setMinimumSize(chipset.pictureWidth + 24, chipset.pictureHeight + 24);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PreviewZoomCheckBox, 0, 0);
    layout->addWidget(PreviewKeyCheckBox, 0, 1);
    layout->addWidget(PreviewResultCheckBox, 0, 2);
    layout->setColumnStretch(3, 1);
    layout->addWidget(PreviewScrollArea, 1, 0, 1, 4);
    layout->addWidget(PreviewResultList, 2, 0, 1, 4);
    layout->addWidget(PreviewInfoLabel, 3, 0, 1, 4);
    layout->setRowStretch(1, 1);

    connect(&watcher_, &QFutureWatcher<JobResult>::finished, this, &TPreviewView::renderDone);
    connect(&thumbnails_, &QFutureWatcher<QList<QImage>>::finished, this, [this] {
        const QList<QImage> images = thumbnails_.result();
        for (int i = 0; i < images.size() && i < PreviewResultList->count(); ++i)
            if (!images[i].isNull())
                PreviewResultList->item(i)->setIcon(QIcon(QPixmap::fromImage(images[i])));
    });
    connect(PreviewResultList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            showResultFile(row);
    });
    for (QCheckBox* box : {PreviewZoomCheckBox, PreviewKeyCheckBox, PreviewResultCheckBox})
        connect(box, &QCheckBox::toggled, this, &TPreviewView::scheduleRender);
    updateInfo();
}

TPreviewView::~TPreviewView()
{
    watcher_.disconnect(this);
    watcher_.waitForFinished();
    thumbnails_.disconnect(this);
    thumbnails_.waitForFinished();
}

int TPreviewView::zoom() const
{
    return PreviewZoomCheckBox->isChecked() ? 2 : 1;
}

bool TPreviewView::showsResult() const
{
    return PreviewResultCheckBox->isChecked() && PreviewResultCheckBox->isEnabled();
}

void TPreviewView::setPicture(const QImage& picture)
{
    picture_ = picture;
    // A result belongs to the input it was made from.
    result_ = QImage();
    resultFile_.clear();
    resultPending_ = false;
    resultFailed_ = false;
    {
        const QSignalBlocker quiet(PreviewResultList);
        PreviewResultList->clear();
        PreviewResultList->hide();
    }
    {
        const QSignalBlocker quiet(PreviewResultCheckBox);
        PreviewResultCheckBox->setChecked(false);
        PreviewResultCheckBox->setEnabled(false);
    }
    grid_ = gridFor(gridMode_, gridWidth_, gridHeight_, picture_.size());
    scheduleRender();
    // Until the picture is painted.
    if (!picture_.isNull())
        showLoading();
    else
        updateInfo();
}

void TPreviewView::setGrid(GridMode mode, int gridWidth, int gridHeight)
{
    if (mode == gridMode_ && gridWidth == gridWidth_ && gridHeight == gridHeight_)
        return;
    gridMode_ = mode;
    gridWidth_ = gridWidth;
    gridHeight_ = gridHeight;
    grid_ = gridFor(mode, gridWidth, gridHeight, picture_.size());
    // Only the lines change: the picture already painted stays.
    if (!showsResult() && !PreviewCanvas->layer().isNull())
        PreviewCanvas->setLayer(PreviewCanvas->layer(), zoom(), false, grid_);
}

void TPreviewView::setKeyColour(TColorValue key)
{
    if (key == key_)
        return;
    key_ = key;
    if (PreviewKeyCheckBox->isChecked())
        scheduleRender();
}

void TPreviewView::setResultFiles(const QStringList& files)
{
    {
        const QSignalBlocker quiet(PreviewResultList);
        PreviewResultList->clear();
        for (const QString& file : files) {
            auto* item = new QListWidgetItem(QFileInfo(file).fileName(), PreviewResultList);
            item->setToolTip(QDir::toNativeSeparators(file));
            item->setData(Qt::UserRole, file);
        }
        PreviewResultList->setCurrentRow(files.isEmpty() ? -1 : 0);
        PreviewResultList->setVisible(!files.isEmpty());
    }
    loadThumbnails(files);
    result_ = QImage();
    resultFile_ = files.value(0);
    resultPending_ = !resultFile_.isEmpty();
    resultFailed_ = false;
    PreviewResultCheckBox->setEnabled(false);
    scheduleRender();
}

void TPreviewView::showResultFile(int index)
{
    if (index < 0 || index >= PreviewResultList->count())
        return;
    const QString file = PreviewResultList->item(index)->data(Qt::UserRole).toString();
    if (file == resultFile_ && !resultPending_ && !result_.isNull()) {
        PreviewResultCheckBox->setChecked(true);
        return;
    }
    resultFile_ = file;
    resultPending_ = true;
    resultFailed_ = false;
    scheduleRender();
}

void TPreviewView::loadThumbnails(const QStringList& files)
{
    thumbnails_.waitForFinished();
    thumbnails_.setFuture(QtConcurrent::run([files] {
        QList<QImage> images;
        for (const QString& file : files)
            images << loadScaled(file, kThumbnailSide);
        return images;
    }));
}

void TPreviewView::scheduleRender()
{
    // One job at a time; changes made meanwhile are rendered, all at once,
    // when it ends.
    if (busy_) {
        rerender_ = true;
        return;
    }
    startRender();
}

void TPreviewView::startRender()
{
    rerender_ = false;
    busy_ = true;
    Job job;
    job.zoom = zoom();
    if (resultPending_) {
        job.file = resultFile_;
    } else if (showsResult()) {
        job.picture = result_;
    } else {
        job.picture = picture_;
        job.markKey = PreviewKeyCheckBox->isChecked();
        job.key = key_;
    }
    watcher_.setFuture(QtConcurrent::run([job] {
        JobResult done;
        QImage picture = job.picture;
        if (!job.file.isEmpty()) {
            done.file = job.file;
            done.loaded = loadScaled(job.file, kMaxShownSide, &done.fullSize);
            picture = done.loaded;
        }
        done.layer = renderLayer(picture, job.zoom, job.markKey, job.key);
        return done;
    }));
}

void TPreviewView::renderDone()
{
    const JobResult done = watcher_.result();
    if (!done.file.isEmpty() && done.file == resultFile_ && resultPending_) {
        resultPending_ = false;
        result_ = done.loaded;
        resultFullSize_ = done.fullSize;
        resultFailed_ = result_.isNull();
        if (!result_.isNull()) {
            const QSignalBlocker quiet(PreviewResultCheckBox);
            PreviewResultCheckBox->setEnabled(true);
            PreviewResultCheckBox->setChecked(true);
        }
        // A result that did not load leaves the input picture to be shown.
        if (result_.isNull())
            rerender_ = true;
    }
    if (rerender_) {
        startRender();
        return;
    }
    busy_ = false;
    const bool result = showsResult();
    PreviewCanvas->setLayer(done.layer, zoom(), result, result ? std::vector<GridLine>() : grid_);
    updateInfo();
    emit rendered();
}

void TPreviewView::showLoading()
{
    PreviewInfoLabel->setText(tr("読み込み中…"));
    if (PreviewInfoLabel->isVisible())
        PreviewInfoLabel->repaint();
}

void TPreviewView::updateInfo()
{
    if (showsResult()) {
        const QString text = resultScaled() ? tr("変換結果: %1 (%2 × %3、縮小して表示)")
                                            : tr("変換結果: %1 (%2 × %3)");
        PreviewInfoLabel->setText(text.arg(QFileInfo(resultFile_).fileName())
                                      .arg(resultFullSize_.width())
                                      .arg(resultFullSize_.height()));
    } else if (resultFailed_) {
        PreviewInfoLabel->setText(tr("変換結果 %1 を表示できません。").arg(QFileInfo(resultFile_).fileName()));
    } else if (!picture_.isNull()) {
        PreviewInfoLabel->setText(tr("入力画像: %1 × %2").arg(picture_.width()).arg(picture_.height()));
    } else {
        PreviewInfoLabel->setText(tr("入力画像がありません。"));
    }
}
