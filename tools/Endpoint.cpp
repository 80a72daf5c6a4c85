#include "Endpoint.h"

#include "link/Address.h"

namespace zelmo::tool {

std::string Endpoint::Text() const {
    const std::string shown = host.find(':') != std::string::npos ? "[" + host + "]" : host;
    return shown + ":" + std::to_string(port);
}

std::optional<Endpoint> ParseEndpoint(std::string_view text, bool allowPortZero) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    std::string_view host = text.substr(0, colon);
    const std::string_view portText = text.substr(colon + 1);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    else if (host.find(':') != std::string_view::npos)
        return std::nullopt;  // an IPv6 address needs its brackets
    if (host.empty() || host.find_first_of(" \t[]") != std::string_view::npos)
        return std::nullopt;

    Endpoint endpoint{std::string(host), 0};
    if (allowPortZero && portText == "0")
        return endpoint;
    const auto port = ParsePort(portText);
    if (!port)
        return std::nullopt;
    endpoint.port = *port;
    return endpoint;
}

}  // namespace zelmo::tool
