#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <chrono>

namespace zelmo::widgets {

// Brings the views in line with their models when the screen needs it, not when the data
// changes: a change only marks, and one timer refreshes at most 25 times a second and at most
// 40 ms after the first change since the last refresh. Without changes it stands still. Views
// connect to auffrischen() and show what their models hold; nothing on a telegram's way to its
// acknowledgement touches a widget.
class Auffrischer : public QObject {
    Q_OBJECT

  public:
    static constexpr std::chrono::milliseconds kAbstand{40};

    explicit Auffrischer(QObject* parent = nullptr);

    // Something a view shows has changed.
    void Geaendert();

  signals:
    void auffrischen();

  private:
    QTimer timer_;
    QElapsedTimer seitLetztem_;
};

}  // namespace zelmo::widgets
