// The built `zelmo` end to end: a show through simulate, record and receive; a link that goes
// quiet, breaks and is lost; the receiver's logs, recording, service protocol and metrics; the
// benchmark; the template commands; what each command refuses.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ToolProcess.h"
#include "journal/Show.h"
#include "link/Frame.h"

namespace zelmo::test {
namespace {

const std::string kReiterNeu =
    R"({"Ereignis": {"Befehl": "Befehl", "Status": "ReiterNeu", "Wert1": "", "Wert2": "", )"
    R"("Wert3": "", "Wert4": ""}, "AktReiter": {"Records": [{"StartNr": "101", "Reiter": )"
    R"("Jürgen Müller", "Pferd": "Quintus Ö"}]}, "Pruefung": {"Records": [{"Titel": )"
    R"("Großer Preis"}]}})";

// The scoring sender's side, held by the test: one receiver connects to it.
class TestSender {
  public:
    explicit TestSender(quint16 port = 0) { server_.listen(QHostAddress::LocalHost, port); }
    std::string Port() const { return std::to_string(server_.serverPort()); }
    bool Accept() {
        if (!server_.waitForNewConnection(kToolWaitMs))
            return false;
        socket_ = server_.nextPendingConnection();
        return socket_ != nullptr;
    }
    // Sends bytes; the receiver's answer.
    std::string Send(const std::string& bytes) {
        socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
        std::string answer;
        while (answer.size() < 12 && socket_->waitForReadyRead(kToolWaitMs))
            answer += socket_->readAll().toStdString();
        return answer;
    }
    QTcpServer& Server() { return server_; }
    QTcpSocket* Socket() { return socket_; }

  private:
    QTcpServer server_;
    QTcpSocket* socket_ = nullptr;
};

// Each file of a folder with its bytes.
std::map<std::string, std::string> Folder(const std::string& path) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(path)) {
        std::ifstream in(e.path(), std::ios::binary);
        files[e.path().filename().string()] = {std::istreambuf_iterator<char>(in), {}};
    }
    return files;
}

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
        kReiterNeu,
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
    Tool receive(Receive(port) << "--exit-on-disconnect"
                               << "--no-timestamps"
                               << "--record-dir" << Path("mitschnitt"));
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
    // The receiver's own recording, named after the day, holds them as well.
    const auto recordings = Folder(dir_.File("mitschnitt"));
    ASSERT_EQ(recordings.size(), 1u);
    EXPECT_THAT(recordings.begin()->first,
                testing::MatchesRegex("[0-9]{4}-[0-9]{2}-[0-9]{2}\\.jsonl"));
    std::vector<std::string> kept;
    for (const ShowTelegram& t : ParseShow(recordings.begin()->second))
        kept.push_back(t.payload);
    EXPECT_EQ(kept, show);

    // That recording played into a second receiver writes the same files, byte for byte.
    ASSERT_TRUE(std::filesystem::create_directory(dir_.File("zweite")));
    Tool replay({"simulate", "--listen", "127.0.0.1:0", "--show",
                 Path("mitschnitt/" + recordings.begin()->first), "--interval", "0"});
    const std::string replayPort = replay.WaitForLine("lauscht auf 127\\.0\\.0\\.1:(\\d+)$");
    ASSERT_FALSE(replayPort.empty()) << replay.Err();
    QStringList second = Receive(replayPort);
    second.last() = Path("zweite");
    Tool receive2(second << "--exit-on-disconnect");
    ASSERT_EQ(replay.Finish(), 0) << replay.Err();
    ASSERT_EQ(receive2.Finish(), 0) << receive2.Err();
    EXPECT_EQ(Folder(dir_.File("zweite")), Folder(dir_.File("ausgabe")));
}

