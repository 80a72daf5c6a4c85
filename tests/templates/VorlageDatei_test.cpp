#include "templates/VorlageDatei.h"

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "component/Error.h"

namespace zelmo {
namespace {

using test::TempFolder;

TEST(VorlageAlsJSON, FixedOneLineLayout) {
    Vorlage beispiel;
    beispiel.SetzeZeile(
        0, {"E1", "Alle", "Alle", "Alle", "Alle", "", "01", "datei", "T1\r\nT2", "f1,f2\r\nf3"});
    beispiel.SetzeFormat(Ausgabeformat::CSVNurDaten);
    beispiel.SetzeTrenner(";");
    EXPECT_EQ(
        VorlageAlsJSON(beispiel),
        R"({"Vorlage" : {"Zeilen" :[{"Ereignis": "E1", "Turnierart": "Alle", "Unterauswahl1": )"
        R"("Alle", "Unterauswahl2": "Alle", "Umlauf": "Alle", "Reserve": "", "Seite": "01", )"
        R"("Dateiname": "datei", "Tabelle": "T1*T2", "Feld": "f1,f2*f3"} ]} ,"Ausgabeformat" )"
        R"(: [{"Type": "OptCSVNurDaten","Trenner" : ";"}]})");

    // Escapes; in Tabelle and Feld only, CR is dropped and LF stored as *. Neither format
    // option is written as LiveText.
    Vorlage zwei;
    zwei.SetzeZelle(0, Spalte::Ereignis, "A");
    zwei.ZeileAnhaengen(
        {"a\"b", "c\\d", "tab\there", "\x01", "x\r\ny", "", "", "", "q\"\r\n\\", "\n"});
    zwei.SetzeFormat(Ausgabeformat::Keins);
    EXPECT_EQ(
        VorlageAlsJSON(zwei),
        R"({"Vorlage" : {"Zeilen" :[{"Ereignis": "A", "Turnierart": "", "Unterauswahl1": "", )"
        R"("Unterauswahl2": "", "Umlauf": "", "Reserve": "", "Seite": "", "Dateiname": "", )"
        R"("Tabelle": "", "Feld": ""}, {"Ereignis": "a\"b", "Turnierart": "c\\d", )"
        R"("Unterauswahl1": "tab\there", "Unterauswahl2": "\u0001", "Umlauf": "x\r\ny", )"
        R"("Reserve": "", "Seite": "", "Dateiname": "", "Tabelle": "q\"*\\", "Feld": "*"} ]} )"
        R"(,"Ausgabeformat" : [{"Type": "OptLiveText","Trenner" : ","}]})");
}

TEST(VorlageSpeichern, WritesCodePageTextWithCrLfOverTheOldFile) {
    const TempFolder ordner;
    ordner.Write("Prüfung.json", std::string(5000, 'x'));  // an umlaut through the wide calls
    Vorlage v;
    v.SetzeZelle(0, Spalte::Dateiname, "Müller");
    VorlageSpeichern(ordner.File("Prüfung.json"), v);
    EXPECT_EQ(ordner.Read("Prüfung.json"),
              "{\"Vorlage\" : {\"Zeilen\" :[{\"Ereignis\": \"\", \"Turnierart\": \"\", "
              "\"Unterauswahl1\": \"\", \"Unterauswahl2\": \"\", \"Umlauf\": \"\", "
              "\"Reserve\": \"\", \"Seite\": \"\", \"Dateiname\": \"M\xFCller\", "
              "\"Tabelle\": \"\", \"Feld\": \"\"} ]} ,\"Ausgabeformat\" : [{\"Type\": "
              "\"OptLiveText\",\"Trenner\" : \",\"}]}\r\n");
    EXPECT_EQ(VorlageEinlesen(ordner.File("Prüfung.json")).Vorlage.Zelle(0, Spalte::Dateiname),
              "Müller");

    const std::string fehlt = ordner.File("fehlt/LiveText.json");
    try {
        VorlageSpeichern(fehlt, v);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(fehlt), std::string::npos) << e.what();
    }
}

