#include "ConvertFixtures.h"
#include "engine/MemoryBudget.h"

#include <atomic>
#include <thread>

namespace {

class MemoryBudgetTest : public ConvertTest {
protected:
    void TearDown() override
    {
        setMemoryLimit(0);
        ConvertTest::TearDown();
    }
    int convert(const std::string& source, const std::string& name)
    {
        return graphicConvert(source.c_str(), dir.c_str(), name.c_str(), 0, 0, 0, 0, 0, 0, 1, 1, "", 0, "", 0, "");
    }
};

} // namespace

TEST(MemoryBudget, PeakOfAPicture)
{
    EXPECT_EQ(engine::estimatedPeak(3, 2), 240u);
    EXPECT_EQ(engine::estimatedPeak(8191, 16383), 8191ull * 16383 * 40);
    setMemoryLimit(0);
    EXPECT_GT(engine::memoryBudget(), 0u);
    setMemoryLimit(12345);
    EXPECT_EQ(engine::memoryBudget(), 12345u);
    setMemoryLimit(-5);
    EXPECT_GT(engine::memoryBudget(), 12345u) << "0 or less: the machine's half again";
}

TEST_F(MemoryBudgetTest, APictureThatAloneNeedsMoreIsRefusedBeforeDecoding)
{
    writeGradientBmp(path("in.bmp"), 64, 32); // 64 x 32 x 40 = 81920 bytes
    setMemoryLimit(81919);
    EXPECT_EQ(convert(path("in.bmp"), "big"), 10);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], path("in.bmp") + "ファイルを開けません。");
    const std::string log = readLog();
    EXPECT_NE(log.find("画像ファイル'" + path("in.bmp")
                       + "'を読み込めませんでした。:its conversion needs about 80 KiB, more than the memory limit of 79 KiB"),
              std::string::npos)
        << log;
    EXPECT_FALSE(exists("big.png"));

    setMemoryLimit(81920);
    boxes.clear();
    EXPECT_EQ(convert(path("in.bmp"), "fits"), 0);
    EXPECT_TRUE(exists("fits.png"));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MemoryBudgetTest, ConversionsSideBySideTakeTurnsWithinTheBudget)
{
    writeGradientBmp(path("in.bmp"), 96, 64); // 245760 bytes each
    const std::uint64_t one = engine::estimatedPeak(96, 64);
    setMemoryLimit(static_cast<long long>(one + one / 2));
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&, i] {
            if (convert(path("in.bmp"), "out" + std::to_string(i)) != 0)
                ++failures;
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(failures.load(), 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(exists("out" + std::to_string(i) + ".png")) << i;
    EXPECT_EQ(engine::peakReserved(), one) << "never two at once";
    EXPECT_TRUE(boxes.empty());
}
