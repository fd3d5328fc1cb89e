// The INI reader over real files in a scratch directory. On Windows the cases run against
// GetPrivateProfileStringA itself, natively against the POSIX reader: the same expectations
// hold for both. (tests/tools/ini_probe compares the two on a larger corpus.)
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace fs = std::filesystem;

namespace {

constexpr char kUntouched = '#';
constexpr int kGuard = 16;

struct Case {
    const char* name;
    std::string content;  // the file, byte for byte
    const char* section;
    const char* key;
    const char* defaultValue;
    int size;
    std::string expected;
};

std::string Utf16LittleEndian(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) bytes += std::string{c, '\0'};
    return bytes;
}

class IniReaderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
        for (int attempt = 0; directory_.empty(); ++attempt) {
            const fs::path candidate = fs::temp_directory_path() /
                ("zorvi_ini_test_" + std::to_string(ticks) + "_" + std::to_string(attempt));
            if (fs::create_directory(candidate)) directory_ = candidate;
        }
    }

    static void TearDownTestSuite() {
        std::error_code ignored;
        fs::remove_all(directory_, ignored);
        directory_.clear();
    }

    // Every file gets a name of its own: the Windows reader caches the files it has read.
    static std::string WriteIni(const std::string& content) {
        const fs::path path = directory_ / ("case" + std::to_string(++fileCount_) + ".ini");
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }

    // The text the reader left, after checking that it stayed inside the buffer and
    // terminated the text there.
    static std::string Read(const std::string& file, const char* section, const char* key,
                            const char* defaultValue, int size) {
        std::vector<char> buffer(static_cast<size_t>(size + kGuard), kUntouched);
        platform::ReadIniString(section, key, defaultValue, buffer.data(), size, file.c_str());
        for (int i = size; i < size + kGuard; ++i)
            EXPECT_EQ(buffer[static_cast<size_t>(i)], kUntouched) << "written past the buffer";
        if (!memchr(buffer.data(), '\0', static_cast<size_t>(size))) return "<unterminated>";
        return buffer.data();
    }

    static void ExpectReads(const std::vector<Case>& cases) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            const std::string file = WriteIni(c.content);
            EXPECT_EQ(Read(file, c.section, c.key, c.defaultValue, c.size), c.expected);
        }
    }

    static fs::path directory_;
    static int fileCount_;
};

fs::path IniReaderTest::directory_;
int IniReaderTest::fileCount_ = 0;

TEST_F(IniReaderTest, Names) {
    ExpectReads({
        {"plain", "[S]\nKey=value\n", "S", "Key", "d", 64, "value"},
        {"blanks around names", "[ \tS ]\n  Key \t=v\n", "S", "Key", "d", 64, "v"},
        {"blanks inside a name count", "[S]\nMy  Key=v\n", "S", "My Key", "d", 64, "d"},
        {"case of names", "[Section]\nKeyName=v\n", "SECTION", "keyname", "d", 64, "v"},
        {"blanks around the queried names", "[S]\nKey=v\n", " S\t", "\tKey ", "d", 64, "v"},
        {"missing section", "[S]\nKey=v\n", "T", "Key", "d", 64, "d"},
        {"missing key", "[S]\nKey=v\n", "S", "Other", "d", 64, "d"},
        {"key in another section", "[S]\n[T]\nKey=v\n", "S", "Key", "d", 64, "d"},
        {"header runs to the last bracket", "[S]]\nKey=v\n", "S]", "Key", "d", 64, "v"},
        {"text after the header", "[S] text\nKey=v\n", "S", "Key", "d", 64, "v"},
        {"indented header", "  [S]\nKey=v\n", "S", "Key", "d", 64, "v"},
        {"'[' line without ']' is a key", "[S]\n[Key=v\n", "S", "[Key", "d", 64, "v"},
        {"keys before any header: section \"\"", "Key=v\n[S]\n", "", "Key", "d", 64, "v"},
        {"empty key name", "[S]\n=v\n", "S", "", "d", 64, "v"},
    });
}

TEST_F(IniReaderTest, Values) {
    ExpectReads({
        {"blanks around the value", "[S]\nKey=  a b \t\n", "S", "Key", "d", 64, "a b"},
        {"'=' inside the value", "[S]\nKey=a=b\n", "S", "Key", "d", 64, "a=b"},
        {"empty value is not the default", "[S]\nKey=\n", "S", "Key", "d", 64, ""},
        {"double quotes", "[S]\nKey=\"a b\"\n", "S", "Key", "d", 64, "a b"},
        {"single quotes", "[S]\nKey='a b'\n", "S", "Key", "d", 64, "a b"},
        {"quotes within blanks", "[S]\nKey=  \"x\"  \n", "S", "Key", "d", 64, "x"},
        {"blanks within quotes", "[S]\nKey=\"  x  \"\n", "S", "Key", "d", 64, "  x  "},
        {"mismatched quotes stay", "[S]\nKey=\"x'\n", "S", "Key", "d", 64, "\"x'"},
        {"opening quote only", "[S]\nKey=\"x\n", "S", "Key", "d", 64, "\"x"},
        {"a lone quote stays", "[S]\nKey=\"\n", "S", "Key", "d", 64, "\""},
        {"no inline comment", "[S]\nKey=a.dll ;c\n", "S", "Key", "d", 64, "a.dll ;c"},
    });
}

