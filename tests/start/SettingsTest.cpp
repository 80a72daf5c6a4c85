#include "start/ExtraSettings.h"
#include "start/Settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TempFolder.h"
#include "component/FileReplace.h"

namespace zelmo::start {
namespace {

using test::TempFolder;
const std::optional<double> kNone;

Settings Make(std::string address, std::string port, std::string autoConnect, std::string folder,
              std::optional<double> left = kNone, std::optional<double> top = kNone) {
    return {
        std::move(address), std::move(port), std::move(autoConnect), std::move(folder), left, top};
}

TEST(SettingsFile, NoFileGivesTheDefaults) {
    const TempFolder dir;
    const Settings defaults = Make("Localhost", "3000", "0", "nicht bekannt");
    EXPECT_EQ(ReadSettings(dir.Path()), defaults);
    EXPECT_EQ(ReadSettings(dir.File("fehlt")), defaults);
    EXPECT_EQ(Settings{}, defaults);
}

TEST(SettingsFile, WritesSixLinesAndReadsThemBack) {
    const TempFolder dir;
    const std::string programFolder = dir.File("Zelmo Prüfung");  // through the wide calls
    std::filesystem::create_directory(test::U8Path(programFolder));
    const Settings s = Make("192.168.0.10", "3020", "1", "D:\\LiveText\\Daten", 1440, 720);
    ASSERT_TRUE(WriteSettings(programFolder, s));
    EXPECT_EQ(dir.Read("Zelmo Prüfung/LiveTextStartwerte.TXT"),
              "192.168.0.10\r\n3020\r\n1\r\nD:\\LiveText\\Daten\r\n1440\r\n720\r\n");
    EXPECT_EQ(ReadSettings(programFolder), s);
}

// The extra settings keep lines they do not know, in their place, and the six-line file alone.
TEST(ExtraSettingsFile, KeepsUnknownLinesAndFallsBackToTheDefault) {
    struct Row {
        const char* datei;  // nullptr: none
        int staleSeconds;
        bool autoReconnect;
        const char* geschrieben;  // after SetStaleSeconds(90)
    };
    const Row rows[] = {
        {nullptr, 120, false, "WarnungOhneTelegrammNachSekunden=90\r\n"},
        {"Neu=\xe4\r\nWarnungOhneTelegrammNachSekunden = 300\nkaputt\r\n"
         "AutomatischWiederverbinden=1",
         300, true,
         "Neu=\xe4\r\nWarnungOhneTelegrammNachSekunden=90\r\nAutomatischWiederverbinden=1\r\n"},
        {"WarnungOhneTelegrammNachSekunden=2\r\nAutomatischWiederverbinden=01", 120, false,
         "WarnungOhneTelegrammNachSekunden=90\r\nAutomatischWiederverbinden=01\r\n"},
        {"WarnungOhneTelegrammNachSekunden=60s", 120, false,
         "WarnungOhneTelegrammNachSekunden=90\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.datei ? row.datei : "(none)");
        const TempFolder dir;
        if (row.datei)
            ReplaceFile(dir.File("LiveTextZusatzwerte.TXT"), row.datei);
        ExtraSettings settings = ReadExtraSettings(dir.Path());
        EXPECT_EQ(settings.StaleSeconds(), row.staleSeconds);
        EXPECT_EQ(settings.AutoReconnect(), row.autoReconnect);
        settings.SetStaleSeconds(90);
        ASSERT_TRUE(WriteExtraSettings(dir.Path(), settings));
        EXPECT_EQ(dir.Read("LiveTextZusatzwerte.TXT"), row.geschrieben);
        EXPECT_FALSE(std::filesystem::exists(dir.File("LiveTextStartwerte.TXT")));
    }
}

TEST(SettingsFile, FailedWriteReportsFalseAndKeepsWhatIsThere) {
    const TempFolder dir;
    EXPECT_FALSE(WriteSettings(dir.File("fehlt"), Settings{}));
    std::filesystem::create_directories(dir.File("LiveTextStartwerte.TXT/inhalt"));
    EXPECT_FALSE(WriteSettings(dir.Path(), Settings{}));
    EXPECT_TRUE(FolderExists(dir.File("LiveTextStartwerte.TXT/inhalt")));
}

TEST(SettingsFormat, ValuesAreWrittenSafelyAndReadBackExactly) {
    struct Row {
        const char* name;
        Settings settings;
        std::string bytes;
        bool roundTrips;
    };
    const Row rows[] = {
        {"umlauts in the code page",
         Make("Localhost", "3000", "0", "C:\\Übertragung\\Grüße", 100, 200),
         "Localhost\r\n3000\r\n0\r\nC:\\\334bertragung\\Gr\374\337e\r\n100\r\n200\r\n", true},
        {"commas and an inner quote mark kept as they are",
         Make("a,b", "3\"0", "0", "\\\\srv\\live, text", 1, 2),
         "a,b\r\n3\"0\r\n0\r\n\\\\srv\\live, text\r\n1\r\n2\r\n", true},
        {"a value in quotes gets one more pair",
         Make("\"Localhost\"", "\"\"", "0", "\"D:\\x\"", 1, 2),
         "\"\"Localhost\"\"\r\n\"\"\"\"\r\n0\r\n\"\"D:\\x\"\"\r\n1\r\n2\r\n", true},
        {"lone quote mark", Make("\"", "\"x", "0", "y\"", 1, 2),
         "\"\r\n\"x\r\n0\r\ny\"\r\n1\r\n2\r\n", true},
        {"fractional position", Make("h", "1", "1", "p", 1440.5, 0.25),
         "h\r\n1\r\n1\r\np\r\n1440.5\r\n0.25\r\n", true},
        {"line breaks in a value become blanks", Make("a\r\nb", "c\nd", "0", "e\rf\r\n", 1, 2),
         "a b\r\nc d\r\n0\r\ne f \r\n1\r\n2\r\n", false},
        {"no position, negative position", Make("h", "1", "0", "p", kNone, -60),
         "h\r\n1\r\n0\r\np\r\n0\r\n-60\r\n", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FormatSettings(row.settings), row.bytes);
        if (row.roundTrips) {
            EXPECT_EQ(ParseSettings(row.bytes), row.settings);
        }
    }
}

TEST(SettingsFormat, OddFilesReadWithDefaultsWhereValuesLack) {
    struct Row {
        const char* name;
        std::string bytes;
        Settings expected;
    };
    const Settings defaults = Make("Localhost", "3000", "0", "nicht bekannt");
    const Row rows[] = {
        {"empty file", "", defaults},
        {"short, no last line end", "h\r\n3020\r\n1", Make("h", "3020", "1", "nicht bekannt")},
        {"empty lines", "\r\n\r\n\r\n\r\n\r\n\r\n", defaults},
        {"quoted values",
         "\"192.168.1.2\"\r\n\"3020\"\r\n\"1\"\r\n\"C:\\Live, Text\"\r\n1\r\n2\r\n",
         Make("192.168.1.2", "3020", "1", "C:\\Live, Text", 1, 2)},
        {"empty quotes take the default", "\"\"\r\n\"\"\r\n\r\n\"\"\r\n", defaults},
        {"commas kept", "a,b\r\n30,20\r\n0\r\nx,\"y\"\r\n", Make("a,b", "30,20", "0", "x,\"y\"")},
        {"CR only", "h\r3020\r1\r/daten\r100\r200\r", Make("h", "3020", "1", "/daten", 100, 200)},
        {"mixed line ends", "h\r\n3020\n1\r/daten\r\n100\n200",
         Make("h", "3020", "1", "/daten", 100, 200)},
        {"CR before CR LF is an empty line", "h\r\r\n1\r\n",
         Make("h", "3000", "1", "nicht bekannt")},
        {"lines after the sixth ignored", "a\r\nb\r\nc\r\nd\r\n5\r\n6\r\n7\r\n8\r\n",
         Make("a", "b", "c", "d", 5, 6)},
        {"umlaut byte", "h\r\n1\r\n0\r\nD:\\B\xFChne\r\n", Make("h", "1", "0", "D:\\Bühne")},
        {"blanks kept", " h \r\n1\r\n0\r\n p\r\n", Make(" h ", "1", "0", " p")},
        {"positions with trailing text", "h\r\n1\r\n0\r\np\r\n12.7abc\r\n  300 twips\r\n",
         Make("h", "1", "0", "p", 12.7, 300)},
        {"positions not numeric", "h\r\n1\r\n0\r\np\r\nlinks\r\n\"\"\r\n",
         Make("h", "1", "0", "p")},
        {"quoted position", "h\r\n1\r\n0\r\np\r\n\"60\"\r\n\"x\"\r\n",
         Make("h", "1", "0", "p", 60)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ParseSettings(row.bytes), row.expected);
    }
}

TEST(SettingsValue, LeadingNumberAndPosition) {
    struct Row {
        const char* text;
        std::optional<double> value;
    };
    const Row rows[] = {{"1440", 1440}, {"12.7abc", 12.7}, {"5.", 5},      {".5", 0.5},
                        {"-3", -3},     {"+4", 4},         {"\t 7", 7},    {"1,5", 1},
                        {"1e3", 1000},  {"2E-1", 0.2},     {"1e+x", 1},    {"0x10", 0},
                        {"", kNone},    {".", kNone},      {"+.", kNone},  {"abc", kNone},
                        {"inf", kNone}, {"nan", kNone},    {"--1", kNone}, {"1e999", kNone},
                        {"e5", kNone}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(LeadingNumber(row.text), row.value);
    }
    EXPECT_EQ(PositionValue("0.0"), kNone);
    EXPECT_EQ(PositionValue("-1"), kNone);
    EXPECT_EQ(PositionValue("0.01"), 0.01);
}

TEST(SettingsValue, AutoConnectIsTheWholeNumberOne) {
    struct Row {
        const char* text;
        bool set;
    };
    const Row rows[] = {{"1", true},    {"0", false},   {"", false},   {" 1 ", true},
                        {"01", true},   {"+1", true},   {"2", false},  {"-1", false},
                        {"1.0", false}, {"1a", false},  {"ja", false}, {"Wahr", false},
                        {"10", false},  {"000", false}, {"+", false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(IsAutoConnectSet(row.text), row.set);
    }
}

}  // namespace
}  // namespace zelmo::start
