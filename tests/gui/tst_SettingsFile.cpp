// The window's settings file: what it writes, and what it restores from
// files of each version, truncated or damaged files included.
#include "GuiTestSupport.h"
#include "TestMain.h"

#include "gui/PreviewView.h"
#include "gui/SelectColorKeyDialog.h"

#include <QGroupBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

QByteArray le32(quint32 value)
{
    QByteArray bytes;
    for (int i = 0; i < 4; ++i)
        bytes.append(char((value >> (8 * i)) & 0xFF));
    return bytes;
}

QByteArray editRecord(const QString& text, bool enabled = true)
{
    const QByteArray utf8 = text.toUtf8();
    return QByteArray("E") + char(enabled ? 1 : 0) + le32(quint32(utf8.size())) + utf8;
}

QByteArray listRecord(int index)
{
    return QByteArray("L\x01", 2) + le32(quint32(index));
}

QByteArray buttonRecord(bool on)
{
    return QByteArray("B") + char(on ? 3 : 1);
}

// An extension record and block as the window writes them.
QByteArray tagged(int tag, const QByteArray& payload)
{
    return QByteArray(1, char(tag)) + le32(quint32(payload.size())) + payload;
}

QByteArray extensionBlock(const QByteArray& records)
{
    return QByteArray("X") + le32(quint32(records.size())) + records;
}

// A settings file written by hand, item by item, remembering where each
// item ends (itemEnd[1] is the version number).
struct SettingsBuilder {
    QString openFile, saveDir = QStringLiteral("/out/出力"), prefix = QStringLiteral("pre");
    int format = 1, interpolation = 0, sharpen = 4;
    bool colorKeyPos = false, erase = true, gridEnabled = true;
    QString gridX = QStringLiteral("-3"), gridY = QStringLiteral("7");
    QStringList suffixes{"n1", "c1", "a1"}, suffixesAgain{"N2", "C2", "A2"};
    quint32 colour = 0x0005B00A;
    QByteArray outputs = QByteArray("\x01\x00\x01", 3);
    int radioOn = 2; // Tileset, Charset, NoGrid, Custom

    QByteArray bytes;
    std::vector<int> itemEnd{0};

    void add(const QByteArray& item)
    {
        bytes += item;
        itemEnd.push_back(bytes.size());
    }

    QByteArray build(int version)
    {
        add(le32(quint32(version)));
        add(editRecord(openFile));
        add(editRecord(saveDir));
        add(listRecord(format));
        for (const QString& suffix : suffixes)
            add(editRecord(suffix));
        add(editRecord(prefix));
        add(listRecord(interpolation));
        add(buttonRecord(colorKeyPos));
        add(listRecord(sharpen));
        add(editRecord(gridX, gridEnabled));
        add(editRecord(gridY, gridEnabled));
        add(buttonRecord(erase));
        if (version >= 3) {
            add(le32(colour));
            for (char on : outputs)
                add(QByteArray(1, on));
            for (const QString& suffix : suffixesAgain)
                add(editRecord(suffix));
        }
        if (version >= 4)
            for (int radio = 0; radio < 4; ++radio)
                add(buttonRecord(radio == radioOn));
        return bytes;
    }
};

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

private slots:
    void init() { EngineRecorder::reset(); }
    void firstStartWritesDefaultsAsVersion4();
    void roundTripRestoresEveryControl_data();
    void roundTripRestoresEveryControl();
    void version2RestoresThirteenRecords();
    void version3RestoresAllButRadioButtons();
    void version1ReadsNothingButRunsFollowUps();
    void rememberedBlueReachesEngine();
    void restoredTopLeftModeKeepsStartColourShown();
    void missingInputShowsHelpWithoutMessage();
    void truncatedOrDamagedKeepsDefaultsAfterDamage_data();
    void truncatedOrDamagedKeepsDefaultsAfterDamage();
    void unwritableProgramFolderUsesConfigFolder();
    void besideProgramIsReadFirst();
    void fileBesideReadOnlyProgramIsReadAfterUsers();
    void paletteKeyRoundTrips();
    void keepPaletteRoundTripsAndReachesTheEngine();
    void fileWithoutExtensionLoadsEveryItem_data();
    void fileWithoutExtensionLoadsEveryItem();
    void unknownTagIsSkipped();
    void damagedExtensionLosesOnlyItself_data();
    void damagedExtensionLosesOnlyItself();
    void interpolationIndexBeyondListKeepsDefault();
    void previewTogglesAndOverwriteQuestionRoundTrip();
};

