#include "gui/SettingsFile.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QSaveFile>

#include <limits>
#include <utility>

namespace settings {

QString fileName()
{
    return QStringLiteral("Pixwright_GUI.dat");
}

QString besideProgram(const QString& programFolder)
{
    return QDir(programFolder).filePath(fileName());
}

QString inConfigFolder()
{
#if defined(Q_OS_WIN)
    // Windows keeps a user's program settings under %APPDATA%.
    QString appData = qEnvironmentVariable("APPDATA");
    if (!appData.isEmpty() && !QDir::isRelativePath(appData))
        return QDir(QDir(appData).filePath(QStringLiteral("pixwright"))).filePath(fileName());
#endif
    QString base = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir(QDir::homePath()).filePath(QStringLiteral(".config"));
    return QDir(QDir(base).filePath(QStringLiteral("pixwright"))).filePath(fileName());
}

QStringList locations(const QString& programFolder)
{
    return {besideProgram(programFolder), inConfigFolder()};
}

QStringList readOrder(const QString& besidePath, const QString& configPath)
{
    // The conditions under which write's QSaveFile opens: a writable folder
    // for its temporary file, and no existing file it may not replace.
    const QFileInfo beside(besidePath);
    const QFileInfo folder(beside.absolutePath());
    if (folder.isDir() && folder.isWritable() && (!beside.exists() || beside.isWritable()))
        return {besidePath, configPath};
    return {configPath, besidePath};
}

std::optional<QByteArray> readFirst(const QStringList& paths)
{
    for (const QString& path : paths) {
        QFile file(path);
        // A folder or a device of that name is no settings file; reading a
        // FIFO would wait for a writer forever.
        if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
            continue;
        QByteArray data = file.read(kMaxFileBytes);
        if (file.error() != QFileDevice::NoError)
            continue;
        return data;
    }
    return std::nullopt;
}

namespace {

bool writeReplacing(QSaveFile& file, const QByteArray& bytes)
{
    // QSaveFile remembers a failed write and then refuses to commit, leaving
    // the old file in place and removing the temporary one.
    file.write(bytes);
    return file.commit();
}

} // namespace

bool write(const QString& besidePath, const QString& configPath, const QByteArray& bytes)
{
    QSaveFile beside(besidePath);
    if (beside.open(QIODevice::WriteOnly))
        return writeReplacing(beside, bytes);
    QDir().mkpath(QFileInfo(configPath).absolutePath());
    QSaveFile config(configPath);
    if (config.open(QIODevice::WriteOnly))
        return writeReplacing(config, bytes);
    return false;
}

} // namespace settings

void TSettingsWriter::putInt32(std::int32_t value)
{
    putUInt32(static_cast<std::uint32_t>(value));
}

void TSettingsWriter::putUInt32(std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        data_.append(static_cast<char>((value >> shift) & 0xFFu));
}

void TSettingsWriter::putByte(std::uint8_t value)
{
    data_.append(static_cast<char>(value));
}

void TSettingsWriter::putEdit(const QLineEdit& edit)
{
    const QByteArray text = edit.text().toUtf8();
    data_.append(settings::kEditRecord);
    putByte(edit.isEnabled() ? settings::kEnabledFlag : 0);
    putUInt32(static_cast<std::uint32_t>(text.size()));
    data_.append(text);
}

void TSettingsWriter::putList(const QComboBox& list)
{
    data_.append(settings::kListRecord);
    putByte(list.isEnabled() ? settings::kEnabledFlag : 0);
    putInt32(list.currentIndex());
}

void TSettingsWriter::putButton(const QAbstractButton& button)
{
    std::uint8_t flags = 0;
    if (button.isEnabled())
        flags |= settings::kEnabledFlag;
    if (button.isChecked())
        flags |= settings::kCheckedFlag;
    data_.append(settings::kButtonRecord);
    putByte(flags);
}

void TSettingsWriter::putTagged(std::uint8_t tag, const TSettingsWriter& payload)
{
    putByte(tag);
    putUInt32(static_cast<std::uint32_t>(payload.bytes().size()));
    data_.append(payload.bytes());
}

void TSettingsWriter::putExtensionBlock(const TSettingsWriter& records)
{
    putTagged(settings::kExtensionBlock, records);
}

void TSettingsExtension::add(std::uint8_t tag, QByteArray payload)
{
    records_.emplace(tag, std::move(payload));
}

