#include "gui/SelectColorKeyDialog.h"

#include "gui/WindowFont.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TPreviewImage::TPreviewImage(QWidget* parent) : QWidget(parent) {}

void TPreviewImage::setPicture(const QImage& picture)
{
    // One fixed layout for the pixel reads, whatever the file held: palette,
    // grey or 16-bit pictures all become plain 8-bit red, green, blue and
    // alpha, not premultiplied, so a pixel reads back as stored.
    picture_ = picture.convertToFormat(QImage::Format_ARGB32);
    update();
}

void TPreviewImage::paintEvent(QPaintEvent*)
{
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), picture_);
}

void TPreviewImage::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked(event->position().toPoint());
    QWidget::mouseReleaseEvent(event);
}

TColorKeyDialog::TColorKeyDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ColorKeyDialog"));
    setWindowTitle(tr("透過色選択"));
    setFont(windowFont());
    setModal(true);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setFixedSize(kPreviewWidth, kPreviewHeight);

    // The picture covers the frame's area exactly; the frame shows only
    // where the picture is smaller.
    PreviewImage = new TPreviewImage(Bevel1);
    PreviewImage->setObjectName(QStringLiteral("PreviewImage"));
    PreviewImage->setGeometry(0, 0, kPreviewWidth, kPreviewHeight);
    PreviewImage->setCursor(Qt::CrossCursor);

    ColorKeyCaption = new QLabel(tr("選択された透過色"), this);
    ColorKeyCaption->setObjectName(QStringLiteral("ColorKeyCaption"));
    ColorKeyEdit = new QLineEdit(this);
    ColorKeyEdit->setObjectName(QStringLiteral("ColorKeyEdit"));
    ColorKeyEdit->setReadOnly(true);
    ColorKeyEdit->setFixedWidth(90);
    ColorKeyCaption->setBuddy(ColorKeyEdit);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(tr("キャンセル"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(ColorKeyCaption);
    bottom->addWidget(ColorKeyEdit);
    bottom->addStretch(1);
    bottom->addWidget(OKButton);
    bottom->addWidget(CancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSpacing(5);
    layout->addWidget(Bevel1);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(PreviewImage, &TPreviewImage::clicked, this, &TColorKeyDialog::PreviewImageClick);
    connect(OKButton, &QPushButton::clicked, this, &TColorKeyDialog::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TColorKeyDialog::CancelButtonClick);
}

void TColorKeyDialog::LoadPicture(const QImage& picture)
{
    ColorKeyEdit->clear();
    PreviewImage->setPicture(picture);
}

void TColorKeyDialog::PreviewImageClick(const QPoint& at)
{
    const QImage& picture = PreviewImage->picture();
    if (at.x() < 0 || at.y() < 0 || at.x() >= picture.width() || at.y() >= picture.height())
        return;
    const QRgb pixel = picture.pixel(at);
    pickedColor_ = makeColorValue(qRed(pixel), qGreen(pixel), qBlue(pixel));
    ColorKeyEdit->setText(formatColorValue(pickedColor_));
}

void TColorKeyDialog::OKButtonClick()
{
    accept();
}

void TColorKeyDialog::CancelButtonClick()
{
    reject();
}

void TColorKeyDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}
