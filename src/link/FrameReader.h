#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "link/Frame.h"

// Reassembles frames from the TCP byte stream. A read chunk is never a frame boundary: a
// prefix may be split across reads, one read may carry several frames, and a frame may end
// anywhere. The frames found depend only on the bytes, never on how they were cut into
// reads.
//
// Garbage: a valid prefix is ten digits announcing 10 .. kMaxFrameLength bytes, so it always
// begins with "00". A prefix is judged byte by byte and declared garbled at the first byte
// that rules it out (a non-digit, a value that can only end above the limit) or, after ten
// digits, when it announces fewer than ten bytes. That starts a garbled run: the bytes held so
// far and every byte after them are discarded until the link has been quiet for kQuietTime,
// and only then is the run handed out, once. Nothing inside a run is searched for a prefix:
// garbage can look like one anywhere, and a frame found there would be answered twice or
// swallow the sender's next telegram. The sender waits for the answer to its garbage before
// it sends again, so the quiet comes at once. Of a run only its first kGarbledLogBytes are
// kept, for the log.
//
// A prefix that is still incomplete once the link has been quiet for kQuietTime is a garbled
// run too, handed out like one: a sender writes a prefix and its payload together, and held
// on, the stale digits would be completed by the next frame's and misread it. A complete
// prefix whose payload pauses keeps waiting, since large frames may pause.
namespace zelmo {

class FrameReader {
  public:
    using Clock = std::chrono::steady_clock;

    enum class Kind {
        Telegram,  // a complete frame to evaluate and acknowledge
        PeerAck,   // the complete frame "0000000012OK": the peer acknowledges our send
        Garbled,   // a garbled run that has ended: log, acknowledge once
    };

    struct Event {
        Kind kind;
        // Telegram and PeerAck: the whole frame, prefix included. Garbled: the first
        // kGarbledLogBytes of the run. Valid until the next call of Next or Reset.
        std::string_view bytes;

        std::string_view Payload() const { return bytes.substr(kPrefixLength); }
    };

    // How long the link must be quiet before a garbled run ends.
    static constexpr Clock::duration kQuietTime = std::chrono::milliseconds(250);
    // Bytes of a garbled run kept for its log line.
    static constexpr std::size_t kGarbledLogBytes = 100;

    // Consumes bytes from the front of `input`, which arrived at `now`, until one event is
    // complete and returns it, or returns nothing once `input` is used up with no event
    // complete. Call it again with the rest of the input until it returns nothing. A garbled
    // run whose quiet time has passed by `now` is handed out before any of `input` is taken;
    // call it with empty input when QuietDeadline() has passed and nothing arrived. A frame
    // that lies whole in `input` while nothing is held is handed out as a view into `input`,
    // without a copy.
    std::optional<Event> Next(std::string_view& input, Clock::time_point now);

    // Forgets everything held, a garbled run included (without handing it out): bytes of an
    // old connection never complete a frame of a new one.
    void Reset();

    // Bytes held for the frame or garbled run in progress.
    std::size_t Held() const { return delivered_ ? 0 : buffer_.size(); }
    // Bytes are being discarded until the link has been quiet.
    bool InGarbledRun() const { return state_ == State::Garbage; }
    // While a garbled run or an incomplete prefix is in progress: when it ends as a garbled
    // run unless more bytes arrive.
    std::optional<Clock::time_point> QuietDeadline() const;

  private:
    enum class State { Prefix, Payload, Garbage };

    std::optional<Event> Frame(std::string_view bytes);
    std::optional<Event> Garbled();
    // Some digits of a prefix are held, not yet ten.
    bool PrefixPending() const;
    void StartGarbage(Clock::time_point now);

    State state_ = State::Prefix;
    std::string buffer_;             // prefix so far, frame so far, or start of a garbled run
    Clock::time_point lastBytes_{};  // when the garbled run or the prefix last got bytes
    std::size_t value_ = 0;          // the prefix digits read so far
    std::size_t announced_ = 0;      // total length of the frame in progress
    bool delivered_ = false;         // buffer_ was handed out and is cleared on the next call
};

}  // namespace zelmo
