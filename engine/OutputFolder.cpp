#include "engine/OutputFolder.h"

#include "auxlib/utility/TemporaryFile.h"

#include <boost/filesystem.hpp>

#include <map>
#include <mutex>
#include <set>

namespace engine {

namespace {

std::mutex& foldersLock()
{
    static std::mutex lock;
    return lock;
}

// Folders made by conversions still running, with the number using each.
std::map<std::string, int>& madeFolders()
{
    static std::map<std::string, int> folders;
    return folders;
}

// Folders this process has already cleared of a killed run's temporary
// files: once per folder is enough, later files are this run's own.
std::set<std::string>& sweptFolders()
{
    static std::set<std::string> folders;
    return folders;
}

void sweepOnce(const std::string& native)
{
    if (sweptFolders().insert(native).second)
        auxlib::utility::sweepStaleTemporaries(native.empty() ? std::string(".") : native);
}

} // namespace

OutputFolder::State OutputFolder::prepare(const auxlib::utility::Path& folder)
{
    std::lock_guard<std::mutex> guard(foldersLock());
    const std::string native = folder.native();
    if (auxlib::utility::exists(folder)) {
        if (!auxlib::utility::isFolder(folder))
            return State::NotAFolder;
        sweepOnce(native);
        auto made = madeFolders().find(native);
        if (made != madeFolders().end()) {
            ++made->second;
            claimed_ = native;
        }
        return State::Ready;
    }
    if (!auxlib::utility::createFolder(folder))
        return State::NotCreated;
    madeFolders()[native] = 1;
    claimed_ = native;
    return State::Ready;
}

OutputFolder::~OutputFolder()
{
    if (claimed_.empty())
        return;
    std::lock_guard<std::mutex> guard(foldersLock());
    auto made = madeFolders().find(claimed_);
    if (made == madeFolders().end() || --made->second > 0)
        return;
    madeFolders().erase(made);
    boost::system::error_code ec;
    const boost::filesystem::path path(claimed_);
    if (boost::filesystem::is_empty(path, ec) && !ec)
        boost::filesystem::remove(path, ec);
}

} // namespace engine
