#pragma once

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
// digits, when it announces fewer than ten bytes. The bytes held so far and every following
// byte up to the next '0' (the only byte a frame can start with) form one garbled run, which
// is handed out when that '0' arrives, when the input at hand is used up (so that a short
// piece of garbage is answered at once instead of stalling a sender that waits for its
// acknowledgement), or when the run reaches kMaxGarbledRun bytes. The reader therefore never
// holds more than one frame of at most kMaxFrameLength bytes and never waits on bytes that
// cannot start or continue a frame.
namespace zelmo {

class FrameReader {
  public:
    enum class Kind {
        Telegram,  // a complete frame to evaluate and acknowledge
        PeerAck,   // the complete frame "0000000012OK": the peer acknowledges our send
        Garbled,   // bytes that cannot belong to a frame: log, discard, acknowledge
    };

    struct Event {
        Kind kind;
        // Telegram and PeerAck: the whole frame, prefix included. Garbled: the discarded
        // bytes. Valid until the next call of Next or Reset.
        std::string_view bytes;

        std::string_view Payload() const { return bytes.substr(kPrefixLength); }
    };

    // Longest garbled run handed out as one event.
    static constexpr std::size_t kMaxGarbledRun = 64 * 1024;

    // Consumes bytes from the front of `input` until one event is complete and returns it,
    // or returns nothing once `input` is used up with no event complete. Call it again with
    // the rest of the input until it returns nothing. A frame that lies whole in `input`
    // while nothing is held is handed out as a view into `input`, without a copy.
    std::optional<Event> Next(std::string_view& input);

    // Forgets everything held: bytes of an old connection never complete a frame of a new one.
    void Reset();

    // Bytes held for the frame or garbled run in progress.
    std::size_t Held() const { return delivered_ ? 0 : buffer_.size(); }

  private:
    enum class State { Prefix, Payload, Garbage };

    std::optional<Event> Frame(std::string_view bytes);
    std::optional<Event> Garbled();

    State state_ = State::Prefix;
    std::string buffer_;         // prefix so far, frame so far, or garbled run
    std::size_t value_ = 0;      // the prefix digits read so far
    std::size_t announced_ = 0;  // total length of the frame in progress
    bool delivered_ = false;     // buffer_ was handed out and is cleared on the next call
};

}  // namespace zelmo
