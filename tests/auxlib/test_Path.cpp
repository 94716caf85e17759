#include "auxlib/utility/Path.h"
#include "auxlib/utility/Text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include "SystemText.h"

using namespace auxlib::utility;

namespace {

Path folder(const std::string& text) { return Path::parse(text, NameRule::Folder); }
Path name(const std::string& text) { return Path::parse(text, NameRule::Portable); }

std::string errorOf(const std::string& text, NameRule rule)
{
    try {
        Path::parse(text, rule);
    } catch (const PathError& e) {
        return e.what();
    }
    return "(accepted)";
}

} // namespace

TEST(PathParse, FolderSeparatorsRootsAndTrailingSeparator)
{
    EXPECT_EQ(folder("C:/out/").generic(), "C:/out");
    EXPECT_EQ(folder("C:\\out").generic(), "C:/out");
    EXPECT_EQ(folder("C:\\out").rootName(), "C:");
    EXPECT_TRUE(folder("C:\\out").hasRootDirectory());
    EXPECT_EQ(folder("//server\\share\\x").rootName(), "//server");
    EXPECT_EQ(folder("//server\\share\\x").generic(), "//server/share/x");
    EXPECT_EQ(folder("/tmp/a/b").elements(), (std::vector<std::string>{"tmp", "a", "b"}));
    EXPECT_EQ(folder("out\\sub\\").generic(), "out/sub");
    EXPECT_TRUE(folder("").empty());
    EXPECT_EQ(folder("/").generic(), "/");
}

TEST(PathParse, DotDotElements)
{
    EXPECT_EQ(folder("a/b/../c").generic(), "a/c");
    EXPECT_EQ(folder("../x").generic(), "../x");
    EXPECT_EQ(folder("../../x").generic(), "../../x") << "a '..' cannot remove another '..'";
    EXPECT_EQ(folder("./..").generic(), "./..") << "an element ending in a dot stays";
    EXPECT_EQ(folder("/../x").generic(), "/x") << "a path cannot climb above its root";
    EXPECT_EQ(folder("C:\\..\\..\\x").generic(), "C:/x");
    EXPECT_EQ(errorOf("a/..b", NameRule::Folder), "boost::filesystem::path: invalid path syntax: \"a/..b\"");
    EXPECT_EQ(errorOf("...", NameRule::Folder), "boost::filesystem::path: invalid path syntax: \"...\"");
}

TEST(PathParse, InvalidNameTexts)
{
    EXPECT_EQ(errorOf("C:\\out\\\\x", NameRule::Folder),
              "boost::filesystem::path: invalid name \"\\x\" in path: \"C:\\out\\\\x\"");
    EXPECT_EQ(errorOf("out/a|b", NameRule::Folder),
              "boost::filesystem::path: invalid name \"a|b\" in path: \"out/a|b\"");
    EXPECT_EQ(errorOf("out/trailing ", NameRule::Folder),
              "boost::filesystem::path: invalid name \"trailing \" in path: \"out/trailing \"");
    EXPECT_EQ(errorOf("out/dot.", NameRule::Folder),
              "boost::filesystem::path: invalid name \"dot.\" in path: \"out/dot.\"");
    EXPECT_EQ(errorOf("a<b", NameRule::Folder), "boost::filesystem::path: invalid name \"a<b\" in path: \"a<b\"");
    // "*" and "?" are left for the file system to refuse.
    EXPECT_EQ(folder("what?/x*").generic(), "what?/x*");
    // Japanese folder names pass; only the bytes listed are refused.
    EXPECT_EQ(folder("出力/画像").generic(), "出力/画像");
}

TEST(PathParse, OutputNamesAsUsersHaveThem)
{
    // Any script, spaces, dots inside and a leading "-": the names users give
    // their pictures.
    EXPECT_EQ(name("tiles_v2").generic(), "tiles_v2");
    EXPECT_EQ(name("sub/tiles").elements().size(), 2u);
    EXPECT_EQ(name("キャラ").generic(), "キャラ");
    EXPECT_EQ(name("Game Over").generic(), "Game Over");
    EXPECT_EQ(name("Night Sky1.v2").generic(), "Night Sky1.v2");
    EXPECT_EQ(name("-tiles").generic(), "-tiles");
    EXPECT_EQ(name("魔王城/マップ 1").elements().size(), 2u);

    // Control characters, a backslash and an empty element (two slashes).
    EXPECT_EQ(errorOf("a\\b", NameRule::Portable), "boost::filesystem::path: invalid name \"a\\b\" in path: \"a\\b\"");
    EXPECT_EQ(errorOf("a//b", NameRule::Portable), "boost::filesystem::path: invalid name \"/b\" in path: \"a//b\"");
    EXPECT_EQ(errorOf("a\nb", NameRule::Portable),
              "boost::filesystem::path: invalid name \"a\nb\" in path: \"a\nb\"");
    EXPECT_FALSE(portableName(std::string("tab\there")));
    EXPECT_FALSE(portableName(std::string("del\x7f")));
    EXPECT_FALSE(portableName(""));
    EXPECT_FALSE(portableName(".hidden"));
    EXPECT_TRUE(portableName("a.b-c_d"));
    EXPECT_FALSE(windowsName(""));
    EXPECT_FALSE(windowsName(std::string("a\x1f", 2)));
#if defined(_WIN32)
    for (const char* refused : {"a<b", "a>b", "a:b", "a\"b", "a|b", "a?b", "a*b", "dot.", "space ", "CON", "nul.png",
                                "com1", "LPT9.bmp"})
        EXPECT_FALSE(portableName(refused)) << refused;
    EXPECT_TRUE(portableName("CONSOLE"));
#else
    // Here the system takes these; only Windows reserves them.
    for (const char* taken : {"a:b", "a?b", "a*b", "dot.", "space ", "CON"})
        EXPECT_TRUE(portableName(taken)) << taken;
#endif
}

