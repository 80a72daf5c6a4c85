#include "output/CSVWriter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "output/Telegramm.h"

namespace zelmo {
namespace {

using test::TempFolder;
using Zeile = AusgabeVorschau::Zeile;
using Namen = std::vector<std::string>;

// The table walk is the LiveText writer's; only what CSV does differently is tested here.
TEST(CSVWerte, QuotedValuesWithSeparatorAfterEveryLineButTheLast) {
    struct Fall {
        const char* name;
        std::string trenner;
        std::string tabellen;
        std::string felder;
        std::string datei;
    };
    const Fall faelle[] = {
        {"two fields of two records, separator of two characters", ";|", "Startliste", "Name,Land",
         "\"A\";|\r\n\"GER\";|\r\n\"B\";|\r\n\"\"\r\n"},
        {"a single line has no separator", ";", "Ereignis", "Status", "\"Start\"\r\n"},
        {"quotes, line breaks and NUL unchanged", ",", "Ereignis", "Zitat,Text",
         std::string("\"say \"hi\"\",\r\n\"a\r\nb\rc\nd\0e\"\r\n", 27)},
        {"code page", ";", "AktReiter", "Name", "\"M\xFCller\"\r\n"},
        {"tables in order, unknown kind ends the walk", "\t",
         "Ereignis\nAktReiter\nstartliste\nReiter", "Status\nLand\nName\nN",
         "\"Start\"\t\r\n\"GER\"\r\n"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        const TempFolder ordner;
        AusgabeZiel ziel;
        modCSVText::CSVWerte(test::WriterTelegramm(), ordner.Path(), f.trenner, "daten", f.tabellen,
                             f.felder, ziel);
        EXPECT_EQ(ordner.Read("daten.csv"), f.datei);
        EXPECT_EQ(ordner.Entries(), Namen{"daten.csv"});
        EXPECT_EQ(ziel.GeschriebeneDateien, Namen{ordner.File("daten.csv")});
        EXPECT_EQ(ziel.Warnungen, "");
    }
}

TEST(CSVWerte, PreviewShowsDashesForThePage) {
    const TempFolder ordner;
    AusgabeZiel ziel;
    modCSVText::CSVWerte(test::WriterTelegramm(), ordner.Path(), ";", "daten",
                         "Ereignis\nStartliste", "Status\nName", ziel);
    const std::vector<Zeile> erwartet = {
        {"--", "daten", "Ereignis", "Status = Start", "", "", "", ""},
        {"--", "daten", "Startliste", "", "", "", "", ""},
        {"--", "daten", "Startliste", "Name_0 = A", "", "", "", ""},
        {"--", "daten", "Startliste", "Name_1 = B", "", "", "", ""},
    };
    EXPECT_EQ(ziel.Vorschau.Zeilen(), erwartet);
}

TEST(CSVWerte, ArgumentChecksInOrderAndUnwritableTarget) {
    struct Fall {
        std::string pfad, trenner, dateiname, tabellen, felder;
        std::string warnung;
    };
    const std::string p = "/gibt/es/nicht";
    const Fall faelle[] = {
        {"", "", "", "", "", "Kein Ausgabepfad angegeben!"},
        {p, "", "d", "Ereignis", "Status", "Kein Trennzeichen angegeben!"},
        {p, ";", "", "", "", "Kein Dateiname angegeben!"},
        {p, ";", "d", "", "", "Keine Tabellen angegeben!"},
        {p, ";", "d", "Ereignis", "", "Keine Felder angegeben!"},
        {p, ";", "../../../../tmp/y", "Ereignis", "Status",
         "Dateiname nicht zulässig: ../../../../tmp/y"},
        {p, ";", ".", "Ereignis", "Status", "Dateiname nicht zulässig: ."},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.warnung);
        AusgabeZiel ziel;
        ziel.Warnungen = "alt";
        modCSVText::CSVWerte(test::WriterTelegramm(), f.pfad, f.trenner, f.dateiname, f.tabellen,
                             f.felder, ziel);
        EXPECT_EQ(ziel.Warnungen, f.warnung);
        EXPECT_EQ(ziel.Vorschau.Zeilenanzahl(), 0u);
        EXPECT_EQ(ziel.GeschriebeneDateien, Namen{});
    }

    AusgabeZiel ziel;
    modCSVText::CSVWerte(test::WriterTelegramm(), p, ";", "daten", "Ereignis", "Status", ziel);
    const std::string anfang = "Datei nicht geschrieben: " + p + "/daten.csv - ";
    EXPECT_THAT(ziel.Warnungen, ::testing::StartsWith(anfang));
    EXPECT_GT(ziel.Warnungen.size(), anfang.size());
    EXPECT_EQ(ziel.GeschriebeneDateien, Namen{});
}

}  // namespace
}  // namespace zelmo
