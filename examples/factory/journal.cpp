#include "journal.h"

#include <cstring>
#include <iomanip>
#include <mutex>
#include <sstream>

namespace zorfact {

namespace {
// Calls arrive from any thread of the host.
std::mutex g_journalMutex;
std::string g_journal;
}  // namespace

void JournalLine(const std::string& line) {
    std::lock_guard<std::mutex> guard(g_journalMutex);
    g_journal += line;
    g_journal += '\n';
}

int32_t CopyJournal(char* buffer, int32_t size) {
    std::lock_guard<std::mutex> guard(g_journalMutex);
    if (buffer && size > 0) {
        size_t copied = g_journal.size() < static_cast<size_t>(size - 1) ? g_journal.size()
                                                                          : static_cast<size_t>(size - 1);
        memcpy(buffer, g_journal.data(), copied);
        buffer[copied] = '\0';
    }
    return static_cast<int32_t>(g_journal.size());
}

void ClearJournal() {
    std::lock_guard<std::mutex> guard(g_journalMutex);
    g_journal.clear();
}

std::string AddressText(const void* address) {
    std::ostringstream text;
    text << "0x" << std::hex << std::setfill('0') << std::setw(2 * sizeof(void*))
         << reinterpret_cast<uintptr_t>(address);
    return text.str();
}

std::string TextOrNull(const char* text) { return text ? std::string(text) : std::string("(null)"); }

}  // namespace zorfact
