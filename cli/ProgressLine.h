#ifndef CLI_PROGRESSLINE_H
#define CLI_PROGRESSLINE_H

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>

namespace cli {

// One line of progress on standard error, redrawn in place: inputs done,
// files written and the time so far. Shown only on a terminal and for more
// than one input; anything else printed to standard error clears it first,
// so the line never mixes with a report.
class ProgressLine {
public:
    ProgressLine(std::FILE* terminal, bool shown, std::size_t inputs);
    ~ProgressLine();

    // From any thread: files written by a running conversion.
    void filesWritten(int more);
    // From any thread: work of the running conversions done and known, in
    // the engine's units; a finished conversion takes its own back out.
    void work(long long moreDone, long long moreTotal);
    // On the reporting thread: one more input finished.
    void inputDone();
    // Prints a line of its own to a stream (standard error or output, which
    // may share the terminal), above the progress line.
    void print(std::FILE* stream, const std::string& line);
    // Removes the line for good.
    void finish();

private:
    // The text of the line, without the terminal's control bytes.
    // percent below 0: no work known.
    static std::string text(std::size_t done, std::size_t inputs, long files, double seconds, int percent = -1);

    void draw(bool force);
    void clear();

    std::FILE* terminal_;
    bool shown_;
    std::size_t inputs_;
    std::size_t done_ = 0;
    std::atomic<long> files_{0};
    std::atomic<long long> unitsDone_{0};
    std::atomic<long long> unitsTotal_{0};
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDrawn_;
    bool drawn_ = false;
    std::mutex lock_;
};

} // namespace cli

#endif