void TestSettingsFile::firstStartWritesDefaultsAsVersion4()
{
    ScriptedModalHost host;
    FormEnvironment env;
    env.makeForm().reset();
    QFile file(env.settingsFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray expected = QByteArray::fromHex(
        "04000000"
        // PNG, so the natural suffix field is enabled.
        "450100000000" "450100000000" "4c0101000000" "450100000000"
        "45010500000063" "6f6c6f72" "45010500000061" "6c706861" "450100000000"
        "4c0101000000" "4201" "4c0102000000"
        "4501020000003136" "4501020000003136" "4201"
        "00757500" "01" "01" "01"
        "450100000000" "45010500000063" "6f6c6f72" "45010500000061" "6c706861"
        "4201" "4201" "4201" "4203"
        // The extension block: the palette-entry key's box on, the preview's
        // 2x and key boxes off, the overwrite question on, the PNG palette off.
        "58" "23000000" "01" "02000000" "4203" "02" "02000000" "4201" "03" "02000000" "4201"
        "04" "02000000" "4203" "05" "02000000" "4201");
    QCOMPARE(file.readAll().toHex(' '), expected.toHex(' '));
    // The temporary file was renamed, not left behind.
    QCOMPARE(QDir(env.programFolder()).entryList(QDir::Files),
             QStringList{QStringLiteral("Pixwright_GUI.dat")});
}

void TestSettingsFile::roundTripRestoresEveryControl_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("gridX");
    QTest::addColumn<QString>("gridY");
    QTest::addColumn<bool>("erase");
    QTest::newRow("chipset") << "TilesetRadioButton" << "16" << "16" << true;
    QTest::newRow("charset") << "CharsetRadioButton" << "24" << "32" << false;
    QTest::newRow("no grid") << "NoGridRadioButton" << "0" << "0" << false;
    QTest::newRow("custom") << "CustomRadioButton" << "-3" << "+7" << true;
}

