#include "cli/ProgressLine.h"

#include <algorithm>

namespace cli {

namespace {
// Redrawing more often is only flicker.
constexpr std::chrono::milliseconds redrawEvery{100};
} // namespace

ProgressLine::ProgressLine(std::FILE* terminal, bool shown, std::size_t inputs)
    : terminal_(terminal), shown_(shown && inputs > 1), inputs_(inputs), start_(std::chrono::steady_clock::now())
{
    if (shown_)
        draw(true);
}

ProgressLine::~ProgressLine() { finish(); }

std::string ProgressLine::text(std::size_t done, std::size_t inputs, long files, double seconds, int percent)
{
    char line[160];
    if (percent < 0)
        std::snprintf(line, sizeof line, "%zu of %zu pictures, %ld files written, %.1f s", done, inputs, files,
                      seconds);
    else
        std::snprintf(line, sizeof line, "%zu of %zu pictures, %ld files written, %.1f s, %d%% of the pictures under way",
                      done, inputs, files, seconds, percent);
    return line;
}

void ProgressLine::work(long long moreDone, long long moreTotal)
{
    if (!shown_)
        return;
    unitsDone_ += moreDone;
    unitsTotal_ += moreTotal;
    std::lock_guard<std::mutex> guard(lock_);
    draw(false);
}

void ProgressLine::filesWritten(int more)
{
    if (!shown_ || more <= 0)
        return;
    files_ += more;
    std::lock_guard<std::mutex> guard(lock_);
    draw(false);
}

void ProgressLine::inputDone()
{
    if (!shown_)
        return;
    std::lock_guard<std::mutex> guard(lock_);
    ++done_;
    draw(true);
}

void ProgressLine::print(std::FILE* stream, const std::string& line)
{
    std::lock_guard<std::mutex> guard(lock_);
    clear();
    std::fflush(terminal_);
    std::fputs(line.c_str(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
    if (shown_)
        draw(true);
}

void ProgressLine::finish()
{
    std::lock_guard<std::mutex> guard(lock_);
    clear();
    shown_ = false;
    std::fflush(terminal_);
}

void ProgressLine::draw(bool force)
{
    const auto now = std::chrono::steady_clock::now();
    if (!shown_ || (!force && drawn_ && now - lastDrawn_ < redrawEvery))
        return;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    // Back to the start of the line, the text, and the rest of the line
    // wiped.
    const long long total = unitsTotal_.load();
    const int percent = total > 0 ? int(std::min<long long>(unitsDone_.load(), total) * 100 / total) : -1;
    std::fprintf(terminal_, "\r%s\033[K", text(done_, inputs_, files_.load(), seconds, percent).c_str());
    std::fflush(terminal_);
    lastDrawn_ = now;
    drawn_ = true;
}

void ProgressLine::clear()
{
    if (drawn_)
        std::fputs("\r\033[K", terminal_);
    drawn_ = false;
}

} // namespace cli
