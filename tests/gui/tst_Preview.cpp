// The preview: the cells drawn over the input, the marked key pixels, the
// first result picture, and pictures and folders dropped on the window.
#include "GuiTestSupport.h"
#include "TestMain.h"

#include "gui/ConversionWorker.h"
#include "gui/DropHandler.h"
#include "gui/PreviewView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QUrl>

namespace {

using GridLine = TPreviewView::GridLine;

// "x1,y1-x2,y2" for each line of the wanted weight, in order.
QStringList lines(const std::vector<GridLine>& grid, bool major)
{
    QStringList texts;
    for (const GridLine& line : grid)
        if (line.major == major)
            texts << QStringLiteral("%1,%2-%3,%4")
                         .arg(line.line.x1())
                         .arg(line.line.y1())
                         .arg(line.line.x2())
                         .arg(line.line.y2());
    return texts;
}

bool waitForPreview(TPreviewView& preview)
{
    if (!preview.isBusy())
        return true;
    QSignalSpy rendered(&preview, &TPreviewView::rendered);
    return rendered.wait(10000);
}

// Sends a drag over target and, when it is taken, the drop; returns whether
// the drag was taken.
bool dragAndDrop(QWidget* target, const QList<QUrl>& urls, const QString& text = QString())
{
    QMimeData data;
    if (!urls.isEmpty())
        data.setUrls(urls);
    if (!text.isEmpty())
        data.setText(text);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

} // namespace

class TestPreview : public QObject {
    Q_OBJECT

private slots:
    void init() { EngineRecorder::reset(); }
    void gridsOfEveryMode();
    void formDrawsTheGridOfItsMode();
    void keyPixelsMarkedAtEitherZoom();
    void resultFileNamedAsTheEngineNamesIt_data();
    void resultFileNamedAsTheEngineNamesIt();
    void resultShownOverCheckerboard();
    void droppedPictureAndFolder();
    void otherDropsRefused();
};

void TestPreview::gridsOfEveryMode()
{
    const auto chipset = TPreviewView::gridFor(TPreviewView::ChipsetGrid, 16, 16, QSize(480, 256));
    // The left part's 48 x 64 blocks, then the tile part's three columns.
    QCOMPARE(lines(chipset, true),
             QStringList({"0,0-0,256", "48,0-48,256", "96,0-96,256", "144,0-144,256", "192,0-192,256",
                          "0,0-192,0", "0,64-192,64", "0,128-192,128", "0,192-192,192", "0,256-192,256",
                          "288,0-288,256", "384,0-384,256", "480,0-480,256", "192,0-480,0",
                          "192,256-480,256"}));
    QVERIFY(lines(chipset, false).isEmpty());

    const auto charset = TPreviewView::gridFor(TPreviewView::CharsetGrid, 24, 32, QSize(288, 256));
    QCOMPARE(lines(charset, true),
             QStringList({"0,0-0,256", "72,0-72,256", "144,0-144,256", "216,0-216,256", "288,0-288,256",
                          "0,0-288,0", "0,128-288,128", "0,256-288,256"}));
    // The 24 x 32 pieces inside each character.
    QCOMPARE(lines(charset, false).size(), (13 - 5) + (9 - 3));
    QVERIFY(lines(charset, false).contains("24,0-24,256") && lines(charset, false).contains("0,96-288,96"));

    // Lines every 16 x 16 and round a 40 x 20 picture.
    QCOMPARE(lines(TPreviewView::gridFor(TPreviewView::GridLines, 16, 16, QSize(40, 20)), true),
             QStringList({"0,0-0,20", "16,0-16,20", "32,0-32,20", "40,0-40,20", "0,0-40,0", "0,16-40,16",
                          "0,20-40,20"}));
    QVERIFY(TPreviewView::gridFor(TPreviewView::GridLines, 0, 16, QSize(40, 20)).empty());
    QVERIFY(TPreviewView::gridFor(TPreviewView::GridLines, -3, 5, QSize(40, 20)).empty());
    QVERIFY(TPreviewView::gridFor(TPreviewView::NoGrid, 16, 16, QSize(40, 20)).empty());
    // A preset grid needs the preset's size.
    QVERIFY(TPreviewView::gridFor(TPreviewView::ChipsetGrid, 16, 16, QSize(481, 256)).empty());
}

void TestPreview::formDrawsTheGridOfItsMode()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    TPreviewView& preview = *form->Preview;
    enterInputFile(*form, writePicture(env.path("chips.png"), patternPicture(480, 256), "PNG"));
    QVERIFY(waitForPreview(preview));
    QCOMPARE(preview.PreviewCanvas->layer().size(), QSize(480, 256));
    QCOMPARE(lines(preview.gridLines(), true).size(), 15);
    QCOMPARE(preview.PreviewCanvas->size(), QSize(481, 257));

