#include "engine/CellPipeline.h"

#include "auxlib/error/LogCapture.h"
#include "auxlib/utility/WorkerThreads.h"
#include "engine/CellEnlargement.h"
#include "engine/PixelPath.h"

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace engine {

using auxlib::draw::Success;
using auxlib::draw::Surface;

namespace {

// A cell's steps, in the order one thread would run them. Each step is a
// number of parts that may run side by side; a step starts when the one
// before it has finished.
enum Step { Prepare, Resample, Correct, Sharpen, Write, Done };

// Pictures from this size up have their rows shared out between threads; a
// smaller one is quicker done by one thread than split.
constexpr std::int64_t bandedTargetPixels = 1 << 18;

using Writer = ResultCode (*)(const Surface&, const std::string&, const WriteSettings&, StagedFile*);
constexpr Writer variantWriters[3] = {&PixSaver::writeNatural, &PixSaver::writeColor, &PixSaver::writeAlpha};
constexpr ConvertResult variantFailures[3] = {NaturalNotSaved, ColorNotSaved, AlphaNotSaved};

// What one part of a step left: its log entries and any exception.
struct PartOutcome {
    std::string log;
    std::exception_ptr error;
};

struct VariantOutcome {
    int variant = 0;
    std::optional<StagedFile> file;
    ResultCode result = Success;
    PartOutcome outcome;
};

struct CellWork {
    const Surface* cell = nullptr;
    int index = 0;
    int step = Prepare;
    int parts = 0;    // parts of the current step
    int handedOut = 0;
    int left = 0;     // parts of the current step not finished yet
    bool failed = false;
    std::unique_ptr<CellEnlargement> enlargement;
    std::optional<Surface> output; // the enlarged cell, while its files are written
    std::vector<PartOutcome> steps[Write];
    std::vector<VariantOutcome> variants;
};

struct Task {
    CellWork* work = nullptr;
    int step = 0;
    int part = 0;
};

class Scheduler {
public:
    Scheduler(const PixEffector& effector, const CellPipeline::Job& job, const CellList& cells)
        : effector_(effector), job_(job), rowPath_(pixelPath() == PixelPath::Rows), cells_(cells.size())
    {
        for (size_t i = 0; i < cells.size(); ++i) {
            cells_[i].cell = &cells[i];
            cells_[i].index = static_cast<int>(i);
            for (int v = 0; v < 3; ++v)
                if (job.variants[v].selected)
                    cells_[i].variants.emplace_back().variant = v;
            startStep(cells_[i], Prepare);
        }
    }

    CellWork& cell(size_t i) { return cells_[i]; }
    size_t size() const { return cells_.size(); }

    std::mutex lock;
    std::condition_variable changed;
    bool stopped = false;
    size_t firstOpen = 0; // cells before it are committed

    // Under the lock: the next part to run, earliest cell first.
    bool take(Task& task)
    {
        if (stopped)
            return false;
        for (size_t i = firstOpen; i < cells_.size(); ++i) {
            CellWork& w = cells_[i];
            if (w.step != Done && w.handedOut < w.parts) {
                task = Task{&w, w.step, w.handedOut++};
                return true;
            }
        }
        return false;
    }

    // Outside the lock.
    void run(const Task& task)
    {
        auxlib::error::LogCapture capture;
        PartOutcome* outcome = task.step == Write ? &task.work->variants[task.part].outcome
                                                  : &task.work->steps[task.step][task.part];
        try {
            runPart(*task.work, task.step, task.part);
        } catch (...) {
            outcome->error = std::current_exception();
        }
        outcome->log = capture.take();
    }

    // Under the lock, after run.
    void finish(const Task& task)
    {
        CellWork& w = *task.work;
        const PartOutcome& outcome =
            task.step == Write ? w.variants[task.part].outcome : w.steps[task.step][task.part];
        if (outcome.error && task.step != Write)
            w.failed = true;
        if (--w.left == 0)
            startStep(w, w.step + 1);
        changed.notify_all();
    }

    // Bands per banded step of one cell.
    int bandsFor(const CellWork& w) const
    {
        if (!rowPath_ || job_.threads <= 1 || w.enlargement == nullptr)
            return 1;
        if (w.enlargement->targetPixels() < bandedTargetPixels)
            return 1;
        return std::max(1, std::min(job_.threads, w.enlargement->targetHeight() / 2));
    }

private:
    int partsOf(const CellWork& w, int step) const
    {
        switch (step) {
        case Prepare:
            return 1;
        case Resample:
            return rowPath_ ? bandsFor(w) : 0;
        case Correct:
            return rowPath_ ? 1 : 0;
        case Sharpen:
            return rowPath_ && w.enlargement->sharpens() ? bandsFor(w) : 0;
        case Write:
            return static_cast<int>(w.variants.size());
        default:
            return 0;
        }
    }

    void startStep(CellWork& w, int step)
    {
        for (;; ++step) {
            if (w.failed || step >= Done) {
                w.step = Done;
                w.parts = w.handedOut = w.left = 0;
                // The pictures are no longer needed once the files are
                // written (or cannot be).
                w.enlargement.reset();
                w.output.reset();
                return;
            }
            if (step == Write && rowPath_) {
                w.output.emplace(w.enlargement->result());
                w.enlargement.reset();
                if (!w.output->isValid()) {
                    w.failed = true;
                    continue;
                }
            }
            const int parts = partsOf(w, step);
            if (parts == 0)
                continue;
            w.step = step;
            w.parts = w.left = parts;
            w.handedOut = 0;
            if (step < Write)
                w.steps[step].assign(parts, PartOutcome());
            return;
        }
    }

    void runPart(CellWork& w, int step, int part)
    {
        const CellPipeline::Job& j = job_;
        switch (step) {
        case Prepare:
            if (rowPath_) {
                w.enlargement = std::make_unique<CellEnlargement>(effector_, *w.cell, j.gridWidth, j.gridHeight,
                                                                  j.sharpenLevel, j.eraseAlphaGrid);
                if (!w.enlargement->prepare())
                    w.failed = true;
            } else {
                w.output.emplace(
                    effector_.enlargeCell(*w.cell, j.gridWidth, j.gridHeight, j.sharpenLevel, j.eraseAlphaGrid));
                if (!w.output->isValid())
                    w.failed = true;
            }
            break;
        case Resample:
            w.enlargement->resampleBand(part, w.parts);
            break;
        case Correct:
            if (!w.enlargement->correct())
                w.failed = true;
            break;
        case Sharpen:
            w.enlargement->sharpenBand(part, w.parts);
            break;
        case Write: {
            VariantOutcome& v = w.variants[part];
            const std::string name =
                makeOutputFileName(j.options, j.outputPath, w.index, j.variants[v.variant].suffix);
            v.file.emplace(name);
            v.result = variantWriters[v.variant](*w.output, name, j.write, &*v.file);
            break;
        }
        default:
            break;
        }
    }

    const PixEffector& effector_;
    const CellPipeline::Job& job_;
    const bool rowPath_;
    std::vector<CellWork> cells_;
};

// Hands a part's log entries to the log and raises its exception again, as
// if the part had just run on this thread.
void replay(const PartOutcome& outcome)
{
    auxlib::error::writeLogText(outcome.log);
    if (outcome.error)
        std::rethrow_exception(outcome.error);
}

// Stops the other threads from starting anything more, on every way out.
struct StopOnExit {
    Scheduler& scheduler;
    ~StopOnExit()
    {
        std::lock_guard<std::mutex> guard(scheduler.lock);
        scheduler.stopped = true;
        scheduler.changed.notify_all();
    }
};

} // namespace

CellPipeline::CellPipeline(const PixEffector& effector, Job job) : effector_(effector), job_(std::move(job)) {}

namespace {

// The files of one finished cell moved into place, in variant order, and its
// entries logged, exactly up to where one thread would have stopped.
ConvertResult commit(CellWork& w, int& filesWritten)
{
    for (int step = Prepare; step < Write; ++step)
        for (const PartOutcome& part : w.steps[step])
            replay(part);
    if (w.failed)
        return CellNotConverted;
    for (VariantOutcome& v : w.variants) {
        replay(v.outcome);
        if (v.result != Success)
            return variantFailures[v.variant];
        if (v.file && v.file->written()) {
            if (!v.file->commit()) {
                PixSaver::logSaveFailure(v.file->finalName(), false);
                return variantFailures[v.variant];
            }
            ++filesWritten;
        }
    }
    return Converted;
}

} // namespace

ConvertResult CellPipeline::run(const CellList& cells)
{
    filesWritten_ = 0;
    const int total = static_cast<int>(cells.size());
    auto report = [&](int done) {
        const ProgressReporter& p = job_.progress;
        return p.handler == nullptr || p.handler(p.user, done, total, filesWritten_) == 0;
    };
    if (!report(0))
        return Cancelled;

    Scheduler scheduler(effector_, job_, cells);
    auto work = [&scheduler] {
        std::unique_lock<std::mutex> guard(scheduler.lock);
        while (!scheduler.stopped) {
            Task task;
            if (!scheduler.take(task)) {
                scheduler.changed.wait(guard);
                continue;
            }
            guard.unlock();
            scheduler.run(task);
            guard.lock();
            scheduler.finish(task);
        }
    };
    // Declared in this order so that on the way out the others are told to
    // stop first, then joined, and only then the cells and their temporary
    // files go.
    auxlib::utility::WorkerThreads others(job_.threads - 1, work);
    StopOnExit stop{scheduler};

    std::unique_lock<std::mutex> guard(scheduler.lock);
    while (scheduler.firstOpen < scheduler.size()) {
        CellWork& next = scheduler.cell(scheduler.firstOpen);
        if (next.step == Done) {
            guard.unlock();
            const ConvertResult result = commit(next, filesWritten_);
            if (result != Converted)
                return result;
            guard.lock();
            ++scheduler.firstOpen;
            const int done = static_cast<int>(scheduler.firstOpen);
            guard.unlock();
            if (!report(done) && done < total)
                return Cancelled;
            guard.lock();
            continue;
        }
        Task task;
        if (scheduler.take(task)) {
            guard.unlock();
            scheduler.run(task);
            guard.lock();
            scheduler.finish(task);
            continue;
        }
        scheduler.changed.wait(guard);
    }
    return Converted;
}

} // namespace engine
