#include "auxlib/utility/Path.h"

#include <boost/filesystem.hpp>

#include <algorithm>
#include <cerrno>

#if defined(_WIN32)
#  include <windows.h>
#endif

namespace auxlib::utility {

namespace {

constexpr char quote = '"';

#if defined(_WIN32)
constexpr char nativeSeparator = '\\';
#else
constexpr char nativeSeparator = '/';
#endif

bool isSeparator(char c, NameRule rule) { return c == '/' || (rule == NameRule::Folder && c == '\\'); }

bool passes(const std::string& element, NameRule rule)
{
    return rule == NameRule::Folder ? windowsName(element) : portableName(element);
}

bool endsInDot(const std::string& element) { return !element.empty() && element.back() == '.'; }

[[noreturn]] void invalidName(const std::string& element, const std::string& text)
{
    throw PathError(std::string("boost::filesystem::path") + ": " + "invalid name " + quote + element + quote
                    + " in path: " + quote + text + quote, element);
}

[[noreturn]] void invalidSyntax(const std::string& text)
{
    throw PathError(std::string("boost::filesystem::path") + ": " + "invalid path syntax: " + quote + text + quote,
                    text);
}

std::string folderCallText(const char* call, const Path& path, const std::string& reason)
{
    return std::string(call) + ": " + quote + path.native() + quote + ": " + reason;
}

#if !defined(_WIN32)
boost::filesystem::path osPath(const Path& path) { return boost::filesystem::path(path.native()); }
#endif

} // namespace

bool windowsName(const std::string& element)
{
    if (element.empty())
        return false;
    for (unsigned char c : element) {
        if (c <= 0x1F || c == '"' || c == '/' || c == ':' || c == '<' || c == '>' || c == '\\' || c == '|')
            return false;
    }
    if (element.back() == ' ')
        return false;
    return element.back() != '.' || element == "." || element == "..";
}

namespace {

#if defined(_WIN32)
// Names Windows gives to devices in every folder, with or without an
// extension: "NUL.png" opens the null device, not a file.
bool deviceName(const std::string& element)
{
    std::string base = element.substr(0, element.find('.'));
    for (char& c : base)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* device : devices)
        if (base == device)
            return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0)
           && base[3] >= '1' && base[3] <= '9';
}
#endif

} // namespace

bool portableName(const std::string& element)
{
    // Any name the platform takes, in any script: the engine passes the
    // bytes on unchanged (UTF-8 here, the ANSI code page on Windows). What
    // is refused would name another place or no file at all.
    if (element.empty() || element.front() == '.')
        return false;
    for (unsigned char c : element) {
        if (c <= 0x1F || c == 0x7F || c == '/' || c == '\\')
            return false;
#if defined(_WIN32)
        if (c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' || c == '*')
            return false;
#endif
    }
#if defined(_WIN32)
    // Windows drops a trailing dot or space, so the file would get another name.
    if (element.back() == '.' || element.back() == ' ' || deviceName(element))
        return false;
#endif
    return true;
}

Path Path::parse(const std::string& text, NameRule rule)
{
    Path path;
    if (text.empty())
        return path;

    const size_t size = text.size();
    size_t pos = 0;
    if (rule == NameRule::Folder && size >= 2) {
        if (text[1] == ':' || text.back() == ':') {
            pos = text.find(':') + 1;
            path.rootName_ = text.substr(0, pos);
        } else if (isSeparator(text[0], rule) && isSeparator(text[1], rule)) {
            size_t end = 2;
            while (end < size && !isSeparator(text[end], rule))
                ++end;
            path.rootName_ = "//" + text.substr(2, end - 2);
            pos = end;
        }
    }
    if (pos < size && isSeparator(text[pos], rule)) {
        // An output name is relative to its folder and cannot leave it.
        if (rule == NameRule::Portable)
            invalidSyntax(text);
        path.rootDirectory_ = true;
        ++pos;
    }

    while (pos < size) {
        // A lone separator at the very end closes the path.
        if (pos == size - 1 && isSeparator(text[pos], rule))
            break;
        if (text.compare(pos, 2, "..") == 0) {
            if (rule == NameRule::Portable)
                invalidName(text.substr(pos, std::min(text.find('/', pos), size) - pos), text);
            if (pos + 2 < size && !isSeparator(text[pos + 2], rule))
                invalidSyntax(text);
            if (!path.elements_.empty() && !endsInDot(path.elements_.back()))
                path.elements_.pop_back();
            else
                path.elements_.push_back("..");
            pos += 3;
            continue;
        }
        // The first byte always belongs to the element, so of two separators
        // in a row the second starts the next element and fails the rule.
        size_t end = pos + 1;
        while (end < size && !isSeparator(text[end], rule))
            ++end;
        std::string element = text.substr(pos, end - pos);
        if (!passes(element, rule))
            invalidName(element, text);
        path.elements_.push_back(element);
        pos = end + 1;
    }

    if (path.rootDirectory_) {
        size_t climbs = 0;
        while (climbs < path.elements_.size() && path.elements_[climbs] == "..")
            ++climbs;
        path.elements_.erase(path.elements_.begin(), path.elements_.begin() + static_cast<long>(climbs));
    }
    return path;
}

std::string Path::generic() const
{
    std::string text = rootName_;
    if (rootDirectory_)
        text += '/';
    for (size_t i = 0; i < elements_.size(); ++i) {
        if (i > 0)
            text += '/';
        text += elements_[i];
    }
    return text;
}

std::string Path::native() const
{
    std::string text = generic();
    for (char& c : text) {
        if (c == '/')
            c = nativeSeparator;
    }
    return text;
}

std::string Path::stem() const
{
    if (elements_.empty())
        return std::string();
    const std::string& last = elements_.back();
    size_t dot = last.rfind('.');
    return dot == std::string::npos ? last : last.substr(0, dot);
}

Path Path::join(const Path& name) const
{
    Path joined = *this;
    joined.elements_.insert(joined.elements_.end(), name.elements_.begin(), name.elements_.end());
    return joined;
}

#if defined(_WIN32)

namespace {

// The system's own text for an error code, without its closing line break.
std::string systemMessage(DWORD code)
{
    char* text = nullptr;
    const DWORD size = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                          | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = size != 0 && text != nullptr ? std::string(text, size) : std::string();
    LocalFree(text);
    while (!message.empty() && (message.back() == '\r' || message.back() == '\n'))
        message.pop_back();
    if (message.empty())
        message = "error " + std::to_string(code);
    return message;
}

// The POSIX number of a folder call's failure, which callers compare as on
// other systems: a missing parent is ENOENT, a file in the way ENOTDIR.
int posixError(DWORD code, const Path& path)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
        return ENOENT;
    case ERROR_PATH_NOT_FOUND: {
        // Windows says "path not found" for a file where a folder of the
        // path should be, too.
        const std::string parent = boost::filesystem::path(path.native()).parent_path().string();
        const DWORD attributes = parent.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(parent.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ? ENOTDIR
                                                                                                     : ENOENT;
    }
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return EEXIST;
    default:
        return EIO;
    }
}

// A folder call's failure, its parts as on other systems.
[[noreturn]] void throwFolderError(const char* call, const Path& path, DWORD code)
{
    const std::string reason = systemMessage(code);
    throw PathError(folderCallText(call, path, reason), path.native(), reason, posixError(code, path));
}

} // namespace

