#ifndef AUXLIB_UTILITY_OUTPUTSTREAM_H
#define AUXLIB_UTILITY_OUTPUTSTREAM_H

#include "auxlib/ctl/SharedRef.h"

#include <boost/format.hpp>
#include <mutex>
#include <string>

namespace auxlib::utility {

// A sink for text. The non-virtual put() family drops empty and null texts
// before they reach write(), so no sink ever sees an empty message.
class IOutputStream {
public:
    virtual ~IOutputStream() = default;
    virtual void write(const char* text) = 0;

    void put(const std::string& text);
    void put(const char* text);
    void put(const boost::format& text);
    // Appends the line break that ends every log entry.
    void putLine(const boost::format& text);
};

class NullOutputStream : public IOutputStream {
public:
    void write(const char*) override {}
};

// The folder for a user's own state files: $XDG_STATE_HOME/pixwright, else
// ~/.local/state/pixwright (%LOCALAPPDATA%\pixwright on Windows); empty when
// the environment names none.
std::string userStateFolder();

// Appends each text to a file, opening and closing it every time so that
// every entry is on disk as soon as it is written. A relative file that
// cannot be written for want of permission moves, once, to the same name in
// userStateFolder(); other failures are silent.
class FileOutputStream : public IOutputStream {
public:
    FileOutputStream(const std::string& path, bool clear);
    void write(const char* text) override;
    // clear removes the file only when it holds this log's own entries.
    void setPath(const std::string& path, bool clear);
    void removeFile();
    // Where the entries go now (after a move to the state folder, there).
    std::string path() const;

private:
    mutable std::mutex lock_;
    std::string path_;
    bool movedAside_ = false;
};

// Shares one stream between owners; a null reference becomes a discarding
// stream so writers never have to test for one.
class OutputStreamHolder : public IOutputStream {
public:
    explicit OutputStreamHolder(ctl::SharedRef<IOutputStream> stream);
    void write(const char* text) override;

private:
    ctl::SharedRef<IOutputStream> stream_;
};

} // namespace auxlib::utility

#endif
