#include "windows/FrmFelderAuswahl.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "EditorFakeDialoge.h"
#include "EditorTestHilfen.h"
#include "widgets/CheckBoxCombo.h"
#include "widgets/VorlageModell.h"

using namespace zelmo;
using zelmo::test::EditorFakeDialoge;
using zelmo::widgets::CheckBoxCombo;
using zelmo::windows::FrmFelderAuswahl;

namespace {

QStringList Eintraege(const QComboBox* combo) {
    QStringList texte;
    for (int i = 0; i < combo->count(); ++i) {
        texte.append(combo->itemText(i));
    }
    return texte;
}

QStringList Texte(const QListWidget* liste) {
    QStringList texte;
    for (int i = 0; i < liste->count(); ++i) {
        texte.append(liste->item(i)->text());
    }
    return texte;
}

}  // namespace

class FrmFelderAuswahlTest : public QObject {
    Q_OBJECT

  private:
    start::Catalogues kataloge_;
    std::unique_ptr<widgets::VorlageModell> modell_;
    std::unique_ptr<EditorFakeDialoge> dialoge_;
    QPointer<FrmFelderAuswahl> dialog_;

    // The dialog for row 1 of a template whose row 1 is `zeile`; rows 0 and 2 are bystanders.
    FrmFelderAuswahl* Oeffnen(const VorlageZeile& zeile) {
        modell_->Ersetzen(
            test::VorlageAus({test::NurEreignis("davor"), zeile, test::NurEreignis("danach")}));
        dialog_ = new FrmFelderAuswahl(kataloge_, *modell_, 1, *dialoge_);
        return dialog_;
    }
    template <typename T>
    T* Kind(const QString& name) {
        T* kind = dialog_->findChild<T*>(name);
        if (kind == nullptr) {
            qFatal("control %s missing", qPrintable(name));
        }
        return kind;
    }
    QComboBox* Filter(int i) { return Kind<QComboBox>(QStringLiteral("ComBoxEreignis%1").arg(i)); }
    CheckBoxCombo* Tabellen(int k) {
        return Kind<CheckBoxCombo>(QStringLiteral("CBComboTabellen%1").arg(k));
    }
    CheckBoxCombo* Felder(int k) {
        return Kind<CheckBoxCombo>(QStringLiteral("CBComboFelder%1").arg(k));
    }
    QListWidget* Liste(int k) {
        return Kind<QListWidget>(QStringLiteral("listBoxFelder%1").arg(k));
    }
    void TabelleAnhaken(int k, const QString& name) {
        const int index = Tabellen(k)->findText(name);
        QVERIFY2(index >= 0, qPrintable(name));
        Tabellen(k)->SetzeAngehakt(index, true);
    }
    void Klick(const char* knopf) {
        QTest::mouseClick(Kind<QPushButton>(QString::fromLatin1(knopf)), Qt::LeftButton);
    }
    const VorlageZeile& Zeile(std::size_t r) const { return modell_->vorlage().Zeile(r); }

