// The colour-key picker: shows the whole input picture, scrolled and zoomed
// from 1x to 4x, and takes the colour of the pixel the user clicks.
#ifndef PIXWRIGHT_GUI_SELECTCOLORKEYDIALOG_H
#define PIXWRIGHT_GUI_SELECTCOLORKEYDIALOG_H

#include "gui/ColorValue.h"

#include <QDialog>
#include <QImage>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;

// Draws its picture from the top-left corner, every pixel as a zoom x zoom
// square; its size is the zoomed picture's.
class TPreviewImage : public QWidget {
    Q_OBJECT

public:
    explicit TPreviewImage(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }
    void setZoom(int zoom);
    int zoom() const { return zoom_; }

signals:
    // at is the clicked pixel, in the picture's own coordinates.
    void clicked(const QPoint& at);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    int zoom_ = 1;
};

class TColorKeyDialog : public QDialog {
    Q_OBJECT

public:
    // The picture area is never smaller than this, and grows to show the
    // whole zoomed picture as far as the screen allows; beyond that it
    // scrolls.
    static constexpr int kPreviewWidth = 441;
    static constexpr int kPreviewHeight = 233;
    static constexpr int kMaxZoom = 4;

    explicit TColorKeyDialog(QWidget* parent = nullptr);

    // Replaces the picture shown for the next opening and clears
    // ColorKeyEdit and the swatch; the picked colour stays.
    void LoadPicture(const QImage& picture);
    // 1 to kMaxZoom; other values are clamped.
    void SetZoom(int zoom);

    // 0x00BBGGRR; black until the first pick, kept between openings.
    TColorValue PickedColor() const { return pickedColor_; }

    QScrollArea* Bevel1;
    TPreviewImage* PreviewImage;
    QLabel* ZoomCaption;
    QComboBox* ZoomComboBox;
    QPushButton* OKButton;
    QPushButton* CancelButton;
    QLabel* ColorKeyCaption;
    QLabel* ColorKeySwatch;
    QLineEdit* ColorKeyEdit;

public slots:
    // at is in the picture's own coordinates.
    void PreviewImageClick(const QPoint& at);
    void OKButtonClick();
    void CancelButtonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fitPictureArea();
    void showSwatch(bool shown);

    TColorValue pickedColor_ = 0;
};

#endif
