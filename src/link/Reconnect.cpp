#include "link/Reconnect.h"

#include <algorithm>

namespace zelmo {

Reconnect::Reconnect(Ms interval) : interval_(std::max(interval, Ms(1))) {}

Reconnect::Ms Reconnect::AttemptLimit() const {
    return std::min(interval_, kMaxAttempt);
}

void Reconnect::Start(Clock::time_point now) {
    state_ = State::Waiting;
    next_ = now;
    attempts_ = 0;
}

void Reconnect::StartAfterInterval(Clock::time_point now) {
    Start(now + interval_);
}

void Reconnect::Stop() {
    state_ = State::Off;
}

void Reconnect::Connected() {
    if (state_ == State::Off)
        return;
    state_ = State::Connected;
    attempts_ = 0;
}

void Reconnect::Lost(Clock::time_point now) {
    if (state_ == State::Off || state_ == State::Waiting)
        return;
    // A failed attempt keeps the rhythm of its start; a lost connection waits a full interval.
    next_ = (state_ == State::Attempting ? attemptStart_ : now) + interval_;
    state_ = State::Waiting;
}

Reconnect::Action Reconnect::Poll(Clock::time_point now) {
    if (state_ == State::Attempting && now >= attemptStart_ + AttemptLimit()) {
        state_ = State::Waiting;
        next_ = attemptStart_ + interval_;
        return Action::Abandon;
    }
    if (state_ == State::Waiting && now >= next_) {
        state_ = State::Attempting;
        attemptStart_ = now;
        ++attempts_;
        return Action::Attempt;
    }
    return Action::None;
}

std::chrono::seconds Reconnect::Countdown(Clock::time_point now) const {
    Clock::time_point ziel;
    if (state_ == State::Waiting)
        ziel = next_;
    else if (state_ == State::Attempting)
        ziel = attemptStart_ + interval_;
    else
        return std::chrono::seconds(0);
    if (ziel <= now)
        return std::chrono::seconds(0);
    return std::chrono::ceil<std::chrono::seconds>(ziel - now);
}

}  // namespace zelmo