TEST(VorlageEinlesen, RoundTripsEveryColumnFormatAndSeparator) {
    Vorlage v;
    v.SetzeZeile(0,
                 {"Start", "Normalspringen", "mit Stechen", "Stilspringen", "2", "", "07", "startä",
                  "Startliste\r\nPruefung\r\nAktReiter", "Name,Land\r\nName\r\nPferd, Reiter"});
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
    const TempFolder ordner;
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.trenner);
        v.SetzeFormat(f.format);
        v.SetzeTrenner(f.trenner);
        VorlageSpeichern(ordner.File("t.json"), v);
        const EinleseErgebnis e = VorlageEinlesen(ordner.File("t.json"));
        ASSERT_EQ(e.Status, EinleseStatus::Eingelesen) << e.Meldung;
        EXPECT_EQ(e.Meldung, "");
        EXPECT_EQ(e.Vorlage.Zeilen(), v.Zeilen());
        EXPECT_EQ(e.Vorlage.Format(), f.gelesen);
        EXPECT_EQ(e.Vorlage.Trenner(), f.trenner);
    }
}

std::string Zeilen(const std::string& zeilen, const std::string& rest = "") {
    return R"({"Vorlage": {"Zeilen": [)" + zeilen + "]}" + rest + "}";
}

std::string Linie(const std::string& ereignis) {
    return R"({"Ereignis": ")" + ereignis +
           R"(", "Turnierart": "Alle", "Unterauswahl1": "", "Unterauswahl2": "", "Umlauf": "1", )"
           R"("Reserve": "", "Seite": "05", "Dateiname": "d", "Tabelle": "A*B", "Feld": "x*y,z"})";
}

TEST(VorlageEinlesen, LinesByNameOrPositionWithTheirFormat) {
    struct Fall {
        const char* name;
        std::string bytes;
        std::vector<VorlageZeile> zeilen;
        Ausgabeformat format = Ausgabeformat::LiveText;
        std::string trenner = ",";
    };
    const VorlageZeile e1 = {"E1", "Alle", "", "", "1", "", "05", "d", "A\r\nB", "x\r\ny,z"};
    const VorlageZeile e2 = {"E2", "Alle", "", "", "1", "", "05", "d", "A\r\nB", "x\r\ny,z"};
    const Fall faelle[] = {
        {"two lines, no Ausgabeformat", Zeilen(Linie("E1") + "," + Linie("E2")), {e1, e2}},
        {"unknown type and empty separator keep the defaults",
         Zeilen(Linie("E1"), R"(, "Ausgabeformat": [{"Type": "OptHTML", "Trenner": ""}])"),
         {e1}},
        {"CSV type",
         Zeilen(Linie("E1"), R"(, "Ausgabeformat": [{"Type": "OptCSVNurDaten", "Trenner": "; "}])"),
         {e1},
         Ausgabeformat::CSVNurDaten,
         "; "},
        {"members in another order are read by name",
         Zeilen(R"({"Feld": "x*y,z", "Tabelle": "A*B", "Dateiname": "d", "Seite": "05", )"
                R"("Reserve": "", "Umlauf": "1", "Unterauswahl2": "", "Unterauswahl1": "", )"
                R"("Turnierart": "Alle", "Ereignis": "E1", "Extra": "?"})"),
         {e1}},
        {"without all ten names by position; members past the tenth ignored",
         Zeilen(R"({"a": "E1", "b": "Alle", "c": "", "d": "", "e": "1", "f": "", "g": "05", )"
                R"("h": "d", "i": "A*B", "Feld": "x*y,z", "k": "extra"})"),
         {e1}},
        {"a line as a list is read by position",
         Zeilen(R"(["E1", "Alle", "", "", 1, null, "05", "d", "A*B", "x*y,z"])"),
         {e1}},
        {"code page bytes are decoded",
         Zeilen("[\"M\xE4rz\", \"\", \"\", \"\", \"\", \"\", \"\", \"\xDF\", \"\", \"\"]"),
         {{"März", "", "", "", "", "", "", "ß", "", ""}}},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        const EinleseErgebnis e = VorlageAusBytes(f.bytes);
        ASSERT_EQ(e.Status, EinleseStatus::Eingelesen) << e.Meldung;
        EXPECT_TRUE(e.Erfolgreich());
        EXPECT_EQ(e.Meldung, "");
        EXPECT_EQ(e.Vorlage.Zeilen(), f.zeilen);
        EXPECT_EQ(e.Vorlage.Format(), f.format);
        EXPECT_EQ(e.Vorlage.Trenner(), f.trenner);
    }
}