// A quiet link is reported and stays up; when the log folder vanishes mid-show the output and
// the acknowledgements go on and the log says so once; a restarted sender is connected again;
// SIGTERM ends the receiver cleanly. Every line on standard output is stamped, as in the log.
TEST_F(ToolTest, TheReceiverRidesOutQuietAndLostLinksAndALostLog) {
    TestSender sender;
    Tool receive(Receive(sender.Port()) + QStringList{"--stale", "0.3", "--reconnect", "0.1",
                                                      "--log-dir", Path("protokolle")});
    ASSERT_TRUE(sender.Accept());
    EXPECT_FALSE(receive.WaitForLine(" status: Seit \\d+ s kein Telegramm!$").empty());
    const std::string frame = EncodeFrame(kReiterNeu);
    EXPECT_EQ(sender.Send(frame), "0000000012OK");
    EXPECT_FALSE(receive.WaitForLine(" status: Wieder ein Telegramm nach \\d+ s$").empty());
    ASSERT_FALSE(receive.WaitForLine(" datei: .*control\\.txt$").empty());
    const auto logs = Folder(dir_.File("protokolle"));
    ASSERT_EQ(logs.size(), 1u);
    std::filesystem::remove_all(dir_.File("protokolle"));
    std::filesystem::remove(dir_.File("ausgabe/Reiter.txt"));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(sender.Send(frame), "0000000012OK") << i;
    ASSERT_FALSE(receive.WaitForLine("(?:control\\.txt\\n[\\s\\S]*?){4}").empty());
    EXPECT_TRUE(std::filesystem::exists(dir_.File("ausgabe/Reiter.txt")));
    // The sender restarts on its port.
    QTcpServer& server = sender.Server();
    const quint16 port = server.serverPort();
    server.close();
    sender.Socket()->disconnectFromHost();
    EXPECT_FALSE(receive.WaitForLine(" client: Konnte nicht mit .+ verbinden!$").empty());
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, port));
    ASSERT_TRUE(server.waitForNewConnection(kToolWaitMs));
    receive.Terminate();
    EXPECT_EQ(receive.Finish(), 0);

    const std::string out = receive.Out();
    const QRegularExpression stamped(
        "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} "
        "(telegramm|client|status|warnung|datei): ");
    int warnings = 0;
    for (const QString& line : QString::fromStdString(out).split('\n', Qt::SkipEmptyParts)) {
        EXPECT_TRUE(stamped.match(line).hasMatch()) << line.toStdString();
        warnings += line.contains(" warnung: Protokolldatei ") ? 1 : 0;
    }
    EXPECT_EQ(warnings, 1) << out;
    EXPECT_THAT(out, testing::HasSubstr(" kann nicht geschrieben werden: "));
    EXPECT_TRUE(out.starts_with(logs.begin()->second)) << logs.begin()->second;
}

// systemd's side of the protocol: a datagram socket that collects the receiver's messages.
TEST_F(ToolTest, TheReceiverTellsTheServiceManagerItsState) {
    const std::string path = dir_.File("notify");
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof address.sun_path);
    std::copy(path.begin(), path.end(), address.sun_path);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    std::vector<std::string> messages;
    const auto collect = [&](const std::string& until) {
        for (QDeadlineTimer deadline(kToolWaitMs); !deadline.hasExpired();) {
            char buffer[4096];
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                QThread::msleep(5);
                continue;
            }
            messages.emplace_back(buffer, static_cast<std::size_t>(n));
            if (messages.back() == until)
                return true;
        }
        return false;
    };

    TestSender sender;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("NOTIFY_SOCKET", QString::fromStdString(path));
    env.insert("WATCHDOG_USEC", "100000");
    // The template's second line is refused: one warning from the start.
    Tool receive(Receive(sender.Port()), env);
    ASSERT_TRUE(sender.Accept());
    const std::string link = "127.0.0.1:" + sender.Port();
    const std::string connected = "STATUS=Verbunden mit " + link + "; Telegramme: ";
    ASSERT_TRUE(collect(connected + "0, fehlerhafte Rahmen: 0, Warnungen: 1"));
    EXPECT_EQ(sender.Send(EncodeFrame(kReiterNeu)), "0000000012OK");
    ASSERT_TRUE(collect(connected + "1, fehlerhafte Rahmen: 0, Warnungen: 1"));
    // A few heartbeats at half the watchdog's time.
    const std::size_t beats = messages.size() + 3;
    while (messages.size() < beats && collect("WATCHDOG=1")) {
    }
    receive.Terminate();
    ASSERT_TRUE(collect("STOPPING=1"));
    EXPECT_EQ(receive.Finish(), 0);
    ::close(fd);

    std::vector<std::string> states;
    for (const std::string& m : messages) {
        if (m != "WATCHDOG=1")
            states.push_back(m);
    }
    EXPECT_EQ(states, (std::vector<std::string>{
                          "READY=1\nSTATUS=Keine Verbindung zu " + link +
                              "; Telegramme: 0, fehlerhafte Rahmen: 0, Warnungen: 1",
                          connected + "0, fehlerhafte Rahmen: 0, Warnungen: 1",
                          connected + "1, fehlerhafte Rahmen: 0, Warnungen: 1", "STOPPING=1"}));
    EXPECT_GE(messages.size(), states.size() + 3);
}

