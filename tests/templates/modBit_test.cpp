#include "templates/modBit.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>

namespace zelmo::modBit {
namespace {

constexpr std::int32_t kLongMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kLongMax = std::numeric_limits<std::int32_t>::max();

Decimal Dez(std::uint32_t hoch, std::uint32_t tief, std::uint32_t mitte) {
    return Decimal{kDecimalTyp, 2, 0x80, hoch, tief, mitte};
}

TEST(ModBit, BitSetzenByTypeAndBitNumber) {
    struct Fall {
        const char* name;
        Wert wert;
        std::uint8_t n;
        Wert erwartet;
    };
    const Fall faelle[] = {
        {"byte bit 4", std::uint8_t{16}, 4, std::uint8_t{24}},
        {"byte bit 1", std::uint8_t{0}, 1, std::uint8_t{1}},
        {"byte bit 8 is 128", std::uint8_t{0}, 8, std::uint8_t{128}},
        {"byte bit already set", std::uint8_t{24}, 4, std::uint8_t{24}},
        {"byte bit 9 ignored", std::uint8_t{3}, 9, std::uint8_t{3}},
        {"byte bit 0 ignored", std::uint8_t{3}, 0, std::uint8_t{3}},
        {"byte bit 255 ignored", std::uint8_t{3}, 255, std::uint8_t{3}},
        {"integer bit 16 is the sign", std::int16_t{1}, 16, std::int16_t{-32767}},
        {"integer bit 16 already set", std::int16_t{-5}, 16, std::int16_t{-5}},
        {"integer bit 15", std::int16_t{0}, 15, std::int16_t{16384}},
        {"integer bit 17 ignored", std::int16_t{7}, 17, std::int16_t{7}},
        {"long bit 32 is the sign", std::int32_t{0}, 32, kLongMin},
        {"decimal sets word 1", Dez(0, 0, 0), 1, Dez(1, 0, 0)},
        {"text unchanged", std::string("abc"), 1, std::string("abc")},
        {"empty unchanged", std::monostate{}, 1, std::monostate{}},
        {"boolean unchanged", false, 1, false},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        const Wert ergebnis = BitSetzen(f.wert, f.n);
        EXPECT_EQ(ergebnis.index(), f.erwartet.index());
        EXPECT_TRUE(ergebnis == f.erwartet);
    }
}

TEST(ModBit, LongOperationsAtTheEdges) {
    struct Fall {
        std::int32_t wert;
        std::uint8_t n;
        std::int32_t gesetzt;
        std::int32_t geloescht;
        bool gesetztVorher;
    };
    const Fall faelle[] = {
        {0, 32, kLongMin, 0, false},  {kLongMin, 32, kLongMin, 0, true},
        {-1, 32, -1, kLongMax, true}, {kLongMax, 32, -1, kLongMax, false},
        {-1, 1, -1, -2, true},        {4, 3, 4, 0, true},
        {4, 2, 6, 4, false},          {5, 0, 5, 5, false},
        {-1, 33, -1, -1, false},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(::testing::Message() << f.wert << " bit " << int{f.n});
        EXPECT_EQ(BitSetzenLong(f.wert, f.n), f.gesetzt);
        EXPECT_EQ(BitLoeschenLong(f.wert, f.n), f.geloescht);
        EXPECT_EQ(BitTestenLong(f.wert, f.n), f.gesetztVorher);
    }
}

TEST(ModBit, DecimalOperationModes) {
    struct Fall {
        const char* name;
        Decimal wert;
        std::uint8_t n;
        std::uint8_t modus;
        Wert erwartet;
    };
    const Fall faelle[] = {
        {"mode 1 sets word 2", Dez(0, 0, 0), 33, 1, Dez(0, 1, 0)},
        {"bit 40 in word 2", Dez(0, 0, 0), 40, 1, Dez(0, 0x80, 0)},
        {"bit 96 in word 3", Dez(0, 0, 0), 96, 1, Dez(0, 0, 0x80000000u)},
        {"mode 0 clears", Dez(1, 1, 1), 65, 0, Dez(1, 1, 0)},
        {"mode 2 clears", Dez(0xFFFFFFFFu, 0, 0), 32, 2, Dez(0x7FFFFFFFu, 0, 0)},
        {"mode 3 tests set bit", Dez(0, 0, 2), 66, 3, true},
        {"mode 3 tests clear bit", Dez(0, 0, 2), 65, 3, false},
        {"mode 200 tests", Dez(0x80000000u, 0, 0), 32, 200, true},
        {"bit 0 unchanged", Dez(1, 2, 3), 0, 1, Dez(1, 2, 3)},
        {"bit 97 unchanged", Dez(1, 2, 3), 97, 1, Dez(1, 2, 3)},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        EXPECT_TRUE(BitOperationDecimal(Wert{f.wert}, f.n, f.modus) == f.erwartet);
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
    EXPECT_EQ(teile.Wort[2], 0x22222222u);
    EXPECT_EQ(teile.Wort[3], 0x33333333u);
    EXPECT_TRUE(DecimalZusammensetzen(teile) == Wert{d});
    EXPECT_EQ(DecimalZerlegen(Wert{std::int32_t{7}}), DecimalTeile{});

    // Bytes that claim another type, or none, are no value of that type.
    EXPECT_TRUE(std::holds_alternative<std::monostate>(DecimalZusammensetzen(DecimalTeile{})));
    EXPECT_TRUE(
        std::holds_alternative<std::monostate>(DecimalZusammensetzen(DecimalTeile{{3, 1, 2, 3}})));
    EXPECT_TRUE(
        std::holds_alternative<std::monostate>(BitOperationDecimal(Wert{std::int32_t{5}}, 1, 1)));
}

}  // namespace
}  // namespace zelmo::modBit
