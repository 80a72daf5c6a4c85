#include "net/ShowSender.h"

#include <QTcpSocket>

#include <algorithm>
#include <string>

#include "link/Frame.h"

namespace zelmo::net {

namespace {

using Clock = ShowPlayer::Clock;

int TimerMs(Clock::duration d) {
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(d).count();
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(ms, 0, 24 * 3600 * 1000));
}

QString Position(std::size_t index, std::size_t total) {
    return QStringLiteral("telegramm %1/%2").arg(index + 1).arg(total);
}

}  // namespace

ShowSender::ShowSender(const std::vector<ShowTelegram>& show, ShowPlayer::Pace pace, bool loop,
                       QObject* parent)
    : QObject(parent), player_(show, pace, loop) {
    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);
    connect(&wake_, &QTimer::timeout, this, &ShowSender::wake);
    closeWait_.setSingleShot(true);
    connect(&server_, &QTcpServer::newConnection, this, &ShowSender::onNewConnection);
}

ShowSender::~ShowSender() {
    if (peer_ != nullptr) {
        QObject::disconnect(peer_, nullptr, this, nullptr);
        peer_->abort();
    }
}

bool ShowSender::listen(const QHostAddress& address, quint16 port) {
    return server_.listen(address, port);
}

void ShowSender::onNewConnection() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        if (peer_ != nullptr || ending_) {
            // One receiver at a time, as the scoring sender has.
            emit line(QStringLiteral("weiterer Empfänger abgewiesen"));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        peer_ = socket;
        peer_->setParent(this);
        peer_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(peer_, &QTcpSocket::readyRead, this, &ShowSender::onReadyRead);
        connect(peer_, &QTcpSocket::disconnected, this, &ShowSender::onPeerDisconnected);
        reader_.Reset();
        emit line(QStringLiteral("Empfänger verbunden: %1:%2")
                      .arg(peer_->peerAddress().toString())
                      .arg(peer_->peerPort()));
        player_.Connected(Clock::now());
        scheduleWake();
    }
}

void ShowSender::onPeerDisconnected() {
    emit line(QStringLiteral("Empfänger getrennt"));
    player_.Disconnected();
    peer_->deleteLater();
    peer_ = nullptr;
    scheduleWake();
}

void ShowSender::onReadyRead() {
    const QByteArray data = peer_->readAll();
    onBytes(std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
    scheduleWake();
}

void ShowSender::onBytes(std::string_view input) {
    while (const auto event = reader_.Next(input, Clock::now())) {
        if (event->kind == FrameReader::Kind::PeerAck) {
            onAck();
            if (peer_ == nullptr)
                return;
            continue;
        }
        if (peer_ != nullptr) {
            peer_->write(kAckFrame.data(), static_cast<qint64>(kAckFrame.size()));
            peer_->flush();
        }
        emit line(event->kind == FrameReader::Kind::Telegram
                      ? QStringLiteral("Telegramm des Empfängers quittiert")
                      : QStringLiteral("fehlerhafter Rahmen des Empfängers quittiert"));
    }
}

void ShowSender::onAck() {
    const std::size_t index = player_.Position();
    const auto micros = player_.Acknowledged(Clock::now());
    if (!micros) {
        emit line(QStringLiteral("Quittung ohne gesendetes Telegramm"));
        return;
    }
    emit line(Position(index, player_.Total()) +
              QStringLiteral(" quittiert nach %1 µs").arg(*micros));
    emit progress(static_cast<int>(player_.Position()), static_cast<int>(player_.Total()));
    if (player_.Done())
        end();
}

void ShowSender::wake() {
    // A garbled run of the receiver ends once the link has been quiet, also when nothing
    // more arrives.
    onBytes({});
    const std::size_t index = player_.Position();
    if (player_.GiveUpIfDue(Clock::now())) {
        emit line(Position(index, player_.Total()) + QStringLiteral(": keine Quittung nach 4 s"));
        emit progress(static_cast<int>(player_.Position()), static_cast<int>(player_.Total()));
        if (player_.Done()) {
            end();
            return;
        }
    }
    const auto due = player_.SendDue();
    if (due && *due <= Clock::now() && peer_ != nullptr) {
        const std::string& frame = player_.Frame();
        peer_->write(frame.data(), static_cast<qint64>(frame.size()));
        peer_->flush();
        // A write that fails ends the connection at once: the telegram goes again to the next.
        if (peer_ != nullptr)
            player_.Sent(Clock::now());
    }
    scheduleWake();
}

void ShowSender::scheduleWake() {
    if (ending_) {
        wake_.stop();
        return;
    }
    std::optional<Clock::time_point> at = player_.SendDue();
    for (const auto& other : {player_.AckDeadline(), reader_.QuietDeadline()}) {
        if (other && (!at || *other < *at))
            at = other;
    }
    if (!at) {
        wake_.stop();
        return;
    }
    wake_.start(TimerMs(*at - Clock::now()));
}

void ShowSender::stop() {
    end();
}

void ShowSender::end() {
    if (ending_)
        return;
    ending_ = true;
    player_.Stop();
    wake_.stop();
    server_.close();
    if (peer_ == nullptr) {
        finishLater();
        return;
    }
    // The receiver learns that the show is over from the closed connection.
    QTcpSocket* peer = peer_;
    peer_ = nullptr;
    QObject::disconnect(peer, nullptr, this, nullptr);
    connect(peer, &QTcpSocket::disconnected, this, &ShowSender::finishLater);
    connect(peer, &QTcpSocket::disconnected, peer, &QObject::deleteLater);
    connect(&closeWait_, &QTimer::timeout, peer, [this, peer] {
        peer->abort();
        finishLater();
    });
    peer->disconnectFromHost();
    if (peer->state() == QAbstractSocket::UnconnectedState) {
        peer->deleteLater();
        finishLater();
    } else {
        closeWait_.start(kCloseWaitMs);
    }
}

void ShowSender::finishLater() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (finishedSent_)
                return;
            finishedSent_ = true;
            closeWait_.stop();
            emit finished();
        },
        Qt::QueuedConnection);
}

}  // namespace zelmo::net
