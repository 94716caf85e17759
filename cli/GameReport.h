// The report of a game's conversion, OUT_FOLDER/pixwright-report.json: every
// file met, what it was taken for, how it converted and what it wrote.
#ifndef CLI_GAMEREPORT_H
#define CLI_GAMEREPORT_H

#include "cli/JobRunner.h"
#include "cli/Options.h"
#include "game/GameFolder.h"

#include <string>
#include <vector>

namespace cli {

// One entry's line of the report.
struct ReportEntry {
    const game::GameEntry* entry = nullptr;
    // For pictures: the settings used and the conversion's result, with the
    // files it wrote relative to the output folder.
    PixwrightKindSettings settings{};
    InputResult result;
    std::vector<std::string> written;
    // Why a picture was not converted at all; empty when it was tried.
    std::string clash;
};

// A JSON string literal of text: quotes, backslashes and control characters
// escaped, UTF-8 passed through unchanged, and every byte that is not part of
// well-formed UTF-8 (a name on disk may hold any) given as U+FFFD.
std::string jsonString(const std::string& text);

// The whole report, ending in a line break.
std::string gameReport(const Options& options, const std::string& gameFolder, const std::string& outputFolder,
                       const std::vector<ReportEntry>& entries);

} // namespace cli

#endif
