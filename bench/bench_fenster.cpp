// The operator's path against the headless receiver, in the same minutes: `zelmo bench`'s
// sender sends the same 20 KB telegram stop-and-wait to a `zelmo receive` child and to the
// desktop program's real windows in this process (main window connected, template editor open
// and active with a template loaded through its own "Projekt einlesen", output running), in
// alternating blocks, so that both see the same load of the machine. Both keep a daily log and
// a flight recording, as the desktop program always does. Prints the round trips,
// the CPU time per telegram of each receiving thread (the child's main thread; here the GUI
// thread, not the sender's) and the resident memory of both, side by side, with the ratios
// the on-air screen must meet.
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
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include <sys/types.h>
#include <unistd.h>

#include "BenchSender.h"
#include "link/Frame.h"
#include "link/SampleTelegram.h"
#include "net/LinkClient.h"
#include "platform/Folders.h"
#include "start/ProgramState.h"
#include "templates/VorlageDatei.h"
#include "windows/Dialoge.h"
#include "windows/FrmLiveTextEmpfaenger.h"

using namespace zelmo;
using namespace zelmo::tool;

namespace {

constexpr int kTimeoutMs = 10000;
constexpr int kSampleRiders = 40;
// Telegrams per block; the receivers take turns block by block.
constexpr int kBlock = 100;

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
    QString DateiOeffnen(QWidget*, const QString&, const QString&, const QString&,
                         const QString&) override {
        return vorlage;
    }
    QString DateiSpeichern(QWidget*, const QString&, const QString&, const QString&,
                           const QString&) override {
        return {};
    }
    QString Ordner(QWidget*, const QString&, const QString&) override { return {}; }
};

// One receiver as the sender sees it.
struct Empfaenger {
    qint64 pid = 0;
    qint64 tid = 0;
    std::unique_ptr<BenchSender> sender;
    RoundTrips trips;
    double sekunden = 0;
    std::optional<long long> cpuStart;
    std::optional<long long> cpuEnde;
    std::optional<long> rssStart;
    std::optional<long> rssEnde;
};

// The sender's thread: its server and sockets are made in it and it runs no event loop, so
// that nothing but the sender reads the acknowledgements.
class Sendefaden {
  public:
    // Index 0: the headless receiver, 1: the windows.
    std::array<Empfaenger, 2> empfaenger;
    std::string fehler;

    // Listens (the ports go to `ports`, 0 when it cannot), waits for both receivers, then for
    // `los`, then sends; closes both connections at the end, which ends the child.
    void Laufen(const std::string& frame, int warmUp, int count,
                std::promise<std::array<quint16, 2>>& ports, std::shared_future<void> los) {
        std::array<QTcpServer, 2> server;
        std::array<quint16, 2> nummern{};
        for (std::size_t i = 0; i < 2; ++i)
            nummern[i] = server[i].listen(QHostAddress::LocalHost, 0) ? server[i].serverPort() : 0;
        ports.set_value(nummern);
        if (nummern[0] == 0 || nummern[1] == 0) {
            fehler = "kann nicht lauschen";
            return;
        }
        Senden(server, frame, warmUp, count, los);
        for (QTcpServer& s : server) {
            for (QTcpSocket* socket : s.findChildren<QTcpSocket*>()) {
                socket->disconnectFromHost();
                if (socket->state() != QAbstractSocket::UnconnectedState)
                    socket->waitForDisconnected(kTimeoutMs);
            }
        }
    }

  private:
    void Senden(std::array<QTcpServer, 2>& server, const std::string& frame, int warmUp, int count,
                const std::shared_future<void>& los) {
        for (std::size_t i = 0; i < 2; ++i) {
            if (!server[i].waitForNewConnection(kTimeoutMs)) {
                fehler = i == 0 ? "zelmo receive hat sich nicht verbunden"
                                : "das Hauptfenster hat sich nicht verbunden";
                return;
            }
            QTcpSocket* socket = server[i].nextPendingConnection();
            socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            empfaenger[i].sender = std::make_unique<BenchSender>(socket->socketDescriptor());
        }
        los.wait();
        RoundTrips warm;
        for (Empfaenger& e : empfaenger) {
            if (!BenchRunden(*e.sender, frame, warmUp, warm, fehler))
                return;
            e.rssStart = ProcStatusKb(e.pid, "VmRSS");
            e.cpuStart = ThreadCpuNs(e.pid, e.tid);
        }
        using Clock = std::chrono::steady_clock;
        for (int gesendet = 0; gesendet < count; gesendet += kBlock) {
            for (Empfaenger& e : empfaenger) {
                const Clock::time_point start = Clock::now();
                if (!BenchRunden(*e.sender, frame, std::min(kBlock, count - gesendet), e.trips,
                                 fehler))
                    return;
                e.sekunden += std::chrono::duration<double>(Clock::now() - start).count();
            }
        }
        for (Empfaenger& e : empfaenger) {
            e.cpuEnde = ThreadCpuNs(e.pid, e.tid);
            e.rssEnde = ProcStatusKb(e.pid, "VmRSS");
        }
    }
};