TEST(VorlageEinlesen, FailuresNameTheirCause) {
    struct Fall {
        const char* name;
        std::string bytes;
        EinleseStatus status;
        const char* meldung = "JSON Auswertefehler";
    };
    using enum EinleseStatus;
    const char* keineVorlage = "Keine LiveText Datei!\r\nKey Vorlage fehlt!";
    const Fall faelle[] = {
        {"not JSON", "{\"Vorlage\" : ", JSONAuswertefehler},
        {"empty file", "", JSONAuswertefehler},
        {"no Vorlage", R"({"Zeilen": []})", KeyVorlageFehlt, keineVorlage},
        {"top level is a list", "[1, 2]", KeyVorlageFehlt, keineVorlage},
        {"no Zeilen", R"({"Vorlage": {"Ausgabe": 1}})", KeineAusgabezeilen,
         "Keine Ausgabezeilen vorhanden!"},
        {"empty Zeilen: nothing to say",
         Zeilen("", R"(, "Ausgabeformat": [{"Type": "OptCSVNurDaten", "Trenner": ";"}])"),
         ZeilenLeer, ""},
        {"nine members", Zeilen(R"(["E1", "Alle", "", "", 1, null, "05", "d", "A*B"])"),
         JSONAuswertefehler},
        {"second line broken", Zeilen(Linie("E1") + R"(, {"Ereignis": "E2"})"), JSONAuswertefehler},
        {"a value that is a list", Zeilen(R"(["E1", [], "", "", 1, null, "05", "d", "A*B", "x"])"),
         JSONAuswertefehler},
        {"Ausgabeformat without Trenner",
         Zeilen(Linie("E1"), R"(, "Ausgabeformat": [{"Type": "OptCSVNurDaten"}])"),
         JSONAuswertefehler},
        {"Ausgabeformat empty", Zeilen(Linie("E1"), R"(, "Ausgabeformat": [])"),
         JSONAuswertefehler},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        const EinleseErgebnis e = VorlageAusBytes(f.bytes);
        EXPECT_EQ(e.Status, f.status);
        EXPECT_FALSE(e.Erfolgreich());
        EXPECT_EQ(e.Meldung, f.meldung);
    }

    const TempFolder ordner;
    for (const std::string& pfad : {ordner.File("fehlt.json"), ordner.Path()}) {
        SCOPED_TRACE(pfad);
        const EinleseErgebnis e = VorlageEinlesen(pfad);
        EXPECT_EQ(e.Status, JSONAuswertefehler);
        EXPECT_EQ(e.Meldung, "JSON Auswertefehler");
    }
}

TEST(DateinamePruefen, ReplacesTheNineCharacters) {
    EXPECT_EQ(DateinamePruefen(R"(a\b/c:d*e?f"g>h<i|j)"), "a_b_c_d_e_f_g_h_i_j");
    EXPECT_EQ(DateinamePruefen("Müller ok.json"), "Müller ok.json");
}

}  // namespace
}  // namespace zelmo
