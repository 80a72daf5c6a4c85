// zelmo bench: the whole path over loopback. A real `zelmo receive` child process gets a
// telegram again and again from a sender in this process, stop-and-wait; each round trip runs
// from the hand-over of the frame's last byte to the arrival of its acknowledgement, so it
// holds reassembly, evaluation, the output run, the data file and control.txt replaced and
// the acknowledgement sent. A second pass sends the same frames to the job's floor: a
// receiver in this process that reassembles each frame, replaces the same files with the same
// bytes the plain way and acknowledges, without decoding or evaluating anything. Between the
// two, the same receiver again with its flight recorder on shows what recording costs.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#ifdef __linux__
#include <signal.h>
#include <sys/prctl.h>
#endif

#include "BenchSender.h"
#include "Commands.h"
#include "component/Collection.h"
#include "component/Error.h"
#include "component/FileReplace.h"
#include "link/Frame.h"
#include "link/RoundTrips.h"
#include "link/SampleTelegram.h"
#include "templates/VorlageDatei.h"

namespace zelmo::tool {

namespace {

constexpr int kTimeoutMs = 10000;
constexpr int kDefaultCount = 2000;
constexpr int kSampleRiders = 40;
constexpr int kMaxLargeMb = 60;
// Bytes a rider adds to the sample telegram's start list, near enough.
constexpr int kBytesPerRider = 540;

// The receiver child ends with the bench, whichever way the bench ends.
class Child {
  public:
    Child() {
#ifdef __linux__
        // Also when this process is killed outright.
        process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
#endif
    }
    ~Child() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(kTimeoutMs);
        }
    }
    QProcess& process() {
        return process_;
    }

  private:
    QProcess process_;
};

// A file the receiver wrote, to be written again by the floor with the same bytes.
struct Datei {
    std::filesystem::path ziel;
    std::string inhalt;
};

// The job's floor: what every receiver of these telegrams must do. It reassembles each frame
// from the stream, replaces the receiver's files with the same bytes the plain way (a
// temporary file renamed over the old one) and acknowledges; it decodes and evaluates
// nothing. It runs on a thread of its own with a blocking socket, until the bench closes it.
class Untergrenze {
  public:
    Untergrenze(quint16 port, std::vector<Datei> dateien)
        : dateien_(std::move(dateien)), thread_([this, port] { Run(port); }) {}
    ~Untergrenze() { Beenden(); }

    // Waits for the thread, which ends when the bench closes the connection; returns why it
    // stopped early, empty when it did not.
    const std::string& Beenden() {
        if (thread_.joinable())
            thread_.join();
        return error_;
    }

  private:
    void Run(quint16 port) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        if (!socket.waitForConnected(kTimeoutMs)) {
            error_ = "Untergrenze verbindet nicht: " + socket.errorString().toStdString();
            return;
        }
        socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        std::vector<char> buffer(64 * 1024);
        std::size_t held = 0;
        while (socket.waitForReadyRead(kTimeoutMs)) {
            const auto available = static_cast<std::size_t>(socket.bytesAvailable());
            if (buffer.size() < held + available)
                buffer.resize(std::max(buffer.size() * 2, held + available));
            const qint64 got = socket.read(buffer.data() + held, static_cast<qint64>(available));
            if (got < 0)
                break;
            held += static_cast<std::size_t>(got);
            while (held >= kPrefixLength) {
                const std::size_t length = std::stoul(std::string(buffer.data(), kPrefixLength));
                if (held < length)
                    break;
                for (const Datei& datei : dateien_) {
                    if (!Ersetzen(datei))
                        return;
                }
                socket.write(kAckFrame.data(), static_cast<qint64>(kAckFrame.size()));
                socket.flush();
                std::copy(buffer.begin() + static_cast<std::ptrdiff_t>(length),
                          buffer.begin() + static_cast<std::ptrdiff_t>(held), buffer.begin());
                held -= length;
            }
        }
    }

    bool Ersetzen(const Datei& datei) {
        std::filesystem::path temp = datei.ziel;
        temp += ".tmp";
        std::FILE* file = std::fopen(temp.string().c_str(), "wb");
        bool ok = file != nullptr;
        if (ok) {
            ok = std::fwrite(datei.inhalt.data(), 1, datei.inhalt.size(), file) ==
                 datei.inhalt.size();
            ok = std::fclose(file) == 0 && ok;
        }
        std::error_code ec;
        if (ok)
            std::filesystem::rename(temp, datei.ziel, ec);
        if (!ok || ec) {
            error_ = "Untergrenze kann " + datei.ziel.string() + " nicht ersetzen";
            return false;
        }
        return true;
    }

    std::vector<Datei> dateien_;
    std::string error_;
    std::thread thread_;
};

