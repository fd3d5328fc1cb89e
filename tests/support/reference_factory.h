// The reference factory module (ZorFact.dll) as tests see it: loaded beside the test
// program, its journal of received calls read back line by line.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace testsupport {

using Lines = std::vector<std::string>;

class ReferenceFactory {
public:
    // Loads ZorFact.dll from beside the test program (a load of its own).
    ReferenceFactory();
    bool Loaded() const { return module_ != nullptr; }
    platform::ModuleHandle Module() const { return module_; }

    Lines Journal() const;
    // The journal lines that begin with `prefix`.
    Lines JournalLinesStartingWith(const std::string& prefix) const;
    void ClearJournal() const;

private:
    platform::ModuleHandle module_;
};

// "0x" and the address in lower-case hex with every digit of the pointer's width, as the
// journal writes addresses.
std::string JournalAddress(const void* address);

}  // namespace testsupport
