// zelmo receive: the desktop program's receive path without a window.

#include <QCoreApplication>
#include <QFileInfo>
#include <QObject>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <string>
#include <utility>

#include "Commands.h"
#include "Endpoint.h"
#include "Log.h"
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

struct ReceiveOptions {
    Endpoint sender;
    milliseconds reconnect{2000};
    milliseconds stale{LinkFreshness::kDefaultThreshold};
    bool exitOnDisconnect = false;
    std::string output;
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
        connect(&link_, &net::LinkClient::telegramLog, this, [this](const QString& line) {
            log_.Line("telegramm: ", line.toStdString());
            onTelegram();
        });
        connect(&link_, &net::LinkClient::clientLog, this, [this](const QString& line) {
            log_.Line("client: ", line.toStdString());
            log_.Flush();
        });
        connect(&link_, &net::LinkClient::statusLabel, this,
                [this](const QString& text) { log_.Line("status: ", text.toStdString()); });
        connect(&link_, &net::LinkClient::dispatch, this, &HeadlessReceiver::onEvent);
        connect(&link_, &net::LinkClient::acknowledged, this, [this] { log_.Flush(); });
        connect(&link_, &net::LinkClient::connected, this, &HeadlessReceiver::onConnected);
        connect(&link_, &net::LinkClient::disconnected, this, &HeadlessReceiver::onDisconnected);

        tick_.setInterval(kTick);
        connect(&tick_, &QTimer::timeout, this, &HeadlessReceiver::onTick);
        frischeTakt_.setInterval(std::min<milliseconds>(options_.stale / 4, milliseconds(1000)));
        connect(&frischeTakt_, &QTimer::timeout, this, &HeadlessReceiver::onFrischeTakt);
        connect(&watcher_, &net::SignalWatcher::terminationRequested, this,
                &HeadlessReceiver::finish);
        // No window shows the output preview here.
        zustand_.Ausgabe.MitVorschau = false;
    }

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
        const auto quiet = frische_.Quiet(now);
        frische_.Telegram(now);
        if (frische_.Check(now) == LinkFreshness::Change::CameBack && quiet)
            log_.Line("status: ", "Wieder ein Telegramm nach " + DauerText(*quiet));
    }

    void onDisconnected() {
        frische_.Disconnected();
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
    }

    // Runs from the event loop, never inside a telegram: the one in hand is finished.
    void finish() {
        reconnect_.Stop();
        tick_.stop();
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
    Log log_;
    Reconnect reconnect_;
    QTimer tick_;
    LinkFreshness frische_;
    QTimer frischeTakt_;
    net::SignalWatcher watcher_;
};

std::optional<milliseconds> ParseSeconds(const QString& text) {
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    if (!ok || !(seconds >= 0.05) || seconds > 86400)
        return std::nullopt;
    return milliseconds(static_cast<long long>(seconds * 1000 + 0.5));
}

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
    parser.addOptions(
        {connectOption, templateOption, outputOption, reconnectOption, staleOption, exitOption});
    if (const auto done = ParseArguments(parser, args))
        return *done;

    for (const auto* option : {&connectOption, &templateOption, &outputOption}) {
        if (!parser.isSet(*option)) {
            Fehler(args, "--" + option->names().first() + " fehlt");
            return kExitUsage;
        }
    }
    ReceiveOptions options;
    const auto sender = ParseEndpoint(parser.value(connectOption).toStdString());
    if (!sender) {
        Fehler(args, "--connect: \"" + parser.value(connectOption) +
                         "\" ist keine Adresse HOST:PORT mit Port 1 bis 65535");
        return kExitUsage;
    }
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