    // Grid changes only redraw the lines; nothing is loaded or scaled again.
    form->CustomRadioButton->click();
    form->GridXEdit->setText(QStringLiteral("100"));
    form->GridYEdit->setText(QStringLiteral("200"));
    QVERIFY(!preview.isBusy());
    QCOMPARE(lines(preview.gridLines(), true),
             QStringList({"0,0-0,256", "100,0-100,256", "200,0-200,256", "300,0-300,256", "400,0-400,256",
                          "480,0-480,256", "0,0-480,0", "0,200-480,200", "0,256-480,256"}));
    form->GridXEdit->setText(QStringLiteral("x"));
    QVERIFY(preview.gridLines().empty());
    form->NoGridRadioButton->click();
    QVERIFY(preview.gridLines().empty());
    // The chipset preset over a picture of another size cuts nothing: the
    // grid fields' lines are what the engine uses.
    enterInputFile(*form, writePicture(env.path("wide.png"), patternPicture(64, 32), "PNG"));
    form->TilesetRadioButton->click();
    QCOMPARE(lines(preview.gridLines(), true).size(), 5 + 3);

    preview.PreviewZoomCheckBox->click();
    QVERIFY(waitForPreview(preview));
    QCOMPARE(preview.PreviewCanvas->layer().size(), QSize(128, 64));
    QVERIFY(host.messages.empty());
}

void TestPreview::keyPixelsMarkedAtEitherZoom()
{
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(qRgb(10, 20, 30));
    picture.setPixel(1, 0, qRgb(0x00, 0x75, 0x75));
    picture.setPixel(2, 1, qRgb(0x00, 0x75, 0x75));
    const TColorValue key = makeColorValue(0x00, 0x75, 0x75);
    const QImage plain = TPreviewView::renderLayer(picture, 1, false, key);
    QCOMPARE(plain.pixel(1, 0), qRgb(0x00, 0x75, 0x75));
    const QImage marked = TPreviewView::renderLayer(picture, 1, true, key);
    QCOMPARE(marked.pixel(1, 0), qRgb(0xFF, 0x00, 0xFF));
    QCOMPARE(marked.pixel(2, 1), qRgb(0xFF, 0x00, 0xFF));
    QCOMPARE(marked.pixel(0, 0), qRgb(10, 20, 30));
    const QImage twice = TPreviewView::renderLayer(picture, 2, true, key);
    QCOMPARE(twice.size(), QSize(6, 4));
    for (const QPoint at : {QPoint(2, 0), QPoint(3, 0), QPoint(2, 1), QPoint(3, 1), QPoint(5, 3)})
        QCOMPARE(twice.pixel(at), qRgb(0xFF, 0x00, 0xFF));
    QCOMPARE(twice.pixel(1, 1), qRgb(10, 20, 30));
    QCOMPARE(twice.pixel(4, 1), qRgb(10, 20, 30));
    // A key near magenta is marked in green.
    QCOMPARE(TPreviewView::markColourFor(makeColorValue(0xF0, 0x10, 0xE0)), qRgb(0x00, 0xFF, 0x00));

    // In the window the mark follows the key choice: top-left pixel here.
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    enterInputFile(*form, writePicture(env.path("key.png"), picture, "PNG"));
    form->Preview->PreviewKeyCheckBox->click();
    QVERIFY(waitForPreview(*form->Preview));
    QCOMPARE(form->Preview->PreviewCanvas->layer().pixel(1, 0), qRgb(0xFF, 0x00, 0xFF));
    QCOMPARE(form->Preview->PreviewCanvas->layer().pixel(0, 0), qRgb(10, 20, 30));
    form->ColorKeyPosCheckBox->click();
    QVERIFY(waitForPreview(*form->Preview));
    QCOMPARE(form->Preview->PreviewCanvas->layer().pixel(0, 0), qRgb(0xFF, 0x00, 0xFF));
    QCOMPARE(form->Preview->PreviewCanvas->layer().pixel(1, 0), qRgb(0x00, 0x75, 0x75));
}

