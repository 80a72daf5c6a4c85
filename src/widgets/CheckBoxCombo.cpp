#include "widgets/CheckBoxCombo.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStandardItemModel>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <utility>

namespace zelmo::widgets {

CheckBoxCombo::CheckBoxCombo(QWidget* parent)
    : QComboBox(parent), modell_(new QStandardItemModel(this)) {
    setModel(modell_);
    // Some styles draw the popup as a menu that ignores check marks.
    setItemDelegate(new QStyledItemDelegate(this));
    // Installed after the popup's own filters, so a click toggles instead of closing.
    view()->installEventFilter(this);
    view()->viewport()->installEventFilter(this);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
}

void CheckBoxCombo::SetzeBeschriftung(const QString& beschriftung) {
    beschriftung_ = beschriftung;
    update();
}

void CheckBoxCombo::SetzeTrenner(const QString& trenner) {
    trenner_ = trenner;
    update();
}

void CheckBoxCombo::Leeren() {
    modell_->clear();
    setToolTip(QString());
    update();
}

void CheckBoxCombo::EintragHinzufuegen(const QString& text) {
    auto* eintrag = new QStandardItem(text);
    // Not user-checkable: the combo toggles the mark itself so that every change is reported.
    eintrag->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    eintrag->setData(Qt::Unchecked, Qt::CheckStateRole);
    modell_->appendRow(eintrag);
}

int CheckBoxCombo::AnzahlAngehakt() const {
    int anzahl = 0;
    for (int i = 0; i < modell_->rowCount(); ++i) {
        if (Angehakt(i)) {
            ++anzahl;
        }
    }
    return anzahl;
}

bool CheckBoxCombo::Angehakt(int index) const {
    const QStandardItem* eintrag = modell_->item(index);
    return eintrag != nullptr && eintrag->checkState() == Qt::Checked;
}

void CheckBoxCombo::SetzeOhneMeldung(int index, bool angehakt) {
    modell_->item(index)->setCheckState(angehakt ? Qt::Checked : Qt::Unchecked);
}

void CheckBoxCombo::Melden(const QList<int>& geaendert) {
    if (geaendert.isEmpty()) {
        return;
    }
    setToolTip(Text());
    update();
    for (const int index : geaendert) {
        emit HakenGeaendert(index);
    }
}

void CheckBoxCombo::SetzeAngehakt(int index, bool angehakt) {
    if (index < 0 || index >= modell_->rowCount() || Angehakt(index) == angehakt) {
        return;
    }
    SetzeOhneMeldung(index, angehakt);
    Melden({index});
}

void CheckBoxCombo::AlleAbhaken() {
    QList<int> geaendert;
    for (int i = 0; i < modell_->rowCount(); ++i) {
        if (Angehakt(i)) {
            SetzeOhneMeldung(i, false);
            geaendert.append(i);
        }
    }
    Melden(geaendert);
}

void CheckBoxCombo::AnhakenAusText(const QString& namen) {
    if (namen.isEmpty()) {
        return;
    }
    const QStringList liste = trenner_.isEmpty() ? QStringList{namen} : namen.split(trenner_);
    QList<int> geaendert;
    for (int i = 0; i < modell_->rowCount(); ++i) {
        if (!Angehakt(i) && liste.contains(modell_->item(i)->text(), Qt::CaseSensitive)) {
            SetzeOhneMeldung(i, true);
            geaendert.append(i);
        }
    }
    Melden(geaendert);
}

QString CheckBoxCombo::Text() const {
    QStringList angehakt;
    for (int i = 0; i < modell_->rowCount(); ++i) {
        if (Angehakt(i)) {
            angehakt.append(modell_->item(i)->text());
        }
    }
    return angehakt.join(trenner_);
}

QString CheckBoxCombo::AnzeigeText() const {
    const QString text = Text();
    return AnzahlAngehakt() == 0 ? beschriftung_ : text;
}

void CheckBoxCombo::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText = AnzeigeText();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

void CheckBoxCombo::showPopup() {
    klickImListe_ = false;
    QComboBox::showPopup();
}

void CheckBoxCombo::hidePopup() {
    klickImListe_ = false;
    QComboBox::hidePopup();
}

bool CheckBoxCombo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view()->viewport() && event->type() == QEvent::MouseButtonPress) {
        klickImListe_ = true;
    }
    if (watched == view()->viewport() && event->type() == QEvent::MouseButtonRelease) {
        // The press that opened the list happened on the closed box; its release lands on
        // whatever entry the list put under the pointer and must not toggle it.
        const bool klick = std::exchange(klickImListe_, false);
        const auto* maus = static_cast<QMouseEvent*>(event);
        const QModelIndex index = view()->indexAt(maus->position().toPoint());
        if (klick && index.isValid()) {
            SetzeAngehakt(index.row(), !Angehakt(index.row()));
        }
        return true;
    }
    if (watched == view() && event->type() == QEvent::KeyPress) {
        const auto* taste = static_cast<QKeyEvent*>(event);
        if (taste->key() == Qt::Key_Space) {
            const QModelIndex index = view()->currentIndex();
            if (index.isValid()) {
                SetzeAngehakt(index.row(), !Angehakt(index.row()));
            }
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

}  // namespace zelmo::widgets
