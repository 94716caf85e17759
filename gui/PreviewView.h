// The preview beside the settings: the input picture at 1x or 2x with the
// cells the conversion will make drawn over it, the key colour's pixels
// marked on request, and after a conversion its first result picture over a
// checkerboard. Pictures are scaled, marked and loaded on a pool thread, so
// nothing here holds up typing.
#ifndef PIXWRIGHT_GUI_PREVIEWVIEW_H
#define PIXWRIGHT_GUI_PREVIEWVIEW_H

#include "gui/ColorValue.h"

#include <QFutureWatcher>
#include <QImage>
#include <QLine>
#include <QString>
#include <QWidget>

#include <vector>

class QCheckBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QScrollArea;

// The painted picture and the grid over it.
class TPreviewCanvas : public QWidget {
    Q_OBJECT

public:
    struct GridLine {
        QLine line; // in picture pixels
        bool major = true;
    };

    explicit TPreviewCanvas(QWidget* parent = nullptr);

    // layer is painted unscaled; grid lines are scaled by zoom.
    void setLayer(const QImage& layer, int zoom, bool checkerboard, std::vector<GridLine> grid);
    const QImage& layer() const { return layer_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage layer_;
    int zoom_ = 1;
    bool checkerboard_ = false;
    std::vector<GridLine> grid_;
};

class TPreviewView : public QWidget {
    Q_OBJECT

public:
    using GridLine = TPreviewCanvas::GridLine;
    enum GridMode { NoGrid, GridLines, ChipsetGrid, CharsetGrid };

    // The lines over a picture of pictureSize. GridLines: every gridWidth x
    // gridHeight pixels and round the picture (none when either is not
    // positive). ChipsetGrid and CharsetGrid: the cells of the editor
    // presets, for a picture of the preset's size only.
    static std::vector<GridLine> gridFor(GridMode mode, int gridWidth, int gridHeight,
                                         const QSize& pictureSize);
    // Magenta, or green for a key too close to magenta to stand out from it.
    static QRgb markColourFor(TColorValue key);
    // picture as painted: with markKey every pixel of the key's red, green
    // and blue in markColourFor(key), then enlarged to zoom (1 or 2) by
    // repeating pixels.
    static QImage renderLayer(const QImage& picture, int zoom, bool markKey, TColorValue key);
    // A result picture is shown no larger than this on either side; a larger
    // one is scaled down to fit, keeping its proportions.
    static constexpr int kMaxShownSide = 2048;
    // The picture in file, scaled down to fit maxSide when larger (its real
    // size in fullSize); null when it cannot be read.
    static QImage loadScaled(const QString& file, int maxSide, QSize* fullSize = nullptr);

    explicit TPreviewView(QWidget* parent = nullptr);
    // Waits for a background job still running.
    ~TPreviewView() override;

    // The input picture; a null picture clears the preview.
    void setPicture(const QImage& picture);
    void setGrid(GridMode mode, int gridWidth, int gridHeight);
    void setKeyColour(TColorValue key);
    // The files a conversion wrote, listed with thumbnails; the first is
    // shown, loaded in the background, and showing the result is switched
    // on when it loads. An empty list forgets the result.
    void setResultFiles(const QStringList& files);
    // Shows the listed result file at index.
    void showResultFile(int index);
    // Says that a picture is being loaded, painted at once, until the next
    // picture is shown.
    void showLoading();

    // A job was started whose picture is not painted yet.
    bool isBusy() const { return busy_; }
    int zoom() const;
    bool showsResult() const;
    const QImage& resultPicture() const { return result_; }
    const QString& resultFile() const { return resultFile_; }
    // The shown result was scaled down to fit.
    bool resultScaled() const { return resultFullSize_ != result_.size(); }
    const std::vector<GridLine>& gridLines() const { return grid_; }

    QCheckBox* PreviewZoomCheckBox;
    QCheckBox* PreviewKeyCheckBox;
    QCheckBox* PreviewResultCheckBox;
    QLabel* PreviewInfoLabel;
    QScrollArea* PreviewScrollArea;
    TPreviewCanvas* PreviewCanvas;
    // Every file of the last conversion, with its thumbnail once loaded.
    QListWidget* PreviewResultList;

signals:
    // A background job's picture is painted.
    void rendered();

private:
    struct Job {
        QImage picture;
        QString file; // when set, loaded first and then rendered
        int zoom = 1;
        bool markKey = false;
        TColorValue key = 0;
    };
    struct JobResult {
        QImage loaded;
        QSize fullSize;
        QString file;
        QImage layer;
    };

    void scheduleRender();
    void startRender();
    void renderDone();
    void updateInfo();
    void loadThumbnails(const QStringList& files);

    QImage picture_;
    QImage result_;
    QString resultFile_;
    QSize resultFullSize_;
    bool resultPending_ = false;
    // The last result file asked for could not be read.
    bool resultFailed_ = false;
    GridMode gridMode_ = NoGrid;
    int gridWidth_ = 0;
    int gridHeight_ = 0;
    std::vector<GridLine> grid_;
    TColorValue key_ = 0;
    bool rerender_ = false;
    bool busy_ = false;
    QFutureWatcher<JobResult> watcher_;
    QFutureWatcher<QList<QImage>> thumbnails_;
};

#endif
