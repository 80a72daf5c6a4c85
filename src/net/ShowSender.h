#pragma once

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QTimer>

#include <vector>

#include "journal/ShowPlayer.h"
#include "link/FrameReader.h"

class QTcpSocket;

namespace zelmo::net {

// A scoring sender that plays a show: it listens, accepts one receiver at a time, and sends
// the show's telegrams as frames, stop-and-wait, by the rules of ShowPlayer. A receiver that
// leaves gets the unacknowledged telegram again when one comes back. Whatever a receiver
// sends it is answered with one acknowledgement, as the link does both ways. It runs on the
// caller's event loop and never blocks it: `zelmo simulate` and the desktop program's
// rehearsal (on a loopback port of its own) share it.
class ShowSender : public QObject {
    Q_OBJECT

  public:
    ShowSender(const std::vector<ShowTelegram>& show, ShowPlayer::Pace pace, bool loop,
               QObject* parent = nullptr);
    ~ShowSender() override;

    // Starts listening (port 0 picks a free port). False when the address cannot be bound;
    // errorString() says why.
    bool listen(const QHostAddress& address, quint16 port);
    QString errorString() const { return server_.errorString(); }
    QHostAddress serverAddress() const { return server_.serverAddress(); }
    quint16 serverPort() const { return server_.serverPort(); }

    // Ends the play at once (a telegram waiting for its acknowledgement counts as
    // interrupted) and closes the receiver's connection; finished() follows from the event
    // loop. Also when the play is over already: then nothing more happens.
    void stop();
    // The play has ended: the show is over (never with loop) or stop() was called.
    bool ended() const { return ending_; }

    // Progress and statistics.
    const ShowPlayer& player() const { return player_; }

  signals:
    // A line for the log, in German: a receiver came or went, a telegram was acknowledged
    // or not.
    void line(const QString& text);
    // After each telegram's acknowledgement or its give-up: the telegram now in hand (from 0)
    // and the show's length.
    void progress(int position, int total);
    // The play has ended and the receiver's connection is closed (or did not close within
    // kCloseWaitMs and was aborted). Emitted once.
    void finished();

  private:
    // A closing receiver gets this long to take the last bytes before the connection is cut.
    static constexpr int kCloseWaitMs = 2000;

    void onNewConnection();
    void onPeerDisconnected();
    void onReadyRead();
    void onBytes(std::string_view input);
    void onAck();
    // Runs whatever has come due: a garbled run's end, a given-up wait, the next send.
    void wake();
    void scheduleWake();
    void end();
    // Emits finished() from the event loop, once.
    void finishLater();

    ShowPlayer player_;
    QTcpServer server_;
    QTcpSocket* peer_ = nullptr;
    FrameReader reader_;
    QTimer wake_;
    QTimer closeWait_;
    bool ending_ = false;
    bool finishedSent_ = false;
};

}  // namespace zelmo::net
