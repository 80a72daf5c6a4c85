#include "RoundTrips.h"

#include <algorithm>

namespace zelmo::tool {

namespace {

// Nearest rank of `percent` among n sorted samples, as a position from 0.
std::size_t Rank(std::size_t n, std::size_t percent) {
    const std::size_t rank = (n * percent + 99) / 100;  // ceil(n * percent / 100)
    return rank == 0 ? 0 : rank - 1;
}

}  // namespace

RoundTrips::Summary RoundTrips::Summarize() const {
    Summary summary;
    if (samples_.empty())
        return summary;
    std::vector<std::int64_t> sorted = samples_;
    std::sort(sorted.begin(), sorted.end());
    summary.median = sorted[Rank(sorted.size(), 50)];
    summary.p99 = sorted[Rank(sorted.size(), 99)];
    summary.max = sorted.back();
    return summary;
}

}  // namespace zelmo::tool
