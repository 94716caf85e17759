#include "cli/GameRun.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace cli {

namespace fs = std::filesystem;

namespace {

std::string outputFolderOf(const Options& options, const game::GameEntry& entry)
{
    return (fs::path(options.outputFolder) / entry.folder).string();
}

} // namespace

GameRun::GameRun(const Options& options) : options_(options), presets_(game::KindPresets::table())
{
    std::error_code ec;
    if (!fs::is_directory(*options.game, ec))
        throw GameError{*options.game + ": not a folder"};
    entries_ = game::scanGame(*options.game);
    game::inspectPictures(entries_);

    fs::create_directories(options.outputFolder, ec);
    if (ec || !fs::is_directory(options.outputFolder))
        throw GameError{options.outputFolder + ": the output folder cannot be made: " + ec.message()};
    for (size_t i = 0; i < entries_.size(); ++i) {
        const game::GameEntry& entry = entries_[i];
        report_.push_back(ReportEntry{&entry, {}, {}, {}});
        if (!entry.isPicture())
            continue;
        report_.back().settings = presets_.forPicture(entry);
        inputs_.push_back(entry.path);
        pictureEntry_.push_back(i);
    }
}

InputPlan GameRun::plan(size_t index) const
{
    const game::GameEntry& entry = entries_[pictureEntry_[index]];
    const PixwrightKindSettings& settings = report_[pictureEntry_[index]].settings;
    return InputPlan{outputFolderOf(options_, entry), kindJob(options_, settings),
                     game::keyOf(settings.keyMode, game::defaultKeyColour)};
}

void GameRun::record(size_t index, const InputResult& result)
{
    ReportEntry& line = report_[pictureEntry_[index]];
    line.result = result;
    if (result.filesWritten <= 0)
        return;
    // The engine names the files; the first filesWritten of its list are
    // those written.
    const InputPlan p = plan(index);
    const Job& job = p.job;
    const auto list = [&](char* buffer, int size) {
        return plannedOutputFiles(line.entry->path.c_str(), p.outputFolder.c_str(), nullptr, job.editorPreset,
                                  options_.format, job.saveNatural, options_.naturalSuffix.c_str(), job.saveColor,
                                  options_.colorSuffix.c_str(), job.saveAlpha, options_.alphaSuffix.c_str(), buffer,
                                  size);
    };
    std::string names(size_t(list(nullptr, 0)), '\0');
    if (names.empty() || list(&names[0], int(names.size())) != int(names.size()))
        return;
    for (size_t at = 0; at < names.size() && names[at] != '\0' && int(line.written.size()) < result.filesWritten;) {
        const std::string name(names.c_str() + at);
        line.written.push_back(line.entry->folder + "/" + fs::path(name).filename().string());
        at += name.size() + 1;
    }
}

size_t GameRun::skipped() const { return entries_.size() - inputs_.size(); }

bool GameRun::writeReport(std::string* error) const
{
    const fs::path path = fs::path(options_.outputFolder) / reportName;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << gameReport(options_, *options_.game, options_.outputFolder, report_);
    out.close();
    if (!out) {
        if (error != nullptr)
            *error = path.string() + ": the report cannot be written";
        return false;
    }
    return true;
}

} // namespace cli
