#include <fcntl.h>
#include <unistd.h>

#include "platform/platform.h"

namespace platform {

FileHandle OpenFileForAppend(const char* path) {
    if (!path || !*path) return NoFile();
    // 0666 before the umask, as CreateFileA's default security gives every user's tools
    // read access to a log.
    int descriptor = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (descriptor < 0) return NoFile();
    return reinterpret_cast<FileHandle>(static_cast<intptr_t>(descriptor));
}

void CloseFile(FileHandle file) {
    if (file == NoFile()) return;
    close(static_cast<int>(reinterpret_cast<intptr_t>(file)));
}

}  // namespace platform