// Read as a collector reads it, again and again while the show runs.
TEST_F(ToolTest, TheMetricsFileIsReplacedEverySecondWithGrowingCounters) {
    TestSender sender;
    Tool receive(Receive(sender.Port()) + QStringList{"--metrics-file", Path("zelmo.prom"),
                                                      "--record-dir", Path("mitschnitt")});
    ASSERT_TRUE(sender.Accept());
    const std::vector<std::pair<std::string, std::string>> names = {
        {"zelmo_connected", "gauge"},
        {"zelmo_seconds_since_last_telegram", "gauge"},
        {"zelmo_telegrams_total", "counter"},
        {"zelmo_acknowledgements_total", "counter"},
        {"zelmo_garbled_runs_total", "counter"},
        {"zelmo_files_written_total", "counter"},
        {"zelmo_warnings_total", "counter"},
        {"zelmo_recorder_bytes_total", "counter"},
    };
    const std::string labels =
        "{sender=\"127.0.0.1:" + sender.Port() + "\",output=\"" + dir_.File("ausgabe") + "\"} ";
    std::map<std::string, double> last;
    // Each read: HELP, TYPE and one sample per figure, in order; counters never go back.
    const auto read = [&] {
        std::map<std::string, double> values;
        const QStringList lines = QString::fromStdString(dir_.Read("zelmo.prom")).split('\n');
        EXPECT_EQ(lines.size(), 3 * static_cast<qsizetype>(names.size()) + 1);
        for (std::size_t i = 0; i < names.size() && 3 * i + 2 < std::size_t(lines.size()); ++i) {
            const auto& [name, type] = names[i];
            EXPECT_TRUE(lines[3 * i].startsWith(QString::fromStdString("# HELP " + name + " ")));
            EXPECT_EQ(lines[3 * i + 1].toStdString(), "# TYPE " + name + " " + type);
            const std::string sample = lines[3 * i + 2].toStdString();
            EXPECT_TRUE(sample.starts_with(name + labels)) << sample;
            values[name] = std::stod(sample.substr(sample.rfind(' ') + 1));
            if (type == "counter") {
                EXPECT_GE(values[name], last[name]) << name;
            }
        }
        last = values;
        return values;
    };
    const auto until = [&](const std::string& name, double value) {
        for (QDeadlineTimer deadline(kToolWaitMs); !deadline.hasExpired(); QThread::msleep(100)) {
            if (std::filesystem::exists(dir_.File("zelmo.prom")) && read()[name] == value)
                return true;
        }
        return false;
    };
    ASSERT_TRUE(until("zelmo_connected", 1));
    EXPECT_EQ(sender.Send(EncodeFrame(kReiterNeu)), "0000000012OK");
    ASSERT_TRUE(until("zelmo_telegrams_total", 1));
    EXPECT_EQ(sender.Send("#"), "0000000012OK");
    EXPECT_EQ(sender.Send("0000000019kein JSON"), "0000000012OK");
    ASSERT_TRUE(until("zelmo_telegrams_total", 2));
    const auto values = read();
    EXPECT_EQ(values.at("zelmo_acknowledgements_total"), 3);
    EXPECT_EQ(values.at("zelmo_garbled_runs_total"), 1);
    EXPECT_EQ(values.at("zelmo_files_written_total"), 2);
    EXPECT_EQ(values.at("zelmo_warnings_total"), 1);  // the template's second line
    EXPECT_GT(values.at("zelmo_recorder_bytes_total"), 200);
    EXPECT_LT(values.at("zelmo_seconds_since_last_telegram"), 5);
    sender.Socket()->disconnectFromHost();
    ASSERT_TRUE(until("zelmo_connected", 0));
    receive.Terminate();
    EXPECT_EQ(receive.Finish(), 0);
}

