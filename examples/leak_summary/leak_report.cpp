#include "leak_report.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <map>

namespace leakreport {

namespace {

const std::string kSeparator(69, '=');
const std::string kCountPrefix = "Detect memory leak, block count = ";

// Splits "Error_<name> <message>" (a CR before the line feed is tolerated); false for
// lines of another form.
bool SplitLine(std::string line, std::string& channel, std::string& message) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    static const std::string kLevel = "Error_";
    if (line.compare(0, kLevel.size(), kLevel) != 0) return false;
    size_t blank = line.find(' ', kLevel.size());
    if (blank == std::string::npos) return false;
    channel = line.substr(kLevel.size(), blank - kLevel.size());
    message = line.substr(blank + 1);
    return true;
}

bool ParseBlock(const std::string& message, LeakedBlock& block) {
    unsigned creator = 0;
    unsigned long long size = 0, location = 0;
    int consumed = 0;
    if (sscanf(message.c_str(), "Creator:0x%x Size:%llu Location:0x%llx%n", &creator, &size,
               &location, &consumed) != 3 ||
        static_cast<size_t>(consumed) != message.size())
        return false;
    block = LeakedBlock{creator, size, location};
    return true;
}

}  // namespace

std::vector<LeakReport> ReadLeakReports(std::istream& log) {
    // States: outside a report; after the opening separator; inside (after the count line).
    enum class State { Outside, Opened, Inside } state = State::Outside;
    std::vector<LeakReport> reports;
    LeakReport current;
    std::string line, channel, message;
    while (std::getline(log, line)) {
        if (!SplitLine(line, channel, message)) continue;
        if (state != State::Outside && channel != current.channel) continue;  // another component
        bool separator = message == kSeparator;
        LeakedBlock block;
        if (state == State::Outside || (state == State::Opened && separator)) {
            if (separator) {
                current = LeakReport{};
                current.channel = channel;
                state = State::Opened;
            }
        } else if (state == State::Opened && message.compare(0, kCountPrefix.size(), kCountPrefix) == 0) {
            current.announcedCount = static_cast<uint32_t>(strtoul(message.c_str() + kCountPrefix.size(), nullptr, 10));
            state = State::Inside;
        } else if (state == State::Inside && separator) {
            reports.push_back(current);
            state = State::Outside;
        } else if (state == State::Inside && ParseBlock(message, block)) {
            current.blocks.push_back(block);
        }
        // Anything else inside a report (a line of another kind from the same channel,
        // written by another thread) is passed over.
    }
    return reports;
}

std::vector<CreatorTotal> SummariseByCreator(const LeakReport& report) {
    std::map<uint32_t, CreatorTotal> totals;
    for (const LeakedBlock& block : report.blocks) {
        CreatorTotal& total = totals.emplace(block.creator, CreatorTotal{block.creator, 0, 0}).first->second;
        total.blocks += 1;
        total.bytes += block.size;
    }
    std::vector<CreatorTotal> sorted;
    for (const auto& entry : totals) sorted.push_back(entry.second);
    std::stable_sort(sorted.begin(), sorted.end(), [](const CreatorTotal& a, const CreatorTotal& b) {
        return a.bytes > b.bytes;
    });
    return sorted;
}

}  // namespace leakreport
