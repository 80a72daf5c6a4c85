#include "templates/VorlageDatei.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "component/Error.h"
#include "output/TestOrdner.h"

namespace zelmo {
namespace {

using test::Lesen;
using test::Schreiben;
using test::TestOrdner;

constexpr const char* kBeispiel =
    R"({"Vorlage" : {"Zeilen" :[{"Ereignis": "E1", "Turnierart": "Alle", "Unterauswahl1": "Alle", )"
    R"("Unterauswahl2": "Alle", "Umlauf": "Alle", "Reserve": "", "Seite": "01", "Dateiname": )"
    R"("datei", "Tabelle": "T1*T2", "Feld": "f1,f2*f3"} ]} ,"Ausgabeformat" : [{"Type": )"
    R"("OptCSVNurDaten","Trenner" : ";"}]})";

Vorlage Beispiel() {
    Vorlage v;
    v.SetzeZeile(
        0, {"E1", "Alle", "Alle", "Alle", "Alle", "", "01", "datei", "T1\r\nT2", "f1,f2\r\nf3"});
    v.SetzeFormat(Ausgabeformat::CSVNurDaten);
    v.SetzeTrenner(";");
    return v;
}

TEST(VorlageAlsJSON, OneLineExample) {
    EXPECT_EQ(VorlageAlsJSON(Beispiel()), kBeispiel);
}

TEST(VorlageAlsJSON, Layouts) {
    struct Fall {
        const char* name;
        Vorlage vorlage;
        std::string erwartet;
    };
    Vorlage zwei;
    zwei.SetzeZelle(0, Spalte::Ereignis, "A");
    zwei.ZeileAnhaengen({"B", "", "", "", "", "", "", "", "", ""});
    zwei.SetzeFormat(Ausgabeformat::Keins);  // neither option is written as LiveText
    Vorlage zeichen;
    zeichen.SetzeZeile(
        0, {"a\"b", "c\\d", "tab\there", "\x01", "x\r\ny", "", "", "", "q\"\r\n\\", "\n"});
    const Fall faelle[] = {
        {"untouched line", Vorlage{},
         R"({"Vorlage" : {"Zeilen" :[{"Ereignis": "", "Turnierart": "", "Unterauswahl1": "", )"
         R"("Unterauswahl2": "", "Umlauf": "", "Reserve": "", "Seite": "", "Dateiname": "", )"
         R"("Tabelle": "", "Feld": ""} ]} ,"Ausgabeformat" : [{"Type": "OptLiveText","Trenner" )"
         R"(: ","}]})"},
        {"two lines, neither option", zwei,
         R"({"Vorlage" : {"Zeilen" :[{"Ereignis": "A", "Turnierart": "", "Unterauswahl1": "", )"
         R"("Unterauswahl2": "", "Umlauf": "", "Reserve": "", "Seite": "", "Dateiname": "", )"
         R"("Tabelle": "", "Feld": ""}, {"Ereignis": "B", "Turnierart": "", "Unterauswahl1": "", )"
         R"("Unterauswahl2": "", "Umlauf": "", "Reserve": "", "Seite": "", "Dateiname": "", )"
         R"("Tabelle": "", "Feld": ""} ]} ,"Ausgabeformat" : [{"Type": "OptLiveText","Trenner" )"
         R"(: ","}]})"},
        {"escapes; CR dropped and LF as * in Tabelle and Feld only", zeichen,
         R"({"Vorlage" : {"Zeilen" :[{"Ereignis": "a\"b", "Turnierart": "c\\d", )"
         R"("Unterauswahl1": "tab\there", "Unterauswahl2": "\u0001", "Umlauf": "x\r\ny", )"
         R"("Reserve": "", "Seite": "", "Dateiname": "", "Tabelle": "q\"*\\", "Feld": "*"} ]} )"
         R"(,"Ausgabeformat" : [{"Type": "OptLiveText","Trenner" : ","}]})"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        EXPECT_EQ(VorlageAlsJSON(f.vorlage), f.erwartet);
    }
}

TEST(VorlageSpeichern, WritesCodePageTextWithCrLfAndReplaces) {
    TestOrdner ordner;
    const std::string datei = ordner.Datei("LiveText.json");
    Schreiben(datei, std::string(5000, 'x'));
    Vorlage v;
    v.SetzeZelle(0, Spalte::Dateiname, "M\xC3\xBCller");
    VorlageSpeichern(datei, v);
    EXPECT_EQ(Lesen(datei),
              "{\"Vorlage\" : {\"Zeilen\" :[{\"Ereignis\": \"\", \"Turnierart\": \"\", "
              "\"Unterauswahl1\": \"\", \"Unterauswahl2\": \"\", \"Umlauf\": \"\", "
              "\"Reserve\": \"\", \"Seite\": \"\", \"Dateiname\": \"M\xFCller\", "
              "\"Tabelle\": \"\", \"Feld\": \"\"} ]} ,\"Ausgabeformat\" : [{\"Type\": "
              "\"OptLiveText\",\"Trenner\" : \",\"}]}\r\n");
}

