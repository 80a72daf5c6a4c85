// zelmo simulate: a scoring sender that plays a show to one receiver, stop-and-wait.

#include <QCoreApplication>
#include <QHostAddress>
#include <QObject>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "Commands.h"
#include "Endpoint.h"
#include "Listen.h"
#include "Log.h"
#include "component/Error.h"
#include "journal/Show.h"
#include "journal/ShowPlayer.h"
#include "net/ShowSender.h"
#include "net/SignalWatcher.h"

namespace zelmo::tool {

namespace {

constexpr std::string_view kPrefix = "simulate: ";

// The shared sender with the tool's log and its statistics at the end.
class Simulator : public QObject {
    Q_OBJECT

  public:
    Simulator(const std::vector<ShowTelegram>& show, ShowPlayer::Pace pace, bool loop)
        : sender_(show, pace, loop) {
        connect(&sender_, &net::ShowSender::line, this, [this](const QString& text) {
            log_.Line(kPrefix, text.toStdString());
            log_.Flush();
        });
        connect(&sender_, &net::ShowSender::finished, this, &Simulator::finish);
        connect(&watcher_, &net::SignalWatcher::terminationRequested, &sender_,
                &net::ShowSender::stop);
    }

    bool listen(const QHostAddress& address, quint16 port) {
        if (!sender_.listen(address, port)) {
            log_.Line(kPrefix, ListenFehler(address, port, sender_.errorString()));
            log_.Flush();
            return false;
        }
        const Endpoint bound{sender_.serverAddress().toString().toStdString(),
                             sender_.serverPort()};
        log_.Line(kPrefix, std::to_string(sender_.player().Total()) + " Telegramme, lauscht auf " +
                               bound.Text());
        log_.Flush();
        return true;
    }

  private:
    void finish() {
        const ShowPlayer::Statistics& stats = sender_.player().Stats();
        const RoundTrips::Summary summary = stats.roundTrips.Summarize();
        log_.Line("statistik: ", "gesendet " + std::to_string(stats.sent) + ", quittiert " +
                                     std::to_string(stats.acknowledged) + ", ohne Quittung " +
                                     std::to_string(stats.withoutAcknowledgement) +
                                     ", unterbrochen " + std::to_string(stats.interrupted));
        log_.Line("statistik: ", "rundlauf median " + std::to_string(summary.median) + " µs, p99 " +
                                     std::to_string(summary.p99) + " µs, max " +
                                     std::to_string(summary.max) + " µs");
        log_.Flush();
        QCoreApplication::exit(kExitOk);
    }

    net::ShowSender sender_;
    net::SignalWatcher watcher_;
    Log log_;
};

}  // namespace

int Simulate(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Sender für Proben und Tests: nimmt einen Empfänger an, sendet ihm die Telegramme der "
        "Show und wartet auf jede Quittung (höchstens 4 s). Endet mit der Show.");
    const QCommandLineOption listenOption(
        "listen", "Adresse zum Lauschen; Port 0 wählt einen freien Port.", "HOST:PORT");
    const QCommandLineOption showOption("show", "Showdatei (JSON Lines).", "DATEI");
    const QCommandLineOption intervalOption(
        "interval", "Feste Zeit zwischen zwei Telegrammen statt at_ms.", "MS");
    const QCommandLineOption loopOption("loop", "Die Show ohne Ende wiederholen.");
    const QCommandLineOption speedOption(
        "speed", "Tempo: alle Wartezeiten (at_ms, --interval) geteilt durch FAKTOR (Vorgabe 1).",
        "FAKTOR", "1");
    parser.addOptions({listenOption, showOption, intervalOption, loopOption, speedOption});
    if (const auto done = ParseArguments(parser, args))
        return *done;

    if (!Vorhanden(parser, args, {&listenOption, &showOption}))
        return kExitUsage;
    const auto listen = LauschAdresseLesen(parser, listenOption, args);
    if (!listen)
        return kExitUsage;
    ShowPlayer::Pace pace;
    if (parser.isSet(intervalOption)) {
        bool ok = false;
        const int ms = parser.value(intervalOption).toInt(&ok);
        if (!ok || ms < 0) {
            Fehler(args, "--interval: \"" + parser.value(intervalOption) +
                             "\" ist keine Millisekundenzahl ab 0");
            return kExitUsage;
        }
        pace.interval = std::chrono::milliseconds(ms);
    }
    bool speedOk = false;
    pace.speed = parser.value(speedOption).toDouble(&speedOk);
    if (!speedOk || !(pace.speed >= 0.01) || pace.speed > 1000) {
        Fehler(args,
               "--speed: \"" + parser.value(speedOption) + "\" ist keine Zahl von 0.01 bis 1000");
        return kExitUsage;
    }

    const QString showPath = parser.value(showOption);
    const auto text = DateiLesen(args, showPath);
    if (!text)
        return kExitUsage;
    std::vector<ShowTelegram> show;
    try {
        show = ParseShow(*text);
    } catch (const Error& e) {
        Fehler(args, showPath + ": " + QString::fromStdString(e.what()));
        return kExitUsage;
    }
    if (const auto fehler = ShowPruefen(show)) {
        Fehler(args, showPath + ": " + QString::fromStdString(*fehler));
        return kExitUsage;
    }

    Simulator simulator(show, pace, parser.isSet(loopOption));
    if (!simulator.listen(listen->address, listen->port))
        return kExitFailed;
    return QCoreApplication::exec();
}

}  // namespace zelmo::tool

#include "SimulateCommand.moc"
