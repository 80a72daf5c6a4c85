#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "TempFolder.h"
#include "output/CSVWriter.h"
#include "output/LiveTextWriter.h"

namespace zelmo {
namespace {

using test::TempFolder;
using ::testing::StartsWith;
using Zeile = AusgabeVorschau::Zeile;
using Namen = std::vector<std::string>;

// A telegram with every kind of section the writers meet.
const Collection& Telegramm() {
    static const Collection telegramm = JSONDecodieren(R"({
  "Ereignis": {"Status": "Start", "Zeit": 65.30, "Text": "a\r\nb\rc\nd\u0000e",
               "Null": null, "Flag": true, "Liste": [1, 2], "Zitat": "say \"hi\""},
  "ZeitLaeuft": {"a": "1", "b": "2", "c": "3", "d": "4", "e": "5", "f": "6", "g": "7"},
  "AktReiter": {"Records": [{"Name": "M\u00fcller", "Land": "GER"}]},
  "Startliste": {"0": 0, "1": 1, "Records": [{"Name": "A", "Land": "GER"}, {"Name": "B"}]},
  "Ergebnisliste": {"a": 1, "b": 2, "c": 3, "d": 4, "Records": [{"Rang": "1"}, {"Rang": "2"}]},
  "Reiter": {"a": 1, "Records": [{"N": "x"}, {"N": "y"}, {"N": "z"}]},
  "Mannschaft": {}, "startliste": {"Records": [{"Name": "klein"}]}, "GlobalBW": "text",
  "Veranstaltung": {"Records": []}, "Pruefung": {"Titel": "x"}})");
    return telegramm;
}

void Werte(const std::string& pfad, const std::string& tabellen, const std::string& felder,
           AusgabeZiel& ziel) {
    modLiveText::Werte(Telegramm(), pfad, "05", "daten", tabellen, felder, ziel);
}

// The page goes to control.txt as given, in the code page.
TEST(Werte, WritesDataFileControlFileAndPreview) {
    const TempFolder ordner;
    AusgabeZiel ziel;
    ziel.Warnungen = "alt";
    modLiveText::Werte(Telegramm(), ordner.Path(), " ä", "daten", "Ereignis\nAktReiter\nStartliste",
                       "Status,Flag,Null\nName,Land\nName,Land", ziel);
    EXPECT_EQ(ordner.Read("daten.txt"),
              "Ereignis.Status = Start\r\nEreignis.Flag = Wahr\r\nEreignis.Null = \r\n"
              "AktReiter.Name = M\xFCller\r\nAktReiter.Land = GER\r\n"
              "Startliste.Name_0 = A\r\nStartliste.Land_0 = GER\r\n"
              "Startliste.Name_1 = B\r\nStartliste.Land_1 = \r\n");
    EXPECT_EQ(ordner.Read("control.txt"),
              "LiveText_PageNo =  \xE4\r\nLiveText_Play = 0\r\nLiveText_Play = 1\r\n");
    EXPECT_EQ(ziel.GeschriebeneDateien,
              (Namen{ordner.File("daten.txt"), ordner.SystemFile("control.txt")}));
    EXPECT_EQ(ziel.Warnungen, "");
    const std::vector<Zeile> vorschau = {
        {" ä", "daten", "Ereignis", "Status = Start", "Flag = Wahr", "Null = ", "", ""},
        {" ä", "daten", "AktReiter", "Name = Müller", "Land = GER", "", "", ""},
        {" ä", "daten", "Startliste", "", "", "", "", ""},
        {" ä", "daten", "Startliste", "Name_0 = A", "Land_0 = GER", "", "", ""},
        {" ä", "daten", "Startliste", "Name_1 = B", "Land_1 = ", "", "", ""},
    };
    EXPECT_EQ(ziel.Vorschau.Zeilen(), vorschau);
}

// Tables are walked in their order; fields are taken as named.
TEST(Werte, TableWalk) {
    struct Fall {
        const char* name;
        std::string tabellen, felder;
        std::optional<std::string> datei;  // nothing: neither file is written
        std::size_t vorschauZeilen;
    };
    const std::string start = "Ereignis.Status = Start\r\n";
    const Fall faelle[] = {
        // Absent, empty and text sections are skipped, a section without its record gives a
        // table row only; line breaks and NUL become blanks, a list reads empty, an empty field
        // line names no field; six fields at most; records up to the section's own count.
        {"the rules of one walk",
         "Fehlt\nMannschaft\nGlobalBW\nVeranstaltung\nEreignis\nAktReiter\nZeitLaeuft\nReiter\n"
         "Ergebnisliste",
         "x\nx\nx\nName\nZeit,Text,Liste\n\na,b,c,d,e,f,g\nN\nRang",
         "Ereignis.Zeit = 65.30\r\nEreignis.Text = a b c d e\r\nEreignis.Liste = \r\n"
         "ZeitLaeuft.a = 1\r\nZeitLaeuft.b = 2\r\nZeitLaeuft.c = 3\r\nZeitLaeuft.d = 4\r\n"
         "ZeitLaeuft.e = 5\r\nZeitLaeuft.f = 6\r\nReiter.N_0 = x\r\nReiter.N_1 = y\r\n"
         "Ergebnisliste.Rang_0 = 1\r\nErgebnisliste.Rang_1 = 2\r\n",
         6},
        {"letter case differs: unknown kind ends the walk", "Ereignis\nstartliste\nAktReiter",
         "Status\nName\nName", start, 2},
        {"only sections without data", "Veranstaltung\nPruefung", "Name\nTitel", std::nullopt, 2},
        {"a present table without field line ends the call", "Ereignis\nAktReiter", "Status",
         std::nullopt, 1},
        {"an absent table needs no field line", "Ereignis\nFehlt", "Status", start, 1},
    };
    // The headless receiver fills no preview: the files must not change with it. The preview
    // keeps the last six rows.
    for (const auto& f : faelle) {
        for (const bool mitVorschau : {true, false}) {
            SCOPED_TRACE(std::string(f.name) + (mitVorschau ? "" : ", without preview"));
            const TempFolder ordner;
            AusgabeZiel ziel;
            ziel.MitVorschau = mitVorschau;
            Werte(ordner.Path(), f.tabellen, f.felder, ziel);
            EXPECT_EQ(ordner.Entries(), (f.datei ? Namen{"control.txt", "daten.txt"} : Namen{}));
            EXPECT_EQ(ordner.Read("daten.txt"), f.datei.value_or(""));
            EXPECT_EQ(ziel.Warnungen, "");
            EXPECT_EQ(ziel.Vorschau.Zeilenanzahl(), mitVorschau ? f.vorschauZeilen : 0u);
        }
    }
}

// The table walk is the LiveText writer's; only what CSV does differently is tested here.
TEST(CSVWerte, QuotedValuesWithSeparatorAfterEveryLineButTheLast) {
    const std::tuple<std::string, std::string, std::string, std::string> faelle[] = {
        {";|", "Startliste", "Name,Land", "\"A\";|\r\n\"GER\";|\r\n\"B\";|\r\n\"\"\r\n"},
        {";", "Ereignis", "Status", "\"Start\"\r\n"},
        {",", "Ereignis", "Zitat,Text",
         std::string("\"say \"hi\"\",\r\n\"a\r\nb\rc\nd\0e\"\r\n", 27)},
    };
    for (const auto& [trenner, tabellen, felder, datei] : faelle) {
        SCOPED_TRACE(datei);
        const TempFolder ordner;
        AusgabeZiel ziel;
        modCSVText::CSVWerte(Telegramm(), ordner.Path(), trenner, "daten", tabellen, felder, ziel);
        EXPECT_EQ(ordner.Read("daten.csv"), datei);
        EXPECT_EQ(ordner.Entries(), Namen{"daten.csv"});
        EXPECT_EQ(ziel.GeschriebeneDateien, Namen{ordner.File("daten.csv")});
        EXPECT_EQ(ziel.Vorschau.Zeilen().back()[0], "--");  // no page
    }
}

// The first missing argument is named; the file name must keep to the output folder.
TEST(Writers, ArgumentChecksInOrder) {
    struct Fall {
        bool csv;
        std::string pfad, seiteOderTrenner, dateiname, tabellen, felder, warnung;
    };
    const std::string p = "/gibt/es/nicht";
    const Fall faelle[] = {
        {false, "", "", "", "", "", "Kein Ausgabepfad angegeben!"},
        {false, p, "", "", "", "", "Keine Seitennummer angegeben!"},
        {false, p, "05", "", "", "", "Kein Dateiname angegeben!"},
        {false, p, "05", "d", "", "", "Keine Tabellen angegeben!"},
        {false, p, "05", "d", "Ereignis", "", "Keine Felder angegeben!"},
        {false, p, "05", "../d", "Ereignis", "Status", "Dateiname nicht zulässig: ../d"},
        {false, p, "05", "..", "Ereignis", "Status", "Dateiname nicht zulässig: .."},
        {true, p, "", "d", "Ereignis", "Status", "Kein Trennzeichen angegeben!"},
        {true, p, ";", ".", "Ereignis", "Status", "Dateiname nicht zulässig: ."},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.warnung);
        AusgabeZiel ziel;
        ziel.Warnungen = "alt";
        ziel.Vorschau.ZeileHinzufuegen("01", "alt", "T");
        (f.csv ? modCSVText::CSVWerte : modLiveText::Werte)(
            Telegramm(), f.pfad, f.seiteOderTrenner, f.dateiname, f.tabellen, f.felder, ziel);
        EXPECT_EQ(ziel.Warnungen, f.warnung);
        EXPECT_EQ(ziel.Vorschau.Zeilen(), (std::vector<Zeile>{{"01", "alt", "T"}}));
    }
}

