#include "auxlib/utility/OutputStream.h"

#include "auxlib/utility/Text.h"

#include <cstdio>
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

FileOutputStream::FileOutputStream(const std::string& path, bool clear) { setPath(path, clear); }

void FileOutputStream::write(const char* text)
{
    if (path_.empty() || text == nullptr)
        return;
    // Conversions may run on several threads; each text lands whole.
    static std::mutex appendLock;
    std::lock_guard<std::mutex> guard(appendLock);
    // Text mode: line breaks become the platform's own (CR LF on Windows).
    std::FILE* file = std::fopen(path_.c_str(), "a");
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
    if (!path_.empty())
        std::remove(path_.c_str());
}

std::string FileOutputStream::path() const { return copyText(path_); }

OutputStreamHolder::OutputStreamHolder(ctl::SharedRef<IOutputStream> stream)
    : stream_(stream ? std::move(stream) : ctl::SharedRef<IOutputStream>(new NullOutputStream))
{
}

void OutputStreamHolder::write(const char* text) { stream_->put(text); }

} // namespace auxlib::utility
