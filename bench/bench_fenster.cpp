// The operator's path against the headless receiver, in one run: the same 20 KB telegram sent
// N times stop-and-wait by `zelmo bench`'s sender, first to a `zelmo receive` child, then to
// the desktop program's real windows in this process (main window connected, template editor
// open and active with a template loaded through its own "Projekt einlesen", output running).
// Prints the round trips, the CPU time per telegram of the receiving thread (the child's main
// thread; here the GUI thread, not the sender's) and the resident memory of both, side by
// side, with the ratios the on-air screen must meet.
//
// The windows run on the offscreen platform unless QT_QPA_PLATFORM says otherwise
// (QT_QPA_PLATFORM=xcb under an X server).

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <atomic>
#include <cstdio>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <thread>

#include <sys/types.h>
#include <unistd.h>

#include "BenchSender.h"
#include "link/Frame.h"
#include "link/SampleTelegram.h"
#include "net/LinkClient.h"
#include "start/ProgramState.h"
#include "templates/VorlageDatei.h"
#include "windows/Dialoge.h"
#include "windows/FrmLiveTextEmpfaenger.h"

using namespace zelmo;
using namespace zelmo::tool;

namespace {

constexpr int kTimeoutMs = 10000;
constexpr int kSampleRiders = 40;

// Nanoseconds a thread has run on a CPU (the scheduler's own account).
std::optional<long long> ThreadCpuNs(qint64 pid, qint64 tid) {
    QFile file(QStringLiteral("/proc/%1/task/%2/schedstat").arg(pid).arg(tid));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    bool ok = false;
    const long long ns = file.readAll().split(' ').value(0).toLongLong(&ok);
    return ok ? std::optional(ns) : std::nullopt;
}

// The dialogs of the windows, answered: the template file for "Projekt einlesen", Yes to the
// closing question, every message noted.
class BenchDialoge : public windows::Dialoge {
  public:
    QString vorlage;
    QStringList meldungen;

