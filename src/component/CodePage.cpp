#include "component/CodePage.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

#ifdef _WIN32
#include <windows.h>
#endif

namespace zelmo::codepage {

namespace {

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Reads one UTF-8 sequence at `i`; returns the code point, or -1 for an invalid sequence
// (then `i` has moved past one byte only, so every bad byte becomes its own '?').
long NextCodePoint(std::string_view s, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int len = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        ++i;
        return -1;
    }
    if (i + len > s.size()) {
        ++i;
        return -1;
    }
    for (int k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return -1;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return -1;
    }
    i += len;
    return static_cast<long>(cp);
}

#ifndef _WIN32
// Windows-1252 0x80..0x9F. The five bytes the code page leaves undefined map to the C1
// control of the same value, as Windows does, so that every byte survives a round trip.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t ByteToCodePoint(unsigned char b) {
    return (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : b;
}

int CodePointToByte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<int>(cp);
    for (std::size_t k = 0; k < kHigh.size(); ++k) {
        if (kHigh[k] == cp)
            return static_cast<int>(0x80 + k);
    }
    return -1;
}
#else
// The system's ANSI code page, asked once for all 256 bytes.
struct AnsiTable {
    std::array<char32_t, 256> toCp{};
    AnsiTable() {
        for (int b = 0; b < 256; ++b) {
            char in = static_cast<char>(b);
            wchar_t w = 0;
            toCp[b] = MultiByteToWideChar(CP_ACP, 0, &in, 1, &w, 1) == 1 ? w : U'?';
        }
    }
};
const AnsiTable& Table() {
    static const AnsiTable table;
    return table;
}
char32_t ByteToCodePoint(unsigned char b) {
    return Table().toCp[b];
}
int CodePointToByte(char32_t cp) {
    if (cp < 0x80)
        return static_cast<int>(cp);
    const auto& t = Table().toCp;
    for (int b = 0x80; b < 256; ++b) {
        if (t[b] == cp)
            return b;
    }
    return -1;
}
#endif

}  // namespace

namespace {

// Every byte's UTF-8 form, worked out once.
struct Utf8Form {
    char bytes[4];
    std::uint8_t length;
};

const std::array<Utf8Form, 256>& Utf8Forms() {
    static const std::array<Utf8Form, 256> forms = [] {
        std::array<Utf8Form, 256> table{};
        for (int b = 0; b < 256; ++b) {
            std::string s;
            AppendUtf8(s, ByteToCodePoint(static_cast<unsigned char>(b)));
            auto& form = table[static_cast<std::size_t>(b)];
            form.length = static_cast<std::uint8_t>(s.size());
            std::copy(s.begin(), s.end(), form.bytes);
        }
        return table;
    }();
    return forms;
}

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
// A word's lowest byte is its first: the byte positions below are counted that way.
static_assert(std::endian::native == std::endian::little);

std::uint64_t Word(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

}  // namespace

std::size_t DecodedSize(std::string_view bytes) {
    // Telegrams are mostly ASCII: eight bytes at a time are checked.
    const auto& forms = Utf8Forms();
    const char* in = bytes.data();
    const std::size_t n = bytes.size();
    std::size_t size = n;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        // Runs of plain text are passed over four words at a time.
        while (i + 32 <= n &&
               ((Word(in + i) | Word(in + i + 8) | Word(in + i + 16) | Word(in + i + 24)) &
                kHighBits) == 0)
            i += 32;
        if (i + 8 > n)
            break;
        // Only the bytes with their high bit set add to the length; they are visited alone.
        for (std::uint64_t high = Word(in + i) & kHighBits; high != 0; high &= high - 1) {
            const auto k = static_cast<std::size_t>(std::countr_zero(high) / 8);
            size += forms[static_cast<unsigned char>(in[i + k])].length - 1u;
        }
    }
    for (; i < n; ++i)
        size += forms[static_cast<unsigned char>(in[i])].length - 1u;
    return size;
}