// Main and backup machines behind one relay, through the sample show: the primary killed
// mid-show, one frozen, one joining late; the sender is never held up and gets one
// acknowledgement per telegram.
TEST_F(ToolTest, ARelayFeedsEveryMachineAndNeverStallsTheSender) {
    quint16 senderPort = 0;
    {
        QTcpServer probe;  // a free port, where nothing listens until the relay runs
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        senderPort = probe.serverPort();
    }
    Tool relay({"relay", "--connect", QStringLiteral("127.0.0.1:%1").arg(senderPort), "--listen",
                "127.0.0.1:0", "--reconnect", "0.1", "--max-behind", "12", "--no-timestamps"});
    const std::string port = relay.WaitForLine("^relay: lauscht auf 127\\.0\\.0\\.1:(\\d+),");
    ASSERT_FALSE(port.empty()) << relay.Err();
    std::map<std::string, std::unique_ptr<Tool>> machines;
    int connected = 0;
    // Returns the number of telegrams it catches up with.
    const auto start = [&](const std::string& name) {
        std::filesystem::create_directory(dir_.File(name));
        machines[name] = std::make_unique<Tool>(
            QStringList{"receive", "--connect", QString::fromStdString("127.0.0.1:" + port),
                        "--template", ZELMO_DATA "/LiveText.json", "--output", Path(name),
                        "--exit-on-disconnect", "--no-timestamps"});
        return relay.WaitForLine(
            QStringLiteral("^relay: Empfänger %1 \\(.*\\) verbunden, (\\d+) ").arg(++connected));
    };
    // Waits until the machine has handled that many telegrams.
    const auto handled = [&](const char* name, std::size_t telegrams) {
        return machines[name]->WaitUntil([&](const std::string& out) {
            return QString::fromStdString(out).count(
                       QRegularExpression("^telegramm: ", QRegularExpression::MultilineOption)) ==
                   static_cast<qsizetype>(telegrams);
        });
    };
    // Connected in this order: p is the primary until it is killed.
    for (const char* name : {"p", "b", "c", "f"})
        ASSERT_EQ(start(name), "0") << name;

    TestSender sender(senderPort);
    ASSERT_TRUE(sender.Accept());
    std::ifstream sample(ZELMO_DATA "/show.jsonl", std::ios::binary);
    const auto show = ParseShow(std::string(std::istreambuf_iterator<char>(sample), {}));
    ASSERT_EQ(show.size(), 107u);
    std::size_t dCatchUp = 0;
    for (std::size_t i = 0; i < show.size(); ++i) {
        SCOPED_TRACE(i);
        if (i == 10)
            ::kill(static_cast<pid_t>(machines["f"]->Pid()), SIGSTOP);
        if (i == 40)
            ::kill(static_cast<pid_t>(machines["p"]->Pid()), SIGKILL);
        // After the jump-off's round data: the next "Anzeigen" page is the jump-off's only
        // for a receiver that caught up with it.
        const std::string catchUp = i == 91 ? start("d") : "";
        ASSERT_TRUE(i != 91 || !catchUp.empty());
        QElapsedTimer took;
        took.start();
        ASSERT_EQ(sender.Send(EncodeFrame(show[i].payload)), kAckFrame);
        EXPECT_LT(took.elapsed(), 2000);
        // The sender waits for the primary only; backups that share its cores may drift
        // behind it, but not as far as the limit.
        if (i % 10 == 9) {
            EXPECT_TRUE(handled("b", i + 1) && handled("c", i + 1));
            EXPECT_TRUE(i < 91 || handled("d", dCatchUp + i - 90));
        }
        if (i != 91)
            continue;
        dCatchUp = std::stoul(catchUp);
        // The late machine's files of this event are the primary's.
        ASSERT_TRUE(handled("d", dCatchUp + 1));
        for (const std::string file : {"Stechen.txt", "control.txt"})
            EXPECT_EQ(dir_.Read("d/" + file), dir_.Read("b/" + file)) << file;
    }
    // Nothing more came: one acknowledgement per telegram.
    EXPECT_FALSE(sender.Socket()->waitForReadyRead(300));
    EXPECT_THAT(relay.Out(), testing::ContainsRegex("\nwarnung: Empfänger 4 \\(.*\\) getrennt: "
                                                    "mehr als 12 Telegramme zurück"));
    EXPECT_THAT(relay.Out(),
                testing::ContainsRegex("\nrelay: Empfänger 2 .* ist Hauptempfänger\n"));
    EXPECT_TRUE(handled("c", show.size()));
    ::kill(static_cast<pid_t>(machines["f"]->Pid()), SIGCONT);
    EXPECT_EQ(machines["f"]->Finish(), 0);
    EXPECT_EQ(machines["p"]->Finish(), -1);  // killed
    relay.Terminate();
    EXPECT_EQ(relay.Finish(), 0);
    for (const char* name : {"b", "c", "d"})
        EXPECT_EQ(machines[name]->Finish(), 0) << name;
    const auto main = Folder(dir_.File("b"));
    EXPECT_GT(main.size(), 10u);
    EXPECT_EQ(Folder(dir_.File("c")), main);
}

