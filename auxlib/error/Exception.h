#ifndef AUXLIB_ERROR_EXCEPTION_H
#define AUXLIB_ERROR_EXCEPTION_H

#include <boost/format.hpp>
#include <exception>
#include <string>

namespace auxlib::error {

// The engine's own exceptions. The message already names the source and line
// it was raised at, so a handler can show what() as it stands.
class Exception : public std::exception {
public:
    Exception(const char* file, int line);
    ~Exception() override = default;

    const char* what() const noexcept override { return message_.c_str(); }
    virtual void setDetail(const boost::format& detail);
    virtual void setDetail(const std::string& detail);
    virtual std::string message() const;
    virtual std::string file() const { return file_; }
    virtual int line() const { return line_; }

private:
    std::string message_;
    std::string file_;
    int line_;
};

// Raised for calls made in the wrong order.
class LogicError : public Exception {
public:
    using Exception::Exception;
};

// Raised when the environment (SDL) fails.
class RuntimeError : public Exception {
public:
    using Exception::Exception;
};

} // namespace auxlib::error

#endif
