#include "templates/VorlageDatei.h"

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "component/Error.h"

namespace zelmo {
namespace {

using test::TempFolder;

TEST(VorlageSpeichern, FixedOneLineLayoutInTheCodePageOverTheOldFileAndBack) {
    const TempFolder ordner;
    const std::string datei = ordner.File("Prüfung.json");  // an umlaut through the wide calls
    ordner.Write("Prüfung.json", std::string(5000, 'x'));
    Vorlage v;
    v.SetzeZeile(
        0, {"E1", "Alle", "Alle", "Alle", "Alle", "", "01", "Müller", "T1\r\nT2", "f1,f2\r\nf3"});
    v.SetzeFormat(Ausgabeformat::CSVNurDaten);
    v.SetzeTrenner(";;");
    VorlageSpeichern(datei, v);
    EXPECT_EQ(ordner.Read("Prüfung.json"),
              "{\"Vorlage\" : {\"Zeilen\" :[{\"Ereignis\": \"E1\", \"Turnierart\": \"Alle\", "
              "\"Unterauswahl1\": \"Alle\", \"Unterauswahl2\": \"Alle\", \"Umlauf\": \"Alle\", "
              "\"Reserve\": \"\", \"Seite\": \"01\", \"Dateiname\": \"M\xFCller\", "
              "\"Tabelle\": \"T1*T2\", \"Feld\": \"f1,f2*f3\"} ]} ,\"Ausgabeformat\" : "
              "[{\"Type\": \"OptCSVNurDaten\",\"Trenner\" : \";;\"}]}\r\n");
    const EinleseErgebnis e = VorlageEinlesen(datei);
    ASSERT_EQ(e.Status, EinleseStatus::Eingelesen);
    EXPECT_EQ(e.Vorlage.Zeilen(), v.Zeilen());
    EXPECT_EQ(e.Vorlage.Format(), Ausgabeformat::CSVNurDaten);
    EXPECT_EQ(e.Vorlage.Trenner(), ";;");
    EXPECT_THROW(VorlageSpeichern(ordner.File("fehlt/LiveText.json"), v), Error);
}

// Escapes; in Tabelle and Feld only, CR is dropped and LF stored as *. Neither format option
// is written as LiveText.
TEST(VorlageAlsJSON, EscapesAndLineBreaks) {
    Vorlage v;
    v.SetzeZelle(0, Spalte::Ereignis, "A");
    v.ZeileAnhaengen(
        {"a\"b", "c\\d", "tab\there", "\x01", "x\r\ny", "", "", "", "q\"\r\n\\", "\n"});
    v.SetzeFormat(Ausgabeformat::Keins);
    EXPECT_EQ(
        VorlageAlsJSON(v),
        R"({"Vorlage" : {"Zeilen" :[{"Ereignis": "A", "Turnierart": "", "Unterauswahl1": "", )"
        R"("Unterauswahl2": "", "Umlauf": "", "Reserve": "", "Seite": "", "Dateiname": "", )"
        R"("Tabelle": "", "Feld": ""}, {"Ereignis": "a\"b", "Turnierart": "c\\d", )"
        R"("Unterauswahl1": "tab\there", "Unterauswahl2": "\u0001", "Umlauf": "x\r\ny", )"
        R"("Reserve": "", "Seite": "", "Dateiname": "", "Tabelle": "q\"*\\", "Feld": "*"} ]} )"
        R"(,"Ausgabeformat" : [{"Type": "OptLiveText","Trenner" : ","}]})");
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
    VorlageZeile e2 = e1;
    e2[0] = "E2";
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
        ASSERT_TRUE(e.Erfolgreich()) << e.Meldung;
        EXPECT_EQ(e.Meldung, "");
        EXPECT_EQ(e.Vorlage.Zeilen(), f.zeilen);
        EXPECT_EQ(e.Vorlage.Format(), f.format);
        EXPECT_EQ(e.Vorlage.Trenner(), f.trenner);
    }
}

TEST(VorlageEinlesen, FailuresNameTheirCause) {
    struct Fall {
        std::string bytes;
        EinleseStatus status;
        const char* meldung = "JSON Auswertefehler";
    };
    using enum EinleseStatus;
    const Fall faelle[] = {
        {"{\"Vorlage\" : ", JSONAuswertefehler},
        {"[1, 2]", KeyVorlageFehlt, "Keine LiveText Datei!\r\nKey Vorlage fehlt!"},
        {R"({"Vorlage": {"Ausgabe": 1}})", KeineAusgabezeilen, "Keine Ausgabezeilen vorhanden!"},
        {Zeilen("", R"(, "Ausgabeformat": [{"Type": "OptCSVNurDaten", "Trenner": ";"}])"),
         ZeilenLeer, ""},
        {Zeilen(R"(["E1", "Alle", "", "", 1, null, "05", "d", "A*B"])"), JSONAuswertefehler},
        {Zeilen(R"(["E1", [], "", "", 1, null, "05", "d", "A*B", "x"])"), JSONAuswertefehler},
        {Zeilen(Linie("E1"), R"(, "Ausgabeformat": [{"Type": "OptCSVNurDaten"}])"),
         JSONAuswertefehler},
        {Zeilen(Linie("E1"), R"(, "Ausgabeformat": [])"), JSONAuswertefehler},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.bytes);
        const EinleseErgebnis e = VorlageAusBytes(f.bytes);
        EXPECT_EQ(e.Status, f.status);
        EXPECT_FALSE(e.Erfolgreich());
        EXPECT_EQ(e.Meldung, f.meldung);
    }
    const TempFolder ordner;
    EXPECT_EQ(VorlageEinlesen(ordner.File("fehlt.json")).Meldung, "JSON Auswertefehler");
}

TEST(DateinamePruefen, ReplacesTheNineCharacters) {
    EXPECT_EQ(DateinamePruefen(R"(a\b/c:d*e?f"g>h<i|j)"), "a_b_c_d_e_f_g_h_i_j");
    EXPECT_EQ(DateinamePruefen("Müller ok.json"), "Müller ok.json");
}

}  // namespace
}  // namespace zelmo
