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
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QUrl>

namespace {

// "x1,y1-x2,y2" of each line of the wanted weight, in order.
QString lines(const std::vector<TPreviewView::GridLine>& grid, bool major = true)
{
    QStringList texts;
    for (const TPreviewView::GridLine& g : grid)
        if (g.major == major)
            texts << QStringLiteral("%1,%2-%3,%4").arg(g.line.x1()).arg(g.line.y1()).arg(g.line.x2()).arg(g.line.y2());
    return texts.join(' ');
}

bool painted(TPreviewView& preview)
{
    QSignalSpy rendered(&preview, &TPreviewView::rendered);
    return !preview.isBusy() || rendered.wait(10000);
}

// A drag of urls over target and, when it is taken, the drop.
bool dropOn(QWidget* target, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    data.setText(QStringLiteral("/typed/path.png"));
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    if (enter.isAccepted())
        QCoreApplication::sendEvent(target, &drop);
    return enter.isAccepted() && drop.isAccepted();
}

} // namespace

class TestPreview : public QObject {
    Q_OBJECT

private slots:
    void init() { EngineRecorder::reset(); }
    void gridsOfEveryMode();
    void windowDrawsItsModesGridWithoutReloading();
    void keyPixelsMarked();
    void resultFileNamedAsTheEngineNamesIt();
    void resultShownOverCheckerboard();
    void dropsOfPicturesAndFolders();
    void loadingIsSaidUntilPainted();
    void largeResultIsScaledDown();
};

void TestPreview::gridsOfEveryMode()
{
    using P = TPreviewView;
    // The chipset's 48 x 64 blocks left of x 192, then its three tile columns.
    QCOMPARE(lines(P::gridFor(P::ChipsetGrid, 16, 16, QSize(480, 256))),
             "0,0-0,256 48,0-48,256 96,0-96,256 144,0-144,256 192,0-192,256 0,0-192,0 0,64-192,64 "
             "0,128-192,128 0,192-192,192 0,256-192,256 288,0-288,256 384,0-384,256 480,0-480,256 "
             "192,0-480,0 192,256-480,256");
    const auto charset = P::gridFor(P::CharsetGrid, 24, 32, QSize(288, 256));
    QCOMPARE(lines(charset), "0,0-0,256 72,0-72,256 144,0-144,256 216,0-216,256 288,0-288,256 "
                             "0,0-288,0 0,128-288,128 0,256-288,256");
    // The 24 x 32 pieces inside the 72 x 128 characters.
    QCOMPARE(lines(charset, false).split(' ').size(), 8 + 6);
    QVERIFY(lines(charset, false).startsWith("24,0-24,256 48,0-48,256 96,0-96,256"));
    QCOMPARE(lines(P::gridFor(P::GridLines, 16, 16, QSize(40, 20))),
             "0,0-0,20 16,0-16,20 32,0-32,20 40,0-40,20 0,0-40,0 0,16-40,16 0,20-40,20");
    QVERIFY(P::gridFor(P::GridLines, -3, 5, QSize(40, 20)).empty());
    QVERIFY(P::gridFor(P::NoGrid, 16, 16, QSize(40, 20)).empty());
    QVERIFY(P::gridFor(P::ChipsetGrid, 16, 16, QSize(481, 256)).empty());
}

