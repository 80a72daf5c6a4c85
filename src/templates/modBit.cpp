#include "templates/modBit.h"

#include <bit>

namespace zelmo::modBit {

namespace {

// Bit operations run on the unsigned counterpart: setting the sign bit is then a plain Or,
// and the conversion back to the signed type is modular (well defined since C++20).
constexpr std::uint32_t Maske(std::uint8_t n) {
    return std::uint32_t{1} << (n - 1);
}

}  // namespace

std::int32_t BitSetzenLong(std::int32_t wert, std::uint8_t n) {
    if (n < 1 || n > 32) {
        return wert;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(wert) | Maske(n));
}

std::int32_t BitLoeschenLong(std::int32_t wert, std::uint8_t n) {
    if (n < 1 || n > 32) {
        return wert;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(wert) & ~Maske(n));
}

bool BitTestenLong(std::int32_t wert, std::uint8_t n) {
    if (n < 1 || n > 32) {
        return false;
    }
    return (static_cast<std::uint32_t>(wert) & Maske(n)) != 0;
}

std::int16_t BitSetzenInteger(std::int16_t wert, std::uint8_t n) {
    if (n < 1 || n > 16) {
        return wert;
    }
    const auto bits = static_cast<std::uint16_t>(static_cast<std::uint16_t>(wert) | Maske(n));
    return static_cast<std::int16_t>(bits);
}

std::uint8_t BitSetzenByte(std::uint8_t wert, std::uint8_t n) {
    if (n < 1 || n > 8) {
        return wert;
    }
    return static_cast<std::uint8_t>(wert | Maske(n));
}

DecimalTeile DecimalZerlegen(const Wert& wert) {
    DecimalTeile teile;
    if (const auto* dec = std::get_if<Decimal>(&wert)) {
        teile.Wort = std::bit_cast<std::array<std::uint32_t, 4>>(*dec);
    }
    return teile;
}

Wert DecimalZusammensetzen(const DecimalTeile& teile) {
    const auto dec = std::bit_cast<Decimal>(teile.Wort);
    if (dec.Typ != kDecimalTyp) {
        return Wert{};
    }
    return Wert{dec};
}

Wert BitOperationDecimal(Wert wert, std::uint8_t n, std::uint8_t modus) {
    if (n == 0 || n > 96) {
        return wert;
    }
    DecimalTeile teile = DecimalZerlegen(wert);
    const std::size_t index = (n - 1) / 32 + 1;
    const auto bit = static_cast<std::uint8_t>((n - 1) % 32 + 1);
    const auto wort = static_cast<std::int32_t>(teile.Wort[index]);
    if (modus >= 3) {
        return Wert{BitTestenLong(wort, bit)};
    }
    const std::int32_t neu = modus == 1 ? BitSetzenLong(wort, bit) : BitLoeschenLong(wort, bit);
    teile.Wort[index] = static_cast<std::uint32_t>(neu);
    return DecimalZusammensetzen(teile);
}

Wert BitSetzen(Wert wert, std::uint8_t n) {
    if (const auto* b = std::get_if<std::uint8_t>(&wert)) {
        return Wert{BitSetzenByte(*b, n)};
    }
    if (const auto* i = std::get_if<std::int16_t>(&wert)) {
        return Wert{BitSetzenInteger(*i, n)};
    }
    if (const auto* l = std::get_if<std::int32_t>(&wert)) {
        return Wert{BitSetzenLong(*l, n)};
    }
    if (std::holds_alternative<Decimal>(wert)) {
        return BitOperationDecimal(std::move(wert), n, 1);
    }
    return wert;
}

}  // namespace zelmo::modBit
