#ifndef AUXLIB_UTILITY_PATH_H
#define AUXLIB_UTILITY_PATH_H

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace auxlib::utility {

// A path error carries the complete text the user is shown.
// The text is the whole message, as it has always been shown. The parts say
// which name or path it is about, the system's reason (empty for a name
// that breaks a rule) and the system's error number (0 for those).
class PathError : public std::runtime_error {
public:
    explicit PathError(const std::string& text, std::string subject = std::string(),
                       std::string reason = std::string(), int error = 0)
        : std::runtime_error(text), subject_(std::move(subject)), reason_(std::move(reason)), error_(error)
    {
    }

    const std::string& subject() const { return subject_; }
    const std::string& reason() const { return reason_; }
    int error() const { return error_; }

private:
    std::string subject_;
    std::string reason_;
    int error_;
};

// How each element of a parsed path is checked.
enum class NameRule {
    Folder,   // windowsName: anything a Windows folder may be called
    Portable, // portableName: an output name, relative and inside its folder
};

bool windowsName(const std::string& element);
// An element of an output name: any name the platform accepts for a file,
// in any script, except one that is empty, starts with ".", or holds a
// control character or a separator; on Windows also the reserved characters
// <>:"|?*, a trailing dot or space, and device names (CON, NUL, COM1, ...).
bool portableName(const std::string& element);

// A path in generic form: an optional root name ("C:" or "//server"), an
// optional root directory and the elements, joined with "/".
class Path {
public:
    Path() = default;

    // Parses text under the rule. The folder rule also takes "\" as a
    // separator and recognises root names; the portable rule takes only "/",
    // and refuses a root and ".." so a name never leaves its folder.
    // Throws PathError with the invalid-name or invalid-syntax text.
    static Path parse(const std::string& text, NameRule rule);

    bool empty() const { return rootName_.empty() && !rootDirectory_ && elements_.empty(); }
    const std::string& rootName() const { return rootName_; }
    bool hasRootDirectory() const { return rootDirectory_; }
    const std::vector<std::string>& elements() const { return elements_; }

    std::string generic() const;
    // The form handed to the operating system and shown in error texts.
    std::string native() const;

    // The last element without the part from its last "." on.
    std::string stem() const;
    // This path followed by the other path's elements.
    Path join(const Path& name) const;

private:
    std::string rootName_;
    bool rootDirectory_ = false;
    std::vector<std::string> elements_;
};

// Never fails: a path that cannot be looked at does not exist.
bool exists(const Path& path);
// Throws PathError with the is-folder text when the path cannot be examined.
bool isFolder(const Path& path);
// Creates one level. True when created, false when a folder of that name is
// there already; throws PathError when the path is a file or creation fails.
bool createFolder(const Path& path);

} // namespace auxlib::utility

#endif
