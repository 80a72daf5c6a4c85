#include "templates/Vorlage.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "component/Error.h"

namespace zelmo {
namespace {

// A line whose every cell names the line and its column, Tabelle and Feld multi-line.
VorlageZeile Zeile(const std::string& name) {
    VorlageZeile z;
    for (std::size_t c = 0; c < kSpaltenAnzahl; ++c) {
        z[c] = name + std::to_string(c);
    }
    z[8] = name + "T1\r\n" + name + "T2";
    z[9] = name + "f1," + name + "f2\r\n" + name + "f3";
    return z;
}

Vorlage Mit(const std::vector<std::string>& namen) {
    Vorlage v;
    v.SetzeZeile(0, namen.empty() ? VorlageZeile{} : Zeile(namen[0]));
    for (std::size_t i = 1; i < namen.size(); ++i) {
        v.ZeileAnhaengen(Zeile(namen[i]));
    }
    return v;
}

TEST(Vorlage, StartsWithOneEmptyLineLiveTextAndComma) {
    const Vorlage v;
    EXPECT_EQ(v.Zeilenanzahl(), 1u);
    EXPECT_EQ(v.Zeile(0), VorlageZeile{});
    EXPECT_EQ(v.Format(), Ausgabeformat::LiveText);
    EXPECT_EQ(v.Trenner(), ",");
    EXPECT_EQ(kSpaltenNamen[SpaltenIndex(Spalte::Feld)], "Feld");
}

TEST(Vorlage, RowCommandsGiveTheirRowsAndCurrentCell) {
    using Befehl = std::function<std::optional<ZellPosition>(Vorlage&)>;
    struct Fall {
        const char* name;
        std::vector<std::string> vorher;
        Befehl befehl;
        std::vector<std::string> nachher;  // "" = an empty line
        std::optional<ZellPosition> aktuell;
    };
    const Fall faelle[] = {
        {"duplicate last line",
         {"A", "B", "C"},
         [](Vorlage& v) { return v.ZeileDuplizieren(2); },
         {"A", "B", "C", "C"},
         ZellPosition{3, 0}},
        {"duplicate first line",
         {"A", "B"},
         [](Vorlage& v) { return v.ZeileDuplizieren(0); },
         {"A", "A", "B"},
         ZellPosition{1, 0}},
        {"delete row 0 of two",
         {"A", "B"},
         [](Vorlage& v) { return v.ZeileLoeschen(0); },
         {"B"},
         ZellPosition{0, 0}},
        {"delete only row empties it",
         {"A"},
         [](Vorlage& v) { return v.ZeileLoeschen(0); },
         {""},
         ZellPosition{0, 0}},
        {"delete middle row",
         {"A", "B", "C"},
         [](Vorlage& v) { return v.ZeileLoeschen(1); },
         {"A", "C"},
         ZellPosition{1, 0}},
        {"delete last row moves up",
         {"A", "B", "C"},
         [](Vorlage& v) { return v.ZeileLoeschen(2); },
         {"A", "B"},
         ZellPosition{1, 0}},
        {"up on row 0 does nothing",
         {"A", "B"},
         [](Vorlage& v) { return v.ZeileHoch(0); },
         {"A", "B"},
         std::nullopt},
        {"up on row 1",
         {"A", "B", "C"},
         [](Vorlage& v) { return v.ZeileHoch(1); },
         {"B", "A", "C"},
         ZellPosition{0, 0}},
        {"up on last row",
         {"A", "B", "C"},
         [](Vorlage& v) { return v.ZeileHoch(2); },
         {"A", "C", "B"},
         ZellPosition{1, 0}},
        {"down on last row does nothing",
         {"A", "B"},
         [](Vorlage& v) { return v.ZeileRunter(1); },
         {"A", "B"},
         std::nullopt},
        {"down on only row does nothing",
         {"A"},
         [](Vorlage& v) { return v.ZeileRunter(0); },
         {"A"},
         std::nullopt},
        {"down on row 0",
         {"A", "B", "C"},
         [](Vorlage& v) { return v.ZeileRunter(0); },
         {"B", "A", "C"},
         ZellPosition{1, 0}},
        {"down on row 1",
         {"A", "B", "C"},
         [](Vorlage& v) { return v.ZeileRunter(1); },
         {"A", "C", "B"},
         ZellPosition{2, 0}},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        Vorlage v = Mit(f.vorher);
        v.SetzeFormat(Ausgabeformat::CSVNurDaten);
        v.SetzeTrenner(";");
        const auto aktuell = f.befehl(v);
        ASSERT_EQ(v.Zeilenanzahl(), f.nachher.size());
        for (std::size_t r = 0; r < f.nachher.size(); ++r) {
            SCOPED_TRACE(r);
            EXPECT_EQ(v.Zeile(r), f.nachher[r].empty() ? VorlageZeile{} : Zeile(f.nachher[r]));
        }
        EXPECT_EQ(aktuell, f.aktuell);
        EXPECT_EQ(v.Format(), Ausgabeformat::CSVNurDaten);
        EXPECT_EQ(v.Trenner(), ";");
    }
}

TEST(Vorlage, CopyTakesEveryColumn) {
    Vorlage v = Mit({"A", "B"});
    v.ZeileKopieren(1, 0);
    EXPECT_EQ(v.Zeile(0), Zeile("B"));
    EXPECT_EQ(v.Zeile(1), Zeile("B"));
}

TEST(Vorlage, GridPrimitivesKeepAtLeastOneRow) {
    Vorlage v = Mit({"A", "B"});
    v.ZeileEinfuegen(2, Zeile("C"));
    v.ZeileEinfuegen(0);
    ASSERT_EQ(v.Zeilenanzahl(), 4u);
    EXPECT_EQ(v.Zeile(0), VorlageZeile{});
    EXPECT_EQ(v.Zeile(3), Zeile("C"));
    v.ZeileEntfernen(0);
    v.ZeileEntfernen(0);
    v.ZeileEntfernen(0);
    ASSERT_EQ(v.Zeilenanzahl(), 1u);
    EXPECT_EQ(v.Zeile(0), Zeile("C"));
    v.ZeileEntfernen(0);
    ASSERT_EQ(v.Zeilenanzahl(), 1u);
    EXPECT_EQ(v.Zeile(0), VorlageZeile{});
}

TEST(Vorlage, AddressesOutsideTheGridAreSubscriptErrors) {
    Vorlage v;
    const std::vector<std::pair<const char*, std::function<void()>>> faelle = {
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
