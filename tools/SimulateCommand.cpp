// zelmo simulate: a scoring sender that plays a show to one receiver, stop-and-wait.

#include <QCoreApplication>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "Commands.h"
#include "Endpoint.h"
#include "Listen.h"
#include "Log.h"
#include "RoundTrips.h"
#include "component/Error.h"
#include "journal/Show.h"
#include "link/AckWait.h"
#include "link/Frame.h"
#include "link/FrameReader.h"
#include "net/SignalWatcher.h"

namespace zelmo::tool {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr std::string_view kPrefix = "simulate: ";

int TimerMs(Clock::duration d) {
    const auto ms = std::chrono::ceil<milliseconds>(d).count();
    return ms < 0 ? 0 : static_cast<int>(ms);
}

class Simulator : public QObject {
    Q_OBJECT

  public:
    Simulator(std::vector<ShowTelegram> show, std::optional<milliseconds> interval, bool loop)
        : show_(std::move(show)), interval_(interval), loop_(loop) {
        frames_.reserve(show_.size());
        for (const ShowTelegram& t : show_)
            frames_.push_back(EncodeFrame(t.payload));
        sendTimer_.setSingleShot(true);
        sendTimer_.setTimerType(Qt::PreciseTimer);
        connect(&sendTimer_, &QTimer::timeout, this, &Simulator::sendNext);
        ackTimer_.setSingleShot(true);
        ackTimer_.setTimerType(Qt::PreciseTimer);
        connect(&ackTimer_, &QTimer::timeout, this, &Simulator::onAckTimeout);
        quietTimer_.setSingleShot(true);
        connect(&quietTimer_, &QTimer::timeout, this, [this] { onBytes({}); });
        connect(&server_, &QTcpServer::newConnection, this, &Simulator::onNewConnection);
        connect(&watcher_, &net::SignalWatcher::terminationRequested, this, &Simulator::finish);
    }

    bool listen(const QHostAddress& address, quint16 port) {
        const std::optional<Endpoint> bound = Listen(server_, address, port, log_, kPrefix);
        if (!bound)
            return false;
        log_.Line(kPrefix,
                  std::to_string(show_.size()) + " Telegramme, lauscht auf " + bound->Text());
        log_.Flush();
        return true;
    }

  private:
    struct Anchor {
        Clock::time_point time;
        std::int64_t atMs = 0;
    };

    void onNewConnection() {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            if (peer_ != nullptr) {
                // One receiver at a time, as the scoring sender has.
                log_.Line(kPrefix, "weiterer Empfänger abgewiesen");
                socket->abort();
                socket->deleteLater();
                continue;
            }
            peer_ = socket;
            peer_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            connect(peer_, &QTcpSocket::readyRead, this, &Simulator::onReadyRead);
            connect(peer_, &QTcpSocket::disconnected, this, &Simulator::onPeerDisconnected);
            reader_.Reset();
            log_.Line(kPrefix,
                      "Empfänger verbunden: " + peer_->peerAddress().toString().toStdString() +
                          ":" + std::to_string(peer_->peerPort()));
            log_.Flush();
            scheduleNext();
        }
    }

    void onPeerDisconnected() {
        log_.Line(kPrefix, "Empfänger getrennt");
        log_.Flush();
        // The telegram in hand was not acknowledged: it goes out again to the next receiver,
        // and the show's timing starts afresh from there.
        if (waiting_)
            ++interrupted_;
        waiting_ = false;
        ackTimer_.stop();
        sendTimer_.stop();
        quietTimer_.stop();
        anchor_.reset();
        lastSend_.reset();
        peer_->deleteLater();
        peer_ = nullptr;
    }

    void scheduleNext() {
        if (peer_ == nullptr || waiting_)
            return;
        if (next_ >= show_.size()) {
            if (!loop_) {
                finish();
                return;
            }
            next_ = 0;
            anchor_.reset();
        }
        const Clock::time_point now = Clock::now();
        Clock::time_point due = now;
        const ShowTelegram& telegram = show_[next_];
        if (interval_) {
            if (lastSend_)
                due = *lastSend_ + *interval_;
        } else if (telegram.atMs) {
            if (!anchor_)
                anchor_ = Anchor{now, *telegram.atMs};
            due = anchor_->time + milliseconds(*telegram.atMs - anchor_->atMs);
        }
        sendTimer_.start(TimerMs(due - now));
    }

    void sendNext() {
        if (peer_ == nullptr || waiting_)
            return;
        const std::string& frame = frames_[next_];
        peer_->write(frame.data(), static_cast<qint64>(frame.size()));
        peer_->flush();
        sentAt_ = Clock::now();
        lastSend_ = sentAt_;
        waiting_ = true;
        ++sent_;
        ackTimer_.start(std::chrono::duration_cast<milliseconds>(AckWait::kTimeout));
    }

