// The built `zelmo` end to end: a show through simulate, record and receive; a link that goes
// quiet, breaks and is lost; the benchmark; the template commands; what each command refuses.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>

#include <optional>
#include <string>
#include <vector>

#include "ToolProcess.h"
#include "journal/Show.h"

namespace zelmo::test {
namespace {

// A fresh folder per test, with an output folder and a template for the receiver.
class ToolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::create_directory(dir_.File("ausgabe")));
        dir_.Write("vorlage.json", VorlageText({{"Reiter Neu", "03", "Reiter", "AktReiter*Pruefung",
                                                 "StartNr,Reiter,Pferd*Titel"},
                                                {"Ziel", "05", "../Ziel", "DurchZiel", "Zeit"}}));
    }
    QStringList Receive(const std::string& port) const {
        return QStringList{"receive", "--connect", QString::fromStdString("127.0.0.1:" + port)} +
               QStringList{"--template", Path("vorlage.json"), "--output", Path("ausgabe")};
    }
    QString Path(const std::string& name) const { return QString::fromStdString(dir_.File(name)); }

    TempFolder dir_;
};

// The recorder sits between sender and receiver and must change nothing on the way.
TEST_F(ToolTest, AShowThroughSimulateRecordAndReceiveWritesTheTemplatesFiles) {
    const std::vector<std::string> show = {
        R"({"Ereignis": {"Befehl": "Befehl", "Status": "ReiterNeu", "Wert1": "", "Wert2": "", )"
        R"("Wert3": "", "Wert4": ""}, "AktReiter": {"Records": [{"StartNr": "101", "Reiter": )"
        R"("Jürgen Müller", "Pferd": "Quintus Ö"}]}, "Pruefung": {"Records": [{"Titel": )"
        R"("Großer Preis"}]}})",
        R"({"Ereignis": {"Befehl": "Befehl", "Status": "Ziel", "Wert1": "", "Wert2": "", )"
        R"("Wert3": "", "Wert4": ""}, "DurchZiel": {"Zeit": "70.01"}})",
        "kein JSON",
    };
    dir_.Write("show.jsonl", "{\"at_ms\": 0, \"telegram\": " + show[0] + "}\n\n" + show[1] +
                                 "\n{\"at_ms\": 20, \"raw\": \"kein JSON\"}\n");
    Tool sim({"simulate", "--listen", "127.0.0.1:0", "--show", Path("show.jsonl")});
    const std::string simPort = sim.WaitForLine("lauscht auf 127\\.0\\.0\\.1:(\\d+)$");
    ASSERT_FALSE(simPort.empty()) << sim.Err();
    Tool record({"record", "--connect", "127.0.0.1:" + QString::fromStdString(simPort), "--listen",
                 "127.0.0.1:0", "--show", Path("recorded.jsonl")});
    const std::string port = record.WaitForLine("lauscht auf 127\\.0\\.0\\.1:(\\d+),");
    ASSERT_FALSE(port.empty()) << record.Err();
    Tool receive(Receive(port) << "--exit-on-disconnect");
    ASSERT_EQ(sim.Finish(), 0) << sim.Err();
    ASSERT_EQ(receive.Finish(), 0) << receive.Err();
    ASSERT_FALSE(record.WaitForLine("Sender getrennt").empty());
    record.Terminate();
    ASSERT_EQ(record.Finish(), 0);

    EXPECT_EQ(dir_.Read("ausgabe/Reiter.txt"),
              "AktReiter.StartNr = 101\r\nAktReiter.Reiter = J\xFCrgen M\xFCller\r\n"
              "AktReiter.Pferd = Quintus \xD6\r\nPruefung.Titel = Gro\xDF"
              "er Preis\r\n");
    EXPECT_EQ(dir_.Read("ausgabe/control.txt"),
              "LiveText_PageNo = 03\r\nLiveText_Play = 0\r\nLiveText_Play = 1\r\n");
    const std::string out = dir_.File("ausgabe/");
    // Socket numbers differ from run to run; the telegram lines are the link's own.
    EXPECT_EQ(
        QString::fromStdString(receive.Out())
            .replace(QRegularExpression("Socket: \\d+"), "Socket: N")
            .replace(QRegularExpression("^telegramm: .*$", QRegularExpression::MultilineOption),
                     "telegramm: …")
            .toStdString(),
        "warnung: Zeile 2: Dateiname nicht zulässig: ../Ziel\nclient: Verbinde mit 127.0.0.1:" +
            port + "\nclient: TCPClient TCPConnect - Socket: N\ntelegramm: …\ndatei: " + out +
            "Reiter.txt\ndatei: " + out +
            "control.txt\ntelegramm: …\n"
            "warnung: Dateiname nicht zulässig: ../Ziel\ntelegramm: …\n"
            "status: Fehler in der Datenauswertung!\n"
            "client: TCPClient TCPDisConnect - Socket: N\n");
    EXPECT_THAT(sim.Out(), testing::HasSubstr("statistik: gesendet 3, quittiert 3, ohne "
                                              "Quittung 0, unterbrochen 0\n"));

    // The recording replays the same payloads, timed from 0 and never going back.
    std::vector<std::string> recorded;
    std::optional<std::int64_t> previous = 0;
    for (const ShowTelegram& t : ParseShow(dir_.Read("recorded.jsonl"))) {
        EXPECT_TRUE(recorded.empty() ? t.atMs == 0 : t.atMs >= previous) << t.line;
        previous = t.atMs;
        recorded.push_back(t.payload);
    }
    EXPECT_EQ(recorded, show);
}

