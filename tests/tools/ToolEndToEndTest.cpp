// The tool end to end over loopback: simulate -> record -> receive, a restarted sender, a
// garbled frame and an unwritable file, the benchmark, what each command refuses.

#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>

#include <cstdio>
#include <string>
#include <vector>

#include "ToolProcess.h"

namespace zelmo::test {
namespace {

using Strings = std::vector<std::string>;

std::string Prefix(std::size_t total) {
    char text[11];
    std::snprintf(text, sizeof text, "%010zu", total);
    return text;
}

// The telegram log line of a payload: the first 100 characters of its frame, whose prefix
// counts code page bytes, one per character. No payload here has an umlaut that early.
std::string TelegramLine(const std::string& payload) {
    const auto chars = static_cast<std::size_t>(QString::fromStdString(payload).size());
    return "telegramm: " + Prefix(chars + 10) + payload.substr(0, 90);
}

std::string Reiter(const std::string& nr, const std::string& name, const std::string& pferd,
                   const std::string& titel = "Großer Preis") {
    return R"({"Ereignis": {"Befehl": "Befehl", "Status": "ReiterNeu", "Wert1": ")" + nr +
           R"(", "Wert2": "", "Wert3": "", "Wert4": ""}, "AktReiter": {"Records": [{"StartNr": ")" +
           nr + R"(", "Reiter": ")" + name + R"(", "Pferd": ")" + pferd +
           R"("}]}, "Pruefung": {"Records": [{"Titel": ")" + titel + R"("}]}})";
}

const std::string kReiter101 = Reiter("101", "Jürgen Müller", "Quintus Ö");
const std::string kReiter101File =
    "AktReiter.StartNr = 101\r\nAktReiter.Reiter = J\xFCrgen M\xFCller\r\n"
    "AktReiter.Pferd = Quintus \xD6\r\nPruefung.Titel = Gro\xDF"
    "er Preis\r\n";
const std::string kAnzeigen =
    R"({"Ereignis": {"Befehl": "Befehl", "Status": "Anzeigen", "Wert1": "", "Wert2": "", )"
    R"("Wert3": "", "Wert4": ""}, "Ergebnisliste": {"Records": [{"Platz": "1", "Reiter": )"
    R"("Lars Bergmann", "Zeit": "69.57"}, {"Platz": "2", "Reiter": "Anna Schröder", )"
    R"("Zeit": 71.80}], "Nr0": 103, "Nr1": 102}})";
const std::string kErgebnisFile =
    "Ergebnisliste.Platz_0 = 1\r\nErgebnisliste.Reiter_0 = Lars Bergmann\r\n"
    "Ergebnisliste.Zeit_0 = 69.57\r\nErgebnisliste.Platz_1 = 2\r\n"
    "Ergebnisliste.Reiter_1 = Anna Schr\xF6"
    "der\r\nErgebnisliste.Zeit_1 = 71.80\r\n";

// Socket numbers differ from run to run, and so does the system's reason for a failed write.
Strings Normalized(const std::string& log) {
    Strings lines = Lines(log);
    for (std::string& line : lines) {
        if (const std::size_t pos = line.find("Socket: "); pos != std::string::npos)
            line = line.substr(0, pos) + "Socket: N";
        const std::size_t reason = line.find(".txt - ");
        if (line.rfind("warnung: ", 0) == 0 && reason != std::string::npos)
            line = line.substr(0, reason + 7) + "<Grund>";
    }
    return lines;
}

