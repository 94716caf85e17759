// The colour-key picker: shows the input picture unscaled and takes the
// colour of the pixel the user clicks.
#ifndef PIXWRIGHT_GUI_SELECTCOLORKEYDIALOG_H
#define PIXWRIGHT_GUI_SELECTCOLORKEYDIALOG_H

#include "gui/ColorValue.h"

#include <QDialog>
#include <QImage>
#include <QWidget>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// Draws its picture at natural size from the top-left corner; whatever lies
// beyond the widget's own size is simply not painted.
class TPreviewImage : public QWidget {
    Q_OBJECT

public:
    explicit TPreviewImage(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }

signals:
    void clicked(const QPoint& at);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage picture_;
};

class TColorKeyDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kPreviewWidth = 441;
    static constexpr int kPreviewHeight = 233;

    explicit TColorKeyDialog(QWidget* parent = nullptr);

    // Replaces the picture shown for the next opening and clears
    // ColorKeyEdit; the picked colour stays.
    void LoadPicture(const QImage& picture);

    // 0x00BBGGRR; black until the first pick, kept between openings.
    TColorValue PickedColor() const { return pickedColor_; }

    QFrame* Bevel1;
    TPreviewImage* PreviewImage;
    QPushButton* OKButton;
    QPushButton* CancelButton;
    QLabel* ColorKeyCaption;
    QLineEdit* ColorKeyEdit;

public slots:
    // at is in PreviewImage's coordinates, which are the picture's own.
    void PreviewImageClick(const QPoint& at);
    void OKButtonClick();
    void CancelButtonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    TColorValue pickedColor_ = 0;
};

#endif
