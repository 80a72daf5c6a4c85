#include "templates/AusgabeLauf.h"

#include <gtest/gtest.h>

#include "output/TestOrdner.h"

namespace zelmo {
namespace {

using test::Lesen;
using test::TestOrdner;

// Round 1 of a Normalspringen with a jump-off; Siegerrunde explicitly not.
constexpr const char* kTelegramm = R"({
  "Ereignis": {"Status": "Start"},
  "AktUml": {"strAktUml": "1"},
  "Umlaufdaten": {"Records": [{
    "Uml1Turnierart": "Normalspringen",
    "Uml1MitStechen": true, "Uml1mit Stechen": "Stechen ja",
    "Uml1Siegerrunde": false,
    "Uml1StilspringenOderSpringpferde": "Wahr", "Uml1Stilspringen": "Stil",
    "Uml1Maechtigkeitsspringen": true,
    "Uml2Turnierart": "Zeitspringen"}]},
  "Startliste": {"Anzahl": 2, "Records": [{"Name": "A"}, {"Name": "B"}]},
  "Pruefung": {"Records": [{"Ort": "Aachen"}]}
})";

VorlageZeile Linie(std::string ereignis, std::string turnierart, std::string u1, std::string u2,
                   std::string umlauf) {
    return {std::move(ereignis),
            std::move(turnierart),
            std::move(u1),
            std::move(u2),
            std::move(umlauf),
            "",
            "07",
            "start",
            "Startliste\r\nPruefung",
            "Name\r\nOrt"};
}

Vorlage Mit(const std::vector<VorlageZeile>& zeilen) {
    Vorlage v;
    v.SetzeZeile(0, zeilen.at(0));
    for (std::size_t i = 1; i < zeilen.size(); ++i) {
        v.ZeileAnhaengen(zeilen[i]);
    }
    return v;
}

struct Daten {
    Collection Telegramm;
    Collection AktUml;
    Collection Umlaufdaten;
};

Daten Aus(const char* json) {
    const Collection t = JSONDecodieren(json);
    return {t, t.Find("AktUml"), t.Find("Umlaufdaten")};
}

AusgabeLaufErgebnis Lauf(const Vorlage& v, std::string_view text, const Daten& d,
                         AusgabeLaufZustand& zustand, const std::string& pfad = "") {
    return AusgabeLauf(v, text, d.Telegramm, d.AktUml, d.Umlaufdaten, pfad, zustand);
}

TEST(AusgabeLauf, ThreeLinesScoreAndTheBestWins) {
    const Daten d = Aus(kTelegramm);
    AusgabeLaufZustand zustand;
    Vorlage v = Mit({Linie("Start", "Alle", "", "", "Alle"),
                     Linie("Start", "Normalspringen", "", "", "Alle"),
                     Linie("Start", "Alle", "Alle", "", "Alle")});
    v.SetzeFormat(Ausgabeformat::Keins);
    AusgabeLaufErgebnis e = Lauf(v, "Start", d, zustand);
    EXPECT_EQ(e.TrefferListe, (std::vector<Treffer>{{0, 18}, {1, 18}, {2, 26}}));
    EXPECT_EQ(e.GewaehlteZeile, 2u);

    v.ZeileLoeschen(2);
    e = Lauf(v, "Start", d, zustand);
    EXPECT_EQ(e.TrefferListe, (std::vector<Treffer>{{0, 18}, {1, 18}}));
    EXPECT_EQ(e.GewaehlteZeile, 0u);
}