class ToolTest : public ToolFixture {
  protected:
    void SetUp() override {
        ToolFixture::SetUp();
        ASSERT_TRUE(QDir().mkpath(Out()));
        WriteBytes(
            Path("vorlage.json"),
            VorlageText({
                {"Reiter Neu", "Alle", "Alle", "Alle", "Alle", "", "03", "Reiter",
                 "AktReiter*Pruefung", "StartNr,Reiter,Pferd*Titel"},
                {"Anzeigen", "Alle", "Alle", "Alle", "Alle", "", "07", "Ergebnis", "Ergebnisliste",
                 "Platz,Reiter,Zeit"},
                {"Ziel", "Alle", "Alle", "Alle", "Alle", "", "05", "../Ziel", "DurchZiel", "Zeit"},
            }));
    }
    QString Out() const { return Path("ausgabe"); }
    std::string OutFile(const QString& name) const { return ReadBytes(Out() + "/" + name); }

    // Starts a sender on a free port; the port, empty when it did not start.
    std::string StartSimulate(std::unique_ptr<Tool>& sim, const QString& show,
                              const QString& port = "0") {
        sim = std::make_unique<Tool>(
            QStringList{"simulate", "--listen", "127.0.0.1:" + port, "--show", show});
        return sim->WaitForLine("lauscht auf 127\\.0\\.0\\.1:(\\d+)$");
    }

    std::unique_ptr<Tool> StartReceive(const std::string& port, QStringList extra) {
        return std::make_unique<Tool>(
            QStringList{"receive", "--connect", "127.0.0.1:" + QString::fromStdString(port),
                        "--template", Path("vorlage.json"), "--output", Out()} +
            extra);
    }
};

// The recorder sits between sender and receiver and must change nothing on the way.
TEST_F(ToolTest, AShowThroughSimulateRecordAndReceiveWritesTheTemplatesFiles) {
    const std::string ziel =
        R"({"Ereignis": {"Befehl": "Befehl", "Status": "Ziel", "Wert1": "", "Wert2": "", )"
        R"("Wert3": "", "Wert4": ""}, "DurchZiel": {"Zeit": "70.01"}})";
    const std::string unbekannt =
        R"({"Ereignis": {"Befehl": "Befehl", "Status": "Unbekannt", "Wert1": "", "Wert2": "", )"
        R"("Wert3": "", "Wert4": ""}})";
    WriteBytes(Path("show.jsonl"), "{\"at_ms\": 0, \"telegram\": " + kReiter101 + "}\n" +
                                       "{\"at_ms\": 5, \"telegram\": " + kAnzeigen + "}\n" +
                                       "{\"at_ms\": 10, \"telegram\": " + ziel + "}\n" + unbekannt +
                                       "\n" + "{\"at_ms\": 20, \"raw\": \"kein JSON\"}\n");
    std::unique_ptr<Tool> sim;
    const std::string simPort = StartSimulate(sim, Path("show.jsonl"));
    ASSERT_FALSE(simPort.empty()) << sim->Out() << sim->Err();
    Tool record({"record", "--connect", "127.0.0.1:" + QString::fromStdString(simPort), "--listen",
                 "127.0.0.1:0", "--show", Path("recorded.jsonl")});
    const std::string port = record.WaitForLine("lauscht auf 127\\.0\\.0\\.1:(\\d+),");
    ASSERT_FALSE(port.empty()) << record.Err();
    auto receive = StartReceive(port, {"--exit-on-disconnect"});

    ASSERT_EQ(sim->Finish(), 0) << sim->Err();
    ASSERT_EQ(receive->Finish(), 0) << receive->Err();
    ASSERT_FALSE(record.WaitForLine("Sender getrennt").empty());
    record.Terminate();
    ASSERT_EQ(record.Finish(), 0);

    EXPECT_EQ(OutFile("Reiter.txt"), kReiter101File);
    EXPECT_EQ(OutFile("Ergebnis.txt"), kErgebnisFile);
    EXPECT_EQ(OutFile("control.txt"),
              "LiveText_PageNo = 07\r\nLiveText_Play = 0\r\nLiveText_Play = 1\r\n");
    const std::string out = Out().toStdString();
    EXPECT_EQ(Normalized(receive->Out()),
              (Strings{
                  "warnung: Zeile 3: Dateiname nicht zulässig: ../Ziel",
                  "client: Verbinde mit 127.0.0.1:" + port,
                  "client: TCPClient TCPConnect - Socket: N",
                  TelegramLine(kReiter101),
                  "datei: " + out + "/Reiter.txt",
                  "datei: " + out + "/control.txt",
                  TelegramLine(kAnzeigen),
                  "datei: " + out + "/Ergebnis.txt",
                  "datei: " + out + "/control.txt",
                  TelegramLine(ziel),
                  "warnung: Dateiname nicht zulässig: ../Ziel",
                  TelegramLine(unbekannt),
                  "status: Falsche Abfragetext: " + unbekannt.substr(0, 100),
                  TelegramLine("kein JSON"),
                  "status: Fehler in der Datenauswertung!",
                  "client: TCPClient TCPDisConnect - Socket: N",
              }));
    EXPECT_FALSE(QFile::exists(Path("Ziel.txt")));
    EXPECT_NE(
        sim->Out().find("statistik: gesendet 5, quittiert 5, ohne Quittung 0, unterbrochen 0\n"),
        std::string::npos)
        << sim->Out();

    // The recorded show replays the same payloads. Its timing is real time, so only its shape
    // is checked: from 0, never going back.
    Strings lines = Lines(ReadBytes(Path("recorded.jsonl")));
    long previous = 0;
    for (std::string& line : lines) {
        const std::string head = "{\"at_ms\": ";
        ASSERT_EQ(line.rfind(head, 0), 0u) << line;
        const std::size_t comma = line.find(',');
        const long at = std::stol(line.substr(head.size(), comma - head.size()));
        EXPECT_GE(at, previous);
        EXPECT_TRUE(at == 0 || &line != &lines.front());
        previous = at;
        line = line.substr(comma);
    }
    EXPECT_EQ(lines, (Strings{", \"telegram\": " + kReiter101 + "}",
                              ", \"telegram\": " + kAnzeigen + "}", ", \"telegram\": " + ziel + "}",
                              ", \"telegram\": " + unbekannt + "}", ", \"raw\": \"kein JSON\"}"}));
}

