// The whole-game window: the list of a game's pictures with their kind, size
// and settings, a kind's settings edited, a run over the real engine giving
// the files of lone conversions, a stop between pictures, and the ways in
// (the menu and a folder dropped on the picture area).
#include "GuiTestSupport.h"
#include "TestMain.h"

#include "gui/GameDialog.h"
#include "gui/Translation.h"

#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// The game: a chipset and a charset at their preset sizes, a face set as
// BMP, a title, and two things that are no picture.
void drawGame(const QString& game)
{
    QDir().mkpath(game + QStringLiteral("/ChipSet"));
    QDir().mkpath(game + QStringLiteral("/charset"));
    QDir().mkpath(game + QStringLiteral("/FaceSet"));
    QDir().mkpath(game + QStringLiteral("/Title"));
    QDir().mkpath(game + QStringLiteral("/Music"));
    writePicture(game + QStringLiteral("/ChipSet/World.png"), patternPicture(480, 256), "PNG");
    writePicture(game + QStringLiteral("/charset/Hero.png"), patternPicture(288, 256), "PNG");
    writePicture(game + QStringLiteral("/FaceSet/faces.bmp"), patternPicture(96, 48), "BMP");
    writePicture(game + QStringLiteral("/Title/title.png"), patternPicture(40, 30), "PNG");
    writeBytes(game + QStringLiteral("/ChipSet/readme.txt"), "by a friend");
    writeBytes(game + QStringLiteral("/Music/theme.mid"), "MThd");
}

QString cell(QTreeWidget* list, int row, int column) { return list->topLevelItem(row)->text(column); }

QByteArray bytesOf(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool dropOn(QWidget* target, const QString& folder)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(folder)});
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    if (enter.isAccepted())
        QCoreApplication::sendEvent(target, &drop);
    return enter.isAccepted() && drop.isAccepted();
}

// A conversion that holds the run until the test lets it go. Only the
// first call after holdNext is set waits: a worker that outruns the test
// into a later picture must never block for good.
QSemaphore entered;
QSemaphore released;
std::atomic<int> heldCalls{0};
std::atomic<bool> holdNext{false};

int heldConvert(const PixwrightColorKey*, const char*, const char*, const char*, int, int, int, int, int, int, int,
                int, const char*, int, const char*, int, const char*)
{
    ++heldCalls;
    entered.release();
    if (holdNext.exchange(false))
        released.acquire();
    return 0;
}

// Lets a held conversion go however the test ends, so that a failed check
// never leaves the dialog waiting on its worker.
struct ReleaseOnExit {
    ReleaseOnExit()
    {
        entered.tryAcquire(entered.available());
        released.tryAcquire(released.available());
    }
    ~ReleaseOnExit()
    {
        holdNext = false;
        released.release();
    }
};

} // namespace

class TestGameDialog : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        game = dir.filePath(QStringLiteral("My Game"));
        out = dir.filePath(QStringLiteral("out"));
        drawGame(game);
    }

    void listsEveryEntry_data();
    void listsEveryEntry();
    void aKindsSettingsAreEditable();
    void runGivesTheFilesOfLoneConversions();
    void stopEndsTheRunBetweenPictures();
    void menuAndDropOpenIt();
    void clashingPicturesAreNotConverted();
    void englishLeavesNoJapaneseText();

private:
    QTemporaryDir dir;
    QString game;
    QString out;
    ScriptedModalHost host;
};

void TestGameDialog::listsEveryEntry_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("result");
    // In name order, folders as on disk: upper case sorts first.
    QTest::newRow("chipset") << 0 << "ChipSet/World.png" << "ChipSet" << "PNG" << "480×256"
                             << "チップセット・透過色 自動" << "";
    QTest::newRow("not a picture") << 1 << "ChipSet/readme.txt" << "ChipSet" << "" << "" << ""
                                   << "対象外（画像ではない）";
    QTest::newRow("face set bmp") << 2 << "FaceSet/faces.bmp" << "FaceSet" << "BMP" << "96×48"
                                  << "カスタム 48×48・透過色 自動" << "";
    QTest::newRow("music") << 3 << "Music" << "" << "" << "" << "" << "対象外（素材フォルダではない）";
    QTest::newRow("title") << 4 << "Title/title.png" << "Title" << "PNG" << "40×30" << "グリッド無し・透過色 なし"
                           << "";
    QTest::newRow("charset in lower case") << 5 << "charset/Hero.png" << "CharSet" << "PNG" << "288×256"
                                           << "キャラセット・透過色 自動" << "";
}