  private slots:
    void init() {
        kataloge_ = test::Kataloge();
        modell_ = std::make_unique<widgets::VorlageModell>();
        dialoge_ = std::make_unique<EditorFakeDialoge>();
    }
    void cleanup() {
        delete dialog_.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void aFreshLineShowsTheFirstEntries() {
        Oeffnen(VorlageZeile{});
        QCOMPARE(dialog_->windowTitle(), QStringLiteral("Auswahl Tabellen und Felder"));
        const QList<std::pair<const char*, QString>> labels = {
            {"lblEreignis", "Ereignis"},           {"lblTurnierart", "Turnierart"},
            {"lblUnterauswahl1", "Unterauswahl1"}, {"lblUnterauswahl2", "Unterauswahl2"},
            {"lblUnterauswahl3", "Umlauf:"},       {"lblReserve", "Reserve"},
            {"lblSeitenNr", "SeitenNr"},           {"lblDateiname", "Dateiname"},
            {"lblTabelle1", "Tabelle1"},           {"lblTabelle2", "Tabelle2"},
            {"lblTabelle3", "Tabelle3"},
        };
        for (const auto& [name, text] : labels) {
            QCOMPARE(Kind<QLabel>(QString::fromLatin1(name))->text(), text);
        }
        QCOMPARE(Kind<QPushButton>("cmdUebernehmen")->text(), QStringLiteral("Übernehmen"));
        QCOMPARE(Kind<QPushButton>("cmdAbbrechen")->text(), QStringLiteral("Abbrechen"));

        const QList<QStringList> listen = {
            {"Start", "Ziel", "Zwischenzeit"},
            {"Alle", "Normalspringen", "Zeitspringen", "Stilspringen", "Punktespringen", "Dressur",
             "Bundeschampionate"},
            {"Alle", "mit Stechen", "2Phasen-Springen", "Idealzeitspringen", "Immediatespringen",
             "Mächtigkeitsspringen", "Siegerrunde"},
            {"Alle", "Stilspringen", "Springpferde"},
            {"Alle", "1", "2", "3", "4", "5"},
            {},
        };
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(Eintraege(Filter(i)), listen[i]);
            QCOMPARE(Filter(i)->currentText(), listen[i].value(0));
        }
        QVERIFY(!Filter(5)->isEnabled());

        auto* seite = Kind<QComboBox>("ComBoxSeite");
        QCOMPARE(seite->count(), 99);
        QCOMPARE(seite->itemText(0), QStringLiteral("01"));
        QCOMPARE(seite->itemText(8), QStringLiteral("09"));
        QCOMPARE(seite->itemText(98), QStringLiteral("99"));
        QCOMPARE(seite->currentText(), QStringLiteral("01"));
        QCOMPARE(Kind<QLineEdit>("txtDateiname")->text(), QString());

        for (int k = 0; k < 3; ++k) {
            QCOMPARE(Eintraege(Tabellen(k)),
                     (QStringList{"Ereignis", "Startliste", "Pruefung", "Leer"}));
            QCOMPARE(Tabellen(k)->AnzahlAngehakt(), 0);
            QCOMPARE(Tabellen(k)->AnzeigeText(), QStringLiteral("Auswahl"));
            QCOMPARE(Felder(k)->count(), 0);
            QCOMPARE(Felder(k)->AnzeigeText(), QStringLiteral("Auswahl"));
            QCOMPARE(Liste(k)->count(), 0);
        }
    }

    void openingShowsTheLine() {
        Oeffnen({"Ziel", "Zeitspringen", "Unbekannt", "Springpferde", "3", "", "12", "datei",
                 "Startliste\r\nGibtsNicht\r\nPruefung", "Pferd,Name\r\nX\r\nOrt"});
        const QStringList gewaehlt = {"Ziel", "Zeitspringen", "Alle", "Springpferde", "3", ""};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(Filter(i)->currentText(), gewaehlt[i]);
        }
        QCOMPARE(Kind<QComboBox>("ComBoxSeite")->currentText(), QStringLiteral("12"));
        QCOMPARE(Kind<QLineEdit>("txtDateiname")->text(), QStringLiteral("datei"));

        QCOMPARE(Tabellen(0)->Text(), QStringLiteral("Startliste"));
        QCOMPARE(Eintraege(Felder(0)), (QStringList{"Name", "Land", "Pferd"}));
        QCOMPARE(Felder(0)->Text(), QStringLiteral("Name,Pferd"));
        QCOMPARE(Texte(Liste(0)), (QStringList{"Name", "Pferd"}));
        // A table the catalogue does not know leaves its slot empty.
        QCOMPARE(Tabellen(1)->AnzahlAngehakt(), 0);
        QCOMPARE(Felder(1)->count(), 0);
        QCOMPARE(Liste(1)->count(), 0);
        QCOMPARE(Tabellen(2)->Text(), QStringLiteral("Pruefung"));
        QCOMPARE(Texte(Liste(2)), QStringList{"Ort"});