TEST_F(ToolTest, TheReceiverReconnectsWhenTheSenderRestarts) {
    WriteBytes(Path("a.jsonl"), kReiter101 + "\n");
    WriteBytes(Path("b.jsonl"), Reiter("102", "Anna Schröder", "Ballerina") + "\n");
    std::unique_ptr<Tool> first;
    const std::string port = StartSimulate(first, Path("a.jsonl"));
    ASSERT_FALSE(port.empty());
    auto receive = StartReceive(port, {"--reconnect", "0.1"});
    ASSERT_EQ(first->Finish(), 0);
    EXPECT_EQ(OutFile("Reiter.txt"), kReiter101File);
    ASSERT_FALSE(receive->WaitForLine("TCPDisConnect").empty());

    // The same port again, as a scoring sender that was restarted.
    std::unique_ptr<Tool> second;
    ASSERT_EQ(StartSimulate(second, Path("b.jsonl"), QString::fromStdString(port)), port);
    ASSERT_EQ(second->Finish(), 0);
    EXPECT_EQ(OutFile("Reiter.txt"),
              "AktReiter.StartNr = 102\r\nAktReiter.Reiter = Anna Schr\xF6"
              "der\r\n"
              "AktReiter.Pferd = Ballerina\r\nPruefung.Titel = Gro\xDF"
              "er Preis\r\n");

    // SIGTERM ends the receiver cleanly.
    receive->Terminate();
    ASSERT_EQ(receive->Finish(), 0);
    std::size_t connects = 0;
    for (const std::string& line : Lines(receive->Out()))
        connects += line.rfind("client: TCPClient TCPConnect", 0) == 0;
    EXPECT_EQ(connects, 2u) << receive->Out();
}

