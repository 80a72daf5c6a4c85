#include "start/Settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "component/FileReplace.h"

namespace zelmo::start {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("zelmo-settings-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Folder() const { return dir_.string(); }
    std::string File() const { return (dir_ / "LiveTextStartwerte.TXT").string(); }
    fs::path dir_;
};

Settings Make(std::string address, std::string port, std::string autoConnect, std::string folder,
              std::optional<double> left, std::optional<double> top) {
    Settings s;
    s.address = std::move(address);
    s.port = std::move(port);
    s.autoConnect = std::move(autoConnect);
    s.liveTextFolder = std::move(folder);
    s.left = left;
    s.top = top;
    return s;
}

TEST_F(SettingsFileTest, NoFileGivesTheDefaults) {
    const Settings s = ReadSettings(Folder());
    EXPECT_EQ(s.address, "Localhost");
    EXPECT_EQ(s.port, "3000");
    EXPECT_EQ(s.autoConnect, "0");
    EXPECT_EQ(s.liveTextFolder, "nicht bekannt");
    EXPECT_EQ(s.left, std::nullopt);
    EXPECT_EQ(s.top, std::nullopt);
    EXPECT_EQ(ReadSettings(Folder() + "/fehlt"), Settings{});
}

TEST_F(SettingsFileTest, WritesSixLinesAndReadsThemBack) {
    const Settings s = Make("192.168.0.10", "3020", "1", "D:\\LiveText\\Daten", 1440, 720);
    ASSERT_TRUE(WriteSettings(Folder(), s));
    EXPECT_EQ(ReadFile(File()),
              "192.168.0.10\r\n3020\r\n1\r\nD:\\LiveText\\Daten\r\n1440\r\n720\r\n");
    EXPECT_EQ(ReadSettings(Folder()), s);

    // Defaults written after a start without a file, window at its design position.
    ASSERT_TRUE(WriteSettings(Folder(), Make("Localhost", "3000", "0", "nicht bekannt", 0, 0)));
    EXPECT_EQ(ReadFile(File()), "Localhost\r\n3000\r\n0\r\nnicht bekannt\r\n0\r\n0\r\n");
}

TEST_F(SettingsFileTest, FailedWriteReportsFalse) {
    EXPECT_FALSE(WriteSettings(Folder() + "/fehlt", Settings{}));
    // The settings file's name is taken by a folder: it stays as it was.
    fs::create_directories(dir_ / "LiveTextStartwerte.TXT" / "inhalt");
    EXPECT_FALSE(WriteSettings(Folder(), Settings{}));
    EXPECT_TRUE(FolderExists(File() + "/inhalt"));
}

TEST(SettingsFormatTest, ValuesRoundTripExactly) {
    struct Row {
        const char* name;
        Settings settings;
        std::string bytes;
    };
    const Row rows[] = {
        {"umlauts in the code page",
         Make("Localhost", "3000", "0", "C:\\Übertragung\\Grüße", 100, 200),
         "Localhost\r\n3000\r\n0\r\nC:\\\xDC"
         "bertragung\\Gr\xFC\xDF"
         "e\r\n100\r\n200\r\n"},
        {"comma and single quote mark kept as they are",
         Make("a,b", "3\"0", "0", "\\\\srv\\live, text", 1, 2),
         "a,b\r\n3\"0\r\n0\r\n\\\\srv\\live, text\r\n1\r\n2\r\n"},
        {"a value in quotes gets one more pair",
         Make("\"Localhost\"", "\"\"", "0", "\"D:\\x\"", 1, 2),
         "\"\"Localhost\"\"\r\n\"\"\"\"\r\n0\r\n\"\"D:\\x\"\"\r\n1\r\n2\r\n"},
        {"lone quote mark", Make("\"", "\"x", "0", "y\"", 1, 2),
         "\"\r\n\"x\r\n0\r\ny\"\r\n1\r\n2\r\n"},
        {"fractional position", Make("h", "1", "1", "p", 1440.5, 0.25),
         "h\r\n1\r\n1\r\np\r\n1440.5\r\n0.25\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FormatSettings(row.settings), row.bytes);
        EXPECT_EQ(ParseSettings(row.bytes), row.settings);
    }
}

TEST(SettingsFormatTest, WhatCannotBeStoredAsIsIsWrittenSafely) {
    struct Row {
        const char* name;
        Settings settings;
        std::string bytes;
    };
    const Row rows[] = {
        {"line breaks in a value become blanks", Make("a\r\nb", "c\nd", "0", "e\rf\r\n", 1, 2),
         "a b\r\nc d\r\n0\r\ne f \r\n1\r\n2\r\n"},
        {"no position, negative position", Make("h", "1", "0", "p", std::nullopt, -60),
         "h\r\n1\r\n0\r\np\r\n0\r\n-60\r\n"},
        {"character outside the code page", Make("h\xE2\x86\x92", "1", "0", "p", 1, 2),
         "h?\r\n1\r\n0\r\np\r\n1\r\n2\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FormatSettings(row.settings), row.bytes);
    }
}

TEST(SettingsFormatTest, OddFilesReadWithDefaultsWhereValuesLack) {
    const std::optional<double> none;
    struct Row {
        const char* name;
        std::string bytes;
        Settings expected;
    };
    const Row rows[] = {
        {"empty file", "", Make("Localhost", "3000", "0", "nicht bekannt", none, none)},
        {"one line", "10.0.0.5\r\n", Make("10.0.0.5", "3000", "0", "nicht bekannt", none, none)},
        {"short, no last line end", "h\r\n3020\r\n1",
         Make("h", "3020", "1", "nicht bekannt", none, none)},
        {"empty lines", "\r\n\r\n\r\n\r\n\r\n\r\n",
         Make("Localhost", "3000", "0", "nicht bekannt", none, none)},
        {"quoted values",
         "\"192.168.1.2\"\r\n\"3020\"\r\n\"1\"\r\n\"C:\\Live, Text\"\r\n1\r\n2\r\n",
         Make("192.168.1.2", "3020", "1", "C:\\Live, Text", 1, 2)},
        {"empty quotes take the default", "\"\"\r\n\"\"\r\n\r\n\"\"\r\n",
         Make("Localhost", "3000", "0", "nicht bekannt", none, none)},
        {"commas kept", "a,b\r\n30,20\r\n0\r\nx,\"y\"\r\n",
         Make("a,b", "30,20", "0", "x,\"y\"", none, none)},
        {"LF only", "h\n3020\n1\n/daten\n100\n200\n", Make("h", "3020", "1", "/daten", 100, 200)},
        {"CR only", "h\r3020\r1\r/daten\r100\r200\r", Make("h", "3020", "1", "/daten", 100, 200)},
        {"mixed line ends", "h\r\n3020\n1\r/daten\r\n100\n200",
         Make("h", "3020", "1", "/daten", 100, 200)},
        {"CR before CR LF is an empty line", "h\r\r\n1\r\n",
         Make("h", "3000", "1", "nicht bekannt", none, none)},
        {"lines after the sixth ignored", "a\r\nb\r\nc\r\nd\r\n5\r\n6\r\n7\r\n8\r\n",
         Make("a", "b", "c", "d", 5, 6)},
        {"umlaut byte", "h\r\n1\r\n0\r\nD:\\B\xFChne\r\n",
         Make("h", "1", "0", "D:\\Bühne", none, none)},
        {"blanks kept", " h \r\n1\r\n0\r\n p\r\n", Make(" h ", "1", "0", " p", none, none)},
        {"positions zero and negative", "h\r\n1\r\n0\r\np\r\n0\r\n-15\r\n",
         Make("h", "1", "0", "p", none, none)},
        {"positions with trailing text", "h\r\n1\r\n0\r\np\r\n12.7abc\r\n  300 twips\r\n",
         Make("h", "1", "0", "p", 12.7, 300)},
        {"positions not numeric", "h\r\n1\r\n0\r\np\r\nlinks\r\n\"\"\r\n",
         Make("h", "1", "0", "p", none, none)},
        {"quoted position", "h\r\n1\r\n0\r\np\r\n\"60\"\r\n\"x\"\r\n",
         Make("h", "1", "0", "p", 60, none)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ParseSettings(row.bytes), row.expected);
    }
}

TEST(SettingsValueTest, LeadingNumber) {
    struct Row {
        const char* text;
        std::optional<double> value;
    };
    const Row rows[] = {
        {"1440", 1440},
        {"12.7abc", 12.7},
        {"5.", 5},
        {".5", 0.5},
        {"-3", -3},
        {"+4", 4},
        {"  7", 7},
        {"\t8", 8},
        {"1,5", 1},
        {"1e3", 1000},
        {"2E-1", 0.2},
        {"1e", 1},
        {"1e+x", 1},
        {"0x10", 0},
        {"", std::nullopt},
        {".", std::nullopt},
        {"-", std::nullopt},
        {"+.", std::nullopt},
        {"abc", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"--1", std::nullopt},
        {"1e999", std::nullopt},
        {"e5", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(LeadingNumber(row.text), row.value);
    }
}

TEST(SettingsValueTest, PositionOnlyAboveZero) {
    EXPECT_EQ(PositionValue("0"), std::nullopt);
    EXPECT_EQ(PositionValue("0.0"), std::nullopt);
    EXPECT_EQ(PositionValue("-1"), std::nullopt);
    EXPECT_EQ(PositionValue("0.01"), 0.01);
    EXPECT_EQ(PositionValue("15360"), 15360);
}

TEST(SettingsValueTest, AutoConnectIsTheWholeNumberOne) {
    struct Row {
        const char* text;
        bool set;
    };
    const Row rows[] = {
        {"1", true},   {"0", false},    {"", false},   {" 1 ", true},  {"01", true},
        {"+1", true},  {"2", false},    {"-1", false}, {"1.0", false}, {"1a", false},
        {"ja", false}, {"Wahr", false}, {"10", false}, {"000", false}, {"+", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(IsAutoConnectSet(row.text), row.set);
    }
}

}  // namespace
}  // namespace zelmo::start
