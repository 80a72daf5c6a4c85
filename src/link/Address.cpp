#include "link/Address.h"

namespace zelmo {

namespace {

bool AllDigits(std::string_view s) {
    if (s.empty())
        return false;
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// Value of a text of digits only, read no further than needed to exceed `limit`.
unsigned long ValueUpTo(std::string_view digits, unsigned long limit) {
    unsigned long value = 0;
    for (char c : digits) {
        value = value * 10 + static_cast<unsigned long>(c - '0');
        if (value > limit)
            return limit + 1;
    }
    return value;
}

}  // namespace

bool IsValidIP(std::string_view sIP) {
    if (sIP.empty())
        return false;
    std::string_view parts[4];
    std::size_t count = 0;
    for (std::size_t start = 0;;) {
        const std::size_t dot = sIP.find('.', start);
        if (count == 4)
            return false;
        parts[count++] = sIP.substr(start, dot == std::string_view::npos ? dot : dot - start);
        if (dot == std::string_view::npos)
            break;
        start = dot + 1;
    }
    if (count != 4)
        return false;
    for (std::size_t k = 0; k < 4; ++k) {
        if (!AllDigits(parts[k]) || parts[k].size() > 3)
            return false;
        const unsigned long value = ValueUpTo(parts[k], 255);
        if (value > 255 || (k == 0 && value < 10))
            return false;
    }
    return true;
}

std::optional<std::uint16_t> ParsePort(std::string_view text) {
    if (!AllDigits(text))
        return std::nullopt;
    const unsigned long value = ValueUpTo(text, 65535);
    if (value < 1 || value > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

}  // namespace zelmo
