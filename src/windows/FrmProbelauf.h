#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

#include "journal/Show.h"
#include "net/Rehearsal.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zelmo::windows {

class Dialoge;

// "Probelauf": the operator picks a show file, the newest flight recording unless another is
// chosen, and a pace. "Starten" reads and checks the file first: one that cannot be read or
// holds no show is reported and nothing starts. The dialog closes once the rehearsal runs.
//
// Shown without an event loop of its own, modal to the whole program while it is open.
class FrmProbelauf : public QDialog {
    Q_OBJECT

  public:
    // Whether the rehearsal started; the caller asks and reports what stands in its way.
    using Starten = std::function<bool(const std::vector<ShowTelegram>& show,
                                       net::Rehearsal::Tempo tempo, const QString& datei)>;

    // `mitschnittOrdner`: the flight recorder's folder (empty when the program keeps none);
    // `ausgabeOrdner`: where the rehearsal's output goes, for the operator to see.
    FrmProbelauf(Dialoge& dialoge, const QString& mitschnittOrdner, const QString& ausgabeOrdner,
                 Starten starten, QWidget* parent = nullptr);

  private:
    void cmdDurchsuchen_Click();
    void cmdStarten_Click();
    void Meldung(const QString& text);

    Dialoge& dialoge_;
    QString mitschnittOrdner_;
    Starten starten_;

    QLineEdit* txtShowdatei;
    QPushButton* cmdDurchsuchen;
    QRadioButton* OptWieAufgenommen;
    QRadioButton* OptDoppeltSoSchnell;
    QRadioButton* OptNachJederQuittung;
    QLabel* lblAusgabe;
    QPushButton* cmdStarten;
    QPushButton* cmdAbbrechen;
};

}  // namespace zelmo::windows
