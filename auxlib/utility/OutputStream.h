#ifndef AUXLIB_UTILITY_OUTPUTSTREAM_H
#define AUXLIB_UTILITY_OUTPUTSTREAM_H

#include "auxlib/ctl/SharedRef.h"

#include <boost/format.hpp>
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

// Appends each text to a file, opening and closing it every time so that
// every entry is on disk as soon as it is written. Failures are silent.
class FileOutputStream : public IOutputStream {
public:
    FileOutputStream(const std::string& path, bool clear);
    void write(const char* text) override;
    virtual void setPath(const std::string& path, bool clear);
    virtual void removeFile();
    virtual std::string path() const;

private:
    std::string path_;
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
