#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;

namespace zelmo::widgets {

// A small window with a text and a percentage bar that stands over the window that started
// a long operation. Starten disables that window for input until Beenden, so the operator
// cannot start a second operation while the first runs; events keep being delivered.
class ProgressWindow : public QWidget {
    Q_OBJECT

  public:
    explicit ProgressWindow(QWidget* parent = nullptr);
    ~ProgressWindow() override;

    // Shows `ausgabetext` at 0 % and disables `aufrufForm` (may be null).
    void Starten(const QString& ausgabetext, QWidget* aufrufForm);
    // The percentage shown, limited to 0..100.
    void setValue(int percent);
    int value() const;
    QString text() const;
    // Hides the window and enables the calling window again. Does nothing when not started.
    void Beenden();

    bool isRunning() const { return running_; }

  private:
    QLabel* label_;
    QProgressBar* bar_;
    QPointer<QWidget> aufrufForm_;
    bool running_ = false;
};

}  // namespace zelmo::widgets