        // Taken over unchanged apart from what the lists could not show: the unknown filter
        // becomes "Alle", the unknown table and its fields are dropped.
        Klick("cmdUebernehmen");
        const VorlageZeile erwartet = {
            "Ziel", "Zeitspringen", "Alle",  "Springpferde",           "3",
            "",     "12",           "datei", "Startliste\r\nPruefung", "Name,Pferd\r\nOrt"};
        QCOMPARE(Zeile(1), erwartet);
    }

    void uebernehmenPairsTablesAndFields_data() {
        QTest::addColumn<QStringList>("tabellen");  // per slot, empty for none
        QTest::addColumn<QStringList>("felder");    // per slot, as checked
        QTest::addColumn<QString>("tabelle");
        QTest::addColumn<QString>("feld");

        QTest::newRow("slots 0 and 2")
            << QStringList{"Ereignis", "", "Startliste"} << QStringList{"Status,Zeit", "", "Land"}
            << "Ereignis\r\nStartliste"
            << "Status,Zeit\r\nLand";
        QTest::newRow("slot 1 only")
            << QStringList{"", "Pruefung", ""} << QStringList{"", "Ort", ""} << "Pruefung"
            << "Ort";
        QTest::newRow("all three")
            << QStringList{"Pruefung", "Ereignis", "Startliste"}
            << QStringList{"Ort", "Zeit", "Name,Land,Pferd"} << "Pruefung\r\nEreignis\r\nStartliste"
            << "Ort\r\nZeit\r\nName,Land,Pferd";
        QTest::newRow("fields in catalogue order")
            << QStringList{"Startliste", "", ""} << QStringList{"Pferd,Name", "", ""}
            << "Startliste"
            << "Name,Pferd";
        QTest::newRow("one table without fields")
            << QStringList{"Startliste", "", ""} << QStringList{"", "", ""} << "Startliste"
            << "";
        QTest::newRow("a table without fields before one with")
            << QStringList{"Startliste", "Pruefung", ""} << QStringList{"", "Name", ""}
            << "Startliste\r\nPruefung"
            << "\r\nName";
        QTest::newRow("no table") << QStringList{"", "", ""} << QStringList{"", "", ""} << ""
                                  << "";
    }

    void uebernehmenPairsTablesAndFields() {
        QFETCH(QStringList, tabellen);
        QFETCH(QStringList, felder);
        QFETCH(QString, tabelle);
        QFETCH(QString, feld);

        Oeffnen(VorlageZeile{});
        Filter(1)->setCurrentIndex(Filter(1)->findText("Dressur"));
        Kind<QComboBox>("ComBoxSeite")->setCurrentIndex(41);
        Kind<QLineEdit>("txtDateiname")->setText("x y");
        for (int k = 0; k < 3; ++k) {
            if (!tabellen[k].isEmpty()) {
                TabelleAnhaken(k, tabellen[k]);
                Felder(k)->AnhakenAusText(felder[k]);
            }
        }
        QSignalSpy geschlossen(dialog_.data(), &FrmFelderAuswahl::geschlossen);

        Klick("cmdUebernehmen");

        const VorlageZeile erwartet = {"Start",
                                       "Dressur",
                                       "Alle",
                                       "Alle",
                                       "Alle",
                                       "",
                                       "42",
                                       "x y",
                                       tabelle.toStdString(),
                                       feld.toStdString()};
        QCOMPARE(Zeile(1), erwartet);
        QCOMPARE(Zeile(0), test::NurEreignis("davor"));
        QCOMPARE(Zeile(2), test::NurEreignis("danach"));
        QCOMPARE(geschlossen.size(), 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!dialog_);
    }

    void aSecondTableReplacesTheFirst() {
        Oeffnen(VorlageZeile{});
        TabelleAnhaken(0, "Startliste");
        Felder(0)->AnhakenAusText("Name,Land");
        QCOMPARE(Texte(Liste(0)), (QStringList{"Name", "Land"}));

        TabelleAnhaken(0, "Pruefung");

        QCOMPARE(Tabellen(0)->AnzahlAngehakt(), 1);
        QCOMPARE(Tabellen(0)->Text(), QStringLiteral("Pruefung"));
        QCOMPARE(Eintraege(Felder(0)), (QStringList{"Ort", "Name"}));
        QCOMPARE(Felder(0)->AnzahlAngehakt(), 0);
        QCOMPARE(Liste(0)->count(), 0);
        QVERIFY(dialoge_->meldungen.isEmpty());

        // A table without fields leaves none of the previous table's fields behind.
        Felder(0)->AnhakenAusText("Ort");
        TabelleAnhaken(0, "Leer");
        QCOMPARE(Tabellen(0)->Text(), QStringLiteral("Leer"));
        QCOMPARE(Felder(0)->count(), 0);
        QCOMPARE(Liste(0)->count(), 0);

        Klick("cmdUebernehmen");
        QCOMPARE(Zeile(1)[8], std::string("Leer"));
        QCOMPARE(Zeile(1)[9], std::string());
    }

    void uncheckingTheTableEmptiesTheSlot() {
        Oeffnen({"Start", "Alle", "Alle", "Alle", "Alle", "", "01", "d", "Startliste", "Name"});
        QCOMPARE(Texte(Liste(0)), QStringList{"Name"});
        Tabellen(0)->SetzeAngehakt(Tabellen(0)->findText("Startliste"), false);
        QCOMPARE(Felder(0)->count(), 0);
        QCOMPARE(Liste(0)->count(), 0);
        Felder(0)->AnhakenAusText("Name");
        Klick("cmdUebernehmen");
        QCOMPARE(Zeile(1)[8], std::string());
        QCOMPARE(Zeile(1)[9], std::string());
    }

    void threeCheckedTablesEmptyTheSlot() {
        Oeffnen(VorlageZeile{});
        TabelleAnhaken(1, "Ereignis");
        Felder(1)->AnhakenAusText("Zeit");
        {
            // Marks set behind the dialog's back, as a widget that reports late would.
            QSignalBlocker still(Tabellen(1));
            Tabellen(1)->SetzeAngehakt(Tabellen(1)->findText("Startliste"), true);
        }
        TabelleAnhaken(1, "Pruefung");

        QCOMPARE(dialoge_->Texte(), QStringList{"Fehler in Auswahl"});
        QCOMPARE(Tabellen(1)->AnzahlAngehakt(), 0);
        QCOMPARE(Felder(1)->count(), 0);
        QCOMPARE(Liste(1)->count(), 0);
        Klick("cmdUebernehmen");
        QCOMPARE(Zeile(1)[8], std::string());
    }

    void cancelAndCloseBoxWriteNothing() {
        const VorlageZeile zeile = {"Ziel", "Dressur", "Alle",  "Alle",     "2",
                                    "",     "05",      "datei", "Pruefung", "Ort"};
        for (const bool schliessknopf : {false, true}) {
            Oeffnen(zeile);
            Filter(0)->setCurrentIndex(0);
            TabelleAnhaken(0, "Startliste");
            Kind<QLineEdit>("txtDateiname")->setText("anders");
            QSignalSpy geschlossen(dialog_.data(), &FrmFelderAuswahl::geschlossen);

            schliessknopf ? (void)dialog_->close() : Klick("cmdAbbrechen");

            QCOMPARE(geschlossen.size(), 1);
            QCOMPARE(Zeile(1), zeile);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(!dialog_);
        }
    }

    void missingCataloguesGiveEmptyLists() {
        kataloge_ = start::Catalogues{};
        Oeffnen({"Start", "Alle", "Alle", "Alle", "Alle", "", "03", "d", "Startliste", "Name"});
        QCOMPARE(Filter(0)->count(), 0);
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(Tabellen(k)->count(), 0);
            QCOMPARE(Felder(k)->count(), 0);
        }
        Klick("cmdUebernehmen");
        const VorlageZeile erwartet = {"", "Alle", "Alle", "Alle", "Alle", "", "03", "d", "", ""};
        QCOMPARE(Zeile(1), erwartet);
    }
};

QTEST_MAIN(FrmFelderAuswahlTest)
#include "FrmFelderAuswahlTest.moc"
