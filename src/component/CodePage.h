#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The single-byte code page used on the wire and in every file the program reads or writes.
// Windows: the system's ANSI code page; elsewhere Windows-1252. Inside the program all text
// is UTF-8.
namespace zelmo::codepage {

// Code-page bytes to UTF-8. Every byte maps to exactly one character, so any input decodes.
std::string Decode(std::string_view bytes);

// The same in two steps, for a caller that owns the buffer: the UTF-8 length of `bytes`, then
// the text written to `out`, which must have room for that length plus kDecodeSlack bytes
// (it is written in words of eight bytes).
inline constexpr std::size_t kDecodeSlack = 8;
std::size_t DecodedSize(std::string_view bytes);
void DecodeTo(std::string_view bytes, char* out);
// In one pass into a buffer of `room` bytes and kDecodeSlack more: the text's length, or
// nothing when the room runs short (it may ask for up to 32 bytes more than the text needs).
std::optional<std::size_t> DecodeInto(std::string_view bytes, char* out, std::size_t room);

// UTF-8 to code-page bytes. A character the code page cannot hold, and every byte of an
// invalid UTF-8 sequence, becomes '?'.
std::string Encode(std::string_view utf8);

// Number of characters in UTF-8 text (what a single-byte code page makes of it in bytes).
std::size_t CharCount(std::string_view utf8);

// The first `count` characters of UTF-8 text, never cutting a character in half.
std::string_view LeftChars(std::string_view utf8, std::size_t count);

}  // namespace zelmo::codepage