TEST_F(ToolTest, AGarbledFrameOrAnUnwritableFileIsLoggedAndTheShowGoesOn) {
    // ASCII only: this sender writes the bytes as they are, without the code page.
    const std::string reiter = Reiter("105", "Marie Niemeyer", "Cassiopeia", "Grosser Preis");
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    auto receive = StartReceive(std::to_string(server.serverPort()), {"--exit-on-disconnect"});
    ASSERT_TRUE(server.waitForNewConnection(kToolWaitMs));
    QTcpSocket* socket = server.nextPendingConnection();
    // Sends bytes and returns the receiver's answer.
    auto send = [&](const std::string& bytes) {
        socket->write(bytes.data(), static_cast<qint64>(bytes.size()));
        socket->waitForBytesWritten(kToolWaitMs);
        std::string answer;
        while (answer.size() < 12 && socket->waitForReadyRead(kToolWaitMs))
            answer += socket->readAll().toStdString();
        return answer;
    };

    ASSERT_TRUE(QDir(Out()).removeRecursively());
    EXPECT_EQ(send(Prefix(reiter.size() + 10) + reiter), "0000000012OK");
    EXPECT_EQ(send("HALLO WELT"), "0000000012OK");
    ASSERT_TRUE(QDir().mkpath(Out()));
    EXPECT_EQ(send(Prefix(reiter.size() + 10) + reiter), "0000000012OK");
    socket->disconnectFromHost();
    ASSERT_EQ(receive->Finish(), 0);

    EXPECT_EQ(OutFile("Reiter.txt"),
              "AktReiter.StartNr = 105\r\nAktReiter.Reiter = Marie Niemeyer\r\n"
              "AktReiter.Pferd = Cassiopeia\r\nPruefung.Titel = Grosser Preis\r\n");
    const std::string out = Out().toStdString();
    EXPECT_EQ(Normalized(receive->Out()),
              (Strings{
                  "warnung: Zeile 3: Dateiname nicht zulässig: ../Ziel",
                  "client: Verbinde mit 127.0.0.1:" + std::to_string(server.serverPort()),
                  "client: TCPClient TCPConnect - Socket: N",
                  TelegramLine(reiter),
                  "warnung: Datei nicht geschrieben: " + out + "/Reiter.txt - <Grund>",
                  "client: Fehlerhafter Rahmen",
                  "client: HALLO WELT",
                  TelegramLine(reiter),
                  "datei: " + out + "/Reiter.txt",
                  "datei: " + out + "/control.txt",
                  "client: TCPClient TCPDisConnect - Socket: N",
              }));
}

TEST_F(ToolTest, AQuietLinkIsReportedOnceAndStaysConnected) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    auto receive = StartReceive(std::to_string(server.serverPort()),
                                {"--stale", "0.3", "--exit-on-disconnect"});
    ASSERT_TRUE(server.waitForNewConnection(kToolWaitMs));
    QTcpSocket* socket = server.nextPendingConnection();
    EXPECT_FALSE(receive->WaitForLine("^status: Seit \\d+ s kein Telegramm!$").empty());
    const std::string reiter = Reiter("105", "Marie Niemeyer", "Cassiopeia", "Grosser Preis");
    const std::string frame = Prefix(reiter.size() + 10) + reiter;
    socket->write(frame.data(), static_cast<qint64>(frame.size()));
    EXPECT_FALSE(receive->WaitForLine("^status: Wieder ein Telegramm nach \\d+ s$").empty());
    EXPECT_EQ(socket->state(), QAbstractSocket::ConnectedState);
    socket->disconnectFromHost();
    ASSERT_EQ(receive->Finish(), 0);
    // Once per quiet spell, however long it lasts.
    std::size_t stale = 0;
    for (const std::string& line : Lines(receive->Out())) {
        if (line.rfind("status: Wieder", 0) == 0)
            break;
        stale += line.rfind("status: Seit", 0) == 0;
    }
    EXPECT_EQ(stale, 1u) << receive->Out();
}

