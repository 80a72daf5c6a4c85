// zelmo receive: the desktop program's receive path without a window.

#include <QCoreApplication>
#include <QFileInfo>
#include <QObject>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <utility>

#include "Commands.h"
#include "Endpoint.h"
#include "Log.h"
#include "Metrics.h"
#include "Supervision.h"
#include "component/Error.h"
#include "component/FileReplace.h"
#include "journal/DailyLog.h"
#include "journal/FlightRecorder.h"
#include "journal/Outage.h"
#include "link/LinkFreshness.h"
#include "link/Reconnect.h"
#include "link/TelegramStore.h"
#include "net/LinkClient.h"
#include "net/SignalWatcher.h"
#include "templates/AusgabeLauf.h"
#include "templates/VorlageDatei.h"

namespace zelmo::tool {

namespace {

using std::chrono::milliseconds;

// How often the reconnect rule is asked while the link is down.
constexpr milliseconds kTick{10};
// How often the metrics file is replaced and the service status brought up to date.
constexpr milliseconds kFiguresTick{1000};

struct ReceiveOptions {
    Endpoint sender;
    milliseconds reconnect{2000};
    milliseconds stale{LinkFreshness::kDefaultThreshold};
    bool exitOnDisconnect = false;
    std::string output;
    bool timestamps = true;
    std::string logDir;
    std::string recordDir;
    std::uint64_t recordLimit = journal::FlightRecorder::kDefaultLimit;
    std::string metricsFile;
};

// The flight recorder on the link: each telegram appended once it has been acknowledged, the
// oldest days dropped when the bound is passed; what it has to say goes to the log at once.
class Recording : public TelegramObserver {
  public:
    Recording(const ReceiveOptions& options, journal::LocalClock& clock, Log& log)
        : recorder_(options.recordDir, clock, options.recordLimit), log_(log) {}

    void Telegram(std::string_view payloadUtf8, bool json) override {
        bool told = false;
        for (const auto& notice : {recorder_.Telegram(payloadUtf8, json), recorder_.Tidy()}) {
            if (notice) {
                log_.Line(notice->kind + ": ", notice->text);
                told = true;
            }
        }
        if (told)
            log_.Flush();
    }
    std::uint64_t Bytes() const { return recorder_.BytesWritten(); }

  private:
    journal::FlightRecorder recorder_;
    Log& log_;
};

class HeadlessReceiver : public QObject {
    Q_OBJECT

  public:
    HeadlessReceiver(ReceiveOptions options, Vorlage vorlage)
        : options_(std::move(options)),
          vorlage_(std::move(vorlage)),
          link_(store_, vorlagenAktiv_),
          reconnect_(options_.reconnect),
          frische_(options_.stale) {
        log_.Stamp(clock_, options_.timestamps);
        if (!options_.logDir.empty()) {
            daily_ = std::make_unique<journal::DailyLog>(options_.logDir);
            log_.WriteTo(*daily_);
        }
        if (!options_.recordDir.empty()) {
            recording_ = std::make_unique<Recording>(options_, clock_, log_);
            link_.setObserver(recording_.get());
        }
        connect(&link_, &net::LinkClient::telegramLog, this, [this](const QString& line) {
            log_.Line("telegramm: ", line.toStdString());
            ++figures_.telegrams;
            onTelegram();
        });
        connect(&link_, &net::LinkClient::clientLog, this, [this](const QString& line) {
            const std::string text = line.toStdString();
            if (text == kFehlerhafterRahmen)
                ++figures_.garbledRuns;
            log_.Line("client: ", text);
            log_.Flush();
        });
        connect(&link_, &net::LinkClient::statusLabel, this,
                [this](const QString& text) { log_.Line("status: ", text.toStdString()); });
        connect(&link_, &net::LinkClient::dispatch, this, &HeadlessReceiver::onEvent);
        connect(&link_, &net::LinkClient::acknowledged, this, [this] {
            ++figures_.acknowledgements;
            log_.Flush();
        });
        connect(&link_, &net::LinkClient::connected, this, &HeadlessReceiver::onConnected);
        connect(&link_, &net::LinkClient::disconnected, this, &HeadlessReceiver::onDisconnected);

        tick_.setInterval(kTick);
        connect(&tick_, &QTimer::timeout, this, &HeadlessReceiver::onTick);
        frischeTakt_.setInterval(std::min<milliseconds>(options_.stale / 4, milliseconds(1000)));
        connect(&frischeTakt_, &QTimer::timeout, this, &HeadlessReceiver::onFrischeTakt);
        connect(&watcher_, &net::SignalWatcher::terminationRequested, this,
                &HeadlessReceiver::finish);
        figuresTakt_.setInterval(kFiguresTick);
        connect(&figuresTakt_, &QTimer::timeout, this, &HeadlessReceiver::onFigures);
        if (const auto interval = supervision_.HeartbeatInterval()) {
            // From the event loop itself: a receiver stuck anywhere misses its beat.
            heartbeat_.setInterval(*interval);
            connect(&heartbeat_, &QTimer::timeout, this, [this] { supervision_.Heartbeat(); });
        }
        // No window shows the output preview here.
        zustand_.Ausgabe.MitVorschau = false;
    }

