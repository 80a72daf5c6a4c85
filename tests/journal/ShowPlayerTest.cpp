// Playing a show as the scoring sender: when each telegram goes, what an acknowledgement, its
// absence and a receiver that leaves do, on a clock moved by hand.
#include "journal/ShowPlayer.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "link/Frame.h"

namespace zelmo {
namespace {

using Ms = std::chrono::milliseconds;
using Pace = ShowPlayer::Pace;

// Plays a show millisecond by millisecond as `setup` says ("show 100,-,300": the at_ms of each
// line, "-" none; "speed F"; "every MS"; "ack MS" the receiver's answer time, "ack -" none;
// "away FROM-TO" the receiver gone; "loop"; "stop MS"). Returns "index@ms" for each send, then
// "= sent/acknowledged/without/interrupted", the longest round trip and "fertig" when the
// show is over. "stray MS": an acknowledgement when no telegram waits.
std::string Play(const std::string& setup) {
    std::map<std::string, std::string> o;
    std::istringstream in(setup);
    for (std::string key; in >> key;) {
        std::string& value = o[key];
        if (key != "loop")
            in >> value;
    }
    const auto number = [&](const char* key) {
        return o.contains(key) && o[key] != "-" ? std::stoi(o[key]) : -1;
    };
    std::vector<ShowTelegram> show;
    std::istringstream lines(o["show"]);
    for (std::string at; std::getline(lines, at, ',');)
        show.push_back({show.size() + 1,
                        at == "-" ? std::nullopt : std::optional<std::int64_t>(std::stoi(at)),
                        "{\"Nr\": " + std::to_string(show.size()) + "}"});
    Pace pace;
    pace.speed = o.contains("speed") ? std::stod(o["speed"]) : 1.0;
    if (o.contains("every"))
        pace.interval = Ms(number("every"));
    const int ackAfter = number("ack"), stopAt = number("stop"), strayAt = number("stray");
    const int awayFrom = number("away");
    const int awayTo = awayFrom < 0 ? -1 : std::stoi(o["away"].substr(o["away"].find('-') + 1));
    const bool loop = o.contains("loop");
    ShowPlayer player(show, pace, loop);
    const auto t0 = ShowPlayer::Clock::time_point{} + std::chrono::hours(1);
    std::string out;
    int ackAt = -1;  // none
    bool connected = false;
    for (int ms = 0; ms <= 20000 && !player.Done(); ++ms) {
        const auto now = t0 + Ms(ms);
        const bool away = ms >= awayFrom && ms < awayTo;
        if (connected && away) {
            player.Disconnected();
            ackAt = -1;
        } else if (!connected && !away) {
            player.Connected(now);
        }
        connected = !away;
        if (ms == stopAt) {
            player.Stop();
            break;
        }
        // An acknowledgement that answers nothing changes nothing.
        EXPECT_TRUE(ms != strayAt || !player.Acknowledged(now));
        if (ackAt == ms) {
            EXPECT_EQ(player.Acknowledged(now), std::int64_t{ackAfter} * 1000);
            ackAt = -1;
        }
        player.GiveUpIfDue(now);
        if (const auto due = player.SendDue(); due && *due <= now) {
            EXPECT_EQ(player.Frame(), EncodeFrame(show[player.Position()].payload));
            out += std::to_string(player.Position()) + "@" + std::to_string(ms) + " ";
            player.Sent(now);
            EXPECT_EQ(player.AckDeadline(), now + ShowPlayer::kAckTimeout);
            if (ackAfter >= 0)
                ackAt = ms + ackAfter;
        }
    }
    const ShowPlayer::Statistics& s = player.Stats();
    return out + "= " + std::to_string(s.sent) + "/" + std::to_string(s.acknowledged) + "/" +
           std::to_string(s.withoutAcknowledgement) + "/" + std::to_string(s.interrupted) + " " +
           std::to_string(s.roundTrips.Summarize().max) + " µs" + (player.Done() ? " fertig" : "");
}

TEST(ShowPlayer, WhenEachTelegramGoes) {
    const std::pair<const char*, const char*> rows[] = {
        // Times count from the first timed telegram sent; a bare line follows the previous
        // acknowledgement.
        {"show 100,300,-,1000 ack 10 stray 100", "0@0 1@200 2@210 3@900 = 4/4/0/0 10000 µs fertig"},
        {"show 100,300,-,1000 ack 10 speed 2", "0@0 1@100 2@110 3@450 = 4/4/0/0 10000 µs fertig"},
        // A slow answer never makes two telegrams wait at once; a late one goes at once.
        {"show 100,300,-,1000 ack 500", "0@0 1@500 2@1000 3@1500 = 4/4/0/0 500000 µs fertig"},
        {"show 100,300,-,1000 ack 10 every 50", "0@0 1@50 2@100 3@150 = 4/4/0/0 10000 µs fertig"},
        {"show 100,300,-,1000 ack 10 every 50 speed 2",
         "0@0 1@25 2@50 3@75 = 4/4/0/0 10000 µs fertig"},
        {"show 100,300,-,1000 ack 7 every 0", "0@0 1@7 2@14 3@21 = 4/4/0/0 7000 µs fertig"},
        // Given up after 4 s, the telegram stays sent and the show goes on.
        {"show 0,10 ack -", "0@0 1@4000 = 2/0/2/0 0 µs fertig"},
        // The unacknowledged telegram goes again to the next receiver, timed afresh from there.
        {"show 100,300,-,1000 ack 10 away 5-1000",
         "0@0 0@1000 1@1200 2@1210 3@1900 = 5/4/0/1 10000 µs fertig"},
        {"show 100,300,-,1000 ack 10 away 50-1000",
         "0@0 1@1000 2@1010 3@1700 = 4/4/0/0 10000 µs fertig"},
        {"show 100,300 ack 10 away 0-30000", "= 0/0/0/0 0 µs"},
        // Each round is timed from its own start.
        {"show 0,100 ack 10 loop stop 215", "0@0 1@100 0@110 1@210 = 4/3/0/1 10000 µs"},
        {"ack 10", "= 0/0/0/0 0 µs fertig"},
    };
    for (const auto& [setup, want] : rows) {
        SCOPED_TRACE(setup);
        EXPECT_EQ(Play(setup), want);
    }
}

}  // namespace
}  // namespace zelmo
