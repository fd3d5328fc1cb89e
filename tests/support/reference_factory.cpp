#include "reference_factory.h"

#include <cstdio>
#include <sstream>

#include "module_files.h"

namespace testsupport {

namespace {
using JournalFn = int (*)(char*, int);
using ClearJournalFn = void (*)();
}  // namespace

ReferenceFactory::ReferenceFactory()
    : module_(platform::LoadModule(BesideExecutable("ZorFact.dll").c_str())) {}

Lines ReferenceFactory::Journal() const {
    auto journal = reinterpret_cast<JournalFn>(platform::FindExport(module_, "ZorFactJournal"));
    if (!journal) return {};
    std::string text(static_cast<size_t>(journal(nullptr, 0)) + 1, '\0');
    text.resize(static_cast<size_t>(journal(&text[0], static_cast<int>(text.size()))));
    Lines lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

Lines ReferenceFactory::JournalLinesStartingWith(const std::string& prefix) const {
    Lines matching;
    for (const std::string& line : Journal())
        if (line.compare(0, prefix.size(), prefix) == 0) matching.push_back(line);
    return matching;
}

void ReferenceFactory::ClearJournal() const {
    auto clear = reinterpret_cast<ClearJournalFn>(platform::FindExport(module_, "ZorFactClearJournal"));
    if (clear) clear();
}

std::string JournalAddress(const void* address) {
    char text[32];
    snprintf(text, sizeof text, "0x%0*llx", static_cast<int>(2 * sizeof(void*)),
             static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(address)));
    return text;
}

}  // namespace testsupport