    ~HeadlessReceiver() override { link_.setObserver(nullptr); }

    void start() {
        // A line whose file name the output run refuses writes nothing; the operator learns
        // it now, not when its event comes on air.
        for (std::size_t r = 0; r < vorlage_.Zeilenanzahl(); ++r) {
            const std::string& dateiname = vorlage_.Zeile(r)[SpaltenIndex(Spalte::Dateiname)];
            if (!DateinameZulaessig(dateiname))
                log_.Line("warnung: ",
                          "Zeile " + std::to_string(r + 1) + ": " +
                              (dateiname.empty() ? "Kein Dateiname angegeben!"
                                                 : "Dateiname nicht zulässig: " + dateiname));
        }
        reconnect_.Start(Reconnect::Clock::now());
        tick_.start();
        onTick();
        log_.Flush();
        supervision_.Ready(statusText());
        if (supervision_.HeartbeatInterval())
            heartbeat_.start();
        onFigures();
        figuresTakt_.start();
    }

  private:
    void onTick() {
        for (;;) {
            switch (reconnect_.Poll(Reconnect::Clock::now())) {
                case Reconnect::Action::None:
                    return;
                case Reconnect::Action::Abandon:
                    // Aborted, so that a late answer can never complete it behind our back.
                    link_.abortConnection();
                    log_.Line("client: ",
                              "Konnte nicht mit " + options_.sender.Text() + " verbinden!");
                    log_.Flush();
                    continue;
                case Reconnect::Action::Attempt:
                    log_.Line("client: ", "Verbinde mit " + options_.sender.Text());
                    log_.Flush();
                    link_.connectToHost(QString::fromStdString(options_.sender.host),
                                        options_.sender.port);
                    return;
            }
        }
    }

    void onConnected() {
        supervision_.Status(statusText(true));
        reconnect_.Connected();
        tick_.stop();
        frische_.Connected(LinkFreshness::Clock::now());
        frischeTakt_.start();
    }

    // A show has quiet breaks: a quiet link is reported, once, and never disconnected.
    void onFrischeTakt() {
        const auto now = LinkFreshness::Clock::now();
        if (frische_.Check(now) == LinkFreshness::Change::WentStale) {
            log_.Line("status: ", "Seit " + DauerText(*frische_.Quiet(now)) + " kein Telegramm!");
            log_.Flush();
        }
    }

    void onTelegram() {
        const auto now = LinkFreshness::Clock::now();
        lastTelegram_ = now;
        const auto quiet = frische_.Quiet(now);
        frische_.Telegram(now);
        if (frische_.Check(now) == LinkFreshness::Change::CameBack && quiet)
            log_.Line("status: ", "Wieder ein Telegramm nach " + DauerText(*quiet));
    }

    void onDisconnected() {
        frische_.Disconnected();
        supervision_.Status(statusText(false));
        frischeTakt_.stop();
        if (options_.exitOnDisconnect) {
            finish();
            return;
        }
        reconnect_.Lost(Reconnect::Clock::now());
        tick_.start();
    }

    void onEvent(const QString& eventText) {
        const AusgabeLaufErgebnis ergebnis = AusgabeLauf(
            vorlage_, eventText.toStdString(), store_.Latest(), store_.Section("AktUml"),
            store_.Section("Umlaufdaten"), options_.output, zustand_);
        // A run that called no writer leaves the previous run's warnings standing.
        if (ergebnis.Ende != LaufEnde::Ausgegeben)
            return;
        const std::string& warnungen = zustand_.Ausgabe.Warnungen;
        for (std::size_t start = 0; start < warnungen.size();) {
            const std::size_t ende = warnungen.find("\r\n", start);
            log_.Line("warnung: ", warnungen.substr(start, ende - start));
            if (ende == std::string::npos)
                break;
            start = ende + 2;
        }
        for (const std::string& datei : zustand_.Ausgabe.GeschriebeneDateien)
            log_.Line("datei: ", datei);
        figures_.filesWritten += zustand_.Ausgabe.GeschriebeneDateien.size();
    }

