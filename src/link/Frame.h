#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The wire format shared with the scoring sender, in both directions: ten ASCII digits
// giving the total frame length in bytes (these ten included), then the payload in the
// code page.
namespace zelmo {

inline constexpr std::size_t kPrefixLength = 10;

// The largest frame the reader accepts. Real telegrams stay far below it (a 500-rider start
// list is a few hundred kilobytes); anything larger is a garbled prefix, not a telegram,
// and must not make the receiver allocate without bound.
inline constexpr std::size_t kMaxFrameLength = std::size_t{64} * 1024 * 1024;

inline constexpr std::string_view kAckPayload = "OK";
inline constexpr std::string_view kAckFrame = "0000000012OK";

// The frame for a payload given as UTF-8: the payload is encoded to the code page and the
// prefix counts the resulting bytes. Throws Error when the length does not fit ten digits.
std::string EncodeFrame(std::string_view payloadUtf8);

}  // namespace zelmo