void TestSettingsFile::roundTripRestoresEveryControl()
{
    QFETCH(QString, mode);
    QFETCH(QString, gridX);
    QFETCH(QString, gridY);
    QFETCH(bool, erase);
    ScriptedModalHost host;
    FormEnvironment env;
    const QString picture = writePicture(env.path("p.png"), patternPicture(100, 50), "PNG");
    {
        auto form = env.makeForm();
        // Off the first start's palette key, so a fixed colour is chosen.
        form->ColorKeyPaletteCheckBox->click();
        form->OpenFileEdit->setText(picture);
        form->SaveDirEdit->setText(QStringLiteral("/tmp/出力先"));
        form->SaveFilePreffixEdit->setText(QStringLiteral("名前"));
        form->SaveImageTypeComboBox->setCurrentIndex(2);
        form->InterpolationTypeComboBox->setCurrentIndex(2);
        form->SharpeLevelComboBox->setCurrentIndex(5);
        form->ColorSuffixEdit->setText(QStringLiteral("カラー"));
        form->SaveAlphaCheckBox->click();
        form->GridXEdit->setText(QStringLiteral("-3"));
        form->GridYEdit->setText(QStringLiteral("+7"));
        form->EraseAlphaGridCheckBox->setChecked(true);
        host.colorAnswer = QColor(0x12, 0x34, 0x56);
        form->OpenFileEdit->setText(env.path("missing.png"));
        form->SelectColorKeyButton->click();
        form->OpenFileEdit->setText(picture);
        childNamed<QRadioButton>(form.get(), qPrintable(mode))->click();
        form->ColorKeyPosCheckBox->click();
    }
    EngineRecorder::reset();
    auto form = env.makeForm();
    QCOMPARE(form->OpenFileEdit->text(), picture);
    QVERIFY(form->HelpMemo->isHidden());
    QCOMPARE(form->SaveDirEdit->text(), QStringLiteral("/tmp/出力先"));
    QCOMPARE(form->SaveFilePreffixEdit->text(), QStringLiteral("名前"));
    QCOMPARE(form->SaveImageTypeComboBox->currentIndex(), 2);
    QCOMPARE(form->InterpolationTypeComboBox->currentIndex(), 2);
    QCOMPARE(form->SharpeLevelComboBox->currentIndex(), 5);
    QCOMPARE(form->ColorSuffixEdit->text(), QStringLiteral("カラー"));
    QVERIFY(!form->SaveAlphaCheckBox->isChecked() && !form->AlphaSuffixEdit->isEnabled());
    QVERIFY(!form->SaveNaturalCheckBox->isChecked() && !form->SaveNaturalCheckBox->isEnabled());
    QVERIFY(childNamed<QRadioButton>(form.get(), qPrintable(mode))->isChecked());
    QCOMPARE(form->GridXEdit->text(), gridX);
    QCOMPARE(form->GridYEdit->text(), gridY);
    QCOMPARE(form->EraseAlphaGridCheckBox->isChecked(), erase);
    QCOMPARE(form->GridXEdit->isEnabled(), mode == "CustomRadioButton");
    QCOMPARE(form->RememberedColor(), TColorValue(0x563412));
    QVERIFY(form->ColorKeyPosCheckBox->isChecked() && !form->SelectColorKeyButton->isEnabled());
    QCOMPARE(EngineRecorder::log.last(), QStringLiteral("setColorKeyPos(0,0)"));
    QVERIFY(host.messages.empty());
}

void TestSettingsFile::version2RestoresThirteenRecords()
{
    ScriptedModalHost host;
    FormEnvironment env;
    SettingsBuilder file;
    file.openFile = writePicture(env.path("c.bmp"), patternPicture(288, 256), "BMP");
    file.format = 2;
    file.gridX = "24", file.gridY = "32", file.gridEnabled = false, file.erase = false;
    writeBytes(env.settingsFile(), file.build(2));
    auto form = env.makeForm();
    QVERIFY(form->CharsetRadioButton->isChecked());
    QVERIFY(!form->GridXEdit->isEnabled() && !form->GridYEdit->isEnabled());
    QCOMPARE(form->SaveDirEdit->text(), QStringLiteral("/out/出力"));
    QCOMPARE(form->SaveImageTypeComboBox->currentIndex(), 2);
    QCOMPARE(form->NaturalSuffixEdit->text(), QStringLiteral("n1"));
    QCOMPARE(form->ColorSuffixEdit->text(), QStringLiteral("c1"));
    QCOMPARE(form->AlphaSuffixEdit->text(), QStringLiteral("a1"));
    QCOMPARE(form->SaveFilePreffixEdit->text(), QStringLiteral("pre"));
    QCOMPARE(form->InterpolationTypeComboBox->currentIndex(), 0);
    QCOMPARE(form->SharpeLevelComboBox->currentIndex(), 4);
    QCOMPARE(form->GridXEdit->text() + form->GridYEdit->text(), QStringLiteral("2432"));
    QCOMPARE(form->RememberedColor(), TPixwrightForm::kInitialColor);
    QVERIFY(form->SaveColorCheckBox->isChecked() && form->SaveAlphaCheckBox->isChecked());
    QVERIFY(!form->SaveNaturalCheckBox->isChecked() && !form->NaturalSuffixEdit->isEnabled());
    QCOMPARE(EngineRecorder::log, QStringList({"setErrorBoxHandler(set)", "setColorKey(0,117,117)",
                                               "setColorKey(0,117,117)"}));
}