// The files the receiver wrote, with their bytes, as the floor's targets in `ordner`.
std::vector<Datei> DateienDesEmpfaengers(const QString& ausgabe, const QString& ordner) {
    std::vector<Datei> dateien;
    for (const char* name : {"bench.txt", "control.txt"}) {
        QFile file(QDir(ausgabe).filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = file.readAll();
        dateien.push_back({QDir(ordner).filePath(name).toStdString(), bytes.toStdString()});
    }
    return dateien;
}

// Starts the receiver child against `server` and returns its connection; nothing (reported)
// when it does not start or connect.
// Starts this tool with `command` as the child, its standard output into the file `output`;
// false (reported) when it does not start.
bool Starten(Child& child, const QStringList& command, const QString& output,
             const QStringList& args) {
    QProcess& process = child.process();
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(output);
    process.start(QCoreApplication::applicationFilePath(), command);
    if (!process.waitForStarted(kTimeoutMs)) {
        Fehler(args, command.first() + " startet nicht: " + process.errorString());
        return false;
    }
    return true;
}

QStringList Empfaenger(quint16 port, const QString& vorlage, const QString& ausgabe) {
    return {"receive",
            "--connect",
            QStringLiteral("127.0.0.1:%1").arg(port),
            "--template",
            vorlage,
            "--output",
            ausgabe,
            "--reconnect",
            "0.2",
            "--exit-on-disconnect"};
}

// The next connection to `server`; nothing (reported) when `wer` does not connect in time.
QTcpSocket* Annehmen(QTcpServer& server, const QString& wer, const QStringList& args) {
    if (!server.waitForNewConnection(kTimeoutMs)) {
        Fehler(args, wer + " hat sich nicht verbunden");
        return nullptr;
    }
    QTcpSocket* socket = server.nextPendingConnection();
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return socket;
}

// Starts the receiver child against `server` and returns its connection; nothing (reported)
// when it does not start or connect.
QTcpSocket* EmpfaengerStarten(Child& child, QTcpServer& server, const QString& vorlage,
                              const QString& ausgabe, const QStringList& extra,
                              const QStringList& args) {
    if (!Starten(child, Empfaenger(server.serverPort(), vorlage, ausgabe) + extra,
                 QProcess::nullDevice(), args))
        return nullptr;
    return Annehmen(server, "der Empfänger", args);
}

// The first capture of the first line of the file that matches `pattern`, once it is there;
// nothing when it is not within the bench's wait.
std::optional<QString> ZeileAbwarten(const QString& path, const QString& pattern) {
    const QRegularExpression re(pattern, QRegularExpression::MultilineOption);
    for (QDeadlineTimer deadline(kTimeoutMs); !deadline.hasExpired(); QThread::msleep(5)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const auto m = re.match(QString::fromUtf8(file.readAll()));
        if (m.hasMatch())
            return m.captured(m.lastCapturedIndex());
    }
    return std::nullopt;
}

// A relay child between `server` and a receiver child behind it: the relay's connection once
// the receiver is its primary; nothing (reported) when that does not come about.
QTcpSocket* RelayStarten(Child& relay, Child& empfaenger, QTcpServer& server,
                         const QString& vorlage, const QString& ausgabe, const QString& relayLog,
                         const QStringList& args) {
    // Into a file: the bench reads no pipe while it measures, and a full one would stall the
    // relay.
    if (!Starten(relay,
                 {"relay", "--connect", QStringLiteral("127.0.0.1:%1").arg(server.serverPort()),
                  "--listen", "127.0.0.1:0", "--no-timestamps"},
                 relayLog, args))
        return nullptr;
    QTcpSocket* socket = Annehmen(server, "das Relay", args);
    const auto port = socket
                          ? ZeileAbwarten(relayLog, "^relay: lauscht auf 127\\.0\\.0\\.1:(\\d+),")
                          : std::nullopt;
    if (!port || !Starten(empfaenger, Empfaenger(port->toUShort(), vorlage, ausgabe),
                          QProcess::nullDevice(), args))
        return nullptr;
    if (!ZeileAbwarten(relayLog, "^relay: Empfänger 1 .* ist Hauptempfänger$")) {
        Fehler(args, "der Empfänger hat sich nicht mit dem Relay verbunden");
        return nullptr;
    }
    return socket;
}

void Schliessen(QTcpSocket& socket) {
    socket.disconnectFromHost();
    if (socket.state() != QAbstractSocket::UnconnectedState)
        socket.waitForDisconnected(kTimeoutMs);
}

double Verhaeltnis(std::int64_t zaehler, std::int64_t nenner) {
    return nenner > 0 ? static_cast<double>(zaehler) / static_cast<double>(nenner) : 0.0;
}

}  // namespace

