#pragma once

#include <chrono>
#include <optional>
#include <string>

// How fresh the link's data is: the time since the last telegram (since the connection, before
// the first one) and whether it has been quiet for longer than the operator's threshold. A show
// has quiet breaks, so a stale link only informs; nothing here ends a connection.
namespace zelmo {

class LinkFreshness {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kDefaultThreshold{120};

    enum class Change { None, WentStale, CameBack };

    explicit LinkFreshness(Clock::duration threshold = kDefaultThreshold) : threshold_(threshold) {}

    void SetThreshold(Clock::duration threshold) { threshold_ = threshold; }
    Clock::duration Threshold() const { return threshold_; }

    void Connected(Clock::time_point now);
    // Forgets the connection; a stale state reported before ends without CameBack.
    void Disconnected();
    void Telegram(Clock::time_point now);

    bool IsConnected() const { return since_.has_value(); }
    bool HasTelegram() const { return telegram_; }
    // Time since the last telegram or, before the first, since the connection; nothing while
    // disconnected.
    std::optional<Clock::duration> Quiet(Clock::time_point now) const;
    bool IsStale(Clock::time_point now) const;

    // For a log that reports each change once: WentStale the first time the link is found
    // stale, CameBack the first time it is found fresh again after that.
    Change Check(Clock::time_point now);

  private:
    Clock::duration threshold_;
    std::optional<Clock::time_point> since_;
    bool telegram_ = false;
    bool reportedStale_ = false;
};

// The rule: quiet for at least the threshold.
inline bool IsStale(LinkFreshness::Clock::time_point last, LinkFreshness::Clock::time_point now,
                    LinkFreshness::Clock::duration threshold) {
    return now - last >= threshold;
}

// A duration as the operator reads it: "45 s", "2 min 05 s", "1 h 02 min" (whole seconds,
// rounded down).
std::string DauerText(LinkFreshness::Clock::duration dauer);

}  // namespace zelmo