void TestSettingsFile::version3RestoresAllButRadioButtons()
{
    ScriptedModalHost host;
    FormEnvironment env;
    SettingsBuilder file;
    file.openFile = writePicture(env.path("t.png"), patternPicture(480, 256), "PNG");
    file.gridX = "16", file.gridY = "16";
    // Saved while the fields were disabled, but this version keeps no grid
    // mode to go with that.
    file.gridEnabled = false;
    writeBytes(env.settingsFile(), file.build(3));
    auto form = env.makeForm();
    QVERIFY(form->TilesetRadioButton->isChecked());
    QVERIFY(!form->GridXEdit->isEnabled());
    QCOMPARE(form->NaturalSuffixEdit->text(), QStringLiteral("N2"));
    QCOMPARE(form->ColorSuffixEdit->text(), QStringLiteral("C2"));
    QCOMPARE(form->AlphaSuffixEdit->text(), QStringLiteral("A2"));
    QVERIFY(form->SaveNaturalCheckBox->isChecked() && form->NaturalSuffixEdit->isEnabled());
    QVERIFY(!form->SaveColorCheckBox->isChecked() && !form->ColorSuffixEdit->isEnabled());
    QVERIFY(form->SaveAlphaCheckBox->isChecked() && form->AlphaSuffixEdit->isEnabled());
    QCOMPARE(form->ColorKeyLabel->text(), QStringLiteral("#0AB005"));
    QCOMPARE(EngineRecorder::log.last(), QStringLiteral("setColorKey(10,176,5)"));

    // The same file over a picture of no preset size: the custom grid is on,
    // so its fields must be usable whatever the file said.
    EngineRecorder::reset();
    form.reset();
    file = SettingsBuilder();
    file.gridEnabled = false;
    writeBytes(env.settingsFile(), file.build(3));
    form = env.makeForm();
    QVERIFY(form->CustomRadioButton->isChecked());
    QVERIFY(form->GridXEdit->isEnabled() && form->GridYEdit->isEnabled());
    QVERIFY(form->EraseAlphaGridCheckBox->isEnabled());
    QCOMPARE(form->GridXEdit->text(), QStringLiteral("-3"));
}

void TestSettingsFile::version1ReadsNothingButRunsFollowUps()
{
    ScriptedModalHost host;
    FormEnvironment env;
    SettingsBuilder file;
    file.colorKeyPos = true;
    QByteArray bytes = file.build(4);
    bytes[0] = 1;
    writeBytes(env.settingsFile(), bytes);
    auto form = env.makeForm();
    QCOMPARE(form->SaveDirEdit->text(), QString());
    QVERIFY(!form->ColorKeyPosCheckBox->isChecked());
    // The second colour call is the follow-up that a missing file skips.
    QCOMPARE(EngineRecorder::log, QStringList({"setErrorBoxHandler(set)", "setColorKey(0,117,117)",
                                               "setColorKey(0,117,117)"}));
}

void TestSettingsFile::rememberedBlueReachesEngine()
{
    ScriptedModalHost host;
    FormEnvironment env;
    SettingsBuilder file;
    file.colour = 0x00FF0000;
    writeBytes(env.settingsFile(), file.build(4));
    auto form = env.makeForm();
    QCOMPARE(form->ColorKeyLabel->text(), QStringLiteral("#0000FF"));
    QCOMPARE(EngineRecorder::log.last(), QStringLiteral("setColorKey(0,0,255)"));
}

void TestSettingsFile::restoredTopLeftModeKeepsStartColourShown()
{
    ScriptedModalHost host;
    FormEnvironment env;
    SettingsBuilder file;
    file.colour = 0x00FF0000;
    file.colorKeyPos = true;
    writeBytes(env.settingsFile(), file.build(4));
    auto form = env.makeForm();
    QCOMPARE(EngineRecorder::log.last(), QStringLiteral("setColorKeyPos(0,0)"));
    QVERIFY(!EngineRecorder::log.contains(QStringLiteral("setColorKey(0,0,255)")));
    QCOMPARE(form->ColorKeyLabel->text(), QStringLiteral("#007575"));
    QVERIFY(!form->ColorKeyLabel->isEnabled() && !form->SelectColorKeyButton->isEnabled());
    form->ColorKeyPosCheckBox->click();
    QCOMPARE(form->ColorKeyLabel->text(), QStringLiteral("#0000FF"));
    QCOMPARE(EngineRecorder::log.last(), QStringLiteral("setColorKey(0,0,255)"));
}

