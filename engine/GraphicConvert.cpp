#include "auxlib/draw/PngLoader.h"
#include "auxlib/draw/Surface.h"
#include "auxlib/error/ErrorBox.h"
#include "auxlib/error/ErrorLogger.h"
#include "auxlib/utility/Path.h"
#include "auxlib/utility/Text.h"
#include "engine/CellList.h"
#include "engine/CellPipeline.h"
#include "engine/ColorKey.h"
#include "engine/ConvertResult.h"
#include "engine/EngineSettings.h"
#include "engine/OutputFolder.h"
#include "engine/OutputOptions.h"
#include "engine/PixEffector.h"
#include "engine/PixReplacer.h"
#include "engine/PixSaver.h"
#include "engine/Pixwright_DLL.h"

#include <boost/format.hpp>
#include <exception>
#include <string>

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
constexpr int loadFailedLine = 120;
constexpr int tooLargeLine = 128;


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

// The pictures the conversion takes: SDL keeps blit and fill rectangles in
// 16 bits, so a doubled picture past these sizes would be copied only in
// part or could not be made. The decoded picture is at most 8191 x 16383 x 4
// bytes (512 MiB), its enlargement four times that; anything larger is
// refused from its header, before memory is taken for it.
auxlib::draw::PictureLimits sourceLimits()
{
    auxlib::draw::PictureLimits limits;
    limits.maxWidth = maxSourceWidth;
    limits.maxHeight = maxSourceHeight;
    limits.maxDecodedBytes = std::uint64_t(maxSourceWidth) * maxSourceHeight * 4;
    return limits;
}

} // namespace

