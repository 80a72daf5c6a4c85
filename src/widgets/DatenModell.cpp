#include "widgets/DatenModell.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <algorithm>
#include <optional>

#include "output/TabellenLauf.h"
#include "templates/Vorlage.h"

namespace zelmo::widgets {

namespace {

constexpr std::size_t kAbschnitte = TelegramStore::kSectionNames.size() + 1;
const std::string kEreignis = "Ereignis";

const std::string& AbschnittName(std::size_t i) {
    static const std::vector<std::string> namen = [] {
        std::vector<std::string> n{kEreignis};
        for (const auto name : TelegramStore::kSectionNames)
            n.emplace_back(name);
        return n;
    }();
    return namen[i];
}

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Anzahl(std::size_t n, const char* eins, const char* mehrere) {
    return QStringLiteral("%1 ").arg(n) + QString::fromUtf8(n == 1 ? eins : mehrere);
}

// The "Records" list of a section, or nothing when it has none.
Collection Saetze(const Collection& abschnitt) {
    const Collection records = abschnitt.Find("Records");
    return records.IsArray() ? records : Collection();
}

// Whether two values hold the same data: a section sent again unchanged is no change.
bool GleicherInhalt(const Collection& a, const Collection& b) {
    if (a.IsNothing() || b.IsNothing())
        return a.IsNothing() == b.IsNothing();
    if (a.IsObject() != b.IsObject() || a.IsArray() != b.IsArray())
        return false;
    if (!a.IsCollection())
        return a.Text() == b.Text();
    if (a.Count() != b.Count())
        return false;
    for (std::size_t i = 0; i < a.Count(); ++i) {
        if (a.KeyByIndex(i) != b.KeyByIndex(i) || !GleicherInhalt(a.Item(i), b.Item(i)))
            return false;
    }
    return true;
}

Collection Aktuell(const TelegramStore& store, std::size_t abschnitt) {
    return abschnitt == 0 ? store.Latest().Find(kEreignis)
                          : store.Section(AbschnittName(abschnitt));
}

}  // namespace

struct DatenModell::Knoten {
    enum class Art { Abschnitt, Satz, Feld, Fehlt };
    Art art = Art::Feld;
    Knoten* eltern = nullptr;
    int zeile = 0;
    std::string name;  // section name, record index, field key or position
    Collection wert;   // a handle into the store's document; nothing for Fehlt
    std::size_t abschnitt = 0;
    std::optional<std::size_t> satz;  // for a record and its fields
    std::vector<std::unique_ptr<Knoten>> kinder;
    QDateTime geaendert;  // sections only
};

struct DatenModell::Soll {
    Knoten::Art art;
    std::string name;
    Collection wert;
    std::optional<std::size_t> satz;
};

DatenModell::DatenModell(const TelegramStore& store, QObject* parent)
    : QAbstractItemModel(parent),
      store_(store),
      uhr_([] { return QDateTime::currentDateTime(); }),
      wurzel_(std::make_unique<Knoten>()),
      stand_(kAbschnitte),
      geaendert_(kAbschnitte),
      gesehen_(kAbschnitte),
      fehlend_(kAbschnitte) {
    for (std::size_t i = 0; i < kAbschnitte; ++i) {
        auto k = std::make_unique<Knoten>();
        k->art = Knoten::Art::Abschnitt;
        k->eltern = wurzel_.get();
        k->zeile = static_cast<int>(i);
        k->name = AbschnittName(i);
        k->abschnitt = i;
        wurzel_->kinder.push_back(std::move(k));
    }
    Abgleichen();
}

DatenModell::~DatenModell() = default;

void DatenModell::setUhr(Uhr uhr) {
    uhr_ = std::move(uhr);
}

void DatenModell::setVorlageQuelle(VorlageQuelle quelle) {
    vorlage_ = std::move(quelle);
    VorlageGeaendert();
}

void DatenModell::VorlageGeaendert() {
    abzugleichen_ = true;
}

// --- following the store ----------------------------------------------------------------

void DatenModell::Merken() {
    const QDateTime jetzt = uhr_();
    for (std::size_t i = 0; i < kAbschnitte; ++i) {
        Collection wert = Aktuell(store_, i);
        if (GleicherInhalt(wert, stand_[i]))
            continue;
        if (!wert.IsNothing())
            geaendert_[i] = jetzt;
        GesehenMerken(i, wert);
        stand_[i] = std::move(wert);
        abzugleichen_ = true;
    }
}

void DatenModell::GesehenMerken(std::size_t abschnitt, const Collection& wert) {
    auto& gesehen = gesehen_[abschnitt];
    const auto felder = [&](const Collection& c) {
        if (!c.IsObject())
            return;
        for (std::size_t k = 0; k < c.Count(); ++k) {
            const std::string_view feld = c.KeyByIndex(k);
            if (gesehen.find(feld) == gesehen.end())
                gesehen.emplace(feld);
        }
    };
    felder(wert);
    const Collection saetze = Saetze(wert);
    for (std::size_t j = 0; !saetze.IsNothing() && j < saetze.Count(); ++j)
        felder(saetze.Item(j));
}

void DatenModell::FehlendeBestimmen() {
    for (auto& f : fehlend_)
        f.clear();
    const Vorlage* vorlage = vorlage_ ? vorlage_() : nullptr;
    if (vorlage == nullptr)
        return;
    for (const VorlageZeile& zeile : vorlage->Zeilen()) {
        const auto tabellen = ausgabe::ZellenZeilen(zeile[SpaltenIndex(zelmo::Spalte::Tabelle)]);
        const auto feldZeilen = ausgabe::ZellenZeilen(zeile[SpaltenIndex(zelmo::Spalte::Feld)]);
        for (std::size_t t = 0; t < tabellen.size() && t < feldZeilen.size(); ++t) {
            std::size_t i = 0;
            while (i < kAbschnitte && AbschnittName(i) != tabellen[t])
                ++i;
            if (i == kAbschnitte || feldZeilen[t].empty())
                continue;
            auto felder = ausgabe::Teilen(feldZeilen[t], ',');
            // The writers use no more than these.
            felder.resize(std::min(felder.size(), ausgabe::kMaxFelder));
            for (const std::string& feld : felder) {
                auto& liste = fehlend_[i];
                if (gesehen_[i].find(feld) == gesehen_[i].end() &&
                    std::find(liste.begin(), liste.end(), feld) == liste.end())
                    liste.push_back(feld);
            }
        }
    }
}

std::vector<DatenModell::Soll> DatenModell::KinderVon(const Knoten& k) const {
    std::vector<Soll> soll;
    const Collection& wert = k.wert;
    Collection saetze;
    if (k.art == Knoten::Art::Abschnitt) {
        saetze = Saetze(wert);
        for (std::size_t j = 0; !saetze.IsNothing() && j < saetze.Count(); ++j)
            soll.push_back({Knoten::Art::Satz, std::to_string(j), saetze.Item(j), j});
    }
    if (wert.IsCollection()) {
        for (std::size_t m = 0; m < wert.Count(); ++m) {
            if (!saetze.IsNothing() && wert.KeyByIndex(m) == "Records")
                continue;
            const std::string name =
                wert.IsArray() ? std::to_string(m) : std::string(wert.KeyByIndex(m));
            soll.push_back({Knoten::Art::Feld, name, wert.Item(m), k.satz});
        }
    }
    if (k.art == Knoten::Art::Abschnitt) {
        for (const std::string& feld : fehlend_[k.abschnitt])
            soll.push_back({Knoten::Art::Fehlt, feld, Collection(), std::nullopt});
    }
    return soll;
}

void DatenModell::Aufbauen(Knoten& k) const {
    for (Soll& s : KinderVon(k)) {
        auto kind = std::make_unique<Knoten>();
        kind->art = s.art;
        kind->eltern = &k;
        kind->zeile = static_cast<int>(k.kinder.size());
        kind->name = std::move(s.name);
        kind->wert = std::move(s.wert);
        kind->abschnitt = k.abschnitt;
        kind->satz = s.satz;
        Aufbauen(*kind);
        k.kinder.push_back(std::move(kind));
    }
}

// Brings the children of `k` in line with its value; true when anything below it changed.
bool DatenModell::Angleichen(Knoten& k, const QModelIndex& index) {
    std::vector<Soll> soll = KinderVon(k);
    const std::size_t alt = k.kinder.size();
    const std::size_t neu = soll.size();
    bool geaendert = false;
    if (neu < alt) {
        beginRemoveRows(index, static_cast<int>(neu), static_cast<int>(alt) - 1);
        k.kinder.resize(neu);
        endRemoveRows();
        geaendert = true;
    }
    for (std::size_t i = 0; i < std::min(alt, neu); ++i) {
        Knoten& kind = *k.kinder[i];
        Soll& s = soll[i];
        bool anders = kind.art != s.art || kind.name != s.name || kind.satz != s.satz ||
                      kind.wert.IsCollection() != s.wert.IsCollection() ||
                      kind.wert.TextOrEmpty() != s.wert.TextOrEmpty();
        kind.art = s.art;
        kind.name = std::move(s.name);
        kind.wert = std::move(s.wert);
        kind.satz = s.satz;
        const QModelIndex kindIndex = this->index(static_cast<int>(i), 0, index);
        anders = Angleichen(kind, kindIndex) || anders;
        if (anders) {
            emit dataChanged(kindIndex, this->index(static_cast<int>(i), Spaltenzahl - 1, index));
            geaendert = true;
        }
    }
    if (neu > alt) {
        beginInsertRows(index, static_cast<int>(alt), static_cast<int>(neu) - 1);
        for (std::size_t i = alt; i < neu; ++i) {
            auto kind = std::make_unique<Knoten>();
            kind->art = soll[i].art;
            kind->eltern = &k;
            kind->zeile = static_cast<int>(i);
            kind->name = std::move(soll[i].name);
            kind->wert = std::move(soll[i].wert);
            kind->abschnitt = k.abschnitt;
            kind->satz = soll[i].satz;
            Aufbauen(*kind);
            k.kinder.push_back(std::move(kind));
        }
        endInsertRows();
        geaendert = true;
    }
    return geaendert;
}

void DatenModell::Abgleichen() {
    Merken();
    if (!abzugleichen_)
        return;
    abzugleichen_ = false;
    FehlendeBestimmen();
    for (std::size_t i = 0; i < kAbschnitte; ++i) {
        Knoten& abschnitt = *wurzel_->kinder[i];
        const bool warEmpfangen = !abschnitt.wert.IsNothing();
        abschnitt.wert = stand_[i];
        const QModelIndex index = this->index(static_cast<int>(i), 0);
        bool geaendert = Angleichen(abschnitt, index);
        geaendert = geaendert || warEmpfangen != !abschnitt.wert.IsNothing() ||
                    abschnitt.geaendert != geaendert_[i];
        abschnitt.geaendert = geaendert_[i];
        if (geaendert)
            emit dataChanged(index, this->index(static_cast<int>(i), Spaltenzahl - 1));
    }
}

// --- the item model ---------------------------------------------------------------------

DatenModell::Knoten* DatenModell::knoten(const QModelIndex& index) const {
    return index.isValid() ? static_cast<Knoten*>(index.internalPointer()) : wurzel_.get();
}

QModelIndex DatenModell::index(int row, int column, const QModelIndex& parent) const {
    const Knoten* eltern = knoten(parent);
    if (row < 0 || column < 0 || column >= Spaltenzahl ||
        static_cast<std::size_t>(row) >= eltern->kinder.size())
        return {};
    return createIndex(row, column, eltern->kinder[static_cast<std::size_t>(row)].get());
}

QModelIndex DatenModell::parent(const QModelIndex& child) const {
    const Knoten* k = knoten(child);
    if (!child.isValid() || k->eltern == wurzel_.get())
        return {};
    return createIndex(k->eltern->zeile, 0, k->eltern);
}

int DatenModell::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0)
        return 0;
    return static_cast<int>(knoten(parent)->kinder.size());
}

