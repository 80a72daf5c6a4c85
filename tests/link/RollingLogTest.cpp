#include "link/RollingLog.h"

#include <gtest/gtest.h>

#include <vector>

namespace zelmo {

TEST(RollingLog, KeepsTheNewestLinesOldestFirst) {
    const std::pair<std::size_t, int> rows[] = {
        {kTelegramLogLimit, 14}, {kClientLogLimit, 10}, {kEventListLimit, 7}, {1, 1}, {0, 1}};
    for (const auto& [limit, kept] : rows) {
        SCOPED_TRACE(limit);
        RollingLog log(limit);
        std::vector<std::string> want;
        for (int k = 1; k <= 20; ++k) {
            log.Append(std::to_string(k));
            if (k > 20 - kept)
                want.push_back(std::to_string(k));
        }
        EXPECT_EQ(std::vector<std::string>(log.Lines().begin(), log.Lines().end()), want);
    }
}

}  // namespace zelmo