void TestSettingsFile::missingInputShowsHelpWithoutMessage()
{
    ScriptedModalHost host;
    FormEnvironment env;
    SettingsBuilder file;
    file.openFile = env.path("gone.png");
    writeBytes(env.settingsFile(), file.build(4));
    auto form = env.makeForm();
    QCOMPARE(form->OpenFileEdit->text(), env.path("gone.png"));
    QVERIFY(!form->HelpMemo->isHidden() && form->OpenFileImage->isHidden());
    QVERIFY(host.messages.empty());
}

void TestSettingsFile::truncatedOrDamagedKeepsDefaultsAfterDamage_data()
{
    // Three sentinels: SaveDirEdit (item 3), the remembered colour (item 15)
    // and NoGridRadioButton (item 24).
    QTest::addColumn<int>("cut");
    QTest::addColumn<int>("damageAt");
    QTest::addColumn<bool>("dirRestored");
    QTest::addColumn<bool>("colourRestored");
    QTest::addColumn<bool>("modeRestored");
    SettingsBuilder file;
    file.build(4);
    const std::vector<int>& end = file.itemEnd;
    QTest::newRow("empty") << 0 << -1 << false << false << false;
    QTest::newRow("half a version") << 2 << -1 << false << false << false;
    QTest::newRow("version only") << end[1] << -1 << false << false << false;
    QTest::newRow("inside the folder") << end[3] - 1 << -1 << false << false << false;
    QTest::newRow("after the folder") << end[3] << -1 << true << false << false;
    QTest::newRow("inside the colour") << end[15] - 1 << -1 << true << false << false;
    QTest::newRow("after the colour") << end[15] << -1 << true << true << false;
    QTest::newRow("inside the radios") << end[24] - 1 << -1 << true << true << false;
    QTest::newRow("whole file") << end[25] << -1 << true << true << true;
    QTest::newRow("folder length 2^31") << end[25] << end[2] + 2 << false << false << false;
    QTest::newRow("list kind byte wrong") << end[25] << end[3] << true << false << false;
}

void TestSettingsFile::truncatedOrDamagedKeepsDefaultsAfterDamage()
{
    QFETCH(int, cut);
    QFETCH(int, damageAt);
    QFETCH(bool, dirRestored);
    QFETCH(bool, colourRestored);
    QFETCH(bool, modeRestored);
    ScriptedModalHost host;
    FormEnvironment env;
    SettingsBuilder file;
    QByteArray bytes = file.build(4).left(cut);
    if (damageAt >= 0)
        bytes.replace(damageAt, 4, QByteArray("\x00\x00\x00\x80", 4));
    writeBytes(env.settingsFile(), bytes);
    auto form = env.makeForm();
    QCOMPARE(form->SaveDirEdit->text(), dirRestored ? file.saveDir : QString());
    QCOMPARE(form->RememberedColor(), colourRestored ? file.colour : TPixwrightForm::kInitialColor);
    QCOMPARE(form->NoGridRadioButton->isChecked(), modeRestored);
    QCOMPARE(form->CustomRadioButton->isChecked(), !modeRestored);
    QCOMPARE(form->GridXEdit->isEnabled(), !modeRestored);
    QVERIFY(host.messages.empty());
}

void TestSettingsFile::unwritableProgramFolderUsesConfigFolder()
{
    ScriptedModalHost host;
    FormEnvironment env;
    TFormContext context = env.context();
    // A program "folder" that is a plain file takes no settings file.
    context.programFolder = writeBytes(env.path("program"), "x");
    auto form = std::make_unique<TPixwrightForm>(context);
    form->SaveDirEdit->setText(QStringLiteral("/kept"));
    form.reset();
    QVERIFY(QFile::exists(env.configFile()));
    form = std::make_unique<TPixwrightForm>(context);
    QCOMPARE(form->SaveDirEdit->text(), QStringLiteral("/kept"));
}