    void Meldung(QWidget*, const QString& text, const QString&, Symbol) override {
        meldungen.append(text);
    }
    bool JaNein(QWidget*, const QString&, const QString&) override { return true; }
    QString DateiOeffnen(QWidget*, const QString&, const QString&, const QString&) override {
        return vorlage;
    }
    QString DateiSpeichern(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString Ordner(QWidget*, const QString&) override { return {}; }
};

struct Ergebnis {
    BenchMessung messung;
    std::optional<long long> cpuNs;
    std::optional<long> rssStart;
    std::optional<long> rssEnde;
    std::string fehler;
};

// Warm-up, then the timed rounds, reading the receiving thread's CPU time and the process's
// memory around them.
Ergebnis Durchgang(BenchSender& sender, const std::string& frame, int warmUp, int count, qint64 pid,
                   qint64 tid) {
    Ergebnis e;
    if (!BenchMessen(sender, frame, warmUp, 0, e.fehler))
        return e;
    e.rssStart = ProcStatusKb(pid, "VmRSS");
    const auto cpuStart = ThreadCpuNs(pid, tid);
    const auto messung = BenchMessen(sender, frame, 0, count, e.fehler);
    const auto cpuEnde = ThreadCpuNs(pid, tid);
    e.rssEnde = ProcStatusKb(pid, "VmRSS");
    if (!messung)
        return e;
    e.messung = *messung;
    if (cpuStart && cpuEnde)
        e.cpuNs = *cpuEnde - *cpuStart;
    return e;
}

bool WartenBis(const std::function<bool()>& bedingung) {
    QElapsedTimer uhr;
    uhr.start();
    while (!bedingung()) {
        if (uhr.elapsed() > kTimeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

Ergebnis Kopflos(const QString& zelmo, const QString& vorlage, const QString& ausgabe,
                 const std::string& frame, int warmUp, int count) {
    Ergebnis e;
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0)) {
        e.fehler = "kann nicht lauschen";
        return e;
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(zelmo,
                  {"receive", "--connect", QStringLiteral("127.0.0.1:%1").arg(server.serverPort()),
                   "--template", vorlage, "--output", ausgabe, "--exit-on-disconnect"});
    if (!process.waitForStarted(kTimeoutMs) || !server.waitForNewConnection(kTimeoutMs)) {
        e.fehler = "zelmo receive startet oder verbindet nicht: " + zelmo.toStdString();
        return e;
    }
    QTcpSocket* socket = server.nextPendingConnection();
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    BenchSender sender(socket->socketDescriptor());
    e = Durchgang(sender, frame, warmUp, count, process.processId(), process.processId());
    socket->disconnectFromHost();
    if (socket->state() != QAbstractSocket::UnconnectedState)
        socket->waitForDisconnected(kTimeoutMs);
    process.waitForFinished(kTimeoutMs);
    return e;
}

Ergebnis Fenster(const QString& vorlage, const QString& ausgabe, const QString& programm,
                 const std::string& frame, int warmUp, int count) {
    Ergebnis e;
    const qint64 pid = QCoreApplication::applicationPid();
    const qint64 tid = ::gettid();

    // The sender's socket lives in its own thread, which runs no event loop: nothing but the
    // sender reads the acknowledgements.
    std::promise<quint16> port;
    std::promise<void> los;
    std::atomic<bool> fertig = false;
    Ergebnis gesendet;
    std::thread sender([&] {
        QTcpServer server;
        if (!server.listen(QHostAddress::LocalHost, 0)) {
            port.set_value(0);
            return;
        }
        port.set_value(server.serverPort());
        if (server.waitForNewConnection(kTimeoutMs)) {
            QTcpSocket* socket = server.nextPendingConnection();
            socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            BenchSender benchSender(socket->socketDescriptor());
            los.get_future().wait();
            gesendet = Durchgang(benchSender, frame, warmUp, count, pid, tid);
            socket->disconnectFromHost();
            if (socket->state() != QAbstractSocket::UnconnectedState)
                socket->waitForDisconnected(kTimeoutMs);
        } else {
            gesendet.fehler = "das Hauptfenster hat sich nicht verbunden";
        }
        fertig = true;
    });
    const quint16 senderPort = port.get_future().get();

    start::ProgramState state;
    state.programFolder = programm.toStdString();
    BenchDialoge dialoge;
    dialoge.vorlage = vorlage;
    {
        windows::FrmLiveTextEmpfaenger hauptfenster(state, state.telegramme, dialoge);
        hauptfenster.show();
        hauptfenster.findChild<QLineEdit*>("txtIPausUDPEmpfaenger")->setText("127.0.0.1");
        hauptfenster.findChild<QLineEdit*>("txtPortausUDPEmpfaenger")
            ->setText(QString::number(senderPort));
        hauptfenster.findChild<QLineEdit*>("txtPfadZuLiveText")->setText(ausgabe);
        hauptfenster.findChild<QPushButton*>("cmdVerbinden")->click();
        const bool verbunden =
            senderPort != 0 && WartenBis([&] { return hauptfenster.linkClient().isConnected(); });
        hauptfenster.findChild<QPushButton*>("cmdVorlagen")->click();
        QWidget* editor = hauptfenster.vorlagen();
        if (editor != nullptr) {
            editor->findChild<QPushButton*>("cmdProjektEinlesen")->click();
            editor->activateWindow();
        }
        const bool aktiv = verbunden && editor != nullptr &&
                           dialoge.meldungen.contains("Vorlage eingelesen") &&
                           WartenBis([&] { return state.vorlagenAktiv; });
        los.set_value();
        if (aktiv)
            WartenBis([&] { return fertig.load(); });
        else
            e.fehler = "die Fenster sind nicht bereit (verbunden, Vorlage geladen, Vorlagen aktiv)";
        sender.join();
        if (e.fehler.empty())
            e = gesendet;
        if (e.fehler.empty() && !QFile::exists(QDir(ausgabe).filePath("bench.txt")))
            e.fehler = "die Fenster haben keine Datendatei geschrieben";
        hauptfenster.close();
    }
    return e;
}

QString Zeit(std::int64_t micros) {
    return QStringLiteral("%1 µs").arg(micros);
}

QString Cpu(const Ergebnis& e, int count) {
    return e.cpuNs ? QStringLiteral("%1 µs").arg(static_cast<double>(*e.cpuNs) / 1000.0 / count, 0,
                                                 'f', 1)
                   : QStringLiteral("nicht verfügbar");
}

double Verhaeltnis(double zaehler, double nenner) {
    return nenner > 0 ? zaehler / nenner : 0.0;
}

void Zeile(const QString& was, const QString& kopflos, const QString& fenster,
           const QString& ziel) {
    QString zeile =
        was.leftJustified(18) + kopflos.leftJustified(16) + fenster.leftJustified(16) + ziel;
    while (zeile.endsWith(QLatin1Char(' ')))
        zeile.chop(1);
    std::printf("%s\n", qPrintable(zeile));
}

// The offscreen platform says so for every window that asks it to raise itself.
void OhnePlattformHinweise(QtMsgType typ, const QMessageLogContext& kontext, const QString& text) {
    if (text.startsWith(QStringLiteral("This plugin does not support")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(typ, kontext, text)));
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    qInstallMessageHandler(OhnePlattformHinweise);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Misst das Telegramm bis zur Quittung beim kopflosen Empfänger (zelmo receive) und "
        "bei den Fenstern des Programms (Vorlagen offen, Ausgabe läuft), im selben Lauf.");
    parser.addHelpOption();
    const QCommandLineOption countOption("count", "Anzahl der Durchläufe (Vorgabe 2000).", "N",
                                         "2000");
    const QCommandLineOption zelmoOption("zelmo", "Pfad des Werkzeugs zelmo.", "DATEI",
                                         QStringLiteral(ZELMO_EXE));
    parser.addOptions({countOption, zelmoOption});
    parser.process(application);
    bool ok = false;
    const int count = parser.value(countOption).toInt(&ok);
    if (!ok || count < 1) {
        std::fprintf(stderr, "bench_fenster: --count braucht eine Zahl ab 1\n");
        return 2;
    }
    const int warmUp = std::clamp(count / 10, 20, 1000);

    const std::string payload = link::SampleTelegram(kSampleRiders);
    const std::string frame = EncodeFrame(payload);
    QTemporaryDir temp;
    const QString vorlage = temp.filePath("bench-vorlage.json");
    const QString kopflosAus = temp.filePath("kopflos");
    const QString fensterAus = temp.filePath("fenster");
    const QString programm = temp.filePath("programm");
    if (!temp.isValid() || !QDir().mkpath(kopflosAus) || !QDir().mkpath(fensterAus) ||
        !QDir().mkpath(programm)) {
        std::fprintf(stderr, "bench_fenster: kein temporärer Ordner\n");
        return 1;
    }
    VorlageSpeichern(vorlage.toStdString(),
                     BenchVorlage(BenchEreignis(payload).value_or("Reiter Neu")));

    std::printf(
        "bench_fenster: Telegramm %zu Bytes, %d Durchläufe nach %d zum Aufwärmen, "
        "Plattform %s\n",
        frame.size(), count, warmUp, qPrintable(QGuiApplication::platformName()));
    std::fflush(stdout);
    const Ergebnis k =
        Kopflos(parser.value(zelmoOption), vorlage, kopflosAus, frame, warmUp, count);
    const Ergebnis f = Fenster(vorlage, fensterAus, programm, frame, warmUp, count);
    for (const Ergebnis* e : {&k, &f}) {
        if (!e->fehler.empty()) {
            std::fprintf(stderr, "bench_fenster: %s\n", e->fehler.c_str());
            return 1;
        }
    }

    const auto& ks = k.messung.summary;
    const auto& fs = f.messung.summary;
    Zeile("", "zelmo receive", "Fenster", "Ziel (Fenster)");
    Zeile("rundlauf median", Zeit(ks.median), Zeit(fs.median),
          QStringLiteral("%1 × kopflos (höchstens 1.5)")
              .arg(Verhaeltnis(fs.median, ks.median), 0, 'f', 2));
    Zeile("rundlauf p99", Zeit(ks.p99), Zeit(fs.p99), "höchstens 2000 µs");
    Zeile("rundlauf max", Zeit(ks.max), Zeit(fs.max), "");
    Zeile("CPU je Telegramm", Cpu(k, count), Cpu(f, count),
          k.cpuNs && f.cpuNs
              ? QStringLiteral("%1 × kopflos (höchstens 2)")
                    .arg(Verhaeltnis(static_cast<double>(*f.cpuNs), static_cast<double>(*k.cpuNs)),
                         0, 'f', 2)
              : QString());
    Zeile("speicher anfang", QString::fromStdString(Megabytes(k.rssStart)),
          QString::fromStdString(Megabytes(f.rssStart)), "");
    Zeile("speicher ende", QString::fromStdString(Megabytes(k.rssEnde)),
          QString::fromStdString(Megabytes(f.rssEnde)), "gleich bleibend");
    Zeile("telegramme/s", QString::number(count / k.messung.seconds, 'f', 0),
          QString::number(count / f.messung.seconds, 'f', 0), "");
    return 0;
}
