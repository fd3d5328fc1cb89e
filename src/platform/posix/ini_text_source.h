// The characters of an INI file as the INI reader sees them. The Windows reader takes files
// in the ANSI code page, UTF-8 with a byte-order mark, and UTF-16 (either byte order) with
// a byte-order mark; this source accepts the same files and hands out bytes: ANSI and
// UTF-8 text as it stands (the mark dropped), UTF-16 text converted to UTF-8, which is
// what file names are on POSIX.
#pragma once

#include <cstdio>

namespace platform {

class IniTextSource {
public:
    explicit IniTextSource(const char* path);
    ~IniTextSource();
    IniTextSource(const IniTextSource&) = delete;
    IniTextSource& operator=(const IniTextSource&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    // The next byte of text, or EOF.
    int Next();

private:
    enum class Encoding { Bytes, Utf16LittleEndian, Utf16BigEndian };

    void SkipByteOrderMark();
    int NextUnit();
    unsigned long NextCodePoint();
    void QueueUtf8(unsigned long codePoint);

    FILE* file_;
    Encoding encoding_ = Encoding::Bytes;
    int pushedUnit_ = -1;          // a UTF-16 unit read ahead and not yet used
    unsigned char queued_[4] = {};  // the rest of a converted character
    int queuedCount_ = 0;
    int queuedNext_ = 0;
};

}  // namespace platform
