#include "templates/VorlageDatei.h"

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "component/Error.h"

namespace zelmo {
namespace {

using test::TempFolder;

// One line per template line, in the code page, with CR LF at the end. Texts are escaped; in
// Tabelle and Feld only, CR is dropped and LF stored as *.
TEST(VorlageSpeichern, FixedOneLineLayoutOverTheOldFileAndBack) {
    const TempFolder ordner;
    const std::string datei = ordner.File("Prüfung.json");  // an umlaut through the wide calls
    ordner.Write("Prüfung.json", std::string(5000, 'x'));
    Vorlage v;
    v.SetzeZeile(0, {"E1", "Alle", "", "", "1", "", "01", "Müller", "T1\r\nT2", "f1,f2\r\nf3"});
    v.ZeileAnhaengen(
        {"a\"b", "c\\d", "tab\there", "\x01", "x\r\ny", "", "", "", "q\"\r\n\\", "\n"});
    v.SetzeFormat(Ausgabeformat::CSVNurDaten);
    v.SetzeTrenner(";;");
    VorlageSpeichern(datei, v);
    EXPECT_EQ(ordner.Read("Prüfung.json"),
              R"({"Vorlage" : {"Zeilen" :[{"Ereignis": "E1", "Turnierart": "Alle", )"
              R"("Unterauswahl1": "", "Unterauswahl2": "", "Umlauf": "1", "Reserve": "", )"
              R"("Seite": "01", "Dateiname": "M)"
              "\xFC"
              R"(ller", "Tabelle": "T1*T2", "Feld": "f1,f2*f3"}, {"Ereignis": "a\"b", )"
              R"("Turnierart": "c\\d", "Unterauswahl1": "tab\there", "Unterauswahl2": "\u0001", )"
              R"("Umlauf": "x\r\ny", "Reserve": "", "Seite": "", "Dateiname": "", )"
              R"("Tabelle": "q\"*\\", "Feld": "*"} ]} ,"Ausgabeformat" : )"
              R"([{"Type": "OptCSVNurDaten","Trenner" : ";;"}]})"
              "\r\n");
    const EinleseErgebnis e = VorlageEinlesen(datei);
    ASSERT_EQ(e.Status, EinleseStatus::Eingelesen);
    EXPECT_EQ(e.Vorlage.Zeile(0), v.Zeile(0));
    EXPECT_EQ(e.Vorlage.Format(), Ausgabeformat::CSVNurDaten);
    EXPECT_EQ(e.Vorlage.Trenner(), ";;");
    v.SetzeFormat(Ausgabeformat::Keins);  // neither option is written as LiveText
    EXPECT_TRUE(VorlageAlsJSON(v).ends_with(R"([{"Type": "OptLiveText","Trenner" : ";;"}]})"));
    EXPECT_THROW(VorlageSpeichern(ordner.File("fehlt/LiveText.json"), v), Error);
}

std::string Zeilen(const std::string& zeilen, const std::string& rest = "") {
    return R"({"Vorlage": {"Zeilen": [)" + zeilen + "]}" + rest + "}";
}

std::string Linie(const std::string& ereignis) {
    return R"({"Ereignis": ")" + ereignis +
           R"(", "Turnierart": "Alle", "Unterauswahl1": "", "Unterauswahl2": "", "Umlauf": "1", )"
           R"("Reserve": "", "Seite": "05", "Dateiname": "d", "Tabelle": "A*B", "Feld": "x*y,z"})";
}

// Without an Ausgabeformat, or with one of another type or no separator, LiveText and ",".
TEST(VorlageEinlesen, LinesByNameOrPositionWithTheDefaultFormat) {
    const VorlageZeile e1 = {"E1", "Alle", "", "", "1", "", "05", "d", "A\r\nB", "x\r\ny,z"};
    VorlageZeile e2 = e1;
    e2[0] = "E2";
    const std::tuple<const char*, std::string, std::vector<VorlageZeile>> faelle[] = {
        {"two lines", Zeilen(Linie("E1") + "," + Linie("E2")), {e1, e2}},
        {"unknown type, empty separator",
         Zeilen(Linie("E1"), R"(, "Ausgabeformat": [{"Type": "OptHTML", "Trenner": ""}])"),
         {e1}},
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
    };
    for (const auto& [name, bytes, zeilen] : faelle) {
        SCOPED_TRACE(name);
        const EinleseErgebnis e = VorlageAusBytes(bytes);
        ASSERT_TRUE(e.Erfolgreich()) << e.Meldung;
        EXPECT_EQ(e.Meldung, "");
        EXPECT_EQ(e.Vorlage.Zeilen(), zeilen);
        EXPECT_EQ(e.Vorlage.Format(), Ausgabeformat::LiveText);
        EXPECT_EQ(e.Vorlage.Trenner(), ",");
    }
}

TEST(VorlageEinlesen, FailuresNameTheirCause) {
    using enum EinleseStatus;
    const std::string kaputt = "JSON Auswertefehler";
    const std::tuple<std::string, EinleseStatus, std::string> faelle[] = {
        {"{\"Vorlage\" : ", JSONAuswertefehler, kaputt},
        {"[1, 2]", KeyVorlageFehlt, "Keine LiveText Datei!\r\nKey Vorlage fehlt!"},
        {R"({"Vorlage": {"Ausgabe": 1}})", KeineAusgabezeilen, "Keine Ausgabezeilen vorhanden!"},
        {Zeilen("", R"(, "Ausgabeformat": [{"Type": "OptCSVNurDaten", "Trenner": ";"}])"),
         ZeilenLeer, ""},
        {Zeilen(R"(["E1", "Alle", "", "", 1, null, "05", "d", "A*B"])"), JSONAuswertefehler,
         kaputt},
        {Zeilen(R"(["E1", [], "", "", 1, null, "05", "d", "A*B", "x"])"), JSONAuswertefehler,
         kaputt},
        {Zeilen(Linie("E1"), R"(, "Ausgabeformat": [{"Type": "OptCSVNurDaten"}])"),
         JSONAuswertefehler, kaputt},
        {Zeilen(Linie("E1"), R"(, "Ausgabeformat": [])"), JSONAuswertefehler, kaputt},
    };
    for (const auto& [bytes, status, meldung] : faelle) {
        SCOPED_TRACE(bytes);
        const EinleseErgebnis e = VorlageAusBytes(bytes);
        EXPECT_EQ(e.Status, status);
        EXPECT_FALSE(e.Erfolgreich());
        EXPECT_EQ(e.Meldung, meldung);
    }
    EXPECT_EQ(VorlageEinlesen(TempFolder().File("fehlt.json")).Meldung, kaputt);
}

TEST(DateinamePruefen, ReplacesTheNineCharacters) {
    EXPECT_EQ(DateinamePruefen(R"(a\b/c:d*e?f"g>h<i|j)"), "a_b_c_d_e_f_g_h_i_j");
    EXPECT_EQ(DateinamePruefen("Müller ok.json"), "Müller ok.json");
}

}  // namespace
}  // namespace zelmo
