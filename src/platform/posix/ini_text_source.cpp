#include "platform/posix/ini_text_source.h"

namespace platform {

namespace {
constexpr unsigned long kReplacementCharacter = 0xFFFD;
constexpr unsigned long kNoCodePoint = ~0ul;

bool IsHighSurrogate(int unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool IsLowSurrogate(int unit) { return unit >= 0xDC00 && unit < 0xE000; }
}  // namespace

IniTextSource::IniTextSource(const char* path) : file_(path ? fopen(path, "rb") : nullptr) {
    if (file_) SkipByteOrderMark();
}

IniTextSource::~IniTextSource() {
    if (file_) fclose(file_);
}

// Without a mark the file is read from its first byte as it stands.
void IniTextSource::SkipByteOrderMark() {
    unsigned char head[3] = {};
    size_t got = fread(head, 1, sizeof head, file_);
    long textStart = 0;
    if (got >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF) {
        textStart = 3;
    } else if (got >= 2 && head[0] == 0xFF && head[1] == 0xFE) {
        encoding_ = Encoding::Utf16LittleEndian;
        textStart = 2;
    } else if (got >= 2 && head[0] == 0xFE && head[1] == 0xFF) {
        encoding_ = Encoding::Utf16BigEndian;
        textStart = 2;
    }
    fseek(file_, textStart, SEEK_SET);
}

int IniTextSource::Next() {
    if (!file_) return EOF;
    if (encoding_ == Encoding::Bytes) return getc(file_);
    if (queuedNext_ < queuedCount_) return queued_[queuedNext_++];
    unsigned long codePoint = NextCodePoint();
    if (codePoint == kNoCodePoint) return EOF;
    QueueUtf8(codePoint);
    return queued_[queuedNext_++];
}

// One UTF-16 unit, or EOF (an odd last byte is dropped).
int IniTextSource::NextUnit() {
    if (pushedUnit_ >= 0) {
        int unit = pushedUnit_;
        pushedUnit_ = -1;
        return unit;
    }
    int first = getc(file_);
    int second = getc(file_);
    if (first == EOF || second == EOF) return EOF;
    return encoding_ == Encoding::Utf16LittleEndian ? first | (second << 8)
                                                    : (first << 8) | second;
}

unsigned long IniTextSource::NextCodePoint() {
    int unit = NextUnit();
    if (unit == EOF) return kNoCodePoint;
    if (IsLowSurrogate(unit)) return kReplacementCharacter;
    if (!IsHighSurrogate(unit)) return static_cast<unsigned long>(unit);
    int low = NextUnit();
    if (!IsLowSurrogate(low)) {
        pushedUnit_ = low;  // EOF stays EOF: -1
        return kReplacementCharacter;
    }
    return 0x10000ul + ((static_cast<unsigned long>(unit) - 0xD800) << 10) +
           (static_cast<unsigned long>(low) - 0xDC00);
}

void IniTextSource::QueueUtf8(unsigned long codePoint) {
    queuedNext_ = 0;
    if (codePoint < 0x80) {
        queued_[0] = static_cast<unsigned char>(codePoint);
        queuedCount_ = 1;
    } else if (codePoint < 0x800) {
        queued_[0] = static_cast<unsigned char>(0xC0 | (codePoint >> 6));
        queued_[1] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
        queuedCount_ = 2;
    } else if (codePoint < 0x10000) {
        queued_[0] = static_cast<unsigned char>(0xE0 | (codePoint >> 12));
        queued_[1] = static_cast<unsigned char>(0x80 | ((codePoint >> 6) & 0x3F));
        queued_[2] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
        queuedCount_ = 3;
    } else {
        queued_[0] = static_cast<unsigned char>(0xF0 | (codePoint >> 18));
        queued_[1] = static_cast<unsigned char>(0x80 | ((codePoint >> 12) & 0x3F));
        queued_[2] = static_cast<unsigned char>(0x80 | ((codePoint >> 6) & 0x3F));
        queued_[3] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
        queuedCount_ = 4;
    }
}

}  // namespace platform
