#include "auxlib/draw/PictureHeader.h"
#include "auxlib/draw/Surface.h"
#include "auxlib/error/ErrorBox.h"
#include "auxlib/error/ErrorLogger.h"
#include "auxlib/utility/Path.h"
#include "auxlib/utility/Text.h"
#include "engine/CellList.h"
#include "engine/CellPipeline.h"
#include "engine/ColorKey.h"
#include "engine/ConvertResult.h"
#include "engine/SourcePicture.h"
#include "engine/EngineSettings.h"
#include "engine/LastFailure.h"
#include "engine/MemoryBudget.h"
#include "engine/OutputFolder.h"
#include "engine/OutputNaming.h"
#include "engine/PixEffector.h"
#include "engine/PixReplacer.h"
#include "engine/PixSaver.h"
#include "engine/Pixwright_DLL.h"

#include <boost/filesystem/path.hpp>
#include <boost/format.hpp>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <string>
#include <system_error>

namespace engine {

using auxlib::draw::LoadReport;
using auxlib::draw::Rgba;
using auxlib::draw::Success;
using auxlib::draw::Surface;
using auxlib::error::ErrorLogger;
using auxlib::error::showErrorBox;
using auxlib::utility::copyText;
using auxlib::utility::NameRule;
using auxlib::utility::Path;
using auxlib::utility::PathError;

namespace {

constexpr const char* sourceName = "..\\..\\Pixwright_DLL";

// The fixed site numbers of this file's log entries.
constexpr int loadFailedSite = 120;
constexpr int tooLargeSite = 128;

bool sameIgnoringAsciiCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

ConvertResult fail(ConvertResult code, const boost::format& message)
{
    showErrorBox(message);
    return code;
}

ConvertResult fail(ConvertResult code, const char* message) { return fail(code, boost::format("%1%") % message); }

} // namespace

RequestCheck checkRequest(const ConvertRequest& request)
{
    using Variant = CellVariant;
    RequestCheck check;
    check.outputName = request.outputName ? copyText(request.outputName) : std::string();
    auto refuse = [&check](ConvertResult code, const char* message) {
        check.code = code;
        check.message = message;
        return check;
    };
    if (*request.sourcePath == '\0')
        return refuse(NoSourcePath, "入力画像が指定されていません。");
    if (*request.outputFolder == '\0')
        return refuse(NoOutputFolder, "出力フォルダが指定されていません。");

    // A missing suffix of a selected output is read as an empty one.
    check.variants = {Variant{request.saveNatural, request.naturalSuffix ? request.naturalSuffix : ""},
                      Variant{request.saveColor, request.colorSuffix ? request.colorSuffix : ""},
                      Variant{request.saveAlpha, request.alphaSuffix ? request.alphaSuffix : ""}};
    const Variant& natural = check.variants[0];
    const Variant& colour = check.variants[1];
    const Variant& alpha = check.variants[2];
    if (!natural.selected && !colour.selected && !alpha.selected)
        return refuse(NoOutput, "出力画像がありません。");
    auto clash = [](const Variant& a, const Variant& b) {
        return a.selected && b.selected && sameIgnoringAsciiCase(a.suffix, b.suffix);
    };
    if (clash(natural, colour) || clash(natural, alpha) || clash(colour, alpha))
        return refuse(SuffixClash, "出力ファイルのサフィックスに同一のものがあります。");
    if (!check.outputName.empty() && check.outputName[0] == '.')
        return refuse(BadOutputName, "出力ファイル名を . で始めることはできません。");
    return check;
}

// Whether the source could not be read at all (the system says why) or was
// read and not understood (the decoder says why).
void noteLoadFailure(const std::string& sourcePath, const std::string& decoderReason)
{
    errno = 0;
    if (std::FILE* file = std::fopen(sourcePath.c_str(), "rb")) {
        std::fclose(file);
        noteFailure(PIXWRIGHT_FAILURE_SOURCE_NOT_DECODED, sourcePath, decoderReason);
        return;
    }
    const int error = errno;
    noteFailure(PIXWRIGHT_FAILURE_SOURCE_NOT_OPENED, sourcePath,
                error != 0 ? std::generic_category().message(error) : decoderReason);
}

// A number of bytes for the log: MiB from 10 MiB up, KiB below; a need
// rounds up and a limit down, so the one never reads as fitting the other.
static std::string sizeText(std::uint64_t bytes, bool roundUp)
{
    const bool large = bytes >= (10u << 20);
    const std::uint64_t unit = large ? (1u << 20) : (1u << 10);
    const std::uint64_t count = roundUp ? (bytes + unit - 1) / unit : bytes / unit;
    return std::to_string(count) + (large ? " MiB" : " KiB");
}

std::string outputPathFor(const Path& folder, std::string outputName, const char* sourcePath,
                          const std::array<CellVariant, 3>& variants)
{
    if (outputName.empty())
        outputName = Path::parse(copyText(sourcePath), NameRule::Folder).stem();
    const std::string outputPath = folder.join(Path::parse(outputName, NameRule::Portable)).native();
    // A suffix becomes part of each file's name ("name_00_suffix.png"), so
    // it must not lead out of the folder either.
    for (const CellVariant& variant : variants)
        if (variant.selected && !variant.suffix.empty())
            Path::parse(outputName + "_" + variant.suffix, NameRule::Portable);
    return outputPath;
}

ConvertResult convert(const ConvertRequest& request)
{
    const EngineSettings settings = currentSettings();
    const ColorKeyState keyState = request.key != nullptr ? colorKeyStateOf(*request.key) : colorKeyState();
    RequestCheck check = checkRequest(request);
    if (check.code != Converted)
        return fail(check.code, check.message.c_str());

    // A folder text the rule refuses is not a folder-test failure: its path
    // error travels to the outer handler and is shown as it stands.
    const Path folder = Path::parse(copyText(request.outputFolder), NameRule::Folder);
    OutputFolder output;
    try {
        switch (output.prepare(folder)) {
        case OutputFolder::State::NotAFolder:
            noteFailure(PIXWRIGHT_FAILURE_NOT_A_FOLDER, folder.native());
            return fail(BadOutputName, "出力ディレクトリにはディレクトリ名を指定して下さい。");
        case OutputFolder::State::NotCreated:
            noteFailure(PIXWRIGHT_FAILURE_FOLDER_NOT_MADE, folder.native());
            return fail(FolderNotCreated, "出力フォルダの作成に失敗しました。");
        case OutputFolder::State::Ready:
            break;
        }
    } catch (const PathError& e) {
        // Only one level is made: a missing parent is the usual cause, and
        // the one worth naming.
        const std::string parent = boost::filesystem::path(folder.native()).parent_path().string();
        if (e.error() == ENOENT && !parent.empty())
            noteFailure(PIXWRIGHT_FAILURE_FOLDER_NO_PARENT, folder.native(), e.reason(), parent);
        else
            noteFailure(PIXWRIGHT_FAILURE_FOLDER_NOT_MADE, folder.native(), e.reason());
        return fail(BadPath, boost::format("出力フォルダの名前がおかしいです。\n\n%s") % e.what());
    }

    std::string outputPath;
    try {
        outputPath = outputPathFor(folder, check.outputName, request.sourcePath, check.variants);
    } catch (const PathError& e) {
        noteFailure(PIXWRIGHT_FAILURE_BAD_NAME, e.subject(), e.reason());
        return fail(BadPath, boost::format("出力ファイル名がおかしいです。\n\n%s") % e.what());
    }

    const std::string sourcePath = copyText(request.sourcePath);
    // The memory the conversion will take is reserved from its header's
    // size before anything is decoded; a header that cannot be read
    // reserves nothing and fails in the loader as before.
    std::uint64_t peak = 0;
    // A picture past the size limits is refused as too large by the loader.
    if (const auto declared = auxlib::draw::readDeclaredSize(sourcePath))
        if (declared->width <= std::uint32_t(maxSourceWidth) && declared->height <= std::uint32_t(maxSourceHeight))
            peak = estimatedPeak(declared->width, declared->height);
    const MemoryReservation memory(peak);
    if (!memory.held()) {
        const std::string reason = (boost::format("its conversion needs about %1%, more than the memory limit of %2%")
                                    % sizeText(peak, true) % sizeText(memoryBudget(), false))
                                       .str();
        ErrorLogger(sourceName, loadFailedSite)
            .put(boost::format("画像ファイル'%1%'を読み込めませんでした。:%2%") % sourcePath % reason);
        noteFailure(PIXWRIGHT_FAILURE_SOURCE_NOT_DECODED, sourcePath, reason);
        return fail(SourceNotLoaded, boost::format("%1%ファイルを開けません。") % sourcePath);
    }
    Surface source;
    LoadReport loaded;
    if (loadSource(sourcePath, source, loaded) != Success) {
        if (loaded.tooLarge) {
            ErrorLogger(sourceName, tooLargeSite)
                .put(boost::format("画像が大きすぎます。(%1% × %2%) 変換できるのは幅 %3%、高さ %4% ピクセルまでです。")
                     % loaded.declaredWidth % loaded.declaredHeight % maxSourceWidth % maxSourceHeight);
            noteFailure(PIXWRIGHT_FAILURE_SOURCE_TOO_LARGE, sourcePath,
                        (boost::format("%1% × %2% > %3% × %4%") % loaded.declaredWidth % loaded.declaredHeight
                         % maxSourceWidth % maxSourceHeight).str());
        } else {
            ErrorLogger(sourceName, loadFailedSite)
                .put(boost::format("画像ファイル'%1%'を読み込めませんでした。:%2%") % sourcePath % loaded.reason);
            noteLoadFailure(sourcePath, loaded.reason);
        }
        return fail(SourceNotLoaded, boost::format("%1%ファイルを開けません。") % sourcePath);
    }
    const Rgba key = chooseKeyColour(keyState, source, loaded.ownPalette);
    const PixReplacer replacer;
    CellList cells = replacer.rearrange(source, key, request.editorPreset);
    if (cells.empty()) {
        noteFailure(PIXWRIGHT_FAILURE_NOT_CUT, sourcePath);
        return fail(NotRearranged, boost::format("画像ファイル'%s'ファイルの並び替えにに失敗しました。") % sourcePath);
    }

    const Rgba empty{key.r, key.g, key.b, 0};
    const PixEffector effector(request.interpolation, key, empty);
    CellPipeline::Job job;
    job.gridWidth = request.gridWidth;
    job.gridHeight = request.gridHeight;
    job.sharpenLevel = request.sharpenLevel;
    job.eraseAlphaGrid = request.eraseAlphaGrid;
    job.kernels = request.kernels;
    job.options.format = request.outputFormat;
    job.options.numbered = cells.size() != 1;
    job.outputPath = outputPath;
    job.variants = check.variants;
    job.write.pngFilter = settings.pngFilter;
    job.write.pngCompression = settings.pngCompression;
    job.write.pngPalette = settings.pngPalette;
    job.threads = settings.threads;
    job.progress = settings.progress;
    job.work = settings.work;

    CellPipeline pipeline(effector, job);
    const ConvertResult result = pipeline.run(cells);
    switch (result) {
    case Converted:
        return Converted;
    case Cancelled:
        return Cancelled;
    case CellNotConverted:
        noteFailure(PIXWRIGHT_FAILURE_NOT_CONVERTED, sourcePath);
        return fail(CellNotConverted, "画像ファイルの変換に失敗しました。");
    case NaturalNotSaved:
    case ColorNotSaved:
    case AlphaNotSaved:
        return fail(result, "画像ファイルの保存に失敗しました。");
    default:
        break;
    }
    return Converted;
}

namespace {

int convertCatching(const ConvertRequest& request)
{
    if (request.sourcePath == nullptr || request.outputFolder == nullptr)
        return NullArgument;
    try {
        return convert(request);
    } catch (const PathError& e) {
        // The output folder's text broke the folder-name rule.
        noteFailure(PIXWRIGHT_FAILURE_BAD_NAME, e.subject(), e.reason());
        return fail(StandardException, boost::format("%1%") % copyText(e.what()));
    } catch (const std::exception& e) {
        noteFailure(PIXWRIGHT_FAILURE_INTERNAL, std::string(), copyText(e.what()));
        return fail(StandardException, boost::format("%1%") % copyText(e.what()));
    } catch (...) {
        return fail(OtherException, "画像変換中に例外が発生しました。");
    }
}

// The kind of a failure no place noted more closely.
int kindOfCode(int code)
{
    switch (code) {
    case NullArgument:
    case NoSourcePath:
    case NoOutputFolder:
    case NoOutput:
    case SuffixClash:
    case BadOutputName:
        return PIXWRIGHT_FAILURE_REQUEST;
    case Cancelled:
        return PIXWRIGHT_FAILURE_CANCELLED;
    default:
        return PIXWRIGHT_FAILURE_INTERNAL;
    }
}

} // namespace

int graphicConvert(const ConvertRequest& request)
{
    clearFailure();
    const int code = convertCatching(request);
    finishFailure(code, kindOfCode(code));
    return code;
}

} // namespace engine