void TestSettingsFile::besideProgramIsReadFirst()
{
    ScriptedModalHost host;
    FormEnvironment env;
    SettingsBuilder beside, config;
    beside.saveDir = QStringLiteral("/beside");
    config.saveDir = QStringLiteral("/config");
    writeBytes(env.configFile(), config.build(4));
    writeBytes(env.settingsFile(), beside.build(4));
    auto form = env.makeForm();
    QCOMPARE(form->SaveDirEdit->text(), QStringLiteral("/beside"));
    form.reset();
    QFile::remove(env.settingsFile());
    form = env.makeForm();
    QCOMPARE(form->SaveDirEdit->text(), QStringLiteral("/config"));
}

void TestSettingsFile::fileBesideReadOnlyProgramIsReadAfterUsers()
{
    ScriptedModalHost host;
    FormEnvironment env;
    TFormContext context = env.context();
    context.programFolder = env.path("program");
    QVERIFY(QDir().mkpath(context.programFolder));
    SettingsBuilder beside;
    beside.saveDir = QStringLiteral("/beside");
    const QByteArray besideBytes = beside.build(4);
    const QString besidePath = writeBytes(QDir(context.programFolder).filePath("Pixwright_GUI.dat"), besideBytes);
    // An installed program's folder: readable, not writable.
    QFile::setPermissions(context.programFolder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    struct Restore {
        QString folder;
        ~Restore()
        {
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }
    } restore{context.programFolder};
    if (QFileInfo(context.programFolder).isWritable())
        QSKIP("this user writes into folders whatever their permissions");

    // Before the user has a file of their own, the one beside the program serves.
    auto form = std::make_unique<TPixwrightForm>(context);
    QCOMPARE(form->SaveDirEdit->text(), QStringLiteral("/beside"));
    form->SaveDirEdit->setText(QStringLiteral("/mine"));
    form.reset();
    QVERIFY(QFile::exists(env.configFile()));
    QFile kept(besidePath);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), besideBytes);
    // Then what the user saved comes back, not the file beside the program.
    form = std::make_unique<TPixwrightForm>(context);
    QCOMPARE(form->SaveDirEdit->text(), QStringLiteral("/mine"));
}

void TestSettingsFile::paletteKeyRoundTrips()
{
    ScriptedModalHost host;
    FormEnvironment env;
    {
        auto form = env.makeForm();
        form->ColorKeyPosCheckBox->click();
        form->ColorKeyPaletteCheckBox->click();
    }
    QFile file(env.settingsFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains(QByteArray("X") + le32(35) + tagged(1, buttonRecord(true))));
    EngineRecorder::reset();
    auto form = env.makeForm();
    QVERIFY(form->ColorKeyPaletteCheckBox->isChecked() && !form->ColorKeyPosCheckBox->isChecked());
    QVERIFY(!form->SelectColorKeyButton->isEnabled() && !form->ColorKeyLabel->isEnabled());
    QCOMPARE(EngineRecorder::log.last(), QStringLiteral("setColorKeyPaletteIndex(0)"));
}

