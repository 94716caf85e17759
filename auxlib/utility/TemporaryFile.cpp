#include "auxlib/utility/TemporaryFile.h"

#include <boost/filesystem.hpp>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <random>

#if defined(_WIN32)
#  include <fcntl.h>
#  include <io.h>
#  include <process.h>
#  include <sys/stat.h>
#  include <windows.h>
#else
#  include <fcntl.h>
#  include <signal.h>
#  include <sys/stat.h>
#  include <unistd.h>
#endif

namespace auxlib::utility {

namespace {

constexpr char marker[] = ".~pw";
constexpr int randomDigits = 16;

unsigned long currentProcessId()
{
#if defined(_WIN32)
    return static_cast<unsigned long>(GetCurrentProcessId());
#else
    return static_cast<unsigned long>(getpid());
#endif
}

// When this process began converting: a temporary file written since then
// may belong to a run that is still going.
std::time_t processStart()
{
    static const std::time_t start = std::time(nullptr);
    return start;
}
const std::time_t touchedAtLoad = processStart();

std::string randomHex()
{
    // random_device is the system's entropy; the engine generator mixed in
    // keeps names distinct even where random_device were deterministic.
    static std::mutex lock;
    static std::mt19937_64 mixer([] {
        std::random_device device;
        const std::uint64_t clock = static_cast<std::uint64_t>(
            std::chrono::high_resolution_clock::now().time_since_epoch().count());
        return (std::uint64_t(device()) << 32 ^ device()) ^ clock ^ (std::uint64_t(currentProcessId()) << 17);
    }());
    std::uint64_t value;
    {
        std::lock_guard<std::mutex> guard(lock);
        // Made once: opening the system's source for every name cost more
        // than writing a small file.
        static std::random_device device;
        value = mixer() ^ (std::uint64_t(device()) << 32 | device());
    }
    static const char digits[] = "0123456789abcdef";
    std::string text(randomDigits, '0');
    for (int i = randomDigits - 1; i >= 0; --i, value >>= 4)
        text[static_cast<size_t>(i)] = digits[value & 0xF];
    return text;
}

bool processAlive(unsigned long id)
{
#if defined(_WIN32)
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
    if (process == nullptr)
        return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
#else
    if (id == 0 || id > 0x7FFFFFFFul)
        return false;
    // EPERM: the process exists but belongs to someone else.
    return kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM;
#endif
}

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::string temporaryNameFor(const std::string& finalName)
{
    const std::string tag = marker + std::to_string(currentProcessId()) + "-" + randomHex();
    const std::string::size_type slash = finalName.find_last_of("/\\");
    const std::string::size_type dot = finalName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return finalName + tag;
    return finalName.substr(0, dot) + tag + finalName.substr(dot);
}

std::FILE* createExclusive(const std::string& path)
{
#if defined(_WIN32)
    // _O_EXCL is CREATE_NEW underneath: an existing file or link fails.
    const int fd = _open(path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return nullptr;
    std::FILE* file = _fdopen(fd, "wb");
    if (file == nullptr)
        _close(fd);
    return file;
#else
    const int fd = open(path.c_str(), O_CREAT | O_EXCL | O_NOFOLLOW | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0)
        return nullptr;
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        const int saved = errno;
        close(fd);
        errno = saved;
    }
    return file;
#endif
}

bool parseTemporaryName(const std::string& fileName, unsigned long* processId)
{
    // <anything>.~pw<digits>-<16 hex>[.<ext>], or the shape of older runs,
    // <anything>.~pw<digits>-<digits>[.<ext>], whose number counted up.
    const std::string::size_type at = fileName.rfind(marker);
    if (at == std::string::npos || at == 0)
        return false;
    std::string::size_type pos = at + sizeof(marker) - 1;
    const std::string::size_type idStart = pos;
    while (pos < fileName.size() && isDigit(fileName[pos]))
        ++pos;
    if (pos == idStart || pos - idStart > 10 || pos >= fileName.size() || fileName[pos] != '-')
        return false;
    const unsigned long id = std::stoul(fileName.substr(idStart, pos - idStart));
    ++pos;
    const std::string::size_type tagStart = pos;
    while (pos < fileName.size() && fileName[pos] != '.')
        ++pos;
    const std::string tag = fileName.substr(tagStart, pos - tagStart);
    bool random = tag.size() == randomDigits;
    bool counter = !tag.empty() && tag.size() <= 10;
    for (char c : tag) {
        random = random && isHexDigit(c);
        counter = counter && isDigit(c);
    }
    if (!random && !counter)
        return false;
    // What follows is the final name's extension: one the writers give.
    const std::string ext = pos < fileName.size() ? fileName.substr(pos + 1) : std::string();
    if (ext != "png" && ext != "bmp" && ext != "jpg")
        return false;
    if (processId != nullptr)
        *processId = id;
    return true;
}

int sweepStaleTemporaries(const std::string& folder)
{
    namespace fs = boost::filesystem;
    (void)touchedAtLoad;
    int removed = 0;
    boost::system::error_code ec;
    fs::directory_iterator it(fs::path(folder), ec);
    if (ec)
        return 0;
    const unsigned long self = currentProcessId();
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        unsigned long owner = 0;
        if (!parseTemporaryName(it->path().filename().string(), &owner))
            continue;
        // A link or folder of that name was not made by a run: leave it.
        const fs::file_status status = fs::symlink_status(it->path(), ec);
        if (ec || status.type() != fs::regular_file)
            continue;
        if (owner == self || processAlive(owner))
            continue;
        const std::time_t written = fs::last_write_time(it->path(), ec);
        if (ec || written >= processStart())
            continue;
        if (fs::remove(it->path(), ec) && !ec)
            ++removed;
    }
    return removed;
}

} // namespace auxlib::utility