// A quiet link is reported and stays up; a garbled frame is answered and the show goes on; a
// restarted sender is connected again; SIGTERM ends the receiver cleanly.
TEST_F(ToolTest, TheReceiverRidesOutQuietGarbledAndLostLinks) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    Tool receive(Receive(std::to_string(server.serverPort())) +
                 QStringList{"--stale", "0.3", "--reconnect", "0.1"});
    ASSERT_TRUE(server.waitForNewConnection(kToolWaitMs));
    QTcpSocket* socket = server.nextPendingConnection();
    // Sends bytes; the receiver's answer.
    auto send = [&](const std::string& bytes) {
        socket->write(bytes.data(), static_cast<qint64>(bytes.size()));
        std::string answer;
        while (answer.size() < 12 && socket->waitForReadyRead(kToolWaitMs))
            answer += socket->readAll().toStdString();
        return answer;
    };
    EXPECT_FALSE(receive.WaitForLine("^status: Seit \\d+ s kein Telegramm!$").empty());
    EXPECT_EQ(send("0000000019kein JSON"), "0000000012OK");
    EXPECT_FALSE(receive.WaitForLine("^status: Wieder ein Telegramm nach \\d+ s$").empty());
    // A garbled run is logged on one line.
    EXPECT_EQ(send("\x01HALLO WELT"), "0000000012OK");
    EXPECT_EQ(send("0000000019kein JSON"), "0000000012OK");
    EXPECT_FALSE(receive.WaitForLine("^client:  HALLO WELT$").empty());
    // The sender restarts on its port.
    const quint16 port = server.serverPort();
    server.close();
    socket->disconnectFromHost();
    EXPECT_FALSE(receive.WaitForLine("^client: Konnte nicht mit .+ verbinden!$").empty());
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, port));
    ASSERT_TRUE(server.waitForNewConnection(kToolWaitMs));
    receive.Terminate();
    EXPECT_EQ(receive.Finish(), 0);
}

TEST_F(ToolTest, BenchMeasuresARealReceiver) {
    Tool bench({"bench", "--count", "30"});
    ASSERT_EQ(bench.Finish(), 0) << bench.Err();
    // The floor wrote both of the receiver's files; the receiver's memory could be read.
    EXPECT_THAT(bench.Out(), testing::HasSubstr("30 Durchläufe nach 20 zum Aufwärmen\n"));
    EXPECT_THAT(bench.Out(),
                testing::HasSubstr("(zusammensetzen, 2 Dateien ersetzen, quittieren)"));
    EXPECT_THAT(bench.Out(), testing::Not(testing::HasSubstr("nicht verfügbar")));
}