void TestGameDialog::listsEveryEntry()
{
    QFETCH(int, row);
    TGameDialog dialog;
    dialog.setGameFolder(game);
    QCOMPARE(dialog.PictureList->topLevelItemCount(), 6);
    QFETCH(QString, file);
    QFETCH(QString, kind);
    QFETCH(QString, format);
    QFETCH(QString, size);
    QFETCH(QString, settings);
    QFETCH(QString, result);
    QCOMPARE(cell(dialog.PictureList, row, TGameDialog::FileColumn), file);
    QCOMPARE(cell(dialog.PictureList, row, TGameDialog::KindColumn), kind);
    QCOMPARE(cell(dialog.PictureList, row, TGameDialog::FormatColumn), format);
    QCOMPARE(cell(dialog.PictureList, row, TGameDialog::SizeColumn), size);
    QCOMPARE(cell(dialog.PictureList, row, TGameDialog::SettingsColumn), settings);
    QCOMPARE(cell(dialog.PictureList, row, TGameDialog::ResultColumn), result);
    QCOMPARE(dialog.ListSummaryLabel->text(), QStringLiteral("画像 4 件、対象外 2 件"));
    // One row per kind found, in the table's order.
    QCOMPARE(dialog.KindTable->rowCount(), 4);
    QCOMPARE(dialog.KindTable->item(0, TGameDialog::KindNameColumn)->text(), QStringLiteral("ChipSet"));
    QCOMPARE(dialog.KindTable->item(1, TGameDialog::KindNameColumn)->text(), QStringLiteral("CharSet"));
    QCOMPARE(dialog.KindTable->item(3, TGameDialog::KindNameColumn)->text(), QStringLiteral("Title"));
    // Without an output folder there is nothing to convert into.
    QVERIFY(!dialog.ConvertButton->isEnabled());
    dialog.setOutputFolder(out);
    QVERIFY(dialog.ConvertButton->isEnabled());
    QVERIFY(!dialog.StopButton->isEnabled());
    QVERIFY(!dialog.OpenOutputButton->isEnabled());
}

void TestGameDialog::aKindsSettingsAreEditable()
{
    TGameDialog dialog;
    dialog.setGameFolder(game);
    // FaceSet is the third row.
    auto* width = qobject_cast<QSpinBox*>(dialog.KindTable->cellWidget(2, TGameDialog::GridWidthColumn));
    auto* key = qobject_cast<QComboBox*>(dialog.KindTable->cellWidget(2, TGameDialog::KeyColumn));
    QVERIFY(width && key);
    QVERIFY(width->isEnabled());
    width->setValue(32);
    key->setCurrentIndex(1);
    QCOMPARE(cell(dialog.PictureList, 2, TGameDialog::SettingsColumn), QStringLiteral("カスタム 32×48・透過色 なし"));
    QCOMPARE(dialog.presets().rows[PIXWRIGHT_KIND_FACESET].gridWidth, 32);
    QCOMPARE(dialog.presets().rows[PIXWRIGHT_KIND_FACESET].keyMode, PIXWRIGHT_KEY_OFF);
    // The chipset's grid fields count for a custom grid only; made custom,
    // the chipset gets that grid.
    auto* chipMode = qobject_cast<QComboBox*>(dialog.KindTable->cellWidget(0, TGameDialog::GridModeColumn));
    QVERIFY(!dialog.KindTable->cellWidget(0, TGameDialog::GridWidthColumn)->isEnabled());
    chipMode->setCurrentIndex(PIXWRIGHT_GRID_CUSTOM);
    QVERIFY(dialog.KindTable->cellWidget(0, TGameDialog::GridWidthColumn)->isEnabled());
    QCOMPARE(cell(dialog.PictureList, 0, TGameDialog::SettingsColumn), QStringLiteral("カスタム 16×16・透過色 自動"));
    // Other kinds keep theirs.
    QCOMPARE(cell(dialog.PictureList, 5, TGameDialog::SettingsColumn), QStringLiteral("キャラセット・透過色 自動"));
}

