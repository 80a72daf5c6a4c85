#include "link/Reconnect.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelmo {
namespace {

using namespace std::chrono_literals;
using Action = Reconnect::Action;

TEST(Reconnect, AttemptsFollowTheIntervalAndStopWhenAsked) {
    // At `at`, report `event` (or only poll), then expect `action` from Poll and the countdown
    // and attempts shown afterwards.
    struct Step {
        std::chrono::milliseconds at;
        std::string event;  // "", "start", "connected", "lost", "stop"
        Action action;
        int countdown;
        int attempts;
    };
    auto run = [](Reconnect::Ms interval, const std::vector<Step>& script) {
        Reconnect rule(interval);
        for (const Step& s : script) {
            SCOPED_TRACE(std::to_string(s.at.count()) + " ms " + s.event);
            const auto now = Reconnect::Clock::time_point{} + s.at;
            if (s.event == "start")
                rule.Start(now);
            else if (s.event == "connected")
                rule.Connected();
            else if (s.event == "lost")
                rule.Lost(now);
            else if (s.event == "stop")
                rule.Stop();
            EXPECT_EQ(rule.Poll(now), s.action);
            EXPECT_EQ(rule.Countdown(now).count(), s.countdown);
            EXPECT_EQ(rule.Attempts(), s.attempts);
        }
    };
    // Every 2 s: attempts abandoned at their limit, the next on the beat.
    run(2000ms, {{0ms, "start", Action::Attempt, 2, 1},
                 {1999ms, "", Action::None, 1, 1},
                 {2000ms, "", Action::Abandon, 0, 1},
                 {2000ms, "", Action::Attempt, 2, 2},
                 {2500ms, "connected", Action::None, 0, 0},
                 {9000ms, "lost", Action::None, 2, 0},
                 {10999ms, "", Action::None, 1, 0},
                 {11000ms, "", Action::Attempt, 2, 1},
                 {11500ms, "stop", Action::None, 0, 1},
                 {20000ms, "lost", Action::None, 0, 1}});
    // Every 8 s: an attempt may take 5 s, then the countdown runs.
    run(8000ms, {{0ms, "start", Action::Attempt, 8, 1},
                 {5000ms, "", Action::Abandon, 3, 1},
                 {7999ms, "", Action::None, 1, 1},
                 {8000ms, "", Action::Attempt, 8, 2},
                 {8100ms, "connected", Action::None, 0, 0},
                 {8200ms, "stop", Action::None, 0, 0},
                 {8300ms, "connected", Action::None, 0, 0},
                 {9000ms, "lost", Action::None, 0, 0}});
}

}  // namespace
}  // namespace zelmo
