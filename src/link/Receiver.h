#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/AckWait.h"
#include "link/FrameReader.h"
#include "link/TelegramStore.h"

// The receiving end of the link as the desktop window and the headless receiver use it:
// bytes in, frames reassembled, telegrams logged, evaluated, dispatched and acknowledged,
// the peer's acknowledgements matched to our sends. Every effect goes out through
// ReceiverSink, in the order the link requires.
namespace zelmo {

inline constexpr std::string_view kFehlerhafterRahmen = "Fehlerhafter Rahmen";

class ReceiverSink {
  public:
    virtual ~ReceiverSink() = default;
    // A line for the telegram log (the first 100 characters of a frame).
    virtual void TelegramLog(const std::string& line) = 0;
    // A line for the client log.
    virtual void ClientLog(const std::string& line) = 0;
    // A new caption for the evaluation's status label.
    virtual void StatusLabel(const std::string& text) = 0;
    // An event text for the output run; called only while the template editor is active.
    // The acknowledgement is sent after this returns.
    virtual void Dispatch(const std::string& eventText) = 0;
    // Bytes to write to the connected socket.
    virtual void SendBytes(std::string_view bytes) = 0;
};

// Sees every complete telegram, not the peer's acknowledgements nor garbled runs: the flight
// recorder's hook, given the payload where it lies instead of a copy per telegram.
class TelegramObserver {
  public:
    virtual ~TelegramObserver() = default;
    // Once the telegram has been evaluated and its acknowledgement handed on (or refused), so
    // that what it does never delays the acknowledgement: the payload as UTF-8 and whether it
    // decoded as JSON.
    virtual void Telegram(std::string_view payloadUtf8, bool json) = 0;
};

class Receiver {
  public:
    using Clock = AckWait::Clock;

    // `vorlagenAktiv` is read at each dispatch; it must outlive the receiver, as must the
    // store and the sink.
    Receiver(TelegramStore& store, ReceiverSink& sink, const bool& vorlagenAktiv)
        : store_(store), sink_(sink), vorlagenAktiv_(vorlagenAktiv) {}

    // A connection is made / lost: the receive state starts afresh, a pending wait ends.
    void OnConnected(std::int32_t socket);
    void OnDisconnected(std::int32_t socket);

    // Bytes as they arrive at `now`. Each complete telegram: telegram log line, evaluation
    // and dispatch, then the acknowledgement. Each peer acknowledgement: the acknowledgement
    // line. Each garbled run, once the link has been quiet for FrameReader::kQuietTime: two
    // client log lines and one acknowledgement. Must not be called again from inside a sink
    // callback; a connect or disconnect from inside one drops the rest of the bytes.
    void OnBytes(std::string_view bytes, Clock::time_point now);

    // Sends a telegram (payload as UTF-8 text) and begins the wait for the peer's
    // acknowledgement; "OK" is sent as an acknowledgement without a wait. False when not
    // connected (logged).
    bool Send(std::string_view payloadUtf8, Clock::time_point now);

    // Ends the wait with kNichtVersandtTimeout once more than 4 s have passed since the send,
    // and a garbled run once the link has been quiet long enough.
    void Tick(Clock::time_point now);

    bool AckPending() const { return ack_.Pending(); }
    std::optional<Clock::time_point> AckDeadline() const { return ack_.Deadline(); }
    // When Tick must run at the latest; nothing while neither a wait nor a garbled run is
    // pending.
    std::optional<Clock::time_point> Deadline() const;
    bool IsConnected() const { return ack_.IsConnected(); }
    // Nothing, or an observer that outlives the receiver (or is removed first).
    void SetObserver(TelegramObserver* observer) { observer_ = observer; }
    std::int32_t Socket() const { return ack_.Socket(); }

  private:
    // Handles the reader's events for `bytes`; false when a callback connected or disconnected.
    bool Handle(std::string_view bytes, Clock::time_point now);
    void Telegram(std::string_view frame);
    void PeerAck();
    void Garbled(std::string_view bytes);
    void SendAck();
    void Refused();

    TelegramStore& store_;
    ReceiverSink& sink_;
    const bool& vorlagenAktiv_;
    FrameReader reader_;
    AckWait ack_;
    // The payload in UTF-8 with the decoder's padding after it. It keeps its size from
    // telegram to telegram, so it is neither allocated nor filled again for each one.
    std::string payload_;
    TelegramObserver* observer_ = nullptr;
    // Counts connects and disconnects, so that OnBytes notices one made from a callback.
    std::uint64_t connection_ = 0;
};

}  // namespace zelmo
