// The colour-key picker, its use from the main window, and the folder
// chooser component.
#include "GuiTestSupport.h"
#include "TestMain.h"

#include "gui/ColorValue.h"
#include "gui/FolderDialog.h"
#include "gui/SelectColorKeyDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

namespace {

// 100 x 50 with the pixel (10, 7) in #0AB005.
QImage pickerPicture()
{
    QImage picture = patternPicture(100, 50);
    picture.setPixel(10, 7, qRgb(0x0A, 0xB0, 0x05));
    return picture;
}

// QTest's own click takes the point (0, 0) for "the middle of the widget".
void clickAt(QWidget* widget, QPoint at)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QCoreApplication::sendEvent(widget, &release);
}

} // namespace

class TestColorKeyDialog : public QObject {
    Q_OBJECT

private slots:
    void init() { EngineRecorder::reset(); }
    void formatsColourValues_data();
    void formatsColourValues();
    void hasItsControls();
    void clicksInsideThePictureOnly_data();
    void clicksInsideThePictureOnly();
    void wholeChipsetIsShown();
    void largePictureScrolls();
    void zoomMapsClicksToPixels_data();
    void zoomMapsClicksToPixels();
    void swatchShowsThePick();
    void pickIgnoresAlpha();
    void mainWindowAppliesPickOnOkOnly();
    void folderDialogReportsChoiceOrCancel();
};

void TestColorKeyDialog::formatsColourValues_data()
{
    QTest::addColumn<uint>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("asymmetric") << 0x0005B00Au << "#0AB005";
    QTest::newRow("start colour") << 0x00757500u << "#007575";
    QTest::newRow("blue") << 0x00FF0000u << "#0000FF";
    QTest::newRow("black") << 0u << "#000000";
    QTest::newRow("high byte ignored") << 0xFF010203u << "#030201";
}

void TestColorKeyDialog::formatsColourValues()
{
    QFETCH(uint, value);
    QFETCH(QString, text);
    QCOMPARE(formatColorValue(value), text);
    QCOMPARE(makeColorValue(colorRed(value), colorGreen(value), colorBlue(value)),
             TColorValue(value & 0xFFFFFFu));
}

