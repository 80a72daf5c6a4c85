#include "templates/modBit.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <tuple>

namespace zelmo::modBit {
namespace {

constexpr std::int32_t kLongMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kLongMax = std::numeric_limits<std::int32_t>::max();

Decimal Dez(std::uint32_t hoch, std::uint32_t tief, std::uint32_t mitte) {
    return Decimal{kDecimalTyp, 2, 0x80, hoch, tief, mitte};
}

// Bit n is worth 2^(n-1), the top bit of a signed type is its sign; bits past the type are
// ignored, and so are values that are no number.
TEST(ModBit, BitSetzenByTypeAndBitNumber) {
    using B = std::uint8_t;
    using I = std::int16_t;
    using L = std::int32_t;
    const std::tuple<Wert, std::uint8_t, Wert> faelle[] = {
        {B{16}, 4, B{24}},    {B{0}, 1, B{1}},
        {B{0}, 8, B{128}},    {B{3}, 9, B{3}},
        {B{3}, 0, B{3}},      {I{1}, 16, I{-32767}},
        {I{0}, 15, I{16384}}, {I{7}, 17, I{7}},
        {L{0}, 32, kLongMin}, {Dez(0, 0, 0), 1, Dez(1, 0, 0)},
    };
    for (const auto& [wert, n, erwartet] : faelle) {
        SCOPED_TRACE(int{n});
        EXPECT_TRUE(BitSetzen(wert, n) == erwartet);
    }
    for (const Wert& keineZahl : {Wert{std::string("abc")}, Wert{false}, Wert{}})
        EXPECT_TRUE(BitSetzen(keineZahl, 1) == keineZahl);
}

TEST(ModBit, LongOperationsAtTheEdges) {
    // value, bit, value with the bit set, value with it cleared, whether it was set
    const std::tuple<std::int32_t, std::uint8_t, std::int32_t, std::int32_t, bool> faelle[] = {
        {0, 32, kLongMin, 0, false},  {kLongMin, 32, kLongMin, 0, true},
        {-1, 32, -1, kLongMax, true}, {kLongMax, 32, -1, kLongMax, false},
        {-1, 1, -1, -2, true},        {4, 3, 4, 0, true},
        {4, 2, 6, 4, false},          {5, 0, 5, 5, false},
        {-1, 33, -1, -1, false},
    };
    for (const auto& [wert, n, gesetzt, geloescht, warGesetzt] : faelle) {
        SCOPED_TRACE(::testing::Message() << wert << " bit " << int{n});
        EXPECT_EQ(BitSetzenLong(wert, n), gesetzt);
        EXPECT_EQ(BitLoeschenLong(wert, n), geloescht);
        EXPECT_EQ(BitTestenLong(wert, n), warGesetzt);
    }
}

// Mode 1 sets, 0 and 2 clear, 3 and above test; bits 1-32 are word 1 (Hoch), 33-64 word 2
// (Tief), 65-96 word 3 (Mitte).
TEST(ModBit, DecimalOperationModes) {
    const std::tuple<Decimal, std::uint8_t, std::uint8_t, Wert> faelle[] = {
        {Dez(0, 0, 0), 33, 1, Dez(0, 1, 0)},
        {Dez(0, 0, 0), 96, 1, Dez(0, 0, 0x80000000u)},
        {Dez(1, 1, 1), 65, 0, Dez(1, 1, 0)},
        {Dez(0xFFFFFFFFu, 0, 0), 32, 2, Dez(0x7FFFFFFFu, 0, 0)},
        {Dez(0, 0, 2), 66, 3, true},
        {Dez(0x80000000u, 0, 0), 32, 200, true},
        {Dez(1, 2, 3), 0, 1, Dez(1, 2, 3)},
        {Dez(1, 2, 3), 97, 1, Dez(1, 2, 3)},
    };
    for (const auto& [wert, n, modus, erwartet] : faelle) {
        SCOPED_TRACE(::testing::Message() << "bit " << int{n} << " mode " << int{modus});
        EXPECT_TRUE(BitOperationDecimal(Wert{wert}, n, modus) == erwartet);
    }
    for (std::uint8_t n = 1; n <= 96; ++n) {
        SCOPED_TRACE(int{n});
        const Wert gesetzt = BitOperationDecimal(Wert{Dez(0, 0, 0)}, n, 1);
        EXPECT_TRUE(BitOperationDecimal(gesetzt, n, 3) == Wert{true});
        EXPECT_TRUE(BitOperationDecimal(BitOperationDecimal(gesetzt, n, 0), n, 3) == Wert{false});
    }
}

TEST(ModBit, DecimalRecordIsTheBytesInMemoryOrder) {
    const Decimal d = Dez(0x11111111u, 0x22222222u, 0x33333333u);
    const DecimalTeile teile = DecimalZerlegen(Wert{d});
    if constexpr (std::endian::native == std::endian::little) {
        EXPECT_EQ(teile.Wort[0], 0x8002000Eu);  // type 14, scale 2, sign 0x80
    }
    EXPECT_EQ(teile.Wort[1], 0x11111111u);
    EXPECT_TRUE(DecimalZusammensetzen(teile) == Wert{d});
    EXPECT_EQ(DecimalZerlegen(Wert{std::int32_t{7}}), DecimalTeile{});
    // Bytes that claim another type, or none, are no value of that type.
    EXPECT_TRUE(DecimalZusammensetzen(DecimalTeile{{3, 1, 2, 3}}) == Wert{});
    EXPECT_TRUE(BitOperationDecimal(Wert{std::int32_t{5}}, 1, 1) == Wert{});
}

}  // namespace
}  // namespace zelmo::modBit
