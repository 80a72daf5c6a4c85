#include "widgets/Gitter.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QStyledItemDelegate>
#include <algorithm>
#include <vector>

#include "widgets/ZeilenListe.h"

namespace zelmo::widgets {

namespace {

// Edits a multi-line cell in a plain text box: Enter starts a new line, leaving the cell
// (Tab, a click elsewhere) takes the text over.
class MehrzeilenDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* editor = new QPlainTextEdit(parent);
        editor->setTabChangesFocus(true);
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<QPlainTextEdit*>(editor)->setPlainText(index.data(Qt::EditRole).toString());
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        model->setData(index, static_cast<QPlainTextEdit*>(editor)->toPlainText(), Qt::EditRole);
    }

    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex&) const override {
        // At least three lines high, so that a line can be added to a one-line cell.
        QRect rect = option.rect;
        rect.setHeight(std::max(rect.height(), 3 * option.fontMetrics.lineSpacing() + 8));
        editor->setGeometry(rect);
    }
};

}  // namespace

Gitter::Gitter(QWidget* parent) : QTableView(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setSectionsClickable(false);
}

void Gitter::SetzeSpaltenbreitenTwips(const QList<int>& twips) {
    const int dpi = logicalDpiX();
    for (int spalte = 0; spalte < twips.size(); ++spalte) {
        setColumnWidth(spalte, TwipsZuPixel(twips[spalte], dpi));
    }
}

void Gitter::SetzeMehrzeilig(int spalte) {
    setItemDelegateForColumn(spalte, new MehrzeilenDelegate(this));
}

void Gitter::SetzeInhaltEinpassen(bool an) {
    einpassen_ = an;
    if (!an || model() == nullptr) {
        return;
    }
    connect(model(), &QAbstractItemModel::modelReset, this, &Gitter::InhaltGeaendert);
    connect(model(), &QAbstractItemModel::dataChanged, this, &Gitter::InhaltGeaendert);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this] { vonHand_ = vonHand_ || !passeEin_; });
    Einpassen();
}

void Gitter::SetzeEinzeilig() {
    einzeilig_ = true;
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(Zeilenhoehe(font()));
}

std::vector<qsizetype> Gitter::Textlaengen() const {
    const int spalten = model()->columnCount();
    std::vector<qsizetype> laengen(static_cast<std::size_t>(spalten));
    for (int r = 0; r < model()->rowCount(); ++r) {
        for (int c = 0; c < spalten; ++c) {
            auto& laenge = laengen[static_cast<std::size_t>(c)];
            laenge = std::max(laenge, model()->index(r, c).data().toString().size());
        }
    }
    return laengen;
}

void Gitter::InhaltGeaendert() {
    if (!einpassen_ || vonHand_ || model() == nullptr) {
        return;
    }
    const std::vector<qsizetype> laengen = Textlaengen();
    bool laenger = laengen.size() != eingepasst_.size();
    for (std::size_t c = 0; !laenger && c < laengen.size(); ++c) {
        laenger = laengen[c] > eingepasst_[c];
    }
    if (laenger) {
        Einpassen();
    }
}

void Gitter::Einpassen() {
    if (!einpassen_ || vonHand_ || model() == nullptr) {
        return;
    }
    eingepasst_ = Textlaengen();
    passeEin_ = true;
    resizeColumnsToContents();
    const int spalten = model()->columnCount();
    std::vector<int> breite(static_cast<std::size_t>(spalten));
    std::vector<int> kopf(breite.size());
    int summe = 0;
    int groesste = 0;
    for (int c = 0; c < spalten; ++c) {
        const auto i = static_cast<std::size_t>(c);
        kopf[i] = horizontalHeader()->sectionSizeHint(c);
        breite[i] = std::max(columnWidth(c), kopf[i]);
        summe += breite[i];
        groesste = std::max(groesste, breite[i]);
    }
    // Too wide: cap the widest columns at the largest width that fits, never below a heading.
    const int platz = viewport()->width();
    if (summe > platz) {
        const auto mitDeckel = [&](int deckel) {
            int s = 0;
            for (std::size_t i = 0; i < breite.size(); ++i) {
                s += std::max(kopf[i], std::min(breite[i], deckel));
            }
            return s;
        };
        int unten = 0;
        int oben = groesste;
        while (unten < oben) {
            const int mitte = (unten + oben + 1) / 2;
            if (mitDeckel(mitte) <= platz) {
                unten = mitte;
            } else {
                oben = mitte - 1;
            }
        }
        for (std::size_t i = 0; i < breite.size(); ++i) {
            breite[i] = std::max(kopf[i], std::min(breite[i], unten));
        }
    }
    for (int c = 0; c < spalten; ++c) {
        setColumnWidth(c, breite[static_cast<std::size_t>(c)]);
    }
    passeEin_ = false;
}

void Gitter::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    Einpassen();
}

void Gitter::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (einzeilig_ && event->type() == QEvent::FontChange) {
        verticalHeader()->setDefaultSectionSize(Zeilenhoehe(font()));
    }
}

int Gitter::AktuelleZeile() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() : -1;
}

int Gitter::AktuelleSpalte() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.column() : -1;
}

void Gitter::SetzeAktuelleZelle(int zeile, int spalte) {
    if (model() == nullptr) {
        return;
    }
    const QModelIndex index = model()->index(zeile, spalte);
    setCurrentIndex(index);
    scrollTo(index);
}

void Gitter::keyPressEvent(QKeyEvent* event) {
    if (state() != QAbstractItemView::EditingState) {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        const bool strgA =
            event->key() == Qt::Key_A && event->modifiers().testFlag(Qt::ControlModifier);
        if ((enter && !event->modifiers().testFlag(Qt::ControlModifier)) || strgA) {
            event->accept();
            emit BearbeitenAngefordert();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void Gitter::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (current.isValid()) {
        scrollTo(current);
    }
}

}  // namespace zelmo::widgets
