#include "widgets/VorschauModell.h"

#include <QString>

namespace zelmo::widgets {

VorschauModell::VorschauModell(QObject* parent) : QAbstractTableModel(parent) {}

bool VorschauModell::Setzen(const std::vector<AusgabeVorschau::Zeile>& zeilen) {
    if (zeilen == zeilen_)
        return false;
    if (zeilen.size() == zeilen_.size()) {
        // The usual case on air: the same six rows with new texts. Views repaint them without
        // laying themselves out again.
        zeilen_ = zeilen;
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
        return true;
    }
    beginResetModel();
    zeilen_ = zeilen;
    endResetModel();
    return true;
}

int VorschauModell::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(zeilen_.size());
}

int VorschauModell::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(AusgabeVorschau::kSpaltenAnzahl);
}

QVariant VorschauModell::data(const QModelIndex& index, int role) const {
    // The tool tip shows the whole text of a cell the column is too narrow for.
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    const auto& zeile = zeilen_.at(static_cast<std::size_t>(index.row()));
    const QString text = QString::fromStdString(zeile.at(static_cast<std::size_t>(index.column())));
    if (role == Qt::ToolTipRole && text.isEmpty()) {
        return {};
    }
    return text;
}

QVariant VorschauModell::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= static_cast<int>(AusgabeVorschau::kSpaltenAnzahl)) {
        return {};
    }
    const std::string_view name = AusgabeVorschau::kSpaltenNamen[static_cast<std::size_t>(section)];
    return QString::fromUtf8(name.data(), static_cast<int>(name.size()));
}

}  // namespace zelmo::widgets
