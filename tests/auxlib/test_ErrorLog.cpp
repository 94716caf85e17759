#include "auxlib/error/ErrorBox.h"
#include "auxlib/error/ErrorLogger.h"
#include "auxlib/error/Exception.h"
#include "auxlib/utility/ErrorStream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <dlfcn.h>
#include <fstream>
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
              "Error!!\n  Program : ..\\..\\PixEffector(126)\n  Detail\n\nサーフェイスのロックに失敗しました。\n");
}

TEST_F(ErrorLog, TwoEntriesAppendInOrderWithFormattedMessages)
{
    ErrorLogger("..\\..\\PixReplacer", 27).put(boost::format("(%d, %d) のＤＩＢ画像を作成できませんでした。") % 96 % 128);
    ErrorLogger("..\\..\\PixEffector", 61).put("サーフェイスの拡大に失敗。");
    EXPECT_EQ(readFile("stderr.txt"),
              "Error!!\n  Program : ..\\..\\PixReplacer(27)\n  Detail\n\n(96, 128) のＤＩＢ画像を作成できませんでした。\n"
              "Error!!\n  Program : ..\\..\\PixEffector(61)\n  Detail\n\nサーフェイスの拡大に失敗。\n");
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
    ::testing::internal::CaptureStderr();
    auxlib::error::showErrorBox(boost::format("出力画像がありません。"));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "エラー発生！\n出力画像がありません。\n");
}

TEST(LibraryLoad, DeletesALeftoverLogAndWritesNoneOfItsOwn)
{
    char folder[] = "/tmp/pixwright-load-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(folder), 0);
    {
        std::ofstream old("stderr.txt");
        old << "entries of an earlier run";
    }
    void* library = dlopen(PIXWRIGHT_BINARY_DIR "/engine/libPixwright_DLL.so.1", RTLD_NOW | RTLD_LOCAL);
    const bool gone = !fileExists("stderr.txt");
    if (library != nullptr)
        dlclose(library);
    EXPECT_FALSE(fileExists("stderr.txt"));
    ASSERT_EQ(chdir(previous), 0);
    rmdir(folder);
    ASSERT_NE(library, nullptr) << dlerror();
    EXPECT_TRUE(gone);
}
