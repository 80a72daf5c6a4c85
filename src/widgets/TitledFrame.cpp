#include "widgets/TitledFrame.h"

#include <QEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

namespace zelmo::widgets {

namespace {

const QColor kHeaderTop(70, 110, 170);
const QColor kHeaderBottom(20, 50, 100);
const QColor kHeaderText(Qt::white);
constexpr int kHeaderPadding = 4;
constexpr int kBodyMargin = 6;

}  // namespace

TitledFrame::TitledFrame(const QString& title, QWidget* parent)
    : QFrame(parent), title_(title), body_(new QWidget(this)), layout_(new QVBoxLayout(this)) {
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Raised);
    layout_->addWidget(body_);
    UpdateMargins();
}

void TitledFrame::setTitle(const QString& title) {
    title_ = title;
    update();
}

int TitledFrame::headerHeight() const {
    QFont bold = font();
    bold.setBold(true);
    return QFontMetrics(bold).height() + 2 * kHeaderPadding;
}

void TitledFrame::UpdateMargins() {
    const int frame = frameWidth();
    layout_->setContentsMargins(kBodyMargin, headerHeight() + kBodyMargin - frame, kBodyMargin,
                                kBodyMargin);
    layout_->setSpacing(0);
}

void TitledFrame::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        UpdateMargins();
    QFrame::changeEvent(event);
}

void TitledFrame::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);

    const QRect header = contentsRect().adjusted(0, 0, 0, headerHeight() - contentsRect().height());
    QPainter painter(this);
    QLinearGradient gradient(header.topLeft(), header.bottomLeft());
    gradient.setColorAt(0.0, isEnabled() ? kHeaderTop : kHeaderTop.lighter(150));
    gradient.setColorAt(1.0, isEnabled() ? kHeaderBottom : kHeaderBottom.lighter(200));
    painter.fillRect(header, gradient);

    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(kHeaderText);
    painter.drawText(
        header.adjusted(kHeaderPadding * 2, 0, -kHeaderPadding * 2, 0),
        Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
        QFontMetrics(bold).elidedText(title_, Qt::ElideRight, header.width() - kHeaderPadding * 4));
}

}  // namespace zelmo::widgets
