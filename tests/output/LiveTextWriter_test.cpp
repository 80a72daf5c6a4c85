#include "output/LiveTextWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "output/Telegramm.h"
#include "output/TestOrdner.h"

namespace zelmo {
namespace {

using test::Lesen;
using test::TestOrdner;
using Zeile = AusgabeVorschau::Zeile;

constexpr const char* kControl05 =
    "LiveText_PageNo = 05\r\nLiveText_Play = 0\r\nLiveText_Play = 1\r\n";

TEST(Werte, WritesDataFileControlFileAndPreview) {
    TestOrdner ordner;
    AusgabeZiel ziel;
    ziel.Warnungen = "alt";
    modLiveText::Werte(test::WriterTelegramm(), ordner.Pfad(), "05", "daten",
                       "Ereignis\nAktReiter\nStartliste", "Status,Flag,Null\nName,Land\nName,Land",
                       ziel);
    EXPECT_EQ(Lesen(ordner.Datei("daten.txt")),
              "Ereignis.Status = Start\r\n"
              "Ereignis.Flag = Wahr\r\n"
              "Ereignis.Null = \r\n"
              "AktReiter.Name = M\xFCller\r\n"
              "AktReiter.Land = GER\r\n"
              "Startliste.Name_0 = A\r\n"
              "Startliste.Land_0 = GER\r\n"
              "Startliste.Name_1 = B\r\n"
              "Startliste.Land_1 = \r\n");
    EXPECT_EQ(Lesen(ordner.Datei("control.txt")), kControl05);
    EXPECT_EQ(ordner.Inhalt(), (std::vector<std::string>{"control.txt", "daten.txt"}));
    EXPECT_EQ(ziel.GeschriebeneDateien,
              (std::vector<std::string>{ordner.Datei("daten.txt"), ordner.Datei("control.txt")}));
    EXPECT_EQ(ziel.Warnungen, "");
    const std::vector<Zeile> vorschau = {
        {"05", "daten", "Ereignis", "Status = Start", "Flag = Wahr", "Null = ", "", ""},
        {"05", "daten", "AktReiter", "Name = M\xC3\xBCller", "Land = GER", "", "", ""},
        {"05", "daten", "Startliste", "", "", "", "", ""},
        {"05", "daten", "Startliste", "Name_0 = A", "Land_0 = GER", "", "", ""},
        {"05", "daten", "Startliste", "Name_1 = B", "Land_1 = ", "", "", ""},
    };
    EXPECT_EQ(ziel.Vorschau.Zeilen(), vorschau);
}

TEST(Werte, TableWalk) {
    struct Fall {
        const char* name;
        std::string tabellen;
        std::string felder;
        std::optional<std::string> datei;  // nothing: neither file is written
        std::size_t vorschauZeilen;
    };
    const Fall faelle[] = {
        {"flat", "Ereignis", "Status,Zeit", "Ereignis.Status = Start\r\nEreignis.Zeit = 65.30\r\n",
         1},
        {"line breaks become blanks; a list reads empty", "Ereignis", "Text,Liste",
         "Ereignis.Text = a b c d\r\nEreignis.Liste = \r\n", 1},
        {"only six fields", "ZeitLaeuft", "a,b,c,d,e,f,g,h",
         "ZeitLaeuft.a = 1\r\nZeitLaeuft.b = 2\r\nZeitLaeuft.c = 3\r\nZeitLaeuft.d = 4\r\n"
         "ZeitLaeuft.e = 5\r\nZeitLaeuft.f = 6\r\n",
         1},
        {"field names are not trimmed", "Ereignis", "Status, Zeit",
         "Ereignis.Status = Start\r\nEreignis. Zeit = \r\n", 1},
        {"letter case differs: unknown kind ends the walk", "Ereignis\nstartliste\nAktReiter",
         "Status\nName\nName", "Ereignis.Status = Start\r\n", 2},
        {"Umlaufdaten ends the walk", "Ereignis\nUmlaufdaten\nAktReiter", "Status\nx\nName",
         "Ereignis.Status = Start\r\n", 2},
        {"absent table skipped", "Fehlt\nEreignis", "x\nStatus", "Ereignis.Status = Start\r\n", 1},
        {"empty section skipped", "Mannschaft\nEreignis", "x\nStatus",
         "Ereignis.Status = Start\r\n", 1},
        {"text section skipped", "GlobalBW\nEreignis", "x\nStatus", "Ereignis.Status = Start\r\n",
         1},
        {"trailing line break in Tabellen", "Ereignis\n", "Status", "Ereignis.Status = Start\r\n",
         1},
        {"no table yields a line", "Fehlt\nMannschaft", "x\ny", std::nullopt, 0},
        {"only sections without data", "Veranstaltung\nPruefung", "Name\nTitel", std::nullopt, 2},
        {"a present table without field line ends the call", "Ereignis\nAktReiter", "Status",
         std::nullopt, 1},
        {"an absent table needs no field line", "Ereignis\nFehlt", "Status",
         "Ereignis.Status = Start\r\n", 1},
        {"empty field line names no field", "Ereignis\nAktReiter", "\nName",
         "AktReiter.Name = M\xFCller\r\n", 2},
        {"records up to the section's own entry count", "Reiter", "N",
         "Reiter.N_0 = x\r\nReiter.N_1 = y\r\n", 3},
        {"positions past the end of Records skipped", "Ergebnisliste", "Rang",
         "Ergebnisliste.Rang_0 = 1\r\nErgebnisliste.Rang_1 = 2\r\n", 3},
        {"single record without a record", "Veranstaltung\nEreignis", "Name\nStatus",
         "Ereignis.Status = Start\r\n", 2},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        TestOrdner ordner;
        AusgabeZiel ziel;
        modLiveText::Werte(test::WriterTelegramm(), ordner.Pfad(), "05", "daten", f.tabellen,
                           f.felder, ziel);
        if (f.datei) {
            EXPECT_EQ(Lesen(ordner.Datei("daten.txt")), *f.datei);
            EXPECT_EQ(Lesen(ordner.Datei("control.txt")), kControl05);
        } else {
            EXPECT_TRUE(ordner.Inhalt().empty());
            EXPECT_TRUE(ziel.GeschriebeneDateien.empty());
        }
        EXPECT_EQ(ziel.Warnungen, "");
        EXPECT_EQ(ziel.Vorschau.Zeilenanzahl(), f.vorschauZeilen);
    }
}

TEST(Werte, SixthFieldKeepsItsLineButNotItsCell) {
    TestOrdner ordner;
    AusgabeZiel ziel;
    modLiveText::Werte(test::WriterTelegramm(), ordner.Pfad(), "05", "daten", "ZeitLaeuft",
                       "a,b,c,d,e,f", ziel);
    const std::vector<Zeile> erwartet = {
        {"05", "daten", "ZeitLaeuft", "a = 1", "b = 2", "c = 3", "d = 4", "e = 5"}};
    EXPECT_EQ(ziel.Vorschau.Zeilen(), erwartet);
}

TEST(Werte, ArgumentChecksInOrder) {
    struct Fall {
        std::string pfad, seite, dateiname, tabellen, felder;
        std::string warnung;
    };
    const std::string p = "/gibt/es/nicht";
    const Fall faelle[] = {
        {"", "", "", "", "", "Kein Ausgabepfad angegeben!"},
        {p, "", "", "", "", "Keine Seitennummer angegeben!"},
        {p, "05", "", "", "", "Kein Dateiname angegeben!"},
        {p, "05", "d", "", "", "Keine Tabellen angegeben!"},
        {p, "05", "d", "Ereignis", "", "Keine Felder angegeben!"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.warnung);
        AusgabeZiel ziel;
        ziel.Vorschau.ZeileHinzufuegen("01", "alt", "T");
        modLiveText::Werte(test::WriterTelegramm(), f.pfad, f.seite, f.dateiname, f.tabellen,
                           f.felder, ziel);
        EXPECT_EQ(ziel.Warnungen, f.warnung);
        EXPECT_EQ(ziel.Vorschau.Zeilen(), (std::vector<Zeile>{{"01", "alt", "T"}}));
        EXPECT_TRUE(ziel.GeschriebeneDateien.empty());
    }
}

TEST(Werte, NoTelegramWritesNothing) {
    TestOrdner ordner;
    AusgabeZiel ziel;
    modLiveText::Werte(Collection{}, ordner.Pfad(), "05", "daten", "Ereignis", "Status", ziel);
    EXPECT_TRUE(ordner.Inhalt().empty());
    EXPECT_EQ(ziel.Vorschau.Zeilenanzahl(), 0u);
}

TEST(Werte, PreviewKeepsTheLastSixRows) {
    const Collection t = JSONDecodieren(
        R"({"Startliste": {"0": 0, "1": 0, "2": 0, "3": 0, "4": 0, "5": 0, "6": 0, "Records": [)"
        R"({"N": "n0"}, {"N": "n1"}, {"N": "n2"}, {"N": "n3"}, {"N": "n4"}, {"N": "n5"}, )"
        R"({"N": "n6"}]}})");
    TestOrdner ordner;
    AusgabeZiel ziel;
    modLiveText::Werte(t, ordner.Pfad(), "05", "d", "Startliste", "N", ziel);
    std::vector<Zeile> erwartet;
    for (int j = 1; j <= 6; ++j) {
        const std::string s = std::to_string(j);
        erwartet.push_back({"05", "d", "Startliste", "N_" + s + " = n" + s, "", "", "", ""});
    }
    EXPECT_EQ(ziel.Vorschau.Zeilen(), erwartet);
    // Rows stay across calls.
    modLiveText::Werte(test::WriterTelegramm(), ordner.Pfad(), "05", "d", "Ereignis", "Status",
                       ziel);
    ASSERT_EQ(ziel.Vorschau.Zeilenanzahl(), 6u);
    EXPECT_EQ(ziel.Vorschau.Zeilen()[0][3], "N_2 = n2");
    EXPECT_EQ(ziel.Vorschau.Zeilen()[5][2], "Ereignis");
}

TEST(Werte, UnwritableTargetIsReportedAndStopsThePageControl) {
    TestOrdner ordner;
    test::Schreiben(ordner.Datei("datei"), "x");
    const std::string faelle[] = {ordner.Datei("fehlt"), ordner.Datei("datei")};
    for (const auto& pfad : faelle) {
        SCOPED_TRACE(pfad);
        AusgabeZiel ziel;
        modLiveText::Werte(test::WriterTelegramm(), pfad, "05", "daten", "Ereignis", "Status",
                           ziel);
        const std::string anfang = "Datei nicht geschrieben: " + pfad + "/daten.txt - ";
        EXPECT_EQ(ziel.Warnungen.substr(0, anfang.size()), anfang);
        EXPECT_GT(ziel.Warnungen.size(), anfang.size());
        EXPECT_EQ(ziel.Warnungen.find("control.txt"), std::string::npos);
        EXPECT_TRUE(ziel.GeschriebeneDateien.empty());
        EXPECT_EQ(ziel.Vorschau.Zeilenanzahl(), 1u);
    }
}

TEST(Werte, UnwritableControlFileIsReported) {
    TestOrdner ordner;
    std::filesystem::create_directory(ordner.Datei("control.txt"));
    AusgabeZiel ziel;
    modLiveText::Werte(test::WriterTelegramm(), ordner.Pfad(), "05", "daten", "Ereignis", "Status",
                       ziel);
    EXPECT_EQ(Lesen(ordner.Datei("daten.txt")), "Ereignis.Status = Start\r\n");
    const std::string anfang = "Datei nicht geschrieben: " + ordner.Datei("control.txt") + " - ";
    EXPECT_EQ(ziel.Warnungen.substr(0, anfang.size()), anfang);
    EXPECT_EQ(ziel.GeschriebeneDateien, std::vector<std::string>{ordner.Datei("daten.txt")});
}

TEST(SeiteAnzeigen, ThreeLinesWithThePageAsGiven) {
    const std::pair<std::string, std::string> faelle[] = {
        {"07", "LiveText_PageNo = 07\r\nLiveText_Play = 0\r\nLiveText_Play = 1\r\n"},
        {"", "LiveText_PageNo = \r\nLiveText_Play = 0\r\nLiveText_Play = 1\r\n"},
        {" 7 ", "LiveText_PageNo =  7 \r\nLiveText_Play = 0\r\nLiveText_Play = 1\r\n"},
        {"\xC3\xA4", "LiveText_PageNo = \xE4\r\nLiveText_Play = 0\r\nLiveText_Play = 1\r\n"},
    };
    TestOrdner ordner;
    for (const auto& [seite, inhalt] : faelle) {
        SCOPED_TRACE(seite);
        AusgabeZiel ziel;
        modLiveText::SeiteAnzeigen(ordner.Pfad(), seite, ziel);
        EXPECT_EQ(Lesen(ordner.Datei("control.txt")), inhalt);
        EXPECT_EQ(ziel.Warnungen, "");
    }
}

TEST(SeiteAnzeigen, MissingFolderIsAWarning) {
    TestOrdner ordner;
    AusgabeZiel ziel;
    modLiveText::SeiteAnzeigen(ordner.Datei("fehlt"), "07", ziel);
    const std::string anfang =
        "Datei nicht geschrieben: " + ordner.Datei("fehlt") + "/control.txt - ";
    EXPECT_EQ(ziel.Warnungen.substr(0, anfang.size()), anfang);
    EXPECT_TRUE(ordner.Inhalt().empty());
}

}  // namespace
}  // namespace zelmo
