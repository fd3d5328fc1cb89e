// A text record of every call the factory's objects receive, one line per call, for tests
// and demos that want to see what a component module told the factory.
#pragma once

#include <cstdint>
#include <string>

namespace zorfact {

void JournalLine(const std::string& line);
// The journal so far, copied into `buffer` (cut to size - 1 characters, terminated when
// size > 0); the length of the whole journal.
int32_t CopyJournal(char* buffer, int32_t size);
void ClearJournal();

// "0x" and the address in lower-case hex, all digits of the pointer's width.
std::string AddressText(const void* address);
// The text, or "(null)".
std::string TextOrNull(const char* text);

}  // namespace zorfact