ConvertResult convert(const ConvertRequest& request)
{
    const EngineSettings settings = currentSettings();
    const ColorKeyState keyState = colorKeyState();
    std::string outputName = request.outputName ? copyText(request.outputName) : std::string();

    if (*request.sourcePath == '\0')
        return fail(NoSourcePath, "入力画像が指定されていません。");
    if (*request.outputFolder == '\0')
        return fail(NoOutputFolder, "出力フォルダが指定されていません。");

    // A missing suffix of a selected output is read as an empty one.
    using Variant = CellPipeline::Variant;
    const Variant natural{request.saveNatural, request.naturalSuffix ? request.naturalSuffix : ""};
    const Variant colour{request.saveColor, request.colorSuffix ? request.colorSuffix : ""};
    const Variant alpha{request.saveAlpha, request.alphaSuffix ? request.alphaSuffix : ""};
    if (!natural.selected && !colour.selected && !alpha.selected)
        return fail(NoOutput, "出力画像がありません。");
    auto clash = [](const Variant& a, const Variant& b) {
        return a.selected && b.selected && sameIgnoringAsciiCase(a.suffix, b.suffix);
    };
    if (clash(natural, colour) || clash(natural, alpha) || clash(colour, alpha))
        return fail(SuffixClash, "出力ファイルのサフィックスに同一のものがあります。");
    if (!outputName.empty() && outputName[0] == '.')
        return fail(BadOutputName, "出力ファイル名を . で始めることはできません。");

    // A folder text the rule refuses is not a folder-test failure: its path
    // error travels to the outer handler and is shown as it stands.
    const Path folder = Path::parse(copyText(request.outputFolder), NameRule::Folder);
    OutputFolder output;
    try {
        switch (output.prepare(folder)) {
        case OutputFolder::State::NotAFolder:
            return fail(BadOutputName, "出力ディレクトリにはディレクトリ名を指定して下さい。");
        case OutputFolder::State::NotCreated:
            return fail(FolderNotCreated, "出力フォルダの作成に失敗しました。");
        case OutputFolder::State::Ready:
            break;
        }
    } catch (const PathError& e) {
        return fail(BadPath, boost::format("出力フォルダの名前がおかしいです。\n\n%s") % e.what());
    }

    std::string outputPath;
    try {
        if (outputName.empty())
            outputName = Path::parse(copyText(request.sourcePath), NameRule::Folder).stem();
        outputPath = folder.join(Path::parse(outputName, NameRule::Portable)).native();
        // A suffix becomes part of each file's name ("name_00_suffix.png"),
        // so it must not lead out of the folder either.
        for (const Variant* variant : {&natural, &colour, &alpha})
            if (variant->selected && !variant->suffix.empty())
                Path::parse(outputName + "_" + variant->suffix, NameRule::Portable);
    } catch (const PathError& e) {
        return fail(BadPath, boost::format("出力ファイル名がおかしいです。\n\n%s") % e.what());
    }

    const std::string sourcePath = copyText(request.sourcePath);
    Surface source;
    LoadReport loaded;
    if (source.load(sourcePath, sourceLimits(), &loaded) != Success) {
        if (loaded.tooLarge)
            ErrorLogger(sourceName, tooLargeLine)
                .put(boost::format("画像が大きすぎます。(%1% × %2%) 変換できるのは幅 %3%、高さ %4% ピクセルまでです。")
                     % loaded.declaredWidth % loaded.declaredHeight % maxSourceWidth % maxSourceHeight);
        else
            ErrorLogger(sourceName, loadFailedLine)
                .put(boost::format("画像ファイル'%1%'を読み込めませんでした。:%2%") % sourcePath % loaded.reason);
        return fail(SourceNotLoaded, boost::format("%1%ファイルを開けません。") % sourcePath);
    }
    // The loader's own colour key (a palette picture's transparent entry) is
    // no part of the conversion: the cut copies colours as they are, and
    // transparency comes from the conversion's key alone.
    SDL_SetColorKey(source.sdl(), 0, 0);

    const Rgba key = chooseKeyColour(keyState, source, loaded.ownPalette);
    PixReplacer replacer(key);
    CellList cells = replacer.rearrange(source, key, request.editorPreset);
    if (cells.empty())
        return fail(NotRearranged, boost::format("画像ファイル'%s'ファイルの並び替えにに失敗しました。") % sourcePath);

    const Rgba empty{key.r, key.g, key.b, 0};
    const PixEffector effector(request.interpolation, key, empty);
    CellPipeline::Job job;
    job.gridWidth = request.gridWidth;
    job.gridHeight = request.gridHeight;
    job.sharpenLevel = request.sharpenLevel;
    job.eraseAlphaGrid = request.eraseAlphaGrid;
    job.options.format = request.outputFormat;
    job.options.numbered = cells.size() != 1;
    job.outputPath = outputPath;
    job.variants = {natural, colour, alpha};
    job.write.pngFilter = settings.pngFilter;
    job.write.threads = settings.threads;
    job.threads = settings.threads;
    job.progress = settings.progress;

    CellPipeline pipeline(effector, job);
    const ConvertResult result = pipeline.run(cells);
    switch (result) {
    case Converted:
        return Converted;
    case Cancelled:
        return Cancelled;
    case CellNotConverted:
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

} // namespace engine

extern "C" PIXWRIGHT_API int graphicConvert(const char* sourcePath, const char* outputFolder, const char* outputName,
                                            int editorPreset, int gridWidth, int gridHeight, int sharpenLevel,
                                            int eraseAlphaGrid, int interpolation, int outputFormat, int saveNatural,
                                            const char* naturalSuffix, int saveColor, const char* colorSuffix,
                                            int saveAlpha, const char* alphaSuffix)
{
    using namespace engine;
    if (sourcePath == nullptr || outputFolder == nullptr)
        return NullArgument;
    const ConvertRequest request{sourcePath,    outputFolder,   outputName,    editorPreset != 0,
                                 gridWidth,     gridHeight,     sharpenLevel,  eraseAlphaGrid != 0,
                                 interpolation, outputFormat,   saveNatural != 0, naturalSuffix,
                                 saveColor != 0, colorSuffix,   saveAlpha != 0, alphaSuffix};
    try {
        return convert(request);
    } catch (const std::exception& e) {
        return fail(StandardException, boost::format("%1%") % copyText(e.what()));
    } catch (...) {
        return fail(OtherException, "画像変換中に例外が発生しました。");
    }
}

extern "C" PIXWRIGHT_API void setErrorBoxHandler(PixwrightErrorBoxHandler handler)
{
    auxlib::error::setErrorBoxHandler(handler);
}
