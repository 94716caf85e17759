#include "engine/CellPipeline.h"

#include "auxlib/error/LogCapture.h"
#include "auxlib/utility/WorkerPool.h"
#include "engine/LastFailure.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace engine {

using auxlib::draw::Success;
using auxlib::draw::Surface;

namespace {

// A cell's steps, in the order one thread would run them. Each step is a
// number of parts that may run side by side; a step starts when the one
// before it has finished.
enum Step { Prepare, Resample, Correct, Sharpen, Write, Done };

using Writer = ResultCode (*)(const Surface&, const std::string&, const WriteSettings&, StagedFile*);
constexpr Writer variantWriters[3] = {&PixSaver::writeNatural, &PixSaver::writeColor, &PixSaver::writeAlpha};
constexpr ConvertResult variantFailures[3] = {NaturalNotSaved, ColorNotSaved, AlphaNotSaved};

// While a work handler is set and the calling thread has nothing to do, it
// asks the handler this often whether to stop, so a cancel is prompt even
// while another thread writes a large file.
constexpr std::chrono::milliseconds cancelPoll(50);

// What one part of a step left: its log entries, whether it failed, and any
// exception.
struct PartOutcome {
    std::string log;
    bool failed = false;
    std::exception_ptr error;
};

struct VariantOutcome {
    int variant = 0;
    std::optional<StagedFile> file;
    ResultCode result = Success;
    // Why the file could not be written, when it could not.
    std::string reason;
    PartOutcome outcome;
};

struct CellWork {
    const Surface* cell = nullptr;
    int index = 0;
    int step = Prepare;
    int parts = 0;    // parts of the current step
    int handedOut = 0;
    int left = 0;     // parts of the current step not finished yet
    int bands = 1;    // parts of each banded step
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

// Bands of a cell of `height` rows: as many as bandRows-row pieces of the
// enlarged cell, as far as the kernels cut it at all.
int bandsOf(KernelSet kernels, std::int32_t height)
{
    if (kernels == KernelSet::Reference || height <= 0)
        return 1;
    const std::int32_t pairsPerBand = CellPipeline::bandRows / 2;
    return static_cast<int>((height + pairsPerBand - 1) / pairsPerBand);
}

class Scheduler {
public:
    Scheduler(const PixEffector& effector, const CellPipeline::Job& job, const CellList& cells)
        : effector_(effector), job_(job), cells_(cells.size())
    {
        for (size_t i = 0; i < cells.size(); ++i) {
            CellWork& w = cells_[i];
            w.cell = &cells[i];
            w.index = static_cast<int>(i);
            w.bands = bandsOf(job.kernels, cells[i].isValid() ? cells[i].height() : 0);
            for (int v = 0; v < 3; ++v)
                if (job.variants[v].selected)
                    w.variants.emplace_back().variant = v;
            unitsTotal += w.bands * (job.sharpenLevel > 0 ? 2 : 1) + static_cast<long long>(w.variants.size());
            startStep(w, Prepare);
        }
    }

    CellWork& cell(size_t i) { return cells_[i]; }
    size_t size() const { return cells_.size(); }

    std::mutex lock;
    std::condition_variable changed;
    bool stopped = false;
    size_t firstOpen = 0; // cells before it are committed
    long long unitsTotal = 0;
    long long unitsDone = 0;
    // Set on the calling thread once a handler asked to stop; the savers'
    // stop check reads it from any thread.
    std::atomic<bool> cancelled{false};

    // Under the lock: the next part to run, earliest cell first.
    bool take(Task& task)
    {
        if (stopped || cancelled)
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
        PartOutcome& outcome = outcomeOf(task);
        try {
            outcome.failed = !runPart(*task.work, task.step, task.part);
        } catch (...) {
            outcome.error = std::current_exception();
        }
        outcome.log = capture.take();
    }

    // Under the lock, after run.
    void finish(const Task& task)
    {
        CellWork& w = *task.work;
        const PartOutcome& outcome = outcomeOf(task);
        if ((outcome.error || outcome.failed) && task.step != Write)
            w.failed = true;
        if (task.step == Resample || task.step == Sharpen || task.step == Write)
            ++unitsDone;
        if (--w.left == 0) {
            startStep(w, w.step + 1);
            if (helpers != nullptr)
                helpers->renew();
        }
        changed.notify_all();
    }

