#include "widgets/ProgressWindow.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>

namespace zelmo::widgets {

ProgressWindow::ProgressWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      label_(new QLabel(this)),
      bar_(new QProgressBar(this)) {
    label_->setObjectName(QStringLiteral("lblFortschritt"));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    setMinimumWidth(320);
}

ProgressWindow::~ProgressWindow() {
    Beenden();
}

void ProgressWindow::Starten(const QString& ausgabetext, QWidget* aufrufForm) {
    Beenden();
    label_->setText(ausgabetext);
    setWindowTitle(ausgabetext);
    bar_->setValue(0);
    running_ = true;
    aufrufForm_ = aufrufForm;
    if (aufrufForm_) {
        aufrufForm_->setEnabled(false);
        // A window among the caller's children would be disabled with it; this one only
        // shows progress and must stay legible.
        setEnabled(true);
        adjustSize();
        const QRect caller = aufrufForm_->window()->frameGeometry();
        move(caller.center() - rect().center());
    }
    show();
    raise();
}

void ProgressWindow::setValue(int percent) {
    bar_->setValue(std::clamp(percent, 0, 100));
}

int ProgressWindow::value() const {
    return bar_->value();
}

QString ProgressWindow::text() const {
    return label_->text();
}

void ProgressWindow::Beenden() {
    if (!running_)
        return;
    running_ = false;
    hide();
    if (aufrufForm_)
        aufrufForm_->setEnabled(true);
    aufrufForm_.clear();
}

}  // namespace zelmo::widgets
