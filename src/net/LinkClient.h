#pragma once

#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "link/Receiver.h"
#include "link/TelegramStore.h"

namespace zelmo::net {

// The TCP client of the scoring sender: one QTcpSocket whose bytes go into the link core's
// Receiver, whose frames go out on the socket. The receiver's effects become signals, all
// emitted synchronously on the caller's thread: a slot connected to dispatch() runs the
// output run before the acknowledgement of that telegram is written.
//
// Connecting is asynchronous and has no timeout of its own: the caller (the main window's
// progress wait, the headless receiver's reconnect timer) decides when to give up and then
// calls abortConnection(), so a timed-out attempt can never complete later.
class LinkClient : public QObject {
    Q_OBJECT

  public:
    // `store` and `vorlagenAktiv` must outlive the client; dispatch() is emitted only while
    // `vorlagenAktiv` is true.
    LinkClient(TelegramStore& store, const bool& vorlagenAktiv, QObject* parent = nullptr);
    ~LinkClient() override;

    // Starts a connection attempt (an existing connection or attempt is aborted first).
    void connectToHost(const QString& host, quint16 port);
    // Ends an attempt or a connection at once, without waiting for the peer.
    void abortConnection();
    // The operator's disconnect: closes the socket; disconnected() follows.
    void disconnectFromHost();

    bool isConnected() const;
    // The socket descriptor while connected, else 0.
    qint32 socketNumber() const;

    // The send routine for a telegram we originate (the test button): logs and refuses when
    // not connected; otherwise sends and waits up to 4 s for the peer's acknowledgement
    // without blocking (a timer ends the wait with its log line). Returns whether it was sent.
    bool send(const QString& payload);
    bool ackPending() const;

    TelegramStore& store() { return store_; }

    // Sees each telegram's payload before its acknowledgement (the flight recorder); nothing
    // removes it. It must outlive the client or be removed first.
    void setObserver(TelegramObserver* observer) { receiver_->SetObserver(observer); }

  signals:
    void connected(qint32 socket);
    void disconnected(qint32 socket);
    void telegramLog(const QString& line);
    void clientLog(const QString& line);
    void statusLabel(const QString& text);
    void dispatch(const QString& eventText);
    // A complete telegram was handled and acknowledged (for statistics and tests).
    void acknowledged();

  private:
    class Sink;
    // The unit test's access to the clock and timer of the acknowledgement wait.
    friend class LinkClientTestPeer;

    void onConnected();
    void onDisconnected();
    void onReadyRead();
    // Ends the acknowledgement wait or a garbled run once its deadline has passed.
    void onAckTimer();
    void scheduleAckTimer();

    TelegramStore& store_;
    std::unique_ptr<Sink> sink_;
    std::unique_ptr<Receiver> receiver_;
    QTcpSocket socket_;
    QTimer ackTimer_;
    // The clock of the acknowledgement wait and of a garbled run's quiet time; tests replace
    // it to move time by hand.
    std::function<Receiver::Clock::time_point()> now_;
    // The socket number reported by connected(), kept for the matching disconnected().
    qint32 connectedSocket_ = 0;
    bool reading_ = false;
    std::unique_ptr<char[]> readBuffer_;
    qint64 readCapacity_ = 0;
    // Bytes read from the socket over the client's life.
    quint64 bytesReceived_ = 0;
};

}  // namespace zelmo::net
