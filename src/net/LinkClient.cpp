#include "net/LinkClient.h"

#include <QAbstractSocket>

#include <algorithm>
#include <chrono>
#include <limits>

#include "link/Frame.h"

namespace zelmo::net {

namespace {

// Largest slice handed to the receiver at once: a start list of several megabytes is
// reassembled slice by slice, and the read buffer stays at this size at most.
constexpr qint64 kReadSlice = 1024 * 1024;

// The link reports a connection by a socket number above 0. A descriptor outside that range
// (a process started with its standard input closed can get descriptor 0) still is a live
// connection, so it is reported as 1.
qint32 SocketNumber(qintptr descriptor) {
    if (descriptor <= 0 || descriptor > std::numeric_limits<qint32>::max())
        return 1;
    return static_cast<qint32>(descriptor);
}

}  // namespace

// The receiver's effects as this object's signals and socket writes.
class LinkClient::Sink : public ReceiverSink {
  public:
    explicit Sink(LinkClient& owner) : owner_(owner) {}

    void TelegramLog(const std::string& line) override {
        emit owner_.telegramLog(QString::fromStdString(line));
    }
    void ClientLog(const std::string& line) override {
        emit owner_.clientLog(QString::fromStdString(line));
    }
    void StatusLabel(const std::string& text) override {
        emit owner_.statusLabel(QString::fromStdString(text));
    }
    void Dispatch(const std::string& eventText) override {
        emit owner_.dispatch(QString::fromStdString(eventText));
    }
    void SendBytes(std::string_view bytes) override {
        QTcpSocket& socket = owner_.socket_;
        if (socket.state() != QAbstractSocket::ConnectedState)
            return;
        socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
        // Hand the bytes to the system now rather than on the next turn of the event loop:
        // the sender waits for this acknowledgement before its next telegram.
        socket.flush();
        if (bytes == kAckFrame)
            emit owner_.acknowledged();
    }

  private:
    LinkClient& owner_;
};

LinkClient::LinkClient(TelegramStore& store, const bool& vorlagenAktiv, QObject* parent)
    : QObject(parent),
      store_(store),
      sink_(std::make_unique<Sink>(*this)),
      receiver_(std::make_unique<Receiver>(store, *sink_, vorlagenAktiv)),
      socket_(this),
      now_([] { return Receiver::Clock::now(); }) {
    ackTimer_.setSingleShot(true);
    ackTimer_.setTimerType(Qt::PreciseTimer);
    connect(&ackTimer_, &QTimer::timeout, this, &LinkClient::onAckTimer);
    connect(&socket_, &QTcpSocket::connected, this, &LinkClient::onConnected);
    connect(&socket_, &QTcpSocket::disconnected, this, &LinkClient::onDisconnected);
    connect(&socket_, &QTcpSocket::readyRead, this, &LinkClient::onReadyRead);
}

LinkClient::~LinkClient() {
    // Closing the socket below must not call back into a half-destroyed client.
    QObject::disconnect(&socket_, nullptr, this, nullptr);
    socket_.abort();
}

void LinkClient::connectToHost(const QString& host, quint16 port) {
    abortConnection();
    socket_.connectToHost(host, port);
}

void LinkClient::abortConnection() {
    socket_.abort();
    // abort() reports a lost connection itself; this covers a socket that was already gone.
    onDisconnected();
}

void LinkClient::disconnectFromHost() {
    socket_.disconnectFromHost();
}

bool LinkClient::isConnected() const {
    return receiver_->IsConnected();
}

qint32 LinkClient::socketNumber() const {
    return receiver_->Socket();
}

bool LinkClient::send(const QString& payload) {
    const bool sent = receiver_->Send(payload.toStdString(), now_());
    scheduleAckTimer();
    return sent;
}

bool LinkClient::ackPending() const {
    return receiver_->AckPending();
}

void LinkClient::onConnected() {
    // Acknowledgements are a dozen bytes each; Nagle's algorithm would hold them back.
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connectedSocket_ = SocketNumber(socket_.socketDescriptor());
    receiver_->OnConnected(connectedSocket_);
    scheduleAckTimer();
    emit connected(connectedSocket_);
}

void LinkClient::onDisconnected() {
    if (connectedSocket_ == 0)
        return;
    const qint32 socket = connectedSocket_;
    connectedSocket_ = 0;
    receiver_->OnDisconnected(socket);
    scheduleAckTimer();
    emit disconnected(socket);
}

void LinkClient::onReadyRead() {
    // A slot that ran the event loop from inside a callback brings us here again; the outer
    // call goes on reading, so that the receiver is never entered twice.
    if (reading_)
        return;
    reading_ = true;
    while (connectedSocket_ != 0) {
        const qint64 available = std::min(socket_.bytesAvailable(), kReadSlice);
        if (available <= 0)
            break;
        // The buffer only grows, and is not filled before each read.
        if (readCapacity_ < available) {
            readBuffer_ =
                std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(available));
            readCapacity_ = available;
        }
        const qint64 got = socket_.read(readBuffer_.get(), available);
        if (got <= 0)
            break;
        bytesReceived_ += static_cast<quint64>(got);
        receiver_->OnBytes(std::string_view(readBuffer_.get(), static_cast<std::size_t>(got)),
                           now_());
    }
    reading_ = false;
    scheduleAckTimer();
}

void LinkClient::onAckTimer() {
    receiver_->Tick(now_());
    scheduleAckTimer();
}

void LinkClient::scheduleAckTimer() {
    // Also ends a garbled run once the link has been quiet, without waiting for more bytes.
    const auto deadline = receiver_->Deadline();
    if (!deadline) {
        ackTimer_.stop();
        return;
    }
    using namespace std::chrono;
    // The wait ends only once strictly more than its timeout has passed: one millisecond more.
    const auto remaining = ceil<milliseconds>(*deadline - now_()) + milliseconds(1);
    ackTimer_.start(static_cast<int>(std::max<milliseconds::rep>(remaining.count(), 0)));
}

}  // namespace zelmo::net
