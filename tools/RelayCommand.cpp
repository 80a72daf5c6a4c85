// zelmo relay: holds the one connection to the scoring sender and serves up to eight
// receivers (the main and backup graphics machines) with the same feed. Its rules are the
// core's Relay; this only moves bytes between the sockets and it.

#include <QCoreApplication>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <string>

#include "Commands.h"
#include "Endpoint.h"
#include "Listen.h"
#include "Log.h"
#include "journal/LocalTime.h"
#include "link/Reconnect.h"
#include "link/Relay.h"
#include "net/SignalWatcher.h"

namespace zelmo::tool {

namespace {

using RelayCore = zelmo::Relay;
using Clock = RelayCore::Clock;
using std::chrono::milliseconds;

// How often the reconnect rule is asked while the sender is not connected.
constexpr milliseconds kTick{10};
// How often the receivers' figures are logged while telegrams come.
constexpr milliseconds kFiguresEvery{60000};
// Largest slice read at once; a receiver's or the sender's frame is reassembled slice by slice.
constexpr qint64 kReadSlice = 1024 * 1024;

struct RelayOptions {
    Endpoint sender;
    QHostAddress listenAddress;
    quint16 listenPort = 0;
    milliseconds reconnect{2000};
    bool timestamps = true;
    std::size_t maxBehind = RelayCore::kDefaultMaxBehind;
};

class RelayServer : public QObject, private RelaySink {
    Q_OBJECT

  public:
    explicit RelayServer(RelayOptions options)
        : options_(std::move(options)),
          relay_(*this, options_.maxBehind),
          reconnect_(options_.reconnect) {
        log_.Stamp(clock_, options_.timestamps);
        connect(&server_, &QTcpServer::newConnection, this, &RelayServer::onNewConnection);
        connect(&sender_, &QTcpSocket::connected, this, &RelayServer::onSenderConnected);
        connect(&sender_, &QTcpSocket::disconnected, this, &RelayServer::onSenderDisconnected);
        connect(&sender_, &QTcpSocket::readyRead, this, &RelayServer::onSenderBytes);
        tick_.setInterval(kTick);
        connect(&tick_, &QTimer::timeout, this, &RelayServer::onTick);
        deadline_.setSingleShot(true);
        deadline_.setTimerType(Qt::PreciseTimer);
        connect(&deadline_, &QTimer::timeout, this, [this] {
            relay_.Tick(Clock::now());
            settle();
        });
        figures_.setInterval(kFiguresEvery);
        connect(&figures_, &QTimer::timeout, this, &RelayServer::onFigures);
        connect(&watcher_, &net::SignalWatcher::terminationRequested, this, &RelayServer::finish);
    }

    ~RelayServer() override {
        QObject::disconnect(&sender_, nullptr, this, nullptr);
        for (auto& [id, socket] : receivers_)
            QObject::disconnect(socket, nullptr, this, nullptr);
    }

    // Listens first, whether or not the sender can be reached yet.
    bool start() {
        const std::optional<Endpoint> bound =
            Listen(server_, options_.listenAddress, options_.listenPort, log_, "relay: ");
        if (!bound)
            return false;
        log_.Line("relay: ", "lauscht auf " + bound->Text() + ", Sender " + options_.sender.Text());
        reconnect_.Start(Reconnect::Clock::now());
        tick_.start();
        figures_.start();
        onTick();
        return true;
    }

  private:
    void ToSender(std::string_view bytes) override {
        if (sender_.state() == QAbstractSocket::ConnectedState)
            Write(sender_, bytes);
    }
    void ToReceiver(std::uint64_t receiver, std::string_view bytes) override {
        const auto it = receivers_.find(receiver);
        if (it != receivers_.end() && it->second->state() == QAbstractSocket::ConnectedState)
            Write(*it->second, bytes);
    }
    void Drop(std::uint64_t receiver) override {
        const auto it = receivers_.find(receiver);
        if (it == receivers_.end())
            return;
        QTcpSocket* socket = it->second;
        receivers_.erase(it);
        QObject::disconnect(socket, nullptr, this, nullptr);
        socket->abort();
        socket->deleteLater();
    }
    void Log(std::string_view prefix, const std::string& text) override { log_.Line(prefix, text); }

    void Write(QTcpSocket& socket, std::string_view bytes) {
        writing_ = true;
        socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
        // Now rather than on the next turn of the event loop: a peer waits for these bytes.
        socket.flush();
        writing_ = false;
    }

