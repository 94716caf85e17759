// The files the converter writes for the bundled samples, byte for byte, as
// the first version of the converter wrote them (their SHA-256 sums are
// kept in tests/cli/golden/). However the pixel stages, the threads or the
// writers are made faster, every default output must stay these bytes.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string run(const std::string& command)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return out;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        out.append(buffer.data(), n);
    pclose(pipe);
    return out;
}

std::string readFile(const std::string& file)
{
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Golden {
    const char* name;
    const char* options;
    const char* inputs;
};

// The sample folder's two pictures under the options of each kept run.
const Golden runs[] = {
    {"def", "", "chipset.png charset.png"},
    {"near", "--interpolation nearest --sharpen 0 --no-alpha-grid", "chipset.png"},
    {"orig", "--interpolation original --sharpen 5", "chipset.png charset.png"},
    {"bmp", "--format bmp", "chipset.png"},
    {"jpg", "--format jpg --outputs natural,color,alpha", "charset.png"},
    {"nogrid", "--mode nogrid --sharpen 3", "charset.png"},
    {"cust", "--mode custom --grid 7x5 --alpha-grid --sharpen 1", "chipset.png"},
    {"tl", "--key topleft", "charset.png"},
};

} // namespace

TEST(GoldenOutputs, TheSamplesConvertToTheKeptBytes)
{
#if defined(_WIN32)
    GTEST_SKIP() << "runs cd and sha256sum through the shell; the Windows build's golden check is "
                    "packaging/windows/check-golden.sh, on the zip's program (scripts/windows.sh)";
#endif
    for (const Golden& g : runs) {
        for (const char* jobs : {"1", "3"}) {
            char folder[] = "golden-XXXXXX";
            ASSERT_NE(mkdtemp(folder), nullptr);
            std::string inputs;
            std::istringstream names(g.inputs);
            for (std::string name; names >> name;)
                inputs += std::string(" ") + PIXWRIGHT_SOURCE_DIR "/samples/" + name;
            // The first version's default key, the fixed colour 007575.
            const std::string command = std::string(PIXWRIGHT_CLI) + " --key 007575 -j " + jobs + " -o " + folder
                                        + " " + g.options + inputs + " 2>&1";
            EXPECT_EQ(run(command), "") << command;
            const std::string sums = run(std::string("cd ") + folder + " && LC_ALL=C && export LC_ALL && sha256sum * 2>&1");
            EXPECT_EQ(sums, readFile(std::string(PIXWRIGHT_SOURCE_DIR "/tests/cli/golden/") + g.name + ".sha256"))
                << g.name << " with " << jobs << " jobs";
            std::system((std::string("rm -rf ") + folder).c_str());
        }
    }
}
