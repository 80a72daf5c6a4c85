// zelmo record: sits between a scoring sender and a receiver, passes every byte through
// unchanged and records the sender's telegrams with their timing as a show.

#include <QCoreApplication>
#include <QFile>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <chrono>
#include <optional>
#include <string>

#include "Commands.h"
#include "Endpoint.h"
#include "Listen.h"
#include "Log.h"
#include "component/CodePage.h"
#include "journal/Show.h"
#include "link/FrameReader.h"
#include "net/SignalWatcher.h"

namespace zelmo::tool {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kPrefix = "record: ";
constexpr int kConnectTimeoutMs = 5000;

class Recorder : public QObject {
    Q_OBJECT

  public:
    Recorder(Endpoint sender, QFile& show) : sender_(std::move(sender)), show_(show) {
        connectTimer_.setSingleShot(true);
        connect(&connectTimer_, &QTimer::timeout, this,
                [this] { closeSession("Konnte nicht mit " + sender_.Text() + " verbinden!"); });
        connect(&server_, &QTcpServer::newConnection, this, &Recorder::onNewConnection);
        connect(&watcher_, &net::SignalWatcher::terminationRequested, this, &Recorder::finish);
    }

    bool listen(const QHostAddress& address, quint16 port) {
        const std::optional<Endpoint> bound = Listen(server_, address, port, log_, kPrefix);
        if (!bound)
            return false;
        say("lauscht auf " + bound->Text() + ", Sender " + sender_.Text());
        return true;
    }

  private:
    void say(const std::string& text) {
        log_.Line(kPrefix, text);
        log_.Flush();
    }

    // A receiver arrived: only now is the sender connected, so that the sender sees a
    // connection exactly while the receiver has one.
    void onNewConnection() {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            if (receiver_ != nullptr) {
                say("weiterer Empfänger abgewiesen");
                socket->abort();
                socket->deleteLater();
                continue;
            }
            receiver_ = socket;
            receiver_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            connect(receiver_, &QTcpSocket::readyRead, this, &Recorder::onReceiverBytes);
            connect(receiver_, &QTcpSocket::disconnected, this,
                    [this] { closeSession("Empfänger getrennt"); });

            upstream_ = new QTcpSocket(this);
            connect(upstream_, &QTcpSocket::connected, this, &Recorder::onSenderConnected);
            connect(upstream_, &QTcpSocket::readyRead, this, &Recorder::onSenderBytes);
            connect(upstream_, &QTcpSocket::disconnected, this, [this] {
                onSenderBytes();
                closeSession("Sender getrennt");
            });
            connect(upstream_, &QTcpSocket::errorOccurred, this, [this] {
                if (upstream_ != nullptr && upstream_->state() != QAbstractSocket::ConnectedState &&
                    !senderConnected_)
                    closeSession("Konnte nicht mit " + sender_.Text() +
                                 " verbinden: " + upstream_->errorString().toStdString());
            });
            reader_.Reset();
            senderConnected_ = false;
            toSender_.clear();
            say("Empfänger verbunden, verbinde mit " + sender_.Text());
            upstream_->connectToHost(QString::fromStdString(sender_.host), sender_.port);
            connectTimer_.start(kConnectTimeoutMs);
        }
    }

    void onSenderConnected() {
        connectTimer_.stop();
        senderConnected_ = true;
        upstream_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        say("mit Sender verbunden");
        if (!toSender_.isEmpty()) {
            upstream_->write(toSender_);
            upstream_->flush();
            toSender_.clear();
        }
    }

    void onReceiverBytes() {
        if (receiver_ == nullptr)
            return;
        const QByteArray bytes = receiver_->readAll();
        if (senderConnected_ && upstream_ != nullptr) {
            upstream_->write(bytes);
            upstream_->flush();
        } else {
            toSender_ += bytes;
        }
    }

