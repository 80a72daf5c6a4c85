#include "link/Reconnect.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace zelmo {

using namespace std::chrono_literals;
using Action = Reconnect::Action;

TEST(Reconnect, AttemptsFollowTheIntervalAndStopWhenAsked) {
    // A step: at its time report the event ("start", "connected", "lost", "stop"; "" only polls),
    // then expect Poll's action and the countdown and attempts shown afterwards.
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
    // Every 2 s: attempts abandoned at their limit, the next on the beat; after a stop nothing
    // more happens.
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
