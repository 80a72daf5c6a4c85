#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <variant>

// Bit operations on integer values of several widths and on Decimal values held in a
// variant. Bits are numbered from 1: bit n has the value 2^(n-1), so the highest bit of a
// signed type is its sign bit. A bit number outside a type's range leaves the value as it is.
namespace zelmo::modBit {

// The 16 bytes of a Decimal value as they lie in memory: the type word (14), the scale byte
// and the sign byte (0x80 = negative), then the high, the low and the middle 32 bits of the
// 96-bit mantissa.
struct Decimal {
    std::uint16_t Typ = 14;
    std::uint8_t Skala = 0;
    std::uint8_t Vorzeichen = 0;
    std::uint32_t Hoch = 0;
    std::uint32_t Tief = 0;
    std::uint32_t Mitte = 0;

    friend bool operator==(const Decimal&, const Decimal&) = default;
};
static_assert(sizeof(Decimal) == 16);

inline constexpr std::uint16_t kDecimalTyp = 14;

// Empty, Byte, Integer, Long, Decimal, Boolean, text.
using Wert = std::variant<std::monostate, std::uint8_t, std::int16_t, std::int32_t, Decimal, bool,
                          std::string>;

// The 16 bytes of a Decimal as four 32-bit words in memory order: word 0 holds the type word,
// scale and sign; words 1, 2, 3 are the high, low and middle mantissa words.
struct DecimalTeile {
    std::array<std::uint32_t, 4> Wort{};

    friend bool operator==(const DecimalTeile&, const DecimalTeile&) = default;
};

// Sets bit n of a Byte, Integer, Long or Decimal; any other value comes back unchanged.
Wert BitSetzen(Wert wert, std::uint8_t n);

std::int32_t BitSetzenLong(std::int32_t wert, std::uint8_t n);
std::int32_t BitLoeschenLong(std::int32_t wert, std::uint8_t n);
bool BitTestenLong(std::int32_t wert, std::uint8_t n);
std::int16_t BitSetzenInteger(std::int16_t wert, std::uint8_t n);
std::uint8_t BitSetzenByte(std::uint8_t wert, std::uint8_t n);

// Bit n (1..96) of a Decimal's words 1 to 3: n 1..32 is word 1, 33..64 word 2, 65..96 word 3.
// Mode 1 sets the bit, modes 0 and 2 clear it (result: the changed value); mode 3 and above
// test it (result: a Boolean). n outside 1..96 gives the value back unchanged.
Wert BitOperationDecimal(Wert wert, std::uint8_t n, std::uint8_t modus);

// A Decimal's 16 bytes; all zero for any other value.
DecimalTeile DecimalZerlegen(const Wert& wert);

// The value whose 16 bytes are the record. A record whose type word is not that of a Decimal
// gives Empty: an all-zero record is how the byte copy yields Empty, and bytes that claim any
// other type are not a value of that type.
Wert DecimalZusammensetzen(const DecimalTeile& teile);

}  // namespace zelmo::modBit
