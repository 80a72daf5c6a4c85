#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <cstddef>
#include <optional>

#include "templates/Vorlage.h"

namespace zelmo::widgets {

// The template grid's model: the editor's current template, owned here, shown as ten columns.
// Every change goes into the template at once, so whoever reads vorlage() sees the grid as it
// stands, unsaved edits included.
//
// Tabelle and Feld hold CR LF between their lines; views see and edit them with LF only.
class VorlageModell : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit VorlageModell(QObject* parent = nullptr);

    const Vorlage& vorlage() const noexcept { return vorlage_; }
    // Replaces the whole template (a loaded file): a model reset.
    void Ersetzen(Vorlage neu);

    void SetzeZeile(std::size_t zeile, VorlageZeile inhalt);
    void SetzeFormat(Ausgabeformat format) { vorlage_.SetzeFormat(format); }
    void SetzeTrenner(const QString& trenner) { vorlage_.SetzeTrenner(trenner.toStdString()); }

    // The template's row commands, with the signals views need. Each returns the cell that
    // becomes current, as the template decides.
    ZellPosition ZeileDuplizieren(std::size_t r);
    ZellPosition ZeileLoeschen(std::size_t r);
    std::optional<ZellPosition> ZeileHoch(std::size_t r);
    std::optional<ZellPosition> ZeileRunter(std::size_t r);

    static bool IstMehrzeilig(int spalte);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    void ZeilenGeaendert(std::size_t von, std::size_t bis);

    Vorlage vorlage_;
};

}  // namespace zelmo::widgets
