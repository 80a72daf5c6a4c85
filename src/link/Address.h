#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Checks of the sender's address and port as the operator types them.
namespace zelmo {

inline constexpr std::string_view kIpFormatStimmtNicht = "IP-Format stimmt nicht!";
inline constexpr std::string_view kPortFormatStimmtNicht = "Port-Format stimmt nicht!";

// An IPv4 address of four dot-separated parts, each of one to three decimal digits (no
// sign, no blanks), the first 10..255 and the others 0..255. Host names are not accepted.
bool IsValidIP(std::string_view sIP);

// The port as a whole number 1..65535 in decimal digits only (no sign, no blanks); nothing
// for any other text.
std::optional<std::uint16_t> ParsePort(std::string_view text);

}  // namespace zelmo