void TestPreview::windowDrawsItsModesGridWithoutReloading()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    TPreviewView& preview = *form->Preview;
    enterInputFile(*form, writePicture(env.path("chips.png"), patternPicture(480, 256), "PNG"));
    QVERIFY(painted(preview));
    QCOMPARE(preview.PreviewCanvas->layer().size(), QSize(480, 256));
    QCOMPARE(lines(preview.gridLines()), lines(TPreviewView::gridFor(TPreviewView::ChipsetGrid, 0, 0, {480, 256})));
    // Grid changes only redraw the lines: no job is started.
    form->CustomRadioButton->click();
    form->GridXEdit->setText(QStringLiteral("200"));
    form->GridYEdit->setText(QStringLiteral("300"));
    QVERIFY(!preview.isBusy());
    QCOMPARE(lines(preview.gridLines()), "0,0-0,256 200,0-200,256 400,0-400,256 480,0-480,256 0,0-480,0 0,256-480,256");
    form->GridXEdit->setText(QStringLiteral("x"));
    QVERIFY(preview.gridLines().empty());
    // The chipset preset over another size cuts nothing: the engine uses the
    // grid fields, and so does the preview.
    enterInputFile(*form, writePicture(env.path("wide.png"), patternPicture(32, 16), "PNG"));
    form->TilesetRadioButton->click();
    QCOMPARE(lines(preview.gridLines()), "0,0-0,16 16,0-16,16 32,0-32,16 0,0-32,0 0,16-32,16");
    form->NoGridRadioButton->click();
    QVERIFY(preview.gridLines().empty());
    preview.PreviewZoomCheckBox->click();
    QVERIFY(painted(preview));
    QCOMPARE(preview.PreviewCanvas->layer().size(), QSize(64, 32));
    // Either preset cuts a picture by its size, as the engine does: a
    // charset under the chipset button still shows the charset's cells.
    enterInputFile(*form, writePicture(env.path("chara.png"), patternPicture(288, 256), "PNG"));
    form->TilesetRadioButton->click();
    QCOMPARE(lines(preview.gridLines()), lines(TPreviewView::gridFor(TPreviewView::CharsetGrid, 24, 32, {288, 256})));
}

void TestPreview::keyPixelsMarked()
{
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(qRgb(10, 20, 30));
    picture.setPixel(1, 0, qRgb(0x00, 0x75, 0x75));
    const QImage twice = TPreviewView::renderLayer(picture, 2, true, makeColorValue(0x00, 0x75, 0x75));
    QCOMPARE(twice.size(), QSize(6, 4));
    for (const QPoint at : {QPoint(2, 0), QPoint(3, 0), QPoint(2, 1), QPoint(3, 1)})
        QCOMPARE(twice.pixel(at), qRgb(0xFF, 0x00, 0xFF));
    QCOMPARE(twice.pixel(1, 1), qRgb(10, 20, 30));
    QCOMPARE(twice.pixel(4, 1), qRgb(10, 20, 30));
    QCOMPARE(TPreviewView::markColourFor(makeColorValue(0xF0, 0x10, 0xE0)), qRgb(0x00, 0xFF, 0x00));

    // In the window the mark follows the key choice.
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    enterInputFile(*form, writePicture(env.path("key.png"), picture, "PNG"));
    form->Preview->PreviewKeyCheckBox->click();
    QVERIFY(painted(*form->Preview));
    const auto pixels = [&] {
        const QImage& layer = form->Preview->PreviewCanvas->layer();
        return QStringLiteral("%1 %2").arg(layer.pixel(0, 0), 0, 16).arg(layer.pixel(1, 0), 0, 16);
    };
    QCOMPARE(pixels(), QStringLiteral("ff0a141e ffff00ff"));
    form->ColorKeyPosCheckBox->click();
    QVERIFY(painted(*form->Preview));
    QCOMPARE(pixels(), QStringLiteral("ffff00ff ff007575"));
}

