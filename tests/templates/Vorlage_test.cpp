#include "templates/Vorlage.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "component/Error.h"

namespace zelmo {
namespace {

// A line whose every cell names the line and its column, so that a command that moves only
// some columns shows.
VorlageZeile Zeile(char name) {
    VorlageZeile z;
    for (std::size_t c = 0; c < kSpaltenAnzahl; ++c)
        z[c] = name + std::to_string(c) + (c >= 8 ? "\r\n" + std::string(1, name) : "");
    return z;
}

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
    for (std::size_t r = 0; r < v.Zeilenanzahl(); ++r) {
        const VorlageZeile& z = v.Zeile(r);
        namen += z[0].empty() ? '-' : z == Zeile(z[0][0]) ? z[0][0] : '?';
    }
    return namen;
}

TEST(Vorlage, RowCommandsGiveTheirRowsAndCurrentCell) {
    // before, command (Duplizieren, Loeschen, Hoch, Runter), row, after, current cell
    const std::tuple<const char*, char, std::size_t, const char*, std::optional<ZellPosition>>
        faelle[] = {
            {"ABC", 'D', 2, "ABCC", ZellPosition{3, 0}}, {"AB", 'D', 0, "AAB", ZellPosition{1, 0}},
            {"AB", 'L', 0, "B", ZellPosition{0, 0}},     {"A", 'L', 0, "-", ZellPosition{0, 0}},
            {"ABC", 'L', 1, "AC", ZellPosition{1, 0}},   {"ABC", 'L', 2, "AB", ZellPosition{1, 0}},
            {"AB", 'H', 0, "AB", std::nullopt},          {"ABC", 'H', 1, "BAC", ZellPosition{0, 0}},
            {"ABC", 'H', 2, "ACB", ZellPosition{1, 0}},  {"AB", 'R', 1, "AB", std::nullopt},
            {"ABC", 'R', 0, "BAC", ZellPosition{1, 0}},  {"ABC", 'R', 1, "ACB", ZellPosition{2, 0}},
        };
    for (const auto& [vorher, befehl, zeile, nachher, aktuell] : faelle) {
        SCOPED_TRACE(std::string(vorher) + " " + befehl + std::to_string(zeile));
        Vorlage v = Mit(vorher);
        std::optional<ZellPosition> neu;
        if (befehl == 'D')
            neu = v.ZeileDuplizieren(zeile);
        else if (befehl == 'L')
            neu = v.ZeileLoeschen(zeile);
        else
            neu = befehl == 'H' ? v.ZeileHoch(zeile) : v.ZeileRunter(zeile);
        EXPECT_EQ(Namen(v), nachher);
        EXPECT_EQ(neu, aktuell);
    }
}

TEST(Vorlage, GridPrimitivesKeepAtLeastOneRowAndRefuseAddressesOutside) {
    Vorlage v = Mit("AB");
    v.ZeileKopieren(1, 0);
    v.ZeileEinfuegen(2, Zeile('C'));
    v.ZeileEinfuegen(0);
    EXPECT_EQ(Namen(v), "-BBC");
    EXPECT_EQ(v.Zelle(1, Spalte::Dateiname), "B7");
    for (int i = 0; i < 4; ++i)
        v.ZeileEntfernen(0);
    EXPECT_EQ(Namen(v), "-");
    // Run-time error 9, subscript out of range, and nothing changed.
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
