// Writes the seed corpus of fuzz_settings: settings files as the window
// itself writes them, from windows set up in several ways, and the same
// files as older versions, cut short and with extension records of other
// tags. The windows run on Qt's off-screen platform in a scratch folder.
//
//     fuzz_make_settings_seeds OUTPUT_FOLDER
//
// writes OUTPUT_FOLDER/fuzz_settings/<name>, replacing what was there.
#include "fuzz/FuzzSupport.h"
#include "fuzz/WindowSupport.h"
#include "gui/MainForm.h"
#include "gui/SettingsFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace {

std::string outputFolder;

void put(const std::string& name, const QByteArray& bytes)
{
    const std::string path = outputFolder + "/" + name;
    if (!fuzz::writeFile(path, reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()))) {
        std::fprintf(stderr, "fuzz_make_settings_seeds: cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

// The file a window writes when it closes after `setUp` changed it.
QByteArray windowFile(const std::function<void(TPixwrightForm&)>& setUp)
{
    const QString folder = QString::fromStdString(fuzz::scratchFolder());
    QFile::remove(settings::besideProgram(folder));
    TFormContext context;
    context.engine = fuzz::quietEngine();
    context.programFolder = folder;
    context.configFile = folder + QStringLiteral("/config/Pixwright_GUI.dat");
    {
        TPixwrightForm form(context);
        setUp(form);
    }
    QFile file(settings::besideProgram(folder));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "fuzz_make_settings_seeds: the window wrote no settings file\n");
        std::exit(1);
    }
    return file.readAll();
}

QByteArray withVersion(QByteArray bytes, std::int32_t version)
{
    TSettingsWriter number;
    number.putInt32(version);
    bytes.replace(0, 4, number.bytes());
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_make_settings_seeds OUTPUT_FOLDER\n");
        return 2;
    }
    outputFolder = std::string(argv[1]) + "/fuzz_settings";
    fuzz::emptyFolder(outputFolder);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    fuzz::SilentHost host;
    TModalHost::install(&host);

    const QByteArray defaults = windowFile([](TPixwrightForm&) {});
    put("defaults", defaults);
    // The pictures fuzz_settings leaves in its working folder.
    put("charset", windowFile([](TPixwrightForm& f) {
            f.OpenFileEdit->setText(QStringLiteral("charset.png"));
            f.CharsetRadioButton->setChecked(true);
            f.SaveImageTypeComboBox->setCurrentIndex(1);
            f.InterpolationTypeComboBox->setCurrentIndex(2);
            f.SharpeLevelComboBox->setCurrentIndex(0);
            f.ColorKeyPosCheckBox->setChecked(true);
            f.EraseAlphaGridCheckBox->setChecked(true);
            f.NaturalSuffixEdit->setText(QStringLiteral("n"));
        }));
    const QByteArray other = windowFile([](TPixwrightForm& f) {
        f.OpenFileEdit->setText(QStringLiteral("other.bmp"));
        f.NoGridRadioButton->setChecked(true);
        f.SaveImageTypeComboBox->setCurrentIndex(2);
        f.ColorKeyPaletteCheckBox->setChecked(true);
        f.SaveDirEdit->setText(QStringLiteral("出力/フォルダ"));
        f.SaveFilePreffixEdit->setText(QStringLiteral("名前"));
        f.SaveNaturalCheckBox->setChecked(false);
    });
    put("other-palette-key", other);
    put("custom-grid", windowFile([](TPixwrightForm& f) {
            f.CustomRadioButton->setChecked(true);
            f.GridXEdit->setText(QStringLiteral(" -3 "));
            f.GridYEdit->setText(QStringLiteral("2147483647"));
            f.TilesetRadioButton->setChecked(true);
            f.SaveAlphaCheckBox->setChecked(false);
            f.SaveColorCheckBox->setChecked(false);
        }));

    // Older layouts, cut files, an empty one.
    put("version2", withVersion(other, 2));
    put("version3", withVersion(other, 3));
    put("version1", withVersion(other, 1));
    put("cut-half", other.left(other.size() / 2));
    put("cut-before-extension", other.left(other.lastIndexOf('X')));
    put("empty", QByteArray());

    // The extension block with a tag no reader knows before the palette key,
    // and the palette key twice: the first record counts.
    TSettingsWriter unknown;
    unknown.putByte(0x5A);
    TSettingsWriter on, off;
    on.putByte(quint8('B'));
    on.putByte(settings::kEnabledFlag | settings::kCheckedFlag);
    off.putByte(quint8('B'));
    off.putByte(settings::kEnabledFlag);
    TSettingsWriter records;
    records.putTagged(77, unknown);
    records.putTagged(settings::kPaletteKeyTag, on);
    records.putTagged(settings::kPaletteKeyTag, off);
    TSettingsWriter block;
    block.putExtensionBlock(records);
    put("extension-tags", defaults.left(defaults.lastIndexOf('X')) + block.bytes());
    return 0;
}
