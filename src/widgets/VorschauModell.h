#pragma once

#include <QAbstractTableModel>

#include "output/Ausgabe.h"

namespace zelmo::widgets {

// Read-only view model of the output preview CtlLXAusgabe. The preview itself belongs to the
// output run's state; Aktualisieren() tells the views after a run.
class VorschauModell : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit VorschauModell(const AusgabeVorschau& vorschau, QObject* parent = nullptr);

    void Aktualisieren();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    const AusgabeVorschau& vorschau_;
};

}  // namespace zelmo::widgets
