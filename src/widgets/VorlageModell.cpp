#include "widgets/VorlageModell.h"

namespace zelmo::widgets {

namespace {

const QString kCRLF = QStringLiteral("\r\n");
const QString kLF = QStringLiteral("\n");

int Int(std::size_t n) {
    return static_cast<int>(n);
}

// The template keeps CR LF between lines and no line break at the end; an editor gives LF
// and may leave a break at the end.
std::string AusEingabe(QString text) {
    text.replace(kCRLF, kLF);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    while (text.endsWith(kLF)) {
        text.chop(1);
    }
    text.replace(kLF, kCRLF);
    return text.toStdString();
}

}  // namespace

VorlageModell::VorlageModell(QObject* parent) : QAbstractTableModel(parent) {}

bool VorlageModell::IstMehrzeilig(int spalte) {
    return spalte == Int(SpaltenIndex(Spalte::Tabelle)) ||
           spalte == Int(SpaltenIndex(Spalte::Feld));
}

void VorlageModell::Ersetzen(Vorlage neu) {
    beginResetModel();
    vorlage_ = std::move(neu);
    endResetModel();
}

void VorlageModell::ZeilenGeaendert(std::size_t von, std::size_t bis) {
    emit dataChanged(index(Int(von), 0), index(Int(bis), Int(kSpaltenAnzahl) - 1));
}

void VorlageModell::SetzeZeile(std::size_t zeile, VorlageZeile inhalt) {
    vorlage_.SetzeZeile(zeile, std::move(inhalt));
    ZeilenGeaendert(zeile, zeile);
}

ZellPosition VorlageModell::ZeileDuplizieren(std::size_t r) {
    vorlage_.Zeile(r);  // throws before the view hears of a row that will not come
    beginInsertRows(QModelIndex(), Int(r) + 1, Int(r) + 1);
    const ZellPosition aktuell = vorlage_.ZeileDuplizieren(r);
    endInsertRows();
    return aktuell;
}

ZellPosition VorlageModell::ZeileLoeschen(std::size_t r) {
    vorlage_.Zeile(r);
    if (vorlage_.Zeilenanzahl() < 2) {
        const ZellPosition aktuell = vorlage_.ZeileLoeschen(r);
        ZeilenGeaendert(0, 0);
        return aktuell;
    }
    beginRemoveRows(QModelIndex(), Int(r), Int(r));
    const ZellPosition aktuell = vorlage_.ZeileLoeschen(r);
    endRemoveRows();
    return aktuell;
}

std::optional<ZellPosition> VorlageModell::ZeileHoch(std::size_t r) {
    const auto aktuell = vorlage_.ZeileHoch(r);
    if (aktuell) {
        ZeilenGeaendert(r - 1, r);
    }
    return aktuell;
}

std::optional<ZellPosition> VorlageModell::ZeileRunter(std::size_t r) {
    const auto aktuell = vorlage_.ZeileRunter(r);
    if (aktuell) {
        ZeilenGeaendert(r, r + 1);
    }
    return aktuell;
}

int VorlageModell::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Int(vorlage_.Zeilenanzahl());
}

int VorlageModell::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Int(kSpaltenAnzahl);
}

QVariant VorlageModell::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    QString text = QString::fromStdString(vorlage_.Zelle(static_cast<std::size_t>(index.row()),
                                                         static_cast<std::size_t>(index.column())));
    if (IstMehrzeilig(index.column())) {
        text.replace(kCRLF, kLF);
    }
    return text;
}

bool VorlageModell::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) {
        return false;
    }
    const QString text = value.toString();
    vorlage_.SetzeZelle(static_cast<std::size_t>(index.row()),
                        static_cast<std::size_t>(index.column()),
                        IstMehrzeilig(index.column()) ? AusEingabe(text) : text.toStdString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

QVariant VorlageModell::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation != Qt::Horizontal || section < 0 || section >= Int(kSpaltenAnzahl)) {
        return {};
    }
    const std::string_view name = kSpaltenNamen[static_cast<std::size_t>(section)];
    return QString::fromUtf8(name.data(), Int(name.size()));
}

Qt::ItemFlags VorlageModell::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

}  // namespace zelmo::widgets