void TestColorKeyDialog::hasItsControls()
{
    TColorKeyDialog dialog;
    QCOMPARE(dialog.objectName(), QStringLiteral("ColorKeyDialog"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("透過色選択"));
    // Without a picture the area keeps its least size.
    QCOMPARE(childNamed<QFrame>(&dialog, "Bevel1")->size(), QSize(441, 233));
    QCOMPARE(childNamed<QComboBox>(&dialog, "ZoomComboBox")->count(), 4);
    QVERIFY(childNamed<QLabel>(&dialog, "ColorKeySwatch"));
    QVERIFY(childNamed<QPushButton>(&dialog, "OKButton")->isDefault());
    QVERIFY(childNamed<QPushButton>(&dialog, "CancelButton"));
    QVERIFY(childNamed<QLineEdit>(&dialog, "ColorKeyEdit")->isReadOnly());
    dialog.CancelButton->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    dialog.OKButton->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void TestColorKeyDialog::clicksInsideThePictureOnly_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QString>("shown");
    QTest::newRow("marked pixel") << QPoint(10, 7) << "#0AB005";
    QTest::newRow("top left") << QPoint(0, 0) << "#010203";
    QTest::newRow("last pixel") << QPoint(99, 49) << "#2AF70F";
    QTest::newRow("right of the picture") << QPoint(100, 7) << "";
    QTest::newRow("below the picture") << QPoint(10, 50) << "";
    QTest::newRow("far corner of the box") << QPoint(440, 232) << "";
}

void TestColorKeyDialog::clicksInsideThePictureOnly()
{
    QFETCH(QPoint, at);
    QFETCH(QString, shown);
    TColorKeyDialog dialog;
    dialog.LoadPicture(pickerPicture());
    clickAt(dialog.PreviewImage, at);
    QCOMPARE(dialog.ColorKeyEdit->text(), shown);
    if (shown.isEmpty())
        QCOMPARE(dialog.PickedColor(), TColorValue(0));
    else
        QCOMPARE(formatColorValue(dialog.PickedColor()), shown);
}

void TestColorKeyDialog::wholeChipsetIsShown()
{
    TColorKeyDialog dialog;
    dialog.LoadPicture(patternPicture(480, 256));
    dialog.show();
    QCOMPARE(dialog.PreviewImage->size(), QSize(480, 256));
    // The view grows to the whole picture: nothing to scroll.
    QVERIFY(dialog.Bevel1->viewport()->width() >= 480 && dialog.Bevel1->viewport()->height() >= 256);
    QVERIFY(!dialog.Bevel1->horizontalScrollBar()->isVisible());
    QVERIFY(!dialog.Bevel1->verticalScrollBar()->isVisible());
    clickAt(dialog.PreviewImage, QPoint(479, 255));
    QCOMPARE(dialog.ColorKeyEdit->text(), formatColorValue(makeColorValue((3 * 479 + 1) & 0xFF, (5 * 255 + 2) & 0xFF,
                                                                         (7 * (479 + 255) + 3) & 0xFF)));
}

void TestColorKeyDialog::largePictureScrolls()
{
    TColorKeyDialog dialog;
    const QImage picture = patternPicture(3000, 2500);
    dialog.LoadPicture(picture);
    dialog.show();
    // Larger than any screen here: the view scrolls, the picture is not
    // scaled.
    QCOMPARE(dialog.PreviewImage->size(), QSize(3000, 2500));
    QVERIFY(dialog.Bevel1->horizontalScrollBar()->maximum() > 0);
    QVERIFY(dialog.Bevel1->verticalScrollBar()->maximum() > 0);
    clickAt(dialog.PreviewImage, QPoint(2999, 2499));
    QCOMPARE(dialog.PickedColor(), makeColorValue(qRed(picture.pixel(2999, 2499)), qGreen(picture.pixel(2999, 2499)),
                                                  qBlue(picture.pixel(2999, 2499))));
}

void TestColorKeyDialog::zoomMapsClicksToPixels_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QString>("shown");
    QTest::newRow("1x") << 1 << QPoint(10, 7) << "#0AB005";
    QTest::newRow("2x first of the square") << 2 << QPoint(20, 14) << "#0AB005";
    QTest::newRow("2x last of the square") << 2 << QPoint(21, 15) << "#0AB005";
    QTest::newRow("2x next pixel") << 2 << QPoint(22, 15) << "#222581";
    QTest::newRow("3x") << 3 << QPoint(32, 23) << "#0AB005";
    QTest::newRow("4x") << 4 << QPoint(43, 31) << "#0AB005";
    QTest::newRow("4x last pixel") << 4 << QPoint(399, 199) << "#2AF70F";
    QTest::newRow("4x past the picture") << 4 << QPoint(400, 100) << "";
}

void TestColorKeyDialog::zoomMapsClicksToPixels()
{
    QFETCH(int, zoom);
    QFETCH(QPoint, at);
    QFETCH(QString, shown);
    TColorKeyDialog dialog;
    dialog.LoadPicture(pickerPicture());
    // Chosen in the list as the user does.
    dialog.ZoomComboBox->setCurrentIndex(zoom - 1);
    QCOMPARE(dialog.PreviewImage->size(), QSize(100, 50) * zoom);
    clickAt(dialog.PreviewImage, at);
    QCOMPARE(dialog.ColorKeyEdit->text(), shown);
    // Drawn as squares of the pixel's own colour.
    const QImage drawn = dialog.PreviewImage->grab().toImage();
    QCOMPARE(QColor(drawn.pixel(10 * zoom + zoom - 1, 7 * zoom)), QColor(0x0A, 0xB0, 0x05));
    QCOMPARE(QColor(drawn.pixel(11 * zoom, 7 * zoom)), QColor(pickerPicture().pixel(11, 7)));
}

