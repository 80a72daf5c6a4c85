#include "templates/Vorlage.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "component/Error.h"

namespace zelmo {
namespace {

// A line whose every cell names the line and its column, Tabelle and Feld multi-line, so that
// a command that moves only some columns shows; '-' is an empty line.
VorlageZeile Zeile(char name) {
    VorlageZeile z;
    if (name == '-')
        return z;
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

void ErwarteZeilen(const Vorlage& v, std::string_view namen) {
    ASSERT_EQ(v.Zeilenanzahl(), namen.size());
    for (std::size_t r = 0; r < namen.size(); ++r)
        EXPECT_EQ(v.Zeile(r), Zeile(namen[r])) << "row " << r;
}

std::optional<ZellPosition> Ausfuehren(Vorlage& v, char befehl, std::size_t zeile) {
    if (befehl == 'D')
        return v.ZeileDuplizieren(zeile);
    if (befehl == 'L')
        return v.ZeileLoeschen(zeile);
    return befehl == 'H' ? v.ZeileHoch(zeile) : v.ZeileRunter(zeile);
}

TEST(Vorlage, RowCommandsGiveTheirRowsAndCurrentCell) {
    struct Fall {
        const char* name;
        const char* vorher;
        char befehl;  // Duplizieren, Loeschen, Hoch, Runter
        std::size_t zeile;
        const char* nachher;
        std::optional<ZellPosition> aktuell;
    };
    const Fall faelle[] = {
        {"duplicate last line", "ABC", 'D', 2, "ABCC", ZellPosition{3, 0}},
        {"duplicate first line", "AB", 'D', 0, "AAB", ZellPosition{1, 0}},
        {"delete row 0 of two", "AB", 'L', 0, "B", ZellPosition{0, 0}},
        {"delete only row empties it", "A", 'L', 0, "-", ZellPosition{0, 0}},
        {"delete middle row", "ABC", 'L', 1, "AC", ZellPosition{1, 0}},
        {"delete last row moves up", "ABC", 'L', 2, "AB", ZellPosition{1, 0}},
        {"up on row 0 does nothing", "AB", 'H', 0, "AB", std::nullopt},
        {"up on row 1", "ABC", 'H', 1, "BAC", ZellPosition{0, 0}},
        {"up on last row", "ABC", 'H', 2, "ACB", ZellPosition{1, 0}},
        {"down on last row does nothing", "AB", 'R', 1, "AB", std::nullopt},
        {"down on only row does nothing", "A", 'R', 0, "A", std::nullopt},
        {"down on row 0", "ABC", 'R', 0, "BAC", ZellPosition{1, 0}},
        {"down on row 1", "ABC", 'R', 1, "ACB", ZellPosition{2, 0}},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        Vorlage v = Mit(f.vorher);
        v.SetzeFormat(Ausgabeformat::CSVNurDaten);
        v.SetzeTrenner(";");
        const std::optional<ZellPosition> aktuell = Ausfuehren(v, f.befehl, f.zeile);
        ErwarteZeilen(v, f.nachher);
        EXPECT_EQ(aktuell, f.aktuell);
        EXPECT_EQ(v.Format(), Ausgabeformat::CSVNurDaten);
        EXPECT_EQ(v.Trenner(), ";");
    }
}

TEST(Vorlage, CopyAndGridPrimitivesKeepAtLeastOneRow) {
    Vorlage v = Mit("AB");
    v.ZeileKopieren(1, 0);
    ErwarteZeilen(v, "BB");
    v.ZeileEinfuegen(2, Zeile('C'));
    v.ZeileEinfuegen(0);
    ErwarteZeilen(v, "-BBC");
    v.ZeileEntfernen(0);
    v.ZeileEntfernen(0);
    v.ZeileEntfernen(0);
    ErwarteZeilen(v, "C");
    v.ZeileEntfernen(0);
    ErwarteZeilen(v, "-");
}

TEST(Vorlage, AddressesOutsideTheGridAreSubscriptErrors) {
    Vorlage v;
    const std::pair<const char*, std::function<void()>> faelle[] = {
        {"cell row", [&] { (void)v.Zelle(1, 0); }},
        {"cell column", [&] { (void)v.Zelle(0, 10); }},
        {"set cell", [&] { v.SetzeZelle(0, 10, "x"); }},
        {"insert past end", [&] { v.ZeileEinfuegen(2); }},
        {"delete", [&] { v.ZeileLoeschen(1); }},
        {"duplicate", [&] { v.ZeileDuplizieren(1); }},
        {"up", [&] { v.ZeileHoch(1); }},
        {"down", [&] { v.ZeileRunter(1); }},
        {"copy", [&] { v.ZeileKopieren(0, 1); }},
    };
    for (const auto& [name, aufruf] : faelle) {
        SCOPED_TRACE(name);
        try {
            aufruf();
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), 9);
        }
        EXPECT_EQ(v.Zeilenanzahl(), 1u);
    }
}

}  // namespace
}  // namespace zelmo
