// zelmo template check and format, run as the template author runs them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ToolProcess.h"

namespace zelmo::test {
namespace {

std::vector<std::string> Line(const std::string& ereignis, const std::string& seite,
                              const std::string& datei, const std::string& tabelle,
                              const std::string& feld) {
    return {ereignis, "Alle", "Alle", "Alle", "Alle", "", seite, datei, tabelle, feld};
}

class TemplateToolTest : public ToolFixture {
  protected:
    void SetUp() override {
        ToolFixture::SetUp();
        ASSERT_TRUE(QDir().mkpath(Path("kataloge")));
        WriteBytes(Path("kataloge/Tabellen.json"),
                   R"({"AktReiter": ["StartNr", "Reiter", "Pferd"], "Startliste": ["StartNr",)"
                   R"( "Reiter"], "Umlaufdaten": ["Uml1Turnierart"]})");
        WriteBytes(Path("kataloge/Ereignisse.json"),
                   R"({"Ereignisse": ["Reiter Neu", "Start", "Ziel"]})");
    }
};

TEST_F(TemplateToolTest, CheckReportsEachProblemWithItsLine) {
    struct Row {
        const char* name;
        std::string vorlage;
        int exitCode;
        std::vector<std::string> out;  // after "<file>: "
    };
    const std::vector<Row> rows = {
        {"clean; event names compare ignoring case, as the output run does",
         VorlageText(
             {Line("Reiter Neu", "03", "Reiter", "AktReiter*Startliste", "StartNr,Reiter*Reiter"),
              Line("START", "99", "Uhr", "AktReiter", "Pferd"),
              Line("ziel", "01", "Ziel", "AktReiter", "Reiter")}),
         0,
         {"in Ordnung (3 Zeilen)"}},
        {"a CSV template needs no page",
         VorlageText({Line("Start", "", "daten", "Startliste", "Reiter")}, "OptCSVNurDaten"),
         0,
         {"in Ordnung (1 Zeile)"}},
        {"findings",
         VorlageText({
             Line("Foo", "1", "a/b", "AktReiter*Startliste", "StartNr,Name"),
             Line("", "", "", "", ""),
             Line("Start", "00", "..", "Umlaufdaten*Pferde", "Uml1Turnierart*A"),
             Line("Ziel", "99", "y", "AktReiter",
                  "StartNr,Reiter,Pferd,StartNr,Reiter,Pferd,StartNr"),
             Line("Ziel", "07", "z", "AktReiter*AktReiter*AktReiter*AktReiter",
                  "StartNr*Reiter*Pferd*,Reiter"),
         }),
         1,
         {
             "Zeile 1: Ereignis \"Foo\" steht nicht im Ereigniskatalog",
             "Zeile 1: Seite \"1\" ist keine Seitennummer von 01 bis 99",
             "Zeile 1: Dateiname \"a/b\" enthält ein Zeichen, das ein Dateiname nicht haben "
             "darf (\\ / : * ? \" > < |)",
             "Zeile 1: 2 Tabellen, aber 1 Feldlisten: jede Tabelle braucht ihre Feldliste in "
             "derselben Zeile",
             "Zeile 1: Feld \"Name\" steht im Tabellenkatalog nicht bei Tabelle \"AktReiter\"",
             "Zeile 2: Ereignis fehlt",
             "Zeile 2: Seite fehlt",
             "Zeile 2: Dateiname fehlt",
             "Zeile 2: Tabelle fehlt",
             "Zeile 2: Feld fehlt",
             "Zeile 3: Seite \"00\" ist keine Seitennummer von 01 bis 99",
             "Zeile 3: Dateiname \"..\" ist kein Dateiname",
             "Zeile 3: Tabelle \"Umlaufdaten\" kann nicht ausgegeben werden: die Ausgabe endet "
             "bei ihr",
             "Zeile 3: Tabelle \"Pferde\" steht nicht im Tabellenkatalog",
             "Zeile 4: Tabelle \"AktReiter\": 7 Felder, nur die ersten sechs werden ausgegeben",
             "Zeile 5: mehr als drei Tabellen (4)",
             "Zeile 5: leerer Feldname bei Tabelle \"AktReiter\"",
             "17 Befunde",
         }},
        {"not a template", "{\"Andere\": 1}", 1, {"Keine LiveText Datei! Key Vorlage fehlt!"}},
        {"no lines", "{\"Vorlage\": {\"Zeilen\": []}}", 1, {"Keine Ausgabezeilen vorhanden!"}},
    };
    const QString datei = Path("vorlage.json");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        WriteBytes(datei, row.vorlage);
        Tool check({"template", "check", datei, "--catalogues", Path("kataloge")});
        EXPECT_EQ(check.Finish(), row.exitCode) << check.Err();
        std::vector<std::string> want;
        for (const std::string& line : row.out)
            want.push_back(datei.toStdString() + ": " + line);
        EXPECT_EQ(Lines(check.Out()), want);
    }
}

TEST_F(TemplateToolTest, CheckWithoutCataloguesCannotRun) {
    WriteBytes(Path("vorlage.json"),
               VorlageText({Line("Start", "01", "a", "AktReiter", "Reiter")}));
    Tool check({"template", "check", Path("vorlage.json"), "--catalogues", Path("nirgends")});
    EXPECT_EQ(check.Finish(), 2);
    EXPECT_EQ(check.Err(), "zelmo template check: Kann Tabelle: " + PathText("nirgends") +
                               "/Tabellen.json - nicht finden!\n");
}

TEST_F(TemplateToolTest, TheSampleTemplateIsCleanAgainstTheShippedCatalogues) {
    // Once with the catalogues of data/, once with those the build puts beside the tool.
    for (const QStringList& extra : {QStringList{"--catalogues", ZELMO_DATA}, QStringList{}}) {
        SCOPED_TRACE(extra.join(' ').toStdString());
        Tool check(QStringList{"template", "check", ZELMO_DATA "/LiveText.json"} + extra);
        EXPECT_EQ(check.Finish(), 0) << check.Out() << check.Err();
    }
}

TEST_F(TemplateToolTest, FormatWritesTheProgramsExactFileForm) {
    const std::string loose =
        "{\n  \"Vorlage\": {\"Zeilen\": [\n"
        "    {\"Ereignis\": \"Start\", \"Turnierart\": \"Alle\", \"Unterauswahl1\": \"Alle\",\n"
        "     \"Unterauswahl2\": \"\", \"Umlauf\": \"1\", \"Reserve\": \"\", \"Seite\": \"04\",\n"
        "     \"Dateiname\": \"Uhr\", \"Tabelle\": \"ZeitLaeuft*AktReiter\",\n"
        "     \"Feld\": \"Zeit,Fehler*Reiter\"}\n"
        "  ]},\n  \"Ausgabeformat\": [{\"Type\": \"OptCSVNurDaten\", \"Trenner\": \";\"}]\n}\n";
    const std::string exact =
        "{\"Vorlage\" : {\"Zeilen\" :[{\"Ereignis\": \"Start\", \"Turnierart\": \"Alle\", "
        "\"Unterauswahl1\": \"Alle\", \"Unterauswahl2\": \"\", \"Umlauf\": \"1\", "
        "\"Reserve\": \"\", \"Seite\": \"04\", \"Dateiname\": \"Uhr\", \"Tabelle\": "
        "\"ZeitLaeuft*AktReiter\", \"Feld\": \"Zeit,Fehler*Reiter\"} ]} ,\"Ausgabeformat\" : "
        "[{\"Type\": \"OptCSVNurDaten\",\"Trenner\" : \";\"}]}\r\n";

    WriteBytes(Path("lose.json"), loose);
    Tool toOther({"template", "format", Path("lose.json"), "-o", Path("exakt.json")});
    ASSERT_EQ(toOther.Finish(), 0) << toOther.Err();
    EXPECT_EQ(ReadBytes(Path("exakt.json")), exact);
    EXPECT_EQ(ReadBytes(Path("lose.json")), loose);

    Tool inPlace({"template", "format", Path("lose.json")});
    ASSERT_EQ(inPlace.Finish(), 0) << inPlace.Err();
    EXPECT_EQ(ReadBytes(Path("lose.json")), exact);

    // A file the reader refuses is left alone.
    WriteBytes(Path("fremd.json"), "{\"Andere\": 1}");
    Tool refused({"template", "format", Path("fremd.json")});
    EXPECT_EQ(refused.Finish(), 2);
    EXPECT_EQ(refused.Err(), "zelmo template format: " + PathText("fremd.json") +
                                 ": Keine LiveText Datei! Key Vorlage fehlt!\n");
    EXPECT_EQ(ReadBytes(Path("fremd.json")), "{\"Andere\": 1}");
}

}  // namespace
}  // namespace zelmo::test
