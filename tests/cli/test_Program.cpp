#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

struct CliRun {
    int status;
    std::string out;
};

// Runs the program with standard error folded into standard output.
CliRun runCli(const std::string& args)
{
    const std::string command = std::string(PIXWRIGHT_CLI) + " " + args + " 2>&1";
    CliRun run{-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.out.append(buffer.data(), n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

void writeBmp(const std::string& file, int w, int h)
{
    SDL_Surface* s = SDL_CreateRGBSurface(0, w, h, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    SDL_FillRect(s, nullptr, 0x336699);
    SDL_SaveBMP(s, file.c_str());
    SDL_FreeSurface(s);
}

bool exists(const std::string& file)
{
    struct stat st;
    return stat(file.c_str(), &st) == 0;
}

class CliProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        char templ[] = "/tmp/pixwright-cli-XXXXXX";
        ASSERT_NE(mkdtemp(templ), nullptr);
        dir = templ;
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }
    std::string dir;
};

} // namespace

TEST_F(CliProgram, UsageErrorsExitWithTwo)
{
    CliRun r = runCli("--mode tiles a.png");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("option --mode: unknown value 'tiles'"), std::string::npos) << r.out;
    EXPECT_EQ(runCli("").status, 2);
    CliRun help = runCli("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: pixwright-cli"), std::string::npos);
}

TEST_F(CliProgram, FolderInputConvertsEveryPictureInNameOrder)
{
    mkdir((dir + "/in").c_str(), 0755);
    writeBmp(dir + "/in/b.bmp", 480, 256);
    writeBmp(dir + "/in/a.bmp", 5, 3);
    std::FILE* note = std::fopen((dir + "/in/notes.txt").c_str(), "w");
    std::fputs("not a picture", note);
    std::fclose(note);

    CliRun r = runCli("-o " + dir + "/out --format bmp " + dir + "/in");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_LT(r.out.find("a.bmp: 2 files written"), r.out.find("b.bmp: 36 files written")) << r.out;
    EXPECT_NE(r.out.find("2 of 2 pictures converted"), std::string::npos) << r.out;
    EXPECT_TRUE(exists(dir + "/out/a_color.bmp"));
    EXPECT_TRUE(exists(dir + "/out/a_alpha.bmp"));
    EXPECT_FALSE(exists(dir + "/out/a.bmp")) << "no natural output by default for BMP";
    EXPECT_TRUE(exists(dir + "/out/b_17_alpha.bmp")) << "480 x 256 converts as a chipset";
}

TEST_F(CliProgram, AFailedInputDoesNotStopTheOthers)
{
    writeBmp(dir + "/ok.bmp", 4, 4);
    CliRun r = runCli("-o " + dir + "/out " + dir + "/missing.png " + dir + "/ok.bmp");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(dir + "/missing.png: " + dir + "/missing.pngファイルを開けません。"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("missing.png: failed with code 10"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("ok.bmp: 3 files written"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("1 of 2 pictures converted"), std::string::npos) << r.out;
    EXPECT_TRUE(exists(dir + "/out/ok.png"));
    EXPECT_TRUE(exists(dir + "/out/ok_color.png"));
}

TEST_F(CliProgram, NameAndSuffixes)
{
    writeBmp(dir + "/in.bmp", 4, 4);
    CliRun r = runCli("-o " + dir + " --name tiles --outputs natural,alpha --alpha-suffix A " + dir + "/in.bmp");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(exists(dir + "/tiles.png"));
    EXPECT_TRUE(exists(dir + "/tiles_A.png"));
    EXPECT_FALSE(exists(dir + "/tiles_color.png"));
}
