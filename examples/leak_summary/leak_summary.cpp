// leak-summary LOGFILE: blocks and bytes still held per creator, largest first, for every
// leak report in a log file that the factory writes.
#include <cinttypes>
#include <cstdio>
#include <fstream>

#include "leak_report.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: leak-summary LOGFILE\n");
        return 2;
    }
    std::ifstream log(argv[1], std::ios::binary);
    if (!log) {
        fprintf(stderr, "leak-summary: cannot open %s\n", argv[1]);
        return 1;
    }
    std::vector<leakreport::LeakReport> reports = leakreport::ReadLeakReports(log);
    if (reports.empty()) {
        printf("No leak report in %s.\n", argv[1]);
        return 0;
    }
    for (size_t i = 0; i < reports.size(); ++i) {
        const leakreport::LeakReport& report = reports[i];
        uint64_t bytes = 0;
        for (const auto& block : report.blocks) bytes += block.size;
        printf("Leak report %zu of %zu (channel %s): %zu blocks, %" PRIu64 " bytes\n", i + 1,
               reports.size(), report.channel.c_str(), report.blocks.size(), bytes);
        if (report.announcedCount != report.blocks.size())
            printf("  note: the report announced %u blocks but lists %zu\n", report.announcedCount,
                   report.blocks.size());
        printf("  %-12s %8s %12s\n", "creator", "blocks", "bytes");
        for (const leakreport::CreatorTotal& total : leakreport::SummariseByCreator(report))
            printf("  0x%08x   %8" PRIu64 " %12" PRIu64 "\n", total.creator, total.blocks, total.bytes);
    }
    return 0;
}
