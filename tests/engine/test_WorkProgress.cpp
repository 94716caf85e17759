// The work progress in bands of rows and its cancel, which stops a
// conversion inside a cell, even inside a file being written.
#include "tests/engine/ConvertFixtures.h"

#include "engine/Pixwright_DLL.h"

#include <filesystem>

namespace {

struct WorkCall {
    long long done, total;
    int files;
};

struct WorkLog {
    std::vector<WorkCall> calls;
    // Stop at the n-th call (from 1) whose units done reach stopAtUnits.
    long long stopAtUnits = -1;
    int stopAtCall = 1;
    int seen = 0;
};

int recordWork(void* user, long long done, long long total, int files)
{
    auto& log = *static_cast<WorkLog*>(user);
    log.calls.push_back({done, total, files});
    if (log.stopAtUnits >= 0 && done >= log.stopAtUnits && ++log.seen == log.stopAtCall)
        return 1;
    return 0;
}

// Every entry of a folder, temporary files included.
size_t entriesIn(const std::string& folder)
{
    std::error_code ec;
    size_t n = 0;
    for (auto it = std::filesystem::directory_iterator(folder, ec); !ec && it != std::filesystem::directory_iterator();
         it.increment(ec))
        ++n;
    return n;
}

class WorkProgress : public ConvertTest {
protected:
    void TearDown() override
    {
        setWorkProgressHandler(nullptr, nullptr);
        setThreadCount(0);
        ConvertTest::TearDown();
    }

    // One 1000 x 600 cell, sharpened, written in all three variants: its
    // 1200 target rows are 19 bands of at most 64 through the resampling
    // and 19 through the sharpening, and 3 files.
    int convert(const std::string& folder)
    {
        return graphicConvert(path("big.bmp").c_str(), path(folder).c_str(), "t", 0, 16, 16, 2, 1, 1, 1, 1, "", 1,
                              "color", 1, "alpha");
    }
};

constexpr long long bigUnits = 19 + 19 + 3;

} // namespace

TEST_F(WorkProgress, UnitsGrowToTheTotalWhateverTheThreads)
{
    writeGradientBmp(path("big.bmp"), 1000, 600);
    for (int threads : {1, 3}) {
        setThreadCount(threads);
        WorkLog log;
        setWorkProgressHandler(recordWork, &log);
        const std::string folder = "all" + std::to_string(threads);
        ASSERT_EQ(convert(folder), 0);
        ASSERT_GE(log.calls.size(), 2u);
        EXPECT_EQ(log.calls.front().done, 0);
        EXPECT_EQ(log.calls.back().done, bigUnits);
        EXPECT_EQ(log.calls.back().files, 3);
        for (size_t i = 0; i < log.calls.size(); ++i) {
            EXPECT_EQ(log.calls[i].total, bigUnits);
            if (i > 0) {
                EXPECT_GE(log.calls[i].done, log.calls[i - 1].done) << "call " << i;
            }
        }
        EXPECT_EQ(readFolder(path(folder)).size(), 3u);
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(WorkProgress, CancelAfterTheFirstBandWritesNothing)
{
    writeGradientBmp(path("big.bmp"), 1000, 600);
    for (int threads : {1, 3}) {
        setThreadCount(threads);
        WorkLog log;
        log.stopAtUnits = 1;
        setWorkProgressHandler(recordWork, &log);
        const std::string folder = "first" + std::to_string(threads);
        EXPECT_EQ(convert(folder), 40);
        EXPECT_LT(log.calls.back().done, bigUnits);
        EXPECT_EQ(entriesIn(path(folder)), 0u) << "nothing, not even a temporary file";
    }
    EXPECT_TRUE(boxes.empty()) << "a cancel shows no box";
    EXPECT_EQ(readLog(), "");
}

TEST_F(WorkProgress, CancelInsideAFileRemovesItAndKeepsNothing)
{
    // On one thread the calling thread writes the files itself and asks the
    // handler between chunks of rows: the second call at the enlargement's
    // end comes from inside the first file.
    writeGradientBmp(path("big.bmp"), 1000, 600);
    setThreadCount(1);
    WorkLog log;
    log.stopAtUnits = 38;
    log.stopAtCall = 2;
    setWorkProgressHandler(recordWork, &log);
    EXPECT_EQ(convert("inside"), 40);
    EXPECT_EQ(log.calls.back().done, 38);
    EXPECT_EQ(log.calls.back().files, 0);
    EXPECT_EQ(entriesIn(path("inside")), 0u);
    EXPECT_TRUE(boxes.empty());

    // A handler that never stops changes nothing of the files.
    WorkLog quiet;
    setWorkProgressHandler(recordWork, &quiet);
    ASSERT_EQ(convert("with"), 0);
    setWorkProgressHandler(nullptr, nullptr);
    ASSERT_EQ(convert("without"), 0);
    EXPECT_EQ(readFolder(path("with")), readFolder(path("without")));
}
