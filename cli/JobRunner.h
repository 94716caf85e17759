#ifndef CLI_JOBRUNNER_H
#define CLI_JOBRUNNER_H

#include "cli/Options.h"
#include "cli/ProgressLine.h"
#include "engine/Pixwright_DLL.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace cli {

// What one input's conversion came to.
struct InputResult {
    int code = -1;
    // The texts of the engine's error boxes, in the order shown.
    std::vector<std::string> messages;
    int filesWritten = 0;
    // The work of the conversion in the engine's units, as last reported.
    long long unitsDone = 0;
    long long unitsTotal = 0;
    // What the engine keeps of a failure, for the program's own message.
    std::optional<PixwrightFailure> failure;
};

// How one input converts: where its files go, the engine arguments, and the
// key of its conversion alone (unset: the engine-wide key).
struct InputPlan {
    std::string outputFolder;
    Job job;
    std::optional<PixwrightColorKey> key;
};

// Converts inputs through the engine's exports, several side by side on the
// engine's worker pool. The results are handed back in input order, one at a
// time, however the conversions finish; the conversions themselves, their
// files and their results are those of one conversion after the other.
class JobRunner {
public:
    // jobs: threads in all, the calling thread included (0: the engine's
    // default, the core count); the inputs and the cells of each share them.
    // stop, when given, is read as the conversions go: once set, the running
    // ones stop at their next band of rows (code 40) and no other starts.
    JobRunner(const Options& options, int jobs, ProgressLine* progress = nullptr,
              const std::atomic<bool>* stop = nullptr);

    using Report = std::function<void(size_t index, const InputResult& result)>;
    void run(const std::vector<std::string>& inputs, const Report& report);

    // The same with each input's plan made by plan(index), on the thread
    // that converts it, just before its conversion.
    using Planner = std::function<InputPlan(size_t index)>;
    void run(const std::vector<std::string>& inputs, const Planner& plan, const Report& report);

    // The plan of run without a planner: the options' folder and key, the
    // grid from the options and the picture's preset.
    InputPlan plainPlan(const std::string& input) const;

private:
    InputResult convert(const std::string& input, const InputPlan& plan) const;

    const Options& options_;
    int jobs_;
    ProgressLine* progress_;
    const std::atomic<bool>* stop_;
};

} // namespace cli

#endif
