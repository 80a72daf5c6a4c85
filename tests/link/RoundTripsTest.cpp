// Round-trip statistics of a sender that plays for days.
#include "link/RoundTrips.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <numeric>
#include <random>
#include <type_traits>
#include <vector>

namespace zelmo {
namespace {

TEST(RoundTrips, NearestRankPercentilesInConstantMemory) {
    const auto summary = [](const std::vector<std::int64_t>& samples) {
        RoundTrips trips;
        for (const auto s : samples)
            trips.Add(s);
        const RoundTrips::Summary s = trips.Summarize();
        return std::array{s.median, s.p99, s.max};
    };
    EXPECT_EQ(summary({9, 3}), (std::array<std::int64_t, 3>{3, 9, 9}));  // the lower middle
    std::vector<std::int64_t> down(200);                                 // 200 down to 1
    std::iota(down.rbegin(), down.rend(), 1);
    EXPECT_EQ(summary(down), (std::array<std::int64_t, 3>{100, 198, 200}));

    // A looping simulation keeps them for days: no storage that grows with the samples.
    static_assert(std::is_trivially_copyable_v<RoundTrips>);
    // Larger times are counted in buckets: within 0.4 % of the exact rank, the maximum exact.
    std::mt19937_64 random(5);
    std::vector<std::int64_t> samples(100001);
    for (auto& s : samples)
        s = 200 + static_cast<std::int64_t>(random() % 4'000'000);
    const auto [median, p99, max] = summary(samples);
    std::sort(samples.begin(), samples.end());
    EXPECT_NEAR(median, samples[50000], samples[50000] * 0.004);
    EXPECT_NEAR(p99, samples[99000], samples[99000] * 0.004);
    EXPECT_EQ(max, samples.back());
}

}  // namespace
}  // namespace zelmo