    void onReadyRead() {
        const QByteArray data = peer_->readAll();
        onBytes(std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
    }

    void onBytes(std::string_view input) {
        while (const auto event = reader_.Next(input, Clock::now())) {
            switch (event->kind) {
                case FrameReader::Kind::PeerAck:
                    onAck();
                    break;
                case FrameReader::Kind::Telegram:
                case FrameReader::Kind::Garbled:
                    // The link is symmetric: whatever the receiver sends is answered.
                    if (peer_ != nullptr) {
                        peer_->write(kAckFrame.data(), static_cast<qint64>(kAckFrame.size()));
                        peer_->flush();
                    }
                    log_.Line(kPrefix, event->kind == FrameReader::Kind::Telegram
                                           ? "Telegramm des Empfängers quittiert"
                                           : "fehlerhafter Rahmen des Empfängers quittiert");
                    log_.Flush();
                    break;
            }
        }
        // A garbled run ends once the link has been quiet, also when nothing more arrives.
        if (const auto quiet = reader_.QuietDeadline())
            quietTimer_.start(TimerMs(*quiet - Clock::now()) + 1);
        else
            quietTimer_.stop();
    }

    std::string Position() const {
        return "telegramm " + std::to_string(next_ + 1) + "/" + std::to_string(show_.size());
    }

    void onAck() {
        if (!waiting_) {
            log_.Line(kPrefix, "Quittung ohne gesendetes Telegramm");
            log_.Flush();
            return;
        }
        const auto micros =
            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - sentAt_).count();
        trips_.Add(micros);
        ++acked_;
        waiting_ = false;
        ackTimer_.stop();
        log_.Line(kPrefix, Position() + " quittiert nach " + std::to_string(micros) + " µs");
        log_.Flush();
        ++next_;
        scheduleNext();
    }

    void onAckTimeout() {
        ++timeouts_;
        waiting_ = false;
        log_.Line(kPrefix, Position() + ": keine Quittung nach 4 s");
        log_.Flush();
        ++next_;
        scheduleNext();
    }

    void finish() {
        sendTimer_.stop();
        ackTimer_.stop();
        // Ended by a signal while a telegram waited for its acknowledgement.
        if (waiting_)
            ++interrupted_;
        waiting_ = false;
        const RoundTrips::Summary summary = trips_.Summarize();
        log_.Line("statistik: ", "gesendet " + std::to_string(sent_) + ", quittiert " +
                                     std::to_string(acked_) + ", ohne Quittung " +
                                     std::to_string(timeouts_) + ", unterbrochen " +
                                     std::to_string(interrupted_));
        log_.Line("statistik: ", "rundlauf median " + std::to_string(summary.median) + " µs, p99 " +
                                     std::to_string(summary.p99) + " µs, max " +
                                     std::to_string(summary.max) + " µs");
        log_.Flush();
        if (peer_ != nullptr) {
            // The receiver learns that the show is over from the closed connection.
            QTcpSocket* peer = peer_;
            peer_ = nullptr;
            QObject::disconnect(peer, nullptr, this, nullptr);
            peer->disconnectFromHost();
            if (peer->state() != QAbstractSocket::UnconnectedState)
                peer->waitForDisconnected(2000);
            peer->deleteLater();
        }
        server_.close();
        QCoreApplication::exit(kExitOk);
    }

    std::vector<ShowTelegram> show_;
    std::vector<std::string> frames_;
    const std::optional<milliseconds> interval_;
    const bool loop_;

    QTcpServer server_;
    QTcpSocket* peer_ = nullptr;
    FrameReader reader_;
    QTimer sendTimer_;
    QTimer ackTimer_;
    QTimer quietTimer_;
    net::SignalWatcher watcher_;
    Log log_;

    std::size_t next_ = 0;
    bool waiting_ = false;
    Clock::time_point sentAt_;
    std::optional<Clock::time_point> lastSend_;
    std::optional<Anchor> anchor_;

    RoundTrips trips_;
    std::size_t sent_ = 0;
    std::size_t acked_ = 0;
    std::size_t timeouts_ = 0;
    std::size_t interrupted_ = 0;
};

}  // namespace

std::optional<QHostAddress> ListenAddress(const std::string& host) {
    if (host == "localhost")
        return QHostAddress(QHostAddress::LocalHost);
    if (host == "*")
        return QHostAddress(QHostAddress::Any);
    QHostAddress address;
    if (!address.setAddress(QString::fromStdString(host)))
        return std::nullopt;
    return address;
}

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
    parser.addOptions({listenOption, showOption, intervalOption, loopOption});
    if (const auto done = ParseArguments(parser, args))
        return *done;

    for (const auto* option : {&listenOption, &showOption}) {
        if (!parser.isSet(*option)) {
            Fehler(args, "--" + option->names().first() + " fehlt");
            return kExitUsage;
        }
    }
    const auto endpoint = ParseEndpoint(parser.value(listenOption).toStdString(), true);
    const auto address = endpoint ? ListenAddress(endpoint->host) : std::nullopt;
    if (!address) {
        Fehler(args, "--listen: \"" + parser.value(listenOption) +
                         "\" ist keine Adresse IP:PORT zum Lauschen");
        return kExitUsage;
    }
    std::optional<milliseconds> interval;
    if (parser.isSet(intervalOption)) {
        bool ok = false;
        const int ms = parser.value(intervalOption).toInt(&ok);
        if (!ok || ms < 0) {
            Fehler(args, "--interval: \"" + parser.value(intervalOption) +
                             "\" ist keine Millisekundenzahl ab 0");
            return kExitUsage;
        }
        interval = milliseconds(ms);
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

    Simulator simulator(std::move(show), interval, parser.isSet(loopOption));
    if (!simulator.listen(*address, endpoint->port))
        return kExitFailed;
    return QCoreApplication::exec();
}

}  // namespace zelmo::tool

#include "SimulateCommand.moc"
