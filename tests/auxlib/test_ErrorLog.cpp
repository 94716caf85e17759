#include "auxlib/error/ErrorBox.h"
#include "auxlib/error/ErrorLogger.h"
#include "auxlib/error/Exception.h"
#include "auxlib/utility/ErrorStream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <fstream>
#if defined(_WIN32)
#  include <windows.h>
#else
#  include <dlfcn.h>
#  include <sys/wait.h>
#endif
#include <sstream>
#include <string>
#include <unistd.h>

using auxlib::error::ErrorLogger;

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool fileExists(const std::string& path) { return std::ifstream(path).good(); }

// The log's bytes for a text: Windows writes it in text mode, each line
// ended by CR LF as the system's editors expect.
std::string logBytes(std::string text)
{
#if defined(_WIN32)
    for (std::string::size_type at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2))
        text.insert(at, 1, '\r');
#endif
    return text;
}

// The log's text with its line ends as written in the program: "\n".
std::string logText(std::string bytes)
{
#if defined(_WIN32)
    for (std::string::size_type at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at))
        bytes.erase(at, 1);
#endif
    return bytes;
}

class ErrorLog : public ::testing::Test {
protected:
    void SetUp() override { std::remove("stderr.txt"); }
    void TearDown() override { std::remove("stderr.txt"); }
};

} // namespace

TEST_F(ErrorLog, EntryBytes)
{
    ErrorLogger("..\\..\\PixEffector", 126).put("サーフェイスのロックに失敗しました。");
    EXPECT_EQ(readFile("stderr.txt"),
              logBytes("Error!!\n  Program : ..\\..\\PixEffector(126)\n  Detail\n\nサーフェイスのロックに失敗しました。\n"));
}

TEST_F(ErrorLog, TwoEntriesAppendInOrderWithFormattedMessages)
{
    ErrorLogger("..\\..\\PixReplacer", 27).put(boost::format("(%d, %d) のＤＩＢ画像を作成できませんでした。") % 96 % 128);
    ErrorLogger("..\\..\\PixEffector", 61).put("サーフェイスの拡大に失敗。");
    EXPECT_EQ(readFile("stderr.txt"),
              logBytes("Error!!\n  Program : ..\\..\\PixReplacer(27)\n  Detail\n\n(96, 128) のＤＩＢ画像を作成できませんでした。\n"
                       "Error!!\n  Program : ..\\..\\PixEffector(61)\n  Detail\n\nサーフェイスの拡大に失敗。\n"));
}

TEST_F(ErrorLog, EmptyOrNullMessageWritesNoEntry)
{
    ErrorLogger("..\\..\\PixSaver", 82).put("");
    ErrorLogger("..\\..\\PixSaver", 82).put(static_cast<const char*>(nullptr));
    ErrorLogger("..\\..\\PixSaver", 82).put(std::string());
    ErrorLogger("..\\..\\PixSaver", 82).put(boost::format("%1%") % "");
    EXPECT_FALSE(fileExists("stderr.txt"));
}

TEST_F(ErrorLog, UnwritableLogLosesTheEntrySilently)
{
    ASSERT_EQ(mkdir("stderr.txt", 0755), 0);
    EXPECT_NO_THROW(ErrorLogger("..\\..\\PixSaver", 104).put("ＤＩＢを作成できませんでした。"));
    rmdir("stderr.txt");
}

TEST(Exceptions, RuntimeErrorTextOfLine125)
{
    auxlib::error::RuntimeError error("..\\..\\..\\auxlib\\utility\\SDLInitializer", 125);
    EXPECT_STREQ(error.what(), "");
    error.setDetail(std::string("SDLの初期化に失敗しました。"));
    const std::string expected = "Exception!!\n  Program : ..\\..\\..\\auxlib\\utility\\SDLInitializer(125)\n"
                                 "  Detail : SDLの初期化に失敗しました。";
    EXPECT_EQ(std::string(error.what()), expected);
    EXPECT_EQ(error.message(), expected);
    EXPECT_EQ(error.file(), "..\\..\\..\\auxlib\\utility\\SDLInitializer");
    EXPECT_EQ(error.line(), 125);

    auxlib::error::RuntimeError copy(error);
    EXPECT_EQ(std::string(copy.what()), expected);
    try {
        throw copy;
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()), expected);
    }
}

TEST(Exceptions, FormatDetail)
{
    auxlib::error::LogicError error("x", 7);
    error.setDetail(boost::format("%1%-%2%") % "a" % 3);
    EXPECT_STREQ(error.what(), "Exception!!\n  Program : x(7)\n  Detail : a-3");
}

namespace {
std::string boxCaption, boxText;
int boxCount = 0;
void capture(const char* caption, const char* text)
{
    boxCaption = caption;
    boxText = text;
    ++boxCount;
}
} // namespace

TEST(ErrorBox, InstalledHandlerReceivesCaptionAndText)
{
    auxlib::error::setErrorBoxHandler(capture);
    auxlib::error::showErrorBox(boost::format("%1%ファイルを開けません。") % "a.png");
    auxlib::error::setErrorBoxHandler(nullptr);
    EXPECT_EQ(boxCount, 1);
    EXPECT_EQ(boxCaption, "エラー発生！");
    EXPECT_EQ(boxText, "a.pngファイルを開けません。");
}

TEST(ErrorBox, WithoutHandlerWritesToStandardError)
{
#if defined(_WIN32)
    GTEST_SKIP() << "without a handler Windows shows MessageBoxA, a modal box no test can close";
#endif
    ::testing::internal::CaptureStderr();
    auxlib::error::showErrorBox(boost::format("出力画像がありません。"));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "エラー発生！\n出力画像がありません。\n");
}

