#pragma once

#include <QAbstractItemModel>
#include <QDateTime>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "component/Collection.h"
#include "link/TelegramStore.h"

namespace zelmo {
class Vorlage;
}

namespace zelmo::widgets {

// The data view's tree over the telegram store: the latest telegram's event and the sixteen
// stored sections, each section -> record (with its index) -> field = value. The nodes hold
// handles into the store's documents, never copies of their text; Abgleichen() brings the tree
// in line with the store with row inserts, removals and changes, so that a view keeps what is
// expanded and selected. It only reads the store.
//
// Beside the data it keeps what the store forgets: when each section's content last changed,
// and which fields any telegram has carried, so that a field named by the open template but
// never sent shows up as a marked row under its section. Merken() keeps that up to date
// without the tree, so that a closed view costs no more than that.
class DatenModell : public QAbstractItemModel {
    Q_OBJECT

  public:
    enum Spalte { Name, Wert, Art, Geaendert, Spaltenzahl };
    enum Rolle {
        // The exact names for a template line: the section and the field (record fields and
        // fields of a flat section only).
        TabelleRolle = Qt::UserRole + 1,
        FeldRolle,
        // The key the LiveText writer would write ("T.F" or "T.F_j"); empty where it writes none.
        SchluesselRolle,
        // True for a field the template names that no telegram has carried.
        FehltRolle,
    };

    using Uhr = std::function<QDateTime()>;
    using VorlageQuelle = std::function<const Vorlage*()>;

    explicit DatenModell(const TelegramStore& store, QObject* parent = nullptr);
    ~DatenModell() override;

    // The clock of the change times (tests set one).
    void setUhr(Uhr uhr);
    // Where the open editor's template is found; null while no editor is open.
    void setVorlageQuelle(VorlageQuelle quelle);

    // Notes which sections changed since the last call (their change time) and the fields they
    // carry; touches no row.
    void Merken();
    // The open template's lines may have changed: the next Abgleichen() looks again.
    void VorlageGeaendert();
    // Merken(), then brings the tree in line with the store and reports every difference to
    // the views.
    void Abgleichen();

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    struct Knoten;
    struct Soll;

    Knoten* knoten(const QModelIndex& index) const;
    std::vector<Soll> KinderVon(const Knoten& k) const;
    void Aufbauen(Knoten& k) const;
    bool Angleichen(Knoten& k, const QModelIndex& index);
    void GesehenMerken(std::size_t abschnitt, const Collection& wert);
    void FehlendeBestimmen();

    const TelegramStore& store_;
    Uhr uhr_;
    VorlageQuelle vorlage_;
    std::unique_ptr<Knoten> wurzel_;
    // Per section: the content Merken() saw last and when it last changed.
    std::vector<Collection> stand_;
    std::vector<QDateTime> geaendert_;
    // Per section: the fields any telegram has carried since the program started.
    std::vector<std::set<std::string, std::less<>>> gesehen_;
    // Per section, in template order: the fields the template names that were never carried.
    std::vector<std::vector<std::string>> fehlend_;
    // The tree may differ from the store or the template.
    bool abzugleichen_ = true;
};

}  // namespace zelmo::widgets
