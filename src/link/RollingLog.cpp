#include "link/RollingLog.h"

#include <algorithm>

namespace zelmo {

RollingLog::RollingLog(std::size_t limit) : limit_(std::max<std::size_t>(limit, 1)) {}

void RollingLog::Append(std::string line, Time at) {
    if (lines_.size() >= limit_) {
        lines_.pop_front();
        times_.pop_front();
    }
    lines_.push_back(std::move(line));
    times_.push_back(at);
}

void RollingLog::Clear() {
    lines_.clear();
    times_.clear();
}

}  // namespace zelmo
