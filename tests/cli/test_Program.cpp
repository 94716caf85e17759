#include <SDL.h>
#include <png.h>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

#include "CliRun.h"
#include "SystemText.h"

#include <array>
#include <chrono>
#include <csignal>
#include <dirent.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>
#if !defined(_WIN32)
#  include <pty.h>
#  include <sys/wait.h>
#endif

namespace {

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

    CliRun r = runCli("-o " + dir + "/out --format bmp --verbose " + dir + "/in");
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
    // One line for the failure, nothing for the success.
    EXPECT_EQ(r.out, "pixwright-cli: " + dir + "/missing.png: code 10: Cannot open '" + dir
                         + "/missing.png': No such file or directory\n");
    EXPECT_TRUE(exists(dir + "/out/ok.png"));
    EXPECT_TRUE(exists(dir + "/out/ok_color.png"));
}

TEST_F(CliProgram, FailuresSayWhatWhereAndWhyInTheLocalesLanguage)
{
    writeBmp(dir + "/ok.bmp", 4, 4);
    struct Case {
        std::string args;
        std::string english;
        std::string japanese;
    };
    const Case cases[] = {
        {"-o " + dir + "/out " + dir + "/gone.png",
         "code 10: Cannot open '" + dir + "/gone.png': No such file or directory",
         "code 10: '" + dir + "/gone.png' を開けません: No such file or directory"},
        {"-o " + dir + "/a/b/c " + dir + "/ok.bmp",
         "code 8: The output folder '" + nativePath(dir + "/a/b/c") + "' cannot be made: its parent '"
             + nativePath(dir + "/a/b") + "' does not exist",
         "code 8: 出力フォルダ '" + nativePath(dir + "/a/b/c") + "' を作れません: 親フォルダ '" + nativePath(dir + "/a/b")
             + "' がありません。"},
        {"--outputs natural,color --color-suffix X --natural-suffix x -o " + dir + "/out " + dir + "/ok.bmp",
         "code 5: Two outputs have the same suffix (letter case does not count).",
         "code 5: 二つの出力のサフィックスが同じです（大文字と小文字は区別しません）。"},
    };
    for (const Case& c : cases) {
        const std::string input = c.args.substr(c.args.rfind(' ') + 1);
        EXPECT_EQ(runCli(c.args, "C.UTF-8").out, "pixwright-cli: " + input + ": " + c.english + "\n");
        EXPECT_EQ(runCli(c.args, "ja_JP.UTF-8").out, "pixwright-cli: " + input + ": " + c.japanese + "\n");
        EXPECT_EQ(runCli(c.args, "en_GB.UTF-8").out, "pixwright-cli: " + input + ": " + c.english + "\n");
    }
    // LC_ALL wins over LANG.
    EXPECT_EQ(runCli("-o " + dir + "/out " + dir + "/gone.png", "ja_JP.UTF-8 LC_ALL=C").out,
              "pixwright-cli: " + dir + "/gone.png: code 10: Cannot open '" + dir
                  + "/gone.png': No such file or directory\n");
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

// Names in any script and with spaces, given as UTF-8, reach the file
// system unchanged (on Windows through the programs' UTF-8 code page).
TEST_F(CliProgram, JapaneseAndSpacedFolderNames)
{
    ASSERT_EQ(mkdir((dir + "/入力 フォルダ").c_str(), 0755), 0);
    writeBmp(dir + "/入力 フォルダ/tiles.bmp", 4, 4);
    CliRun r = runCli("-o \"" + dir + "/出力 1\" \"" + dir + "/入力 フォルダ/tiles.bmp\"");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(exists(dir + "/出力 1/tiles.png"));
    EXPECT_TRUE(exists(dir + "/出力 1/tiles_color.png"));
}

TEST_F(CliProgram, LinesByVerbosityAndMultiLineMessagesInOne)
{
    writeBmp(dir + "/ok.bmp", 4, 4);
    EXPECT_EQ(runCli("-o " + dir + "/out " + dir + "/ok.bmp").out, "");
    EXPECT_EQ(runCli("-o " + dir + "/out -v " + dir + "/ok.bmp").out, dir + "/ok.bmp: 3 files written\n");
    // A folder without pictures is mentioned, except when quiet.
    mkdir((dir + "/empty").c_str(), 0755);
    CliRun normal = runCli("-o " + dir + "/out " + dir + "/empty");
    EXPECT_NE(normal.out.find(": no pictures in this folder"), std::string::npos);
    EXPECT_EQ(normal.status, 1);
    EXPECT_EQ(runCli("-q -o " + dir + "/out " + dir + "/empty").out, "");
    // The engine's two-line path error comes out in one line.
    CliRun bad = runCli("-q -o " + dir + "/ok.bmp/sub " + dir + "/ok.bmp");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(std::count(bad.out.begin(), bad.out.end(), '\n'), 1) << bad.out;
#if defined(_WIN32)
    const std::string notAFolder = systemText(ERROR_PATH_NOT_FOUND);
#else
    const std::string notAFolder = "Not a directory";
#endif
    EXPECT_NE(bad.out.find(": code 8: The output folder '" + nativePath(dir + "/ok.bmp/sub")
                           + "' cannot be made: " + notAFolder + "\n"),
              std::string::npos)
        << bad.out;
}

TEST_F(CliProgram, JobsKeepTheInputOrderAndTheFiles)
{
    mkdir((dir + "/in").c_str(), 0755);
    for (int i = 0; i < 6; ++i)
        writeBmp(dir + "/in/p" + std::to_string(i) + ".bmp", i % 2 == 0 ? 480 : 7 + i, i % 2 == 0 ? 256 : 5);
    std::FILE* bad = std::fopen((dir + "/in/p3x.png").c_str(), "wb");
    // Folder inputs take files by their content: a PNG signature, then
    // nothing a decoder can use.
    std::fputs("\x89PNG\r\n\x1a\ndamaged", bad);
    std::fclose(bad);
    CliRun one = runCli("-v -j 1 -o " + dir + "/one " + dir + "/in");
    CliRun many = runCli("-v -j 4 -o " + dir + "/many " + dir + "/in");
    EXPECT_EQ(one.status, 1);
    EXPECT_EQ(many.status, 1);
    // A folder's pictures are named with the system's own separator.
#if defined(_WIN32)
    const std::string in = dir + "/in\\";
#else
    const std::string in = dir + "/in/";
#endif
    std::string expected;
    for (int i = 0; i < 6; ++i) {
        expected += in + "p" + std::to_string(i) + ".bmp: " + (i % 2 == 0 ? "54" : "3") + " files written\n";
        if (i == 3)
            expected += "pixwright-cli: " + in + "p3x.png: code 10: Cannot read '" + in
                        + "p3x.png' as a picture: truncated PNG file; libpng error: unexpected end of file\n";
    }
    expected += "6 of 7 pictures converted\n";
    EXPECT_EQ(one.out, expected);
    EXPECT_EQ(many.out, expected);
    for (const char* name : {"p0_17_alpha.png", "p1.png", "p5_color.png", "p4_00.png"}) {
        EXPECT_TRUE(exists(dir + "/one/" + name)) << name;
        EXPECT_TRUE(exists(dir + "/many/" + name)) << name;
    }
}

TEST_F(CliProgram, AutoKeyUsesThePaletteEntryZero)
{
    // A 4 x 1 palette BMP whose entry 0 (used at x = 1 only) is a colour no
    // fixed key names.
    SDL_Surface* s = SDL_CreateRGBSurface(0, 4, 1, 8, 0, 0, 0, 0);
    SDL_Color colours[3] = {{255, 103, 139, 0}, {60, 143, 75, 0}, {1, 2, 3, 0}};
    SDL_SetColors(s, colours, 0, 3);
    const Uint8 indices[4] = {1, 0, 2, 1};
    std::memcpy(s->pixels, indices, 4);
    SDL_SaveBMP(s, (dir + "/pal.bmp").c_str());
    SDL_FreeSurface(s);
    // The written PNG's alpha at (x, 0), read by libpng's simplified reader.
    auto alphaAt = [&](const std::string& file, int x) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_file(&image, file.c_str()))
            return -1;
        image.format = PNG_FORMAT_RGBA;
        std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
        if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
            return -1;
        return int(pixels[4 * std::size_t(x) + 3]);
    };
    ASSERT_EQ(runCli("--outputs natural -o " + dir + "/auto " + dir + "/pal.bmp").status, 0);
    EXPECT_EQ(alphaAt(dir + "/auto/pal.png", 2), 0);
    EXPECT_EQ(alphaAt(dir + "/auto/pal.png", 0), 255);
    ASSERT_EQ(runCli("--key palette --outputs natural -o " + dir + "/palette " + dir + "/pal.bmp").status, 0);
    EXPECT_EQ(alphaAt(dir + "/palette/pal.png", 2), 0);
    ASSERT_EQ(runCli("--key topleft --outputs natural -o " + dir + "/topleft " + dir + "/pal.bmp").status, 0);
    EXPECT_EQ(alphaAt(dir + "/topleft/pal.png", 2), 255);
    EXPECT_EQ(alphaAt(dir + "/topleft/pal.png", 0), 0);
    ASSERT_EQ(runCli("--key FF678B --outputs natural -o " + dir + "/fixed " + dir + "/pal.bmp").status, 0);
    EXPECT_EQ(alphaAt(dir + "/fixed/pal.png", 2), 0);
}

