// zelmo bench: the whole path over loopback. A real `zelmo receive` child process gets a
// telegram again and again from a sender in this process, stop-and-wait; each round trip runs
// from the hand-over of the frame's last byte to the arrival of its acknowledgement, so it
// holds reassembly, evaluation, the output run, the data file and control.txt replaced and
// the acknowledgement sent.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#ifdef __linux__
#include <signal.h>
#include <sys/prctl.h>
#endif

#include "Commands.h"
#include "RoundTrips.h"
#include "component/Collection.h"
#include "component/Error.h"
#include "component/FileReplace.h"
#include "link/Evaluation.h"
#include "link/Frame.h"
#include "link/SampleTelegram.h"
#include "templates/VorlageDatei.h"

namespace zelmo::tool {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kTimeoutMs = 10000;
constexpr int kDefaultCount = 2000;
constexpr int kSampleRiders = 40;

// The event the receiver makes of the telegram, so that the bench template fires for it.
std::optional<std::string> EventOf(const std::string& payload) {
    try {
        const Collection ereignis = JSONDecodieren(payload).Item("Ereignis");
        const auto name =
            EreignisName(ereignis.Item("Status").Text(), ereignis.Find("Wert1").TextOrEmpty());
        if (name)
            return std::string(*name);
    } catch (const Error&) {
    }
    return std::nullopt;
}

// The current rider and the start list, as a broadcast's start-list page would show them.
Vorlage BenchVorlage(const std::string& ereignis) {
    Vorlage vorlage;
    vorlage.SetzeZeile(
        0, {ereignis, "Alle", "Alle", "Alle", "Alle", "", "01", "bench", "AktReiter\r\nStartliste",
            "StartNr,Reiter,Pferd,Land\r\nStartNr,Reiter,Pferd,Land,Fehler,Zeit"});
    vorlage.SetzeFormat(Ausgabeformat::LiveText);
    return vorlage;
}

// A status value of /proc/<pid>/status in kB; nothing where there is no such file.
std::optional<long> ProcStatusKb(qint64 pid, const char* key) {
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray prefix = QByteArray(key) + ":";
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith(prefix)) {
            bool ok = false;
            const long kb = line.mid(prefix.size()).trimmed().split(' ').first().toLong(&ok);
            if (ok)
                return kb;
        }
    }
    return std::nullopt;
}

std::string Megabytes(std::optional<long> kb) {
    if (!kb)
        return "nicht verfügbar";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(*kb) / 1024.0);
    return text;
}

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

class Sender {
  public:
    explicit Sender(QTcpSocket& socket) : socket_(socket) {}

    // Microseconds from the last byte handed to the system to the complete acknowledgement.
    std::optional<std::int64_t> RoundTrip(const std::string& frame, std::string& error) {
        socket_.write(frame.data(), static_cast<qint64>(frame.size()));
        while (socket_.bytesToWrite() > 0) {
            if (!socket_.waitForBytesWritten(kTimeoutMs)) {
                error = "Senden fehlgeschlagen: " + socket_.errorString().toStdString();
                return std::nullopt;
            }
        }
        const Clock::time_point sent = Clock::now();
        char ack[kAckFrame.size()];
        std::size_t got = 0;
        while (got < sizeof ack) {
            if (socket_.bytesAvailable() == 0 && !socket_.waitForReadyRead(kTimeoutMs)) {
                error = "keine Quittung: " + socket_.errorString().toStdString();
                return std::nullopt;
            }
            const qint64 n = socket_.read(ack + got, static_cast<qint64>(sizeof ack - got));
            if (n < 0) {
                error = "Lesen fehlgeschlagen: " + socket_.errorString().toStdString();
                return std::nullopt;
            }
            got += static_cast<std::size_t>(n);
        }
        const Clock::time_point acked = Clock::now();
        if (std::string_view(ack, sizeof ack) != kAckFrame) {
            error = "unerwartete Antwort: " + std::string(ack, sizeof ack);
            return std::nullopt;
        }
        return std::chrono::duration_cast<std::chrono::microseconds>(acked - sent).count();
    }

