#include "windows/FrmFelderAuswahl.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "start/StartChecks.h"
#include "widgets/CheckBoxCombo.h"
#include "widgets/VorlageModell.h"
#include "windows/Dialoge.h"
#include "windows/Symbole.h"

namespace zelmo::windows {

namespace {

const QString kCRLF = QStringLiteral("\r\n");

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}
QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QStringList Liste(const std::vector<std::string>& texte) {
    QStringList liste;
    liste.reserve(static_cast<qsizetype>(texte.size()));
    for (const auto& text : texte) {
        liste.append(Q(text));
    }
    return liste;
}

// Label texts and the fixed entries of ComBoxEreignis 1 to 5; entry 0 lists the event
// catalogue.
struct Filter {
    const char* label;
    const char* labelName;
    QStringList eintraege;
};

const std::array<Filter, 6>& Filterliste() {
    static const std::array<Filter, 6> liste = {{
        {"Ereignis", "lblEreignis", {}},
        {"Turnierart",
         "lblTurnierart",
         {QStringLiteral("Alle"), QStringLiteral("Normalspringen"), QStringLiteral("Zeitspringen"),
          QStringLiteral("Stilspringen"), QStringLiteral("Punktespringen"),
          QStringLiteral("Dressur"), QStringLiteral("Bundeschampionate")}},
        {"Unterauswahl1",
         "lblUnterauswahl1",
         {QStringLiteral("Alle"), QStringLiteral("mit Stechen"), QStringLiteral("2Phasen-Springen"),
          QStringLiteral("Idealzeitspringen"), QStringLiteral("Immediatespringen"),
          QStringLiteral("Mächtigkeitsspringen"), QStringLiteral("Siegerrunde")}},
        {"Unterauswahl2",
         "lblUnterauswahl2",
         {QStringLiteral("Alle"), QStringLiteral("Stilspringen"), QStringLiteral("Springpferde")}},
        {"Umlauf:",
         "lblUnterauswahl3",
         {QStringLiteral("Alle"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
          QStringLiteral("4"), QStringLiteral("5")}},
        {"Reserve", "lblReserve", {}},
    }};
    return liste;
}

QLabel* Label(const QString& text, const QString& name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

void Auswaehlen(QComboBox* combo, const std::string& text) {
    const int index = combo->findText(Q(text), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) {
        combo->setCurrentIndex(index);
    }
}

// Lines of a Tabelle or Feld cell, exactly three: missing lines are empty.
QStringList DreiZeilen(const std::string& zelle) {
    QStringList zeilen = Q(zelle).split(kCRLF);
    while (zeilen.size() < 3) {
        zeilen.append(QString());
    }
    return zeilen.mid(0, 3);
}

}  // namespace

FrmFelderAuswahl::FrmFelderAuswahl(const start::Catalogues& kataloge,
                                   widgets::VorlageModell& modell, std::size_t zeile,
                                   Dialoge& dialoge, QWidget* parent)
    : QWidget(parent, Qt::Dialog),
      kataloge_(kataloge),
      modell_(modell),
      zeile_(zeile),
      dialoge_(dialoge) {
    setObjectName(QStringLiteral("FrmFelderAuswahl"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Auswahl Tabellen und Felder"));
    setWindowIcon(LiveTextIcon());
    Aufbauen();
    Fuellen();
    ComBoxEreignis_[0]->setFocus();
}

void FrmFelderAuswahl::Aufbauen() {
    auto* links = new QGridLayout;
    const auto& filter = Filterliste();
    for (std::size_t i = 0; i < filter.size(); ++i) {
        const int reihe = static_cast<int>(i);
        auto* combo = new QComboBox(this);
        combo->setObjectName(QStringLiteral("ComBoxEreignis%1").arg(i));
        combo->addItems(filter[i].eintraege);
        combo->setMinimumContentsLength(18);
        ComBoxEreignis_[i] = combo;
        links->addWidget(Label(QString::fromUtf8(filter[i].label),
                               QString::fromLatin1(filter[i].labelName), this),
                         reihe, 0);
        links->addWidget(combo, reihe, 1);
    }
    ComBoxEreignis_[0]->addItems(Liste(start::EventNames(kataloge_)));
    ComBoxEreignis_[5]->setEnabled(false);

    ComBoxSeite_ = new QComboBox(this);
    ComBoxSeite_->setObjectName(QStringLiteral("ComBoxSeite"));
    for (int seite = 1; seite <= 99; ++seite) {
        ComBoxSeite_->addItem(QStringLiteral("%1").arg(seite, 2, 10, QLatin1Char('0')));
    }
    links->addWidget(Label(QStringLiteral("SeitenNr"), QStringLiteral("lblSeitenNr"), this), 6, 0);
    links->addWidget(ComBoxSeite_, 6, 1);

    txtDateiname_ = new QLineEdit(QStringLiteral("Dateiname"), this);
    txtDateiname_->setObjectName(QStringLiteral("txtDateiname"));
    links->addWidget(Label(QStringLiteral("Dateiname"), QStringLiteral("lblDateiname"), this), 7,
                     0);
    links->addWidget(txtDateiname_, 7, 1);
    links->setRowStretch(8, 1);

    auto* tabellen = new QGridLayout;
    const QStringList tabellenNamen = Liste(start::TableNames(kataloge_));
    for (int k = 0; k < kSlots; ++k) {
        Slot& slot = plaetze_[static_cast<std::size_t>(k)];
        slot.tabellen = new widgets::CheckBoxCombo(this);
        slot.tabellen->setObjectName(QStringLiteral("CBComboTabellen%1").arg(k));
        slot.felder = new widgets::CheckBoxCombo(this);
        slot.felder->setObjectName(QStringLiteral("CBComboFelder%1").arg(k));
        slot.liste = new QListWidget(this);
        slot.liste->setObjectName(QStringLiteral("listBoxFelder%1").arg(k));
        for (auto* combo : {slot.tabellen, slot.felder}) {
            combo->SetzeBeschriftung(QStringLiteral("Auswahl"));
            combo->SetzeTrenner(QStringLiteral(","));
            combo->setMinimumContentsLength(16);
        }
        tabellen->addWidget(Label(QStringLiteral("Tabelle%1").arg(k + 1),
                                  QStringLiteral("lblTabelle%1").arg(k + 1), this),
                            0, k);
        tabellen->addWidget(slot.tabellen, 1, k);
        tabellen->addWidget(slot.felder, 2, k);
        tabellen->addWidget(slot.liste, 3, k);
        connect(slot.tabellen, &widgets::CheckBoxCombo::HakenGeaendert, this,
                [this, k](int eintrag) { TabelleGeaendert(k, eintrag); });
        connect(slot.felder, &widgets::CheckBoxCombo::HakenGeaendert, this,
                [this, k](int) { FelderGeaendert(k); });
        slot.tabellen->Leeren();
        for (const QString& name : tabellenNamen) {
            slot.tabellen->EintragHinzufuegen(name);
        }
    }

    auto* uebernehmen = new QPushButton(QStringLiteral("Übernehmen"), this);
    uebernehmen->setObjectName(QStringLiteral("cmdUebernehmen"));
    auto* abbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    abbrechen->setObjectName(QStringLiteral("cmdAbbrechen"));
    connect(uebernehmen, &QPushButton::clicked, this, &FrmFelderAuswahl::Uebernehmen);
    connect(abbrechen, &QPushButton::clicked, this, &QWidget::close);

    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch(1);
    knoepfe->addWidget(uebernehmen);
    knoepfe->addWidget(abbrechen);

    auto* oben = new QHBoxLayout;
    oben->addLayout(links);
    oben->addSpacing(16);
    oben->addLayout(tabellen, 1);
    auto* gesamt = new QVBoxLayout(this);
    gesamt->addLayout(oben, 1);
    gesamt->addLayout(knoepfe);
}

void FrmFelderAuswahl::Fuellen() {
    if (zeile_ >= modell_.vorlage().Zeilenanzahl()) {
        return;
    }
    const VorlageZeile& zeile = modell_.vorlage().Zeile(zeile_);
    for (std::size_t i = 0; i < ComBoxEreignis_.size(); ++i) {
        Auswaehlen(ComBoxEreignis_[i], zeile[i]);
    }
    Auswaehlen(ComBoxSeite_, zeile[SpaltenIndex(Spalte::Seite)]);
    txtDateiname_->setText(Q(zeile[SpaltenIndex(Spalte::Dateiname)]));

    const QStringList tabellen = DreiZeilen(zeile[SpaltenIndex(Spalte::Tabelle)]);
    const QStringList felder = DreiZeilen(zeile[SpaltenIndex(Spalte::Feld)]);
    for (int k = 0; k < kSlots; ++k) {
        Slot& slot = plaetze_[static_cast<std::size_t>(k)];
        // Checking the table fills its fields, so the fields can be checked after it.
        const int eintrag =
            slot.tabellen->findText(tabellen[k], Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (eintrag >= 0) {
            slot.tabellen->SetzeAngehakt(eintrag, true);
        }
        slot.felder->AnhakenAusText(felder[k]);
    }
}

void FrmFelderAuswahl::SlotLeeren(Slot& slot) {
    slot.tabelle = -1;
    slot.zuletzt = -1;
    slot.angehakt = false;
    slot.felder->Leeren();
    slot.liste->clear();
}

void FrmFelderAuswahl::FelderFuellen(Slot& slot) {
    // The list shows the checked fields of the combo; when the combo's entries go, so do its
    // checks. A table without fields leaves none of the previous table's fields behind.
    slot.felder->Leeren();
    slot.liste->clear();
    for (const auto& feld : start::TableFields(kataloge_, slot.tabellen->Text().toStdString())) {
        slot.felder->EintragHinzufuegen(Q(feld));
    }
}

void FrmFelderAuswahl::TabelleGeaendert(int k, int eintrag) {
    Slot& slot = plaetze_[static_cast<std::size_t>(k)];
    if (slot.unterdrueckt) {
        return;
    }
    const int angehakt = slot.tabellen->AnzahlAngehakt();
    if (angehakt == 0) {
        SlotLeeren(slot);
    } else if (angehakt == 1) {
        for (int i = 0; i < slot.tabellen->Anzahl(); ++i) {
            if (slot.tabellen->Angehakt(i)) {
                slot.tabelle = i;
            }
        }
        slot.angehakt = true;
        FelderFuellen(slot);
    } else if (angehakt == 2) {
        // A slot holds one table: the newly checked one replaces the one held before.
        slot.zuletzt = eintrag;
        slot.angehakt = slot.tabellen->Angehakt(eintrag);
        slot.unterdrueckt = true;
        for (int i = 0; i < slot.tabellen->Anzahl(); ++i) {
            if (i != eintrag) {
                slot.tabellen->SetzeAngehakt(i, false);
            }
        }
        slot.tabelle = eintrag;
        slot.tabellen->SetzeAngehakt(eintrag, true);
        slot.unterdrueckt = false;
        FelderFuellen(slot);
    } else {
        dialoge_.Meldung(this, QStringLiteral("Fehler in Auswahl"), Q(start::kProgramTitle));
        slot.tabellen->AlleAbhaken();
        SlotLeeren(slot);
    }
}

void FrmFelderAuswahl::FelderGeaendert(int k) {
    Slot& slot = plaetze_[static_cast<std::size_t>(k)];
    slot.liste->clear();
    const QString text = slot.felder->Text();
    if (!text.isEmpty()) {
        slot.liste->addItems(text.split(QLatin1Char(',')));
    }
}

void FrmFelderAuswahl::Uebernehmen() {
    if (zeile_ < modell_.vorlage().Zeilenanzahl()) {
        VorlageZeile zeile;
        for (std::size_t i = 0; i < ComBoxEreignis_.size(); ++i) {
            zeile[i] = ComBoxEreignis_[i]->currentText().toStdString();
        }
        zeile[SpaltenIndex(Spalte::Seite)] = ComBoxSeite_->currentText().toStdString();
        zeile[SpaltenIndex(Spalte::Dateiname)] = txtDateiname_->text().toStdString();

        // Only slots with a table give a line, in both columns, so the lines stay paired.
        QString tabellen;
        QString felder;
        for (const Slot& slot : plaetze_) {
            if (slot.tabellen->AnzahlAngehakt() > 0) {
                tabellen += slot.tabellen->Text() + kCRLF;
                felder += slot.felder->Text() + kCRLF;
            }
        }
        // The last line's break goes even when that line is empty (a table without checked
        // fields), so both columns keep the same number of lines.
        for (QString* text : {&tabellen, &felder}) {
            if (text->endsWith(kCRLF)) {
                text->chop(2);
            }
        }
        zeile[SpaltenIndex(Spalte::Tabelle)] = tabellen.toStdString();
        zeile[SpaltenIndex(Spalte::Feld)] = felder.toStdString();
        modell_.SetzeZeile(zeile_, std::move(zeile));
    }
    close();
}

void FrmFelderAuswahl::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit geschlossen();
}

}  // namespace zelmo::windows
