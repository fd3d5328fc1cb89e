// GetPrivateProfileStringA's rules, as the Windows reader applies them (the reference is
// what it does, checked by tests/tools/ini_probe on both builds):
// - a line whose first non-blank is '[' and that holds a ']' heads a section named by the
//   text up to its last ']'; a '[' line without ']' is an ordinary key line;
// - any other non-blank line is a key: the text before the first '=' names it, the rest is
//   its value; a line without '=' is a key without value, which gives the default;
// - nothing is a comment: ";x=1" is the key ";x", "a.dll ;c" is a value;
// - names are compared without case and without the blanks around them; lines before the
//   first header form the section named "", and only the first section of a name counts;
// - a value loses the blanks around it, then one pair of matching quotes;
// - a line ends at '\n' or '\r'.
// The file is read one character at a time, so lines of any length are handled without a
// line buffer; the only allocation is the FILE's own.
#include <cstring>

#include "platform/platform.h"
#include "platform/posix/ini_text_source.h"

namespace platform {

namespace {

bool IsBlank(int c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }
bool IsLineEnd(int c) { return c == '\n' || c == '\r'; }
bool IsQuote(int c) { return c == '"' || c == '\''; }
int Folded(int c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

struct Name {
    const char* text;
    size_t length;
};

Name TrimmedName(const char* text) {
    while (IsBlank(static_cast<unsigned char>(*text))) ++text;
    size_t length = strlen(text);
    while (length > 0 && IsBlank(static_cast<unsigned char>(text[length - 1]))) --length;
    return Name{text, length};
}

// Compares a name that arrives one character at a time with a wanted, trimmed name:
// blanks before the name are skipped, blanks after it are allowed.
class NameMatcher {
public:
    explicit NameMatcher(Name wanted) : wanted_(wanted) {}

    void Feed(int c) {
        if (failed_) return;
        if (!started_ && IsBlank(c)) return;
        started_ = true;
        if (matched_ < wanted_.length &&
            Folded(c) == Folded(static_cast<unsigned char>(wanted_.text[matched_]))) {
            ++matched_;
            return;
        }
        failed_ = !(matched_ == wanted_.length && IsBlank(c));
    }

    bool Matches() const { return !failed_ && matched_ == wanted_.length; }

private:
    Name wanted_;
    size_t matched_ = 0;
    bool started_ = false;
    bool failed_ = false;
};

// How many characters of a quoted value are kept in `room` characters. The Windows reader
// loses the last character when the text between the quotes fills the room exactly; the
// module reads through that reader on Windows, so the same happens here.
size_t KeptOfQuoted(size_t room, size_t inner) {
    if (room < inner) return room;
    if (room == inner) return inner == 0 ? 0 : inner - 1;
    return inner;
}

// The buffer holds the first min(size, length) characters of a trimmed value of `length`
// characters; cuts it to size - 1, drops its quotes, and terminates it.
void PlaceValue(char* buffer, int size, size_t length, bool quoted) {
    const size_t room = static_cast<size_t>(size - 1);
    if (!quoted) {
        buffer[length < room ? length : room] = '\0';
        return;
    }
    const size_t kept = KeptOfQuoted(room, length - 2);
    memmove(buffer, buffer + 1, kept);
    buffer[kept] = '\0';
}

bool IsQuotedText(size_t length, int first, int last) {
    return length >= 2 && IsQuote(first) && last == first;
}

// The Windows reader drops the spaces (not other blanks) at the end of the default, but
// never its first character, and then treats it like a value.
void PlaceDefault(const char* value, char* buffer, int size) {
    if (!value) value = "";
    size_t length = strlen(value);
    while (length > 1 && value[length - 1] == ' ') --length;
    const size_t stored = length < static_cast<size_t>(size) ? length : static_cast<size_t>(size);
    memmove(buffer, value, stored);
    const int first = length ? static_cast<unsigned char>(value[0]) : 0;
    const int last = length ? static_cast<unsigned char>(value[length - 1]) : 0;
    PlaceValue(buffer, size, length, IsQuotedText(length, first, last));
}

// Gathers a value that arrives one character at a time into the caller's buffer, keeping
// one character more than fits so that a leading quote can still be dropped.
class ValueCollector {
public:
    ValueCollector(char* buffer, int size) : buffer_(buffer), size_(size) {}

    void Feed(int c) {
        if (count_ == 0 && IsBlank(c)) return;
        if (count_ == 0) first_ = c;
        if (count_ < static_cast<size_t>(size_)) buffer_[count_] = static_cast<char>(c);
        ++count_;
        if (IsBlank(c)) return;
        trimmedLength_ = count_;
        last_ = c;
    }

    void Place() const {
        PlaceValue(buffer_, size_, trimmedLength_, IsQuotedText(trimmedLength_, first_, last_));
    }

private:
    char* buffer_;
    int size_;
    size_t count_ = 0;
    size_t trimmedLength_ = 0;
    int first_ = 0;
    int last_ = 0;
};

struct Query {
    Name section;
    Name key;
    char* buffer;
    int size;
};

enum class LineKind { Blank, Header, KeyWithValue, KeyWithoutValue };

struct ScannedLine {
    LineKind kind;
    bool nameMatches;  // the header's name, or the key's, is the wanted one
};

// Reads one line, after its leading blanks, without keeping it. A '[' line is followed as
// a header and as a key line at once, since only its end tells which it is. The value of a
// matching key goes into the caller's buffer while it is read (when `collect` is set).
class LineScanner {
public:
    LineScanner(const Query& query, bool collect)
        : section_(query.section), key_(query.key), value_(query.buffer, query.size),
          collect_(collect) {}

    void Feed(int c) {
        if (atStart_) {
            atStart_ = false;
            bracketLine_ = c == '[';
        } else if (bracketLine_) {
            FeedHeader(c);
        }
        FeedKeyLine(c);
    }

    ScannedLine Finish() {
        if (atStart_) return {LineKind::Blank, false};
        if (bracketLine_ && closed_) return {LineKind::Header, sectionMatches_};
        if (!sawEquals_) return {LineKind::KeyWithoutValue, key_.Matches()};
        if (keyMatches_ && collect_) value_.Place();
        return {LineKind::KeyWithValue, keyMatches_};
    }

private:
    // The name runs to the last ']' of the line: each ']' may be that one.
    void FeedHeader(int c) {
        if (c == ']') {
            closed_ = true;
            sectionMatches_ = section_.Matches();
        }
        section_.Feed(c);
    }

    void FeedKeyLine(int c) {
        if (sawEquals_) {
            if (keyMatches_ && collect_) value_.Feed(c);
            return;
        }
        if (c != '=') {
            key_.Feed(c);
            return;
        }
        sawEquals_ = true;
        keyMatches_ = key_.Matches();
    }

    NameMatcher section_;
    NameMatcher key_;
    ValueCollector value_;
    bool collect_;
    bool atStart_ = true;
    bool bracketLine_ = false;
    bool closed_ = false;
    bool sectionMatches_ = false;
    bool sawEquals_ = false;
    bool keyMatches_ = false;
};

// Returns false at the end of the file.
bool ScanLine(IniTextSource& source, LineScanner& scanner) {
    int c = source.Next();
    while (IsBlank(c)) c = source.Next();
    for (; c != EOF && !IsLineEnd(c); c = source.Next()) scanner.Feed(c);
    return c != EOF;
}

// True when the key was found in the first section of the wanted name: its value (or, for
// a key without value, the default) is then in the buffer.
bool FindValue(IniTextSource& source, const Query& query, const char* defaultValue) {
    bool inSection = query.section.length == 0;
    bool more = true;
    while (more) {
        LineScanner scanner(query, inSection);
        more = ScanLine(source, scanner);
        const ScannedLine line = scanner.Finish();
        if (line.kind == LineKind::Header) {
            if (inSection) return false;
            inSection = line.nameMatches;
            continue;
        }
        if (!inSection || !line.nameMatches) continue;
        if (line.kind == LineKind::KeyWithoutValue) PlaceDefault(defaultValue, query.buffer, query.size);
        return true;
    }
    return false;
}

}  // namespace

// A null section or key asks the Windows reader for a list of names, which the module
// never does; here it gives the empty text.
void ReadIniString(const char* section, const char* key, const char* defaultValue,
                   char* buffer, int size, const char* file) {
    if (!buffer || size <= 0) return;
    if (!section || !key) {
        buffer[0] = '\0';
        return;
    }
    IniTextSource source(file);
    const Query query{TrimmedName(section), TrimmedName(key), buffer, size};
    if (source.IsOpen() && FindValue(source, query, defaultValue)) return;
    PlaceDefault(defaultValue, buffer, size);
}

}  // namespace platform