    // The service's status line: the link's state and the counts.
    std::string statusText(std::optional<bool> connected = std::nullopt) const {
        const bool verbunden = connected.value_or(link_.isConnected());
        return (verbunden ? "Verbunden mit " : "Keine Verbindung zu ") + options_.sender.Text() +
               "; Telegramme: " + std::to_string(figures_.telegrams) +
               ", fehlerhafte Rahmen: " + std::to_string(figures_.garbledRuns) +
               ", Warnungen: " + std::to_string(log_.Warnings());
    }

    // Once a second: the status for systemd (when it changed) and the metrics file.
    void onFigures() {
        supervision_.Status(statusText());
        if (options_.metricsFile.empty())
            return;
        const auto now = LinkFreshness::Clock::now();
        figures_.connected = link_.isConnected();
        figures_.secondsSinceLastTelegram =
            std::chrono::duration<double>(now - lastTelegram_).count();
        figures_.warnings = log_.Warnings();
        figures_.recorderBytes = recording_ ? recording_->Bytes() : 0;
        const journal::LocalMoment at = clock_.Now();
        if (!metricsOutage_.MayTry(at.utcMs))
            return;
        const std::string subject = "Kennzahlendatei " + options_.metricsFile;
        std::optional<journal::Notice> notice;
        try {
            ReplaceFile(options_.metricsFile,
                        MetricsText(figures_, options_.sender.Text(), options_.output));
            notice = metricsOutage_.Succeeded(subject);
        } catch (const Error& e) {
            // The reason without the path the subject already names.
            std::string_view reason = e.what();
            if (reason.starts_with(options_.metricsFile + ": "))
                reason.remove_prefix(options_.metricsFile.size() + 2);
            notice = metricsOutage_.Failed(at.utcMs, subject, std::string(reason));
        }
        if (notice) {
            log_.Line(notice->kind + ": ", notice->text);
            log_.Flush();
        }
    }

    // Runs from the event loop, never inside a telegram: the one in hand is finished.
    void finish() {
        supervision_.Stopping();
        reconnect_.Stop();
        tick_.stop();
        heartbeat_.stop();
        figuresTakt_.stop();
        onFigures();
        log_.Flush();
        QCoreApplication::exit(kExitOk);
    }

    ReceiveOptions options_;
    Vorlage vorlage_;
    TelegramStore store_;
    // The headless receiver has no editor to activate: its template is always active.
    const bool vorlagenAktiv_ = true;
    net::LinkClient link_;
    AusgabeLaufZustand zustand_;
    journal::SystemLocalClock clock_;
    std::unique_ptr<journal::DailyLog> daily_;
    Log log_;
    std::unique_ptr<Recording> recording_;
    Supervision supervision_;
    QTimer heartbeat_;
    QTimer figuresTakt_;
    Kennzahlen figures_;
    LinkFreshness::Clock::time_point lastTelegram_ = LinkFreshness::Clock::now();
    journal::Outage metricsOutage_{"Aktualisierung", "Aktualisierungen"};
    Reconnect reconnect_;
    QTimer tick_;
    LinkFreshness frische_;
    QTimer frischeTakt_;
    net::SignalWatcher watcher_;
};

}  // namespace

int Receive(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Empfänger ohne Fenster: verbindet sich mit dem Sender, quittiert jedes Telegramm und "
        "schreibt die Ausgabe der Vorlage in den Ausgabeordner.");
    const QCommandLineOption connectOption("connect", "Adresse des Senders.", "HOST:PORT");
    const QCommandLineOption templateOption("template", "Vorlagendatei (JSON).", "DATEI");
    const QCommandLineOption outputOption("output", "Ausgabeordner (LiveText-Datenordner).",
                                          "ORDNER");
    const QCommandLineOption reconnectOption(
        "reconnect", "Sekunden bis zum nächsten Verbindungsversuch (Vorgabe 2).", "SEKUNDEN", "2");
    const QCommandLineOption exitOption("exit-on-disconnect",
                                        "Beenden, sobald der Sender die Verbindung schließt.");
    const QCommandLineOption staleOption(
        "stale",
        "Sekunden ohne Telegramm, nach denen eine status:-Zeile die ruhige Verbindung meldet "
        "(Vorgabe 120); die Verbindung bleibt.",
        "SEKUNDEN", "120");
    const QCommandLineOption noTimestampsOption(
        "no-timestamps",
        "Zeilen auf der Standardausgabe ohne Zeitstempel (für ein Journal, das eigene setzt).");
    const QCommandLineOption logDirOption(
        "log-dir", "Jede Zeile auch in ORDNER/JJJJ-MM-TT.log schreiben (30 Tage aufbewahrt).",
        "ORDNER");
    const QCommandLineOption recordDirOption(
        "record-dir",
        "Jedes Telegramm in ORDNER/JJJJ-MM-TT.jsonl aufzeichnen (Mitschnitt, abspielbar mit "
        "zelmo simulate).",
        "ORDNER");
    const QCommandLineOption recordLimitOption(
        "record-limit",
        "Höchstens so viele Megabyte Mitschnitt; die ältesten Tage werden zuerst gelöscht "
        "(Vorgabe 2048).",
        "MB", "2048");
    const QCommandLineOption metricsOption(
        "metrics-file",
        "Kennzahlen jede Sekunde in diese Datei (Prometheus-Textformat), z. B. für den "
        "Textfile-Collector des node_exporter.",
        "DATEI");
    parser.addOptions({connectOption, templateOption, outputOption, reconnectOption, staleOption,
                       exitOption, noTimestampsOption, logDirOption, recordDirOption,
                       recordLimitOption, metricsOption});
    if (const auto done = ParseArguments(parser, args))
        return *done;

