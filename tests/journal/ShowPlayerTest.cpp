// Playing a show as the scoring sender: when each telegram goes, what an acknowledgement, its
// absence and a receiver that leaves do, on a clock moved by hand.
#include "journal/ShowPlayer.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "link/Frame.h"

namespace zelmo {
namespace {

using Ms = std::chrono::milliseconds;
using Pace = ShowPlayer::Pace;

struct Row {
    const char* name;
    std::vector<std::optional<std::int64_t>> atMs;
    Pace pace;
    bool loop;
    int ackAfterMs;  // the receiver's answer time; -1: it never answers
    // The receiver is away from .first to .second (ms).
    std::vector<std::pair<int, int>> away;
    int stopAtMs;  // -1: played to its end
    std::string sends;
    std::string stats;
};

// Runs a row millisecond by millisecond: "index@ms" for each send, and the figures at the end.
std::pair<std::string, std::string> Play(const Row& row) {
    std::vector<ShowTelegram> show;
    for (std::size_t i = 0; i < row.atMs.size(); ++i)
        show.push_back({i + 1, row.atMs[i], "{\"Nr\": " + std::to_string(i) + "}"});
    ShowPlayer player(show, row.pace, row.loop);
    const auto t0 = ShowPlayer::Clock::time_point{} + std::chrono::hours(1);
    std::string sends;
    int ackAt = -1;  // none
    bool connected = false;
    for (int ms = 0; ms <= 20000 && !player.Done(); ++ms) {
        const auto now = t0 + Ms(ms);
        bool away = false;
        for (const auto& [from, to] : row.away)
            away = away || (ms >= from && ms < to);
        if (connected && away) {
            player.Disconnected();
            ackAt = -1;
        } else if (!connected && !away) {
            player.Connected(now);
        }
        connected = !away;
        if (ms == row.stopAtMs) {
            player.Stop();
            break;
        }
        if (ackAt == ms) {
            EXPECT_EQ(player.Acknowledged(now), std::int64_t{row.ackAfterMs} * 1000);
            ackAt = -1;
        }
        player.GiveUpIfDue(now);
        if (const auto due = player.SendDue(); due && *due <= now) {
            EXPECT_EQ(player.Frame(), EncodeFrame(show[player.Position()].payload));
            sends += (sends.empty() ? "" : " ") + std::to_string(player.Position()) + "@" +
                     std::to_string(ms);
            player.Sent(now);
            EXPECT_EQ(player.AckDeadline(), now + ShowPlayer::kAckTimeout);
            if (row.ackAfterMs >= 0)
                ackAt = ms + row.ackAfterMs;
        }
    }
    const ShowPlayer::Statistics& s = player.Stats();
    return {sends, "gesendet " + std::to_string(s.sent) + ", quittiert " +
                       std::to_string(s.acknowledged) + ", ohne " +
                       std::to_string(s.withoutAcknowledgement) + ", unterbrochen " +
                       std::to_string(s.interrupted) + (player.Done() ? ", fertig" : "")};
}

TEST(ShowPlayer, WhenEachTelegramGoes) {
    const std::vector<std::optional<std::int64_t>> timed = {100, 300, std::nullopt, 1000};
    const Row rows[] = {
        // Times count from the first timed telegram sent; a bare line follows the previous
        // acknowledgement.
        {"as recorded",
         timed,
         Pace::AsRecorded(),
         false,
         10,
         {},
         -1,
         "0@0 1@200 2@210 3@900",
         "gesendet 4, quittiert 4, ohne 0, unterbrochen 0, fertig"},
        {"twice as fast",
         timed,
         Pace::AsRecorded(2),
         false,
         10,
         {},
         -1,
         "0@0 1@100 2@110 3@450",
         "gesendet 4, quittiert 4, ohne 0, unterbrochen 0, fertig"},
        // A slow answer never makes two telegrams wait at once; a late one goes at once.
        {"answers slower than the show",
         timed,
         Pace::AsRecorded(),
         false,
         500,
         {},
         -1,
         "0@0 1@500 2@1000 3@1500",
         "gesendet 4, quittiert 4, ohne 0, unterbrochen 0, fertig"},
        {"an interval from send to send",
         timed,
         Pace{Ms(50), 1},
         false,
         10,
         {},
         -1,
         "0@0 1@50 2@100 3@150",
         "gesendet 4, quittiert 4, ohne 0, unterbrochen 0, fertig"},
        {"an interval, twice as fast",
         timed,
         Pace{Ms(50), 2},
         false,
         10,
         {},
         -1,
         "0@0 1@25 2@50 3@75",
         "gesendet 4, quittiert 4, ohne 0, unterbrochen 0, fertig"},
        {"after each acknowledgement",
         timed,
         Pace::AfterEachAcknowledgement(),
         false,
         7,
         {},
         -1,
         "0@0 1@7 2@14 3@21",
         "gesendet 4, quittiert 4, ohne 0, unterbrochen 0, fertig"},
        // Given up after 4 s, the telegram stays sent and the show goes on.
        {"a receiver that never answers",
         {0, 10},
         Pace::AsRecorded(),
         false,
         -1,
         {},
         -1,
         "0@0 1@4000",
         "gesendet 2, quittiert 0, ohne 2, unterbrochen 0, fertig"},
        // The unacknowledged telegram goes again to the next receiver, timed afresh from there.
        {"the receiver leaves while one waits",
         timed,
         Pace::AsRecorded(),
         false,
         10,
         {{5, 1000}},
         -1,
         "0@0 0@1000 1@1200 2@1210 3@1900",
         "gesendet 5, quittiert 4, ohne 0, unterbrochen 1, fertig"},
        {"the receiver leaves between two",
         timed,
         Pace::AsRecorded(),
         false,
         10,
         {{50, 1000}},
         -1,
         "0@0 1@1000 2@1010 3@1700",
         "gesendet 4, quittiert 4, ohne 0, unterbrochen 0, fertig"},
        {"no receiver, nothing sent",
         timed,
         Pace::AsRecorded(),
         false,
         10,
         {{0, 30000}},
         -1,
         "",
         "gesendet 0, quittiert 0, ohne 0, unterbrochen 0"},
        // Each round is timed from its own start.
        {"loop",
         {0, 100},
         Pace::AsRecorded(),
         true,
         10,
         {},
         215,
         "0@0 1@100 0@110 1@210",
         "gesendet 4, quittiert 3, ohne 0, unterbrochen 1"},
        {"an empty show is over at once",
         {},
         Pace::AsRecorded(),
         false,
         10,
         {},
         -1,
         "",
         "gesendet 0, quittiert 0, ohne 0, unterbrochen 0, fertig"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto [sends, stats] = Play(row);
        EXPECT_EQ(sends, row.sends);
        EXPECT_EQ(stats, row.stats);
    }
}

// An acknowledgement that answers nothing, and anything after the end, change nothing.
TEST(ShowPlayer, StrayAcknowledgementsAndAStoppedPlay) {
    const auto t0 = ShowPlayer::Clock::time_point{} + std::chrono::hours(1);
    ShowPlayer player({{1, std::nullopt, "{}"}, {2, std::nullopt, "{}"}},
                      Pace::AfterEachAcknowledgement(), false);
    player.Connected(t0);
    EXPECT_EQ(player.Acknowledged(t0), std::nullopt);
    player.Sent(t0);
    EXPECT_EQ(player.Acknowledged(t0 + Ms(3)), 3000);
    EXPECT_EQ(player.Acknowledged(t0 + Ms(4)), std::nullopt);
    EXPECT_EQ(player.Position(), 1u);
    player.Sent(t0 + Ms(5));
    player.Stop();
    player.Connected(t0 + Ms(6));
    EXPECT_FALSE(player.SendDue() || player.AckDeadline() || player.Done());
    EXPECT_FALSE(player.GiveUpIfDue(t0 + Ms(9000)));
    EXPECT_EQ(player.Stats().sent, 2u);
    EXPECT_EQ(player.Stats().acknowledged, 1u);
    EXPECT_EQ(player.Stats().interrupted, 1u);
    EXPECT_EQ(player.Stats().roundTrips.Summarize().max, 3000);
}

}  // namespace
}  // namespace zelmo
