#include "FakePlatform.h"
#include "Messages.h"
#include "PropertyMap.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

class TempFile {
public:
    explicit TempFile(const std::string& content) {
        static int counter = 0;
        path = (fs::temp_directory_path() / ("orv-props-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                             "-" + std::to_string(counter++) + ".ini"))
                   .string();
        std::ofstream out(path, std::ios::binary);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
    }
    ~TempFile() { std::remove(path.c_str()); }
    std::string path;
};

PropertyMap Read(const std::string& content) {
    TempFile file(content);
    FakePlatform platform;
    PropertyMap map;
    ReadPropertiesFile(platform, file.path, map);
    EXPECT_TRUE(platform.messages.empty());
    return map;
}

using Entries = std::map<std::string, std::string>;

struct LineCase {
    const char* name;
    std::string content;
    Entries entries;
};

class PropertiesFile : public testing::TestWithParam<LineCase> {};

TEST_P(PropertiesFile, ReadsTheEntries) {
    EXPECT_EQ(Read(GetParam().content).Entries(), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, PropertiesFile,
    testing::Values(
        LineCase{"plain", "Launch.MemSize=256\n", {{"Launch.MemSize", "256"}}},
        LineCase{"blanks_kept", "Launch.MemSize = 256\n", {{"Launch.MemSize ", " 256"}}},
        LineCase{"second_equals_in_value", "a=b=c\n", {{"a", "b=c"}}},
        LineCase{"empty_key", "=x\n", {{"", "x"}}},
        LineCase{"empty_value", "Launch.OVHome=\n", {{"Launch.OVHome", ""}}},
        LineCase{"comment", "# Launch.MemSize=256\n", {}},
        LineCase{"blank_before_hash_is_entry", " # k=v\n", {{" # k", "v"}}},
        LineCase{"bang_is_ordinary", "!k=v\n", {{"!k", "v"}}},
        LineCase{"no_equals_ignored", "just text\n\n", {}},
        LineCase{"first_wins", "k=1\nk=2\n", {{"k", "1"}}},
        LineCase{"case_sensitive", "k=1\nK=2\n", {{"k", "1"}, {"K", "2"}}},
        LineCase{"crlf", "a=1\r\nb=2\r\n", {{"a", "1"}, {"b", "2"}}},
        LineCase{"no_final_line_end", "a=1\nb=2", {{"a", "1"}, {"b", "2"}}},
        LineCase{"trailing_blank_and_tab_kept", "a=1 \t\n", {{"a", "1 \t"}}},
        LineCase{"many_line_ends_stripped", "a=1\r\r\n\n\nb=2", {{"a", "1"}, {"b", "2"}}},
        // Old Mac files: a lone CR ends a line too, rather than making one giant line.
        LineCase{"cr_only", "a=1\rb=2\r", {{"a", "1"}, {"b", "2"}}},
        // A NUL ends the text of its line; the next line is read as usual.
        LineCase{"nul_in_line", std::string("a=1\0junk\nb=2\n", 14), {{"a", "1"}, {"b", "2"}}},
        LineCase{"nul_before_equals", std::string("a\0=1\nb=2\n", 9), {{"b", "2"}}},
        LineCase{"high_bytes_kept", "k\xE9=v\xFF\x80\n", {{"k\xE9", "v\xFF\x80"}}},
        LineCase{"empty_file", "", {}}),
    [](const testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST(PropertiesFile, LongLinesAreReadWhole) {
    const std::string value(1483, 'v');
    const std::string mega(1 << 20, 'm');
    const auto map = Read("Launch.Classpath=" + value + "\nbig=" + mega + "\nafter=1\n");
    EXPECT_EQ(map.Lookup("Launch.Classpath"), value);
    EXPECT_EQ(map.Lookup("big"), mega);
    EXPECT_EQ(map.Lookup("after"), "1");
    EXPECT_EQ(map.Size(), 3u);
}

TEST(PropertiesFile, HundredThousandLines) {
    std::string content;
    for (int i = 0; i < 100000; ++i) content += "key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    const auto map = Read(content);
    EXPECT_EQ(map.Size(), 100000u);
    EXPECT_EQ(map.Lookup("key99999"), "99999");
}

TEST(PropertiesFile, MissingFileOrFolderEndsWithMessage12) {
    const std::string folder = fs::temp_directory_path().string();
    for (const std::string& path : {std::string("no-such-dir/none.ini"), folder}) {
        FakePlatform platform;
        PropertyMap map;
        try {
            ReadPropertiesFile(platform, path, map);
            ADD_FAILURE() << "returned for " << path;
        } catch (const ProcessEnded& ended) {
            EXPECT_EQ(ended.exitCode, 1);
        }
        EXPECT_EQ(platform.messages, std::vector<std::string>{MessageText(12)}) << path;
    }
}

}  // namespace
