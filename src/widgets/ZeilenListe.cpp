#include "widgets/ZeilenListe.h"

#include <QAbstractListModel>
#include <QEvent>
#include <QFontMetrics>
#include <QHash>
#include <QStringList>
#include <algorithm>

namespace zelmo::widgets {

int Zeilenhoehe(const QFont& schrift) {
    // The tallest capitals with marks and the deepest descenders.
    static const QString kProbe = QStringLiteral("ÄÖÜÅÉÊÇgjpqy|");
    constexpr int kRand = 1;
    int hoehe = 0;
    for (const bool fett : {false, true}) {
        QFont f(schrift);
        f.setBold(fett);
        const QFontMetrics fm(f);
        const QRect glyphen = fm.boundingRect(kProbe);
        // The line box is centred in the row, so what reaches beyond it on one side needs the
        // same room on the other.
        const int ueber =
            std::max({0, -glyphen.top() - fm.ascent(), glyphen.bottom() + 1 - fm.descent()});
        hoehe = std::max(hoehe, fm.height() + 2 * ueber + 2 * kRand);
    }
    return hoehe;
}

class ZeilenListe::Modell : public QAbstractListModel {
  public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(texte.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= texte.size())
            return {};
        switch (role) {
            case Qt::DisplayRole:
                return texte[index.row()];
            case Qt::UserRole:
                return QString::fromStdString(
                    inhalt->zeilen.at(static_cast<std::size_t>(index.row())));
            case Qt::ToolTipRole: {
                const auto zeile = static_cast<std::size_t>(index.row());
                if (zeile >= inhalt->zeiten.size() || !inhalt->zeiten[zeile])
                    return {};
                return QString::fromStdString(journal::Zeitstempel(*inhalt->zeiten[zeile]));
            }
            case Qt::SizeHintRole:
                return groesse;
            default:
                return {};
        }
    }

    using QAbstractListModel::beginResetModel;
    using QAbstractListModel::endResetModel;

    const Inhalt* inhalt = nullptr;
    QStringList texte;
    QSize groesse;
};

ZeilenListe::ZeilenListe(QWidget* parent) : QListView(parent), modell_(new Modell(this)) {
    modell_->inhalt = &inhalt_;
    setModel(modell_);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    hoehe_ = Zeilenhoehe(font());
    modell_->groesse = Groesse({});
}

ZeilenListe::~ZeilenListe() = default;

void ZeilenListe::SetzeAnzeige(std::function<QString(const QString&)> anzeige) {
    anzeige_ = std::move(anzeige);
    Uebernehmen(std::move(inhalt_));
}

void ZeilenListe::Uebernehmen(Inhalt inhalt) {
    ausstehend_.reset();
    QStringList texte;
    texte.reserve(static_cast<qsizetype>(inhalt.zeilen.size()));
    for (const std::string& zeile : inhalt.zeilen) {
        const QString text = QString::fromStdString(zeile);
        texte.append(anzeige_ ? anzeige_(text) : text);
    }
    // Measured before the reset, whose layout takes the size of the first row for all.
    const QSize groesse = Groesse(texte);
    modell_->beginResetModel();
    inhalt_ = std::move(inhalt);
    modell_->texte = std::move(texte);
    modell_->groesse = groesse;
    modell_->endResetModel();
    scrollToBottom();
}

QSize ZeilenListe::Groesse(const QStringList& texte) {
    const QFontMetrics fm(font());
    int breiteste = 0;
    for (const QString& text : texte) {
        int breite = 0;
        for (const QChar zeichen : text) {
            auto bekannt = zeichenBreiten_.constFind(zeichen.unicode());
            if (bekannt == zeichenBreiten_.cend())
                bekannt = zeichenBreiten_.insert(zeichen.unicode(), fm.horizontalAdvance(zeichen));
            breite += *bekannt;
        }
        breiteste = std::max(breiteste, breite);
    }
    // Room for the item's own text margins, and for what the shaped line may take beyond the sum
    // of its characters.
    const int rand = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) +
                     fm.averageCharWidth();
    return QSize(breiteste + rand, hoehe_);
}

void ZeilenListe::showEvent(QShowEvent* event) {
    QListView::showEvent(event);
    if (ausstehend_)
        Uebernehmen(std::move(*ausstehend_));
}

void ZeilenListe::changeEvent(QEvent* event) {
    QListView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        zeichenBreiten_.clear();
        hoehe_ = Zeilenhoehe(font());
        Uebernehmen(std::move(inhalt_));
    }
}

}  // namespace zelmo::widgets