namespace {

// The most one step below writes: 32 plain bytes, or one word of eight three-byte forms.
constexpr std::ptrdiff_t kMostPerStep = 32;

// Writes the text of `bytes` from `out` on and returns its end. With a `limit`, it stops and
// returns nothing once fewer than kMostPerStep bytes are left before the limit.
std::optional<char*> Write(std::string_view bytes, char* out, const char* limit) {
    const auto& forms = Utf8Forms();
    const char* in = bytes.data();
    const std::size_t n = bytes.size();
    const auto full = [&] { return limit != nullptr && limit - out < kMostPerStep; };
    // Whole words are written and the pointer moved on by what counts; the slack after the
    // text takes what lies past it.
    const auto put = [&](std::uint64_t word, std::size_t count) {
        std::memcpy(out, &word, sizeof word);
        out += count;
    };
    const auto putForm = [&](char c) {
        const auto& form = forms[static_cast<unsigned char>(c)];
        std::memcpy(out, form.bytes, sizeof form.bytes);
        out += form.length;
    };
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        while (i + 32 <= n &&
               ((Word(in + i) | Word(in + i + 8) | Word(in + i + 16) | Word(in + i + 24)) &
                kHighBits) == 0) {
            if (full())
                return std::nullopt;
            std::memcpy(out, in + i, 32);
            out += 32;
            i += 32;
        }
        if (i + 8 > n)
            break;
        if (full())
            return std::nullopt;
        const std::uint64_t word = Word(in + i);
        std::uint64_t high = word & kHighBits;
        // The plain bytes before each high one go out as one word, the high one as its form.
        std::size_t from = 0;
        for (; high != 0; high &= high - 1) {
            const auto k = static_cast<std::size_t>(std::countr_zero(high) / 8);
            put(word >> (8 * from), k - from);
            putForm(in[i + k]);
            from = k + 1;
        }
        if (from < 8)
            put(word >> (8 * from), 8 - from);
    }
    for (; i < n; ++i) {
        if (full())
            return std::nullopt;
        if (static_cast<unsigned char>(in[i]) < 0x80)
            *out++ = in[i];
        else
            putForm(in[i]);
    }
    return out;
}

}  // namespace

void DecodeTo(std::string_view bytes, char* out) {
    static_cast<void>(Write(bytes, out, nullptr));
}

std::optional<std::size_t> DecodeInto(std::string_view bytes, char* out, std::size_t room) {
    const auto end = Write(bytes, out, out + room);
    if (!end)
        return std::nullopt;
    return static_cast<std::size_t>(*end - out);
}

std::string Decode(std::string_view bytes) {
    const std::size_t size = DecodedSize(bytes);
    std::string out(size + kDecodeSlack, '\0');
    DecodeTo(bytes, out.data());
    out.resize(size);
    return out;
}

std::string Encode(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        // ASCII runs are copied as they are, checked eight bytes at a time.
        std::size_t j = i;
        while (j + 8 <= utf8.size() && (Word(utf8.data() + j) & kHighBits) == 0)
            j += 8;
        while (j < utf8.size() && static_cast<unsigned char>(utf8[j]) < 0x80)
            ++j;
        out.append(utf8.data() + i, j - i);
        i = j;
        if (i == utf8.size())
            break;
        const long cp = NextCodePoint(utf8, i);
        const int b = cp < 0 ? -1 : CodePointToByte(static_cast<char32_t>(cp));
        out.push_back(b < 0 ? '?' : static_cast<char>(b));
    }
    return out;
}

std::size_t CharCount(std::string_view utf8) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        NextCodePoint(utf8, i);
        ++n;
    }
    return n;
}

std::string_view LeftChars(std::string_view utf8, std::size_t count) {
    std::size_t i = 0;
    for (std::size_t n = 0; n < count && i < utf8.size(); ++n)
        NextCodePoint(utf8, i);
    return utf8.substr(0, i);
}

}  // namespace zelmo::codepage
