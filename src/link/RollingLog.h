#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

#include "journal/LocalTime.h"

// A log of fixed length that drops its oldest line first: the model behind the telegram log,
// the client log and the editor's event list.
namespace zelmo {

inline constexpr std::size_t kTelegramLogLimit = 14;
inline constexpr std::size_t kClientLogLimit = 10;
inline constexpr std::size_t kEventListLimit = 7;

class RollingLog {
  public:
    using Time = std::optional<journal::LocalMoment>;

    // A limit of 0 is taken as 1: a log always shows its newest line.
    explicit RollingLog(std::size_t limit);

    // Appends a line as the newest, with the time it was logged when there is one, dropping
    // the oldest when the log is full.
    void Append(std::string line, Time at = std::nullopt);
    void Clear();

    std::size_t Limit() const { return limit_; }
    std::size_t Size() const { return lines_.size(); }
    // Oldest first.
    const std::string& Line(std::size_t index) const { return lines_.at(index); }
    const std::deque<std::string>& Lines() const { return lines_; }
    // The time of each line, in the same order.
    const std::deque<Time>& Times() const { return times_; }

  private:
    std::size_t limit_;
    std::deque<std::string> lines_;
    std::deque<Time> times_;
};

}  // namespace zelmo