// Against the catalogues beside the tool, which the build copies from data/.
TEST_F(ToolTest, TemplateCheckReportsEachProblemWithItsLine) {
    struct Row {
        std::string vorlage;
        int exitCode;
        std::vector<std::string> out;  // after "<file>: "
    };
    const std::vector<Row> rows = {
        // A CSV template needs no page; events compare ignoring case, as the output run does.
        {VorlageText({{"START", "", "daten", "Startliste", "Reiter"}}, "OptCSVNurDaten"),
         0,
         {"in Ordnung (1 Zeile)"}},
        {VorlageText({
             {"Foo", "1", "a/b", "AktReiter*Startliste", "StartNr,Name"},
             {"", "", "", "", ""},
             {"Start", "00", "..", "Umlaufdaten*Pferde", "Uml1Turnierart*A"},
             {"Ziel", "07", "z", "AktReiter*AktReiter*AktReiter*AktReiter",
              "StartNr,Reiter,Pferd,StartNr,Reiter,Pferd,StartNr*Reiter*Pferd*,Reiter"},
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
             "Zeile 4: mehr als drei Tabellen (4)",
             "Zeile 4: Tabelle \"AktReiter\": 7 Felder, nur die ersten sechs werden ausgegeben",
             "Zeile 4: leerer Feldname bei Tabelle \"AktReiter\"",
             "17 Befunde",
         }},
        {"{\"Vorlage\": {\"Zeilen\": []}}", 1, {"Keine Ausgabezeilen vorhanden!"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.out.back());
        dir_.Write("vorlage.json", row.vorlage);
        Tool check({"template", "check", Path("vorlage.json")});
        EXPECT_EQ(check.Finish(), row.exitCode) << check.Err();
        std::string want;
        for (const std::string& line : row.out)
            want += dir_.File("vorlage.json") + ": " + line + "\n";
        EXPECT_EQ(check.Out(), want);
    }
    Tool sample({"template", "check", ZELMO_DATA "/LiveText.json", "--catalogues", ZELMO_DATA});
    EXPECT_EQ(sample.Finish(), 0);
    EXPECT_THAT(sample.Out(), testing::EndsWith(" Zeilen)\n"));
}

// The writer's form itself is pinned with the template files; here: where format puts it.
TEST_F(ToolTest, TemplateFormatWritesTheProgramsExactFileForm) {
    const std::string exact =
        VorlageText({{"Start", "04", "Uhr", "ZeitLaeuft*AktReiter", "Zeit,Fehler*Reiter"}});
    const std::string loose =
        QString::fromStdString(exact).replace(", ", ",\n    ").replace(" :", ":").toStdString();
    dir_.Write("lose.json", loose);
    Tool toOther({"template", "format", Path("lose.json"), "-o", Path("exakt.json")});
    ASSERT_EQ(toOther.Finish(), 0) << toOther.Err();
    EXPECT_EQ(dir_.Read("exakt.json"), exact);
    Tool inPlace({"template", "format", Path("lose.json")});
    ASSERT_EQ(inPlace.Finish(), 0) << inPlace.Err();
    EXPECT_EQ(dir_.Read("lose.json"), exact);
}

TEST_F(ToolTest, EachCommandSaysWhatIsWrongWithItsInput) {
    dir_.Write("fremd.json", "{\"Andere\": 1}");
    const QString good = Path("vorlage.json");
    const std::string keineDatei = dir_.File("fehlt.json") + ": No such file or directory";
    const QStringList receive = {"receive",  "--connect",     "127.0.0.1:3020",
                                 "--output", Path("ausgabe"), "--template"};
    const std::pair<QStringList, std::string> rows[] = {
        // arguments, the first line on standard error
        {{"receive", "--connect", "localhost", "--template", good, "--output", Path("ausgabe")},
         "zelmo receive: --connect: \"localhost\" ist keine Adresse HOST:PORT mit Port 1 bis "
         "65535"},
        {{"receive", "--connect", "127.0.0.1:3020", "--template", good, "--output", Path("fehlt")},
         "zelmo receive: Ausgabeordner \"" + dir_.File("fehlt") + "\" nicht gefunden"},
        {receive + QStringList{Path("fremd.json")},
         "zelmo receive: " + dir_.File("fremd.json") +
             ": Keine LiveText Datei! Key Vorlage fehlt!"},
        {receive + QStringList{good, "--stale", "0"},
         "zelmo receive: --stale: \"0\" ist keine Sekundenzahl von 0.05 bis 86400"},
        {receive + QStringList{Path("fehlt.json")}, "zelmo receive: " + keineDatei},
        {receive + QStringList{good, "--bogus"}, "zelmo receive: unbekannte Option --bogus"},
        {{"receive", "--connect"}, "zelmo receive: --connect: Wert fehlt"},
        {{"template", "check", Path("fehlt.json")}, "zelmo template check: " + keineDatei},
        {{"template", "check", good, "--catalogues", Path("nirgends")},
         "zelmo template check: Kann Tabelle: " + dir_.File("nirgends") +
             "/Tabellen.json - nicht finden!"},
        {{"template", "format", Path("fehlt.json")}, "zelmo template format: " + keineDatei},
        {{"template", "format", Path("fremd.json")},
         "zelmo template format: " + dir_.File("fremd.json") +
             ": Keine LiveText Datei! Key Vorlage fehlt!"},
        {{"simulate", "--listen", "127.0.0.1:0", "--show", Path("fehlt.json")},
         "zelmo simulate: " + keineDatei},
        {{"simulate", "--listen", "127.0.0.1:0", "--show", good},
         "zelmo simulate: " + dir_.File("vorlage.json") +
             ": das ist eine Vorlage, keine Show (Telegramme als JSON Lines erwartet)"},
    };
    for (const auto& [args, err] : rows) {
        SCOPED_TRACE(err);
        Tool tool(args);
        EXPECT_EQ(tool.Finish(), 2);
        EXPECT_EQ(tool.Err().substr(0, tool.Err().find('\n')), err);
        EXPECT_EQ(tool.Out(), "");
    }
}

}  // namespace
}  // namespace zelmo::test
