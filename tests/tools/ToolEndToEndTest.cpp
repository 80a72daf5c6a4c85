// The tool end to end over loopback: simulate -> receive, a restarted sender, a garbled
// frame, record in between, the benchmark, and the receiver's refusals.

#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>

#include <cstdio>
#include <string>
#include <vector>

#include "ToolProcess.h"

namespace zelmo::test {
namespace {

// Characters of UTF-8 text: what the code page makes of it in bytes.
std::size_t Chars(const std::string& utf8) {
    std::size_t n = 0;
    for (const char c : utf8)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

std::string FirstChars(const std::string& utf8, std::size_t count) {
    std::size_t pos = 0;
    for (std::size_t n = 0; pos < utf8.size(); ++pos) {
        if ((static_cast<unsigned char>(utf8[pos]) & 0xC0) != 0x80 && n++ == count)
            break;
    }
    return utf8.substr(0, pos);
}

std::string Prefix(std::size_t total) {
    char text[11];
    std::snprintf(text, sizeof text, "%010zu", total);
    return text;
}

// The frame of an ASCII payload, built here independently of the tool.
std::string Framed(const std::string& ascii) {
    return Prefix(ascii.size() + 10) + ascii;
}

// The telegram log line of a payload: the first 100 characters of its frame.
std::string TelegramLine(const std::string& payload) {
    return "telegramm: " + FirstChars(Prefix(Chars(payload) + 10) + payload, 100);
}

std::string Zeile(const std::vector<std::string>& v) {
    static const char* kNames[] = {"Ereignis", "Turnierart", "Unterauswahl1", "Unterauswahl2",
                                   "Umlauf",   "Reserve",    "Seite",         "Dateiname",
                                   "Tabelle",  "Feld"};
    std::string out = "{";
    for (std::size_t i = 0; i < 10; ++i)
        out += std::string(i ? ", " : "") + "\"" + kNames[i] + "\": \"" + v[i] + "\"";
    return out + "}";
}

std::string VorlageText(const std::vector<std::vector<std::string>>& zeilen) {
    std::string out = "{\"Vorlage\" : {\"Zeilen\" :[";
    for (std::size_t i = 0; i < zeilen.size(); ++i)
        out += Zeile(zeilen[i]) + (i + 1 < zeilen.size() ? ", " : " ");
    return out + "]} ,\"Ausgabeformat\" : [{\"Type\": \"OptLiveText\",\"Trenner\" : \",\"}]}\r\n";
}

const std::string kVorlage = VorlageText({
    {"Reiter Neu", "Alle", "Alle", "Alle", "Alle", "", "03", "Reiter", "AktReiter*Pruefung",
     "StartNr,Reiter,Pferd*Titel"},
    {"Anzeigen", "Alle", "Alle", "Alle", "Alle", "", "07", "Ergebnis", "Ergebnisliste",
     "Platz,Reiter,Zeit"},
    {"Ziel", "Alle", "Alle", "Alle", "Alle", "", "05", "", "DurchZiel", "Zeit"},
});

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
const std::string kZiel =
    R"({"Ereignis": {"Befehl": "Befehl", "Status": "Ziel", "Wert1": "", "Wert2": "", )"
    R"("Wert3": "", "Wert4": ""}, "DurchZiel": {"Zeit": "70.01"}})";
const std::string kUnbekannt =
    R"({"Ereignis": {"Befehl": "Befehl", "Status": "Unbekannt", "Wert1": "", "Wert2": "", )"
    R"("Wert3": "", "Wert4": ""}})";
const std::string kControl07 = "LiveText_PageNo = 07\r\nLiveText_Play = 0\r\nLiveText_Play = 1\r\n";
const std::string kControl03 = "LiveText_PageNo = 03\r\nLiveText_Play = 0\r\nLiveText_Play = 1\r\n";

// Socket numbers differ from run to run.
std::vector<std::string> Normalized(const std::string& log) {
    std::vector<std::string> lines = Lines(log);
    for (std::string& line : lines) {
        const std::size_t pos = line.find("Socket: ");
        if (pos != std::string::npos)
            line = line.substr(0, pos) + "Socket: N";
    }
    return lines;
}

class ToolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApp();
        ASSERT_TRUE(temp_.isValid());
        ASSERT_TRUE(QDir().mkpath(Out()));
        WriteBytes(Path("vorlage.json"), kVorlage);
    }
    QString Path(const QString& name) const { return temp_.filePath(name); }
    QString Out() const { return temp_.filePath("ausgabe"); }
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