    // A write that fails aborts its socket, whose end is reported at once, from inside the
    // relay's call: handled from the event loop instead, never inside it.
    template <typename Handler>
    bool Later(Handler handler) {
        if (!writing_)
            return false;
        QMetaObject::invokeMethod(this, handler, Qt::QueuedConnection);
        return true;
    }

    // After every event: the relay's next deadline, and the log lines out.
    void settle() {
        if (const auto at = relay_.Deadline()) {
            // One millisecond more: a wait ends once its time has passed.
            const auto ms = std::chrono::ceil<milliseconds>(*at - Clock::now()).count() + 1;
            deadline_.start(static_cast<int>(std::clamp<milliseconds::rep>(ms, 0, 86400000)));
        } else {
            deadline_.stop();
        }
        log_.Flush();
    }

    // Hands every byte waiting on `socket` to `consume`, slice by slice into one buffer.
    template <typename Consume>
    void ReadAll(QTcpSocket& socket, Consume consume) {
        for (;;) {
            const qint64 available = std::min(socket.bytesAvailable(), kReadSlice);
            if (available <= 0)
                return;
            if (static_cast<qint64>(buffer_.size()) < available)
                buffer_.resize(static_cast<std::size_t>(available));
            const qint64 got = socket.read(buffer_.data(), available);
            if (got <= 0)
                return;
            consume(std::string_view(buffer_.data(), static_cast<std::size_t>(got)));
        }
    }

    void onTick() {
        for (;;) {
            switch (reconnect_.Poll(Reconnect::Clock::now())) {
                case Reconnect::Action::None:
                    log_.Flush();
                    return;
                case Reconnect::Action::Abandon:
                    // Aborted, so that a late answer can never complete it behind our back.
                    sender_.abort();
                    log_.Line("client: ",
                              "Konnte nicht mit " + options_.sender.Text() + " verbinden!");
                    continue;
                case Reconnect::Action::Attempt:
                    log_.Line("client: ", "Verbinde mit " + options_.sender.Text());
                    log_.Flush();
                    sender_.connectToHost(QString::fromStdString(options_.sender.host),
                                          options_.sender.port);
                    return;
            }
        }
    }

    void onSenderConnected() {
        sender_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        senderUp_ = true;
        reconnect_.Connected();
        tick_.stop();
        relay_.SenderConnected();
        log_.Line("client: ", "Verbunden mit " + options_.sender.Text());
        settle();
    }

    void onSenderDisconnected() {
        if (Later([this] { onSenderDisconnected(); }) || !senderUp_)
            return;
        senderUp_ = false;
        relay_.SenderDisconnected();
        log_.Line("client: ", "Verbindung zu " + options_.sender.Text() + " getrennt");
        reconnect_.Lost(Reconnect::Clock::now());
        tick_.start();
        settle();
    }

    void onSenderBytes() {
        ReadAll(sender_, [this](std::string_view bytes) {
            if (senderUp_)
                relay_.FromSender(bytes, Clock::now());
        });
        settle();
    }

    void onNewConnection() {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            const RelayCore::Id id = nextId_;
            receivers_[id] = socket;
            socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            const Endpoint peer{socket->peerAddress().toString().toStdString(), socket->peerPort()};
            if (!relay_.ReceiverConnected(id, peer.Text(), Clock::now())) {
                receivers_.erase(id);
                socket->abort();
                socket->deleteLater();
                continue;
            }
            ++nextId_;
            connect(socket, &QTcpSocket::readyRead, this, [this, id, socket] {
                ReadAll(*socket, [this, id](std::string_view bytes) {
                    relay_.FromReceiver(id, bytes, Clock::now());
                });
                settle();
            });
            connect(socket, &QTcpSocket::disconnected, this, [this, id] { onReceiverGone(id); });
        }
        settle();
    }

    void onReceiverGone(RelayCore::Id id) {
        if (Later([this, id] { onReceiverGone(id); }))
            return;
        const auto it = receivers_.find(id);
        if (it == receivers_.end())
            return;
        QTcpSocket* socket = it->second;
        receivers_.erase(it);
        QObject::disconnect(socket, nullptr, this, nullptr);
        socket->deleteLater();
        relay_.ReceiverDisconnected(id, Clock::now());
        settle();
    }

    void logFigures() {
        for (const std::string& line : relay_.Figures())
            log_.Line("relay: ", line);
    }