// The calls the engine was written for. Narrow strings reach them unchanged:
// the programs run with UTF-8 as their code page (their manifest says so).
bool exists(const Path& path)
{
    if (GetFileAttributesA(path.generic().c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_NOT_READY:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_PARAMETER:
    case ERROR_INVALID_NAME:
        return false;
    default:
        return true;
    }
}

bool isFolder(const Path& path)
{
    const DWORD attributes = GetFileAttributesA(path.native().c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        throwFolderError("boost::filesystem::is_directory", path, GetLastError());
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool createFolder(const Path& path)
{
    if (CreateDirectoryA(path.native().c_str(), nullptr))
        return true;
    const DWORD code = GetLastError();
    if (code == ERROR_ALREADY_EXISTS) {
        const DWORD attributes = GetFileAttributesA(path.native().c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            return false;
        throw PathError(folderCallText("boost::filesystem::create_directory", path,
                                       "path exists and is not a directory"),
                        path.native(), "path exists and is not a directory", ENOTDIR);
    }
    throwFolderError("boost::filesystem::create_directory", path, code);
}

#else

bool exists(const Path& path)
{
    boost::system::error_code ec;
    boost::filesystem::file_status status = boost::filesystem::status(osPath(path), ec);
    if (ec) {
        // The equivalents of "not found", "bad name" and "invalid parameter"
        // mean there is nothing there; any other failure means something is.
        int code = ec.value();
        return !(code == ENOENT || code == ENOTDIR || code == ENAMETOOLONG || code == EINVAL || code == ELOOP);
    }
    return boost::filesystem::exists(status);
}

bool isFolder(const Path& path)
{
    boost::system::error_code ec;
    boost::filesystem::file_status status = boost::filesystem::status(osPath(path), ec);
    if (ec)
        throw PathError(folderCallText("boost::filesystem::is_directory", path, ec.message()), path.native(),
                        ec.message(), ec.value());
    return boost::filesystem::is_directory(status);
}

bool createFolder(const Path& path)
{
    boost::system::error_code ec;
    bool created = boost::filesystem::create_directory(osPath(path), ec);
    if (created && !ec)
        return true;
    boost::system::error_code statusError;
    bool folder = boost::filesystem::is_directory(osPath(path), statusError);
    if (!ec || ec.value() == EEXIST) {
        if (folder)
            return false;
        throw PathError(folderCallText("boost::filesystem::create_directory", path,
                                       "path exists and is not a directory"),
                        path.native(), "path exists and is not a directory", ENOTDIR);
    }
    throw PathError(folderCallText("boost::filesystem::create_directory", path, ec.message()), path.native(),
                    ec.message(), ec.value());
}

#endif

} // namespace auxlib::utility