TEST_F(ToolTest, EachCommandSaysWhatIsWrongWithItsInput) {
    WriteBytes(Path("kaputt.json"), "{\"Vorlage\": ");
    const QString good = Path("vorlage.json");
    const QString fehlt = Path("fehlt.json");
    const std::string keineDatei = PathText("fehlt.json") + ": No such file or directory";
    const QStringList receive = {"receive", "--connect", "127.0.0.1:3020", "--output", Out()};
    struct Row {
        QStringList args;
        std::string err;  // the first line on standard error
    };
    const std::vector<Row> rows = {
        {{"receive", "--connect", "localhost", "--template", good, "--output", Out()},
         "zelmo receive: --connect: \"localhost\" ist keine Adresse HOST:PORT mit Port 1 bis "
         "65535"},
        {{"receive", "--connect", "127.0.0.1:3020", "--template", good, "--output", Path("fehlt")},
         "zelmo receive: Ausgabeordner \"" + PathText("fehlt") + "\" nicht gefunden"},
        {receive + QStringList{"--template", Path("kaputt.json")},
         "zelmo receive: " + PathText("kaputt.json") + ": JSON Auswertefehler"},
        {receive + QStringList{"--template", good, "--reconnect", "0"},
         "zelmo receive: --reconnect: \"0\" ist keine Sekundenzahl von 0.05 bis 86400"},
        {receive + QStringList{"--template", good, "--stale", "x"},
         "zelmo receive: --stale: \"x\" ist keine Sekundenzahl von 0.05 bis 86400"},
        {receive + QStringList{"--template", fehlt}, "zelmo receive: " + keineDatei},
        {receive + QStringList{"--template", good, "--bogus"},
         "zelmo receive: unbekannte Option --bogus"},
        {{"receive", "--connect"}, "zelmo receive: --connect: Wert fehlt"},
        {{"template", "check", fehlt}, "zelmo template check: " + keineDatei},
        {{"template", "format", fehlt}, "zelmo template format: " + keineDatei},
        {{"simulate", "--listen", "127.0.0.1:0", "--show", fehlt}, "zelmo simulate: " + keineDatei},
        {{"simulate", "--listen", "127.0.0.1:0", "--show", good},
         "zelmo simulate: " + PathText("vorlage.json") +
             ": das ist eine Vorlage, keine Show (Telegramme als JSON Lines erwartet)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.err);
        Tool tool(row.args);
        EXPECT_EQ(tool.Finish(), 2);
        EXPECT_EQ(Lines(tool.Err()).front(), row.err);
        EXPECT_EQ(tool.Out(), "");
    }
}

TEST_F(ToolTest, BenchMeasuresARealReceiver) {
    Tool bench({"bench", "--count", "30"});
    ASSERT_EQ(bench.Finish(), 0) << bench.Err();
    const Strings lines = Lines(bench.Out());
    ASSERT_EQ(lines.size(), 6u) << bench.Out();
    EXPECT_EQ(lines[0].rfind("bench: Telegramm ", 0), 0u);
    EXPECT_NE(lines[0].find(" Bytes, 30 Durchläufe nach 20 zum Aufwärmen"), std::string::npos);
    EXPECT_EQ(lines[1].rfind("rundlauf: median ", 0), 0u);
    // The floor wrote both of the receiver's files.
    EXPECT_EQ(lines[2].rfind("untergrenze: median ", 0), 0u);
    EXPECT_NE(lines[2].find("(zusammensetzen, 2 Dateien ersetzen, quittieren)"), std::string::npos);
    EXPECT_EQ(lines[3].rfind("verhältnis: median ", 0), 0u);
    EXPECT_EQ(lines[4].rfind("durchsatz: ", 0), 0u);
    EXPECT_EQ(lines[5].rfind("speicher des Empfängers: ", 0), 0u);
    EXPECT_EQ(lines[5].find("nicht verfügbar"), std::string::npos);
}

}  // namespace
}  // namespace zelmo::test
