#include "cli/GameRun.h"

#include "game/TextPath.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace cli {

namespace fs = std::filesystem;

GameRun::GameRun(const Options& options) : options_(options), presets_(game::KindPresets::table())
{
    std::error_code ec;
    if (!fs::is_directory(game::pathOf(*options.game), ec))
        throw GameError{*options.game + ": not a folder"};
    entries_ = game::scanGame(*options.game);
    game::inspectPictures(entries_);

    const fs::path output = game::pathOf(options.outputFolder);
    fs::create_directories(output, ec);
    if (ec || !fs::is_directory(output, ec))
        throw GameError{options.outputFolder + ": the output folder cannot be made: " + ec.message()};

    const Job outputs = kindJob(options, PixwrightKindSettings{});
    game::OutputRequest request;
    request.outputFormat = options.format;
    request.saveNatural = outputs.saveNatural;
    request.naturalSuffix = options.naturalSuffix;
    request.saveColor = outputs.saveColor;
    request.colorSuffix = options.colorSuffix;
    request.saveAlpha = outputs.saveAlpha;
    request.alphaSuffix = options.alphaSuffix;
    planned_ = game::plannedFiles(entries_, presets_, options.outputFolder, request);
    const std::vector<int> clashes = game::findClashes(planned_);

    for (size_t i = 0; i < entries_.size(); ++i) {
        const game::GameEntry& entry = entries_[i];
        report_.push_back(ReportEntry{&entry, {}, {}, {}, {}});
        if (!entry.isPicture())
            continue;
        report_.back().settings = presets_.forPicture(entry);
        if (clashes[i] >= 0) {
            report_.back().clash =
                "not converted: its files would overwrite those of " + entries_[size_t(clashes[i])].relativePath;
            clashLines_.push_back(entry.path + ": " + report_.back().clash);
            continue;
        }
        inputs_.push_back(entry.path);
        pictureEntry_.push_back(i);
    }
}

InputPlan GameRun::plan(size_t index) const
{
    const game::GameEntry& entry = entries_[pictureEntry_[index]];
    const PixwrightKindSettings& settings = report_[pictureEntry_[index]].settings;
    return InputPlan{game::outputFolderOf(options_.outputFolder, entry), kindJob(options_, settings),
                     game::keyOf(settings.keyMode, game::defaultKeyColour)};
}

void GameRun::record(size_t index, const InputResult& result)
{
    ReportEntry& line = report_[pictureEntry_[index]];
    line.result = result;
    // The engine writes the files of its list in order: the first
    // filesWritten of them are those written.
    const std::vector<std::string>& files = planned_[pictureEntry_[index]];
    for (size_t i = 0; i < files.size() && int(i) < result.filesWritten; ++i)
        line.written.push_back(line.entry->folder + "/" + game::textOf(game::pathOf(files[i]).filename()));
}

size_t GameRun::skipped() const { return entries_.size() - inputs_.size() - clashLines_.size(); }

bool GameRun::writeReport(std::string* error) const
{
    const fs::path path = game::pathOf(options_.outputFolder) / reportName;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << gameReport(options_, *options_.game, options_.outputFolder, report_);
    out.close();
    if (!out) {
        if (error != nullptr)
            *error = game::textOf(path) + ": the report cannot be written";
        return false;
    }
    return true;
}

} // namespace cli
