// The journal's files: local time and the daily names, the daily log across midnight and a
// folder it cannot write, the flight recorder's lines, restart and bound.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "TempFolder.h"
#include "journal/DailyLog.h"
#include "journal/FlightRecorder.h"
#include "journal/LocalTime.h"
#include "journal/Show.h"

namespace zelmo::journal {
namespace {

using test::TempFolder;

LocalMoment At(const std::string& zoned) {
    const auto moment = ZeitstempelLesen(zoned);
    EXPECT_TRUE(moment) << zoned;
    return moment.value_or(LocalMoment{});
}

class FakeClock : public LocalClock {
  public:
    explicit FakeClock(const std::string& zoned) : now(At(zoned)) {}
    LocalMoment Now() override { return now; }
    LocalMoment now;
};

TEST(LocalTime, StampsAndDayFilesFromTheInstantAndItsOffset) {
    struct Row {
        LocalMoment moment;
        std::string zoned;  // ZeitstempelMitZone
        std::int64_t day;
    };
    const Row rows[] = {
        {{1796648592345, 3600}, "2026-12-07 14:03:12.345+01:00", 20794},
        // The offset moves the local day past midnight, into a leap day's next.
        {{1709249400000, 3600}, "2024-03-01 00:30:00.000+01:00", 19783},
        {{1709249400000, -19800}, "2024-02-29 18:00:00.000-05:30", 19782},
        {{-1, 0}, "1969-12-31 23:59:59.999+00:00", -1},
        {{1774745999999, 3600}, "2026-03-29 01:59:59.999+01:00", 20541},
        {{1774746000000, 7200}, "2026-03-29 03:00:00.000+02:00", 20541},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.zoned);
        EXPECT_EQ(ZeitstempelMitZone(row.moment), row.zoned);
        EXPECT_EQ(Zeitstempel(row.moment), row.zoned.substr(0, 23));
        EXPECT_EQ(row.moment.Day(), row.day);
        const auto back = ZeitstempelLesen(row.zoned);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->utcMs, row.moment.utcMs);
        EXPECT_EQ(back->offsetSeconds, row.moment.offsetSeconds);
        EXPECT_EQ(Tagesdateiname(row.day, ".log"), row.zoned.substr(0, 10) + ".log");
        EXPECT_EQ(TagAusDateiname(row.zoned.substr(0, 10) + ".log", ".log"), row.day);
    }
    for (const char* text : {"2026-12-07 14:03:12.345", "2026-12-07T14:03:12.345+01:00",
                             "2026-02-29 14:03:12.345+01:00", "2026-12-07 24:00:00.000+01:00",
                             "2026-12-07 14:03:12.345+01:60", "2026-12-07 14:03:12,345+01:00"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(ZeitstempelLesen(text));
    }
    // Only names of exactly the daily form are a journal's: retention never touches another
    // file.
    for (const char* name :
         {"2025-02-29.log", "2026-13-01.log", "2026-12-00.log", "2026-12-07.log.1",
          "2026-12-07.jsonl", "2026-12-07.LOG", "x2026-12-07.log", "2026-1-07.log",
          "2026-12-07 .log", "2026_12_07.log", "+026-12-07.log", ".log"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(TagAusDateiname(name, ".log"), std::nullopt);
    }
    EXPECT_EQ(TagAusDateiname("2026-12-07.jsonl", ".jsonl"), 20794);
}

TEST(DailyLog, LinesGoToTheFileOfTheirDayAndOldFilesGo) {
    TempFolder dir;
    const std::string folder = dir.File("Protokolle");
    std::filesystem::create_directory(test::U8Path(folder));
    // Kept: 30 days back and anything not of the daily form.
    for (const char* name : {"2025-12-07.log", "2026-11-06.log", "2026-11-07.log", "2026-12-06.log",
                             "2026-11-01.log.bak", "notizen.log", "2026-11-01.jsonl"})
        dir.Write(std::string("Protokolle/") + name, "alt\n");

    DailyLog log(folder);
    const LocalMoment before = At("2026-12-07 23:59:59.999+01:00");
    const LocalMoment after = At("2026-12-08 00:00:00.000+01:00");
    EXPECT_EQ(log.Write(before, LogLine(before, "telegramm", "0000000019kein\r\nJSON")),
              std::nullopt);
    EXPECT_EQ(dir.Entries("Protokolle"),
              (std::vector<std::string>{"2026-11-01.jsonl", "2026-11-01.log.bak", "2026-11-07.log",
                                        "2026-12-06.log", "2026-12-07.log", "notizen.log"}));
    EXPECT_EQ(log.Write(after, LogLine(after, "client", "Verbinde mit sender:3020")), std::nullopt);
    EXPECT_EQ(log.Write(after, LogLine(after, "datei", "/srv/Live Text/Reiter.txt")), std::nullopt);

    EXPECT_EQ(dir.Read("Protokolle/2026-12-07.log"),
              "2026-12-07 23:59:59.999 telegramm: 0000000019kein  JSON\n");
    EXPECT_EQ(dir.Read("Protokolle/2026-12-08.log"),
              "2026-12-08 00:00:00.000 client: Verbinde mit sender:3020\n"
              "2026-12-08 00:00:00.000 datei: /srv/Live Text/Reiter.txt\n");
    EXPECT_EQ(dir.Entries("Protokolle"),
              (std::vector<std::string>{"2026-11-01.jsonl", "2026-11-01.log.bak", "2026-12-06.log",
                                        "2026-12-07.log", "2026-12-08.log", "notizen.log"}));
}

// A long line keeps its first 500 characters, never half of one, and says how long it was.
TEST(DailyLog, ALongLineIsCutAfterFiveHundredCharacters) {
    const std::string a499(499, 'a');
    const struct {
        std::string text, shown;
    } rows[] = {
        {a499 + "\xC3\x96", a499 + "\xC3\x96"},
        {a499 + "\xC3\x96\xC3\x96", a499 + "\xC3\x96 \xE2\x80\xA6 (501 Zeichen)"},
        {a499 + "b\r\n", a499 + "b \xE2\x80\xA6 (502 Zeichen)"},
    };
    for (const auto& [text, shown] : rows) {
        std::string out;
        AppendLogText(out, text);
        EXPECT_EQ(out, shown) << text.size();
    }
}

// Warned once, lines dropped and counted, tried again after the wait, and said when it works.
TEST(DailyLog, AFolderItCannotWriteWarnsOnceAndRecovers) {
    TempFolder dir;
    dir.Write("Protokolle", "eine Datei, kein Ordner");
    const std::string folder = dir.File("Protokolle");
    DailyLog log(folder);
    const LocalMoment t0 = At("2026-12-07 14:00:00.000+01:00");
    const auto line = [](LocalMoment at) { return LogLine(at, "status", "x"); };
    const auto warning = log.Write(t0, line(t0));
    ASSERT_TRUE(warning);
    EXPECT_EQ(warning->kind, "warnung");
    const std::string path = test::SystemJoin(folder, "2026-12-07.log");
    EXPECT_TRUE(
        warning->text.starts_with("Protokolldatei " + path + " kann nicht geschrieben werden: "))
        << warning->text;
    EXPECT_TRUE(warning->text.ends_with("; neuer Versuch alle 10 s")) << warning->text;

    std::filesystem::remove(test::U8Path(folder));
    std::filesystem::create_directory(test::U8Path(folder));
    LocalMoment t = t0;
    for (const std::int64_t ms : {1, 5000, 9999}) {
        t.utcMs = t0.utcMs + ms;
        EXPECT_EQ(log.Write(t, line(t)), std::nullopt) << ms;
    }
    EXPECT_EQ(dir.Entries("Protokolle"), std::vector<std::string>{});
    t.utcMs = t0.utcMs + 10000;
    EXPECT_EQ(log.Write(t, line(t)), (Notice{"status", "Protokolldatei " + path +
                                                           " wird wieder geschrieben (4 Zeilen "
                                                           "fehlen)"}));
    EXPECT_EQ(dir.Read("Protokolle/2026-12-07.log"), "2026-12-07 14:00:10.000 status: x\n");
}

TEST(FlightRecorder, EachTelegramALineOfTheShowTimedFromTheDaysFirst) {
    TempFolder dir;
    const std::string folder = dir.File("Mitschnitt");
    FakeClock clock("2026-12-07 14:00:00.000+01:00");
    {
        FlightRecorder recorder(folder, clock);
        EXPECT_EQ(recorder.Telegram("{\"a\":\r\n 1}", true), std::nullopt);
        clock.now.utcMs += 1250;
        EXPECT_EQ(recorder.Telegram("kein \"JSON\"", false), std::nullopt);
    }
    // A restart appends to today's file and goes on counting from its first telegram; a clock
    // set back does not count backwards; the next day starts its own file from 0.
    FlightRecorder recorder(folder, clock);
    clock.now = At("2026-12-07 14:00:05.000+01:00");
    EXPECT_EQ(recorder.Telegram("{}", true), std::nullopt);
    clock.now = At("2026-12-07 14:00:04.000+01:00");
    EXPECT_EQ(recorder.Telegram("[]", true), std::nullopt);
    clock.now = At("2026-12-08 00:00:00.500+01:00");
    EXPECT_EQ(recorder.Telegram("{\"b\": 2}", true), std::nullopt);
    clock.now.utcMs += 20;
    EXPECT_EQ(recorder.Telegram("{\"c\": 3}", true), std::nullopt);

    const std::string firstRun =
        "{\"at_ms\": 0, \"local_time\": \"2026-12-07 14:00:00.000+01:00\", \"telegram\": "
        "{\"a\":   1}}\n"
        "{\"at_ms\": 1250, \"local_time\": \"2026-12-07 14:00:01.250+01:00\", \"raw\": \"kein "
        "\\\"JSON\\\"\"}\n";
    const std::string day1 =
        firstRun +
        "{\"at_ms\": 5000, \"local_time\": \"2026-12-07 14:00:05.000+01:00\", \"telegram\": {}}\n"
        "{\"at_ms\": 5000, \"local_time\": \"2026-12-07 14:00:04.000+01:00\", \"telegram\": []}\n";
    EXPECT_EQ(dir.Read("Mitschnitt/2026-12-07.jsonl"), day1);
    const std::string day2 =
        "{\"at_ms\": 0, \"local_time\": \"2026-12-08 00:00:00.500+01:00\", \"telegram\": "
        "{\"b\": 2}}\n"
        "{\"at_ms\": 20, \"local_time\": \"2026-12-08 00:00:00.520+01:00\", \"telegram\": "
        "{\"c\": 3}}\n";
    EXPECT_EQ(dir.Read("Mitschnitt/2026-12-08.jsonl"), day2);
    EXPECT_EQ(recorder.BytesWritten(), day1.size() - firstRun.size() + day2.size());

    // What simulate plays from it: the payloads as received.
    std::vector<std::string> payloads;
    for (const ShowTelegram& t : ParseShow(day1))
        payloads.push_back(std::to_string(*t.atMs) + " " + t.payload);
    EXPECT_EQ(payloads, (std::vector<std::string>{"0 {\"a\":   1}", "1250 kein \"JSON\"", "5000 {}",
                                                  "5000 []"}));
}

// Lines of 76 bytes: {"at_ms": 0, "local_time": "2026-12-07 14:00:00.000+01:00", "telegram": {}}
TEST(FlightRecorder, TheBoundDropsTheOldestDaysAndNeverToday) {
    struct Row {
        const char* name;
        std::uint64_t limit;
        std::map<std::string, std::size_t> older;
        // day, telegrams, the bytes its file holds after them
        std::vector<std::tuple<std::string, int, std::size_t>> days;
        std::vector<std::string> left;
        std::vector<std::string> warnings;
    };
    const Row rows[] = {
        {"older days make room, oldest first",
         400,
         {{"2026-12-04.jsonl", 100},
          {"2026-12-05.jsonl", 100},
          {"2026-12-06.jsonl", 100},
          {"notizen.jsonl", 500}},
         {{"2026-12-07", 3, 228}},
         {"2026-12-06.jsonl", "2026-12-07.jsonl", "notizen.jsonl"},
         {}},
        {"today alone at the bound stops until midnight",
         200,
         {{"2026-12-06.jsonl", 100}},
         {{"2026-12-07", 4, 152}, {"2026-12-08", 1, 76}},
         {"2026-12-08.jsonl"},
         {"2026-12-07.jsonl hat die Grenze von 200 Bytes erreicht; bis Mitternacht wird nichts "
          "mehr aufgezeichnet"}},
        {"the default bound is 2 GB",
         FlightRecorder::kDefaultLimit,
         {{"2026-12-06.jsonl", 100}},
         {{"2026-12-07", 2, 152}},
         {"2026-12-06.jsonl", "2026-12-07.jsonl"},
         {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempFolder dir;
        for (const auto& [name, size] : row.older)
            dir.Write(name, std::string(size, 'x'));
        FakeClock clock("2026-12-07 14:00:00.000+01:00");
        FlightRecorder recorder(dir.Path(), clock, row.limit);
        std::vector<std::string> warnings;
        for (const auto& [day, count, bytes] : row.days) {
            clock.now = At(day + " 14:00:00.000+01:00");
            for (int i = 0; i < count; ++i) {
                for (const auto& notice : {recorder.Telegram("{}", true), recorder.Tidy()}) {
                    if (notice) {
                        EXPECT_EQ(notice->kind, "warnung");
                        warnings.push_back(notice->text.substr(dir.SystemFile("").size() + 11));
                    }
                }
                EXPECT_LE(recorder.TotalBytes(), row.limit);
            }
            EXPECT_EQ(dir.Read(day + ".jsonl").size(), bytes) << day;
        }
        EXPECT_EQ(dir.Entries(), row.left);
        EXPECT_EQ(warnings, row.warnings);
    }
}

}  // namespace
}  // namespace zelmo::journal
