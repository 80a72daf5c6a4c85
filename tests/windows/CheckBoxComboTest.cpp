#include "widgets/CheckBoxCombo.h"

#include <QAbstractItemView>
#include <QSignalSpy>
#include <QTest>

using zelmo::widgets::CheckBoxCombo;

namespace {

// A combo with the entries a, b, c, "d,e" (an entry holding the separator).
void Fuellen(CheckBoxCombo& combo) {
    combo.SetzeBeschriftung("Auswahl");
    combo.SetzeTrenner(",");
    for (const char* text : {"a", "b", "c", "d,e"}) {
        combo.EintragHinzufuegen(QString::fromLatin1(text));
    }
}

QList<int> Indizes(const QSignalSpy& spy) {
    QList<int> indizes;
    for (const auto& aufruf : spy) {
        indizes.append(aufruf.at(0).toInt());
    }
    return indizes;
}

}  // namespace

class CheckBoxComboTest : public QObject {
    Q_OBJECT

  private slots:
    void textJoinsCheckedEntriesInListOrder() {
        CheckBoxCombo combo;
        Fuellen(combo);
        QCOMPARE(combo.Text(), QString());
        QCOMPARE(combo.AnzeigeText(), QStringLiteral("Auswahl"));

        combo.SetzeAngehakt(2, true);
        combo.SetzeAngehakt(0, true);
        QCOMPARE(combo.Text(), QStringLiteral("a,c"));
        QCOMPARE(combo.AnzeigeText(), QStringLiteral("a,c"));
        QCOMPARE(combo.AnzahlAngehakt(), 2);
        QVERIFY(combo.Angehakt(0) && !combo.Angehakt(1) && combo.Angehakt(2));
        QVERIFY(!combo.Angehakt(4));

        combo.SetzeTrenner(";");
        QCOMPARE(combo.Text(), QStringLiteral("a;c"));
    }

    void everyChangeIsReportedOnce() {
        CheckBoxCombo combo;
        Fuellen(combo);
        QSignalSpy spy(&combo, &CheckBoxCombo::HakenGeaendert);
        combo.SetzeAngehakt(1, true);
        combo.SetzeAngehakt(1, true);   // no change
        combo.SetzeAngehakt(3, false);  // no change
        combo.SetzeAngehakt(7, true);   // no such entry
        combo.SetzeAngehakt(1, false);
        QCOMPARE(Indizes(spy), (QList<int>{1, 1}));
    }

    void checkFromTextMatchesWholeEntries_data() {
        QTest::addColumn<QString>("namen");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("gemeldet");

        QTest::newRow("two names") << "c,a"
                                   << "a,c" << QList<int>{0, 2};
        QTest::newRow("unknown and differently cased names") << "x,A,b"
                                                             << "b" << QList<int>{1};
        QTest::newRow("an entry holding the separator cannot be named") << "d,e"
                                                                        << "" << QList<int>{};
        QTest::newRow("empty text") << ""
                                    << "" << QList<int>{};
    }

    void checkFromTextMatchesWholeEntries() {
        QFETCH(QString, namen);
        QFETCH(QString, text);
        QFETCH(QList<int>, gemeldet);
        CheckBoxCombo combo;
        Fuellen(combo);
        QSignalSpy spy(&combo, &CheckBoxCombo::HakenGeaendert);
        combo.AnhakenAusText(namen);
        QCOMPARE(combo.Text(), text);
        QCOMPARE(Indizes(spy), gemeldet);
    }

    void checkFromTextKeepsOtherChecks() {
        CheckBoxCombo combo;
        Fuellen(combo);
        combo.SetzeAngehakt(3, true);
        combo.AnhakenAusText("b");
        QCOMPARE(combo.Text(), QStringLiteral("b,d,e"));
    }

    void uncheckAllReportsAfterTheLastChange() {
        CheckBoxCombo combo;
        Fuellen(combo);
        combo.SetzeAngehakt(0, true);
        combo.SetzeAngehakt(2, true);
        QList<int> gesehen;
        connect(&combo, &CheckBoxCombo::HakenGeaendert, &combo,
                [&](int) { gesehen.append(combo.AnzahlAngehakt()); });
        combo.AlleAbhaken();
        // Each handler sees the final state: nothing checked.
        QCOMPARE(gesehen, (QList<int>{0, 0}));
    }

    void clearRemovesEntriesSilently() {
        CheckBoxCombo combo;
        Fuellen(combo);
        combo.SetzeAngehakt(0, true);
        QSignalSpy spy(&combo, &CheckBoxCombo::HakenGeaendert);
        combo.Leeren();
        QCOMPARE(combo.count(), 0);
        QCOMPARE(combo.AnzahlAngehakt(), 0);
        QCOMPARE(combo.AnzeigeText(), QStringLiteral("Auswahl"));
        QCOMPARE(spy.size(), 0);
    }

    void aClickInTheOpenListTogglesAndKeepsItOpen() {
        CheckBoxCombo combo;
        Fuellen(combo);
        combo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&combo));
        combo.showPopup();
        QAbstractItemView* liste = combo.view();
        QTRY_VERIFY(liste->isVisible());
        QSignalSpy spy(&combo, &CheckBoxCombo::HakenGeaendert);

        const QPoint b = liste->visualRect(liste->model()->index(1, 0)).center();
        QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, b);
        QCOMPARE(combo.Text(), QStringLiteral("b"));
        QVERIFY(liste->isVisible());

        const QPoint c = liste->visualRect(liste->model()->index(2, 0)).center();
        QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, c);
        QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, b);
        QCOMPARE(combo.Text(), QStringLiteral("c"));
        QCOMPARE(Indizes(spy), (QList<int>{1, 2, 1}));

        liste->setCurrentIndex(liste->model()->index(0, 0));
        QTest::keyClick(liste, Qt::Key_Space);
        QCOMPARE(combo.Text(), QStringLiteral("a,c"));
        combo.hidePopup();
    }
};

QTEST_MAIN(CheckBoxComboTest)
#include "CheckBoxComboTest.moc"