namespace {

// The engine library, loaded afresh by name.
#if defined(_WIN32)
using Library = HMODULE;
Library openEngine() { return LoadLibraryA(PIXWRIGHT_BINARY_DIR "/engine/Pixwright_DLL.dll"); }
void* symbolOf(Library library, const char* name) { return reinterpret_cast<void*>(GetProcAddress(library, name)); }
void closeEngine(Library library) { FreeLibrary(library); }
#else
using Library = void*;
Library openEngine() { return dlopen(PIXWRIGHT_BINARY_DIR "/engine/libPixwright_DLL.so.1", RTLD_NOW | RTLD_LOCAL); }
void* symbolOf(Library library, const char* name) { return dlsym(library, name); }
void closeEngine(Library library) { dlclose(library); }
#endif

// Loads a fresh copy of the engine in a new scratch folder holding a
// stderr.txt with `before`, converts a missing picture (one log entry) and
// returns what stderr.txt holds then; `atLoad` gets what it held right after
// loading, or "(gone)".
std::string logAroundLoad(const std::string& before, std::string* atLoad)
{
    char folder[] = "/tmp/pixwright-load-XXXXXX";
    if (mkdtemp(folder) == nullptr)
        return "(no folder)";
    char previous[4096];
    if (getcwd(previous, sizeof previous) == nullptr || chdir(folder) != 0)
        return "(no chdir)";
    std::ofstream("stderr.txt", std::ios::binary) << before;
    Library library = openEngine();
    *atLoad = fileExists("stderr.txt") ? readFile("stderr.txt") : "(gone)";
    std::string after = "(no library)";
    if (library != nullptr) {
        using Handler = void (*)(const char*, const char*);
        using SetHandler = void (*)(Handler);
        using Convert = int (*)(const char*, const char*, const char*, int, int, int, int, int, int, int, int,
                                const char*, int, const char*, int, const char*);
        auto setHandler = reinterpret_cast<SetHandler>(symbolOf(library, "setErrorBoxHandler"));
        auto convert = reinterpret_cast<Convert>(symbolOf(library, "graphicConvert"));
        setHandler([](const char*, const char*) {});
        convert("missing.png", ".", "x", 0, 0, 0, 0, 0, 0, 1, 1, "", 0, "", 0, "");
        setHandler(nullptr);
        after = fileExists("stderr.txt") ? logText(readFile("stderr.txt")) : "(gone)";
        closeEngine(library);
    }
    std::remove("stderr.txt");
    if (chdir(previous) != 0)
        return "(no chdir back)";
    rmdir(folder);
    return after;
}

} // namespace

TEST(LibraryLoad, DeletesItsOwnLeftoverLog)
{
    std::string atLoad;
    const std::string after = logAroundLoad(
        "Error!!\n  Program : ..\\..\\Pixwright_DLL(120)\n  Detail\n\nan earlier run's entry\n", &atLoad);
    EXPECT_EQ(atLoad, "(gone)");
    EXPECT_EQ(after.rfind("Error!!\n  Program : ..\\..\\Pixwright_DLL(", 0), 0u) << after;
    EXPECT_EQ(after.find("an earlier run's entry"), std::string::npos) << after;
}

TEST(LibraryLoad, KeepsAUsersStderrTxtAndAppendsAfterIt)
{
    // A file of the same name that is not a log of ours: a user's notes, a
    // redirected stream, a log whose first line is something else.
    for (const std::string& before : {std::string("my notes\n"), std::string(), std::string("Error!!x\n"),
                                      std::string("error!!\n  Program : ...\n")}) {
        std::string atLoad;
        const std::string after = logAroundLoad(before, &atLoad);
        EXPECT_EQ(atLoad, before);
        EXPECT_EQ(after.compare(0, before.size(), before), 0) << after;
        EXPECT_NE(after.find("Error!!\n  Program : ..\\..\\Pixwright_DLL(", before.size()), std::string::npos)
            << after;
    }
}

TEST(ErrorLogFallback, AReadOnlyCurrentFolderSendsTheLogToTheStateFolder)
{
#if defined(_WIN32)
    GTEST_SKIP() << "needs fork and a folder its user cannot write (POSIX permissions)";
#else
    char scratch[] = "/tmp/pixwright-ro-XXXXXX";
    ASSERT_NE(mkdtemp(scratch), nullptr);
    const std::string root = scratch;
    const std::string readOnly = root + "/ro", state = root + "/state";
    ASSERT_EQ(mkdir(readOnly.c_str(), 0555), 0);
    ASSERT_EQ(mkdir(state.c_str(), 0777), 0);
    ASSERT_EQ(chmod(root.c_str(), 0755), 0);
    ASSERT_EQ(chmod(state.c_str(), 0777), 0);

    // In a child, so the move aside stays out of this process's log; as
    // root the child gives up root, to which every folder is writable.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(10);
        if (chdir(readOnly.c_str()) != 0)
            _exit(11);
        setenv("XDG_STATE_HOME", state.c_str(), 1);
        ErrorLogger("..\\..\\PixSaver", 82).put("ファイルを保存できませんでした。");
        ErrorLogger("..\\..\\PixSaver", 83).put("二つ目");
        const std::string expected = state + "/pixwright/stderr.txt";
        if (auxlib::utility::errorLogPath() != expected)
            _exit(12);
        if (readFile(expected) != "Error!!\n  Program : ..\\..\\PixSaver(82)\n  Detail\n\nファイルを保存できませんでした。\n"
                                  "Error!!\n  Program : ..\\..\\PixSaver(83)\n  Detail\n\n二つ目\n")
            _exit(13);
        _exit(fileExists("stderr.txt") ? 14 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10 no drop, 11 no chdir, 12 path, 13 bytes, 14 written in the folder";
    std::system(("rm -rf '" + root + "'").c_str());
#endif
}
