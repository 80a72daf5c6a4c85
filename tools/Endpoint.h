#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zelmo::tool {

// A peer or a listening address as given on the command line.
struct Endpoint {
    std::string host;  // a name or an address; IPv6 without its brackets
    std::uint16_t port = 0;

    std::string Text() const;  // "host:port", IPv6 in brackets
};

// "HOST:PORT" or "[IPv6]:PORT". The port follows the program's port rule (a whole number
// 1..65535); `allowPortZero` also takes 0, which lets a listener pick a free port.
std::optional<Endpoint> ParseEndpoint(std::string_view text, bool allowPortZero = false);

}  // namespace zelmo::tool
