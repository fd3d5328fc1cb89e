// A real file in the system's temporary directory, opened for reading and writing through
// the platform's own API, so that its handle is of the kind a factory hands a log channel
// (a descriptor on POSIX, a HANDLE on Windows). Closed and deleted at the end.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace testsupport {

class TempLogFile {
public:
    TempLogFile();
    ~TempLogFile();
    TempLogFile(const TempLogFile&) = delete;
    TempLogFile& operator=(const TempLogFile&) = delete;

    platform::FileHandle Handle() const { return handle_; }
    // Closes the file early; Handle() keeps its value, which then names no open file.
    void Close();
    // Sets the file's length; added bytes read as zeros (sparse where the file system can).
    void Resize(uint64_t length);
    // The bytes from `offset` to the end of the file.
    std::string ReadFrom(uint64_t offset = 0) const;

private:
    std::string path_;
    platform::FileHandle handle_;
    bool open_ = false;
};

}  // namespace testsupport
