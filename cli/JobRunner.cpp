#include "cli/JobRunner.h"

#include "cli/PictureSize.h"
#include "engine/Pixwright_DLL.h"

#include <SDL.h>
#include <SDL_thread.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
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

int collectProgress(void* user, int, int, int filesWritten)
{
    if (currentResult != nullptr) {
        if (auto* progressLine = static_cast<ProgressLine*>(user))
            progressLine->filesWritten(filesWritten - currentResult->filesWritten);
        currentResult->filesWritten = filesWritten;
    }
    return 0;
}

struct Shared {
    const std::vector<std::string>* inputs = nullptr;
    std::vector<std::optional<InputResult>> results;
    std::atomic<size_t> next{0};
    std::mutex lock;
    std::condition_variable finished;
    std::function<InputResult(const std::string&)> convert;
};

// Takes inputs until none is left.
int work(void* data)
{
    Shared& shared = *static_cast<Shared*>(data);
    for (size_t i = shared.next++; i < shared.inputs->size(); i = shared.next++) {
        InputResult result = shared.convert((*shared.inputs)[i]);
        std::lock_guard<std::mutex> guard(shared.lock);
        shared.results[i] = std::move(result);
        shared.finished.notify_all();
    }
    return 0;
}

} // namespace

JobRunner::JobRunner(const Options& options, int jobs, ProgressLine* progress)
    : options_(options), jobs_(std::max(1, jobs)), progress_(progress)
{
}

InputResult JobRunner::convert(const std::string& input) const
{
    InputResult result;
    currentResult = &result;
    const PictureSize size = readPictureSize(input);
    const Job job = planJob(options_, size.width, size.height);
    result.code = graphicConvert(
        input.c_str(), options_.outputFolder.c_str(), options_.name ? options_.name->c_str() : nullptr,
        job.editorPreset, job.gridWidth, job.gridHeight, options_.sharpen, job.alphaGrid, options_.interpolation,
        options_.format, job.saveNatural, options_.naturalSuffix.c_str(), job.saveColor, options_.colorSuffix.c_str(),
        job.saveAlpha, options_.alphaSuffix.c_str());
    currentResult = nullptr;
    return result;
}

void JobRunner::run(const std::vector<std::string>& inputs, const Report& report)
{
    setErrorBoxHandler(collectBox);
    setProgressHandler(collectProgress, progress_);
    const int threads = static_cast<int>(std::min<size_t>(size_t(jobs_), std::max<size_t>(inputs.size(), 1)));
    // Threads not needed for the inputs go to the cells of each.
    setThreadCount(std::max(1, jobs_ / threads));

    if (threads <= 1) {
        for (size_t i = 0; i < inputs.size(); ++i) {
            const InputResult result = convert(inputs[i]);
            if (progress_ != nullptr)
                progress_->inputDone();
            report(i, result);
        }
        setProgressHandler(nullptr, nullptr);
        return;
    }

    Shared shared;
    shared.inputs = &inputs;
    shared.results.resize(inputs.size());
    shared.convert = [this](const std::string& input) { return convert(input); };
    // SDL threads: SDL 1.2 keeps an error text of its own only for threads
    // it started, and the engine reads the savers' failures from it.
    std::vector<SDL_Thread*> started;
    for (int t = 0; t < threads; ++t)
        if (SDL_Thread* thread = SDL_CreateThread(work, &shared))
            started.push_back(thread);
    if (started.empty())
        work(&shared);

    for (size_t i = 0; i < inputs.size(); ++i) {
        std::unique_lock<std::mutex> guard(shared.lock);
        shared.finished.wait(guard, [&] { return shared.results[i].has_value(); });
        InputResult result = std::move(*shared.results[i]);
        guard.unlock();
        if (progress_ != nullptr)
            progress_->inputDone();
        report(i, result);
    }
    for (SDL_Thread* thread : started)
        SDL_WaitThread(thread, nullptr);
    setProgressHandler(nullptr, nullptr);
}

} // namespace cli
