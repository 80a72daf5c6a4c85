#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zelmo {

// Round-trip times in microseconds and their summary, in constant memory: a looping
// simulation runs for days. The samples are counted in a histogram whose buckets are exact up
// to 255 µs and above that never wider than 1/128 of their lower end. Percentiles are
// nearest-rank: the bucket holding the smallest value that at least that share of the samples
// does not exceed, given as its middle within the smallest and largest sample, so a printed
// figure is off from a really measured time by less than 0.4 %. The maximum is exact.
class RoundTrips {
  public:
    void Add(std::int64_t micros);
    std::uint64_t Count() const { return count_; }

    struct Summary {
        std::int64_t median = 0;
        std::int64_t p99 = 0;
        std::int64_t max = 0;
    };
    // All zero when there is no sample.
    Summary Summarize() const;

  private:
    static constexpr int kSubBits = 7;  // 128 buckets per power of two
    static constexpr std::size_t kSub = std::size_t{1} << kSubBits;
    // Exact buckets below 2 * kSub, then kSub per power of two up to 2^63.
    static constexpr std::size_t kBuckets = kSub + (63 - kSubBits) * kSub;

    static std::size_t Bucket(std::uint64_t v);
    std::int64_t Value(std::size_t bucket) const;
    std::int64_t Percentile(std::size_t percent) const;

    std::array<std::uint64_t, kBuckets> counts_{};
    std::uint64_t count_ = 0;
    std::int64_t min_ = 0;
    std::int64_t max_ = 0;
};

}  // namespace zelmo
