// The output folder of conversions that may run side by side.
#include "ConvertFixtures.h"
#include "engine/OutputFolder.h"

#include <fstream>

using auxlib::utility::NameRule;
using auxlib::utility::Path;
using engine::OutputFolder;

class OutputFolderTest : public TempFolder {};

TEST_F(OutputFolderTest, ANewFolderStaysWhileAnyConversionUsesIt)
{
    const Path folder = Path::parse(path("shared"), NameRule::Folder);
    {
        auto first = std::make_unique<OutputFolder>();
        ASSERT_EQ(first->prepare(folder), OutputFolder::State::Ready);
        ASSERT_TRUE(exists("shared"));
        OutputFolder second;
        // The second finds the folder the first made, and shares it.
        ASSERT_EQ(second.prepare(folder), OutputFolder::State::Ready);
        first.reset();
        EXPECT_TRUE(exists("shared")) << "still used by the second";
    }
    EXPECT_FALSE(exists("shared")) << "empty once the last user is gone";

    // Not empty: it stays. And a folder that was there before is never
    // removed, even empty.
    {
        OutputFolder one;
        ASSERT_EQ(one.prepare(folder), OutputFolder::State::Ready);
        std::ofstream(path("shared/kept.png")) << "x";
    }
    EXPECT_TRUE(exists("shared/kept.png"));
    ASSERT_EQ(mkdir(path("before").c_str(), 0755), 0);
    {
        OutputFolder one;
        ASSERT_EQ(one.prepare(Path::parse(path("before"), NameRule::Folder)), OutputFolder::State::Ready);
    }
    EXPECT_TRUE(exists("before"));

    std::ofstream(path("file")) << "x";
    OutputFolder notFolder;
    EXPECT_EQ(notFolder.prepare(Path::parse(path("file"), NameRule::Folder)), OutputFolder::State::NotAFolder);
}
