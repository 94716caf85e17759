// The palette-entry key: its exclusion with the top-left key, what it tells
// the engine and what ColorKeyLabel shows for pictures with and without a
// palette of their own.
#include "GuiTestSupport.h"
#include "TestMain.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

// A 4 x 2 palette picture whose entry 0 is #123456 and entry 1
// (200,100,50).
QImage palettePicture()
{
    QImage picture(4, 2, QImage::Format_Indexed8);
    picture.setColorTable({qRgb(12, 34, 56), qRgb(200, 100, 50)});
    picture.fill(1);
    picture.setPixel(3, 1, 0);
    return picture;
}

} // namespace

class TestPaletteKey : public QObject {
    Q_OBJECT

private slots:
    void init() { EngineRecorder::reset(); }
    void excludesTopLeftAndTellsEngine();
    void labelShowsEntry0OfOwnPaletteOnly_data();
    void labelShowsEntry0OfOwnPaletteOnly();
};

void TestPaletteKey::excludesTopLeftAndTellsEngine()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    QCOMPARE(form->ColorKeyPaletteCheckBox->text(), QStringLiteral("透過色はパレットの0番の色"));
    // On at a first start; switched off to start from the fixed colour.
    QVERIFY(form->ColorKeyPaletteCheckBox->isChecked());
    QCOMPARE(form->ColorKeyPaletteCheckBox->parentWidget(), form->ImageConvertGroupBox);
    form->ColorKeyPaletteCheckBox->click();
    QCOMPARE(form->ColorKeyChoice(), TColorKeyChoice::Fixed);
    EngineRecorder::log.clear();

    form->ColorKeyPaletteCheckBox->click();
    QCOMPARE(form->ColorKeyChoice(), TColorKeyChoice::PaletteEntry0);
    QVERIFY(!form->SelectColorKeyButton->isEnabled() && !form->ColorKeyLabel->isEnabled());
    // No picture: the fixed colour is the key.
    QCOMPARE(form->ColorKeyLabel->text(), QStringLiteral("#007575"));

    form->ColorKeyPosCheckBox->click();
    QVERIFY(!form->ColorKeyPaletteCheckBox->isChecked());
    QCOMPARE(form->ColorKeyChoice(), TColorKeyChoice::TopLeft);
    QVERIFY(!form->SelectColorKeyButton->isEnabled());

    form->ColorKeyPaletteCheckBox->click();
    QVERIFY(!form->ColorKeyPosCheckBox->isChecked());
    form->ColorKeyPaletteCheckBox->click();
    QCOMPARE(form->ColorKeyChoice(), TColorKeyChoice::Fixed);
    QVERIFY(form->SelectColorKeyButton->isEnabled() && form->ColorKeyLabel->isEnabled());
    QCOMPARE(EngineRecorder::log,
             QStringList({"setColorKeyPaletteIndex(0)", "setColorKeyPos(0,0)", "setColorKeyPaletteIndex(0)",
                          "setColorKey(0,117,117)"}));

    // A colour chosen meanwhile is the one switching off gives back.
    host.colorAnswer = QColor(0x10, 0x20, 0x30);
    form->SelectColorKeyButton->click();
    form->ColorKeyPaletteCheckBox->click();
    form->ColorKeyPaletteCheckBox->click();
    QCOMPARE(EngineRecorder::log.last(), QStringLiteral("setColorKey(16,32,48)"));
    QCOMPARE(form->ColorKeyLabel->text(), QStringLiteral("#102030"));
    QVERIFY(host.messages.empty());
}

void TestPaletteKey::labelShowsEntry0OfOwnPaletteOnly_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QString>("label");
    QTest::newRow("palette png") << "p.png" << palettePicture() << "#0C2238";
    QTest::newRow("palette bmp") << "p.bmp" << palettePicture() << "#0C2238";
    QImage grey(4, 2, QImage::Format_Grayscale8);
    grey.fill(7);
    QTest::newRow("grey png has none") << "g.png" << grey << "#007575";
    QTest::newRow("rgb png") << "c.png" << patternPicture(4, 2) << "#007575";
}

void TestPaletteKey::labelShowsEntry0OfOwnPaletteOnly()
{
    QFETCH(QString, file);
    QFETCH(QImage, picture);
    QFETCH(QString, label);
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    const QString path = writePicture(env.path(file), picture, file.endsWith("bmp") ? "BMP" : "PNG");
    QVERIFY(form->ColorKeyPaletteCheckBox->isChecked());
    enterInputFile(*form, path);
    QCOMPARE(form->ColorKeyLabel->text(), label);
    // The label follows the picture: gone, it shows the fixed colour.
    form->OpenFileEdit->setText(env.path("none.png"));
    QCOMPARE(form->ColorKeyLabel->text(), QStringLiteral("#007575"));
    enterInputFile(*form, path);
    QCOMPARE(form->ColorKeyLabel->text(), label);
    // Switched off, the fixed colour is shown and used again.
    form->ColorKeyPaletteCheckBox->click();
    QCOMPARE(form->ColorKeyLabel->text(), QStringLiteral("#007575"));
    QCOMPARE(EngineRecorder::log.last(), QStringLiteral("setColorKey(0,117,117)"));
}

PIXWRIGHT_GUI_TEST(TestPaletteKey);
#include "tst_PaletteKey.moc"