// A data file that cannot be written stops the page control: LiveText must not play a page
// whose data is stale.
TEST(Werte, UnwritableFilesAreReportedWithTheSystemsReason) {
    const TempFolder ordner;
    std::filesystem::create_directories(ordner.File("ctl/control.txt"));
    const std::pair<std::string, std::string> faelle[] = {
        {ordner.File("fehlt"), ordner.File("fehlt") + "/daten.txt"},
        {ordner.File("ctl"), test::SystemJoin(ordner.File("ctl"), "control.txt")},
    };
    for (const auto& [pfad, datei] : faelle) {
        SCOPED_TRACE(datei);
        AusgabeZiel ziel;
        Werte(pfad, "Ereignis", "Status", ziel);
        const std::string anfang = "Datei nicht geschrieben: " + datei + " - ";
        EXPECT_THAT(ziel.Warnungen, StartsWith(anfang));
        EXPECT_GT(ziel.Warnungen.size(), anfang.size());
        EXPECT_EQ(ziel.Warnungen.rfind("Datei nicht geschrieben"), 0u);  // one warning only
        const bool datenGeschrieben = datei.ends_with("control.txt");
        EXPECT_EQ(ziel.GeschriebeneDateien,
                  datenGeschrieben ? Namen{pfad + "/daten.txt"} : Namen{});
    }
}

}  // namespace
}  // namespace zelmo
