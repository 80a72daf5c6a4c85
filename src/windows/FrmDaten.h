#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTreeView;

namespace zelmo::widgets {
class DatenModell;
}

namespace zelmo::windows {

// "Daten": what the sender has sent, for template authors. A filtered tree over the data
// model, the exact Tabelle/Feld names of the selected field, and a legend for the fields the
// open template names but no telegram has carried. It never changes the store, and its
// activation leaves output running: a template author watches the data while output runs.
class FrmDaten : public QWidget {
    Q_OBJECT

  public:
    // `modell` must outlive the window.
    explicit FrmDaten(widgets::DatenModell& modell, QWidget* parent = nullptr);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void AuswahlAnzeigen();

    widgets::DatenModell& modell_;
    QSortFilterProxyModel* filter_;
    QLineEdit* txtFilter;
    QTreeView* baumDaten;
    QLabel* lblAuswahl;
    QLabel* lblLegende;
    QPushButton* cmdAufklappen;
    QPushButton* cmdZuklappen;
    QPushButton* cmdSchliessen;
};

}  // namespace zelmo::windows