void TestSettingsFile::keepPaletteRoundTripsAndReachesTheEngine()
{
    ScriptedModalHost host;
    FormEnvironment env;
    {
        auto form = env.makeForm();
        QVERIFY(!form->KeepPaletteCheckBox->isChecked());
        QCOMPARE(form->KeepPaletteCheckBox->parentWidget(), form->ImageSaveGroupBox);
        form->KeepPaletteCheckBox->click();
    }
    QFile file(env.settingsFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().endsWith(extensionBlock(tagged(1, buttonRecord(true)) + tagged(2, buttonRecord(false)) +
                                                   tagged(3, buttonRecord(false)) + tagged(4, buttonRecord(true)) +
                                                   tagged(5, buttonRecord(true)))));
    EngineRecorder::reset();
    auto form = env.makeForm();
    QVERIFY(form->KeepPaletteCheckBox->isChecked());
    // The engine hears of it when a conversion starts, not before.
    QCOMPARE(EngineRecorder::pngPalette, -1);
    const QString picture = writePicture(env.path("p.png"), patternPicture(20, 10), "PNG");
    enterInputFile(*form, picture);
    form->SaveDirEdit->setText(env.path("out"));
    QVERIFY(convertAndWait(*form));
    QCOMPARE(int(EngineRecorder::converts.size()), 1);
    QCOMPARE(EngineRecorder::pngPalette, 1);
    form->KeepPaletteCheckBox->click();
    QVERIFY(convertAndWait(*form));
    QCOMPARE(int(EngineRecorder::converts.size()), 2);
    QCOMPARE(EngineRecorder::pngPalette, 0);
}

void TestSettingsFile::fileWithoutExtensionLoadsEveryItem_data()
{
    QTest::addColumn<bool>("topLeft");
    QTest::newRow("fixed colour") << false;
    QTest::newRow("top-left pixel") << true;
}

void TestSettingsFile::fileWithoutExtensionLoadsEveryItem()
{
    QFETCH(bool, topLeft);
    ScriptedModalHost host;
    FormEnvironment env;
    SettingsBuilder file;
    file.colorKeyPos = topLeft;
    file.interpolation = 2;
    file.radioOn = 3;
    writeBytes(env.settingsFile(), file.build(4));
    auto form = env.makeForm();
    const QStringList restored{
        form->SaveDirEdit->text(), QString::number(form->SaveImageTypeComboBox->currentIndex()),
        form->NaturalSuffixEdit->text(), form->ColorSuffixEdit->text(), form->AlphaSuffixEdit->text(),
        form->SaveFilePreffixEdit->text(), QString::number(form->InterpolationTypeComboBox->currentIndex()),
        QString::number(form->SharpeLevelComboBox->currentIndex()), form->GridXEdit->text(),
        form->GridYEdit->text(), QString::number(form->EraseAlphaGridCheckBox->isChecked()),
        QString::number(form->RememberedColor(), 16),
        QStringLiteral("%1%2%3").arg(form->SaveNaturalCheckBox->isChecked())
            .arg(form->SaveColorCheckBox->isChecked()).arg(form->SaveAlphaCheckBox->isChecked()),
        QString::number(form->CustomRadioButton->isChecked())};
    QCOMPARE(restored, QStringList({"/out/出力", "1", "N2", "C2", "A2", "pre", "2", "4", "-3", "7", "1",
                                    "5b00a", "101", "1"}));
    QVERIFY(!form->ColorKeyPaletteCheckBox->isChecked());
    QVERIFY(!form->KeepPaletteCheckBox->isChecked());
    QCOMPARE(form->ColorKeyPosCheckBox->isChecked(), topLeft);
    QCOMPARE(form->ColorKeyChoice(), topLeft ? TColorKeyChoice::TopLeft : TColorKeyChoice::Fixed);
    QCOMPARE(EngineRecorder::log.last(),
             topLeft ? QStringLiteral("setColorKeyPos(0,0)") : QStringLiteral("setColorKey(10,176,5)"));
    QVERIFY(!EngineRecorder::log.join(' ').contains(QStringLiteral("Palette")));
    // Items the file does not hold keep their defaults.
    QVERIFY(!form->Preview->PreviewZoomCheckBox->isChecked() && !form->Preview->PreviewKeyCheckBox->isChecked());
    QVERIFY(form->OverwriteAskCheckBox->isChecked());
}

