#include "output/CSVWriter.h"

#include <gtest/gtest.h>

#include <optional>

#include "output/Telegramm.h"
#include "output/TestOrdner.h"

namespace zelmo {
namespace {

using test::Lesen;
using test::TestOrdner;
using Zeile = AusgabeVorschau::Zeile;

TEST(CSVWerte, QuotedValuesWithSeparatorAfterEveryLineButTheLast) {
    struct Fall {
        const char* name;
        std::string trenner;
        std::string tabellen;
        std::string felder;
        std::optional<std::string> datei;
    };
    const Fall faelle[] = {
        {"two fields of two records, separator of two characters", ";|", "Startliste", "Name,Land",
         "\"A\";|\r\n\"GER\";|\r\n\"B\";|\r\n\"\"\r\n"},
        {"a single line has no separator", ";", "Ereignis", "Status", "\"Start\"\r\n"},
        {"quotes and line breaks unchanged", ",", "Ereignis", "Zitat,Text",
         "\"say \"hi\"\",\r\n\"a\r\nb\rc\nd\"\r\n"},
        {"code page", ";", "AktReiter", "Name", "\"M\xFCller\"\r\n"},
        {"tables in order, unknown kind ends the walk", "\t",
         "Ereignis\nAktReiter\nstartliste\nReiter", "Status\nLand\nName\nN",
         "\"Start\"\t\r\n\"GER\"\r\n"},
        {"no table yields a line", ";", "Fehlt\nMannschaft", "a\nb", std::nullopt},
        {"a present table without field line ends the call", ";", "Ereignis\nAktReiter", "Status",
         std::nullopt},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        TestOrdner ordner;
        AusgabeZiel ziel;
        modCSVText::CSVWerte(test::WriterTelegramm(), ordner.Pfad(), f.trenner, "daten", f.tabellen,
                             f.felder, ziel);
        if (f.datei) {
            EXPECT_EQ(Lesen(ordner.Datei("daten.csv")), *f.datei);
            EXPECT_EQ(ordner.Inhalt(), std::vector<std::string>{"daten.csv"});
            EXPECT_EQ(ziel.GeschriebeneDateien,
                      std::vector<std::string>{ordner.Datei("daten.csv")});
        } else {
            EXPECT_TRUE(ordner.Inhalt().empty());
        }
        EXPECT_EQ(ziel.Warnungen, "");
    }
}

TEST(CSVWerte, PreviewShowsDashesForThePage) {
    TestOrdner ordner;
    AusgabeZiel ziel;
    modCSVText::CSVWerte(test::WriterTelegramm(), ordner.Pfad(), ";", "daten",
                         "Ereignis\nStartliste", "Status\nName", ziel);
    const std::vector<Zeile> erwartet = {
        {"--", "daten", "Ereignis", "Status = Start", "", "", "", ""},
        {"--", "daten", "Startliste", "", "", "", "", ""},
        {"--", "daten", "Startliste", "Name_0 = A", "", "", "", ""},
        {"--", "daten", "Startliste", "Name_1 = B", "", "", "", ""},
    };
    EXPECT_EQ(ziel.Vorschau.Zeilen(), erwartet);
}

TEST(CSVWerte, ArgumentChecksInOrder) {
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
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.warnung);
        AusgabeZiel ziel;
        ziel.Warnungen = "alt";
        modCSVText::CSVWerte(test::WriterTelegramm(), f.pfad, f.trenner, f.dateiname, f.tabellen,
                             f.felder, ziel);
        EXPECT_EQ(ziel.Warnungen, f.warnung);
        EXPECT_EQ(ziel.Vorschau.Zeilenanzahl(), 0u);
        EXPECT_TRUE(ziel.GeschriebeneDateien.empty());
    }
}

TEST(CSVWerte, UnwritableTargetIsReported) {
    TestOrdner ordner;
    AusgabeZiel ziel;
    const std::string pfad = ordner.Datei("fehlt");
    modCSVText::CSVWerte(test::WriterTelegramm(), pfad, ";", "daten", "Ereignis", "Status", ziel);
    const std::string anfang = "Datei nicht geschrieben: " + pfad + "/daten.csv - ";
    EXPECT_EQ(ziel.Warnungen.substr(0, anfang.size()), anfang);
    EXPECT_GT(ziel.Warnungen.size(), anfang.size());
    EXPECT_TRUE(ziel.GeschriebeneDateien.empty());
}

}  // namespace
}  // namespace zelmo
