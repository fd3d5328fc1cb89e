// Reads the allocator's leak reports back from a log file that the factory writes.
//
// A report is the run of lines that a released allocator writes through its log channel:
//   Error_<name> =====================================================================
//   Error_<name> Detect memory leak, block count = <n>
//   Error_<name> Creator:0x<8 hex> Size:<decimal> Location:0x<hex>     (n lines)
//   Error_<name> =====================================================================
// Other lines (foreign frees, other components) may stand between and around reports.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace leakreport {

struct LeakedBlock {
    uint32_t creator;
    uint64_t size;
    uint64_t location;
};

struct LeakReport {
    std::string channel;              // the name after "Error_"
    uint32_t announcedCount = 0;      // the count line's n
    std::vector<LeakedBlock> blocks;  // the block lines, in the order written
};

struct CreatorTotal {
    uint32_t creator;
    uint64_t blocks;
    uint64_t bytes;
};

// Every complete report in the log, in file order.
std::vector<LeakReport> ReadLeakReports(std::istream& log);
// Blocks and bytes per creator, the largest byte total first (ties: lower creator first).
std::vector<CreatorTotal> SummariseByCreator(const LeakReport& report);

}  // namespace leakreport
