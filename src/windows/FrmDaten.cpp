#include "windows/FrmDaten.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "widgets/Auffrischer.h"
#include "widgets/DatenModell.h"
#include "widgets/ZeilenListe.h"
#include "windows/Symbole.h"

namespace zelmo::windows {

namespace {

QPushButton* Knopf(const QString& text, const QString& name, QWidget* parent) {
    auto* knopf = new QPushButton(text, parent);
    knopf->setObjectName(name);
    return knopf;
}

// Every row as high as the view's font needs, bold section rows included: the tree takes the
// first row's height for all.
class ZeilenDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize groesse = QStyledItemDelegate::sizeHint(option, index);
        groesse.setHeight(std::max(groesse.height(), widgets::Zeilenhoehe(option.font)));
        return groesse;
    }
};

}  // namespace

FrmDaten::FrmDaten(widgets::DatenModell& modell, widgets::Auffrischer& auffrischer, QWidget* parent)
    : QWidget(parent, Qt::Window), modell_(modell), filter_(new QSortFilterProxyModel(this)) {
    setObjectName(QStringLiteral("FrmDaten"));
    setWindowTitle(QStringLiteral("Daten"));
    setWindowIcon(LiveTextIcon());

    filter_->setSourceModel(&modell_);
    // A matching field keeps its record and section in view.
    filter_->setRecursiveFilteringEnabled(true);
    filter_->setFilterKeyColumn(-1);
    filter_->setFilterCaseSensitivity(Qt::CaseInsensitive);

    auto* lblFilter = new QLabel(QStringLiteral("Filter:"), this);
    txtFilter = new QLineEdit(this);
    txtFilter->setObjectName(QStringLiteral("txtFilter"));
    txtFilter->setPlaceholderText(QStringLiteral("Abschnitt, Feld oder Wert"));
    txtFilter->setClearButtonEnabled(true);
    lblFilter->setBuddy(txtFilter);

    baumDaten = new QTreeView(this);
    baumDaten->setObjectName(QStringLiteral("baumDaten"));
    baumDaten->setModel(filter_);
    baumDaten->setUniformRowHeights(true);
    baumDaten->setItemDelegate(new ZeilenDelegate(baumDaten));
    // Keeping the top row in place needs pixels, not rows.
    baumDaten->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    baumDaten->setAlternatingRowColors(true);
    baumDaten->header()->setSectionResizeMode(widgets::DatenModell::Wert, QHeaderView::Stretch);
    baumDaten->header()->setStretchLastSection(false);
    baumDaten->setColumnWidth(widgets::DatenModell::Name, 260);
    baumDaten->setColumnWidth(widgets::DatenModell::Art, 100);
    baumDaten->setColumnWidth(widgets::DatenModell::Geaendert, 80);

    lblAuswahl = new QLabel(this);
    lblAuswahl->setObjectName(QStringLiteral("lblAuswahl"));
    lblAuswahl->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblAuswahl->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lblAuswahl->setMinimumHeight(2 * fontMetrics().height());
    lblLegende = new QLabel(
        QStringLiteral("Rot: ein Feld, das die Vorlage nennt, das aber noch kein Telegramm "
                       "gebracht hat. Grau: nicht empfangen oder nicht ausgegeben."),
        this);
    lblLegende->setObjectName(QStringLiteral("lblLegende"));
    lblLegende->setWordWrap(true);

    cmdAnhalten = Knopf(QStringLiteral("Anhalten"), QStringLiteral("cmdAnhalten"), this);
    cmdAnhalten->setCheckable(true);
    cmdAnhalten->setToolTip(
        QStringLiteral("Hält die Anzeige an; die Telegramme werden weiter empfangen und "
                       "ausgegeben."));
    cmdAufklappen = Knopf(QStringLiteral("Alle aufklappen"), QStringLiteral("cmdAufklappen"), this);
    cmdZuklappen = Knopf(QStringLiteral("Alle zuklappen"), QStringLiteral("cmdZuklappen"), this);
    cmdSchliessen = Knopf(QStringLiteral("Schließen"), QStringLiteral("cmdSchliessen"), this);

    auto* kopf = new QHBoxLayout;
    kopf->addWidget(lblFilter);
    kopf->addWidget(txtFilter, 1);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addWidget(cmdAnhalten);
    knoepfe->addWidget(cmdAufklappen);
    knoepfe->addWidget(cmdZuklappen);
    knoepfe->addStretch(1);
    knoepfe->addWidget(cmdSchliessen);
    auto* spalte = new QVBoxLayout(this);
    spalte->addLayout(kopf);
    spalte->addWidget(baumDaten, 1);
    spalte->addWidget(lblAuswahl);
    spalte->addWidget(lblLegende);
    spalte->addLayout(knoepfe);

    connect(txtFilter, &QLineEdit::textChanged, this, [this](const QString& text) {
        filter_->setFilterFixedString(text);
        if (!text.isEmpty())
            baumDaten->expandAll();
    });
    // Records that arrive while a filter is set show their matching fields at once.
    connect(filter_, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex& eltern, int erste, int letzte) {
                if (txtFilter->text().isEmpty())
                    return;
                baumDaten->expand(eltern);
                for (int r = erste; r <= letzte; ++r)
                    baumDaten->expandRecursively(filter_->index(r, 0, eltern));
            });
    connect(baumDaten->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &FrmDaten::AuswahlAnzeigen);
    connect(&modell_, &QAbstractItemModel::dataChanged, this, &FrmDaten::AuswahlAnzeigen);
    connect(cmdAufklappen, &QPushButton::clicked, baumDaten, &QTreeView::expandAll);
    connect(cmdZuklappen, &QPushButton::clicked, baumDaten, &QTreeView::collapseAll);
    connect(cmdSchliessen, &QPushButton::clicked, this, &QWidget::close);
    connect(&auffrischer, &widgets::Auffrischer::auffrischen, this, &FrmDaten::Auffrischen);
    connect(cmdAnhalten, &QPushButton::toggled, this, [this](bool an) {
        if (!an)
            Auffrischen();
    });

    // The event is what a template author looks at first.
    baumDaten->expand(filter_->index(0, 0));
    AuswahlAnzeigen();
    resize(900, 700);
}