bool TSettingsExtension::getButton(std::uint8_t tag, QAbstractButton& button) const
{
    const auto found = records_.find(tag);
    if (found == records_.end())
        return false;
    TSettingsReader record(found->second);
    return record.getButton(button);
}

TSettingsReader::TSettingsReader(QByteArray data) : data_(std::move(data)) {}

bool TSettingsReader::fail()
{
    failed_ = true;
    return false;
}

bool TSettingsReader::take(int count, const char*& bytes)
{
    if (failed_)
        return false;
    // Compared as remaining room, never as pos_ + count, so a length field
    // near the int limit cannot wrap around.
    if (count < 0 || count > data_.size() - pos_)
        return fail();
    bytes = data_.constData() + pos_;
    pos_ += count;
    return true;
}

bool TSettingsReader::getUInt32(std::uint32_t& value)
{
    const char* bytes = nullptr;
    if (!take(4, bytes))
        return false;
    value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return true;
}

bool TSettingsReader::getInt32(std::int32_t& value)
{
    std::uint32_t raw = 0;
    if (!getUInt32(raw))
        return false;
    value = static_cast<std::int32_t>(raw);
    return true;
}

bool TSettingsReader::getByte(std::uint8_t& value)
{
    const char* bytes = nullptr;
    if (!take(1, bytes))
        return false;
    value = static_cast<unsigned char>(bytes[0]);
    return true;
}

namespace {

// Reads the kind and flags bytes that open every control record.
bool openRecord(TSettingsReader& reader, char kind, std::uint8_t& flags)
{
    std::uint8_t found = 0;
    if (!reader.getByte(found))
        return false;
    if (found != static_cast<std::uint8_t>(kind))
        return false;
    return reader.getByte(flags);
}

} // namespace

bool TSettingsReader::getEdit(QLineEdit& edit)
{
    std::uint8_t flags = 0;
    std::uint32_t length = 0;
    if (!openRecord(*this, settings::kEditRecord, flags))
        return fail();
    if (!getUInt32(length))
        return false;
    const char* bytes = nullptr;
    if (length > static_cast<std::uint32_t>(std::numeric_limits<int>::max()) ||
        !take(static_cast<int>(length), bytes))
        return fail();
    edit.setEnabled((flags & settings::kEnabledFlag) != 0);
    edit.setText(QString::fromUtf8(bytes, static_cast<qsizetype>(length)));
    return true;
}

bool TSettingsReader::getList(QComboBox& list)
{
    std::uint8_t flags = 0;
    std::int32_t index = 0;
    if (!openRecord(*this, settings::kListRecord, flags))
        return fail();
    if (!getInt32(index))
        return false;
    list.setEnabled((flags & settings::kEnabledFlag) != 0);
    // A selection the list does not have keeps the current one: the window
    // never passes the engine an index outside its lists.
    if (index >= 0 && index < list.count())
        list.setCurrentIndex(index);
    return true;
}

bool TSettingsReader::getButton(QAbstractButton& button)
{
    std::uint8_t flags = 0;
    if (!openRecord(*this, settings::kButtonRecord, flags))
        return fail();
    button.setEnabled((flags & settings::kEnabledFlag) != 0);
    button.setChecked((flags & settings::kCheckedFlag) != 0);
    return true;
}

std::optional<TSettingsExtension> TSettingsReader::getExtensionBlock()
{
    std::uint8_t kind = 0;
    std::uint32_t length = 0;
    const char* bytes = nullptr;
    if (!getByte(kind) || kind != static_cast<std::uint8_t>(settings::kExtensionBlock) ||
        !getUInt32(length) ||
        length > static_cast<std::uint32_t>(std::numeric_limits<int>::max()) ||
        !take(static_cast<int>(length), bytes))
        return std::nullopt;

    TSettingsExtension extension;
    TSettingsReader block(QByteArray(bytes, static_cast<qsizetype>(length)));
    std::uint8_t tag = 0;
    std::uint32_t size = 0;
    const char* payload = nullptr;
    while (block.getByte(tag) && block.getUInt32(size) &&
           size <= static_cast<std::uint32_t>(std::numeric_limits<int>::max()) &&
           block.take(static_cast<int>(size), payload))
        extension.add(tag, QByteArray(payload, static_cast<qsizetype>(size)));
    return extension;
}
