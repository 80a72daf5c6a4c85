#include "link/LinkFreshness.h"

#include <algorithm>
#include <cstdio>

namespace zelmo {

void LinkFreshness::Connected(Clock::time_point now) {
    since_ = now;
    telegram_ = false;
    reportedStale_ = false;
}

void LinkFreshness::Disconnected() {
    since_.reset();
    telegram_ = false;
    reportedStale_ = false;
}

void LinkFreshness::Telegram(Clock::time_point now) {
    if (!since_)
        return;
    since_ = now;
    telegram_ = true;
}

std::optional<LinkFreshness::Clock::duration> LinkFreshness::Quiet(Clock::time_point now) const {
    if (!since_)
        return std::nullopt;
    return now - *since_;
}

bool LinkFreshness::IsStale(Clock::time_point now) const {
    return since_ && zelmo::IsStale(*since_, now, threshold_);
}

LinkFreshness::Change LinkFreshness::Check(Clock::time_point now) {
    const bool stale = IsStale(now);
    if (stale == reportedStale_)
        return Change::None;
    reportedStale_ = stale;
    return stale ? Change::WentStale : Change::CameBack;
}

std::string DauerText(LinkFreshness::Clock::duration dauer) {
    using namespace std::chrono;
    const long long s = std::max<long long>(duration_cast<seconds>(dauer).count(), 0);
    char text[48];
    if (s < 60)
        std::snprintf(text, sizeof text, "%lld s", s);
    else if (s < 3600)
        std::snprintf(text, sizeof text, "%lld min %02lld s", s / 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%lld h %02lld min", s / 3600, s % 3600 / 60);
    return text;
}

}  // namespace zelmo
