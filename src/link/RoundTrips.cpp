#include "link/RoundTrips.h"

#include <algorithm>
#include <bit>

namespace zelmo {

std::size_t RoundTrips::Bucket(std::uint64_t v) {
    if (v < kSub)
        return static_cast<std::size_t>(v);
    // v lies in [2^e, 2^(e+1)); its top kSubBits + 1 bits pick the bucket.
    const int e = std::bit_width(v) - 1;
    const int shift = e - kSubBits;
    return kSub * static_cast<std::size_t>(shift) + static_cast<std::size_t>(v >> shift);
}

std::int64_t RoundTrips::Value(std::size_t bucket) const {
    std::uint64_t lo = bucket;
    std::uint64_t width = 1;
    if (bucket >= 2 * kSub) {
        const std::size_t shift = bucket / kSub - 1;
        lo = (bucket % kSub + kSub) << shift;
        width = std::uint64_t{1} << shift;
    }
    const auto middle = static_cast<std::int64_t>(lo + (width - 1) / 2);
    return std::clamp(middle, min_, max_);
}

void RoundTrips::Add(std::int64_t micros) {
    micros = std::max<std::int64_t>(micros, 0);
    ++counts_[Bucket(static_cast<std::uint64_t>(micros))];
    min_ = count_ == 0 ? micros : std::min(min_, micros);
    max_ = count_ == 0 ? micros : std::max(max_, micros);
    ++count_;
}

std::int64_t RoundTrips::Percentile(std::size_t percent) const {
    // Nearest rank: ceil(count * percent / 100), counted from 1.
    const std::uint64_t rank = std::max<std::uint64_t>((count_ * percent + 99) / 100, 1);
    std::uint64_t seen = 0;
    for (std::size_t b = 0; b < kBuckets; ++b) {
        seen += counts_[b];
        if (seen >= rank)
            return Value(b);
    }
    return max_;
}

RoundTrips::Summary RoundTrips::Summarize() const {
    Summary summary;
    if (count_ == 0)
        return summary;
    summary.median = Percentile(50);
    summary.p99 = Percentile(99);
    summary.max = max_;
    return summary;
}

}  // namespace zelmo
