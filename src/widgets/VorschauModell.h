#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "output/Ausgabe.h"

namespace zelmo::widgets {

// Read-only view model of the output preview CtlLXAusgabe. It shows its own copy of the rows,
// taken by Setzen() when the view is refreshed, so that the output run may change its preview
// at any time without the view reading rows that are not there any more.
class VorschauModell : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit VorschauModell(QObject* parent = nullptr);

    // Shows `zeilen`; false (and no signal) when they are the rows shown.
    bool Setzen(const std::vector<AusgabeVorschau::Zeile>& zeilen);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    std::vector<AusgabeVorschau::Zeile> zeilen_;
};

}  // namespace zelmo::widgets