void TestGameDialog::runGivesTheFilesOfLoneConversions()
{
    TGameDialog dialog;
    dialog.setGameFolder(game);
    dialog.setOutputFolder(out);
    QSignalSpy finished(&dialog, &TGameDialog::runFinished);
    QSignalSpy started(dialog.Worker, &TGameWorker::pictureStarted);
    QTest::mouseClick(dialog.ConvertButton, Qt::LeftButton);
    QVERIFY(dialog.StopButton->isEnabled());
    QVERIFY(!dialog.ConvertButton->isEnabled());
    QVERIFY(!dialog.KindTable->isEnabled());
    QVERIFY(finished.wait(60000));
    QCOMPARE(started.count(), 4);

    QCOMPARE(dialog.SummaryLabel->text(), QStringLiteral("変換 4 件、対象外 2 件、失敗 0 件"));
    QCOMPARE(dialog.ProgressLabel->text(), QStringLiteral("終わりました"));
    QCOMPARE(dialog.GameProgressBar->value(), 4);
    QCOMPARE(dialog.GameProgressBar->maximum(), 4);
    QCOMPARE(cell(dialog.PictureList, 0, TGameDialog::ResultColumn), QStringLiteral("変換しました"));

    // Each picture's files are those of the picture converted alone with
    // its kind's settings.
    struct Alone {
        const char* file;
        const char* folder;
        int preset, gridWidth, gridHeight, alphaGrid, key;
        const char* first;
    };
    const Alone alone[] = {
        {"ChipSet/World.png", "ChipSet", 1, 16, 16, 1, PIXWRIGHT_KEY_PALETTE, "World_17_alpha.png"},
        {"charset/Hero.png", "charset", 1, 24, 32, 0, PIXWRIGHT_KEY_PALETTE, "Hero_07_color.png"},
        {"FaceSet/faces.bmp", "FaceSet", 0, 48, 48, 0, PIXWRIGHT_KEY_PALETTE, "faces.png"},
        {"Title/title.png", "Title", 0, 0, 0, 0, PIXWRIGHT_KEY_OFF, "title_alpha.png"},
    };
    const QString lone = dir.filePath(QStringLiteral("alone"));
    for (const Alone& a : alone) {
        const PixwrightColorKey key{a.key, 0x00, 0x75, 0x75, 0, 0, 0};
        const QByteArray folder = QFile::encodeName(lone + QLatin1Char('/') + QLatin1String(a.folder));
        QDir().mkpath(QString::fromUtf8(folder));
        QCOMPARE(graphicConvertWithKey(&key, QFile::encodeName(game + QLatin1Char('/') + QLatin1String(a.file)),
                                       folder.constData(), nullptr, a.preset, a.gridWidth, a.gridHeight, 2,
                                       a.alphaGrid, PIXWRIGHT_INTERPOLATION_BILINEAR, PIXWRIGHT_FORMAT_PNG, 1, "", 1,
                                       "color", 1, "alpha"),
                 0);
        const QDir expected(QString::fromUtf8(folder));
        QVERIFY(expected.exists(QLatin1String(a.first)));
        for (const QString& name : expected.entryList(QDir::Files))
            QVERIFY2(bytesOf(expected.filePath(name)) == bytesOf(out + QLatin1Char('/') + QLatin1String(a.folder)
                                                                  + QLatin1Char('/') + name),
                     qPrintable(name));
    }

    QVERIFY(dialog.OpenOutputButton->isEnabled());
    QTest::mouseClick(dialog.OpenOutputButton, Qt::LeftButton);
    QCOMPARE(host.openedFolders, QStringList{out});
}

void TestGameDialog::stopEndsTheRunBetweenPictures()
{
    const ReleaseOnExit releaseOnExit;
    TGameDialog dialog;
    dialog.Worker->setConvertFunction(&heldConvert);
    dialog.setGameFolder(game);
    dialog.setOutputFolder(out);
    heldCalls = 0;
    holdNext = true;
    QSignalSpy finished(&dialog, &TGameDialog::runFinished);
    QTest::mouseClick(dialog.ConvertButton, Qt::LeftButton);
    QVERIFY(entered.tryAcquire(1, 10000));
    // The first picture is named while it runs.
    QTRY_COMPARE(dialog.ProgressLabel->text(), QStringLiteral("1 / 4 枚目: ChipSet/World.png"));
    QTest::mouseClick(dialog.StopButton, Qt::LeftButton);
    QVERIFY(!dialog.StopButton->isEnabled());
    released.release();
    QVERIFY(finished.wait(10000));
    QCOMPARE(heldCalls.load(), 1);
    QCOMPARE(dialog.SummaryLabel->text(),
             QStringLiteral("変換 1 件、対象外 2 件、失敗 0 件。停止したため 3 件は変換していません"));
    QCOMPARE(dialog.ProgressLabel->text(), QStringLiteral("停止しました"));
    QCOMPARE(dialog.GameProgressBar->value(), 1);
    QVERIFY(dialog.ConvertButton->isEnabled());
    QVERIFY(!dialog.StopButton->isEnabled());
    QCOMPARE(cell(dialog.PictureList, 2, TGameDialog::ResultColumn), QString());

    // Closed while a picture runs, the dialog stops and waits for it: the
    // picture is let go only once the close is under way.
    heldCalls = 0;
    holdNext = true;
    QTest::mouseClick(dialog.ConvertButton, Qt::LeftButton);
    QVERIFY(entered.tryAcquire(1, 10000));
    std::thread letGo([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        released.release();
    });
    dialog.reject();
    letGo.join();
    QVERIFY(!dialog.Worker->isRunning());
}

