#include "output/LiveTextWriter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "TempFolder.h"
#include "output/Telegramm.h"

namespace zelmo {
namespace {

using test::TempFolder;
using ::testing::StartsWith;
using Zeile = AusgabeVorschau::Zeile;
using Namen = std::vector<std::string>;

constexpr const char* kControl05 =
    "LiveText_PageNo = 05\r\nLiveText_Play = 0\r\nLiveText_Play = 1\r\n";

void Werte(const std::string& pfad, const std::string& tabellen, const std::string& felder,
           AusgabeZiel& ziel) {
    modLiveText::Werte(test::WriterTelegramm(), pfad, "05", "daten", tabellen, felder, ziel);
}

TEST(Werte, WritesDataFileControlFileAndPreview) {
    const TempFolder ordner;
    AusgabeZiel ziel;
    ziel.Warnungen = "alt";
    Werte(ordner.Path(), "Ereignis\nAktReiter\nStartliste",
          "Status,Flag,Null\nName,Land\nName,Land", ziel);
    EXPECT_EQ(ordner.Read("daten.txt"),
              "Ereignis.Status = Start\r\nEreignis.Flag = Wahr\r\nEreignis.Null = \r\n"
              "AktReiter.Name = M\xFCller\r\nAktReiter.Land = GER\r\n"
              "Startliste.Name_0 = A\r\nStartliste.Land_0 = GER\r\n"
              "Startliste.Name_1 = B\r\nStartliste.Land_1 = \r\n");
    EXPECT_EQ(ordner.Read("control.txt"), kControl05);
    EXPECT_EQ(ziel.GeschriebeneDateien,
              (Namen{ordner.File("daten.txt"), ordner.SystemFile("control.txt")}));
    EXPECT_EQ(ziel.Warnungen, "");
    const std::vector<Zeile> vorschau = {
        {"05", "daten", "Ereignis", "Status = Start", "Flag = Wahr", "Null = ", "", ""},
        {"05", "daten", "AktReiter", "Name = Müller", "Land = GER", "", "", ""},
        {"05", "daten", "Startliste", "", "", "", "", ""},
        {"05", "daten", "Startliste", "Name_0 = A", "Land_0 = GER", "", "", ""},
        {"05", "daten", "Startliste", "Name_1 = B", "Land_1 = ", "", "", ""},
    };
    EXPECT_EQ(ziel.Vorschau.Zeilen(), vorschau);
}

// Tables are walked in their order; fields are taken as named.
TEST(Werte, TableWalk) {
    struct Fall {
        const char* name;
        std::string tabellen;
        std::string felder;
        std::optional<std::string> datei;  // nothing: neither file is written
        std::size_t vorschauZeilen;
    };
    const std::string start = "Ereignis.Status = Start\r\n";
    const Fall faelle[] = {
        {"flat", "Ereignis", "Status,Zeit", start + "Ereignis.Zeit = 65.30\r\n", 1},
        {"line breaks and NUL become blanks; a list reads empty", "Ereignis", "Text,Liste",
         "Ereignis.Text = a b c d e\r\nEreignis.Liste = \r\n", 1},
        {"only six fields", "ZeitLaeuft", "a,b,c,d,e,f,g,h",
         "ZeitLaeuft.a = 1\r\nZeitLaeuft.b = 2\r\nZeitLaeuft.c = 3\r\nZeitLaeuft.d = 4\r\n"
         "ZeitLaeuft.e = 5\r\nZeitLaeuft.f = 6\r\n",
         1},
        {"field names are not trimmed", "Ereignis", "Status, Zeit", start + "Ereignis. Zeit = \r\n",
         1},
        {"letter case differs: unknown kind ends the walk", "Ereignis\nstartliste\nAktReiter",
         "Status\nName\nName", start, 2},
        {"Umlaufdaten ends the walk", "Ereignis\nUmlaufdaten\nAktReiter", "Status\nx\nName", start,
         2},
        {"absent table skipped", "Fehlt\nEreignis", "x\nStatus", start, 1},
        {"empty section skipped", "Mannschaft\nEreignis", "x\nStatus", start, 1},
        {"text section skipped", "GlobalBW\nEreignis", "x\nStatus", start, 1},
        {"trailing line break in Tabellen", "Ereignis\n", "Status", start, 1},
        {"no table yields a line", "Fehlt\nMannschaft", "x\ny", std::nullopt, 0},
        {"only sections without data", "Veranstaltung\nPruefung", "Name\nTitel", std::nullopt, 2},
        {"a present table without field line ends the call", "Ereignis\nAktReiter", "Status",
         std::nullopt, 1},
        {"an absent table needs no field line", "Ereignis\nFehlt", "Status", start, 1},
        {"empty field line names no field", "Ereignis\nAktReiter", "\nName",
         "AktReiter.Name = M\xFCller\r\n", 2},
        {"records up to the section's own entry count", "Reiter", "N",
         "Reiter.N_0 = x\r\nReiter.N_1 = y\r\n", 3},
        {"positions past the end of Records skipped", "Ergebnisliste", "Rang",
         "Ergebnisliste.Rang_0 = 1\r\nErgebnisliste.Rang_1 = 2\r\n", 3},
    };
    // The headless receiver fills no preview: the files must not change with it.
    for (const auto& f : faelle) {
        for (const bool mitVorschau : {true, false}) {
            SCOPED_TRACE(std::string(f.name) + (mitVorschau ? "" : ", without preview"));
            const TempFolder ordner;
            AusgabeZiel ziel;
            ziel.MitVorschau = mitVorschau;
            Werte(ordner.Path(), f.tabellen, f.felder, ziel);
            if (f.datei) {
                EXPECT_EQ(ordner.Read("daten.txt"), *f.datei);
                EXPECT_EQ(ordner.Read("control.txt"), kControl05);
            } else {
                EXPECT_EQ(ordner.Entries(), Namen{});
                EXPECT_EQ(ziel.GeschriebeneDateien, Namen{});
            }
            EXPECT_EQ(ziel.Warnungen, "");
            EXPECT_EQ(ziel.Vorschau.Zeilenanzahl(), mitVorschau ? f.vorschauZeilen : 0u);
        }
    }
}

TEST(Werte, PreviewKeepsTheLastSixRowsAndFiveFieldCells) {
    const Collection t = JSONDecodieren(
        R"({"Startliste": {"0": 0, "1": 0, "2": 0, "3": 0, "4": 0, "5": 0, "6": 0, "Records": [)"
        R"({"N": "n0"}, {"N": "n1"}, {"N": "n2"}, {"N": "n3"}, {"N": "n4"}, {"N": "n5"}, )"
        R"({"N": "n6"}]}})");
    const TempFolder ordner;
    AusgabeZiel ziel;
    modLiveText::Werte(t, ordner.Path(), "05", "d", "Startliste", "N", ziel);
    const std::vector<Zeile> sechs = {
        {"05", "d", "Startliste", "N_1 = n1", "", "", "", ""},
        {"05", "d", "Startliste", "N_2 = n2", "", "", "", ""},
        {"05", "d", "Startliste", "N_3 = n3", "", "", "", ""},
        {"05", "d", "Startliste", "N_4 = n4", "", "", "", ""},
        {"05", "d", "Startliste", "N_5 = n5", "", "", "", ""},
        {"05", "d", "Startliste", "N_6 = n6", "", "", "", ""},
    };
    EXPECT_EQ(ziel.Vorschau.Zeilen(), sechs);

    // Rows stay across calls; a sixth field keeps its file line but has no cell.
    Werte(ordner.Path(), "ZeitLaeuft", "a,b,c,d,e,f", ziel);
    ASSERT_EQ(ziel.Vorschau.Zeilenanzahl(), 6u);
    EXPECT_EQ(ziel.Vorschau.Zeilen()[0], sechs[1]);
    EXPECT_EQ(ziel.Vorschau.Zeilen()[5],
              (Zeile{"05", "daten", "ZeitLaeuft", "a = 1", "b = 2", "c = 3", "d = 4", "e = 5"}));
}

TEST(Werte, ArgumentChecksInOrderAndNoTelegram) {
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
        {p, "05", "../d", "Ereignis", "Status", "Dateiname nicht zulässig: ../d"},
        {p, "05", "..", "Ereignis", "Status", "Dateiname nicht zulässig: .."},
        {p, "05", "a|b", "Ereignis", "Status", "Dateiname nicht zulässig: a|b"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.warnung);
        AusgabeZiel ziel;
        ziel.Vorschau.ZeileHinzufuegen("01", "alt", "T");
        modLiveText::Werte(test::WriterTelegramm(), f.pfad, f.seite, f.dateiname, f.tabellen,
                           f.felder, ziel);
        EXPECT_EQ(ziel.Warnungen, f.warnung);
        EXPECT_EQ(ziel.Vorschau.Zeilen(), (std::vector<Zeile>{{"01", "alt", "T"}}));
        EXPECT_EQ(ziel.GeschriebeneDateien, Namen{});
    }

