#include "link/RollingLog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelmo {
namespace {

TEST(RollingLog, KeepsTheNewestLinesOldestFirst) {
    struct Row {
        std::size_t limit;
        int appended;
        std::vector<std::string> want;
    };
    const Row rows[] = {
        {kTelegramLogLimit,
         15,
         {"2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15"}},
        {kClientLogLimit, 11, {"2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}},
        {kEventListLimit, 7, {"1", "2", "3", "4", "5", "6", "7"}},
        {1, 3, {"3"}},
        {0, 2, {"2"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.limit) + " / " + std::to_string(row.appended));
        RollingLog log(row.limit);
        for (int k = 1; k <= row.appended; ++k)
            log.Append(std::to_string(k));
        EXPECT_EQ(std::vector<std::string>(log.Lines().begin(), log.Lines().end()), row.want);
    }
}

}  // namespace
}  // namespace zelmo
