#include "templates/GrossKlein.h"

namespace zelmo {

namespace {

char32_t Gross(char32_t zeichen) {
    if (zeichen >= U'a' && zeichen <= U'z') {
        return zeichen - 0x20;
    }
    if (zeichen >= 0xE0 && zeichen <= 0xFE && zeichen != 0xF7) {
        return zeichen - 0x20;
    }
    switch (zeichen) {
        case 0xFF:  // ÿ
            return 0x178;
        case 0x161:  // š
            return 0x160;
        case 0x153:  // œ
            return 0x152;
        case 0x17E:  // ž
            return 0x17D;
        default:
            return zeichen;
    }
}

}  // namespace

std::string Grossbuchstaben(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(Gross(b)));
            continue;
        }
        // Every letter with a capital in the code page is a two-byte sequence, and so is
        // every capital it maps to.
        if (b >= 0xC2 && b <= 0xDF && i + 1 < utf8.size() &&
            (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
            const auto folge = static_cast<unsigned char>(utf8[i + 1]);
            const char32_t gross = Gross(static_cast<char32_t>(((b & 0x1F) << 6) | (folge & 0x3F)));
            out.push_back(static_cast<char>(0xC0 | (gross >> 6)));
            out.push_back(static_cast<char>(0x80 | (gross & 0x3F)));
            ++i;
            continue;
        }
        out.push_back(static_cast<char>(b));
    }
    return out;
}

bool GleichOhneGrossKlein(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    return Grossbuchstaben(a) == Grossbuchstaben(b);
}

}  // namespace zelmo
