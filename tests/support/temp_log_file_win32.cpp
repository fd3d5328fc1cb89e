#include <windows.h>

#include "temp_log_file.h"

namespace testsupport {

namespace {
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE OpenExisting(const std::string& path, DWORD access) {
    return CreateFileA(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}
}  // namespace

TempLogFile::TempLogFile() {
    char directory[MAX_PATH] = {0};
    char path[MAX_PATH] = {0};
    GetTempPathA(MAX_PATH, directory);
    GetTempFileNameA(directory, "zlg", 0, path);  // creates the file, empty
    path_ = path;
    HANDLE file = OpenExisting(path_, GENERIC_READ | GENERIC_WRITE);
    handle_ = file;
    open_ = file != INVALID_HANDLE_VALUE;
}

TempLogFile::~TempLogFile() {
    Close();
    DeleteFileA(path_.c_str());
}

void TempLogFile::Close() {
    if (open_) CloseHandle(static_cast<HANDLE>(handle_));
    open_ = false;
}

void TempLogFile::Resize(uint64_t length) {
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(length);
    SetFilePointerEx(static_cast<HANDLE>(handle_), position, nullptr, FILE_BEGIN);
    SetEndOfFile(static_cast<HANDLE>(handle_));
}

std::string TempLogFile::ReadFrom(uint64_t offset) const {
    std::string text;
    HANDLE reader = OpenExisting(path_, GENERIC_READ);
    if (reader == INVALID_HANDLE_VALUE) return text;
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    SetFilePointerEx(reader, position, nullptr, FILE_BEGIN);
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(reader, chunk, sizeof chunk, &got, nullptr) && got > 0) text.append(chunk, got);
    CloseHandle(reader);
    return text;
}

}  // namespace testsupport
