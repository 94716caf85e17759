// pixwright-cli --game: a game's asset folders converted in one run, each
// picture with its kind's settings, and the report of the run.
#ifndef CLI_GAMERUN_H
#define CLI_GAMERUN_H

#include "cli/GameReport.h"
#include "cli/JobRunner.h"
#include "cli/Options.h"
#include "game/GameFolder.h"

#include <string>
#include <vector>

namespace cli {

// A game that cannot be converted at all: the folder is none, or the output
// folder cannot be made. The text names the folder and the reason.
struct GameError {
    std::string message;
};

class GameRun {
public:
    // Lists the game and makes the output folder; the engine makes the asset
    // folders in it (one level, as a conversion does, and none for a folder
    // whose pictures all fail). Throws GameError.
    explicit GameRun(const Options& options);

    // The pictures to convert, in the report's order.
    const std::vector<std::string>& inputs() const { return inputs_; }
    InputPlan plan(size_t index) const;
    // Keeps what picture index came to, for the report.
    void record(size_t index, const InputResult& result);
    size_t skipped() const;
    // The pictures not converted because their files are another's, one
    // line each, as failures are reported.
    const std::vector<std::string>& clashLines() const { return clashLines_; }
    // Writes OUT_FOLDER/pixwright-report.json; false with the reason.
    bool writeReport(std::string* error) const;

    static constexpr const char* reportName = "pixwright-report.json";

private:
    const Options& options_;
    std::vector<game::GameEntry> entries_;
    game::KindPresets presets_;
    std::vector<std::vector<std::string>> planned_;
    std::vector<std::string> clashLines_;
    std::vector<std::string> inputs_;
    // The entry of each input.
    std::vector<size_t> pictureEntry_;
    std::vector<ReportEntry> report_;
};

} // namespace cli

#endif