void TestColorKeyDialog::swatchShowsThePick()
{
    TColorKeyDialog dialog;
    dialog.LoadPicture(pickerPicture());
    dialog.show();
    QVERIFY(!dialog.ColorKeySwatch->autoFillBackground());
    clickAt(dialog.PreviewImage, QPoint(10, 7));
    QVERIFY(dialog.ColorKeySwatch->autoFillBackground());
    const QImage swatch = dialog.ColorKeySwatch->grab().toImage();
    QCOMPARE(QColor(swatch.pixel(swatch.width() / 2, swatch.height() / 2)), QColor(0x0A, 0xB0, 0x05));
    QCOMPARE(dialog.ColorKeyEdit->text(), QStringLiteral("#0AB005"));
    // A new picture clears the swatch with the text; the pick stays.
    dialog.LoadPicture(pickerPicture());
    QVERIFY(!dialog.ColorKeySwatch->autoFillBackground());
    QCOMPARE(dialog.PickedColor(), TColorValue(0x05B00A));
}

void TestColorKeyDialog::pickIgnoresAlpha()
{
    FormEnvironment env;
    QImage picture(3, 2, QImage::Format_ARGB32);
    picture.fill(qRgba(0x12, 0x34, 0x56, 0x40));
    TColorKeyDialog dialog;
    dialog.LoadPicture(QImage(writePicture(env.path("a.png"), picture, "PNG")));
    QTest::mouseClick(dialog.PreviewImage, Qt::LeftButton, {}, QPoint(2, 1));
    QCOMPARE(dialog.ColorKeyEdit->text(), QStringLiteral("#123456"));
}

void TestColorKeyDialog::mainWindowAppliesPickOnOkOnly()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    form->ColorKeyPaletteCheckBox->click();
    form->OpenFileEdit->setText(writePicture(env.path("pick.bmp"), pickerPicture(), "BMP"));
    EngineRecorder::log.clear();
    QStringList shownAtOpening;
    QPoint click(10, 7);
    int answer = QDialog::Accepted;
    host.dialogScript = [&](QDialog& dialog) {
        auto* picker = qobject_cast<TColorKeyDialog*>(&dialog);
        shownAtOpening << picker->ColorKeyEdit->text();
        if (!click.isNull())
            QTest::mouseClick(picker->PreviewImage, Qt::LeftButton, {}, click);
        return answer;
    };
    form->SelectColorKeyButton->click();
    QCOMPARE(form->ColorKeyLabel->text(), QStringLiteral("#0AB005"));
    // Reopened and confirmed without a click: the earlier pick still holds.
    click = QPoint();
    form->SelectColorKeyButton->click();
    // A pick that is cancelled changes nothing.
    click = QPoint(0, 1);
    answer = QDialog::Rejected;
    form->SelectColorKeyButton->click();
    QCOMPARE(form->ColorKeyLabel->text(), QStringLiteral("#0AB005"));
    QCOMPARE(shownAtOpening, QStringList({"", "", ""}));
    QCOMPARE(EngineRecorder::log,
             QStringList({"setColorKey(10,176,5)", "setColorKey(10,176,5)"}));
    QCOMPARE(host.dialogCalls, 3);
    QCOMPARE(host.colorCalls, 0);
}

void TestColorKeyDialog::folderDialogReportsChoiceOrCancel()
{
    ScriptedModalHost host;
    TFolderDialog dialog;
    dialog.Title = QStringLiteral("選んで");
    dialog.InitialPath = QStringLiteral("/srv");
    host.folderAnswer = QStringLiteral("/srv/pictures");
    QVERIFY(dialog.Execute());
    QCOMPARE(dialog.FolderPath, QStringLiteral("/srv/pictures"));
    QCOMPARE(host.folderTitle, QStringLiteral("選んで"));
    QCOMPARE(host.folderInitialPath, QStringLiteral("/srv"));
    host.folderAnswer.clear();
    QVERIFY(!dialog.Execute());
    QCOMPARE(dialog.FolderPath, QString());
}

PIXWRIGHT_GUI_TEST(TestColorKeyDialog);
#include "tst_ColorKeyDialog.moc"
