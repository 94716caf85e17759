#include "fuzz/FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace fuzz {

namespace {

namespace fs = std::filesystem;

std::string madeFolder;

void openUp(const fs::path& folder)
{
    std::error_code ec;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ec);
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
}

void removeScratch()
{
    if (madeFolder.empty())
        return;
    std::error_code ec;
    openUp(madeFolder);
    fs::remove_all(madeFolder, ec);
}

} // namespace

const std::string& scratchFolder()
{
    if (madeFolder.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        std::string templ = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/pixwright-fuzz-XXXXXX";
        if (mkdtemp(templ.data()) == nullptr) {
            std::perror("pixwright fuzz: cannot make a scratch folder");
            std::abort();
        }
        madeFolder = templ;
        std::atexit(removeScratch);
    }
    return madeFolder;
}

void checkFailed(const char* file, int line, const char* condition)
{
    std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", file, line, condition);
    std::abort();
}

void emptyFolder(const std::string& folder)
{
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        fs::create_directories(folder, ec);
        return;
    }
    openUp(folder);
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec))
        fs::remove_all(entry.path(), ec);
}

bool writeFile(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = (size == 0 || std::fwrite(data, 1, size, file) == size);
    return std::fclose(file) == 0 && written;
}

std::uint8_t ByteReader::byte()
{
    if (used_ >= size_)
        return 0;
    return data_[used_++];
}

std::uint16_t ByteReader::word()
{
    const std::uint16_t low = byte();
    return static_cast<std::uint16_t>(low | byte() << 8);
}

std::string ByteReader::text(std::size_t maxLength)
{
    std::string out;
    while (out.size() < maxLength && used_ < size_) {
        const char c = static_cast<char>(data_[used_++]);
        if (c == '\0')
            break;
        out += c;
    }
    return out;
}

} // namespace fuzz
