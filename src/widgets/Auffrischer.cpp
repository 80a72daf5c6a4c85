#include "widgets/Auffrischer.h"

#include <algorithm>

namespace zelmo::widgets {

Auffrischer::Auffrischer(QObject* parent) : QObject(parent) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] {
        seitLetztem_.start();
        emit auffrischen();
    });
}

void Auffrischer::Geaendert() {
    if (timer_.isActive())
        return;
    // After a quiet spell at once; in a burst one interval after the last refresh.
    const qint64 abstand = kAbstand.count();
    const qint64 vergangen = seitLetztem_.isValid() ? seitLetztem_.elapsed() : abstand;
    timer_.start(static_cast<int>(std::clamp<qint64>(abstand - vergangen, 0, abstand)));
}

}  // namespace zelmo::widgets