TEST(AusgabeLauf, ColumnTestsScoreOneLine) {
    struct Fall {
        const char* name;
        VorlageZeile zeile;
        std::uint8_t wertung;
    };
    const Fall faelle[] = {
        {"all Alle but sub-selections empty", Linie("Start", "Alle", "", "", "Alle"), 18},
        {"type of the round", Linie("Start", "Normalspringen", "", "", "1"), 18},
        {"another type fails everything", Linie("Start", "Zeitspringen", "Alle", "Alle", "Alle"),
         0},
        {"alle in lower case is no Alle", Linie("Start", "alle", "Alle", "Alle", "Alle"), 0},
        {"flag Wahr", Linie("Start", "Alle", "mit Stechen", "", "Alle"), 26},
        {"flag Falsch stops the tests", Linie("Start", "Alle", "Siegerrunde", "Alle", "Alle"), 16},
        {"flag missing stops the tests",
         Linie("Start", "Alle", "Idealzeitspringen", "Alle", "Alle"), 16},
        {"other text is neutral", Linie("Start", "Alle", "xyz", "Alle", "Alle"), 22},
        {"a second-table text in the first column is neutral",
         Linie("Start", "Alle", "Stilspringen", "", "Alle"), 18},
        {"all four", Linie("Start", "Normalspringen", "mit Stechen", "Stilspringen", "1"), 30},
        {"Springpferde tests the shared flag",
         Linie("Start", "Alle", "Alle", "Springpferde", "Alle"), 30},
        {"umlaut text and its flag",
         Linie("Start", "Alle",
               "M\xC3\xA4"
               "chtigkeitsspringen",
               "", "Alle"),
         26},
        {"another round fails", Linie("Start", "Alle", "Alle", "Alle", "2"), 28},
        {"round compared exactly", Linie("Start", "Alle", "", "Alle", "alle"), 20},
    };
    const Daten d = Aus(kTelegramm);
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        AusgabeLaufZustand zustand;
        Vorlage v = Mit({f.zeile});
        v.SetzeFormat(Ausgabeformat::Keins);
        const AusgabeLaufErgebnis e = Lauf(v, "Start", d, zustand);
        EXPECT_EQ(e.TrefferListe, (std::vector<Treffer>{{0, f.wertung}}));
        EXPECT_EQ(e.GewaehlteZeile, f.wertung == 0 ? std::nullopt : std::optional<std::size_t>(0));
        EXPECT_EQ(e.Ende, f.wertung == 0 ? LaufEnde::KeineZeileGewaehlt : LaufEnde::KeinFormat);
    }
}

TEST(AusgabeLauf, DiagnosticListsRecordFoundRowsAndPasses) {
    const Daten d = Aus(kTelegramm);
    AusgabeLaufZustand zustand;
    zustand.ListGefundenIn[5] = {"alt"};
    Vorlage v = Mit({Linie("Ziel", "Alle", "", "", "Alle"),
                     Linie("Start", "Normalspringen", "mit Stechen", "Stilspringen", "1"),
                     Linie("START", "Alle", "Idealzeitspringen", "Alle", "Alle"),
                     Linie("start", "Zeitspringen", "", "", "Alle")});
    v.SetzeFormat(Ausgabeformat::Keins);
    const AusgabeLaufErgebnis e = Lauf(v, "Start", d, zustand);
    EXPECT_EQ(e.TrefferListe, (std::vector<Treffer>{{1, 30}, {2, 16}, {3, 0}}));
    const GefundenListen erwartet = {{
        {"1", "2", "3"},
        {"Normalspringen / 1", "Normalspringen / 2"},
        {"Stechen ja / 1"},
        {"Stil / 1"},
        {"1"},
        {},
    }};
    EXPECT_EQ(zustand.ListGefundenIn, erwartet);
}

