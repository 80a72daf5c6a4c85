#include "widgets/Gitter.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QStyledItemDelegate>
#include <algorithm>

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
