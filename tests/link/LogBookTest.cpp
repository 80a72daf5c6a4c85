#include "link/LogBook.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelmo {

namespace {

// Each reading one second after the previous one, from 2026-12-07 14:03:12.345+01:00 on.
class TickingClock : public journal::LocalClock {
  public:
    journal::LocalMoment Now() override { return {ms += 1000, 3600}; }
    std::int64_t ms = 1796648591345;
};

}  // namespace

// Each kind lands where the windows show it, stamped by the book's clock, and every line
// reaches every observer in order with the same time; a removed observer hears no more.
TEST(LogBook, EachKindGoesToItsPlaceAndEveryLineToTheObservers) {
    LogBook log;
    TickingClock clock;
    log.SetClock(clock);
    std::vector<std::string> first;
    std::vector<std::string> second;
    log.AddObserver([&](LogKind kind, std::string_view text, journal::LocalMoment at) {
        first.push_back(journal::Zeitstempel(at).substr(17, 2) + " " +
                        std::string(LogKindName(kind)) + ": " + std::string(text));
    });
    const auto id = log.AddObserver(
        [&](LogKind, std::string_view text, journal::LocalMoment) { second.emplace_back(text); });
    const struct {
        LogKind kind;
        const char* text;
        const char* telegrams;  // the telegram log, lines joined by '|'
        const char* client;
        const char* status;  // "-" while there is none
        bool shown;          // the version changes
    } rows[] = {
        {LogKind::Telegram, "0000000042{", "0000000042{", "", "-", true},
        {LogKind::Client, "TCPClient TCPConnect - Socket: 7", "0000000042{",
         "TCPClient TCPConnect - Socket: 7", "-", true},
        {LogKind::Status, "Fehler in der Datenauswertung!", "0000000042{",
         "TCPClient TCPConnect - Socket: 7", "Fehler in der Datenauswertung!", true},
        {LogKind::Status, "", "0000000042{", "TCPClient TCPConnect - Socket: 7", "", true},
        {LogKind::Warning, "Kein Ausgabepfad angegeben!\r\nDatei nicht geschrieben: /lt/A.txt",
         "0000000042{", "TCPClient TCPConnect - Socket: 7", "", false},
        {LogKind::File, "/lt/Uhr.txt", "0000000042{", "TCPClient TCPConnect - Socket: 7", "",
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const auto before = log.Version();
        log.Write(row.kind, row.text);
        const auto join = [](const RollingLog& l) {
            std::string text;
            for (const std::string& line : l.Lines())
                text += (text.empty() ? "" : "|") + line;
            return text;
        };
        EXPECT_EQ(join(log.Telegrams()), row.telegrams);
        EXPECT_EQ(join(log.Client()), row.client);
        EXPECT_EQ(log.Status().value_or("-"), row.status);
        EXPECT_EQ(log.Version() != before, row.shown);
    }
    EXPECT_EQ(first,
              (std::vector<std::string>{
                  "12 telegramm: 0000000042{", "13 client: TCPClient TCPConnect - Socket: 7",
                  "14 status: Fehler in der Datenauswertung!",
                  "15 status: ", "16 warnung: Kein Ausgabepfad angegeben!",
                  "16 warnung: Datei nicht geschrieben: /lt/A.txt", "17 datei: /lt/Uhr.txt"}));
    EXPECT_EQ(second.size(), first.size());
    log.RemoveObserver(id);
    log.Write(LogKind::File, "/lt/B.txt");
    EXPECT_EQ(second.size() + 1, first.size());
    log.ClearClient();
    EXPECT_TRUE(log.Client().Lines().empty() && log.Client().Times().empty());
    EXPECT_EQ(log.Telegrams().Size(), 1u);
}

}  // namespace zelmo
