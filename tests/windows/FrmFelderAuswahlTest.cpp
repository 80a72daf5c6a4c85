#include "windows/FrmFelderAuswahl.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSignalSpy>
#include <memory>

#include "FakeDialoge.h"
#include "TestHilfen.h"
#include "widgets/CheckBoxCombo.h"
#include "widgets/VorlageModell.h"

using namespace zelmo;
using namespace zelmo::test;
using zelmo::widgets::CheckBoxCombo;
using zelmo::windows::FrmFelderAuswahl;

class FrmFelderAuswahlTest : public QObject {
    Q_OBJECT

  private:
    start::Catalogues kataloge_;
    std::unique_ptr<widgets::VorlageModell> modell_;
    std::unique_ptr<FakeDialoge> dialoge_;
    QPointer<FrmFelderAuswahl> dialog_;

    // The dialog for row 1 of a template whose row 1 is `zeile`; rows 0 and 2 are bystanders.
    void Oeffnen(const VorlageZeile& zeile) {
        modell_->Ersetzen(VorlageAus({NurEreignis("davor"), zeile, NurEreignis("danach")}));
        dialog_ = new FrmFelderAuswahl(kataloge_, *modell_, 1, *dialoge_);
    }
    template <typename T>
    T* Kind(const QString& name) {
        return test::Kind<T>(dialog_.data(), name);
    }
    QComboBox* Filter(int i) { return Kind<QComboBox>(QStringLiteral("ComBoxEreignis%1").arg(i)); }
    QComboBox* Seite() { return Kind<QComboBox>(QStringLiteral("ComBoxSeite")); }
    CheckBoxCombo* Tabellen(int k) {
        return Kind<CheckBoxCombo>(QStringLiteral("CBComboTabellen%1").arg(k));
    }
    CheckBoxCombo* Felder(int k) {
        return Kind<CheckBoxCombo>(QStringLiteral("CBComboFelder%1").arg(k));
    }
    // A slot as shown: the checked table, the fields to choose, those checked and the list of
    // those checked.
    QStringList Slot(int k) {
        const auto* liste = Kind<QListWidget>(QStringLiteral("listBoxFelder%1").arg(k));
        return {Tabellen(k)->Text(), Eintraege(Felder(k)).join(','), Felder(k)->Text(),
                Texte(liste).join(',')};
    }
    const QStringList kLeer = {"", "", "", ""};
    void Klick(const char* knopf) {
        QTest::mouseClick(Kind<QPushButton>(QString::fromLatin1(knopf)), Qt::LeftButton);
    }
    const VorlageZeile& Zeile(std::size_t r) const { return modell_->vorlage().Zeile(r); }