void TestSettingsFile::unknownTagIsSkipped()
{
    ScriptedModalHost host;
    FormEnvironment env;
    SettingsBuilder file;
    QByteArray bytes = file.build(4);
    bytes += extensionBlock(tagged(0x7F, QByteArray("from a newer window")) + tagged(1, buttonRecord(true)));
    writeBytes(env.settingsFile(), bytes);
    auto form = env.makeForm();
    QVERIFY(form->ColorKeyPaletteCheckBox->isChecked());
    QCOMPARE(form->SaveDirEdit->text(), file.saveDir);
    QVERIFY(form->NoGridRadioButton->isChecked());
    QCOMPARE(form->RememberedColor(), file.colour);
    QVERIFY(host.messages.empty());
}

void TestSettingsFile::damagedExtensionLosesOnlyItself_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<bool>("paletteOn");
    const QByteArray record = tagged(1, buttonRecord(true));
    QTest::newRow("cut inside") << extensionBlock(record).left(8) << false;
    QTest::newRow("length 2^31") << QByteArray("X") + le32(0x80000000u) + record << false;
    QTest::newRow("wrong kind byte") << QByteArray("Y") + extensionBlock(record).mid(1) << false;
    QTest::newRow("record past the block") << extensionBlock(record + tagged(9, "abc").left(6)) << true;
    QTest::newRow("record of another kind") << extensionBlock(tagged(1, listRecord(1))) << false;
    QTest::newRow("record cut short") << extensionBlock(tagged(1, "B")) << false;
}

void TestSettingsFile::damagedExtensionLosesOnlyItself()
{
    QFETCH(QByteArray, block);
    QFETCH(bool, paletteOn);
    ScriptedModalHost host;
    FormEnvironment env;
    SettingsBuilder file;
    writeBytes(env.settingsFile(), file.build(4) + block);
    auto form = env.makeForm();
    QCOMPARE(form->ColorKeyPaletteCheckBox->isChecked(), paletteOn);
    QCOMPARE(form->SaveDirEdit->text(), file.saveDir);
    QCOMPARE(form->RememberedColor(), file.colour);
    QVERIFY(form->NoGridRadioButton->isChecked());
    QVERIFY(host.messages.empty());
}

void TestSettingsFile::interpolationIndexBeyondListKeepsDefault()
{
    ScriptedModalHost host;
    FormEnvironment env;
    for (const auto& [stored, restored] : std::vector<std::pair<int, int>>{{4, 4}, {3, 3}, {5, 1}, {-1, 1}}) {
        SettingsBuilder file;
        file.interpolation = stored;
        writeBytes(env.settingsFile(), file.build(4));
        auto form = env.makeForm();
        QCOMPARE(form->InterpolationTypeComboBox->currentIndex(), restored);
        form.reset();
        // What the closed form wrote back is read by the next round.
        QFile::remove(env.settingsFile());
    }
    auto form = env.makeForm();
    QCOMPARE(form->InterpolationTypeComboBox->itemText(3), QStringLiteral("Scale2x"));
    QCOMPARE(form->InterpolationTypeComboBox->itemText(4), QStringLiteral("xBR"));
}

void TestSettingsFile::previewTogglesAndOverwriteQuestionRoundTrip()
{
    ScriptedModalHost host;
    FormEnvironment env;
    {
        auto form = env.makeForm();
        form->Preview->PreviewZoomCheckBox->click();
        form->Preview->PreviewKeyCheckBox->click();
        form->OverwriteAskCheckBox->click();
    }
    QFile file(env.settingsFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().endsWith(extensionBlock(tagged(1, buttonRecord(true)) + tagged(2, buttonRecord(true)) +
                                                   tagged(3, buttonRecord(true)) + tagged(4, buttonRecord(false)) +
                                                   tagged(5, buttonRecord(false)))));
    auto form = env.makeForm();
    QVERIFY(form->Preview->PreviewZoomCheckBox->isChecked());
    QVERIFY(form->Preview->PreviewKeyCheckBox->isChecked());
    QVERIFY(!form->OverwriteAskCheckBox->isChecked());
    QCOMPARE(form->Preview->zoom(), 2);
}

PIXWRIGHT_GUI_TEST(TestSettingsFile);
#include "tst_SettingsFile.moc"