    QTemporaryDir temp_;
};

TEST_F(ToolTest, AShowThroughSimulateAndReceiveWritesTheTemplatesFiles) {
    WriteBytes(Path("show.jsonl"), "{\"at_ms\": 0, \"telegram\": " + kReiter101 + "}\n" +
                                       "{\"at_ms\": 5, \"telegram\": " + kAnzeigen + "}\n" +
                                       "{\"at_ms\": 10, \"telegram\": " + kZiel + "}\n" +
                                       kUnbekannt + "\n" +
                                       "{\"at_ms\": 20, \"raw\": \"kein JSON\"}\n");
    std::unique_ptr<Tool> sim;
    const std::string port = StartSimulate(sim, Path("show.jsonl"));
    ASSERT_FALSE(port.empty()) << sim->Out() << sim->Err();
    auto receive = StartReceive(port, {"--exit-on-disconnect"});

    ASSERT_EQ(sim->Finish(), 0) << sim->Err();
    ASSERT_EQ(receive->Finish(), 0) << receive->Err();

    EXPECT_EQ(OutFile("Reiter.txt"), kReiter101File);
    EXPECT_EQ(OutFile("Ergebnis.txt"), kErgebnisFile);
    EXPECT_EQ(OutFile("control.txt"), kControl07);
    const std::string out = Out().toStdString();
    EXPECT_EQ(Normalized(receive->Out()),
              (std::vector<std::string>{
                  "client: Verbinde mit 127.0.0.1:" + port,
                  "client: TCPClient TCPConnect - Socket: N",
                  TelegramLine(kReiter101),
                  "datei: " + out + "/Reiter.txt",
                  "datei: " + out + "/control.txt",
                  TelegramLine(kAnzeigen),
                  "datei: " + out + "/Ergebnis.txt",
                  "datei: " + out + "/control.txt",
                  TelegramLine(kZiel),
                  "warnung: Kein Dateiname angegeben!",
                  TelegramLine(kUnbekannt),
                  "status: Falsche Abfragetext: " + FirstChars(kUnbekannt, 100),
                  TelegramLine("kein JSON"),
                  "status: Fehler in der Datenauswertung!",
                  "client: TCPClient TCPDisConnect - Socket: N",
              }));
    EXPECT_NE(
        sim->Out().find("statistik: gesendet 5, quittiert 5, ohne Quittung 0, unterbrochen 0\n"),
        std::string::npos)
        << sim->Out();
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

// Our own sender in this process: sends bytes and returns the receiver's answer.
std::string SendAndAwaitAnswer(QTcpSocket& socket, const std::string& bytes) {
    socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
    socket.waitForBytesWritten(kToolWaitMs);
    std::string answer;
    while (answer.size() < 12 && socket.waitForReadyRead(kToolWaitMs))
        answer += socket.readAll().toStdString();
    return answer;
}

TEST_F(ToolTest, AGarbledFrameIsAnsweredAndTheShowGoesOn) {
    // ASCII only: this sender writes the bytes as they are, without the code page.
    const std::string reiter = Reiter("105", "Marie Niemeyer", "Cassiopeia", "Grosser Preis");
    const std::string anzeigen =
        R"({"Ereignis": {"Befehl": "Befehl", "Status": "Anzeigen", "Wert1": "", "Wert2": "", )"
        R"("Wert3": "", "Wert4": ""}, "Ergebnisliste": {"Records": [{"Platz": "1", )"
        R"("Reiter": "Marie Niemeyer", "Zeit": "70.00"}], "Nr0": 105}})";
    struct Row {
        const char* name;
        std::string garbage;
        std::string logged;
    };
    const std::vector<Row> rows = {
        {"text without a prefix", "HALLO WELT", "client: HALLO WELT"},
        {"a prefix announcing less than itself", "0000000005", "client: 0000000005"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QDir(Out()).removeRecursively();
        QDir().mkpath(Out());
        QTcpServer server;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        auto receive = StartReceive(std::to_string(server.serverPort()), {"--exit-on-disconnect"});
        ASSERT_TRUE(server.waitForNewConnection(kToolWaitMs));
        QTcpSocket* socket = server.nextPendingConnection();

        EXPECT_EQ(SendAndAwaitAnswer(*socket, Framed(reiter)), "0000000012OK");
        EXPECT_EQ(SendAndAwaitAnswer(*socket, row.garbage), "0000000012OK");
        EXPECT_EQ(SendAndAwaitAnswer(*socket, Framed(anzeigen)), "0000000012OK");
        socket->disconnectFromHost();
        ASSERT_EQ(receive->Finish(), 0);

        EXPECT_EQ(OutFile("Reiter.txt"),
                  "AktReiter.StartNr = 105\r\nAktReiter.Reiter = Marie Niemeyer\r\n"
                  "AktReiter.Pferd = Cassiopeia\r\nPruefung.Titel = Grosser Preis\r\n");
        EXPECT_EQ(OutFile("Ergebnis.txt"),
                  "Ergebnisliste.Platz_0 = 1\r\nErgebnisliste.Reiter_0 = Marie Niemeyer\r\n"
                  "Ergebnisliste.Zeit_0 = 70.00\r\n");
        const std::vector<std::string> log = Normalized(receive->Out());
        const std::vector<std::string> garbled = {"client: Fehlerhafter Rahmen", row.logged};
        EXPECT_NE(std::search(log.begin(), log.end(), garbled.begin(), garbled.end()), log.end())
            << receive->Out();
    }
}

TEST_F(ToolTest, OutputThatCannotBeWrittenIsLoggedAndTheLinkGoesOn) {
    const std::string reiter = Reiter("105", "Marie Niemeyer", "Cassiopeia", "Grosser Preis");
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    auto receive = StartReceive(std::to_string(server.serverPort()), {"--exit-on-disconnect"});
    ASSERT_TRUE(server.waitForNewConnection(kToolWaitMs));
    QTcpSocket* socket = server.nextPendingConnection();

    ASSERT_TRUE(QDir(Out()).removeRecursively());
    EXPECT_EQ(SendAndAwaitAnswer(*socket, Framed(reiter)), "0000000012OK");
    ASSERT_TRUE(QDir().mkpath(Out()));
    EXPECT_EQ(SendAndAwaitAnswer(*socket, Framed(reiter)), "0000000012OK");
    socket->disconnectFromHost();
    ASSERT_EQ(receive->Finish(), 0);

    // The system's reason follows the file name; its wording is the system's.
    const std::string out = Out().toStdString();
    std::vector<std::string> log = Normalized(receive->Out());
    for (std::string& line : log) {
        const std::size_t reason = line.find(".txt - ");
        if (line.rfind("warnung: ", 0) == 0 && reason != std::string::npos)
            line = line.substr(0, reason + 7) + "<Grund>";
    }
    EXPECT_EQ(log, (std::vector<std::string>{
                       "client: Verbinde mit 127.0.0.1:" + std::to_string(server.serverPort()),
                       "client: TCPClient TCPConnect - Socket: N",
                       TelegramLine(reiter),
                       "warnung: Datei nicht geschrieben: " + out + "/Reiter.txt - <Grund>",
                       TelegramLine(reiter),
                       "datei: " + out + "/Reiter.txt",
                       "datei: " + out + "/control.txt",
                       "client: TCPClient TCPDisConnect - Socket: N",
                   }));
}

TEST_F(ToolTest, RecordPassesEverythingThroughAndWritesAReplayableShow) {
    WriteBytes(Path("show.jsonl"), "{\"at_ms\": 0, \"telegram\": " + kReiter101 + "}\n" +
                                       "{\"at_ms\": 30, \"raw\": \"kein JSON\"}\n" +
                                       "{\"at_ms\": 60, \"telegram\": " + kAnzeigen + "}\n");
    std::unique_ptr<Tool> sim;
    const std::string simPort = StartSimulate(sim, Path("show.jsonl"));
    ASSERT_FALSE(simPort.empty());
    Tool record({"record", "--connect", "127.0.0.1:" + QString::fromStdString(simPort), "--listen",
                 "127.0.0.1:0", "--show", Path("recorded.jsonl")});
    const std::string recordPort = record.WaitForLine("lauscht auf 127\\.0\\.0\\.1:(\\d+),");
    ASSERT_FALSE(recordPort.empty()) << record.Err();
    auto receive = StartReceive(recordPort, {"--exit-on-disconnect"});

    ASSERT_EQ(sim->Finish(), 0);
    ASSERT_EQ(receive->Finish(), 0);
    ASSERT_FALSE(record.WaitForLine("Sender getrennt").empty());
    record.Terminate();
    ASSERT_EQ(record.Finish(), 0);

    EXPECT_EQ(OutFile("Reiter.txt"), kReiter101File);
    EXPECT_EQ(OutFile("Ergebnis.txt"), kErgebnisFile);
    EXPECT_NE(sim->Out().find("quittiert 3, ohne Quittung 0"), std::string::npos);

    // The timing is real time, so only its shape is checked: from 0, never going back.
    std::vector<std::string> lines = Lines(ReadBytes(Path("recorded.jsonl")));
    ASSERT_EQ(lines.size(), 3u);
    long previous = -1;
    for (std::string& line : lines) {
        const std::string head = "{\"at_ms\": ";
        ASSERT_EQ(line.rfind(head, 0), 0u) << line;
        const std::size_t comma = line.find(',');
        const long at = std::stol(line.substr(head.size(), comma - head.size()));
        EXPECT_GE(at, previous);
        EXPECT_TRUE(previous >= 0 || at == 0);
        previous = at;
        line = line.substr(comma);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{", \"telegram\": " + kReiter101 + "}",
                                               ", \"raw\": \"kein JSON\"}",
                                               ", \"telegram\": " + kAnzeigen + "}"}));
}

TEST_F(ToolTest, TheReceiverRefusesWhatItCannotUse) {
    WriteBytes(Path("kaputt.json"), "{\"Vorlage\": ");
    WriteBytes(Path("fremd.json"), "{\"Andere\": 1}");
    WriteBytes(Path("leer.json"), "{\"Vorlage\": {\"Zeilen\": []}}");
    struct Row {
        const char* name;
        QStringList args;
        std::string err;
    };
    const QString out = Out();
    const QString good = Path("vorlage.json");
    const std::vector<Row> rows = {
        {"a host without a port",
         {"--connect", "localhost", "--template", good, "--output", out},
         "zelmo receive: --connect: \"localhost\" ist keine Adresse HOST:PORT mit Port 1 bis "
         "65535\n"},
        {"port 0",
         {"--connect", "127.0.0.1:0", "--template", good, "--output", out},
         "zelmo receive: --connect: \"127.0.0.1:0\" ist keine Adresse HOST:PORT mit Port 1 bis "
         "65535\n"},
        {"no output folder",
         {"--connect", "127.0.0.1:3020", "--template", good, "--output", Path("fehlt")},
         "zelmo receive: Ausgabeordner \"" + Path("fehlt").toStdString() + "\" nicht gefunden\n"},
        {"template not JSON",
         {"--connect", "127.0.0.1:3020", "--template", Path("kaputt.json"), "--output", out},
         "zelmo receive: " + Path("kaputt.json").toStdString() + ": JSON Auswertefehler\n"},
        {"not a template",
         {"--connect", "127.0.0.1:3020", "--template", Path("fremd.json"), "--output", out},
         "zelmo receive: " + Path("fremd.json").toStdString() +
             ": Keine LiveText Datei! Key Vorlage fehlt!\n"},
        {"a template without lines",
         {"--connect", "127.0.0.1:3020", "--template", Path("leer.json"), "--output", out},
         "zelmo receive: " + Path("leer.json").toStdString() +
             ": Keine Ausgabezeilen vorhanden!\n"},
        {"a template that does not exist",
         {"--connect", "127.0.0.1:3020", "--template", Path("nirgends.json"), "--output", out},
         "zelmo receive: " + Path("nirgends.json").toStdString() + ": JSON Auswertefehler\n"},
        {"a reconnect interval of zero",
         {"--connect", "127.0.0.1:3020", "--template", good, "--output", out, "--reconnect", "0"},
         "zelmo receive: --reconnect: \"0\" ist keine Sekundenzahl von 0.05 bis 86400\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Tool receive(QStringList{"receive"} + row.args);
        EXPECT_EQ(receive.Finish(), 2);
        EXPECT_EQ(receive.Err(), row.err);
        EXPECT_EQ(receive.Out(), "");
    }
}

TEST_F(ToolTest, BenchMeasuresARealReceiver) {
    Tool bench({"bench", "--count", "30"});
    ASSERT_EQ(bench.Finish(), 0) << bench.Err();
    const std::vector<std::string> lines = Lines(bench.Out());
    ASSERT_EQ(lines.size(), 4u) << bench.Out();
    EXPECT_EQ(lines[0].rfind("bench: Telegramm ", 0), 0u);
    EXPECT_NE(lines[0].find(" Bytes, 30 Durchläufe nach 20 zum Aufwärmen"), std::string::npos);
    EXPECT_EQ(lines[1].rfind("rundlauf: median ", 0), 0u);
    EXPECT_EQ(lines[2].rfind("durchsatz: ", 0), 0u);
    EXPECT_EQ(lines[3].rfind("speicher des Empfängers: ", 0), 0u);
    EXPECT_EQ(lines[3].find("nicht verfügbar"), std::string::npos);
}

}  // namespace
}  // namespace zelmo::test
