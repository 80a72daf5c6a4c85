#include "widgets/CheckBoxCombo.h"

#include <QAbstractItemView>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <memory>

using zelmo::widgets::CheckBoxCombo;

class CheckBoxComboTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<CheckBoxCombo> combo_;

    // The entry index of every change reported.
    static QList<int> Indizes(const QSignalSpy& spy) {
        QList<int> indizes;
        for (const auto& aufruf : spy)
            indizes.append(aufruf.at(0).toInt());
        return indizes;
    }

  private slots:
    // Entries a, b, c and "d,e", one holding the separator.
    void init() {
        combo_ = std::make_unique<CheckBoxCombo>();
        combo_->SetzeBeschriftung("Auswahl");
        combo_->SetzeTrenner(",");
        for (const char* text : {"a", "b", "c", "d,e"})
            combo_->EintragHinzufuegen(QString::fromLatin1(text));
    }
    void cleanup() { combo_.reset(); }

    void checkFromTextMatchesWholeEntries_data() {
        QTest::addColumn<int>("vorher");  // an entry checked beforehand, or -1
        QTest::addColumn<QString>("namen");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("gemeldet");
        const auto fall = [](const char* name, int vorher, const char* namen, const char* text,
                             const QList<int>& gemeldet) {
            QTest::newRow(name) << vorher << QString(namen) << QString(text) << gemeldet;
        };
        fall("two names, joined in list order", -1, "c,a", "a,c", {0, 2});
        fall("unknown and differently cased names", -1, "x,A,b", "b", {1});
        fall("an entry holding the separator cannot be named", -1, "d,e", "", {});
        fall("other checks stay", 3, "b", "b,d,e", {1});
        fall("a checked name is no change", 1, "b", "b", {});
    }
    void checkFromTextMatchesWholeEntries() {
        QFETCH(int, vorher);
        QFETCH(QString, namen);
        QFETCH(QString, text);
        QFETCH(QList<int>, gemeldet);
        if (vorher >= 0)
            combo_->SetzeAngehakt(vorher, true);
        QSignalSpy spy(combo_.get(), &CheckBoxCombo::HakenGeaendert);
        combo_->AnhakenAusText(namen);
        QCOMPARE(combo_->Text(), text);
        QCOMPARE(combo_->AnzeigeText(), text.isEmpty() ? QStringLiteral("Auswahl") : text);
        QCOMPARE(Indizes(spy), gemeldet);
    }

    void uncheckAllReportsAfterTheLastChangeAndClearingIsSilent() {
        combo_->SetzeAngehakt(0, true);
        combo_->SetzeAngehakt(2, true);
        QList<int> gesehen;
        connect(combo_.get(), &CheckBoxCombo::HakenGeaendert, combo_.get(),
                [&](int) { gesehen.append(combo_->AnzahlAngehakt()); });
        combo_->AlleAbhaken();
        // Each handler sees the final state: nothing checked.
        QCOMPARE(gesehen, (QList<int>{0, 0}));

        combo_->SetzeAngehakt(1, true);
        gesehen.clear();
        combo_->Leeren();
        QCOMPARE(combo_->count(), 0);
        QCOMPARE(combo_->AnzeigeText(), QStringLiteral("Auswahl"));
        QCOMPARE(gesehen, QList<int>{});
    }

    void aClickInTheOpenListTogglesAndKeepsItOpen() {
        combo_->show();
        QVERIFY(QTest::qWaitForWindowExposed(combo_.get()));
        QAbstractItemView* liste = combo_->view();
        QSignalSpy spy(combo_.get(), &CheckBoxCombo::HakenGeaendert);
        // Through the windows, as the operator's mouse: the press on the closed box opens the
        // list over it, and the release of that same click lands on an entry of the list.
        QWindow* fenster = combo_->windowHandle();
        const QPoint box = combo_->rect().center();
        QTest::mousePress(fenster, Qt::LeftButton, {}, box);
        QTRY_VERIFY(liste->isVisible());
        QVERIFY(
            liste->indexAt(liste->viewport()->mapFromGlobal(combo_->mapToGlobal(box))).isValid());
        QTest::mouseRelease(fenster, Qt::LeftButton, {}, box);
        QCOMPARE(Indizes(spy), QList<int>());
        QVERIFY(liste->isVisible());
        const auto klick = [&](int zeile) {
            const QPoint mitte = liste->visualRect(liste->model()->index(zeile, 0)).center();
            QWindow* listenFenster = liste->window()->windowHandle();
            const QPoint punkt =
                listenFenster->mapFromGlobal(liste->viewport()->mapToGlobal(mitte));
            QTest::mouseClick(listenFenster, Qt::LeftButton, {}, punkt);
        };

        klick(1);
        QCOMPARE(combo_->Text(), QStringLiteral("b"));
        QVERIFY(liste->isVisible());
        klick(2);
        klick(1);
        QCOMPARE(combo_->Text(), QStringLiteral("c"));
        QCOMPARE(Indizes(spy), (QList<int>{1, 2, 1}));

        liste->setCurrentIndex(liste->model()->index(0, 0));
        QTest::keyClick(liste, Qt::Key_Space);
        QCOMPARE(combo_->Text(), QStringLiteral("a,c"));
        combo_->hidePopup();
    }
};

QTEST_MAIN(CheckBoxComboTest)
#include "CheckBoxComboTest.moc"