void TestPreview::resultFileNamedAsTheEngineNamesIt()
{
    FormEnvironment env;
    QDir().mkpath(env.path("in"));
    const QString chips = writePicture(env.path("in/chips.png"), patternPicture(480, 256), "PNG");
    const QString chars = writePicture(env.path("in/c.png"), patternPicture(288, 256), "PNG");
    const QString small = writePicture(env.path("in/s.png"), patternPicture(100, 50), "PNG");
    const QString dotted = writePicture(env.path("in/a.b.png"), patternPicture(480, 256), "PNG");
    const QString out = env.path("out");
    const auto name = [&](const QString& source, const char* outputName, int preset, int format,
                          const QString& outputs) {
        TConversionRequest request;
        request.sourcePath = source.toUtf8();
        request.outputFolder = out.toUtf8();
        request.outputName = outputName;
        request.editorPreset = preset;
        request.outputFormat = format;
        request.saveNatural = outputs.contains('n');
        request.saveColor = outputs.contains('c');
        request.colorSuffix = "color";
        request.saveAlpha = 1;
        request.alphaSuffix = "alpha";
        return firstResultFile(request, TEngineCalls::exports());
    };
    QCOMPARE(name(chips, "", 1, 1, "nc"), out + QStringLiteral("/chips_00.png"));
    QCOMPARE(name(chars, "named", 1, 0, "c"), out + QStringLiteral("/named_00_color.bmp"));
    QCOMPARE(name(small, "", 1, 2, "c"), out + QStringLiteral("/s_color.jpg"));
    QCOMPARE(name(dotted, "", 0, 1, "n"), out + QStringLiteral("/a.b.png"));
    QCOMPARE(name(small, "", 0, 1, ""), QString());
    // A request the engine refuses, or a picture it cannot load, writes
    // nothing to show.
    QCOMPARE(name(small, ".hidden", 0, 1, "n"), QString());
    QCOMPARE(name(chars, "a/../../b", 1, 0, "c"), QString());
    // Names in any script are names.
    QCOMPARE(name(chars, "名前", 1, 0, "c"), out + QStringLiteral("/名前_00_color.bmp"));
    QCOMPARE(name(env.path("in/missing.png"), "", 0, 1, "n"), QString());
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
    form.SaveDirEdit->setText(env.path("out"));
    QVERIFY(convertAndWait(form));
    TPreviewView& preview = *form.Preview;
    QVERIFY(painted(preview) && preview.showsResult());
    const QImage written = QImage(env.path("out/small.png")).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(preview.resultPicture().convertToFormat(QImage::Format_ARGB32), written);
    const QImage shown = preview.PreviewCanvas->grab().toImage();
    QCOMPARE(QColor(shown.pixel(0, 0)), QColor(0xCC, 0xCC, 0xCC));
    QCOMPARE(QColor(shown.pixel(5, 5)), QColor(written.pixel(5, 5)));
    // Back to the input and to the result again: the result is not reloaded.
    preview.PreviewResultCheckBox->click();
    QVERIFY(painted(preview));
    QCOMPARE(preview.PreviewCanvas->layer().size(), QSize(6, 4));
    preview.PreviewResultCheckBox->click();
    QVERIFY(painted(preview));
    QCOMPARE(preview.PreviewCanvas->layer().size(), QSize(12, 8));
    // A new input forgets the result.
    enterInputFile(form, writePicture(env.path("other.png"), patternPicture(5, 5), "PNG"));
    QVERIFY(!preview.PreviewResultCheckBox->isEnabled() && !preview.showsResult());
}

void TestPreview::dropsOfPicturesAndFolders()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    QSignalSpy loaded(form.get(), &TPixwrightForm::InputPictureChanged);
    const QUrl chars = QUrl::fromLocalFile(writePicture(env.path("chars.bmp"), patternPicture(288, 256), "BMP"));
    const QUrl other = QUrl::fromLocalFile(writePicture(env.path("b.png"), patternPicture(4, 4), "PNG"));
    // Refused: two files, no picture name, a missing file, a remote one,
    // and anything while a conversion runs; the field takes no text either.
    QVERIFY(!dropOn(form->OpenFileEdit, {chars, other}));
    QVERIFY(!dropOn(form->OpenFileEdit, {QUrl::fromLocalFile(writeBytes(env.path("notes.txt"), "x"))}));
    QVERIFY(!dropOn(form->OpenFileEdit, {QUrl::fromLocalFile(env.path("gone.png"))}));
    QVERIFY(!dropOn(form->OpenFileEdit, {QUrl(QStringLiteral("https://example.org/a.png"))}));
    form->DropHandler->setEnabled(false);
    QVERIFY(!dropOn(form->OpenFileEdit, {chars}));
    form->DropHandler->setEnabled(true);
    QCOMPARE(form->OpenFileEdit->text(), QString());
    QCOMPARE(loaded.size(), 0);

    // A picture dropped on the help text, far from the field, loads at once.
    QVERIFY(dropOn(form->HelpMemo->viewport(), {chars}));
    QCOMPARE(form->OpenFileEdit->text(), chars.toLocalFile());
    QCOMPARE(loaded.size(), 1);
    QVERIFY(form->CharsetRadioButton->isChecked());
    QDir().mkpath(env.path("出力"));
    QVERIFY(dropOn(form->OpenFileEdit, {QUrl::fromLocalFile(env.path("出力"))}));
    QCOMPARE(form->SaveDirEdit->text(), env.path("出力"));
    QCOMPARE(form->OpenFileEdit->text(), chars.toLocalFile());
    // A file is told by its content: text named like a picture is refused
    // in the air, and a damaged picture is refused as from the chooser.
    QVERIFY(!dropOn(form.get(), {QUrl::fromLocalFile(writeBytes(env.path("text.png"), "not a picture"))}));
    QVERIFY(host.messages.empty());
    QVERIFY(dropOn(form.get(), {QUrl::fromLocalFile(writeBytes(env.path("bad.png"), "\x89PNG\r\n\x1a\ndamaged"))}));
    QCOMPARE(host.messageTexts(), QStringList{"画像を開けません。"});
    QCOMPARE(form->OpenFileEdit->text(), QString());
    // A picture under another name is taken.
    const QString renamed = writePicture(env.path("tiles.dat"), patternPicture(5, 4), "PNG");
    QVERIFY(dropOn(form.get(), {QUrl::fromLocalFile(renamed)}));
    QCOMPARE(form->OpenFileEdit->text(), renamed);
}