// Runs the event loop until `bedingung` holds, looking every 10 ms; false after the timeout.
bool WartenBis(const std::function<bool()>& bedingung) {
    QElapsedTimer uhr;
    uhr.start();
    QTimer takt;
    takt.start(10);
    while (!bedingung()) {
        if (uhr.elapsed() > kTimeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

QString Zeit(std::int64_t micros) {
    return QStringLiteral("%1 µs").arg(micros);
}

std::optional<double> CpuUs(const Empfaenger& e, int count) {
    if (!e.cpuStart || !e.cpuEnde)
        return std::nullopt;
    return static_cast<double>(*e.cpuEnde - *e.cpuStart) / 1000.0 / count;
}

QString Cpu(std::optional<double> us) {
    return us ? QStringLiteral("%1 µs").arg(*us, 0, 'f', 1) : QStringLiteral("nicht verfügbar");
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
        "bei den Fenstern des Programms (Vorlagen offen, Ausgabe läuft), abwechselnd im selben "
        "Lauf. TMPDIR wählt das Dateisystem, in das beide schreiben.");
    parser.addHelpOption();
    const QCommandLineOption countOption(
        "count", "Anzahl der Durchläufe je Empfänger (Vorgabe 2000).", "N", "2000");
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
    const QString kopflosProtokolle = temp.filePath("kopflos-protokolle");
    const QString kopflosMitschnitt = temp.filePath("kopflos-mitschnitt");
    if (!temp.isValid() || !QDir().mkpath(kopflosAus) || !QDir().mkpath(fensterAus) ||
        !QDir().mkpath(programm)) {
        std::fprintf(stderr, "bench_fenster: kein temporärer Ordner\n");
        return 1;
    }
    VorlageSpeichern(vorlage.toStdString(),
                     BenchVorlage(BenchEreignis(payload).value_or("Reiter Neu")));
    std::printf(
        "bench_fenster: Telegramm %zu Bytes, je Empfänger %d Durchläufe nach %d zum Aufwärmen, "
        "abwechselnd in Blöcken von %d, Plattform %s\n",
        frame.size(), count, warmUp, kBlock, qPrintable(QGuiApplication::platformName()));
    std::fflush(stdout);

    Sendefaden faden;
    std::promise<std::array<quint16, 2>> ports;
    std::promise<void> los;
    // The GUI thread runs its event loop until the sender is done, and spends no time of its
    // own meanwhile.
    QEventLoop schleife;
    std::thread sender([&, bereit = los.get_future().share()] {
        faden.Laufen(frame, warmUp, count, ports, bereit);
        QMetaObject::invokeMethod(&schleife, &QEventLoop::quit, Qt::QueuedConnection);
    });
    const std::array<quint16, 2> port = ports.get_future().get();
    // However main returns, the sender is told to go on and is waited for.
    struct Ende {
        std::promise<void>& los;
        std::thread& sender;
        bool gestartet = false;
        ~Ende() {
            if (!gestartet)
                los.set_value();
            sender.join();
        }
    } ende{los, sender};

    QProcess kind;
    kind.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    kind.setStandardOutputFile(QProcess::nullDevice());
    kind.start(parser.value(zelmoOption),
               {"receive", "--connect", QStringLiteral("127.0.0.1:%1").arg(port[0]), "--template",
                vorlage, "--output", kopflosAus, "--exit-on-disconnect", "--log-dir",
                kopflosProtokolle, "--record-dir", kopflosMitschnitt});
    if (!kind.waitForStarted(kTimeoutMs)) {
        std::fprintf(stderr, "bench_fenster: zelmo receive startet nicht: %s\n",
                     qPrintable(parser.value(zelmoOption)));
        return 1;
    }
    faden.empfaenger[0].pid = faden.empfaenger[0].tid = kind.processId();
    faden.empfaenger[1].pid = QCoreApplication::applicationPid();
    faden.empfaenger[1].tid = ::gettid();

    start::ProgramState state;
    state.programFolder = programm.toStdString();
    state.folders = platform::PortableFolders(state.programFolder);
    BenchDialoge dialoge;
    dialoge.vorlage = vorlage;
    std::string fehler;
    {
        windows::FrmLiveTextEmpfaenger hauptfenster(state, state.telegramme, dialoge);
        hauptfenster.show();
        hauptfenster.findChild<QLineEdit*>("txtIPausUDPEmpfaenger")->setText("127.0.0.1");
        hauptfenster.findChild<QLineEdit*>("txtPortausUDPEmpfaenger")
            ->setText(QString::number(port[1]));
        hauptfenster.findChild<QLineEdit*>("txtPfadZuLiveText")->setText(fensterAus);
        hauptfenster.findChild<QPushButton*>("cmdVerbinden")->click();
        const bool verbunden = WartenBis([&] { return hauptfenster.linkClient().isConnected(); });
        hauptfenster.findChild<QPushButton*>("cmdVorlagen")->click();
        QWidget* editor = hauptfenster.vorlagen();
        if (editor != nullptr) {
            editor->findChild<QPushButton*>("cmdProjektEinlesen")->click();
            editor->activateWindow();
        }
        const bool bereit = verbunden && editor != nullptr &&
                            dialoge.meldungen.contains("Vorlage eingelesen") &&
                            WartenBis([&] { return state.vorlagenAktiv; });
        los.set_value();
        ende.gestartet = true;
        if (!bereit)
            fehler = "die Fenster sind nicht bereit (verbunden, Vorlage geladen, Vorlagen aktiv)";
        // The sender ends by itself once its rounds are done or have failed.
        schleife.exec();
        if (fehler.empty())
            fehler = faden.fehler;
        if (fehler.empty() && !QFile::exists(QDir(fensterAus).filePath("bench.txt")))
            fehler = "die Fenster haben keine Datendatei geschrieben";
        hauptfenster.close();
    }
    kind.waitForFinished(kTimeoutMs);
    // Both sides must have done the same work.
    for (const QString& ordner : {programm + "/Protokolle", programm + "/Mitschnitt",
                                  kopflosProtokolle, kopflosMitschnitt}) {
        if (fehler.empty() && QDir(ordner).isEmpty())
            fehler = "kein Protokoll oder Mitschnitt in " + ordner.toStdString();
    }
    if (!fehler.empty()) {
        std::fprintf(stderr, "bench_fenster: %s\n", fehler.c_str());
        return 1;
    }

    const Empfaenger& k = faden.empfaenger[0];
    const Empfaenger& f = faden.empfaenger[1];
    const auto ks = k.trips.Summarize();
    const auto fs = f.trips.Summarize();
    Zeile("", "zelmo receive", "Fenster", "Ziel (Fenster)");
    Zeile("rundlauf median", Zeit(ks.median), Zeit(fs.median),
          QStringLiteral("%1 × kopflos (höchstens 1.5)")
              .arg(Verhaeltnis(fs.median, ks.median), 0, 'f', 2));
    Zeile("rundlauf p99", Zeit(ks.p99), Zeit(fs.p99), "höchstens 2000 µs");
    Zeile("rundlauf max", Zeit(ks.max), Zeit(fs.max), "");
    const auto kc = CpuUs(k, count);
    const auto fc = CpuUs(f, count);
    Zeile("CPU je Telegramm", Cpu(kc), Cpu(fc),
          kc && fc
              ? QStringLiteral("%1 × kopflos (höchstens 2)").arg(Verhaeltnis(*fc, *kc), 0, 'f', 2)
              : QString());
    Zeile("speicher anfang", QString::fromStdString(Megabytes(k.rssStart)),
          QString::fromStdString(Megabytes(f.rssStart)), "");
    Zeile("speicher ende", QString::fromStdString(Megabytes(k.rssEnde)),
          QString::fromStdString(Megabytes(f.rssEnde)), "gleich bleibend");
    Zeile("telegramme/s", QString::number(count / k.sekunden, 'f', 0),
          QString::number(count / f.sekunden, 'f', 0), "");
    return 0;
}
