// The settings file: where it lives, how it is written safely, and the byte
// encoding of its items.
//
// Numbers are little-endian. A control record is one of
//   text field:           'E', flags, uint32 byte count, that many UTF-8 bytes
//   drop-down list:       'L', flags, int32 selected index
//   check box, radio:     'B', flags
// where flags bit 0 is "enabled" and bit 1 (buttons only) is "on". The kind
// byte makes a record readable only into the kind of control that wrote it,
// so a file that is out of step is noticed at the first record that does not
// fit instead of filling controls with garbage.
//
// Version 4 holds 25 items. Items added since then go into an extension
// block after item 25, which readers of the 25-item layout never reach:
//   'X', uint32 byte count, then records of tag byte, uint32 byte count and
//   that many bytes (a control record as above).
// Readers skip records of tags they do not know; a damaged block loses its
// records from the damage on and nothing before it.
#ifndef PIXWRIGHT_GUI_SETTINGSFILE_H
#define PIXWRIGHT_GUI_SETTINGSFILE_H

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <map>
#include <optional>

class QAbstractButton;
class QComboBox;
class QLineEdit;

namespace settings {

constexpr std::int32_t kWrittenVersion = 4;

// No sane settings file comes near this size; reading stops here, so a huge
// or endless file cannot exhaust memory.
constexpr qint64 kMaxFileBytes = 1 << 20;

constexpr char kEditRecord = 'E';
constexpr char kListRecord = 'L';
constexpr char kButtonRecord = 'B';
constexpr std::uint8_t kEnabledFlag = 0x01;
constexpr std::uint8_t kCheckedFlag = 0x02;

constexpr char kExtensionBlock = 'X';
// Tags of the extension records.
constexpr std::uint8_t kPaletteKeyTag = 1;
constexpr std::uint8_t kPreviewZoomTag = 2;
constexpr std::uint8_t kPreviewKeyTag = 3;
constexpr std::uint8_t kOverwriteAskTag = 4;
constexpr std::uint8_t kKeepPaletteTag = 5; // PNG files with a palette

QString fileName();
QString besideProgram(const QString& programFolder);
// $XDG_CONFIG_HOME/pixwright (an absolute XDG_CONFIG_HOME only), else
// ~/.config/pixwright.
QString inConfigFolder();
// Where the file is looked for and written, in order of preference.
QStringList locations(const QString& programFolder);

// The order the window reads in: the file it would write first, so what it
// saved is what it reads back. A file beside the program in a folder that
// takes no file from this user (one an administrator's run left in an
// installed program's folder) comes after the user's own, which would
// otherwise never be read again.
QStringList readOrder(const QString& besidePath, const QString& configPath);

// Reads at most kMaxFileBytes of the first location that opens; nothing when
// none does.
std::optional<QByteArray> readFirst(const QStringList& paths);

// Writes through a temporary file in the target's folder that is renamed
// over the old file, so the old file survives any failure. The file goes
// beside the program unless that folder does not take a new file at all (an
// installed program in a system folder); then it goes to configPath, whose
// folder is created when missing. A failure after the temporary file was
// made keeps the old file and returns false.
bool write(const QString& besidePath, const QString& configPath, const QByteArray& bytes);

} // namespace settings

class TSettingsWriter {
public:
    void putInt32(std::int32_t value);
    void putUInt32(std::uint32_t value);
    void putByte(std::uint8_t value);
    void putEdit(const QLineEdit& edit);
    void putList(const QComboBox& list);
    void putButton(const QAbstractButton& button);
    // One extension record: tag, byte count, the bytes of payload.
    void putTagged(std::uint8_t tag, const TSettingsWriter& payload);
    // The extension block holding the records written to records.
    void putExtensionBlock(const TSettingsWriter& records);

    const QByteArray& bytes() const { return data_; }

private:
    QByteArray data_;
};

// The records of an extension block by tag; a tag written twice keeps its
// first record.
class TSettingsExtension {
public:
    void add(std::uint8_t tag, QByteArray payload);
    // Applies the record of tag to the control; false when there is none or
    // it does not fit the control, which then stays as it was.
    bool getButton(std::uint8_t tag, QAbstractButton& button) const;

private:
    std::map<std::uint8_t, QByteArray> records_;
};

// Reads items in file order. The first item that is missing or does not fit
// makes this and every later get fail without touching its control, so a
// damaged file restores exactly the items before the damage.
class TSettingsReader {
public:
    explicit TSettingsReader(QByteArray data);

    bool failed() const { return failed_; }

    bool getInt32(std::int32_t& value);
    bool getUInt32(std::uint32_t& value);
    bool getByte(std::uint8_t& value);
    // The get*Record functions apply a complete record to the control: the
    // enabled state first, then the text, selection or on state, so any
    // handler the change runs sees the restored control.
    bool getEdit(QLineEdit& edit);
    bool getList(QComboBox& list);
    bool getButton(QAbstractButton& button);
    // The extension block, read after the last item; nothing when the file
    // ends before it or the reader has failed. Its records up to the first
    // damaged one.
    std::optional<TSettingsExtension> getExtensionBlock();

private:
    bool take(int count, const char*& bytes);
    bool fail();

    QByteArray data_;
    int pos_ = 0;
    bool failed_ = false;
};

#endif
