#include "start/ExtraSettings.h"
#include "start/Settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "TempFolder.h"

namespace zelmo::start {
namespace {

using test::TempFolder;
const std::optional<double> kNone;

Settings Make(std::string address, std::string port, std::string autoConnect, std::string folder,
              std::optional<double> left = kNone, std::optional<double> top = kNone) {
    return {
        std::move(address), std::move(port), std::move(autoConnect), std::move(folder), left, top};
}

TEST(SettingsFile, WritesSixLinesAndReadsThemBackOrTheDefaults) {
    const TempFolder dir;
    const std::string programFolder = dir.File("Zelmo Prüfung");  // through the wide calls
    const Settings defaults = Make("Localhost", "3000", "0", "nicht bekannt");
    EXPECT_EQ(Settings{}, defaults);
    EXPECT_EQ(ReadSettings(programFolder), defaults);
    EXPECT_FALSE(WriteSettings(programFolder, defaults));
    std::filesystem::create_directory(test::U8Path(programFolder));
    EXPECT_EQ(ReadSettings(programFolder), defaults);
    const Settings s = Make("192.168.0.10", "3020", "1", "D:\\LiveText\\Daten", 1440, 720);
    ASSERT_TRUE(WriteSettings(programFolder, s));
    EXPECT_EQ(dir.Read("Zelmo Prüfung/LiveTextStartwerte.TXT"),
              "192.168.0.10\r\n3020\r\n1\r\nD:\\LiveText\\Daten\r\n1440\r\n720\r\n");
    EXPECT_EQ(ReadSettings(programFolder), s);
}

// The extra settings keep lines they do not know, in their place, and the six-line file alone.
TEST(ExtraSettingsFile, KeepsUnknownLinesAndFallsBackToTheDefault) {
    // file (nullptr: none), stale seconds read, automatic reconnection, file after a change
    const std::tuple<const char*, int, bool, const char*> rows[] = {
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
    for (const auto& [datei, staleSeconds, autoReconnect, geschrieben] : rows) {
        SCOPED_TRACE(datei ? datei : "(none)");
        const TempFolder dir;
        if (datei)
            dir.Write("LiveTextZusatzwerte.TXT", datei);
        ExtraSettings settings = ReadExtraSettings(dir.Path());
        EXPECT_EQ(settings.StaleSeconds(), staleSeconds);
        EXPECT_EQ(settings.AutoReconnect(), autoReconnect);
        settings.SetStaleSeconds(90);
        ASSERT_TRUE(WriteExtraSettings(dir.Path(), settings));
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"LiveTextZusatzwerte.TXT"});
        EXPECT_EQ(dir.Read("LiveTextZusatzwerte.TXT"), geschrieben);
    }
}

// Values are written safely and read back exactly; odd files read with the defaults where
// values lack.
TEST(SettingsFormat, WrittenAndRead) {
    const Settings defaults = Make("Localhost", "3000", "0", "nicht bekannt");
    // settings, file, whether it is written ('w'), read ('r') or both ('b')
    const std::tuple<Settings, std::string, char> rows[] = {
        {Make("Localhost", "3000", "0", "C:\\Übertragung\\Grüße", 1440.5, 0.25),
         "Localhost\r\n3000\r\n0\r\nC:\\\334bertragung\\Gr\374\337e\r\n1440.5\r\n0.25\r\n", 'b'},
        {Make("a,b", "\"", "\"x", "\\\\srv\\live, \"text", 1, 2),
         "a,b\r\n\"\r\n\"x\r\n\\\\srv\\live, \"text\r\n1\r\n2\r\n", 'b'},
        // a value in quotes gets one more pair, as the reader takes one away
        {Make("\"Localhost\"", "\"\"", "0", "\"D:\\x\"", 1, 2),
         "\"\"Localhost\"\"\r\n\"\"\"\"\r\n0\r\n\"\"D:\\x\"\"\r\n1\r\n2\r\n", 'b'},
        {Make("a\r\nb", "c\nd", "0", "e\rf\r\n", 1, 2), "a b\r\nc d\r\n0\r\ne f \r\n1\r\n2\r\n",
         'w'},
        {Make("h", "1", "0", "p", kNone, -60), "h\r\n1\r\n0\r\np\r\n0\r\n-60\r\n", 'w'},
        {defaults, "", 'r'},
        {Make(" h ", "3020", "1", "nicht bekannt"), " h \r\n3020\r\n1", 'r'},
        {defaults, "\"\"\r\n\"\"\r\n\r\n\"\"\r\n", 'r'},
        {Make("h", "3020", "1", "/daten", 100, 200), "h\r3020\r1\r/daten\r100\r200\r", 'r'},
        {Make("h", "3020", "1", "/daten", 100, 200), "h\r\n3020\n1\r/daten\r\n100\n200", 'r'},
        {Make("h", "3000", "1", "nicht bekannt"), "h\r\r\n1\r\n", 'r'},
        {Make("a", "b", "c", "d", 5, 6), "a\r\nb\r\nc\r\nd\r\n5\r\n6\r\n7\r\n8\r\n", 'r'},
        {Make("h", "1", "0", "p", 12.7, 60), "h\r\n1\r\n0\r\np\r\n12.7abc\r\n\"60\"\r\n", 'r'},
        {Make("h", "1", "0", "p"), "h\r\n1\r\n0\r\np\r\nlinks\r\n\"\"\r\n", 'r'},
    };
    for (const auto& [settings, bytes, way] : rows) {
        SCOPED_TRACE(bytes);
        if (way != 'r') {
            EXPECT_EQ(FormatSettings(settings), bytes);
        }
        if (way != 'w') {
            EXPECT_EQ(ParseSettings(bytes), settings);
        }
    }
}

TEST(SettingsValue, LeadingNumberPositionAndAutoConnect) {
    const std::pair<const char*, std::optional<double>> numbers[] = {
        {"12.7abc", 12.7}, {"5.", 5},      {".5", 0.5},      {"-3", -3},     {"+4", 4},
        {"\t 7", 7},       {"1,5", 1},     {"1e3", 1000},    {"2E-1", 0.2},  {"1e+x", 1},
        {"0x10", 0},       {"", kNone},    {"+.", kNone},    {"abc", kNone}, {"inf", kNone},
        {"nan", kNone},    {"--1", kNone}, {"1e999", kNone}, {"e5", kNone},
    };
    for (const auto& [text, value] : numbers) {
        SCOPED_TRACE(text);
        EXPECT_EQ(LeadingNumber(text), value);
    }
    EXPECT_EQ(PositionValue("0.0"), kNone);
    EXPECT_EQ(PositionValue("-1"), kNone);
    EXPECT_EQ(PositionValue("0.01"), 0.01);
    // Automatic connection: the whole number 1 only.
    const std::pair<const char*, bool> autoConnect[] = {
        {"1", true},   {" 1 ", true},  {"01", true},  {"+1", true},  {"0", false},   {"", false},
        {"-1", false}, {"1.0", false}, {"1a", false}, {"10", false}, {"000", false}, {"+", false},
    };
    for (const auto& [text, set] : autoConnect) {
        SCOPED_TRACE(text);
        EXPECT_EQ(IsAutoConnectSet(text), set);
    }
}

}  // namespace
}  // namespace zelmo::start