TEST(VorlageSpeichern, FailureNamesTheFile) {
    TestOrdner ordner;
    const std::string datei = ordner.Datei("fehlt/LiveText.json");
    try {
        VorlageSpeichern(datei, Vorlage{});
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(datei), std::string::npos) << e.what();
    }
}

TEST(VorlageEinlesen, RoundTripsEveryColumnTypeAndSeparator) {
    Vorlage v;
    v.SetzeZeile(0, {"Start", "Normalspringen", "mit Stechen", "Stilspringen", "2", "", "07",
                     "start\xC3\xA4", "Startliste\r\nPruefung\r\nAktReiter",
                     "Name,Land\r\nName\r\nPferd, Reiter"});
    v.ZeileAnhaengen({"Ziel", "Alle", "", "", "Alle", "", "99", "ziel", "AktReiter", "Zeit"});
    v.ZeileAnhaengen(VorlageZeile{});
    struct Fall {
        Ausgabeformat format;
        std::string trenner;
        Ausgabeformat gelesen;
    };
    const Fall faelle[] = {
        {Ausgabeformat::CSVNurDaten, ";;", Ausgabeformat::CSVNurDaten},
        {Ausgabeformat::LiveText, "\t", Ausgabeformat::LiveText},
        {Ausgabeformat::Keins, "|", Ausgabeformat::LiveText},
    };
    TestOrdner ordner;
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.trenner);
        v.SetzeFormat(f.format);
        v.SetzeTrenner(f.trenner);
        VorlageSpeichern(ordner.Datei("t.json"), v);
        const EinleseErgebnis e = VorlageEinlesen(ordner.Datei("t.json"));
        ASSERT_EQ(e.Status, EinleseStatus::Eingelesen) << e.Meldung;
        EXPECT_EQ(e.Meldung, "");
        EXPECT_EQ(e.Vorlage.Zeilen(), v.Zeilen());
        EXPECT_EQ(e.Vorlage.Format(), f.gelesen);
        EXPECT_EQ(e.Vorlage.Trenner(), f.trenner);
    }
}

TEST(VorlageEinlesen, StarInTableNameBecomesLineBreak) {
    Vorlage v;
    v.SetzeZelle(0, Spalte::Tabelle, "A*B");
    const EinleseErgebnis e = VorlageAusText(VorlageAlsJSON(v));
    ASSERT_TRUE(e.Erfolgreich());
    EXPECT_EQ(e.Vorlage.Zelle(0, Spalte::Tabelle), "A\r\nB");
}

std::string Zeile(const std::string& ereignis) {
    return R"({"Ereignis": ")" + ereignis +
           R"(", "Turnierart": "Alle", "Unterauswahl1": "", "Unterauswahl2": "", )"
           R"("Umlauf": "1", "Reserve": "", "Seite": "05", "Dateiname": "d", )"
           R"("Tabelle": "A*B", "Feld": "x*y,z"})";
}