TEST_F(CliProgram, ADamagedPngPrintsNothingFromLibpng)
{
    // A valid start, then a chunk declaring 2^31 - 1 bytes, then the end.
    const unsigned char png[] = {0x89, 'P',  'N',  'G',  '\r', '\n', 0x1A, '\n', 0,    0,    0,    13,   'I',  'H',
                                 'D',  'R',  0,    0,    0,     8,    0,    0,    0,    8,    8,    2,    0,    0,
                                 0,    0x4B, 0x6D, 0x29, 0xDE,  0x7F, 0xFF, 0xFF, 0xFF, 'g',  'A',  'M',  'A',  0,
                                 0,    0,    0,    0,    0,     0,    0,    0,    0,    0,    0,    0};
    std::FILE* f = std::fopen((dir + "/bad.png").c_str(), "wb");
    std::fwrite(png, 1, sizeof png, f);
    std::fclose(f);
    CliRun r = runCli("-o " + dir + "/out " + dir + "/bad.png");
    EXPECT_EQ(r.status, 1);
    // The decoder's reason, on the one line; libpng itself prints nothing.
    EXPECT_EQ(r.out, "pixwright-cli: " + dir + "/bad.png: code 10: Cannot read '" + dir
                         + "/bad.png' as a picture: damaged PNG data; libpng error: IHDR: CRC error\n");
}

