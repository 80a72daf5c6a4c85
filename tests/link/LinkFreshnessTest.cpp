#include "link/LinkFreshness.h"

#include <gtest/gtest.h>

#include <tuple>

namespace zelmo {

using Change = LinkFreshness::Change;

// One story on a 120 s threshold, a row per step: its second, what happens, the change the check
// then finds and the quiet time shown ("-": disconnected).
TEST(LinkFreshness, GoesStaleAfterTheThresholdAndBackWithATelegram) {
    enum class Tat { Nichts, Verbinden, Telegramm, Trennen };
    const std::tuple<int, Tat, Change, const char*> rows[] = {
        {0, Tat::Nichts, Change::None, "-"},  // never stale while disconnected
        {1000, Tat::Verbinden, Change::None, "0 s"},
        {1119, Tat::Nichts, Change::None, "1 min 59 s"},  // no telegram yet: from the connection
        {1120, Tat::Nichts, Change::WentStale, "2 min 00 s"},
        {1500, Tat::Nichts, Change::None, "8 min 20 s"},  // reported once
        {1501, Tat::Telegramm, Change::CameBack, "0 s"},
        {1621, Tat::Nichts, Change::WentStale, "2 min 00 s"},
        {1622, Tat::Trennen, Change::None, "-"},  // ends silently
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

}  // namespace zelmo
