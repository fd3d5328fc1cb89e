// Reads a fixed set of queries from the INI corpus through the platform's INI reader and
// prints one line per query. The same program is built natively and for Windows; the two
// outputs must be identical, the Windows reader being the reference.
//
//   ini_probe CORPUS_DIR
//
// CORPUS_DIR is given in the form the platform understands (on Windows a drive path).
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace {

struct Query {
    const char* section;
    const char* key;
    const char* defaultValue;  // may be null
    int size;
};

struct CorpusFile {
    const char* name;
    std::vector<Query> queries;
};

const std::string kHugeName(5000, 'x');

std::vector<CorpusFile> Corpus() {
    const char* huge = kHugeName.c_str();
    return {
        {"blanks.ini",
         {{"Blanks", "Plain", "d", 64},
          {"Blanks", "Indented", "d", 64},
          {"Blanks", "Tabbed", "d", 64},
          {"Blanks", "Inner", "d", 64},
          {"Blanks", "My Key", "d", 64},
          {"Blanks", "My  Key", "d", 64},
          {"Blanks", "MyKey", "d", 64},
          {"Blanks", "Equals", "d", 64},
          {"Blanks", "LeadTab", "d", 64},
          {"Blanks", "FormFeed", "d", 64},
          {"Blanks", "VTab", "d", 64},
          {"Blanks", "OddBlanks", "d", 64},
          {" Blanks ", " Plain ", "d", 64},
          {"\tBlanks\t", "\tPlain\t", "d", 64},
          {"Blanks", "Missing", "  spaced default  ", 64},
          {"Blanks", "Missing", "\ttabbed default\t", 64},
          {"Blanks", "Missing", "\"quoted default\"", 64},
          {"Blanks", "Missing", "\"x\"  ", 64},
          {"Blanks", "Missing", "  \"x\"", 64},
          {"Blanks", "Missing", "x\t ", 64},
          {"Blanks", "Missing", "   ", 64},
          {"Blanks", "Missing", "\"abcdefgh\"", 8},
          {"Blanks", "Missing", "\"abcdefgh\"", 9},
          {"Blanks", "Missing", "\"abcdefgh\"", 10},
          {"Blanks", "Missing", "\"left", 64},
          {"Blanks", "Missing", nullptr, 64},
          {"Blanks", "Missing", "", 64}}},
        {"quotes.ini",
         {{"Quotes", "Double", "d", 64},
          {"Quotes", "Single", "d", 64},
          {"Quotes", "LeftOnly", "d", 64},
          {"Quotes", "RightOnly", "d", 64},
          {"Quotes", "Mixed", "d", 64},
          {"Quotes", "OneQuote", "d", 64},
          {"Quotes", "TwoQuotes", "d", 64},
          {"Quotes", "ThreeQuotes", "d", 64},
          {"Quotes", "TwoQuotes", "d", 1},
          {"Quotes", "TwoQuotes", "d", 2},
          {"Quotes", "OneInside", "d", 2},
          {"Quotes", "OneInside", "d", 3},
          {"Quotes", "Inner", "d", 64},
          {"Quotes", "Padded", "d", 64},
          {"Quotes", "Outside", "d", 64},
          {"Quotes", "Nested", "d", 64},
          {"Quotes", "Semicolon", "d", 64},
          {"Quotes", "QuotedLong", "d", 1},
          {"Quotes", "QuotedLong", "d", 2},
          {"Quotes", "QuotedLong", "d", 5},
          {"Quotes", "QuotedLong", "d", 8},
          {"Quotes", "QuotedLong", "d", 9},
          {"Quotes", "QuotedLong", "d", 10},
          {"Quotes", "QuotedLong", "d", 11},
          {"Quotes", "SingleLong", "d", 9},
          {"Quotes", "SingleLong", "d", 10}}},
        {"case.ini",
         {{"MixedCase", "KeyName", "d", 64},
          {"mixedcase", "keyname", "d", 64},
          {"MIXEDCASE", "KEYNAME", "d", 64},
          {"MixedCase", "Other", "d", 64},
          {"LOWER", "upper", "d", 64}}},
        {"duplicates.ini",
         {{"Dup", "Key", "d", 64},
          {"Dup", "OnlyFirst", "d", 64},
          {"Dup", "OnlySecond", "d", 64},
          {"Dup", "OnlyThird", "d", 64},
          {"Dup", "OnlyFourth", "d", 64},
          {"Other", "Key", "d", 64}}},
        {"comments.ini",
         {{"Comments", "Hidden", "d", 64},
          {"Comments", ";Hidden", "d", 64},
          {"Comments", ";Indented", "d", 64},
          {"Comments", "; spaced comment", "d", 64},
          {"Comments", "#Hash", "d", 64},
          {"Comments", "Hash", "d", 64},
          {"Comments", "Inline", "d", 64},
          {"Comments", "HashInline", "d", 64},
          {"Comments", "After", "d", 64},
          {"Comments", "Still", "d", 64},
          {";[NotASection]", "Still", "d", 64},
          {"NotASection", "Still", "d", 64},
          {"", "; a comment line", "d", 64}}},
        {"crlf.ini",
         {{"Crlf", "Key", "d", 64},
          {"Crlf", "Trailing", "d", 64},
          {"Crlf", "Quoted", "d", 64},
          {"Crlf", "Empty", "d", 64},
          {"Crlf", "", "d", 64},
          {"Second", "Last", "d", 64}}},
        {"cr_only.ini",
         {{"Cr", "Key", "d", 64},
          {"Cr", "Quoted", "d", 64},
          {"Next", "Other", "d", 64}}},
        {"noequals.ini",
         {{"NoEquals", "JustAKey", "d", 64},
          {"NoEquals", "Spaced Key", "d", 64},
          {"NoEquals", "Empty", "d", 64},
          {"NoEquals", "BlanksOnly", "d", 64},
          {"NoEquals", "", "d", 64},
          {"NoEquals", " ", "d", 64},
          {"NoEquals", "After", "d", 64},
          {"NoEquals", "Twice", "d", 64},
          {"NoEquals", "JustAKey", "  spaced  ", 64}}},
        {"sections.ini",
         {{"Sections", "A", "d", 64},
          {"Spaced", "B", "d", 64},
          {" Spaced ", "B", "d", 64},
          {"Two  Words", "C", "d", 64},
          {"Two Words", "C", "d", 64},
          {"Tabbed", "D", "d", 64},
          {"Indented", "E", "d", 64},
          {"Trailing", "F", "d", 64},
          {"Unclosed", "G", "d", 64},
          {"Double", "H", "d", 64},
          {"Double]", "H", "d", 64},
          {"In", "I", "d", 64},
          {"In]ner", "I", "d", 64},
          {"", "J", "d", 64},
          {"", "K", "d", 64},
          {" ", "K", "d", 64},
          {"Trailing", "G", "d", 64},
          {"Trailing", "[Unclosed", "d", 64},
          {"Sections", "[Broken", "d", 64},
          {"Sections", "Broken", "d", 64},
          {"Broken=val", "B", "d", 64},
          {"A=B", "L", "d", 64},
          {"A=B", "M", "d", 64},
          {"NotHeader", "M", "d", 64}}},
        {"emptyname.ini",
         {{"", "J", "d", 64},
          {"After", "Key", "d", 64}}},
        {"nosection.ini",
         {{"", "Orphan", "d", 64},
          {"Real", "Orphan", "d", 64},
          {"Real", "Key", "d", 64}}},
        {"bom.ini", {{"Bom", "Key", "d", 64}}},
        {"utf16.ini", {{"Utf16", "Key", "d", 64}, {"Utf16", "Key", "d", 3}}},
        {"utf16be.ini", {{"Big", "Key", "d", 64}}},
        {"long.ini",
         {{"Long", "Short", "d", 1},
          {"Long", "Short", "d", 2},
          {"Long", "Short", "d", 5},
          {"Long", "Short", "d", 10},
          {"Long", "Short", "d", 11},
          {"Long", "Quoted", "d", 5},
          {"Long", "Huge", "d", 1024},
          {"Long", "Huge", "d", 6000},
          {"Long", "HugeQuoted", "d", 1024},
          {"Long", "HugeQuoted", "d", 6000},
          {"Long", "AfterHuge", "d", 64},
          {"Long", huge, "d", 64},
          {huge, "Key", "d", 64},
          {"Tail", "Key", "d", 64},
          {"Long", "Missing", "default", 1},
          {"Long", "Missing", "default", 2},
          {"Long", "Missing", "default", 5},
          {"Long", "Missing", "default", 8}}},
        {"empty.ini", {{"Any", "Key", "empty file", 64}}},
        {"missing.ini",
         {{"Any", "Key", "missing file", 64},
          {"Any", "Key", "missing file", 4},
          {"Any", "Key", nullptr, 64}}},
    };
}

// Long texts are shown by their ends, their length and a checksum of all of them, so that
// the output stays readable and still tells any two texts apart.
std::string Describe(const std::string& text) {
    std::string shown;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7f) {
            shown += static_cast<char>(c);
        } else {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\x%02X", c);
            shown += escaped;
        }
    }
    if (shown.size() <= 80) return shown;
    unsigned long hash = 2166136261ul;
    for (unsigned char c : text) hash = ((hash ^ c) * 16777619ul) & 0xFFFFFFFFul;
    char summary[64];
    snprintf(summary, sizeof summary, "...(%zu chars, fnv %08lX)...", text.size(), hash);
    return shown.substr(0, 24) + summary + shown.substr(shown.size() - 8);
}