void TestGameDialog::menuAndDropOpenIt()
{
    FormEnvironment environment;
    std::unique_ptr<TPixwrightForm> form = environment.makeForm();
    QStringList listed;
    host.dialogScript = [&](QDialog& shown) {
        auto* gameDialog = qobject_cast<TGameDialog*>(&shown);
        listed << (gameDialog ? gameDialog->GameFolderEdit->text() : QStringLiteral("other"));
        return int(QDialog::Rejected);
    };
    auto* action = childNamed<QAction>(form.get(), "GameFolderAction");
    QVERIFY(action);
    QCOMPARE(action->text(), QStringLiteral("ゲームフォルダを変換…"));
    action->trigger();
    QCOMPARE(listed, QStringList{QString()});

    // A game's folder dropped on the picture area opens it listed ...
    QVERIFY(dropOn(form->PreviewGroupBox, game));
    QCOMPARE(listed.size(), 2);
    QCOMPARE(QDir::fromNativeSeparators(listed.back()), game);
    // ... elsewhere it is the output folder, as every folder is; so is a
    // folder without asset folders dropped on the picture area.
    QVERIFY(dropOn(form->SaveDirEdit, game));
    QCOMPARE(listed.size(), 2);
    QCOMPARE(QDir::fromNativeSeparators(form->SaveDirEdit->text()), game);
    QVERIFY(dropOn(form->PreviewGroupBox, game + QStringLiteral("/Music")));
    QCOMPARE(listed.size(), 2);
    host.dialogScript = nullptr;
}

void TestGameDialog::clashingPicturesAreNotConverted()
{
    const QString clash = dir.filePath(QStringLiteral("clash"));
    QDir().mkpath(clash + QStringLiteral("/Picture"));
    writePicture(clash + QStringLiteral("/Picture/sky.bmp"), patternPicture(20, 10), "BMP");
    writePicture(clash + QStringLiteral("/Picture/sky.png"), patternPicture(20, 10), "PNG");
    TGameDialog dialog;
    dialog.Worker->setConvertFunction(&heldConvert);
    dialog.setGameFolder(clash);
    dialog.setOutputFolder(out);
    heldCalls = 0;
    QSignalSpy finished(&dialog, &TGameDialog::runFinished);
    QTest::mouseClick(dialog.ConvertButton, Qt::LeftButton);
    QVERIFY(finished.wait(10000));
    entered.acquire(entered.available());
    QCOMPARE(heldCalls.load(), 1);
    QCOMPARE(cell(dialog.PictureList, 1, TGameDialog::ResultColumn),
             QStringLiteral("失敗: Picture/sky.bmp と同じファイル名になるため変換しません"));
    QCOMPARE(dialog.SummaryLabel->text(),
             QStringLiteral("変換 1 件、対象外 0 件、失敗 1 件\n"
                            "Picture/sky.png: Picture/sky.bmp と同じファイル名になるため変換しません"));
}

void TestGameDialog::englishLeavesNoJapaneseText()
{
    QVERIFY(translation::install(translation::Language::English));
    TGameDialog dialog;
    dialog.Worker->setConvertFunction(&heldConvert);
    dialog.setGameFolder(game);
    dialog.setOutputFolder(out);
    QSignalSpy finished(&dialog, &TGameDialog::runFinished);
    QTest::mouseClick(dialog.ConvertButton, Qt::LeftButton);
    QVERIFY(finished.wait(10000));
    entered.acquire(entered.available());

    QStringList texts{dialog.windowTitle()};
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        texts << widget->toolTip();
        if (auto* label = qobject_cast<QLabel*>(widget))
            texts << label->text();
        if (auto* button = qobject_cast<QPushButton*>(widget))
            texts << button->text();
        if (auto* group = qobject_cast<QGroupBox*>(widget))
            texts << group->title();
        if (auto* list = qobject_cast<QComboBox*>(widget))
            for (int i = 0; i < list->count(); ++i)
                texts << list->itemText(i);
    }
    for (int c = 0; c < dialog.KindTable->columnCount(); ++c)
        texts << dialog.KindTable->horizontalHeaderItem(c)->text();
    for (int c = 0; c < dialog.PictureList->columnCount(); ++c) {
        texts << dialog.PictureList->headerItem()->text(c);
        for (int row = 0; row < dialog.PictureList->topLevelItemCount(); ++row)
            texts << cell(dialog.PictureList, row, c);
    }
    translation::install(translation::Language::Japanese);
    QStringList japanese;
    for (const QString& text : texts)
        if (hasJapanese(text))
            japanese << text;
    QVERIFY2(japanese.isEmpty(), qPrintable(japanese.join('\n')));
    QVERIFY(texts.contains(QStringLiteral("4 converted, 2 skipped, 0 failed")));
    QVERIFY(texts.contains(QStringLiteral("Custom 48×48, transparent colour auto")));
    QVERIFY(texts.contains(QStringLiteral("Skipped (not an asset folder)")));
}

PIXWRIGHT_GUI_TEST(TestGameDialog);

#include "tst_GameDialog.moc"