    void onFigures() {
        if (relay_.Telegrams() == figuresAt_)
            return;
        figuresAt_ = relay_.Telegrams();
        logFigures();
        log_.Flush();
    }

    void finish() {
        reconnect_.Stop();
        tick_.stop();
        deadline_.stop();
        figures_.stop();
        logFigures();
        log_.Line("relay: ", "beendet nach " + std::to_string(relay_.Telegrams()) + " Telegrammen");
        log_.Flush();
        server_.close();
        for (auto& [id, socket] : receivers_) {
            QObject::disconnect(socket, nullptr, this, nullptr);
            socket->disconnectFromHost();
        }
        QObject::disconnect(&sender_, nullptr, this, nullptr);
        sender_.disconnectFromHost();
        QCoreApplication::exit(kExitOk);
    }

    RelayOptions options_;
    RelayCore relay_;
    QTcpServer server_;
    QTcpSocket sender_;
    bool senderUp_ = false;
    bool writing_ = false;
    Reconnect reconnect_;
    QTimer tick_;
    QTimer deadline_;
    QTimer figures_;
    std::uint64_t figuresAt_ = 0;
    std::map<RelayCore::Id, QTcpSocket*> receivers_;
    RelayCore::Id nextId_ = 1;
    std::vector<char> buffer_;
    journal::SystemLocalClock clock_;
    net::SignalWatcher watcher_;
    zelmo::tool::Log log_;
};

}  // namespace

int Relay(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Zwischen einem Sender und bis zu acht Empfängern (Haupt- und Ersatzrechner): hält die "
        "eine Verbindung zum Sender und gibt jedem verbundenen Empfänger jedes Telegramm. Der "
        "Sender bekommt seine Quittung, sobald der Hauptempfänger (der am längsten verbundene) "
        "quittiert hat, sofort, solange kein Empfänger verbunden ist, und spätestens nach "
        "3,5 s. Endet mit Strg+C (SIGINT) oder SIGTERM.");
    const QCommandLineOption connectOption("connect", "Adresse des Senders.", "HOST:PORT");
    const QCommandLineOption listenOption(
        "listen", "Adresse, an der die Empfänger sich verbinden; Port 0 wählt einen freien.",
        "HOST:PORT");
    const QCommandLineOption reconnectOption(
        "reconnect", "Sekunden bis zum nächsten Verbindungsversuch zum Sender (Vorgabe 2).",
        "SEKUNDEN", "2");
    const QCommandLineOption noTimestampsOption(
        "no-timestamps",
        "Zeilen auf der Standardausgabe ohne Zeitstempel (für ein Journal, das eigene setzt).");
    const QCommandLineOption maxBehindOption(
        "max-behind",
        "Ein Empfänger, der mehr als N Telegramme zurückliegt, wird getrennt (Vorgabe 1000).", "N",
        "1000");
    parser.addOptions(
        {connectOption, listenOption, reconnectOption, noTimestampsOption, maxBehindOption});
    if (const auto done = ParseArguments(parser, args))
        return *done;

    if (!Vorhanden(parser, args, {&connectOption, &listenOption}))
        return kExitUsage;
    const auto sender = VerbindungsAdresse(parser, connectOption, args);
    const auto listen = sender ? LauschAdresseLesen(parser, listenOption, args) : std::nullopt;
    if (!listen)
        return kExitUsage;
    RelayOptions options;
    options.sender = *sender;
    options.listenAddress = listen->address;
    options.listenPort = listen->port;
    const auto reconnect = ParseSeconds(parser.value(reconnectOption));
    if (!reconnect) {
        Fehler(args, "--reconnect: \"" + parser.value(reconnectOption) +
                         "\" ist keine Sekundenzahl von 0.05 bis 86400");
        return kExitUsage;
    }
    options.reconnect = *reconnect;
    bool ok = false;
    const qlonglong maxBehind = parser.value(maxBehindOption).toLongLong(&ok);
    if (!ok || maxBehind < 1 || maxBehind > 1000000) {
        Fehler(args, "--max-behind: \"" + parser.value(maxBehindOption) +
                         "\" ist keine Zahl von 1 bis 1000000");
        return kExitUsage;
    }
    options.maxBehind = static_cast<std::size_t>(maxBehind);
    options.timestamps = !parser.isSet(noTimestampsOption);

    RelayServer server(std::move(options));
    if (!server.start())
        return kExitFailed;
    return QCoreApplication::exec();
}

}  // namespace zelmo::tool

#include "RelayCommand.moc"