    if (!Vorhanden(parser, args, {&connectOption, &templateOption, &outputOption}))
        return kExitUsage;
    ReceiveOptions options;
    const auto sender = VerbindungsAdresse(parser, connectOption, args);
    if (!sender)
        return kExitUsage;
    options.sender = *sender;
    for (auto [option, ziel] : {std::pair{&reconnectOption, &options.reconnect},
                                std::pair{&staleOption, &options.stale}}) {
        const auto seconds = ParseSeconds(parser.value(*option));
        if (!seconds) {
            Fehler(args, "--" + option->names().first() + ": \"" + parser.value(*option) +
                             "\" ist keine Sekundenzahl von 0.05 bis 86400");
            return kExitUsage;
        }
        *ziel = *seconds;
    }
    options.exitOnDisconnect = parser.isSet(exitOption);
    options.timestamps = !parser.isSet(noTimestampsOption);
    options.logDir = parser.value(logDirOption).toStdString();
    options.recordDir = parser.value(recordDirOption).toStdString();
    options.metricsFile = parser.value(metricsOption).toStdString();
    bool limitOk = false;
    const qlonglong limitMb = parser.value(recordLimitOption).toLongLong(&limitOk);
    if (!limitOk || limitMb < 1 || limitMb > 1024 * 1024) {
        Fehler(args, "--record-limit: \"" + parser.value(recordLimitOption) +
                         "\" ist keine Megabytezahl von 1 bis 1048576");
        return kExitUsage;
    }
    options.recordLimit = static_cast<std::uint64_t>(limitMb) * 1024 * 1024;
    options.output = parser.value(outputOption).toStdString();
    if (!QFileInfo(parser.value(outputOption)).isDir()) {
        Fehler(args, "Ausgabeordner \"" + parser.value(outputOption) + "\" nicht gefunden");
        return kExitUsage;
    }

    const QString templatePath = parser.value(templateOption);
    const auto bytes = DateiLesen(args, templatePath);
    if (!bytes)
        return kExitUsage;
    EinleseErgebnis vorlage = VorlageAusBytes(*bytes);
    if (!vorlage.Erfolgreich()) {
        // An empty "Zeilen" is no failure to the editor, which keeps its template; here there
        // is no other template to keep.
        const std::string meldung = vorlage.Status == EinleseStatus::ZeilenLeer
                                        ? "Keine Ausgabezeilen vorhanden!"
                                        : vorlage.Meldung;
        QString text = QString::fromStdString(meldung);
        text.replace("\r\n", " ");
        Fehler(args, templatePath + ": " + text);
        return kExitUsage;
    }

    HeadlessReceiver receiver(std::move(options), std::move(vorlage.Vorlage));
    receiver.start();
    return QCoreApplication::exec();
}

}  // namespace zelmo::tool

#include "ReceiveCommand.moc"