    const TempFolder ordner;
    AusgabeZiel ziel;
    modLiveText::Werte(Collection{}, ordner.Path(), "05", "daten", "Ereignis", "Status", ziel);
    EXPECT_EQ(ordner.Entries(), Namen{});
    EXPECT_EQ(ziel.Vorschau.Zeilenanzahl(), 0u);
}

// A data file that cannot be written stops the page control: LiveText must not play a page
// whose data is stale.
TEST(Werte, UnwritableFilesAreReportedWithTheSystemsReason) {
    const TempFolder ordner;
    ordner.Write("datei", "x");
    std::filesystem::create_directories(ordner.File("ctl/control.txt"));
    struct Fall {
        std::string pfad;
        std::string fehlt;
        bool datenGeschrieben;
    };
    const Fall faelle[] = {
        {ordner.File("fehlt"), ordner.File("fehlt") + "/daten.txt", false},
        {ordner.File("datei"), ordner.File("datei") + "/daten.txt", false},
        {ordner.File("ctl"), test::SystemJoin(ordner.File("ctl"), "control.txt"), true},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.fehlt);
        AusgabeZiel ziel;
        Werte(f.pfad, "Ereignis", "Status", ziel);
        const std::string anfang = "Datei nicht geschrieben: " + f.fehlt + " - ";
        EXPECT_THAT(ziel.Warnungen, StartsWith(anfang));
        EXPECT_GT(ziel.Warnungen.size(), anfang.size());
        EXPECT_EQ(ziel.Warnungen.rfind("Datei nicht geschrieben"), 0u);  // one warning only
        EXPECT_EQ(ziel.GeschriebeneDateien,
                  f.datenGeschrieben ? Namen{f.pfad + "/daten.txt"} : Namen{});
        EXPECT_EQ(ziel.Vorschau.Zeilenanzahl(), 1u);
    }
}

