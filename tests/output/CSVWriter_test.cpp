#include "output/CSVWriter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "output/Telegramm.h"

namespace zelmo {
namespace {

using test::TempFolder;
using Namen = std::vector<std::string>;

// The table walk is the LiveText writer's; only what CSV does differently is tested here.
TEST(CSVWerte, QuotedValuesWithSeparatorAfterEveryLineButTheLast) {
    struct Fall {
        std::string trenner, tabellen, felder, datei;
    };
    const Fall faelle[] = {
        {";|", "Startliste", "Name,Land", "\"A\";|\r\n\"GER\";|\r\n\"B\";|\r\n\"\"\r\n"},
        {";", "Ereignis", "Status", "\"Start\"\r\n"},
        {",", "Ereignis", "Zitat,Text",
         std::string("\"say \"hi\"\",\r\n\"a\r\nb\rc\nd\0e\"\r\n", 27)},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.datei);
        const TempFolder ordner;
        AusgabeZiel ziel;
        modCSVText::CSVWerte(test::WriterTelegramm(), ordner.Path(), f.trenner, "daten", f.tabellen,
                             f.felder, ziel);
        EXPECT_EQ(ordner.Read("daten.csv"), f.datei);
        EXPECT_EQ(ordner.Entries(), Namen{"daten.csv"});
        EXPECT_EQ(ziel.GeschriebeneDateien, Namen{ordner.File("daten.csv")});
        EXPECT_EQ(ziel.Vorschau.Zeilen().back()[0], "--");  // no page
    }
}

TEST(CSVWerte, ArgumentChecksInOrderAndUnwritableTarget) {
    struct Fall {
        std::string pfad, trenner, dateiname, warnung;
    };
    const std::string p = "/gibt/es/nicht";
    const Fall faelle[] = {
        {"", "", "", "Kein Ausgabepfad angegeben!"},
        {p, "", "d", "Kein Trennzeichen angegeben!"},
        {p, ";", "", "Kein Dateiname angegeben!"},
        {p, ";", ".", "Dateiname nicht zulässig: ."},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.warnung);
        AusgabeZiel ziel;
        ziel.Warnungen = "alt";
        modCSVText::CSVWerte(test::WriterTelegramm(), f.pfad, f.trenner, f.dateiname, "Ereignis",
                             "Status", ziel);
        EXPECT_EQ(ziel.Warnungen, f.warnung);
        EXPECT_EQ(ziel.Vorschau.Zeilenanzahl(), 0u);
    }
    AusgabeZiel ziel;
    modCSVText::CSVWerte(test::WriterTelegramm(), p, ";", "daten", "Ereignis", "Status", ziel);
    EXPECT_THAT(ziel.Warnungen,
                ::testing::StartsWith("Datei nicht geschrieben: " + p + "/daten.csv - "));
    EXPECT_EQ(ziel.GeschriebeneDateien, Namen{});
}

}  // namespace
}  // namespace zelmo
