#pragma once

#include <QComboBox>
#include <QString>
#include <QStringList>

class QStandardItemModel;

namespace zelmo::widgets {

// A drop-down list whose entries carry check marks. The closed box shows the checked
// entries joined by the separator, or the caption when nothing is checked. A click in the
// open list toggles an entry and keeps the list open, so that several entries can be checked
// in one go; only a click that both starts and ends in the open list counts. Space toggles the
// current entry.
//
// Every change of a check mark is reported through HakenGeaendert, also when the program
// makes it; operations that change several marks make all changes first and report them
// afterwards, so that a handler sees the final state.
class CheckBoxCombo : public QComboBox {
    Q_OBJECT

  public:
    explicit CheckBoxCombo(QWidget* parent = nullptr);

    // Shown in the closed box while nothing is checked.
    void SetzeBeschriftung(const QString& beschriftung);
    QString Beschriftung() const { return beschriftung_; }
    // Joins the checked entries in Text() and separates them in AnhakenAusText().
    void SetzeTrenner(const QString& trenner);
    QString Trenner() const { return trenner_; }

    // Removes every entry. No check change is reported: the entries are gone.
    void Leeren();
    void EintragHinzufuegen(const QString& text);
    int Anzahl() const { return count(); }
    QString Eintrag(int index) const { return itemText(index); }

    int AnzahlAngehakt() const;
    bool Angehakt(int index) const;
    void SetzeAngehakt(int index, bool angehakt);
    void AlleAbhaken();
    // Checks each entry whose text equals one of the separator-joined names exactly; others
    // stay as they are. Names that match no entry are ignored.
    void AnhakenAusText(const QString& namen);

    // The checked entries' texts joined by the separator, in list order.
    QString Text() const;
    // What the closed box shows: Text(), or the caption when nothing is checked.
    QString AnzeigeText() const;

    void showPopup() override;
    void hidePopup() override;

  signals:
    void HakenGeaendert(int eintrag);

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void SetzeOhneMeldung(int index, bool angehakt);
    void Melden(const QList<int>& geaendert);

    QStandardItemModel* modell_;
    QString beschriftung_;
    QString trenner_ = QStringLiteral(",");
    // A mouse button went down inside the open list (and has not come up yet).
    bool klickImListe_ = false;
};

}  // namespace zelmo::widgets