    void onSenderBytes() {
        if (upstream_ == nullptr)
            return;
        const QByteArray bytes = upstream_->readAll();
        if (bytes.isEmpty())
            return;
        // Passed on first: the recording must not delay the receiver.
        if (receiver_ != nullptr) {
            receiver_->write(bytes);
            receiver_->flush();
        }
        std::string_view input(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        // A garbled run ends when bytes come after the quiet time: the receiver answers it
        // only then, and the sender sends nothing before that answer.
        while (const auto event = reader_.Next(input, Clock::now())) {
            if (event->kind == FrameReader::Kind::Telegram)
                recordTelegram(event->Payload());
            else if (event->kind == FrameReader::Kind::Garbled)
                say("fehlerhafter Rahmen nicht aufgezeichnet (" +
                    std::to_string(event->bytes.size()) + " Bytes)");
        }
    }

    void recordTelegram(std::string_view payload) {
        const Clock::time_point now = Clock::now();
        if (!first_)
            first_ = now;
        const auto atMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(now - *first_).count();
        const std::string line = ShowLine(atMs, codepage::Decode(payload)) + "\n";
        // Written at once, so that an interrupted recording keeps every telegram so far.
        if (show_.write(line.data(), static_cast<qint64>(line.size())) !=
                static_cast<qint64>(line.size()) ||
            !show_.flush()) {
            say("Showdatei nicht geschrieben: " + show_.errorString().toStdString());
            return;
        }
        ++recorded_;
        say("telegramm " + std::to_string(recorded_) + " aufgezeichnet (at_ms " +
            std::to_string(atMs) + ")");
    }

    static void Close(QTcpSocket* socket) {
        // Bytes still queued for the peer go out before the socket closes.
        socket->disconnectFromHost();
        if (socket->state() == QAbstractSocket::UnconnectedState)
            socket->deleteLater();
        else
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }

    void closeSession(const std::string& reason) {
        if (receiver_ == nullptr && upstream_ == nullptr)
            return;
        connectTimer_.stop();
        QTcpSocket* receiver = receiver_;
        QTcpSocket* upstream = upstream_;
        receiver_ = nullptr;
        upstream_ = nullptr;
        senderConnected_ = false;
        toSender_.clear();
        say(reason);
        for (QTcpSocket* socket : {receiver, upstream}) {
            if (socket == nullptr)
                continue;
            QObject::disconnect(socket, nullptr, this, nullptr);
            Close(socket);
        }
    }

    void finish() {
        closeSession("beendet");
        say(std::to_string(recorded_) + " Telegramme aufgezeichnet in " +
            show_.fileName().toStdString());
        show_.close();
        QCoreApplication::exit(kExitOk);
    }

    Endpoint sender_;
    QFile& show_;
    QTcpServer server_;
    QTcpSocket* receiver_ = nullptr;
    QTcpSocket* upstream_ = nullptr;
    bool senderConnected_ = false;
    QByteArray toSender_;
    QTimer connectTimer_;
    FrameReader reader_;
    net::SignalWatcher watcher_;
    Log log_;
    std::optional<Clock::time_point> first_;
    std::size_t recorded_ = 0;
};

}  // namespace

int Record(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Zwischen Sender und Empfänger: reicht alle Bytes in beide Richtungen unverändert "
        "weiter und schreibt jedes Telegramm des Senders mit seiner Zeit in die Showdatei. "
        "Endet mit Strg+C (SIGINT) oder SIGTERM.");
    const QCommandLineOption connectOption("connect", "Adresse des Senders.", "HOST:PORT");
    const QCommandLineOption listenOption(
        "listen", "Adresse, an der der Empfänger sich verbindet; Port 0 wählt einen freien.",
        "HOST:PORT");
    const QCommandLineOption showOption("show", "Showdatei, die geschrieben wird.", "DATEI");
    parser.addOptions({connectOption, listenOption, showOption});
    if (const auto done = ParseArguments(parser, args))
        return *done;

    if (!Vorhanden(parser, args, {&connectOption, &listenOption, &showOption}))
        return kExitUsage;
    const auto sender = VerbindungsAdresse(parser, connectOption, args);
    const auto listen = sender ? LauschAdresseLesen(parser, listenOption, args) : std::nullopt;
    if (!listen)
        return kExitUsage;
    QFile show(parser.value(showOption));
    if (!show.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        Fehler(args, parser.value(showOption) + ": " + show.errorString());
        return kExitUsage;
    }

    Recorder recorder(*sender, show);
    if (!recorder.listen(listen->address, listen->port))
        return kExitFailed;
    return QCoreApplication::exec();
}

}  // namespace zelmo::tool

#include "RecordCommand.moc"