void FrmDaten::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Auffrischen();
}

void FrmDaten::Auffrischen() {
    if (!isVisible() || cmdAnhalten->isChecked())
        return;
    // Rows that come or go above the top row would move everything under the mouse.
    const QPersistentModelIndex oben = baumDaten->indexAt(QPoint(0, 0));
    const int vorher = baumDaten->visualRect(oben).top();
    modell_.Abgleichen();
    if (oben.isValid()) {
        QScrollBar* leiste = baumDaten->verticalScrollBar();
        leiste->setValue(leiste->value() + baumDaten->visualRect(oben).top() - vorher);
    }
}

void FrmDaten::AuswahlAnzeigen() {
    const QModelIndex aktuell = baumDaten->currentIndex();
    const QString tabelle = aktuell.data(widgets::DatenModell::TabelleRolle).toString();
    if (tabelle.isEmpty()) {
        lblAuswahl->setText(
            QStringLiteral("Ein Feld wählen: hier stehen dann die Namen für "
                           "Tabelle und Feld der Vorlage."));
        return;
    }
    QString text = QStringLiteral("Tabelle: %1    Feld: %2")
                       .arg(tabelle, aktuell.data(widgets::DatenModell::FeldRolle).toString());
    const QString schluessel = aktuell.data(widgets::DatenModell::SchluesselRolle).toString();
    if (!schluessel.isEmpty())
        text += QStringLiteral("    LiveText: %1").arg(schluessel);
    if (aktuell.data(widgets::DatenModell::FehltRolle).toBool())
        text += QStringLiteral("    (noch von keinem Telegramm gesendet)");
    lblAuswahl->setText(text);
}

}  // namespace zelmo::windows