    // The pool's threads lent to this run; set under the lock once offered.
    auxlib::utility::WorkerPool::Offer* helpers = nullptr;
    // A file's pieces stand on offer: the calling thread helps with them
    // rather than wait for the step that writes it.
    bool piecesOffered = false;

private:
    PartOutcome& outcomeOf(const Task& task) const
    {
        return task.step == Write ? task.work->variants[task.part].outcome
                                  : task.work->steps[task.step][task.part];
    }

    int partsOf(const CellWork& w, int step) const
    {
        switch (step) {
        case Prepare:
        case Correct:
            return 1;
        case Resample:
            return w.bands;
        case Sharpen:
            return w.enlargement->sharpens() ? w.bands : 0;
        case Write:
            return static_cast<int>(w.variants.size());
        default:
            return 0;
        }
    }

    // Under the lock.
    void startStep(CellWork& w, int step)
    {
        for (;; ++step) {
            if (w.failed || step >= Done) {
                // A failed cell's remaining units will never run; they are
                // counted so the total stays the one announced.
                if (step < Done)
                    unitsDone += unitsLeft(w, step);
                endCell(w);
                return;
            }
            if (step == Write) {
                w.output.emplace(w.enlargement->result());
                w.enlargement.reset();
                if (!w.output->isValid()) {
                    w.failed = true;
                    unitsDone += unitsLeft(w, Write);
                    endCell(w);
                    return;
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

    static void endCell(CellWork& w)
    {
        w.step = Done;
        w.parts = w.handedOut = w.left = 0;
        // The pictures are no longer needed once the files are written (or
        // cannot be).
        w.enlargement.reset();
        w.output.reset();
    }

    // The units of a cell from `step` on, the one under way included.
    long long unitsLeft(const CellWork& w, int step) const
    {
        long long units = 0;
        if (step <= Resample)
            units += w.bands;
        if (step <= Sharpen && job_.sharpenLevel > 0)
            units += w.bands;
        if (step <= Write)
            units += static_cast<long long>(w.variants.size());
        return units;
    }

    bool runPart(CellWork& w, int step, int part)
    {
        const CellPipeline::Job& j = job_;
        switch (step) {
        case Prepare:
            w.enlargement = makeEnlargement(j.kernels, effector_, *w.cell, j.gridWidth, j.gridHeight,
                                            j.sharpenLevel, j.eraseAlphaGrid);
            return w.enlargement->prepare();
        case Resample:
            return w.enlargement->resampleBand(part, w.parts);
        case Correct:
            return w.enlargement->correct();
        case Sharpen:
            return w.enlargement->sharpenBand(part, w.parts);
        case Write: {
            VariantOutcome& v = w.variants[part];
            const std::string name =
                makeOutputFileName(j.options, j.outputPath, w.index, j.variants[v.variant].suffix);
            v.file.emplace(name);
            v.result = variantWriters[v.variant](*w.output, name, j.write, &*v.file);
            if (v.result != Success && v.result != WriteStopped)
                v.reason = v.file->failureReason();
            return true;
        }
        default:
            return true;
        }
    }

    const PixEffector& effector_;
    const CellPipeline::Job& job_;
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

// The savers' pieces (a file compressed in parts) on the pool. The calling
// thread of the run is told that they stand: when a helper writes the file,
// the calling thread would otherwise only wait for it.
void runPieces(void* data, int count, WPX_Task task, void* taskData)
{
    Scheduler& scheduler = *static_cast<Scheduler*>(data);
    auxlib::utility::WorkerPool::shared().run(
        count, [task, taskData](int index) { task(taskData, index); },
        [&scheduler] {
            std::lock_guard<std::mutex> guard(scheduler.lock);
            scheduler.piecesOffered = true;
            scheduler.changed.notify_all();
        });
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
        if (v.result == WriteStopped)
            return Cancelled;
        if (v.result != Success) {
            noteFailure(PIXWRIGHT_FAILURE_NOT_WRITTEN, v.file ? v.file->finalName() : std::string(), v.reason);
            return variantFailures[v.variant];
        }
        if (v.file && v.file->written()) {
            if (!v.file->commit()) {
                PixSaver::logSaveFailure(v.file->finalName(), false);
                noteFailure(PIXWRIGHT_FAILURE_NOT_WRITTEN, v.file->finalName(), v.file->failureReason());
                return variantFailures[v.variant];
            }
            ++filesWritten;
        }
    }
    return Converted;
}

// The work progress of one run, reported on the calling thread only.
class WorkProgress {
public:
    WorkProgress(const WorkReporter& reporter, Scheduler& scheduler, const int& filesWritten)
        : reporter_(reporter), scheduler_(scheduler), filesWritten_(filesWritten),
          caller_(std::this_thread::get_id())
    {
    }

    bool active() const { return reporter_.handler != nullptr; }

    // Asks the handler with the units done so far (read under the lock by
    // the caller); false, and the scheduler cancelled, when it says stop.
    bool report(long long unitsDone)
    {
        if (reporter_.handler == nullptr)
            return true;
        if (unitsDone < reported_)
            unitsDone = reported_;
        reported_ = unitsDone;
        if (reporter_.handler(reporter_.user, unitsDone, scheduler_.unitsTotal, filesWritten_) == 0)
            return true;
        scheduler_.cancelled = true;
        return false;
    }

    // The savers' stop check: the cancel flag from any thread, and on the
    // calling thread the handler itself, so a file the calling thread
    // writes can be stopped while it is being written.
    static int shouldStop(void* data)
    {
        auto& self = *static_cast<WorkProgress*>(data);
        if (self.scheduler_.cancelled)
            return 1;
        if (std::this_thread::get_id() == self.caller_ && self.active() && !self.report(self.reported_))
            return 1;
        return 0;
    }

private:
    WorkReporter reporter_;
    Scheduler& scheduler_;
    const int& filesWritten_;
    std::thread::id caller_;
    long long reported_ = 0;
};

} // namespace

CellPipeline::CellPipeline(const PixEffector& effector, Job job) : effector_(effector), job_(std::move(job)) {}

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
    WorkProgress work(job_.work, scheduler, filesWritten_);
    if (!work.report(0))
        return Cancelled;
    job_.write.kernels = job_.kernels;
    job_.write.runTasks = &runPieces;
    job_.write.runnerData = &scheduler;
    if (work.active()) {
        job_.write.shouldStop = &WorkProgress::shouldStop;
        job_.write.abortData = &work;
    }

    // A helper with nothing to take goes back to the pool instead of
    // waiting here, free to help with a file's pieces meanwhile; the offer
    // is renewed whenever a step makes more parts ready.
    auto helping = [&scheduler] {
        std::unique_lock<std::mutex> guard(scheduler.lock);
        while (!scheduler.stopped) {
            Task task;
            if (!scheduler.take(task))
                return;
            guard.unlock();
            scheduler.run(task);
            guard.lock();
            scheduler.finish(task);
        }
    };
    // Declared in this order so that on the way out the helpers are told to
    // stop first, then waited for, and only then the cells and their
    // temporary files go.
    auxlib::utility::WorkerPool::Offer helpers(job_.threads - 1, helping);
    StopOnExit stop{scheduler};
    {
        std::lock_guard<std::mutex> guard(scheduler.lock);
        scheduler.helpers = &helpers;
    }

    std::unique_lock<std::mutex> guard(scheduler.lock);
    long long reported = 0;
    while (scheduler.firstOpen < scheduler.size()) {
        // A stop asked for inside a file (through the savers' check) ends
        // the run as one asked for between units does.
        if (scheduler.cancelled) {
            scheduler.changed.notify_all();
            return Cancelled;
        }
        if (work.active() && scheduler.unitsDone > reported) {
            reported = scheduler.unitsDone;
            guard.unlock();
            const bool goOn = work.report(reported);
            guard.lock();
            if (!goOn) {
                scheduler.changed.notify_all();
                return Cancelled;
            }
        }
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
        if (scheduler.piecesOffered) {
            scheduler.piecesOffered = false;
            guard.unlock();
            while (auxlib::utility::WorkerPool::shared().helpOnce()) {
            }
            guard.lock();
            continue;
        }
        if (!work.active()) {
            scheduler.changed.wait(guard);
            continue;
        }
        if (scheduler.changed.wait_for(guard, cancelPoll) == std::cv_status::timeout
            && scheduler.unitsDone == reported) {
            guard.unlock();
            const bool goOn = work.report(reported);
            guard.lock();
            if (!goOn) {
                scheduler.changed.notify_all();
                return Cancelled;
            }
        }
    }
    guard.unlock();
    // Everything is written and committed: the last report says so, with
    // every file counted, and a stop asked for now comes too late to change
    // anything.
    work.report(scheduler.unitsTotal);
    return Converted;
}

} // namespace engine
