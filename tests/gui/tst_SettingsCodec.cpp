// The byte encoding of the settings file and where the file lives.
#include "TestMain.h"

#include "gui/SettingsFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <utility>

class TestSettingsCodec : public QObject {
    Q_OBJECT

private slots:
    void writesRecordsByteForByte();
    void readsRecordsBackIntoControls();
    void damageStopsReadingAndLeavesControls_data();
    void damageStopsReadingAndLeavesControls();
    void configFolderFollowsXdg_data();
    void configFolderFollowsXdg();
    void readingStopsAtOneMebibyte();
};

void TestSettingsCodec::writesRecordsByteForByte()
{
    QLineEdit edit(QStringLiteral("a色"));
    QLineEdit disabledEdit;
    disabledEdit.setEnabled(false);
    QComboBox list;
    list.addItems({"x", "y", "z"});
    list.setCurrentIndex(2);
    QCheckBox box;
    box.setChecked(true);
    box.setEnabled(false);

    TSettingsWriter out;
    out.putInt32(-2);
    out.putEdit(edit);
    out.putEdit(disabledEdit);
    out.putList(list);
    out.putButton(box);
    out.putByte(1);
    out.putUInt32(0x00FF0000u);
    QCOMPARE(out.bytes().toHex(' '),
             QByteArray("fe ff ff ff "
                        "45 01 04 00 00 00 61 e8 89 b2 "
                        "45 00 00 00 00 00 "
                        "4c 01 02 00 00 00 "
                        "42 02 "
                        "01 "
                        "00 00 ff 00"));
}

void TestSettingsCodec::readsRecordsBackIntoControls()
{
    TSettingsReader in(QByteArray::fromHex("0300000045000400000061e889b2" "4c0101000000" "4203" "07"));
    QLineEdit edit;
    QComboBox list;
    list.addItems({"x", "y", "z"});
    QCheckBox box;
    std::int32_t version = 0;
    std::uint8_t byte = 0;
    QVERIFY(in.getInt32(version) && in.getEdit(edit) && in.getList(list) && in.getButton(box) &&
            in.getByte(byte));
    QCOMPARE(version, 3);
    QCOMPARE(edit.text(), QStringLiteral("a色"));
    QVERIFY(!edit.isEnabled());
    QCOMPARE(list.currentIndex(), 1);
    QVERIFY(box.isChecked() && box.isEnabled());
    QCOMPARE(byte, 7);
    QVERIFY(!in.getByte(byte));
    QVERIFY(in.failed());
}

void TestSettingsCodec::damageStopsReadingAndLeavesControls_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("readable");
    // Each file holds a text record, then a list record, then a button.
    const QByteArray list = QByteArray::fromHex("4c0102000000");
    QTest::newRow("all good") << QByteArray::fromHex("45010100000041") + list + "B\x03" << 3;
    QTest::newRow("length 2^31") << QByteArray::fromHex("45010000008041") + list << 0;
    QTest::newRow("length 2^32-1") << QByteArray::fromHex("4501ffffffff41") + list << 0;
    QTest::newRow("length one past the end") << QByteArray::fromHex("45010200000041") << 0;
    QTest::newRow("cut inside the list") << QByteArray::fromHex("450101000000414c0102") << 1;
    QTest::newRow("button where a list is due")
        << QByteArray::fromHex("45010100000041") + "B\x03" + list << 1;
    QTest::newRow("empty file") << QByteArray() << 0;
}

void TestSettingsCodec::damageStopsReadingAndLeavesControls()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, readable);
    QLineEdit edit(QStringLiteral("keep"));
    QComboBox list;
    list.addItems({"x", "y", "z"});
    QCheckBox box;
    TSettingsReader in(bytes);
    const int read = int(in.getEdit(edit)) + int(in.getList(list)) + int(in.getButton(box));
    QCOMPARE(read, readable);
    QCOMPARE(edit.text(), readable >= 1 ? QStringLiteral("A") : QStringLiteral("keep"));
    QCOMPARE(list.currentIndex(), readable >= 2 ? 2 : 0);
    QCOMPARE(box.isChecked(), readable >= 3);
}

void TestSettingsCodec::configFolderFollowsXdg_data()
{
    QTest::addColumn<QByteArray>("xdg");
    QTest::addColumn<QString>("expected");
    const QString home = QDir::homePath();
    QTest::newRow("absolute") << QByteArray("/srv/cfg")
                              << QStringLiteral("/srv/cfg/pixwright/Pixwright_GUI.dat");
    QTest::newRow("relative is ignored")
        << QByteArray("cfg") << home + QStringLiteral("/.config/pixwright/Pixwright_GUI.dat");
    QTest::newRow("unset") << QByteArray()
                           << home + QStringLiteral("/.config/pixwright/Pixwright_GUI.dat");
}

void TestSettingsCodec::configFolderFollowsXdg()
{
    QFETCH(QByteArray, xdg);
    QFETCH(QString, expected);
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    const bool wasSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    if (xdg.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", xdg);
    const QString found = settings::inConfigFolder();
    if (wasSet)
        qputenv("XDG_CONFIG_HOME", saved);
    else
        qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(found, expected);
    QCOMPARE(settings::besideProgram(QStringLiteral("/opt/pw")),
             QStringLiteral("/opt/pw/Pixwright_GUI.dat"));
}

void TestSettingsCodec::readingStopsAtOneMebibyte()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A long but sane file is read whole; one past the cap only up to it.
    const QString sane = dir.filePath(QStringLiteral("sane.dat"));
    const QString huge = dir.filePath(QStringLiteral("huge.dat"));
    for (const auto& [file, size] : {std::pair<QString, int>{sane, 300 * 1024}, {huge, (1 << 20) + 4096}}) {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(QByteArray(size, 'x'));
    }
    QCOMPARE(settings::kMaxFileBytes, qint64(1 << 20));
    const std::optional<QByteArray> whole = settings::readFirst({sane});
    QVERIFY(whole.has_value());
    QCOMPARE(whole->size(), 300 * 1024);
    const std::optional<QByteArray> capped = settings::readFirst({huge});
    QVERIFY(capped.has_value());
    QCOMPARE(capped->size(), 1 << 20);
}

PIXWRIGHT_GUI_TEST(TestSettingsCodec);
#include "tst_SettingsCodec.moc"
