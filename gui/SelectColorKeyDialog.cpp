#include "gui/SelectColorKeyDialog.h"

#include "gui/WindowFont.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// Room the dialog's own controls and frame take beside the picture area,
// kept free of the screen when the area grows.
constexpr int kControlsWidth = 40;
constexpr int kControlsHeight = 110;

} // namespace

TPreviewImage::TPreviewImage(QWidget* parent) : QWidget(parent) {}

void TPreviewImage::setPicture(const QImage& picture)
{
    // One fixed layout for the pixel reads, whatever the file held: palette,
    // grey or 16-bit pictures all become plain 8-bit red, green, blue and
    // alpha, not premultiplied, so a pixel reads back as stored.
    picture_ = picture.convertToFormat(QImage::Format_ARGB32);
    setFixedSize(picture_.size() * zoom_);
    update();
}

void TPreviewImage::setZoom(int zoom)
{
    zoom_ = zoom;
    setFixedSize(picture_.size() * zoom_);
    update();
}

void TPreviewImage::paintEvent(QPaintEvent*)
{
    if (picture_.isNull())
        return;
    QPainter painter(this);
    // Whole pixels as squares: a smoothed picture would show colours the
    // picture does not have.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(QPoint(0, 0), picture_.size() * zoom_), picture_);
}

void TPreviewImage::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && at.x() >= 0 && at.y() >= 0 && rect().contains(at))
        emit clicked(QPoint(at.x() / zoom_, at.y() / zoom_));
    QWidget::mouseReleaseEvent(event);
}

TColorKeyDialog::TColorKeyDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ColorKeyDialog"));
    setWindowTitle(tr("透過色選択"));
    setFont(windowFont());
    setModal(true);

    Bevel1 = new QScrollArea(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Bevel1->setBackgroundRole(QPalette::Dark);
    PreviewImage = new TPreviewImage;
    PreviewImage->setObjectName(QStringLiteral("PreviewImage"));
    PreviewImage->setCursor(Qt::CrossCursor);
    PreviewImage->setToolTip(tr("透過色にするドットをクリックします。"));
    Bevel1->setWidget(PreviewImage);

    ZoomCaption = new QLabel(tr("拡大"), this);
    ZoomCaption->setObjectName(QStringLiteral("ZoomCaption"));
    ZoomComboBox = new QComboBox(this);
    ZoomComboBox->setObjectName(QStringLiteral("ZoomComboBox"));
    for (int zoom = 1; zoom <= kMaxZoom; ++zoom)
        ZoomComboBox->addItem(tr("%1倍").arg(zoom), zoom);
    ZoomComboBox->setToolTip(tr("画像を拡大して、ドットを選びやすくします。"));
    ZoomCaption->setBuddy(ZoomComboBox);

    ColorKeyCaption = new QLabel(tr("選択された透過色"), this);
    ColorKeyCaption->setObjectName(QStringLiteral("ColorKeyCaption"));
    ColorKeySwatch = new QLabel(this);
    ColorKeySwatch->setObjectName(QStringLiteral("ColorKeySwatch"));
    ColorKeySwatch->setFixedSize(32, 20);
    ColorKeySwatch->setFrameShape(QFrame::Box);
    ColorKeySwatch->setToolTip(tr("選択された色の見本です。"));
    ColorKeyEdit = new QLineEdit(this);
    ColorKeyEdit->setObjectName(QStringLiteral("ColorKeyEdit"));
    ColorKeyEdit->setReadOnly(true);
    ColorKeyEdit->setFixedWidth(90);
    ColorKeyEdit->setToolTip(tr("選択された色を #RRGGBB（16進数）で示します。"));
    ColorKeyCaption->setBuddy(ColorKeyEdit);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->setToolTip(tr("選択した色を透過色にします。"));
    CancelButton = new QPushButton(tr("キャンセル"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setToolTip(tr("透過色を変えずに閉じます。"));

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(ZoomCaption);
    bottom->addWidget(ZoomComboBox);
    bottom->addSpacing(10);
    bottom->addWidget(ColorKeyCaption);
    bottom->addWidget(ColorKeySwatch);
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
    connect(ZoomComboBox, &QComboBox::currentIndexChanged, this,
            [this](int index) { SetZoom(index + 1); });
    connect(OKButton, &QPushButton::clicked, this, &TColorKeyDialog::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TColorKeyDialog::CancelButtonClick);
    showSwatch(false);
    fitPictureArea();
}

void TColorKeyDialog::LoadPicture(const QImage& picture)
{
    ColorKeyEdit->clear();
    showSwatch(false);
    PreviewImage->setPicture(picture);
    fitPictureArea();
}

void TColorKeyDialog::SetZoom(int zoom)
{
    zoom = qBound(1, zoom, kMaxZoom);
    if (ZoomComboBox->currentIndex() != zoom - 1) {
        ZoomComboBox->setCurrentIndex(zoom - 1); // comes back here
        return;
    }
    // The pixel in the middle of the view stays there.
    const int old = PreviewImage->zoom();
    QScrollBar* h = Bevel1->horizontalScrollBar();
    QScrollBar* v = Bevel1->verticalScrollBar();
    const QSize view = Bevel1->viewport()->size();
    const double cx = (h->value() + view.width() / 2.0) / old;
    const double cy = (v->value() + view.height() / 2.0) / old;
    PreviewImage->setZoom(zoom);
    fitPictureArea();
    h->setValue(int(cx * zoom - Bevel1->viewport()->width() / 2.0));
    v->setValue(int(cy * zoom - Bevel1->viewport()->height() / 2.0));
}

void TColorKeyDialog::fitPictureArea()
{
    QSize room(1600, 1000);
    if (QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
        room = screen->availableGeometry().size() - QSize(kControlsWidth, kControlsHeight);
    const int frame = 2 * Bevel1->frameWidth();
    const QSize whole = PreviewImage->size() + QSize(frame, frame);
    QSize area = whole.expandedTo(QSize(kPreviewWidth, kPreviewHeight)).boundedTo(room);
    // Scroll bars take room from the view; give it back where it fits.
    const int bar = Bevel1->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    if (whole.width() > area.width())
        area.setHeight(qMin(area.height() + bar, qMax(room.height(), kPreviewHeight)));
    if (whole.height() > area.height())
        area.setWidth(qMin(area.width() + bar, qMax(room.width(), kPreviewWidth)));
    Bevel1->setFixedSize(area.expandedTo(QSize(kPreviewWidth, kPreviewHeight)));
}

void TColorKeyDialog::showSwatch(bool shown)
{
    ColorKeySwatch->setAutoFillBackground(shown);
    QPalette palette = ColorKeySwatch->palette();
    if (shown)
        palette.setColor(QPalette::Window,
                         QColor(colorRed(pickedColor_), colorGreen(pickedColor_), colorBlue(pickedColor_)));
    ColorKeySwatch->setPalette(palette);
    ColorKeySwatch->update();
}

void TColorKeyDialog::PreviewImageClick(const QPoint& at)
{
    const QImage& picture = PreviewImage->picture();
    if (at.x() < 0 || at.y() < 0 || at.x() >= picture.width() || at.y() >= picture.height())
        return;
    const QRgb pixel = picture.pixel(at);
    pickedColor_ = makeColorValue(qRed(pixel), qGreen(pixel), qBlue(pixel));
    ColorKeyEdit->setText(formatColorValue(pickedColor_));
    showSwatch(true);
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