void TestPreview::loadingIsSaidUntilPainted()
{
    ScriptedModalHost host;
    FormEnvironment env;
    auto form = env.makeForm();
    QCOMPARE(form->Preview->PreviewInfoLabel->text(), QStringLiteral("入力画像がありません。"));
    enterInputFile(*form, writePicture(env.path("big.png"), patternPicture(1200, 900), "PNG"));
    // Nothing is painted before the event loop runs again.
    QCOMPARE(form->Preview->PreviewInfoLabel->text(), QStringLiteral("読み込み中…"));
    QVERIFY(painted(*form->Preview));
    QCOMPARE(form->Preview->PreviewInfoLabel->text(), QStringLiteral("入力画像: 1200 × 900"));
}

void TestPreview::largeResultIsScaledDown()
{
    FormEnvironment env;
    TPreviewView preview;
    // 6100 x 5600 is more than Qt reads by default (128 MB decoded).
    QImage big(6100, 5600, QImage::Format_RGB32);
    big.fill(qRgb(0x20, 0x40, 0x60));
    for (int y = 0; y < 700; ++y)
        for (int x = 0; x < 6100; ++x)
            big.setPixel(x, y, qRgb(0xF0, 0x10, 0x10));
    const QString file = writePicture(env.path("big_result.png"), big, "PNG");
    big = QImage();
    QSize full;
    const QImage shown = TPreviewView::loadScaled(file, TPreviewView::kMaxShownSide, &full);
    QCOMPARE(full, QSize(6100, 5600));
    QCOMPARE(shown.size(), QSize(2048, 1880));
    QCOMPARE(QColor(shown.pixel(1000, 100)), QColor(0xF0, 0x10, 0x10));
    QCOMPARE(QColor(shown.pixel(1000, 1500)), QColor(0x20, 0x40, 0x60));
    // A small one is shown as it is.
    const QString small = writePicture(env.path("small.png"), patternPicture(7, 5), "PNG");
    QCOMPARE(TPreviewView::loadScaled(small, TPreviewView::kMaxShownSide, &full).size(), QSize(7, 5));

    preview.setResultFiles({file, small});
    QVERIFY(painted(preview) && preview.showsResult());
    QVERIFY(preview.resultScaled());
    QCOMPARE(preview.PreviewInfoLabel->text(), QStringLiteral("変換結果: big_result.png (6100 × 5600、縮小して表示)"));
    QCOMPARE(preview.PreviewResultList->count(), 2);
    QCOMPARE(preview.PreviewResultList->item(1)->text(), QStringLiteral("small.png"));
    // Picking the second shows it.
    preview.PreviewResultList->setCurrentRow(1);
    QVERIFY(painted(preview));
    QCOMPARE(preview.resultFile(), small);
    QVERIFY(!preview.resultScaled());
    QCOMPARE(preview.PreviewCanvas->layer().size(), QSize(7, 5));
}

PIXWRIGHT_GUI_TEST(TestPreview);
#include "tst_Preview.moc"