#if defined(_WIN32)
TEST_F(CliProgram, ProgressShowsOnATerminalOnlyAndIsWipedAtTheEnd)
{
    GTEST_SKIP() << "needs a pseudo-terminal (forkpty); a test cannot give a Windows program a console of its own";
}
#else
namespace {

// Runs the program with standard error on a terminal of its own and
// standard output on a pipe, and returns what the terminal showed.
std::string terminalOutput(const std::string& args)
{
    int master = -1;
    const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
    if (child == 0) {
        // Standard output goes nowhere; only standard error stays on the
        // terminal.
        std::freopen("/dev/null", "w", stdout);
        execl("/bin/sh", "sh", "-c", (std::string(PIXWRIGHT_CLI) + " " + args).c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    std::string shown;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        shown.append(buffer, size_t(n));
    }
    int status = 0;
    waitpid(child, &status, 0);
    close(master);
    return shown;
}

} // namespace

TEST_F(CliProgram, ProgressShowsOnATerminalOnlyAndIsWipedAtTheEnd)
{
    mkdir((dir + "/in").c_str(), 0755);
    writeBmp(dir + "/in/a.bmp", 480, 256);
    writeBmp(dir + "/in/b.bmp", 5, 4);
    const std::string shown = terminalOutput("-j 1 -o " + dir + "/out " + dir + "/in");
    EXPECT_NE(shown.find("\r0 of 2 pictures, 0 files written, "), std::string::npos) << shown;
    EXPECT_NE(shown.find("\r1 of 2 pictures, 54 files written, "), std::string::npos) << shown;
    EXPECT_NE(shown.find("\r2 of 2 pictures, 57 files written, "), std::string::npos) << shown;
    // The line is wiped in the end, and every drawing wipes what was left.
    EXPECT_EQ(shown.substr(shown.size() - 4), "\r\033[K");
    EXPECT_NE(shown.find(" s\033[K"), std::string::npos);
    // Quiet, or a single picture: no progress at all.
    EXPECT_EQ(terminalOutput("-q -o " + dir + "/out " + dir + "/in"), "");
    EXPECT_EQ(terminalOutput("-o " + dir + "/out " + dir + "/in/a.bmp"), "");
    // A failure on a terminal is its own line, not part of the progress.
    std::FILE* bad = std::fopen((dir + "/in/c.png").c_str(), "w");
    // Folder inputs take files by their content: a PNG signature, then
    // nothing a decoder can use.
    std::fputs("\x89PNG\r\n\x1a\ndamaged", bad);
    std::fclose(bad);
    const std::string failing = terminalOutput("-j 2 -o " + dir + "/out " + dir + "/in");
    EXPECT_NE(failing.find("\r\033[Kpixwright-cli: " + dir + "/in/c.png: code 10: "), std::string::npos) << failing;
}
#endif

TEST_F(CliProgram, ControlCharactersInNamesAreShownEscapedOnOneLine)
{
#if defined(_WIN32)
    GTEST_SKIP() << "a line break in a file name cannot pass through cmd.exe, nor be a Windows file name";
#endif
    CliRun r = runCli("-o " + dir + "/out --name x '" + dir + "/two\nlines\033[2J.png'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "pixwright-cli: " + dir + "/two\\nlines\\x1b[2J.png: code 10: Cannot open '" + dir
                         + "/two\\nlines\\x1b[2J.png': No such file or directory\n");
}

TEST_F(CliProgram, NamesAndSuffixesStayInTheOutputFolder)
{
    writeBmp(dir + "/in.bmp", 4, 4);
    mkdir((dir + "/a").c_str(), 0755);
    mkdir((dir + "/a/b").c_str(), 0755);
    CliRun name = runCli("-q -o " + dir + "/a/b --name 'x/../../escaped' " + dir + "/in.bmp");
    EXPECT_EQ(name.status, 1);
    EXPECT_NE(name.out.find(": code 8: '..' cannot be used as a name\n"),
              std::string::npos)
        << name.out;
    CliRun suffix = runCli("-q -o " + dir + "/a/b --alpha-suffix '/../../evil' " + dir + "/in.bmp");
    EXPECT_EQ(suffix.status, 1);
    EXPECT_NE(suffix.out.find(": code 8: "), std::string::npos) << suffix.out;
    EXPECT_FALSE(exists(dir + "/escaped.png"));
    EXPECT_FALSE(exists(dir + "/a/escaped.png"));
    EXPECT_FALSE(exists(dir + "/evil.png"));
    EXPECT_FALSE(exists(dir + "/a/evil.png"));
    EXPECT_FALSE(exists(dir + "/a/b/in.png")) << "refused before anything is written";
}

TEST_F(CliProgram, AUsersStderrTxtSurvivesAndAReadOnlyFolderNamesWhereTheLogWent)
{
#if defined(_WIN32)
    GTEST_SKIP() << "runs POSIX shell commands and another user (setpriv); Windows has neither";
#else
    const std::string cli = PIXWRIGHT_CLI;
    ASSERT_EQ(std::system(("cd " + dir + " && printf 'my notes\\n' > stderr.txt && " + cli + " --help >/dev/null").c_str()), 0);
    FILE* notes = std::fopen((dir + "/stderr.txt").c_str(), "r");
    ASSERT_NE(notes, nullptr);
    char line[64] = {};
    ASSERT_NE(std::fgets(line, sizeof line, notes), nullptr);
    std::fclose(notes);
    EXPECT_STREQ(line, "my notes\n");

    // A folder this user may not write to; as root, the program runs as nobody.
    const std::string ro = dir + "/ro", state = dir + "/state";
    mkdir(ro.c_str(), 0555);
    mkdir(state.c_str(), 0777);
    chmod(state.c_str(), 0777);
    chmod(dir.c_str(), 0755);
    std::string as;
    if (geteuid() == 0) {
        as = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
        if (std::system((as + "test -x " + cli + " 2>/dev/null").c_str()) != 0)
            GTEST_SKIP() << "the built program is not reachable for an unprivileged user here";
    }
    const CliRun r = [&] {
        const std::string command = "cd " + ro + " && XDG_STATE_HOME=" + state + " " + as + cli + " -q -o " + state + "/out missing.png 2>&1";
        CliRun run{-1, ""};
        FILE* pipe = popen(command.c_str(), "r");
        std::array<char, 4096> buffer;
        size_t n;
        while (pipe != nullptr && (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
            run.out.append(buffer.data(), n);
        const int status = pipe != nullptr ? pclose(pipe) : -1;
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return run;
    }();
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(": code 10: "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" (log: " + state + "/pixwright/stderr.txt)\n"), std::string::npos) << r.out;
    EXPECT_TRUE(exists(state + "/pixwright/stderr.txt"));
    EXPECT_FALSE(exists(ro + "/stderr.txt"));
#endif
}

TEST_F(CliProgram, CtrlCAndTermStopALargePictureAtOnce)
{
#if defined(_WIN32)
    GTEST_SKIP() << "sends POSIX signals to a forked program";
#else
    // 4096 x 4096 in one cell: a conversion of a minute or more.
    writeBmp(dir + "/big.bmp", 4096, 4096);
    for (const auto& [signal, exitStatus] : {std::pair<int, int>{SIGINT, 130}, {SIGTERM, 143}}) {
        SCOPED_TRACE(signal);
        const std::string out = dir + "/out" + std::to_string(signal);
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            dup2(pipeEnds[1], 1);
            dup2(pipeEnds[1], 2);
            close(pipeEnds[0]);
            unsetenv("LC_ALL");
            unsetenv("LC_MESSAGES");
            setenv("LANG", "C", 1);
            execl(PIXWRIGHT_CLI, PIXWRIGHT_CLI, "-o", out.c_str(), (dir + "/big.bmp").c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(pipeEnds[1]);
        // Well into the picture's bands.
        usleep(2500 * 1000);
        const auto interrupted = std::chrono::steady_clock::now();
        kill(pid, signal);
        int status = 0;
        waitpid(pid, &status, 0);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - interrupted).count();
        std::string said;
        std::array<char, 512> buffer;
        ssize_t n;
        while ((n = read(pipeEnds[0], buffer.data(), buffer.size())) > 0)
            said.append(buffer.data(), size_t(n));
        close(pipeEnds[0]);
        std::printf("stopped %.3f s after the interrupt\n", seconds);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), exitStatus);
        EXPECT_EQ(said, "pixwright-cli: stopped: 0 files written\n");
        EXPECT_LT(seconds, 5.0);
        // Nothing half-written, no temporary file.
        DIR* folder = opendir(out.c_str());
        if (folder != nullptr) {
            int entries = 0;
            while (dirent* entry = readdir(folder))
                entries += std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0;
            closedir(folder);
            EXPECT_EQ(entries, 0);
        }
    }
#endif
}

TEST_F(CliProgram, AFolderThatTakesNoFileSaysPermissionDenied)
{
#if defined(_WIN32)
    GTEST_SKIP() << "runs the program as another user through setpriv";
#else
    const std::string cli = PIXWRIGHT_CLI;
    writeBmp(dir + "/in.bmp", 4, 4);
    const std::string ro = dir + "/ro";
    mkdir(ro.c_str(), 0555);
    chmod(ro.c_str(), 0555);
    chmod(dir.c_str(), 0755);
    chmod((dir + "/in.bmp").c_str(), 0644);
    // As root, the program runs as nobody, whom the folder refuses.
    std::string as;
    if (geteuid() == 0) {
        as = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
        if (std::system((as + "test -x " + cli + " 2>/dev/null").c_str()) != 0)
            GTEST_SKIP() << "the built program is not reachable for an unprivileged user here";
    }
    // Its log goes to a folder of its own.
    const std::string work = dir + "/work";
    mkdir(work.c_str(), 0777);
    chmod(work.c_str(), 0777);
    const std::string command = "cd " + work + " && env -u LC_ALL -u LC_MESSAGES LANG=C " + as + cli + " -q -o " + ro + " "
                                + dir + "/in.bmp 2>&1";
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        out.append(buffer.data(), n);
    const int status = pclose(pipe);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1) << out;
    EXPECT_NE(out.find("pixwright-cli: " + dir + "/in.bmp: code 21: Cannot write '" + ro + "/in.png': Permission denied"),
              std::string::npos)
        << out;
#endif
}