TEST(SeiteAnzeigen, ThreeLinesWithThePageAsGiven) {
    const std::pair<std::string, std::string> faelle[] = {
        {"07", "LiveText_PageNo = 07\r\nLiveText_Play = 0\r\nLiveText_Play = 1\r\n"},
        {"", "LiveText_PageNo = \r\nLiveText_Play = 0\r\nLiveText_Play = 1\r\n"},
        {" 7 ", "LiveText_PageNo =  7 \r\nLiveText_Play = 0\r\nLiveText_Play = 1\r\n"},
        {"ä", "LiveText_PageNo = \xE4\r\nLiveText_Play = 0\r\nLiveText_Play = 1\r\n"},
    };
    const TempFolder ordner;
    for (const auto& [seite, inhalt] : faelle) {
        SCOPED_TRACE(seite);
        AusgabeZiel ziel;
        modLiveText::SeiteAnzeigen(ordner.Path(), seite, ziel);
        EXPECT_EQ(ordner.Read("control.txt"), inhalt);
        EXPECT_EQ(ziel.Warnungen, "");
    }

    AusgabeZiel ziel;
    modLiveText::SeiteAnzeigen(ordner.File("fehlt"), "07", ziel);
    EXPECT_THAT(ziel.Warnungen,
                StartsWith("Datei nicht geschrieben: " +
                           test::SystemJoin(ordner.File("fehlt"), "control.txt") + " - "));
}

}  // namespace
}  // namespace zelmo