void TestPreview::resultFileNamedAsTheEngineNamesIt_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("preset");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("outputs");
    QTest::addColumn<QString>("expected");
    QTest::newRow("chipset natural") << "/in/chips.png" << "" << 1 << QSize(480, 256) << 1 << "nca"
                                     << "/out/chips_00.png";
    QTest::newRow("charset colour") << "/in/c.png" << "名前" << 1 << QSize(288, 256) << 0 << "ca"
                                    << "/out/名前_00_color.bmp";
    QTest::newRow("preset, other size") << "/in/c.png" << "" << 1 << QSize(100, 50) << 2 << "c"
                                        << "/out/c_color.jpg";
    QTest::newRow("no preset") << "/in/a.b.png" << "" << 0 << QSize(480, 256) << 1 << "n"
                               << "/out/a.b.png";
    QTest::newRow("backslash folder") << "C:\\in\\pic.bmp" << "" << 0 << QSize(8, 8) << 0 << "c"
                                      << "/out/pic_color.bmp";
    QTest::newRow("alpha only") << "/in/a.png" << "" << 0 << QSize(8, 8) << 1 << "a" << "";
}

void TestPreview::resultFileNamedAsTheEngineNamesIt()
{
    QFETCH(QString, source);
    QFETCH(QString, name);
    QFETCH(int, preset);
    QFETCH(QSize, size);
    QFETCH(int, format);
    QFETCH(QString, outputs);
    QFETCH(QString, expected);
    TConversionRequest request;
    request.sourcePath = source.toUtf8();
    request.outputFolder = "/out";
    request.outputName = name.toUtf8();
    request.editorPreset = preset;
    request.outputFormat = format;
    request.saveNatural = outputs.contains('n');
    request.saveColor = outputs.contains('c');
    request.colorSuffix = "color";
    request.saveAlpha = outputs.contains('a');
    request.alphaSuffix = "alpha";
    QCOMPARE(firstResultFile(request, size), expected);
}

void TestPreview::resultShownOverCheckerboard()
{
    ScriptedModalHost host;
    FormEnvironment env;
    TFormContext context = env.context();
    context.engine = TEngineCalls::exports();
    TPixwrightForm form(context);
    // The start-up key colour at (0, 0) turns transparent in the result.
    QImage picture = patternPicture(6, 4);
    picture.setPixel(0, 0, qRgb(0x00, 0x75, 0x75));
    enterInputFile(form, writePicture(env.path("small.png"), picture, "PNG"));
    form.NoGridRadioButton->click();
    form.InterpolationTypeComboBox->setCurrentIndex(0);
    QTest::keyClick(form.SaveImageTypeComboBox, Qt::Key_Down);
    form.SaveDirEdit->setText(env.path("out"));
    QVERIFY(convertAndWait(form));
    QCOMPARE(host.messageTexts(), QStringList{"画像の変換に成功しました。"});
    TPreviewView& preview = *form.Preview;
    QVERIFY(waitForPreview(preview));
    QVERIFY(preview.showsResult());
    const QImage written(env.path("out/small.png"));
    QCOMPARE(preview.resultPicture().size(), QSize(12, 8));
    QCOMPARE(preview.resultPicture().convertToFormat(QImage::Format_ARGB32),
             written.convertToFormat(QImage::Format_ARGB32));
    QVERIFY(preview.gridLines().empty());
    // Transparent pixels show the checkerboard, grey in its first square.
    const QImage shown = preview.PreviewCanvas->grab().toImage();
    QCOMPARE(QColor(shown.pixel(0, 0)), QColor(0xCC, 0xCC, 0xCC));
    QCOMPARE(QColor(shown.pixel(5, 5)), QColor(written.pixel(5, 5)));
    QVERIFY(preview.PreviewInfoLabel->text().contains(QStringLiteral("small.png")));

    // Showing the input again needs no new load of the result.
    preview.PreviewResultCheckBox->click();
    QVERIFY(waitForPreview(preview));
    QCOMPARE(preview.PreviewCanvas->layer().size(), QSize(6, 4));
    preview.PreviewResultCheckBox->click();
    QVERIFY(waitForPreview(preview));
    QCOMPARE(preview.PreviewCanvas->layer().size(), QSize(12, 8));
    // A new input forgets the result.
    enterInputFile(form, writePicture(env.path("other.png"), patternPicture(5, 5), "PNG"));
    QVERIFY(!preview.PreviewResultCheckBox->isEnabled() && !preview.showsResult());
}