std::string DescribeArgument(const char* text) { return text ? Describe(text) : "(null)"; }

// The buffer is followed by guard bytes that the reader must leave alone.
std::string RunQuery(const std::string& path, const Query& query) {
    constexpr int kGuard = 16;
    std::vector<char> buffer(static_cast<size_t>(query.size + kGuard), '#');
    platform::ReadIniString(query.section, query.key, query.defaultValue, buffer.data(),
                            query.size, path.c_str());
    for (int i = query.size; i < query.size + kGuard; ++i)
        if (buffer[static_cast<size_t>(i)] != '#') return "OVERRUN";
    const void* end = memchr(buffer.data(), '\0', static_cast<size_t>(query.size));
    if (!end) return "UNTERMINATED";
    return "[" + Describe(buffer.data()) + "]";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: ini_probe CORPUS_DIR\n");
        return 2;
    }
    const std::string directory = argv[1];
    const char separator = platform::NativePathRules().joinSeparator;
    for (const CorpusFile& file : Corpus()) {
        const std::string path = directory + separator + file.name;
        for (const Query& query : file.queries) {
            printf("%s|%s|%s|%s|%d => %s\n", file.name, DescribeArgument(query.section).c_str(),
                   DescribeArgument(query.key).c_str(),
                   DescribeArgument(query.defaultValue).c_str(), query.size,
                   RunQuery(path, query).c_str());
        }
    }
    return 0;
}
