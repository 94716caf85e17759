#include "auxlib/utility/OutputStream.h"

#include "auxlib/utility/Text.h"

#include <boost/filesystem.hpp>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace auxlib::utility {

void IOutputStream::put(const std::string& text)
{
    if (text.empty())
        return;
    write(text.c_str());
}

void IOutputStream::put(const char* text)
{
    if (text == nullptr || *text == '\0')
        return;
    write(text);
}

void IOutputStream::put(const boost::format& text) { put(text.str()); }

void IOutputStream::putLine(const boost::format& text) { put(boost::format("%1%\n") % text.str()); }

namespace {

// Every entry the log holds starts with this line, so a file that does not
// is someone else's.
constexpr char entryStart[] = "Error!!";

bool writtenByLog(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    char head[sizeof entryStart + 1] = {};
    const size_t got = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    const size_t mark = sizeof entryStart - 1;
    if (got < mark + 1 || std::memcmp(head, entryStart, mark) != 0)
        return false;
    return head[mark] == '\n' || (head[mark] == '\r' && got > mark + 1 && head[mark + 1] == '\n');
}

bool notWritable(int error) { return error == EACCES || error == EROFS || error == EPERM; }

} // namespace

std::string userStateFolder()
{
#if defined(_WIN32)
    const char* local = std::getenv("LOCALAPPDATA");
    if (local != nullptr && *local != '\0')
        return std::string(local) + "\\pixwright";
    return std::string();
#else
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && *state == '/')
        return std::string(state) + "/pixwright";
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0')
        return std::string(home) + "/.local/state/pixwright";
    return std::string();
#endif
}

FileOutputStream::FileOutputStream(const std::string& path, bool clear) { setPath(path, clear); }

void FileOutputStream::write(const char* text)
{
    if (path_.empty() || text == nullptr)
        return;
    // Conversions may run on several threads; each text lands whole.
    std::lock_guard<std::mutex> guard(lock_);
    // Text mode: line breaks become the platform's own (CR LF on Windows).
    std::FILE* file = std::fopen(path_.c_str(), "a");
    if (file == nullptr && notWritable(errno) && !movedAside_) {
        // A folder the user may not write to (a read-only current folder):
        // the entries go to the user's own state folder rather than nowhere.
        movedAside_ = true;
        const std::string folder = userStateFolder();
        boost::system::error_code ec;
        const boost::filesystem::path relative(path_);
        if (!folder.empty() && relative.is_relative()) {
            boost::filesystem::create_directories(boost::filesystem::path(folder), ec);
            path_ = (boost::filesystem::path(folder) / relative.filename()).string();
            file = std::fopen(path_.c_str(), "a");
        }
    }
    if (file == nullptr)
        return;
    std::fputs(text, file);
    std::fclose(file);
}

void FileOutputStream::setPath(const std::string& path, bool clear)
{
    if (path.empty()) {
        path_.clear();
        return;
    }
    path_ = copyText(path);
    if (clear)
        removeFile();
}

void FileOutputStream::removeFile()
{
    // Only a log this stream's kind wrote: a file of the same name that a
    // user or another program keeps there is appended to instead.
    if (!path_.empty() && writtenByLog(path_))
        std::remove(path_.c_str());
}

std::string FileOutputStream::path() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return copyText(path_);
}

OutputStreamHolder::OutputStreamHolder(ctl::SharedRef<IOutputStream> stream)
    : stream_(stream ? std::move(stream) : ctl::SharedRef<IOutputStream>(new NullOutputStream))
{
}

void OutputStreamHolder::write(const char* text) { stream_->put(text); }

} // namespace auxlib::utility
