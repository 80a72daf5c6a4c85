#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

// The sending side of the link: whether a send may go out, and the wait for the peer's
// acknowledgement after a telegram we sent. Nothing here blocks: the caller asks for the
// deadline and calls Tick when it has passed, so that the event loop keeps running and tests
// move time by hand.
namespace zelmo {

inline constexpr std::string_view kNichtVersandtKeineSocket =
    "Nicht versandt - Keine Socketnummer vorhanden!";
inline constexpr std::string_view kNichtVersandtTimeout = "Nicht versandt - Timeout überschritten!";

class AckWait {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::duration kTimeout = std::chrono::seconds(4);

    enum class SendDecision {
        Refused,      // not connected: log kNichtVersandtKeineSocket, send nothing
        SendNoWait,   // our own acknowledgement: send, nothing to wait for
        SendAndWait,  // a telegram: send; the wait for the peer's acknowledgement has begun
    };

    void Connected(std::int32_t socket);
    // Ends a pending wait: no acknowledgement can come over a closed connection.
    void Disconnected();

    // Decides a send of `payload` (text as given to the send routine) at `now`.
    SendDecision BeginSend(std::string_view payload, Clock::time_point now);

    // The peer's "OK" arrived: a pending wait ends.
    void PeerAcknowledged() { ackFlag_ = true; }

    // True when a pending wait has just given up (more than kTimeout since the send):
    // log kNichtVersandtTimeout. The frame stays sent; nothing is repeated.
    bool Tick(Clock::time_point now);

    bool IsConnected() const { return socket_ > 0; }
    std::int32_t Socket() const { return socket_; }
    // The acknowledgement flag: false from a telegram send until the peer's "OK", the
    // disconnection or the timeout.
    bool AckFlag() const { return ackFlag_; }
    bool Pending() const { return !ackFlag_ && sentAt_.has_value(); }
    // When Tick must be called at the latest to end the pending wait on time.
    std::optional<Clock::time_point> Deadline() const;

  private:
    std::int32_t socket_ = 0;
    bool ackFlag_ = false;
    std::optional<Clock::time_point> sentAt_;
};

}  // namespace zelmo
