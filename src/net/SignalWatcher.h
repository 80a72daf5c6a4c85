#pragma once

#include <QObject>

class QSocketNotifier;
class QTimer;

namespace zelmo::net {

// Turns SIGINT and SIGTERM (Ctrl+C and Ctrl+Break on Windows) into a Qt signal delivered by
// the event loop. The handler itself only writes a byte to a pipe, so a telegram being
// handled when the signal arrives is finished, acknowledged and logged before the program
// reacts. One watcher per process.
class SignalWatcher : public QObject {
    Q_OBJECT

  public:
    explicit SignalWatcher(QObject* parent = nullptr);
    ~SignalWatcher() override;

  signals:
    void terminationRequested();

  private:
    void drain();

    QSocketNotifier* notifier_ = nullptr;
    QTimer* poll_ = nullptr;
};

}  // namespace zelmo::net
