#include "auxlib/utility/TemporaryFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>
#if !defined(_WIN32)
#  include <sys/wait.h>
#endif

using namespace auxlib::utility;

namespace {

class TemporaryFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        char templ[] = "/tmp/pixwright-temp-XXXXXX";
        ASSERT_NE(mkdtemp(templ), nullptr);
        root = templ;
    }
    void TearDown() override { std::system(("rm -rf '" + root + "'").c_str()); }

    std::string path(const std::string& name) const { return root + "/" + name; }
    std::string read(const std::string& name) const
    {
        std::ifstream in(path(name), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    void write(const std::string& name, const std::string& bytes, bool old = true) const
    {
        std::ofstream(path(name), std::ios::binary) << bytes;
        if (old) {
            // Written well before this process started.
            utimbuf times{1000000000, 1000000000};
            utime(path(name).c_str(), &times);
        }
    }
    bool present(const std::string& name) const
    {
        struct stat st;
#if defined(_WIN32)
        return stat(path(name).c_str(), &st) == 0;
#else
        return lstat(path(name).c_str(), &st) == 0;
#endif
    }

    std::string root;
};

#if !defined(_WIN32)
// A process id that belonged to a process that has ended.
unsigned long endedProcess()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    int status;
    waitpid(child, &status, 0);
    return static_cast<unsigned long>(child);
}
#endif

} // namespace

TEST_F(TemporaryFiles, NamesAreFreshUnguessableAndRecognised)
{
    const std::string pid = std::to_string(getpid());
    std::set<std::string> names;
    for (int i = 0; i < 64; ++i) {
        const std::string name = temporaryNameFor("out/World_00.png");
        ASSERT_EQ(name.rfind("out/World_00.~pw" + pid + "-", 0), 0u) << name;
        ASSERT_EQ(name.size(), std::string("out/World_00.~pw-.png").size() + pid.size() + 16) << name;
        unsigned long owner = 0;
        EXPECT_TRUE(parseTemporaryName(name.substr(4), &owner)) << name;
        EXPECT_EQ(owner, static_cast<unsigned long>(getpid()));
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 64u);
    EXPECT_EQ(temporaryNameFor("a.b/noext").rfind("a.b/noext.~pw", 0), 0u) << "a dot in a folder is no extension";

    unsigned long owner = 0;
    EXPECT_TRUE(parseTemporaryName("キャラ_03.~pw4711-12.bmp", &owner)) << "the older counting shape";
    EXPECT_EQ(owner, 4711ul);
    for (const char* other : {"World_00.png", "World_00.~pw.png", "World_00.~pw12-.png", "World_00.~pwx-1.png",
                              "World_00.~pw12-0123456789abcdeF.png", "World_00.~pw12-3.txt", "notes.~pw12-3",
                              ".~pw12-3.png", "World_00.~pw12-3.png.bak", "World_00.~pw12-0123456789abcdef0.png"})
        EXPECT_FALSE(parseTemporaryName(other, nullptr)) << other;
}

TEST_F(TemporaryFiles, CreationNeverFollowsOrReusesAName)
{
#if defined(_WIN32)
    GTEST_SKIP() << "plants symbolic links and checks POSIX modes";
#else
    write("target.txt", "precious", false);
    ASSERT_EQ(symlink(path("target.txt").c_str(), path("planted.png").c_str()), 0);
    errno = 0;
    EXPECT_EQ(createExclusive(path("planted.png")), nullptr);
    EXPECT_EQ(errno, EEXIST);
    ASSERT_EQ(symlink(path("nowhere.txt").c_str(), path("dangling.png").c_str()), 0);
    EXPECT_EQ(createExclusive(path("dangling.png")), nullptr) << "a dangling link is not created through";
    EXPECT_FALSE(present("nowhere.txt"));
    write("existing.png", "mine", false);
    EXPECT_EQ(createExclusive(path("existing.png")), nullptr);
    EXPECT_EQ(read("existing.png"), "mine");
    EXPECT_EQ(read("target.txt"), "precious");

    const mode_t mask = umask(022);
    std::FILE* file = createExclusive(path("fresh.png"));
    umask(mask);
    ASSERT_NE(file, nullptr);
    std::fputs("bytes", file);
    std::fclose(file);
    EXPECT_EQ(read("fresh.png"), "bytes");
    struct stat st;
    ASSERT_EQ(stat(path("fresh.png").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
#endif
}

TEST_F(TemporaryFiles, SweepRemovesOnlyWhatAnEndedRunLeft)
{
#if defined(_WIN32)
    GTEST_SKIP() << "needs fork for a process id that has ended, and symbolic links";
#else
    const std::string dead = std::to_string(endedProcess());
    const std::string alive = std::to_string(getppid());
    const std::string self = std::to_string(getpid());
    write("World_00.~pw" + dead + "-0123456789abcdef.png", "left by a killed run");
    write("World_01.~pw" + dead + "-7.bmp", "left by an older killed run");
    write("World_02.~pw" + alive + "-0123456789abcdef.png", "another run, still going");
    write("World_03.~pw" + self + "-0123456789abcdef.png", "this run's own");
    write("World_04.~pw" + dead + "-0123456789abcdef.png", "written since this run began", false);
    write("World_05.~pw" + dead + "-3.txt", "not a picture name");
    write("World_00.png", "a finished picture");
    write("notes.txt", "the user's");
    ASSERT_EQ(symlink(path("notes.txt").c_str(), path(("World_06.~pw" + dead + "-1.png")).c_str()), 0);

    EXPECT_EQ(sweepStaleTemporaries(root), 2);
    EXPECT_FALSE(present("World_00.~pw" + dead + "-0123456789abcdef.png"));
    EXPECT_FALSE(present("World_01.~pw" + dead + "-7.bmp"));
    for (const std::string& kept : {"World_02.~pw" + alive + "-0123456789abcdef.png",
                                   "World_03.~pw" + self + "-0123456789abcdef.png",
                                   "World_04.~pw" + dead + "-0123456789abcdef.png", "World_05.~pw" + dead + "-3.txt",
                                   std::string("World_00.png"), std::string("notes.txt"),
                                   "World_06.~pw" + dead + "-1.png"})
        EXPECT_TRUE(present(kept)) << kept;
    EXPECT_EQ(read("notes.txt"), "the user's");
    EXPECT_EQ(sweepStaleTemporaries(root + "/missing"), 0);
#endif
}
