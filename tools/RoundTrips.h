#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zelmo::tool {

// Round-trip times in microseconds and their summary. Percentiles are nearest-rank: the
// smallest value that at least that share of the samples does not exceed, so every figure
// printed is a time that was really measured.
class RoundTrips {
  public:
    void Add(std::int64_t micros) { samples_.push_back(micros); }
    void Reserve(std::size_t count) { samples_.reserve(count); }
    std::size_t Count() const { return samples_.size(); }

    struct Summary {
        std::int64_t median = 0;
        std::int64_t p99 = 0;
        std::int64_t max = 0;
    };
    // All zero when there is no sample.
    Summary Summarize() const;

  private:
    std::vector<std::int64_t> samples_;
};

}  // namespace zelmo::tool