TEST(VorlageEinlesen, OutcomesAndReadingRules) {
    struct Fall {
        const char* name;
        std::string bytes;
        EinleseStatus status;
        std::string meldung;
        std::vector<VorlageZeile> zeilen;  // checked for Eingelesen
        Ausgabeformat format = Ausgabeformat::LiveText;
        std::string trenner = ",";
    };
    const VorlageZeile e1 = {"E1", "Alle", "", "", "1", "", "05", "d", "A\r\nB", "x\r\ny,z"};
    const VorlageZeile e2 = {"E2", "Alle", "", "", "1", "", "05", "d", "A\r\nB", "x\r\ny,z"};
    const std::string fehler = "JSON Auswertefehler";
    const Fall faelle[] = {
        {"not JSON", "{\"Vorlage\" : ", EinleseStatus::JSONAuswertefehler, fehler, {}},
        {"empty file", "", EinleseStatus::JSONAuswertefehler, fehler, {}},
        {"no Vorlage",
         R"({"Zeilen": []})",
         EinleseStatus::KeyVorlageFehlt,
         "Keine LiveText Datei!\r\nKey Vorlage fehlt!",
         {}},
        {"top level is a list",
         R"([1, 2])",
         EinleseStatus::KeyVorlageFehlt,
         "Keine LiveText Datei!\r\nKey Vorlage fehlt!",
         {}},
        {"no Zeilen",
         R"({"Vorlage": {"Ausgabe": 1}})",
         EinleseStatus::KeineAusgabezeilen,
         "Keine Ausgabezeilen vorhanden!",
         {}},
        {"empty Zeilen",
         R"({"Vorlage": {"Zeilen": []}, "Ausgabeformat": [{"Type": "OptCSVNurDaten", "Trenner": ";"}]})",
         EinleseStatus::ZeilenLeer,
         "",
         {}},
        {"two lines, no Ausgabeformat",
         R"({"Vorlage": {"Zeilen": [)" + Zeile("E1") + "," + Zeile("E2") + "]}}",
         EinleseStatus::Eingelesen,
         "",
         {e1, e2}},
        {"unknown type, empty separator",
         R"({"Vorlage": {"Zeilen": [)" + Zeile("E1") +
             R"(]}, "Ausgabeformat": [{"Type": "OptHTML", "Trenner": ""}]})",
         EinleseStatus::Eingelesen,
         "",
         {e1}},
        {"CSV type",
         R"({"Vorlage": {"Zeilen": [)" + Zeile("E1") +
             R"(]}, "Ausgabeformat": [{"Type": "OptCSVNurDaten", "Trenner": "; "}]})",
         EinleseStatus::Eingelesen,
         "",
         {e1},
         Ausgabeformat::CSVNurDaten,
         "; "},
        {"members in another order are read by name",
         R"({"Vorlage": {"Zeilen": [{"Feld": "x*y,z", "Tabelle": "A*B", "Dateiname": "d", )"
         R"("Seite": "05", "Reserve": "", "Umlauf": "1", "Unterauswahl2": "", )"
         R"("Unterauswahl1": "", "Turnierart": "Alle", "Ereignis": "E1", "Extra": "?"}]}})",
         EinleseStatus::Eingelesen,
         "",
         {e1}},
        {"without all ten names by position; members past the tenth ignored",
         R"({"Vorlage": {"Zeilen": [{"a": "E1", "b": "Alle", "c": "", "d": "", "e": "1", )"
         R"("f": "", "g": "05", "h": "d", "i": "A*B", "Feld": "x*y,z", "k": "extra"}]}})",
         EinleseStatus::Eingelesen,
         "",
         {e1}},
        {"a line as a list is read by position",
         R"({"Vorlage": {"Zeilen": [["E1", "Alle", "", "", 1, null, "05", "d", "A*B", "x*y,z"]]}})",
         EinleseStatus::Eingelesen,
         "",
         {e1}},
        {"nine members",
         R"({"Vorlage": {"Zeilen": [["E1", "Alle", "", "", 1, null, "05", "d", "A*B"]]}})",
         EinleseStatus::JSONAuswertefehler,
         fehler,
         {}},
        {"second line broken",
         R"({"Vorlage": {"Zeilen": [)" + Zeile("E1") + R"(, {"Ereignis": "E2"}]}})",
         EinleseStatus::JSONAuswertefehler,
         fehler,
         {}},
        {"a value that is a list",
         R"({"Vorlage": {"Zeilen": [["E1", [], "", "", 1, null, "05", "d", "A*B", "x"]]}})",
         EinleseStatus::JSONAuswertefehler,
         fehler,
         {}},
        {"Ausgabeformat without Trenner",
         R"({"Vorlage": {"Zeilen": [)" + Zeile("E1") +
             R"(]}, "Ausgabeformat": [{"Type": "OptCSVNurDaten"}]})",
         EinleseStatus::JSONAuswertefehler,
         fehler,
         {}},
        {"Ausgabeformat empty",
         R"({"Vorlage": {"Zeilen": [)" + Zeile("E1") + R"(]}, "Ausgabeformat": []})",
         EinleseStatus::JSONAuswertefehler,
         fehler,
         {}},
        {"code page bytes are decoded",
         "{\"Vorlage\": {\"Zeilen\": [[\"M\xE4rz\", \"\", \"\", \"\", \"\", \"\", \"\", "
         "\"\xDF\", \"\", \"\"]]}}",
         EinleseStatus::Eingelesen,
         "",
         {{"M\xC3\xA4rz", "", "", "", "", "", "", "\xC3\x9F", "", ""}}},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        const EinleseErgebnis e = VorlageAusBytes(f.bytes);
        EXPECT_EQ(e.Status, f.status);
        EXPECT_EQ(e.Meldung, f.meldung);
        EXPECT_EQ(e.Erfolgreich(), f.status == EinleseStatus::Eingelesen);
        if (f.status == EinleseStatus::Eingelesen) {
            EXPECT_EQ(e.Vorlage.Zeilen(), f.zeilen);
            EXPECT_EQ(e.Vorlage.Format(), f.format);
            EXPECT_EQ(e.Vorlage.Trenner(), f.trenner);
        }
    }
}

TEST(VorlageEinlesen, UnreadableFileIsAnEvaluationError) {
    TestOrdner ordner;
    for (const std::string& pfad : {ordner.Datei("fehlt.json"), ordner.Pfad()}) {
        SCOPED_TRACE(pfad);
        const EinleseErgebnis e = VorlageEinlesen(pfad);
        EXPECT_EQ(e.Status, EinleseStatus::JSONAuswertefehler);
        EXPECT_EQ(e.Meldung, "JSON Auswertefehler");
    }
}

TEST(DateinamePruefen, ReplacesTheNineCharacters) {
    const std::pair<std::string, std::string> faelle[] = {
        {"LiveText.json", "LiveText.json"},
        {R"(a\b/c:d*e?f"g>h<i|j)", "a_b_c_d_e_f_g_h_i_j"},
        {"M\xC3\xBCller ok.json", "M\xC3\xBCller ok.json"},
        {"", ""},
    };
    for (const auto& [ein, aus] : faelle) {
        SCOPED_TRACE(ein);
        EXPECT_EQ(DateinamePruefen(ein), aus);
    }
}

}  // namespace
}  // namespace zelmo
