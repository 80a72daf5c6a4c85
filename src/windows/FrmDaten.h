#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTreeView;

namespace zelmo::widgets {
class Auffrischer;
class DatenModell;
}  // namespace zelmo::widgets

namespace zelmo::windows {

// "Daten": what the sender has sent, for template authors. A filtered tree over the data
// model, the exact Tabelle/Feld names of the selected field, and a legend for the fields the
// open template names but no telegram has carried. It never changes the store, and its
// activation leaves output running: a template author watches the data while output runs.
//
// The tree follows the store with each refresh while the window is shown; the row at the top
// and the selection stay where the operator put them. "Anhalten" freezes the tree while the
// store goes on; released, the tree catches up.
class FrmDaten : public QWidget {
    Q_OBJECT

  public:
    // `modell` and `auffrischer` must outlive the window.
    FrmDaten(widgets::DatenModell& modell, widgets::Auffrischer& auffrischer,
             QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // Brings the tree in line with the store, keeping the top row where it is.
    void Auffrischen();
    void AuswahlAnzeigen();

    widgets::DatenModell& modell_;
    QSortFilterProxyModel* filter_;
    QLineEdit* txtFilter;
    QTreeView* baumDaten;
    QLabel* lblAuswahl;
    QLabel* lblLegende;
    QPushButton* cmdAnhalten;
    QPushButton* cmdAufklappen;
    QPushButton* cmdZuklappen;
    QPushButton* cmdSchliessen;
};

}  // namespace zelmo::windows