TEST(AusgabeLauf, RoundDataNotReceivedReadsAsEmptyText) {
    struct Fall {
        const char* name;
        const char* telegramm;
        VorlageZeile zeile;
        std::uint8_t wertung;
        std::vector<std::string> liste2;
    };
    const Fall faelle[] = {
        {"no round data: Alle fires",
         R"({"Ereignis": {}})",
         Linie("Start", "Alle", "", "", "Alle"),
         18,
         {}},
        {"no round data: a named type does not",
         R"({"Ereignis": {}})",
         Linie("Start", "Normalspringen", "Alle", "Alle", "Alle"),
         0,
         {}},
        {"no round data: a named flag does not",
         R"({"Ereignis": {}})",
         Linie("Start", "Alle", "mit Stechen", "Alle", "Alle"),
         16,
         {}},
        {"no round data: a named round does not",
         R"({"Ereignis": {}})",
         Linie("Start", "Alle", "Alle", "Alle", "1"),
         28,
         {"0"}},
        {"empty Records",
         R"({"AktUml": {"strAktUml": "1"}, "Umlaufdaten": {"Records": []}})",
         Linie("Start", "Alle", "Alle", "", "1"),
         26,
         {"0"}},
        {"Records not a list",
         R"({"AktUml": {"strAktUml": "1"}, "Umlaufdaten": {"Records": 5}})",
         Linie("Start", "Alle", "Alle", "", "1"),
         26,
         {"0"}},
        {"missing list key shows empty text",
         R"({"AktUml": {"strAktUml": "1"}, "Umlaufdaten": {"Records": [{"Uml1MitStechen": true}]}})",
         Linie("Start", "Alle", "mit Stechen", "", "Alle"),
         26,
         {" / 0"}},
        {"a number compares by its text",
         R"({"AktUml": {"strAktUml": 2}, "Umlaufdaten": {"Records": [{"Uml2Turnierart": "Zeitspringen"}]}})",
         Linie("Start", "Zeitspringen", "", "", "2"),
         18,
         {}},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        const Daten d = Aus(f.telegramm);
        AusgabeLaufZustand zustand;
        Vorlage v = Mit({f.zeile});
        v.SetzeFormat(Ausgabeformat::Keins);
        const AusgabeLaufErgebnis e = Lauf(v, "Start", d, zustand);
        EXPECT_EQ(e.TrefferListe, (std::vector<Treffer>{{0, f.wertung}}));
        EXPECT_EQ(zustand.ListGefundenIn[2], f.liste2);
    }
}

TEST(AusgabeLauf, StoppingRules) {
    const Daten mitTelegramm = Aus(kTelegramm);
    const Daten ohneTelegramm{};
    struct Fall {
        const char* name;
        std::string text;
        bool telegramm;
        Ausgabeformat format;
        std::vector<VorlageZeile> zeilen;
        LaufEnde ende;
        std::vector<std::string> liste0;
        std::vector<std::string> dateien;
    };
    const std::vector<VorlageZeile> eineZeile = {Linie("Start", "Alle", "", "", "Alle")};
    const Fall faelle[] = {
        {"event name empty before the first separator",
         "\x1bStart",
         true,
         Ausgabeformat::LiveText,
         {Linie("", "Alle", "", "", "Alle")},
         LaufEnde::KeineTreffer,
         {},
         {}},
        {"no line for the event",
         "Ziel",
         true,
         Ausgabeformat::LiveText,
         eineZeile,
         LaufEnde::KeineTreffer,
         {},
         {}},
        {"no telegram yet: rows listed, nothing written",
         "start\x1b"
         "1\x1b"
         "2",
         false,
         Ausgabeformat::LiveText,
         eineZeile,
         LaufEnde::KeinTelegramm,
         {"0"},
         {}},
        {"only score 0",
         "Start",
         true,
         Ausgabeformat::LiveText,
         {Linie("Start", "Zeitspringen", "", "", "Alle")},
         LaufEnde::KeineZeileGewaehlt,
         {"0"},
         {}},
        {"neither format",
         "Start",
         true,
         Ausgabeformat::Keins,
         eineZeile,
         LaufEnde::KeinFormat,
         {"0"},
         {}},
        {"LiveText",
         "Start\x1bW1\x1bW2\x1bW3\x1bW4",
         true,
         Ausgabeformat::LiveText,
         eineZeile,
         LaufEnde::Ausgegeben,
         {"0"},
         {"control.txt", "start.txt"}},
        {"CSV",
         "Start",
         true,
         Ausgabeformat::CSVNurDaten,
         eineZeile,
         LaufEnde::Ausgegeben,
         {"0"},
         {"start.csv"}},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        TestOrdner ausgabe;
        AusgabeLaufZustand zustand;
        zustand.ListGefundenIn[3] = {"alt"};
        Vorlage v = Mit(f.zeilen);
        v.SetzeFormat(f.format);
        const AusgabeLaufErgebnis e =
            Lauf(v, f.text, f.telegramm ? mitTelegramm : ohneTelegramm, zustand, ausgabe.Pfad());
        EXPECT_EQ(e.Ende, f.ende);
        ASSERT_EQ(zustand.listEreignisse.Size(), 1u);
        EXPECT_EQ(zustand.listEreignisse.Line(0), f.text);
        EXPECT_EQ(zustand.ListGefundenIn[0], f.liste0);
        EXPECT_TRUE(zustand.ListGefundenIn[3].empty() || zustand.ListGefundenIn[3][0] != "alt");
        EXPECT_EQ(ausgabe.Inhalt(), f.dateien);
        EXPECT_EQ(zustand.Ausgabe.GeschriebeneDateien.size(), f.dateien.size());
    }
}

