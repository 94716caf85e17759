// The main of every GoogleTest program. Each test case runs in a scratch
// folder of its own, made fresh before the case and removed after it, and
// that folder is the case's working folder: the engine writes its log to the
// current folder, so cases of one program (or of several programs run side
// by side by ctest -j) never see each other's log or files.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

// Cases may leave folders without write permission behind; they are opened
// up before everything goes.
void removeScratch(const std::filesystem::path& folder)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ec);
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(folder, ec);
}

class ScratchFolderPerCase : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override
    {
        std::error_code ec;
        previous_ = std::filesystem::current_path(ec);
        std::string templ = (std::filesystem::temp_directory_path(ec) / "pixwright-case-XXXXXX").string();
        if (mkdtemp(templ.data()) == nullptr) {
            std::perror("pixwright tests: cannot make a scratch folder");
            std::abort();
        }
        folder_ = templ;
        std::filesystem::current_path(folder_, ec);
        if (ec) {
            std::fprintf(stderr, "pixwright tests: cannot enter %s: %s\n", folder_.string().c_str(),
                         ec.message().c_str());
            std::abort();
        }
    }

    void OnTestEnd(const ::testing::TestInfo& info) override
    {
        std::error_code ec;
        std::filesystem::current_path(previous_, ec);
        // A failed case keeps its folder for a look at what it left.
        if (info.result()->Passed() || std::getenv("PIXWRIGHT_KEEP_SCRATCH") == nullptr) {
            removeScratch(folder_);
        } else {
            std::fprintf(stderr, "pixwright tests: scratch folder kept: %s\n", folder_.string().c_str());
        }
    }

private:
    std::filesystem::path previous_;
    std::filesystem::path folder_;
};

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ScratchFolderPerCase);
    return RUN_ALL_TESTS();
}