void TestPreview::droppedPictureAndFolder()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    QSignalSpy loaded(form.get(), &TPixwrightForm::InputPictureChanged);
    const QString chars = writePicture(env.path("chars.bmp"), patternPicture(288, 256), "BMP");
    // Dropped on the help text, far from the input field: loaded at once.
    QVERIFY(dragAndDrop(form->HelpMemo->viewport(), {QUrl::fromLocalFile(chars)}));
    QCOMPARE(form->OpenFileEdit->text(), chars);
    QCOMPARE(loaded.size(), 1);
    QVERIFY(form->CharsetRadioButton->isChecked());
    QCOMPARE(form->LoadedPicture().size(), QSize(288, 256));

    QDir().mkpath(env.path("出力"));
    QVERIFY(dragAndDrop(form->OpenFileEdit, {QUrl::fromLocalFile(env.path("出力"))}));
    QCOMPARE(form->SaveDirEdit->text(), env.path("出力"));
    QCOMPARE(form->OpenFileEdit->text(), chars);

    // A damaged picture is refused as from the chooser.
    const QString bad = writeBytes(env.path("bad.png"), "not a picture");
    QVERIFY(dragAndDrop(form.get(), {QUrl::fromLocalFile(bad)}));
    QCOMPARE(host.messageTexts(), QStringList{"画像を開けません。"});
    QCOMPARE(form->OpenFileEdit->text(), QString());
}

void TestPreview::otherDropsRefused()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    const QUrl picture = QUrl::fromLocalFile(writePicture(env.path("a.png"), patternPicture(4, 4), "PNG"));
    const QUrl other = QUrl::fromLocalFile(writePicture(env.path("b.png"), patternPicture(4, 4), "PNG"));
    const QUrl text = QUrl::fromLocalFile(writeBytes(env.path("notes.txt"), "x"));
    QVERIFY(!dragAndDrop(form->OpenFileEdit, {picture, other}));
    QVERIFY(!dragAndDrop(form->OpenFileEdit, {text}));
    QVERIFY(!dragAndDrop(form->OpenFileEdit, {QUrl::fromLocalFile(env.path("gone.png"))}));
    QVERIFY(!dragAndDrop(form->OpenFileEdit, {QUrl(QStringLiteral("https://example.org/a.png"))}));
    // Plain text would go into the field if the field were asked.
    QVERIFY(!dragAndDrop(form->OpenFileEdit, {}, QStringLiteral("/typed/path.png")));
    QCOMPARE(form->OpenFileEdit->text(), QString());
    QCOMPARE(TDropHandler::classify(nullptr), TDropHandler::Refused);

    // While a conversion runs the settings take no drop either.
    form->DropHandler->setEnabled(false);
    QVERIFY(!dragAndDrop(form->OpenFileEdit, {picture}));
    QVERIFY(form->LoadedPicture().isNull());
    QVERIFY(host.messages.empty());
}

PIXWRIGHT_GUI_TEST(TestPreview);
#include "tst_Preview.moc"
