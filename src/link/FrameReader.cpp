#include "link/FrameReader.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace zelmo {

namespace {

// A buffer that grew for a large frame is given back afterwards, so that one big start
// list does not pin its size for the rest of the show.
constexpr std::size_t kKeepCapacity = std::size_t{4} * 1024 * 1024;
// Reserved when a frame's payload starts; larger frames grow geometrically from here, so a
// garbled prefix that announces the limit costs no more than the bytes that really come.
constexpr std::size_t kInitialReserve = std::size_t{1} * 1024 * 1024;

constexpr std::array<std::uint64_t, kPrefixLength> kPow10 = {
    1, 10, 100, 1'000, 10'000, 100'000, 1'000'000, 10'000'000, 100'000'000, 1'000'000'000};

// Takes the prefix byte at `pos` (0-based). False when the prefix can no longer become
// valid: a non-digit, or digits whose smallest completion already exceeds the limit.
bool AcceptPrefixByte(std::size_t& value, std::size_t pos, char c) {
    if (c < '0' || c > '9')
        return false;
    const std::uint64_t next = std::uint64_t{value} * 10 + static_cast<std::uint64_t>(c - '0');
    if (next * kPow10[kPrefixLength - 1 - pos] > kMaxFrameLength)
        return false;
    value = static_cast<std::size_t>(next);
    return true;
}

FrameReader::Kind KindOf(std::string_view frame) {
    return frame == kAckFrame ? FrameReader::Kind::PeerAck : FrameReader::Kind::Telegram;
}

}  // namespace

void FrameReader::Reset() {
    // Only cleared, not freed: a caller may still look at the last event's bytes.
    buffer_.clear();
    delivered_ = false;
    state_ = State::Prefix;
    value_ = 0;
    announced_ = 0;
    lastBytes_ = {};
}

std::optional<FrameReader::Event> FrameReader::Frame(std::string_view bytes) {
    state_ = State::Prefix;
    value_ = 0;
    announced_ = 0;
    return Event{KindOf(bytes), bytes};
}

std::optional<FrameReader::Event> FrameReader::Garbled() {
    state_ = State::Prefix;
    value_ = 0;
    delivered_ = true;
    return Event{Kind::Garbled, buffer_};
}

void FrameReader::StartGarbage(Clock::time_point now) {
    state_ = State::Garbage;
    lastBytes_ = now;
    if (buffer_.size() > kGarbledLogBytes)
        buffer_.resize(kGarbledLogBytes);
}

bool FrameReader::PrefixPending() const {
    return state_ == State::Prefix && !delivered_ && !buffer_.empty();
}

std::optional<FrameReader::Clock::time_point> FrameReader::QuietDeadline() const {
    if (state_ != State::Garbage && !PrefixPending())
        return std::nullopt;
    return lastBytes_ + kQuietTime;
}

std::optional<FrameReader::Event> FrameReader::Next(std::string_view& input,
                                                    Clock::time_point now) {
    if (delivered_) {
        buffer_.clear();
        delivered_ = false;
    }
    if (buffer_.empty() && buffer_.capacity() > kKeepCapacity)
        std::string().swap(buffer_);

    for (;;) {
        switch (state_) {
            case State::Prefix: {
                if (!buffer_.empty() && now >= lastBytes_ + kQuietTime)
                    return Garbled();
                if (buffer_.empty() && input.size() >= kPrefixLength) {
                    // Fast path: a whole frame in the input is handed out where it lies.
                    std::size_t value = 0;
                    std::size_t pos = 0;
                    while (pos < kPrefixLength && AcceptPrefixByte(value, pos, input[pos]))
                        ++pos;
                    if (pos == kPrefixLength && value >= kPrefixLength && input.size() >= value) {
                        const std::string_view frame = input.substr(0, value);
                        input.remove_prefix(value);
                        return Frame(frame);
                    }
                }
                bool garbled = false;
                if (!input.empty())
                    lastBytes_ = now;
                while (buffer_.size() < kPrefixLength && !input.empty()) {
                    const char c = input.front();
                    input.remove_prefix(1);
                    buffer_.push_back(c);
                    if (!AcceptPrefixByte(value_, buffer_.size() - 1, c)) {
                        garbled = true;
                        break;
                    }
                }
                if (!garbled && buffer_.size() < kPrefixLength)
                    return std::nullopt;
                if (garbled || value_ < kPrefixLength) {
                    StartGarbage(now);
                    break;
                }
                announced_ = value_;
                buffer_.reserve(std::min(announced_, kInitialReserve));
                state_ = State::Payload;
                break;
            }
            case State::Payload: {
                const std::size_t take = std::min(announced_ - buffer_.size(), input.size());
                buffer_.append(input.substr(0, take));
                input.remove_prefix(take);
                if (buffer_.size() < announced_)
                    return std::nullopt;
                delivered_ = true;
                return Frame(buffer_);
            }
            case State::Garbage: {
                if (now >= lastBytes_ + kQuietTime)
                    return Garbled();
                if (input.empty())
                    return std::nullopt;
                const std::size_t room =
                    kGarbledLogBytes - std::min(kGarbledLogBytes, buffer_.size());
                buffer_.append(input.substr(0, room));
                input.remove_prefix(input.size());
                lastBytes_ = now;
                return std::nullopt;
            }
        }
    }
}

}  // namespace zelmo