int Bench(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Misst den ganzen Weg über Loopback: ein echter Empfänger (zelmo receive) bekommt ein "
        "Telegramm N-mal, jeweils nach der Quittung des vorigen. Ein zweiter Durchgang schickt "
        "dieselben Telegramme an die Untergrenze im eigenen Prozess, die nur zusammensetzt, "
        "dieselben Dateien auf einfache Art ersetzt und quittiert. Ausgegeben werden Median, "
        "p99 und Maximum beider Rundläufe, ihr Verhältnis, der Durchsatz und der Speicher des "
        "Empfängers. Ein Durchgang dazwischen misst denselben Empfänger mit Mitschnitt "
        "(--record-dir). TMPDIR wählt das Dateisystem aller Durchgänge.");
    const QCommandLineOption telegramOption(
        "telegram",
        "Datei mit dem Telegramm (JSON, UTF-8); Vorgabe: ein eingebautes Telegramm "
        "mit 40 Reitern (etwa 20 KB).",
        "DATEI");
    const QCommandLineOption countOption("count", "Anzahl der Durchläufe (Vorgabe 2000).", "N",
                                         QString::number(kDefaultCount));
    const QCommandLineOption largeOption(
        "large",
        "Nach der Messung ein großes Telegramm (eine Startliste von etwa MB Megabyte, höchstens "
        "60), danach wieder das gemessene; ausgegeben wird der Speicher des Empfängers davor "
        "und danach.",
        "MB");
    const QCommandLineOption relayOption(
        "via-relay",
        "Ein weiterer Durchgang: derselbe Empfänger hinter zelmo relay; ausgegeben werden Median, "
        "p99 und Maximum und was das Relay zum Median hinzufügt.");
    parser.addOptions({telegramOption, countOption, largeOption, relayOption});
    if (const auto done = ParseArguments(parser, args))
        return *done;

    bool ok = false;
    const int count = parser.value(countOption).toInt(&ok);
    if (!ok || count < 1) {
        Fehler(args, "--count: \"" + parser.value(countOption) + "\" ist keine Zahl ab 1");
        return kExitUsage;
    }
    int largeMb = 0;
    if (parser.isSet(largeOption)) {
        largeMb = parser.value(largeOption).toInt(&ok);
        if (!ok || largeMb < 1 || largeMb > kMaxLargeMb) {
            Fehler(args,
                   "--large: \"" + parser.value(largeOption) + "\" ist keine Zahl von 1 bis 60");
            return kExitUsage;
        }
    }
    std::string payload;
    if (parser.isSet(telegramOption)) {
        try {
            payload = ReadFile(parser.value(telegramOption).toStdString());
        } catch (const Error& e) {
            Fehler(args, QString::fromStdString(e.what()));
            return kExitUsage;
        }
    } else {
        payload = link::SampleTelegram(kSampleRiders);
    }
    const std::string frame = EncodeFrame(payload);
    const auto ereignis = BenchEreignis(payload);
    if (!ereignis)
        std::printf(
            "bench: das Telegramm löst kein Ereignis aus; gemessen werden nur "
            "Empfang, Auswertung und Quittung\n");

    QTemporaryDir temp;
    const QString ausgabe = temp.filePath("ausgabe");
    const QString vorlage = temp.filePath("bench-vorlage.json");
    if (!temp.isValid() || !QDir().mkpath(ausgabe)) {
        Fehler(args, "kein temporärer Ordner: " + temp.errorString());
        return kExitFailed;
    }
    try {
        VorlageSpeichern(vorlage.toStdString(), BenchVorlage(ereignis.value_or("Reiter Neu")));
    } catch (const Error& e) {
        Fehler(args, QString::fromStdString(e.what()));
        return kExitFailed;
    }

    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0)) {
        Fehler(args, "kann nicht lauschen: " + server.errorString());
        return kExitFailed;
    }
    Child child;
    QProcess& process = child.process();
    QTcpSocket* socket = EmpfaengerStarten(child, server, vorlage, ausgabe, {}, args);
    if (socket == nullptr)
        return kExitFailed;
    BenchSender sender(socket->socketDescriptor());

    const int warmUp = std::clamp(count / 10, 20, 1000);
    std::printf("bench: Telegramm %zu Bytes, %d Durchläufe nach %d zum Aufwärmen\n", frame.size(),
                count, warmUp);
    std::fflush(stdout);
    std::string error;
    const qint64 pid = process.processId();
    auto empfaenger = BenchMessen(sender, frame, warmUp, 0, error);
    const auto rssAfterWarmUp = ProcStatusKb(pid, "VmRSS");
    if (empfaenger)
        empfaenger = BenchMessen(sender, frame, 0, count, error);
    if (!empfaenger) {
        Fehler(args, QString::fromStdString(error));
        return kExitFailed;
    }
    const auto rssAtEnd = ProcStatusKb(pid, "VmRSS");
    const auto peak = ProcStatusKb(pid, "VmHWM");

    // One large telegram, then the measured one again until the large one has been replaced.
    std::string large;
    if (largeMb > 0) {
        const std::string frameLarge =
            EncodeFrame(link::SampleTelegram(largeMb * 1024 * 1024 / kBytesPerRider));
        const auto before = ProcStatusKb(pid, "VmRSS");
        const auto micros = sender.RoundTrip(frameLarge, error);
        if (!micros || !BenchMessen(sender, frame, warmUp, 0, error)) {
            Fehler(args, QString::fromStdString(error));
            return kExitFailed;
        }
        char text[256];
        std::snprintf(text, sizeof text,
                      "großes Telegramm: %.1f MB, rundlauf %lld ms; speicher des Empfängers: %s "
                      "davor, %s nach %d weiteren, Spitze %s\n",
                      static_cast<double>(frameLarge.size()) / (1024.0 * 1024.0),
                      static_cast<long long>(*micros / 1000), Megabytes(before).c_str(),
                      Megabytes(ProcStatusKb(pid, "VmRSS")).c_str(), warmUp,
                      Megabytes(ProcStatusKb(pid, "VmHWM")).c_str());
        large = text;
    }

    Schliessen(*socket);
    process.waitForFinished(kTimeoutMs);

    // The same receiver recording every telegram: what the flight recorder costs.
    std::optional<BenchMessung> mitschnitt;
    {
        Child recording;
        QTcpSocket* recordingSocket =
            EmpfaengerStarten(recording, server, vorlage, ausgabe,
                              {"--record-dir", temp.filePath("mitschnitt")}, args);
        if (recordingSocket == nullptr)
            return kExitFailed;
        BenchSender recordingSender(recordingSocket->socketDescriptor());
        mitschnitt = BenchMessen(recordingSender, frame, warmUp, count, error);
        Schliessen(*recordingSocket);
        recording.process().waitForFinished(kTimeoutMs);
    }
    if (!mitschnitt) {
        Fehler(args, QString::fromStdString(error));
        return kExitFailed;
    }

    // The same receiver behind a relay: what the relay adds to each round trip.
    std::optional<BenchMessung> relayed;
    if (parser.isSet(relayOption)) {
        Child relay;
        Child behind;
        QTcpSocket* relaySocket =
            RelayStarten(relay, behind, server, vorlage, ausgabe, temp.filePath("relay.log"), args);
        if (relaySocket == nullptr)
            return kExitFailed;
        BenchSender relaySender(relaySocket->socketDescriptor());
        relayed = BenchMessen(relaySender, frame, warmUp, count, error);
        Schliessen(*relaySocket);
        if (!relayed) {
            Fehler(args, QString::fromStdString(error));
            return kExitFailed;
        }
    }

    // The second pass: the same frames against the floor, which writes the receiver's files
    // again with the same bytes.
    const QString referenz = temp.filePath("untergrenze");
    if (!QDir().mkpath(referenz)) {
        Fehler(args, "kein temporärer Ordner für die Untergrenze");
        return kExitFailed;
    }
    const std::vector<Datei> dateien = DateienDesEmpfaengers(ausgabe, referenz);
    std::optional<BenchMessung> boden;
    {
        Untergrenze untergrenze(server.serverPort(), dateien);
        if (!server.waitForNewConnection(kTimeoutMs)) {
            Fehler(args, "die Untergrenze hat sich nicht verbunden");
            return kExitFailed;
        }
        QTcpSocket* referenzSocket = server.nextPendingConnection();
        referenzSocket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        BenchSender referenzSender(referenzSocket->socketDescriptor());
        boden = BenchMessen(referenzSender, frame, warmUp, count, error);
        Schliessen(*referenzSocket);
        if (const std::string& grund = untergrenze.Beenden(); !boden && !grund.empty())
            error = grund;
    }
    if (!boden) {
        Fehler(args, QString::fromStdString(error));
        return kExitFailed;
    }

    const RoundTrips::Summary& e = empfaenger->summary;
    const RoundTrips::Summary& b = boden->summary;
    std::printf("rundlauf: median %lld µs, p99 %lld µs, max %lld µs\n",
                static_cast<long long>(e.median), static_cast<long long>(e.p99),
                static_cast<long long>(e.max));
    const RoundTrips::Summary& m = mitschnitt->summary;
    std::printf(
        "mit mitschnitt: median %lld µs, p99 %lld µs, max %lld µs (median %.2f-mal der "
        "ohne)\n",
        static_cast<long long>(m.median), static_cast<long long>(m.p99),
        static_cast<long long>(m.max), Verhaeltnis(m.median, e.median));
    if (relayed) {
        const RoundTrips::Summary& r = relayed->summary;
        std::printf(
            "über relay: median %lld µs, p99 %lld µs, max %lld µs (median %+lld µs gegenüber "
            "ohne)\n",
            static_cast<long long>(r.median), static_cast<long long>(r.p99),
            static_cast<long long>(r.max), static_cast<long long>(r.median - e.median));
    }
    std::printf(
        "untergrenze: median %lld µs, p99 %lld µs, max %lld µs (zusammensetzen, %zu Dateien "
        "ersetzen, quittieren)\n",
        static_cast<long long>(b.median), static_cast<long long>(b.p99),
        static_cast<long long>(b.max), dateien.size());
    std::printf("verhältnis: median %.1f, p99 %.1f\n", Verhaeltnis(e.median, b.median),
                Verhaeltnis(e.p99, b.p99));
    // The floor's own rate bounds what any receiver can reach with this sender on this machine.
    std::printf("durchsatz: %.0f Telegramme/s (untergrenze %.0f Telegramme/s)\n",
                count / empfaenger->seconds, count / boden->seconds);
    std::printf("speicher des Empfängers: %s nach dem Aufwärmen, %s am Ende, Spitze %s\n",
                Megabytes(rssAfterWarmUp).c_str(), Megabytes(rssAtEnd).c_str(),
                Megabytes(peak).c_str());
    std::fputs(large.c_str(), stdout);
    if (ereignis && dateien.size() < 2)
        std::printf("bench: der Empfänger hat keine Datendatei geschrieben\n");
    return kExitOk;
}

}  // namespace zelmo::tool