TEST_F(ToolTest, BenchMeasuresARealReceiver) {
    Tool bench({"bench", "--count", "30", "--via-relay"});
    ASSERT_EQ(bench.Finish(), 0) << bench.Err();
    EXPECT_THAT(bench.Out(), testing::ContainsRegex("über relay: median [0-9]+ µs"));
    // The floor wrote both of the receiver's files; the receiver's memory could be read.
    EXPECT_THAT(bench.Out(), testing::HasSubstr("30 Durchläufe nach 20 zum Aufwärmen\n"));
    EXPECT_THAT(bench.Out(),
                testing::HasSubstr("(zusammensetzen, 2 Dateien ersetzen, quittieren)"));
    EXPECT_THAT(bench.Out(), testing::ContainsRegex("mit mitschnitt: median [0-9]+ µs"));
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
    const std::string quote = " (einen Wert mit Leerzeichen in Anführungszeichen setzen)";
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
        {receive + QStringList{good, "--record-limit", "0"},
         "zelmo receive: --record-limit: \"0\" ist keine Megabytezahl von 1 bis 1048576"},
        // A word without an option, as the rest of an unquoted path with a blank, is refused
        // before anything is connected or written.
        {receive + QStringList{good, "Text"},
         "zelmo receive: unerwartetes Argument \"Text\"" + quote},
        {{"simulate", "--listen", "127.0.0.1:0", "--show", good, "Text"},
         "zelmo simulate: unerwartetes Argument \"Text\"" + quote},
        {{"record", "--connect", "127.0.0.1:3020", "--listen", "127.0.0.1:0", "--show",
          Path("neu.jsonl"), "Live", "Text"},
         "zelmo record: unerwartete Argumente \"Live\", \"Text\"" + quote},
        {{"bench", "--count", "1", "x"}, "zelmo bench: unerwartetes Argument \"x\"" + quote},
        {{"relay", "--connect", "127.0.0.1:3020", "--listen", "127.0.0.1:0", "x"},
         "zelmo relay: unerwartetes Argument \"x\"" + quote},
        {{"relay", "--connect", "127.0.0.1:3020", "--listen", "127.0.0.1:0", "--max-behind", "0"},
         "zelmo relay: --max-behind: \"0\" ist keine Zahl von 1 bis 1000000"},
        {{"simulate", "--listen", "127.0.0.1:0", "--show", good, "--speed", "0"},
         "zelmo simulate: --speed: \"0\" ist keine Zahl von 0.01 bis 1000"},
        {{"template", "check", good, good},
         "zelmo template check: unerwartetes Argument \"" + dir_.File("vorlage.json") + "\"" +
             quote},
        {{"template", "format", good, "-o", Path("neu.json"), "x"},
         "zelmo template format: unerwartetes Argument \"x\"" + quote},
    };
    for (const auto& [args, err] : rows) {
        SCOPED_TRACE(err);
        Tool tool(args);
        EXPECT_EQ(tool.Finish(), 2);
        EXPECT_EQ(tool.Err().substr(0, tool.Err().find('\n')), err);
        EXPECT_EQ(tool.Out(), "");
    }
    EXPECT_EQ(dir_.Entries(), (std::vector<std::string>{"ausgabe", "fremd.json", "vorlage.json"}));
}

}  // namespace
}  // namespace zelmo::test
