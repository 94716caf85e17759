#include "ConvertFixtures.h"
#include "SystemText.h"

#include <sys/stat.h>

#include <fstream>
#include <string>
#include <thread>

namespace {

class LastFailure : public ConvertTest {
protected:
    // Nearest neighbour, no grid, PNG with all three outputs.
    int run(const std::string& source, const std::string& folder, const char* name = nullptr)
    {
        return graphicConvert(source.c_str(), folder.c_str(), name, 0, 0, 0, 0, 0, 0, 1, 1, "", 1, "color", 1,
                              "alpha");
    }

    PixwrightFailure last()
    {
        PixwrightFailure failure{};
        EXPECT_EQ(getLastFailure(&failure), failure.code);
        return failure;
    }
};

} // namespace

TEST_F(LastFailure, SourceThatIsMissingOrNoPicture)
{
    EXPECT_EQ(run(path("gone.png"), path("out")), 10);
    PixwrightFailure f = last();
    EXPECT_EQ(f.code, 10);
    EXPECT_EQ(f.kind, PIXWRIGHT_FAILURE_SOURCE_NOT_OPENED);
    EXPECT_EQ(std::string(f.path), path("gone.png"));
    EXPECT_STREQ(f.reason, "No such file or directory");
    // The box and its text are what they always were.
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], path("gone.png") + "ファイルを開けません。");

    std::ofstream(path("text.png")) << "not a picture";
    EXPECT_EQ(run(path("text.png"), path("out")), 10);
    f = last();
    EXPECT_EQ(f.kind, PIXWRIGHT_FAILURE_SOURCE_NOT_DECODED);
    EXPECT_EQ(std::string(f.path), path("text.png"));
    EXPECT_NE(std::string(f.reason), "");
    EXPECT_EQ(boxes.back(), path("text.png") + "ファイルを開けません。");
}

TEST_F(LastFailure, OutputFolders)
{
    writeGradientBmp(path("in.bmp"), 3, 2);
    // Two levels that do not exist: the parent is named.
    EXPECT_EQ(run(path("in.bmp"), path("a/b/c")), 8);
    PixwrightFailure f = last();
    EXPECT_EQ(f.kind, PIXWRIGHT_FAILURE_FOLDER_NO_PARENT);
    EXPECT_EQ(std::string(f.path), nativePath(path("a/b/c")));
    EXPECT_EQ(std::string(f.other), nativePath(path("a/b")));
    EXPECT_EQ(boxes.back().substr(0, boxes.back().find('\n')), "出力フォルダの名前がおかしいです。");

    // A file where the folder should be, and a folder under a file.
    std::ofstream(path("file")) << "x";
    EXPECT_EQ(run(path("in.bmp"), path("file")), 6);
    f = last();
    EXPECT_EQ(f.kind, PIXWRIGHT_FAILURE_NOT_A_FOLDER);
    EXPECT_EQ(std::string(f.path), nativePath(path("file")));
    EXPECT_EQ(run(path("in.bmp"), path("file/sub")), 8);
    f = last();
    EXPECT_EQ(f.kind, PIXWRIGHT_FAILURE_FOLDER_NOT_MADE);
    EXPECT_EQ(std::string(f.path), nativePath(path("file/sub")));
#if defined(_WIN32)
    EXPECT_EQ(std::string(f.reason), systemText(ERROR_PATH_NOT_FOUND));
#else
    EXPECT_STREQ(f.reason, "Not a directory");
#endif
}

TEST_F(LastFailure, RequestsNamesAndTheFileThatCannotBeWritten)
{
    writeGradientBmp(path("in.bmp"), 3, 2);
    EXPECT_EQ(run("", path("out")), 2);
    EXPECT_EQ(last().kind, PIXWRIGHT_FAILURE_REQUEST);
    EXPECT_EQ(run(path("in.bmp"), path("out"), ".hidden"), 6);
    EXPECT_EQ(last().kind, PIXWRIGHT_FAILURE_REQUEST);
    EXPECT_EQ(last().code, 6);
    EXPECT_EQ(run(path("in.bmp"), path("out"), "bad\x01name"), 8);
    PixwrightFailure f = last();
    EXPECT_EQ(f.kind, PIXWRIGHT_FAILURE_BAD_NAME);
    EXPECT_STREQ(f.path, "bad\x01name");

    // A folder in the way of the first file: written under its temporary
    // name, it cannot be moved into place.
    mkdir(path("out").c_str(), 0755);
    mkdir(path("out/in.png").c_str(), 0755);
    EXPECT_EQ(run(path("in.bmp"), path("out")), 21);
    f = last();
    EXPECT_EQ(f.kind, PIXWRIGHT_FAILURE_NOT_WRITTEN);
    EXPECT_EQ(std::string(f.path), nativePath(path("out/in.png")));
#if defined(_WIN32)
    // Windows refuses to replace a folder as it refuses any access.
    EXPECT_NE(std::string(f.reason), "");
#else
    EXPECT_STREQ(f.reason, "Is a directory");
#endif
    EXPECT_EQ(boxes.back(), "画像ファイルの保存に失敗しました。");
}

TEST_F(LastFailure, ASuccessClearsItAndEachThreadHasItsOwn)
{
    writeGradientBmp(path("in.bmp"), 3, 2);
    EXPECT_EQ(run(path("gone.png"), path("out")), 10);
    // Another thread's last call is its own, and it has made none.
    std::thread([] {
        PixwrightFailure other{};
        other.code = -1;
        EXPECT_EQ(getLastFailure(&other), 0);
        EXPECT_EQ(other.kind, PIXWRIGHT_FAILURE_NONE);
        EXPECT_STREQ(other.path, "");
    }).join();
    EXPECT_EQ(getLastFailure(nullptr), 10);
    EXPECT_EQ(run(path("in.bmp"), path("out")), 0);
    const PixwrightFailure f = last();
    EXPECT_EQ(f.code, 0);
    EXPECT_EQ(f.kind, PIXWRIGHT_FAILURE_NONE);
    EXPECT_STREQ(f.path, "");
    EXPECT_STREQ(f.reason, "");
}

TEST_F(LastFailure, ALongPathIsCutBetweenCharacters)
{
    // "/" and 2000 three-byte characters: 6001 bytes, cut to the 1364
    // characters that fit 4095 bytes with the NUL.
    std::string source = "/";
    for (int i = 0; i < 2000; ++i)
        source += "\xE3\x81\x82";
    EXPECT_EQ(run(source, path("out"), "out"), 10);
    const PixwrightFailure f = last();
    EXPECT_EQ(f.kind, PIXWRIGHT_FAILURE_SOURCE_NOT_OPENED);
    const std::string cut = f.path;
    EXPECT_EQ(cut.size(), size_t(1 + 3 * 1364));
    EXPECT_TRUE(cut == source.substr(0, cut.size()));
}