TEST(PathParse, OutputNamesStayInTheirFolder)
{
    // "..", "." and a root would lead a name out of its folder, wherever they are.
    EXPECT_EQ(errorOf("a/../../escaped", NameRule::Portable),
              "boost::filesystem::path: invalid name \"..\" in path: \"a/../../escaped\"");
    EXPECT_EQ(errorOf("..", NameRule::Portable), "boost::filesystem::path: invalid name \"..\" in path: \"..\"");
    EXPECT_EQ(errorOf("sub/./x", NameRule::Portable),
              "boost::filesystem::path: invalid name \".\" in path: \"sub/./x\"");
    EXPECT_EQ(errorOf("/etc/x", NameRule::Portable), "boost::filesystem::path: invalid path syntax: \"/etc/x\"");
    EXPECT_EQ(errorOf("x_/../../evil", NameRule::Portable),
              "boost::filesystem::path: invalid name \"..\" in path: \"x_/../../evil\"");
    // The folder rule still climbs: a folder may name its parent.
    EXPECT_EQ(folder("out/../x").generic(), "x");
}

TEST(PathParse, StemAndJoin)
{
    EXPECT_EQ(folder("in/tiles.png").stem(), "tiles");
    EXPECT_EQ(folder("in/archive.tar.gz").stem(), "archive.tar");
    EXPECT_EQ(folder("in/README").stem(), "README");
    EXPECT_EQ(folder("C:\\out").join(name("sub/tiles")).native(), nativePath("C:/out/sub/tiles"));
    EXPECT_EQ(copyText(std::string("\x82\xa0|", 3)), std::string("\x82\xa0|", 3));
    EXPECT_EQ(copyText(""), "");
}

class PathFileSystem : public ::testing::Test {
protected:
    void SetUp() override
    {
        char templ[] = "/tmp/pixwright-path-XXXXXX";
        ASSERT_NE(mkdtemp(templ), nullptr);
        root = templ;
    }
    void TearDown() override { std::system(("rm -rf '" + root + "'").c_str()); }
    std::string root;
};

TEST_F(PathFileSystem, ExistsAndIsFolder)
{
    EXPECT_TRUE(exists(folder(root)));
    EXPECT_TRUE(isFolder(folder(root)));
    EXPECT_FALSE(exists(folder(root + "/missing")));
    EXPECT_FALSE(exists(folder(root + "/missing/deeper")));
    std::ofstream(root + "/file.txt") << "x";
    EXPECT_TRUE(exists(folder(root + "/file.txt")));
    EXPECT_FALSE(isFolder(folder(root + "/file.txt")));
    EXPECT_FALSE(exists(folder(root + "/file.txt/below")));
}

TEST_F(PathFileSystem, CreateFolderOneLevel)
{
    Path out = folder(root + "/out");
    EXPECT_TRUE(createFolder(out));
    EXPECT_TRUE(isFolder(out));
    EXPECT_FALSE(createFolder(out)) << "an existing folder is not created again";

    Path deep = folder(root + "/missing/out");
    try {
        createFolder(deep);
        FAIL() << "a missing parent must fail";
    } catch (const PathError& e) {
        const std::string reason = missingFolderText();
        EXPECT_EQ(std::string(e.what()),
                  "boost::filesystem::create_directory: \"" + nativePath(root + "/missing/out") + "\": " + reason);
    }

    std::ofstream(root + "/file.txt") << "x";
    try {
        createFolder(folder(root + "/file.txt"));
        FAIL() << "an existing file must fail";
    } catch (const PathError& e) {
        EXPECT_EQ(std::string(e.what()), "boost::filesystem::create_directory: \"" + nativePath(root + "/file.txt")
                                             + "\": path exists and is not a directory");
    }
}

TEST_F(PathFileSystem, IsFolderFailureCarriesTheSystemMessage)
{
    // An element longer than any file system allows cannot be examined.
    const std::string longName(300, 'n');
#if defined(_WIN32)
    // Windows names the error "file name too long" (206), which is none of
    // the errors that mean "not there": the path exists as far as the
    // folder test can tell, and examining it fails.
    EXPECT_TRUE(exists(folder(root + "/" + longName)));
    const std::string reason = systemText(ERROR_FILENAME_EXCED_RANGE);
#else
    EXPECT_FALSE(exists(folder(root + "/" + longName)));
    const std::string reason = "File name too long";
#endif
    try {
        isFolder(folder(root + "/" + longName));
        FAIL() << "no error";
    } catch (const PathError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "boost::filesystem::is_directory: \"" + nativePath(root + "/" + longName) + "\": " + reason);
    }
}
