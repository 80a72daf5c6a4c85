#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "journal/Show.h"
#include "link/RoundTrips.h"

// The scoring sender's side of playing a show: which telegram goes next, when, and what its
// acknowledgement or its absence does. Stop-and-wait as the scoring sender works: one
// telegram at a time, each waiting up to kAckTimeout for its acknowledgement. Nothing here
// touches a socket or a timer: the caller asks for the next moment something is due and
// reports what happened, so that tests move time by hand and the same rules drive
// `zelmo simulate` and the desktop program's rehearsal.
namespace zelmo {

class ShowPlayer {
  public:
    using Clock = std::chrono::steady_clock;
    using Ms = std::chrono::milliseconds;

    static constexpr Clock::duration kAckTimeout = std::chrono::seconds(4);

    struct Pace {
        // Nothing: each telegram at its at_ms, counted from the first timed one sent; a line
        // without at_ms goes right after the previous acknowledgement. Else this long after
        // the previous send (0: right after the previous acknowledgement).
        std::optional<Ms> interval;
        // Every wait is divided by it: 2 plays twice as fast. Above 0.
        double speed = 1.0;

        static Pace AsRecorded(double speed = 1.0) { return {std::nullopt, speed}; }
        static Pace AfterEachAcknowledgement() { return {Ms(0), 1.0}; }
    };

    struct Statistics {
        std::size_t sent = 0;
        std::size_t acknowledged = 0;
        std::size_t withoutAcknowledgement = 0;  // given up after kAckTimeout
        std::size_t interrupted = 0;             // the receiver left, or the play was stopped
        RoundTrips roundTrips;                   // µs from the send to its acknowledgement
    };

    // Encodes every telegram's frame up front (Error for a telegram too long for a frame).
    // `speed` must be above 0; `loop` plays the show again and again.
    ShowPlayer(const std::vector<ShowTelegram>& show, Pace pace, bool loop);

    // A receiver connected at `now`: the telegram in hand (the first, or the one whose
    // acknowledgement the previous receiver still owed) is scheduled.
    void Connected(Clock::time_point now);
    // The receiver left: an unacknowledged telegram is counted as interrupted and goes again
    // to the next receiver; the show's timing starts afresh there.
    void Disconnected();
    // The play ends here (the operator, a signal); an unacknowledged telegram counts as
    // interrupted. Nothing is due afterwards.
    void Stop();

    // When the telegram in hand is to be sent; nothing while one waits for its
    // acknowledgement, while no receiver is connected, and once the play is over.
    std::optional<Clock::time_point> SendDue() const { return due_; }
    // The frame of the telegram in hand, to be written once SendDue has come.
    const std::string& Frame() const { return frames_[next_]; }
    // The frame was written at `now`: the wait for its acknowledgement begins.
    void Sent(Clock::time_point now);

    bool Waiting() const { return sentAt_.has_value(); }
    // When the wait for the acknowledgement gives up; nothing while none is awaited.
    std::optional<Clock::time_point> AckDeadline() const;

    // The receiver's acknowledgement at `now`: the round trip in µs, and the next telegram is
    // scheduled. Nothing when no telegram waited for one.
    std::optional<std::int64_t> Acknowledged(Clock::time_point now);
    // True, once, when the wait has run out by `now`: the telegram stays sent, the next one
    // is scheduled.
    bool GiveUpIfDue(Clock::time_point now);

    // The whole show was played (never with loop, and not after Stop).
    bool Done() const { return done_; }
    // The telegram in hand, from 0 (the show's length once done), and the show's length: the
    // rehearsal's progress.
    std::size_t Position() const { return next_; }
    std::size_t Total() const { return frames_.size(); }
    const Statistics& Stats() const { return stats_; }

  private:
    struct Anchor {
        Clock::time_point time;
        std::int64_t atMs = 0;
    };

    void Advance(Clock::time_point now);
    void Schedule(Clock::time_point now);
    Clock::duration Scaled(std::chrono::duration<double, std::milli> wait) const;

    std::vector<std::string> frames_;
    std::vector<std::optional<std::int64_t>> atMs_;
    const Pace pace_;
    const bool loop_;

    bool connected_ = false;
    bool done_ = false;
    bool stopped_ = false;
    std::size_t next_ = 0;
    std::optional<Clock::time_point> due_;
    std::optional<Clock::time_point> sentAt_;
    std::optional<Clock::time_point> lastSend_;
    std::optional<Anchor> anchor_;
    Statistics stats_;
};

}  // namespace zelmo
