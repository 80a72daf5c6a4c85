#include "templates/Vorlage.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "component/Error.h"

namespace zelmo {
namespace {

// A line whose every cell names the line and its column, Tabelle and Feld multi-line, so that
// a command that moves only some columns shows.
VorlageZeile Zeile(char name) {
    VorlageZeile z;
    const std::string n(1, name);
    for (std::size_t c = 0; c < kSpaltenAnzahl; ++c)
        z[c] = n + std::to_string(c);
    z[8] = n + "T1\r\n" + n + "T2";
    z[9] = n + "f1," + n + "f2\r\n" + n + "f3";
    return z;
}

// One line per character.
Vorlage Mit(std::string_view namen) {
    Vorlage v;
    v.SetzeZeile(0, Zeile(namen[0]));
    for (const char name : namen.substr(1))
        v.ZeileAnhaengen(Zeile(name));
    return v;
}

// The names of the lines; '-' for an empty line, '?' for one that is no whole named line.
std::string Namen(const Vorlage& v) {
    std::string namen;
    for (const VorlageZeile& z : v.Zeilen()) {
        if (z == VorlageZeile{})
            namen += '-';
        else
            namen += !z[0].empty() && z == Zeile(z[0][0]) ? z[0][0] : '?';
    }
    return namen;
}

TEST(Vorlage, RowCommandsGiveTheirRowsAndCurrentCell) {
    struct Fall {
        const char* vorher;
        char befehl;  // Duplizieren, Loeschen, Hoch, Runter
        std::size_t zeile;
        const char* nachher;
        std::optional<ZellPosition> aktuell;
    };
    const Fall faelle[] = {
        {"ABC", 'D', 2, "ABCC", ZellPosition{3, 0}}, {"AB", 'D', 0, "AAB", ZellPosition{1, 0}},
        {"AB", 'L', 0, "B", ZellPosition{0, 0}},     {"A", 'L', 0, "-", ZellPosition{0, 0}},
        {"ABC", 'L', 1, "AC", ZellPosition{1, 0}},   {"ABC", 'L', 2, "AB", ZellPosition{1, 0}},
        {"AB", 'H', 0, "AB", std::nullopt},          {"ABC", 'H', 1, "BAC", ZellPosition{0, 0}},
        {"ABC", 'H', 2, "ACB", ZellPosition{1, 0}},  {"AB", 'R', 1, "AB", std::nullopt},
        {"ABC", 'R', 0, "BAC", ZellPosition{1, 0}},  {"ABC", 'R', 1, "ACB", ZellPosition{2, 0}},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(std::string(f.vorher) + " " + f.befehl + std::to_string(f.zeile));
        Vorlage v = Mit(f.vorher);
        std::optional<ZellPosition> aktuell;
        if (f.befehl == 'D')
            aktuell = v.ZeileDuplizieren(f.zeile);
        else if (f.befehl == 'L')
            aktuell = v.ZeileLoeschen(f.zeile);
        else
            aktuell = f.befehl == 'H' ? v.ZeileHoch(f.zeile) : v.ZeileRunter(f.zeile);
        EXPECT_EQ(Namen(v), f.nachher);
        EXPECT_EQ(aktuell, f.aktuell);
    }
}

TEST(Vorlage, CopyAndGridPrimitivesKeepAtLeastOneRow) {
    Vorlage v = Mit("AB");
    v.ZeileKopieren(1, 0);
    v.ZeileEinfuegen(2, Zeile('C'));
    v.ZeileEinfuegen(0);
    EXPECT_EQ(Namen(v), "-BBC");
    for (int i = 0; i < 3; ++i)
        v.ZeileEntfernen(0);
    EXPECT_EQ(Namen(v), "C");
    v.ZeileEntfernen(0);
    EXPECT_EQ(Namen(v), "-");
}

TEST(Vorlage, AddressesOutsideTheGridAreSubscriptErrors) {
    Vorlage v;
    const std::function<void()> aufrufe[] = {
        [&] { (void)v.Zelle(1, 0); },      [&] { (void)v.Zelle(0, 10); },
        [&] { v.SetzeZelle(0, 10, "x"); }, [&] { v.ZeileEinfuegen(2); },
        [&] { v.ZeileLoeschen(1); },       [&] { v.ZeileDuplizieren(1); },
        [&] { v.ZeileHoch(1); },           [&] { v.ZeileRunter(1); },
        [&] { v.ZeileKopieren(0, 1); },
    };
    for (std::size_t i = 0; i < std::size(aufrufe); ++i) {
        SCOPED_TRACE(i);
        try {
            aufrufe[i]();
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), 9);
        }
        EXPECT_EQ(v.Zeilenanzahl(), 1u);
    }
}

}  // namespace
}  // namespace zelmo