int DatenModell::columnCount(const QModelIndex&) const {
    return Spaltenzahl;
}

QVariant DatenModell::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
        case Name:
            return QStringLiteral("Name");
        case Wert:
            return QStringLiteral("Wert");
        case Art:
            return QStringLiteral("Art");
        case Geaendert:
            return QStringLiteral("Geändert");
        default:
            return {};
    }
}

QVariant DatenModell::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    // Names and values wider than their column are read whole in the tool tip.
    if (role == Qt::ToolTipRole) {
        if (index.column() != Name && index.column() != Wert)
            return {};
        const QString text = data(index, Qt::DisplayRole).toString();
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    const Knoten& k = *knoten(index);
    const std::string& tabelle = AbschnittName(k.abschnitt);
    const ausgabe::Tabellenart art = ausgabe::ArtDerTabelle(tabelle);
    const Collection& abschnitt = wurzel_->kinder[k.abschnitt]->wert;
    // Record fields and fields of the section itself are what a template line can name.
    const bool feldDerTabelle =
        (k.art == Knoten::Art::Feld || k.art == Knoten::Art::Fehlt) &&
        (k.eltern->art == Knoten::Art::Abschnitt || k.eltern->art == Knoten::Art::Satz);
    // The writers use records below the section's own entry count (record lists) or record
    // 0 (single records) only.
    const auto satzAusgegeben = [&](std::size_t j) {
        if (art == ausgabe::Tabellenart::EinDatensatz)
            return j == 0;
        return art == ausgabe::Tabellenart::DatensatzListe && j < abschnitt.Count();
    };

    switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
                case Name:
                    return k.art == Knoten::Art::Satz ? QStringLiteral("Satz ") + Q(k.name)
                                                      : Q(k.name);
                case Wert:
                    if (k.art == Knoten::Art::Fehlt)
                        return QStringLiteral("noch von keinem Telegramm gesendet");
                    if (k.art == Knoten::Art::Abschnitt) {
                        if (k.wert.IsNothing())
                            return QStringLiteral("nicht empfangen");
                        const Collection saetze = Saetze(k.wert);
                        if (saetze.IsNothing())
                            return Anzahl(k.wert.Count(), "Feld", "Felder");
                        QString text = Anzahl(saetze.Count(), "Satz", "Sätze");
                        if (art == ausgabe::Tabellenart::DatensatzListe &&
                            k.wert.Count() < saetze.Count())
                            text += QStringLiteral(", ausgegeben: %1").arg(k.wert.Count());
                        return text;
                    }
                    if (k.art == Knoten::Art::Satz) {
                        return satzAusgegeben(*k.satz) ? QString()
                                                       : QStringLiteral("wird nicht ausgegeben");
                    }
                    if (k.wert.IsCollection()) {
                        return (k.wert.IsArray() ? QStringLiteral("Liste, ")
                                                 : QStringLiteral("Objekt, ")) +
                               Anzahl(k.wert.Count(), "Eintrag", "Einträge");
                    }
                    return Q(k.wert.TextOrEmpty());
                case Art:
                    if (k.art != Knoten::Art::Abschnitt)
                        return {};
                    switch (art) {
                        case ausgabe::Tabellenart::Flach:
                            return QStringLiteral("Einzelwerte");
                        case ausgabe::Tabellenart::EinDatensatz:
                            return QStringLiteral("Einzelsatz");
                        case ausgabe::Tabellenart::DatensatzListe:
                            return QStringLiteral("Satzliste");
                        case ausgabe::Tabellenart::Unbekannt:
                            return QStringLiteral("unbekannt");
                    }
                    return {};
                case Geaendert:
                    if (k.art != Knoten::Art::Abschnitt || !k.geaendert.isValid())
                        return {};
                    return k.geaendert.toString(QStringLiteral("HH:mm:ss"));
                default:
                    return {};
            }
        case Qt::ForegroundRole:
            if (k.art == Knoten::Art::Fehlt)
                return QBrush(QColor(200, 0, 0));
            if ((k.art == Knoten::Art::Abschnitt && k.wert.IsNothing()) ||
                (k.art == Knoten::Art::Satz && !satzAusgegeben(*k.satz)))
                return QBrush(QColor(128, 128, 128));
            return {};
        case Qt::FontRole:
            if (k.art == Knoten::Art::Abschnitt || k.art == Knoten::Art::Fehlt) {
                QFont schrift;
                schrift.setBold(k.art == Knoten::Art::Abschnitt);
                schrift.setItalic(k.art == Knoten::Art::Fehlt);
                return schrift;
            }
            return {};
        case TabelleRolle:
            return feldDerTabelle ? Q(tabelle) : QVariant();
        case FeldRolle:
            return feldDerTabelle ? Q(k.name) : QVariant();
        case SchluesselRolle: {
            if (!feldDerTabelle || art == ausgabe::Tabellenart::Unbekannt)
                return QString();
            const bool imSatz = k.eltern->art == Knoten::Art::Satz;
            // Flat tables read the section's own fields, the others a record's.
            if (imSatz == (art == ausgabe::Tabellenart::Flach) && k.art != Knoten::Art::Fehlt)
                return QString();
            if (imSatz && !satzAusgegeben(*k.satz))
                return QString();
            QString schluessel = Q(tabelle) + QLatin1Char('.') + Q(k.name);
            if (art == ausgabe::Tabellenart::DatensatzListe)
                schluessel += QLatin1Char('_') + (imSatz ? QString::number(*k.satz) : "j");
            return schluessel;
        }
        case FehltRolle:
            return k.art == Knoten::Art::Fehlt;
        default:
            return {};
    }
}

}  // namespace zelmo::widgets
