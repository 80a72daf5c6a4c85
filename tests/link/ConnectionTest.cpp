// The connection to the sender: the address as typed, how fresh the link is, when to try again.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "link/Address.h"
#include "link/LinkFreshness.h"
#include "link/Reconnect.h"

namespace zelmo {

using namespace std::chrono_literals;
using Action = Reconnect::Action;
using Change = LinkFreshness::Change;

TEST(IsValidIP, AcceptedAndRejectedForms) {
    // Up to three digits per part, leading zeros allowed; the first part from 10.
    for (const char* ip : {"10.0.0.1", "255.255.255.255", "010.001.0.00"})
        EXPECT_TRUE(IsValidIP(ip)) << ip;
    for (const char* ip :
         {"9.0.0.1", "256.1.1.1", "10.1.1.256", "1000.1.1.1", "10.0.0.0001", "1.2.3", "10.0.0.1.5",
          "10.0.0.1.", "10..0.1", "a.b.c.d", "", "10.0.0.-1", " 10.0.0.1", "10.0.0.1e"})
        EXPECT_FALSE(IsValidIP(ip)) << ip;
}

TEST(ParsePort, OnlyWholeNumbersFrom1To65535) {
    const std::pair<const char*, std::optional<std::uint16_t>> rows[] = {
        {"3020", 3020},        {"65535", 65535},        {"03020", 3020},
        {"0", std::nullopt},   {"65536", std::nullopt}, {"99999999999999999999999", std::nullopt},
        {"", std::nullopt},    {"-1", std::nullopt},    {"+80", std::nullopt},
        {" 80", std::nullopt}, {"80 ", std::nullopt},   {"0x50", std::nullopt},
    };
    for (const auto& [text, port] : rows)
        EXPECT_EQ(ParsePort(text), port) << text;
}

// One story on a 120 s threshold, a row per step: its second, what happens, the change the check
// then finds and the quiet time shown ("-": disconnected).
TEST(LinkFreshness, GoesStaleAfterTheThresholdAndBackWithATelegram) {
    enum class Tat { Nichts, Verbinden, Telegramm, Trennen };
    const std::tuple<int, Tat, Change, const char*> rows[] = {
        {1000, Tat::Verbinden, Change::None, "0 s"},
        {1119, Tat::Nichts, Change::None, "1 min 59 s"},  // no telegram yet: from the connection
        {1120, Tat::Nichts, Change::WentStale, "2 min 00 s"},
        {1500, Tat::Nichts, Change::None, "8 min 20 s"},  // reported once
        {1501, Tat::Telegramm, Change::CameBack, "0 s"},
        {1621, Tat::Nichts, Change::WentStale, "2 min 00 s"},
        {1622, Tat::Trennen, Change::None, "-"},  // ends silently, never stale while disconnected
        {2000, Tat::Verbinden, Change::None, "0 s"},
        {5601, Tat::Telegramm, Change::None, "0 s"},  // a telegram before the check: never stale
        {9301, Tat::Nichts, Change::WentStale, "1 h 01 min"},
    };
    const auto t0 = LinkFreshness::Clock::time_point{};
    LinkFreshness link;
    for (const auto& [at, tat, want, shown] : rows) {
        SCOPED_TRACE(at);
        const auto now = t0 + std::chrono::seconds(at);
        if (tat == Tat::Verbinden)
            link.Connected(now);
        if (tat == Tat::Telegramm)
            link.Telegram(now);
        if (tat == Tat::Trennen)
            link.Disconnected();
        EXPECT_EQ(link.Check(now), want);
        const auto quiet = link.Quiet(now);
        EXPECT_EQ(quiet ? DauerText(*quiet) : "-", shown);
    }
}

TEST(Reconnect, AttemptsFollowTheIntervalAndStopWhenAsked) {
    // At its time a step reports its event ("" only polls), then expects Poll's action, the
    // countdown and the attempts.
    using Step = std::tuple<std::chrono::milliseconds, std::string, Action, int, int>;
    auto run = [](Reconnect::Ms interval, const std::vector<Step>& script) {
        Reconnect rule(interval);
        for (const auto& [at, event, action, countdown, attempts] : script) {
            SCOPED_TRACE(std::to_string(at.count()) + " ms " + event);
            const auto now = Reconnect::Clock::time_point{} + at;
            if (event == "start")
                rule.Start(now);
            else if (event == "connected")
                rule.Connected();
            else if (event == "lost")
                rule.Lost(now);
            else if (event == "stop")
                rule.Stop();
            EXPECT_EQ(rule.Poll(now), action);
            EXPECT_EQ(rule.Countdown(now).count(), countdown);
            EXPECT_EQ(rule.Attempts(), attempts);
        }
    };
    // Every 2 s: attempts abandoned at their limit, the next on the beat; nothing after a stop.
    run(2000ms, {{0ms, "start", Action::Attempt, 2, 1},
                 {1999ms, "", Action::None, 1, 1},
                 {2000ms, "", Action::Abandon, 0, 1},
                 {2000ms, "", Action::Attempt, 2, 2},
                 {2500ms, "connected", Action::None, 0, 0},
                 {9000ms, "lost", Action::None, 2, 0},
                 {11000ms, "", Action::Attempt, 2, 1},
                 {11500ms, "stop", Action::None, 0, 1},
                 {12000ms, "connected", Action::None, 0, 1},
                 {20000ms, "lost", Action::None, 0, 1}});
    // Every 8 s: an attempt may take 5 s, then the countdown runs.
    run(8000ms, {{0ms, "start", Action::Attempt, 8, 1},
                 {5000ms, "", Action::Abandon, 3, 1},
                 {7999ms, "", Action::None, 1, 1},
                 {8000ms, "", Action::Attempt, 8, 2}});
}

}  // namespace zelmo
