#include "link/LogBook.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelmo {

// Each kind lands where the windows show it, and every line reaches every observer in order.
TEST(LogBook, EachKindGoesToItsPlaceAndEveryLineToTheObservers) {
    LogBook log;
    std::vector<std::string> first;
    std::vector<std::string> second;
    log.AddObserver([&](LogKind kind, std::string_view text) {
        first.push_back(std::string(LogKindName(kind)) + ": " + std::string(text));
    });
    log.AddObserver([&](LogKind, std::string_view text) { second.emplace_back(text); });
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
        {LogKind::Warning, "Kein Ausgabepfad angegeben!", "0000000042{",
         "TCPClient TCPConnect - Socket: 7", "", false},
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
        EXPECT_EQ(second.back(), row.text);
    }
    EXPECT_EQ(first, (std::vector<std::string>{
                         "telegramm: 0000000042{", "client: TCPClient TCPConnect - Socket: 7",
                         "status: Fehler in der Datenauswertung!", "status: ",
                         "warnung: Kein Ausgabepfad angegeben!", "datei: /lt/Uhr.txt"}));
    log.ClearClient();
    EXPECT_TRUE(log.Client().Lines().empty());
    EXPECT_EQ(log.Telegrams().Size(), 1u);
}

}  // namespace zelmo