TEST_F(IniReaderTest, WhichLineCounts) {
    ExpectReads({
        {"';' line is a key", "[S]\n;Key=hidden\n", "S", ";Key", "d", 64, "hidden"},
        {"';' line hides nothing", "[S]\n;Key=hidden\n", "S", "Key", "d", 64, "d"},
        {"'#' line is a key", "[S]\n#Key=h\n", "S", "#Key", "d", 64, "h"},
        {"first key wins", "[S]\nKey=first\nKey=second\n", "S", "Key", "d", 64, "first"},
        {"only the first section of a name", "[S]\nA=1\n[T]\n[s]\nB=2\n", "S", "B", "d", 64, "d"},
        {"key without '=' gives the default", "[S]\nKey\n", "S", "Key", "d", 64, "d"},
        {"key without '=' hides a later one", "[S]\nKey\nKey=later\n", "S", "Key", "d", 64, "d"},
        {"\"\" section after keys before any header", "A=1\n[]\nB=2\n", "", "B", "d", 64, "d"},
    });
}

TEST_F(IniReaderTest, LineEndsAndEncodings) {
    const std::string longValue(10000, 'x');
    ExpectReads({
        {"CRLF", "[S]\r\nKey=value  \r\nNext=n\r\n", "S", "Key", "d", 64, "value"},
        {"CRLF, later line", "[S]\r\nKey=value\r\nNext=n\r\n", "S", "Next", "d", 64, "n"},
        {"CR alone", "[S]\rKey=v\rNext=n\r", "S", "Next", "d", 64, "n"},
        {"no line end at the end", "[S]\nKey=end", "S", "Key", "d", 64, "end"},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBF[S]\nKey=v\n", "S", "Key", "d", 64, "v"},
        {"UTF-16", Utf16LittleEndian("[S]\r\nKey=wide\r\n"), "S", "Key", "d", 64, "wide"},
        {"long line, cut", "[S]\nKey=" + longValue + "\n", "S", "Key", "d", 64, std::string(63, 'x')},
        {"long line, whole", "[S]\nKey=\"" + longValue + "\"\n", "S", "Key", "d", 10002, longValue},
        {"line after a long one", "[S]\nKey=" + longValue + "\nNext=n\n", "S", "Next", "d", 64, "n"},
    });
}

TEST_F(IniReaderTest, CutToTheBuffer) {
    ExpectReads({
        {"size 1", "[S]\nKey=abcdef\n", "S", "Key", "d", 1, ""},
        {"size 2", "[S]\nKey=abcdef\n", "S", "Key", "d", 2, "a"},
        {"size 5", "[S]\nKey=abcdef\n", "S", "Key", "d", 5, "abcd"},
        {"exact fit", "[S]\nKey=abcdef\n", "S", "Key", "d", 7, "abcdef"},
        {"quoted, cut", "[S]\nKey=\"abcdef\"\n", "S", "Key", "d", 3, "ab"},
        // The Windows reader loses a character when the quoted text fills the buffer exactly.
        {"quoted, exact fit", "[S]\nKey=\"abcdef\"\n", "S", "Key", "d", 7, "abcde"},
        {"quoted, room to spare", "[S]\nKey=\"abcdef\"\n", "S", "Key", "d", 8, "abcdef"},
    });
}

TEST_F(IniReaderTest, Defaults) {
    ExpectReads({
        {"null default", "[S]\n", "S", "Key", nullptr, 64, ""},
        {"cut to the buffer", "[S]\n", "S", "Key", "default", 4, "def"},
        {"trailing spaces dropped", "[S]\n", "S", "Key", "  d  ", 64, "  d"},
        {"trailing tab kept", "[S]\n", "S", "Key", "d\t", 64, "d\t"},
        {"quotes dropped", "[S]\n", "S", "Key", "\"d\"", 64, "d"},
        {"empty file", "", "S", "Key", "d", 64, "d"},
    });
}

TEST_F(IniReaderTest, MissingFileGivesTheDefault) {
    const std::string missing = (directory_ / "no_such_file.ini").string();
    EXPECT_EQ(Read(missing, "S", "Key", "fallback", 64), "fallback");
    EXPECT_EQ(Read(missing, "S", "Key", "fallback", 5), "fall");
}

TEST_F(IniReaderTest, NoBufferNoWrite) {
    const std::string file = WriteIni("[S]\nKey=v\n");
    char buffer[4] = {kUntouched, kUntouched, kUntouched, kUntouched};
    platform::ReadIniString("S", "Key", "d", buffer, 0, file.c_str());
    EXPECT_EQ(std::string(buffer, 4), std::string(4, kUntouched));
    platform::ReadIniString("S", "Key", "d", nullptr, 64, file.c_str());
}

// Null names ask Windows for lists of names, which the module never does; whatever the
// answer, it stays inside the buffer.
TEST_F(IniReaderTest, NullNamesStayInsideTheBuffer) {
    const std::string file = WriteIni("[S]\nKey=value\nOther=x\n");
    for (int size : {1, 4, 64}) {
        SCOPED_TRACE(size);
        EXPECT_NE(Read(file, nullptr, "Key", "d", size), "<unterminated>");
        EXPECT_NE(Read(file, "S", nullptr, "d", size), "<unterminated>");
    }
}

TEST_F(IniReaderTest, RelativePathIsOpenedFromTheCurrentDirectory) {
    fs::create_directory(directory_ / "relative");
    std::ofstream(directory_ / "relative" / "config.ini", std::ios::binary) << "[S]\nKey=here\n";
    const fs::path previous = fs::current_path();
    fs::current_path(directory_);
    const std::string relative =
        std::string("relative") + platform::NativePathRules().joinSeparator + "config.ini";
    EXPECT_EQ(Read(relative, "S", "Key", "d", 64), "here");
    fs::current_path(previous);
}

}  // namespace