  private:
    QTcpSocket& socket_;
};

}  // namespace

int Bench(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Misst den ganzen Weg über Loopback: ein echter Empfänger (zelmo receive) bekommt ein "
        "Telegramm N-mal, jeweils nach der Quittung des vorigen. Ausgegeben werden Median, "
        "p99 und Maximum des Rundlaufs, der Durchsatz und der Speicher des Empfängers.");
    const QCommandLineOption telegramOption(
        "telegram",
        "Datei mit dem Telegramm (JSON, UTF-8); Vorgabe: ein eingebautes Telegramm "
        "mit 40 Reitern (etwa 20 KB).",
        "DATEI");
    const QCommandLineOption countOption("count", "Anzahl der Durchläufe (Vorgabe 2000).", "N",
                                         QString::number(kDefaultCount));
    parser.addOptions({telegramOption, countOption});
    if (const auto done = ParseArguments(parser, args))
        return *done;

    bool ok = false;
    const int count = parser.value(countOption).toInt(&ok);
    if (!ok || count < 1) {
        Fehler(args, "--count: \"" + parser.value(countOption) + "\" ist keine Zahl ab 1");
        return kExitUsage;
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
    const auto ereignis = EventOf(payload);
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
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(
        QCoreApplication::applicationFilePath(),
        {"receive", "--connect", QStringLiteral("127.0.0.1:%1").arg(server.serverPort()),
         "--template", vorlage, "--output", ausgabe, "--reconnect", "0.2", "--exit-on-disconnect"});
    if (!process.waitForStarted(kTimeoutMs)) {
        Fehler(args, "Empfänger startet nicht: " + process.errorString());
        return kExitFailed;
    }
    if (!server.waitForNewConnection(kTimeoutMs)) {
        Fehler(args, "der Empfänger hat sich nicht verbunden");
        return kExitFailed;
    }
    QTcpSocket* socket = server.nextPendingConnection();
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    Sender sender(*socket);

    const int warmUp = std::clamp(count / 10, 20, 1000);
    std::printf("bench: Telegramm %zu Bytes, %d Durchläufe nach %d zum Aufwärmen\n", frame.size(),
                count, warmUp);
    std::fflush(stdout);
    std::string error;
    for (int i = 0; i < warmUp; ++i) {
        if (!sender.RoundTrip(frame, error)) {
            Fehler(args, QString::fromStdString(error));
            return kExitFailed;
        }
    }
    const auto rssAfterWarmUp = ProcStatusKb(process.processId(), "VmRSS");

    RoundTrips trips;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < count; ++i) {
        const auto micros = sender.RoundTrip(frame, error);
        if (!micros) {
            Fehler(args, QString::fromStdString(error));
            return kExitFailed;
        }
        trips.Add(*micros);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const auto rssAtEnd = ProcStatusKb(process.processId(), "VmRSS");
    const auto peak = ProcStatusKb(process.processId(), "VmHWM");

    socket->disconnectFromHost();
    if (socket->state() != QAbstractSocket::UnconnectedState)
        socket->waitForDisconnected(kTimeoutMs);
    process.waitForFinished(kTimeoutMs);

    const RoundTrips::Summary summary = trips.Summarize();
    std::printf("rundlauf: median %lld µs, p99 %lld µs, max %lld µs\n",
                static_cast<long long>(summary.median), static_cast<long long>(summary.p99),
                static_cast<long long>(summary.max));
    std::printf("durchsatz: %.0f Telegramme/s\n", count / seconds);
    std::printf("speicher des Empfängers: %s nach dem Aufwärmen, %s am Ende, Spitze %s\n",
                Megabytes(rssAfterWarmUp).c_str(), Megabytes(rssAtEnd).c_str(),
                Megabytes(peak).c_str());
    if (ereignis && !QFile::exists(QDir(ausgabe).filePath("bench.txt")))
        std::printf("bench: der Empfänger hat keine Datendatei geschrieben\n");
    return kExitOk;
}

}  // namespace zelmo::tool
