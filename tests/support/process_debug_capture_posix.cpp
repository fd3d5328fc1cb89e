#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>

#include "process_debug_capture.h"

namespace testsupport {

struct ProcessDebugCapture::Impl {
    int savedStderr = -1;
    int file = -1;
    char path[64] = "/tmp/zorvi-debug-XXXXXX";
};

ProcessDebugCapture::ProcessDebugCapture() : impl_(new Impl) {
    fflush(stderr);
    impl_->file = mkstemp(impl_->path);
    impl_->savedStderr = dup(STDERR_FILENO);
    dup2(impl_->file, STDERR_FILENO);
}

ProcessDebugCapture::~ProcessDebugCapture() {
    fflush(stderr);
    dup2(impl_->savedStderr, STDERR_FILENO);
    close(impl_->savedStderr);
    close(impl_->file);
    unlink(impl_->path);
}

std::string ProcessDebugCapture::Text() const {
    fflush(stderr);
    std::string text;
    char chunk[4096];
    ssize_t got;
    off_t offset = 0;
    while ((got = pread(impl_->file, chunk, sizeof chunk, offset)) > 0) {
        text.append(chunk, static_cast<size_t>(got));
        offset += got;
    }
    return text;
}

}  // namespace testsupport