TEST(AusgabeLauf, EmptyEventTextDoesNothingAtAll) {
    AusgabeLaufZustand zustand;
    zustand.listEreignisse.Append("alt");
    zustand.ListGefundenIn[0] = {"7"};
    zustand.Ausgabe.GeschriebeneDateien = {"x.txt"};
    const AusgabeLaufErgebnis e =
        Lauf(Mit({Linie("", "Alle", "", "", "Alle")}), "", Aus(kTelegramm), zustand);
    EXPECT_EQ(e.Ende, LaufEnde::LeererText);
    EXPECT_EQ(zustand.listEreignisse.Lines(), std::deque<std::string>{"alt"});
    EXPECT_EQ(zustand.ListGefundenIn[0], std::vector<std::string>{"7"});
    EXPECT_EQ(zustand.Ausgabe.GeschriebeneDateien, std::vector<std::string>{"x.txt"});
}

TEST(AusgabeLauf, EighthEventPushesTheOldestOut) {
    AusgabeLaufZustand zustand;
    const Vorlage v;
    for (int i = 1; i <= 8; ++i) {
        Lauf(v, "E" + std::to_string(i), Daten{}, zustand);
    }
    EXPECT_EQ(zustand.listEreignisse.Lines(),
              (std::deque<std::string>{"E2", "E3", "E4", "E5", "E6", "E7", "E8"}));
}

TEST(AusgabeLauf, WritersGetTheLineWithoutCarriageReturns) {
    const Daten d = Aus(kTelegramm);
    TestOrdner ordner;
    AusgabeLaufZustand zustand;
    Vorlage v =
        Mit({Linie("Ziel", "Alle", "", "", "Alle"), Linie("Start", "Alle", "", "", "Alle")});

    const AusgabeLaufErgebnis e = Lauf(v, "Start", d, zustand, ordner.Pfad());
    EXPECT_EQ(e.GewaehlteZeile, 1u);
    EXPECT_EQ(Lesen(ordner.Datei("start.txt")),
              "Startliste.Name_0 = A\r\nStartliste.Name_1 = B\r\nPruefung.Ort = Aachen\r\n");
    EXPECT_EQ(Lesen(ordner.Datei("control.txt")),
              "LiveText_PageNo = 07\r\nLiveText_Play = 0\r\nLiveText_Play = 1\r\n");
    EXPECT_EQ(zustand.Ausgabe.GeschriebeneDateien,
              (std::vector<std::string>{ordner.Datei("start.txt"), ordner.Datei("control.txt")}));

    v.SetzeFormat(Ausgabeformat::CSVNurDaten);
    v.SetzeTrenner(";");
    Lauf(v, "Start", d, zustand, ordner.Pfad());
    EXPECT_EQ(Lesen(ordner.Datei("start.csv")), "\"A\";\r\n\"B\";\r\n\"Aachen\"\r\n");
    EXPECT_EQ(zustand.Ausgabe.GeschriebeneDateien,
              std::vector<std::string>{ordner.Datei("start.csv")});

    Lauf(v, "Start", d, zustand, "");
    EXPECT_EQ(zustand.Ausgabe.Warnungen, "Kein Ausgabepfad angegeben!");
}

}  // namespace
}  // namespace zelmo
