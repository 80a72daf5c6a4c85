#include "journal/ShowPlayer.h"

#include "link/Frame.h"

namespace zelmo {

ShowPlayer::ShowPlayer(const std::vector<ShowTelegram>& show, Pace pace, bool loop)
    : pace_(pace), loop_(loop), done_(show.empty()) {
    frames_.reserve(show.size());
    atMs_.reserve(show.size());
    for (const ShowTelegram& t : show) {
        frames_.push_back(EncodeFrame(t.payload));
        atMs_.push_back(t.atMs);
    }
}

ShowPlayer::Clock::duration ShowPlayer::Scaled(
    std::chrono::duration<double, std::milli> wait) const {
    return std::chrono::duration_cast<Clock::duration>(wait / pace_.speed);
}

void ShowPlayer::Connected(Clock::time_point now) {
    connected_ = true;
    Schedule(now);
}

void ShowPlayer::Disconnected() {
    if (sentAt_)
        ++stats_.interrupted;
    connected_ = false;
    sentAt_.reset();
    due_.reset();
    anchor_.reset();
    lastSend_.reset();
}

void ShowPlayer::Stop() {
    if (sentAt_)
        ++stats_.interrupted;
    stopped_ = true;
    sentAt_.reset();
    due_.reset();
}

void ShowPlayer::Schedule(Clock::time_point now) {
    due_.reset();
    if (!connected_ || stopped_ || sentAt_ || done_)
        return;
    if (next_ >= frames_.size()) {
        if (!loop_) {
            done_ = true;
            return;
        }
        next_ = 0;
        anchor_.reset();
    }
    Clock::time_point due = now;
    if (pace_.interval) {
        if (lastSend_)
            due = *lastSend_ + Scaled(*pace_.interval);
    } else if (const auto atMs = atMs_[next_]) {
        if (!anchor_)
            anchor_ = Anchor{now, *atMs};
        // A show whose times go back sends at once.
        due = anchor_->time + Scaled(std::chrono::milliseconds(*atMs - anchor_->atMs));
    }
    due_ = due;
}

void ShowPlayer::Sent(Clock::time_point now) {
    due_.reset();
    sentAt_ = now;
    lastSend_ = now;
    ++stats_.sent;
}

std::optional<ShowPlayer::Clock::time_point> ShowPlayer::AckDeadline() const {
    if (!sentAt_)
        return std::nullopt;
    return *sentAt_ + kAckTimeout;
}

void ShowPlayer::Advance(Clock::time_point now) {
    sentAt_.reset();
    ++next_;
    Schedule(now);
}

std::optional<std::int64_t> ShowPlayer::Acknowledged(Clock::time_point now) {
    if (!sentAt_)
        return std::nullopt;
    const auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(now - *sentAt_).count();
    stats_.roundTrips.Add(micros);
    ++stats_.acknowledged;
    Advance(now);
    return micros;
}

bool ShowPlayer::GiveUpIfDue(Clock::time_point now) {
    if (!sentAt_ || now < *sentAt_ + kAckTimeout)
        return false;
    ++stats_.withoutAcknowledgement;
    Advance(now);
    return true;
}

}  // namespace zelmo
