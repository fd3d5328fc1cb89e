#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include "temp_log_file.h"

namespace testsupport {

namespace {
int Descriptor(platform::FileHandle handle) {
    return static_cast<int>(reinterpret_cast<intptr_t>(handle));
}
}  // namespace

TempLogFile::TempLogFile() {
    const char* directory = getenv("TMPDIR");
    std::string pattern = std::string(directory && *directory ? directory : "/tmp") + "/zorvi-log-XXXXXX";
    int descriptor = mkstemp(&pattern[0]);
    path_ = pattern;
    handle_ = reinterpret_cast<platform::FileHandle>(static_cast<intptr_t>(descriptor));
    open_ = descriptor >= 0;
}

TempLogFile::~TempLogFile() {
    Close();
    unlink(path_.c_str());
}

void TempLogFile::Close() {
    if (open_) close(Descriptor(handle_));
    open_ = false;
}

void TempLogFile::Resize(uint64_t length) {
    int ignored = ftruncate(Descriptor(handle_), static_cast<off_t>(length));
    (void)ignored;
}

std::string TempLogFile::ReadFrom(uint64_t offset) const {
    std::string text;
    int reader = open(path_.c_str(), O_RDONLY);
    if (reader < 0) return text;
    char chunk[4096];
    ssize_t got;
    off_t position = static_cast<off_t>(offset);
    while ((got = pread(reader, chunk, sizeof chunk, position)) > 0) {
        text.append(chunk, static_cast<size_t>(got));
        position += got;
    }
    close(reader);
    return text;
}

}  // namespace testsupport
