#ifndef AUXLIB_ERROR_LOGCAPTURE_H
#define AUXLIB_ERROR_LOGCAPTURE_H

#include <string>

namespace auxlib::error {

// While a capture lives on a thread, the entries ErrorLogger writes on that
// thread are kept in it instead of reaching the log file. Work done on
// several threads captures its entries per unit and hands them to the log in
// the order one thread would have written them. Captures nest: the newest one
// on the thread takes the entries.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // The entries kept so far, exactly the bytes the log would have got.
    const std::string& text() const { return text_; }
    std::string take();

    void append(const std::string& entry) { text_ += entry; }

    // The capture active on the calling thread, or null.
    static LogCapture* active();

private:
    std::string text_;
    LogCapture* previous_;
};

// Appends kept entries to the log file (or to the capture active on this
// thread, if any), as ErrorLogger would have.
void writeLogText(const std::string& entries);

} // namespace auxlib::error

#endif
