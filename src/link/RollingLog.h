#pragma once

#include <cstddef>
#include <deque>
#include <string>

// A log of fixed length that drops its oldest line first: the model behind the telegram log,
// the client log and the editor's event list (and the headless receiver's output).
namespace zelmo {

inline constexpr std::size_t kTelegramLogLimit = 14;
inline constexpr std::size_t kClientLogLimit = 10;
inline constexpr std::size_t kEventListLimit = 7;

class RollingLog {
  public:
    // A limit of 0 is taken as 1: a log always shows its newest line.
    explicit RollingLog(std::size_t limit);

    // Appends a line as the newest, dropping the oldest when the log is full.
    void Append(std::string line);
    void Clear() { lines_.clear(); }

    std::size_t Limit() const { return limit_; }
    std::size_t Size() const { return lines_.size(); }
    // Oldest first.
    const std::string& Line(std::size_t index) const { return lines_.at(index); }
    const std::deque<std::string>& Lines() const { return lines_; }

  private:
    std::size_t limit_;
    std::deque<std::string> lines_;
};

}  // namespace zelmo
