// The colour-key picker, its use from the main window, and the folder
// chooser component.
#include "GuiTestSupport.h"
#include "TestMain.h"

#include "gui/ColorValue.h"
#include "gui/FolderDialog.h"
#include "gui/SelectColorKeyDialog.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

namespace {

// 100 x 50 with the pixel (10, 7) in (0A,B0,05).
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
    void largePictureIsClippedNotScaled();
    void pickIgnoresAlpha();
    void mainWindowAppliesPickOnOkOnly();
    void folderDialogReportsChoiceOrCancel();
};

void TestColorKeyDialog::formatsColourValues_data()
{
    QTest::addColumn<uint>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("asymmetric") << 0x0005B00Au << "(0A,B0,05)";
    QTest::newRow("start colour") << 0x00757500u << "(00,75,75)";
    QTest::newRow("blue") << 0x00FF0000u << "(00,00,FF)";
    QTest::newRow("black") << 0u << "(00,00,00)";
    QTest::newRow("high byte ignored") << 0xFF010203u << "(03,02,01)";
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
    QCOMPARE(childNamed<QWidget>(&dialog, "PreviewImage")->size(), QSize(441, 233));
    QCOMPARE(childNamed<QFrame>(&dialog, "Bevel1")->size(), QSize(441, 233));
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
    QTest::newRow("marked pixel") << QPoint(10, 7) << "(0A,B0,05)";
    QTest::newRow("top left") << QPoint(0, 0) << "(01,02,03)";
    QTest::newRow("last pixel") << QPoint(99, 49) << "(2A,F7,0F)";
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

void TestColorKeyDialog::largePictureIsClippedNotScaled()
{
    TColorKeyDialog dialog;
    dialog.LoadPicture(patternPicture(1000, 1000));
    QCOMPARE(dialog.PreviewImage->size(), QSize(441, 233));
    QTest::mouseClick(dialog.PreviewImage, Qt::LeftButton, {}, QPoint(440, 232));
    QCOMPARE(dialog.PickedColor(), makeColorValue((3 * 440 + 1) & 0xFF, (5 * 232 + 2) & 0xFF,
                                                  (7 * (440 + 232) + 3) & 0xFF));
    const QImage shown = dialog.PreviewImage->grab().toImage();
    QCOMPARE(shown.pixel(440, 232), patternPicture(1000, 1000).pixel(440, 232));
}

void TestColorKeyDialog::pickIgnoresAlpha()
{
    FormEnvironment env;
    QImage picture(3, 2, QImage::Format_ARGB32);
    picture.fill(qRgba(0x12, 0x34, 0x56, 0x40));
    TColorKeyDialog dialog;
    dialog.LoadPicture(QImage(writePicture(env.path("a.png"), picture, "PNG")));
    QTest::mouseClick(dialog.PreviewImage, Qt::LeftButton, {}, QPoint(2, 1));
    QCOMPARE(dialog.ColorKeyEdit->text(), QStringLiteral("(12,34,56)"));
}

void TestColorKeyDialog::mainWindowAppliesPickOnOkOnly()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
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
    QCOMPARE(form->ColorKeyLabel->text(), QStringLiteral("(0A,B0,05)"));
    // Reopened and confirmed without a click: the earlier pick still holds.
    click = QPoint();
    form->SelectColorKeyButton->click();
    // A pick that is cancelled changes nothing.
    click = QPoint(0, 1);
    answer = QDialog::Rejected;
    form->SelectColorKeyButton->click();
    QCOMPARE(form->ColorKeyLabel->text(), QStringLiteral("(0A,B0,05)"));
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
