#pragma once

#include <chrono>

// When to try the sender again: the rule shared by the headless receiver's --reconnect and the
// main window's "Automatisch wiederverbinden". The caller owns the socket and the timer; it
// reports what happened and asks Poll() on every tick what to do next.
namespace zelmo {

class Reconnect {
  public:
    using Clock = std::chrono::steady_clock;
    using Ms = std::chrono::milliseconds;

    // An attempt that has not connected after this long is aborted.
    static constexpr Ms kMaxAttempt{5000};

    enum class Action {
        None,
        // The attempt in hand has run out of time: abort it (so it can never complete
        // later) and report it as failed.
        Abandon,
        // Start a new connection attempt now.
        Attempt,
    };

    // Attempts start `interval` apart; each may take min(interval, kMaxAttempt), so that
    // attempts never overlap.
    explicit Reconnect(Ms interval);

    Ms Interval() const { return interval_; }
    Ms AttemptLimit() const;

    // Attempts begin: the first one is due at once.
    void Start(Clock::time_point now);
    // Attempts begin after one interval (a lost connection, a failed first attempt).
    void StartAfterInterval(Clock::time_point now);
    // No further attempt (the operator's "Trennen", the option turned off).
    void Stop();
    void Connected();
    // The connection ended: the next attempt follows one interval after `now`. An attempt
    // that failed early keeps its rhythm: the next one follows one interval after its start.
    void Lost(Clock::time_point now);

    // What the caller must do now. Call it on every tick; after Abandon call it again, a new
    // attempt may be due at the same moment.
    Action Poll(Clock::time_point now);

    bool Active() const { return state_ != State::Off; }
    bool Attempting() const { return state_ == State::Attempting; }
    bool Waiting() const { return state_ == State::Waiting; }
    // Attempts since the last connection (or since Start).
    int Attempts() const { return attempts_; }
    // Time until the next attempt starts, rounded up to whole seconds (for a countdown);
    // zero unless waiting or attempting.
    std::chrono::seconds Countdown(Clock::time_point now) const;

  private:
    enum class State { Off, Connected, Attempting, Waiting };

    Ms interval_;
    State state_ = State::Off;
    Clock::time_point attemptStart_{};
    Clock::time_point next_{};
    int attempts_ = 0;
};

}  // namespace zelmo
