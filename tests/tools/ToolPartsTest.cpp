// The rules inside the tool that need no process: addresses, statistics.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <numeric>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "Endpoint.h"
#include "RoundTrips.h"
#include "component/Error.h"

namespace zelmo::tool {
namespace {

// The port itself follows ParsePort; these are the host's part and the split.
TEST(Endpoint, HostAndPort) {
    const std::tuple<std::string, bool, std::string> rows[] = {
        // text, port 0 allowed, host and text shown or "-" when rejected
        {"[::1]:65535", false, "::1 [::1]:65535"},
        {"127.0.0.1:0", true, "127.0.0.1 127.0.0.1:0"},
        {"127.0.0.1:0", false, "-"},
        {":3020", false, "-"},
        {"::1:3020", false, "-"},
        {"host name:3020", false, "-"},
    };
    for (const auto& [text, allowZero, want] : rows) {
        SCOPED_TRACE(text);
        const auto endpoint = ParseEndpoint(text, allowZero);
        EXPECT_EQ(endpoint ? endpoint->host + " " + endpoint->Text() : "-", want);
    }
}

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
}  // namespace zelmo::tool