  private slots:
    void init() {
        kataloge_ = Kataloge();
        modell_ = std::make_unique<widgets::VorlageModell>();
        dialoge_ = std::make_unique<FakeDialoge>();
    }
    void cleanup() {
        delete dialog_.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void openingShowsTheLineAndDropsWhatTheListsLack() {
        Oeffnen({"Ziel", "Zeitspringen", "Unbekannt", "Springpferde", "3", "", "12", "datei",
                 "Startliste\r\nGibtsNicht\r\nPruefung", "Pferd,Name\r\nX\r\nOrt"});
        QStringList gewaehlt;
        for (int i = 0; i < 6; ++i)
            gewaehlt.append(Filter(i)->currentText());
        QCOMPARE(gewaehlt, (QStringList{"Ziel", "Zeitspringen", "Alle", "Springpferde", "3", ""}));
        QCOMPARE(Seite()->currentText(), QStringLiteral("12"));
        QCOMPARE(Kind<QLineEdit>("txtDateiname")->text(), QStringLiteral("datei"));
        QCOMPARE(Slot(0),
                 (QStringList{"Startliste", "Name,Land,Pferd", "Name,Pferd", "Name,Pferd"}));
        QCOMPARE(Slot(1), kLeer);
        QCOMPARE(Slot(2), (QStringList{"Pruefung", "Ort,Name", "Ort", "Ort"}));

        Klick("cmdUebernehmen");
        const VorlageZeile erwartet = {
            "Ziel", "Zeitspringen", "Alle",  "Springpferde",           "3",
            "",     "12",           "datei", "Startliste\r\nPruefung", "Name,Pferd\r\nOrt"};
        QCOMPARE(Zeile(1), erwartet);
    }

    void onlyUebernehmenWritesAndPairsTablesWithFields_data() {
        QTest::addColumn<QString>("knopf");         // empty: the close box
        QTest::addColumn<QStringList>("tabellen");  // per slot, empty for none
        QTest::addColumn<QStringList>("felder");    // per slot, as checked
        QTest::addColumn<QString>("tabelle");
        QTest::addColumn<QString>("feld");
        const auto fall = [](const char* name, const char* knopf, const QStringList& tabellen,
                             const QStringList& felder, const char* tabelle, const char* feld) {
            QTest::newRow(name) << QString(knopf) << tabellen << felder << QString(tabelle)
                                << QString(feld);
        };
        const char* ok = "cmdUebernehmen";
        fall("slots 0 and 2", ok, {"Ereignis", "", "Startliste"}, {"Status,Zeit", "", "Land"},
             "Ereignis\r\nStartliste", "Status,Zeit\r\nLand");
        fall("slot 1 only", ok, {"", "Pruefung", ""}, {"", "Ort", ""}, "Pruefung", "Ort");
        fall("fields in catalogue order", ok, {"Startliste", "", ""}, {"Pferd,Name", "", ""},
             "Startliste", "Name,Pferd");
        fall("one table without fields", ok, {"Startliste", "", ""}, {"", "", ""}, "Startliste",
             "");
        fall("a table without fields before one with", ok, {"Startliste", "Pruefung", ""},
             {"", "Name", ""}, "Startliste\r\nPruefung", "\r\nName");
        fall("no table", ok, {"", "", ""}, {"", "", ""}, "", "");
        fall("Abbrechen", "cmdAbbrechen", {"Startliste", "", ""}, {"Name", "", ""}, "", "");
        fall("close box", "", {"Startliste", "", ""}, {"Name", "", ""}, "", "");
    }
    void onlyUebernehmenWritesAndPairsTablesWithFields() {
        QFETCH(QString, knopf);
        QFETCH(QStringList, tabellen);
        QFETCH(QStringList, felder);
        QFETCH(QString, tabelle);
        QFETCH(QString, feld);
        Oeffnen(VorlageZeile{});
        Filter(1)->setCurrentIndex(Filter(1)->findText("Dressur"));
        Seite()->setCurrentIndex(41);
        Kind<QLineEdit>("txtDateiname")->setText("x y");
        for (int k = 0; k < 3; ++k) {
            Tabellen(k)->AnhakenAusText(tabellen[k]);
            Felder(k)->AnhakenAusText(felder[k]);
        }
        QSignalSpy geschlossen(dialog_.data(), &FrmFelderAuswahl::geschlossen);

        knopf.isEmpty() ? (void)dialog_->close() : Klick(qPrintable(knopf));

        VorlageZeile erwartet;
        if (knopf == "cmdUebernehmen") {
            erwartet = {"Start", "Dressur", "Alle", "Alle", "Alle", "", "42", "x y"};
            erwartet[8] = tabelle.toStdString();
            erwartet[9] = feld.toStdString();
        }
        QCOMPARE(Zeile(1), erwartet);
        QCOMPARE(Zeile(0), NurEreignis("davor"));
        QCOMPARE(Zeile(2), NurEreignis("danach"));
        QCOMPARE(geschlossen.size(), 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!dialog_);
    }

    void aSecondTableReplacesTheFirst() {
        Oeffnen(VorlageZeile{});
        Tabellen(0)->AnhakenAusText("Startliste");
        Felder(0)->AnhakenAusText("Name,Land");
        QCOMPARE(Slot(0), (QStringList{"Startliste", "Name,Land,Pferd", "Name,Land", "Name,Land"}));

        Tabellen(0)->AnhakenAusText("Pruefung");
        QCOMPARE(Slot(0), (QStringList{"Pruefung", "Ort,Name", "", ""}));
        QVERIFY(dialoge_->gezeigt.isEmpty());

        // A table without fields leaves none of the previous table's fields behind.
        Felder(0)->AnhakenAusText("Ort");
        Tabellen(0)->AnhakenAusText("Leer");
        QCOMPARE(Slot(0), (QStringList{"Leer", "", "", ""}));

        // Unchecking the table empties the slot; it is not taken over.
        Tabellen(1)->AnhakenAusText("Pruefung");
        Felder(1)->AnhakenAusText("Ort");
        Tabellen(1)->AlleAbhaken();
        QCOMPARE(Slot(1), kLeer);
        Klick("cmdUebernehmen");
        QCOMPARE(Zeile(1)[8], std::string("Leer"));
        QCOMPARE(Zeile(1)[9], std::string());
    }

    void threeCheckedTablesEmptyTheSlot() {
        Oeffnen(VorlageZeile{});
        Tabellen(1)->AnhakenAusText("Ereignis");
        Felder(1)->AnhakenAusText("Zeit");
        {
            // Marks set behind the dialog's back, as a widget that reports late would.
            QSignalBlocker still(Tabellen(1));
            Tabellen(1)->AnhakenAusText("Startliste");
        }
        Tabellen(1)->AnhakenAusText("Pruefung");

        QCOMPARE(dialoge_->Meldungen(), QStringList{"Fehler in Auswahl"});
        QCOMPARE(Slot(1), kLeer);
        Klick("cmdUebernehmen");
        QCOMPARE(Zeile(1)[8], std::string());
    }

    void missingCataloguesGiveEmptyLists() {
        kataloge_ = start::Catalogues{};
        Oeffnen({"Start", "Alle", "Alle", "Alle", "Alle", "", "03", "d", "Startliste", "Name"});
        QCOMPARE(Filter(0)->count(), 0);
        for (int k = 0; k < 3; ++k)
            QCOMPARE(Tabellen(k)->count(), 0);
        Klick("cmdUebernehmen");
        const VorlageZeile erwartet = {"", "Alle", "Alle", "Alle", "Alle", "", "03", "d", "", ""};
        QCOMPARE(Zeile(1), erwartet);
    }
};

QTEST_MAIN(FrmFelderAuswahlTest)
#include "FrmFelderAuswahlTest.moc"
