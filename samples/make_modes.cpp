// Draws the picture of the interpolation modes shown in the README: one crop
// of the sample chipset enlarged by the engine in each of the five modes,
// side by side over a checkerboard (so the transparent colour shows), at four
// times the crop's size, each labelled with its command-line name.
//
//     make_modes CHIPSET OUTPUT.png
//
// scripts/make_modes.sh builds and runs it on samples/chipset.png.
#include "engine/PixEffector.h"

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>

namespace {

using auxlib::draw::Rgba;
using auxlib::draw::Surface;

// Three tiles across and two down (water, a bush, a flower over a stone
// block, water and a bush): round edges, a thin diagonal ripple, right
// angles and the key around them.
constexpr int cropX = 32, cropY = 0, cropW = 48, cropH = 32;
constexpr int grid = 16;
// Each enlarged pixel is drawn as 2 x 2: four times the crop's size.
constexpr int zoom = 2;
constexpr int gap = 16, labelHeight = 28, check = 8;

const Rgba key{0x00, 0x75, 0x75, 255};

struct Mode {
    int value;
    const char* name;
};
const Mode modes[] = {{engine::Nearest, "nearest"},
                      {engine::Bilinear, "bilinear"},
                      {engine::Original, "original"},
                      {engine::Scale2x, "scale2x"},
                      {engine::Xbr, "xbr"}};

QImage imageOf(const Surface& picture)
{
    QImage image(picture.width(), picture.height(), QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            Rgba c;
            picture.getPixel(c, x, y);
            image.setPixel(x, y, qRgba(c.r, c.g, c.b, c.a));
        }
    return image;
}

void drawCheckerboard(QPainter& painter, const QRect& area)
{
    for (int y = 0; y < area.height(); y += check)
        for (int x = 0; x < area.width(); x += check) {
            const QColor shade = ((x / check + y / check) % 2) ? QColor(204, 204, 204) : QColor(255, 255, 255);
            painter.fillRect(QRect(area.x() + x, area.y() + y, std::min(check, area.width() - x),
                                   std::min(check, area.height() - y)),
                             shade);
        }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_modes CHIPSET OUTPUT.png\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    Surface chipset;
    if (chipset.load(argv[1]) != auxlib::draw::Success || chipset.width() < cropX + cropW
        || chipset.height() < cropY + cropH) {
        std::fprintf(stderr, "make_modes: %s: not a picture of at least %d x %d\n", argv[1], cropX + cropW,
                     cropY + cropH);
        return 1;
    }
    Surface crop;
    if (crop.create(cropW, cropH, false) != auxlib::draw::Success) {
        std::fprintf(stderr, "make_modes: no memory for the crop\n");
        return 1;
    }
    for (int y = 0; y < cropH; ++y)
        for (int x = 0; x < cropW; ++x) {
            Rgba c;
            chipset.getPixel(c, cropX + x, cropY + y);
            crop.putPixel(x, y, &c);
        }

    const int panelW = 2 * cropW * zoom, panelH = 2 * cropH * zoom;
    const int count = int(sizeof modes / sizeof modes[0]);
    QImage sheet(gap + count * (panelW + gap), labelHeight + panelH + gap, QImage::Format_ARGB32);
    sheet.fill(QColor(255, 255, 255));
    QPainter painter(&sheet);
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(16);
    painter.setFont(font);
    for (int i = 0; i < count; ++i) {
        // As the chipset preset converts: 16 x 16 squares with the alpha-grid
        // correction, but no sharpening, so only the mode differs.
        const engine::PixEffector effector(modes[i].value, key, Rgba{key.r, key.g, key.b, 0});
        const Surface enlarged(effector.enlargeCell(crop, grid, grid, 0, true));
        if (!enlarged.isValid()) {
            std::fprintf(stderr, "make_modes: enlarging in mode %s failed\n", modes[i].name);
            return 1;
        }
        const QRect panel(gap + i * (panelW + gap), labelHeight, panelW, panelH);
        drawCheckerboard(painter, panel);
        painter.drawImage(panel, imageOf(enlarged));
        painter.setPen(QColor(0, 0, 0));
        painter.drawText(QRect(panel.x(), 0, panelW, labelHeight), Qt::AlignCenter, QString::fromUtf8(modes[i].name));
    }
    painter.end();
    if (!sheet.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "make_modes: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("%s\n", argv[2]);
    return 0;
}