extern "C" PIXWRIGHT_API int graphicConvert(const char* sourcePath, const char* outputFolder, const char* outputName,
                                            int editorPreset, int gridWidth, int gridHeight, int sharpenLevel,
                                            int eraseAlphaGrid, int interpolation, int outputFormat, int saveNatural,
                                            const char* naturalSuffix, int saveColor, const char* colorSuffix,
                                            int saveAlpha, const char* alphaSuffix)
{
    const engine::ConvertRequest request{sourcePath,    outputFolder,   outputName,    editorPreset != 0,
                                         gridWidth,     gridHeight,     sharpenLevel,  eraseAlphaGrid != 0,
                                         interpolation, outputFormat,   saveNatural != 0, naturalSuffix,
                                         saveColor != 0, colorSuffix,   saveAlpha != 0, alphaSuffix};
    return engine::graphicConvert(request);
}

extern "C" PIXWRIGHT_API int graphicConvertWithKey(const PixwrightColorKey* key, const char* sourcePath,
                                                   const char* outputFolder, const char* outputName, int editorPreset,
                                                   int gridWidth, int gridHeight, int sharpenLevel, int eraseAlphaGrid,
                                                   int interpolation, int outputFormat, int saveNatural,
                                                   const char* naturalSuffix, int saveColor, const char* colorSuffix,
                                                   int saveAlpha, const char* alphaSuffix)
{
    engine::ConvertRequest request{sourcePath,    outputFolder,   outputName,    editorPreset != 0,
                                   gridWidth,     gridHeight,     sharpenLevel,  eraseAlphaGrid != 0,
                                   interpolation, outputFormat,   saveNatural != 0, naturalSuffix,
                                   saveColor != 0, colorSuffix,   saveAlpha != 0, alphaSuffix};
    request.key = key;
    return engine::graphicConvert(request);
}

extern "C" PIXWRIGHT_API void setErrorBoxHandler(PixwrightErrorBoxHandler handler)
{
    auxlib::error::setErrorBoxHandler(handler);
}
