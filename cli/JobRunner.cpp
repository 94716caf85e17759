#include "cli/JobRunner.h"

#include "engine/Pixwright_DLL.h"

#include <algorithm>
#include <functional>
#include <mutex>
#include <optional>

namespace cli {

namespace {

// The engine calls its box and progress handlers on the thread that called
// graphicConvert; each conversion thread says which input it works on.
thread_local InputResult* currentResult = nullptr;

void collectBox(const char*, const char* text)
{
    if (currentResult != nullptr)
        currentResult->messages.push_back(text);
}

struct WorkWatch {
    ProgressLine* progress = nullptr;
    const std::atomic<bool>* stop = nullptr;
};

// Called in bands of rows, so the line moves and a stop is seen inside a
// large picture too.
int collectWork(void* user, long long unitsDone, long long unitsTotal, int filesWritten)
{
    const auto* watch = static_cast<const WorkWatch*>(user);
    if (currentResult != nullptr) {
        if (watch->progress != nullptr) {
            watch->progress->filesWritten(filesWritten - currentResult->filesWritten);
            watch->progress->work(unitsDone - currentResult->unitsDone, unitsTotal - currentResult->unitsTotal);
        }
        currentResult->filesWritten = filesWritten;
        currentResult->unitsDone = unitsDone;
        currentResult->unitsTotal = unitsTotal;
    }
    return watch->stop != nullptr && watch->stop->load() ? 1 : 0;
}

// The inputs of one run and their results, reported in input order by
// whichever task completes the next one due.
struct Batch {
    std::function<InputResult(size_t)> convert;
    const JobRunner::Report* report = nullptr;
    ProgressLine* progress = nullptr;
    std::vector<std::optional<InputResult>> results;
    size_t nextReport = 0;
    std::mutex lock;
};

void convertInput(void* data, int index)
{
    Batch& batch = *static_cast<Batch*>(data);
    InputResult result = batch.convert(size_t(index));
    std::lock_guard<std::mutex> guard(batch.lock);
    batch.results[size_t(index)] = std::move(result);
    while (batch.nextReport < batch.results.size() && batch.results[batch.nextReport]) {
        if (batch.progress != nullptr)
            batch.progress->inputDone();
        (*batch.report)(batch.nextReport, *batch.results[batch.nextReport]);
        batch.results[batch.nextReport].reset();
        ++batch.nextReport;
    }
}

} // namespace

JobRunner::JobRunner(const Options& options, int jobs, ProgressLine* progress, const std::atomic<bool>* stop)
    : options_(options), jobs_(jobs), progress_(progress), stop_(stop)
{
}

InputPlan JobRunner::plainPlan(const std::string& input) const
{
    // The engine says what the picture is; one it cannot read gets the
    // custom grid, and the conversion then reports the file itself.
    PixwrightPictureInfo picture{};
    const int preset = inspectPicture(input.c_str(), &picture) == PIXWRIGHT_RESULT_SUCCESS ? picture.preset
                                                                                           : PIXWRIGHT_PRESET_NONE;
    return InputPlan{options_.outputFolder, planJob(options_, preset), std::nullopt};
}

InputResult JobRunner::convert(const std::string& input, const InputPlan& plan) const
{
    InputResult result;
    if (stop_ != nullptr && stop_->load()) {
        result.code = PIXWRIGHT_RESULT_CANCELLED;
        return result;
    }
    currentResult = &result;
    const Job& job = plan.job;
    result.code = graphicConvertWithKey(
        plan.key ? &*plan.key : nullptr, input.c_str(), plan.outputFolder.c_str(),
        options_.name ? options_.name->c_str() : nullptr, job.editorPreset, job.gridWidth, job.gridHeight,
        options_.sharpen, job.alphaGrid, options_.interpolation, options_.format, job.saveNatural,
        options_.naturalSuffix.c_str(), job.saveColor, options_.colorSuffix.c_str(), job.saveAlpha,
        options_.alphaSuffix.c_str());
    // Kept per thread by the engine: read here, on the converting thread.
    if (result.code != PIXWRIGHT_RESULT_SUCCESS) {
        result.failure.emplace();
        getLastFailure(&*result.failure);
    }
    currentResult = nullptr;
    // A finished conversion's work leaves the running total.
    if (progress_ != nullptr)
        progress_->work(-result.unitsDone, -result.unitsTotal);
    return result;
}

void JobRunner::run(const std::vector<std::string>& inputs, const Report& report)
{
    run(inputs, [&](size_t index) { return plainPlan(inputs[index]); }, report);
}

void JobRunner::run(const std::vector<std::string>& inputs, const Planner& plan, const Report& report)
{
    setErrorBoxHandler(collectBox);
    WorkWatch watch{progress_, stop_};
    setWorkProgressHandler(collectWork, &watch);
    // One budget for everything: the inputs run side by side on the
    // engine's pool, and each conversion's cells borrow what is free of it.
    setThreadCount(jobs_);

    Batch batch;
    batch.convert = [this, &plan, &inputs](size_t index) { return convert(inputs[index], plan(index)); };
    batch.report = &report;
    batch.progress = progress_;
    batch.results.resize(inputs.size());
    runTasks(static_cast<int>(inputs.size()), convertInput, &batch);
    setWorkProgressHandler(nullptr, nullptr);
}

} // namespace cli
