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
        std::string tabellen, felder;
        std::optional<std::string> datei;  // nothing: neither file is written
        std::size_t vorschauZeilen;
    };
    const std::string start = "Ereignis.Status = Start\r\n";
    const Fall faelle[] = {
        {"line breaks and NUL become blanks; a list reads empty", "Ereignis", "Zeit,Text,Liste",
         "Ereignis.Zeit = 65.30\r\nEreignis.Text = a b c d e\r\nEreignis.Liste = \r\n", 1},
        {"only six fields", "ZeitLaeuft", "a,b,c,d,e,f,g",
         "ZeitLaeuft.a = 1\r\nZeitLaeuft.b = 2\r\nZeitLaeuft.c = 3\r\nZeitLaeuft.d = 4\r\n"
         "ZeitLaeuft.e = 5\r\nZeitLaeuft.f = 6\r\n",
         1},
        {"letter case differs: unknown kind ends the walk", "Ereignis\nstartliste\nAktReiter",
         "Status\nName\nName", start, 2},
        {"absent, empty and text sections skipped", "Fehlt\nMannschaft\nGlobalBW\nEreignis",
         "x\ny\nz\nStatus", start, 1},
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
            EXPECT_EQ(ordner.Entries(), (f.datei ? Namen{"control.txt", "daten.txt"} : Namen{}));
            EXPECT_EQ(ordner.Read("daten.txt"), f.datei.value_or(""));
            EXPECT_EQ(ziel.Warnungen, "");
            EXPECT_EQ(ziel.Vorschau.Zeilenanzahl(), mitVorschau ? f.vorschauZeilen : 0u);
        }
    }
}

TEST(Werte, PreviewKeepsTheLastSixRowsAndFiveFieldCells) {
    const TempFolder ordner;
    AusgabeZiel ziel;
    Werte(ordner.Path(), "Reiter\nStartliste\nZeitLaeuft", "N\nName\na,b,c,d,e,f", ziel);
    ASSERT_EQ(ziel.Vorschau.Zeilenanzahl(), 6u);
    EXPECT_EQ(ziel.Vorschau.Zeilen()[0], (Zeile{"05", "daten", "Reiter", "N_0 = x"}));
    EXPECT_EQ(ziel.Vorschau.Zeilen()[5],
              (Zeile{"05", "daten", "ZeitLaeuft", "a = 1", "b = 2", "c = 3", "d = 4", "e = 5"}));
}

TEST(Werte, ArgumentChecksInOrderAndNoTelegram) {
    struct Fall {
        std::string pfad, seite, dateiname, tabellen, felder, warnung;
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

TEST(SeiteAnzeigen, ThreeLinesWithThePageAsGivenInTheCodePage) {
    const TempFolder ordner;
    AusgabeZiel ziel;
    modLiveText::SeiteAnzeigen(ordner.Path(), " ä", ziel);
    EXPECT_EQ(ordner.Read("control.txt"),
              "LiveText_PageNo =  \xE4\r\nLiveText_Play = 0\r\nLiveText_Play = 1\r\n");
}

}  // namespace
}  // namespace zelmo
