#include <gtest/gtest.h>

#include <sstream>

#include "leak_report.h"

namespace {

using leakreport::ReadLeakReports;
using leakreport::SummariseByCreator;

const std::string kSep = std::string(69, '=');

TEST(LeakReportTest, ReadsEveryCompleteReportAndSkipsOtherLines) {
    std::istringstream log(
        "Error_MemAlloc Try to free memory not alloced by me. pMemory=0x00007FFD\n"
        "Error_MemAlloc " + kSep + "\n"
        "Error_MemAlloc Detect memory leak, block count = 3\n"
        "Error_MemAlloc Creator:0x00000065 Size:64 Location:0x0000000000a01000\n"
        "Error_Other Creator:0x00000001 Size:999 Location:0x00000001\n"  // another channel
        "Error_MemAlloc Creator:0x00000066 Size:16 Location:0x0000000000a02000\r\n"
        "Error_MemAlloc Creator:0x00000065 Size:32 Location:0x0000000000a03000\n"
        "Error_MemAlloc " + kSep + "\n"
        "Error_MemAlloc " + kSep + "\n"
        "Error_MemAlloc Detect memory leak, block count = 1\n"
        "Error_MemAlloc Creator:0x00000007 Size:16 Location:0x00a04000\n");  // cut: no closing line
    auto reports = ReadLeakReports(log);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].channel, "MemAlloc");
    EXPECT_EQ(reports[0].announcedCount, 3u);
    ASSERT_EQ(reports[0].blocks.size(), 3u);
    EXPECT_EQ(reports[0].blocks[1].creator, 0x66u);
    EXPECT_EQ(reports[0].blocks[1].location, 0xa02000u);
}

TEST(LeakReportTest, SummaryPutsTheLargestByteTotalFirst) {
    leakreport::LeakReport report;
    report.blocks = {{1, 10, 0x10}, {2, 100, 0x20}, {1, 10, 0x30}, {3, 20, 0x40}, {3, 1, 0x50}};
    auto totals = SummariseByCreator(report);
    ASSERT_EQ(totals.size(), 3u);
    EXPECT_EQ(totals[0].creator, 2u);
    EXPECT_EQ(totals[1].creator, 3u);
    EXPECT_EQ(totals[1].blocks, 2u);
    EXPECT_EQ(totals[1].bytes, 21u);
    EXPECT_EQ(totals[2].creator, 1u);
}

}  // namespace
