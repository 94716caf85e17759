#include "cli/FailureText.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace cli;

namespace {

PixwrightFailure failure(int code, int kind, const char* path = "", const char* reason = "", const char* other = "")
{
    PixwrightFailure f{};
    f.code = code;
    f.kind = kind;
    std::strncpy(f.path, path, sizeof f.path - 1);
    std::strncpy(f.reason, reason, sizeof f.reason - 1);
    std::strncpy(f.other, other, sizeof f.other - 1);
    return f;
}

} // namespace

TEST(CliFailureText, LanguageFollowsTheMessageLocale)
{
    EXPECT_EQ(messageLanguage(nullptr, nullptr, "ja_JP.UTF-8"), Language::Japanese);
    EXPECT_EQ(messageLanguage(nullptr, nullptr, "en_US.UTF-8"), Language::English);
    EXPECT_EQ(messageLanguage(nullptr, nullptr, nullptr), Language::English);
    EXPECT_EQ(messageLanguage(nullptr, nullptr, "C"), Language::English);
    // LC_ALL before LC_MESSAGES before LANG; an empty one does not count.
    EXPECT_EQ(messageLanguage("C.UTF-8", "ja_JP.UTF-8", "ja_JP.UTF-8"), Language::English);
    EXPECT_EQ(messageLanguage("", "ja_JP.UTF-8", "en_GB.UTF-8"), Language::Japanese);
    EXPECT_EQ(messageLanguage("", "", "ja"), Language::Japanese);
    EXPECT_EQ(messageLanguage("jam", nullptr, nullptr), Language::Japanese);
    EXPECT_EQ(messageLanguage(nullptr, "de_DE", "ja_JP"), Language::English);
}

TEST(CliFailureText, PathAndReasonInBothLanguages)
{
    struct Case {
        PixwrightFailure failure;
        const char* english;
        const char* japanese;
    };
    const Case cases[] = {
        {failure(10, PIXWRIGHT_FAILURE_SOURCE_NOT_OPENED, "/home/u/x.png", "No such file or directory"),
         "Cannot open '/home/u/x.png': No such file or directory",
         "'/home/u/x.png' を開けません: No such file or directory"},
        {failure(21, PIXWRIGHT_FAILURE_NOT_WRITTEN, "/out/World_00.png", "Permission denied"),
         "Cannot write '/out/World_00.png': Permission denied",
         "'/out/World_00.png' に書き込めません: Permission denied"},
        {failure(8, PIXWRIGHT_FAILURE_FOLDER_NO_PARENT, "/a/b/c", "No such file or directory", "/a/b"),
         "The output folder '/a/b/c' cannot be made: its parent '/a/b' does not exist",
         "出力フォルダ '/a/b/c' を作れません: 親フォルダ '/a/b' がありません。"},
        {failure(8, PIXWRIGHT_FAILURE_FOLDER_NOT_MADE, "/ro/new", "Permission denied"),
         "The output folder '/ro/new' cannot be made: Permission denied",
         "出力フォルダ '/ro/new' を作れません: Permission denied"},
        {failure(6, PIXWRIGHT_FAILURE_NOT_A_FOLDER, "/out/file.txt"), "The output folder '/out/file.txt' is not a folder.",
         "出力フォルダ '/out/file.txt' はフォルダではありません。"},
        {failure(10, PIXWRIGHT_FAILURE_SOURCE_NOT_DECODED, "/in/b.png", "Not a PNG file"),
         "Cannot read '/in/b.png' as a picture: Not a PNG file", "'/in/b.png' を画像として読めません: Not a PNG file"},
        // A decoder's reason of several lines stays on the one line.
        {failure(10, PIXWRIGHT_FAILURE_SOURCE_NOT_DECODED, "/in/c.png", "damaged PNG data\nlibpng error: CRC\n"),
         "Cannot read '/in/c.png' as a picture: damaged PNG data; libpng error: CRC",
         "'/in/c.png' を画像として読めません: damaged PNG data; libpng error: CRC"},
        // No reason given: none is made up.
        {failure(23, PIXWRIGHT_FAILURE_NOT_WRITTEN, "/out/a_alpha.bmp"), "Cannot write '/out/a_alpha.bmp'",
         "'/out/a_alpha.bmp' に書き込めません"},
        {failure(4, PIXWRIGHT_FAILURE_REQUEST),
         "No output is chosen: choose at least one of with alpha, without alpha and alpha only.",
         "出力する画像がありません。アルファチャネル付き、無し、のみのどれかを選んでください。"},
        {failure(6, PIXWRIGHT_FAILURE_REQUEST), "An output file name cannot begin with '.'.",
         "出力ファイル名を「.」で始めることはできません。"},
        {failure(30, PIXWRIGHT_FAILURE_INTERNAL, "", "bad_alloc"), "The conversion failed (code 30): bad_alloc",
         "変換中にエラーが起きました（コード 30）: bad_alloc"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(failureText(c.failure, Language::English), c.english);
        EXPECT_EQ(failureText(c.failure, Language::Japanese), c.japanese);
    }
}

TEST(CliFailureText, StoppedRun)
{
    EXPECT_EQ(stoppedText(0, Language::English), "stopped: 0 files written");
    EXPECT_EQ(stoppedText(1, Language::English), "stopped: 1 file written");
    EXPECT_EQ(stoppedText(51, Language::English), "stopped: 51 files written");
    EXPECT_EQ(stoppedText(51, Language::Japanese), "中止しました: 51 個のファイルを書き出しました");
}
