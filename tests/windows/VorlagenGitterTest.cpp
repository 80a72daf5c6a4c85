// The template grid: the Gitter widget over the VorlageModell.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include "EditorTestHilfen.h"
#include "widgets/Gitter.h"
#include "widgets/VorlageModell.h"

using namespace zelmo;
using zelmo::widgets::Gitter;
using zelmo::widgets::VorlageModell;

class VorlagenGitterTest : public QObject {
    Q_OBJECT

  private slots:
    void multiLineCellsKeepCRLFInTheTemplate_data() {
        QTest::addColumn<int>("spalte");
        QTest::addColumn<QString>("eingabe");
        QTest::addColumn<QString>("gespeichert");
        QTest::addColumn<QString>("angezeigt");

        QTest::newRow("Tabelle, LF") << 8 << "A\nB"
                                     << "A\r\nB"
                                     << "A\nB";
        QTest::newRow("Feld, CR LF and a trailing break") << 9 << "a,b\r\nc\n\n"
                                                          << "a,b\r\nc"
                                                          << "a,b\nc";
        QTest::newRow("Feld, a lone CR") << 9 << "a\rb"
                                         << "a\r\nb"
                                         << "a\nb";
        QTest::newRow("Dateiname stays as typed") << 7 << "datei"
                                                  << "datei"
                                                  << "datei";
    }

    void multiLineCellsKeepCRLFInTheTemplate() {
        QFETCH(int, spalte);
        QFETCH(QString, eingabe);
        QFETCH(QString, gespeichert);
        QFETCH(QString, angezeigt);
        VorlageModell modell;
        QVERIFY(modell.setData(modell.index(0, spalte), eingabe));
        QCOMPARE(
            QString::fromStdString(modell.vorlage().Zelle(0, static_cast<std::size_t>(spalte))),
            gespeichert);
        QCOMPARE(modell.index(0, spalte).data().toString(), angezeigt);
        QCOMPARE(modell.index(0, spalte).data(Qt::EditRole).toString(), angezeigt);
    }

    void editingAMultiLineCellThroughTheGrid() {
        VorlageModell modell;
        Gitter gitter;
        gitter.setModel(&modell);
        gitter.SetzeMehrzeilig(8);
        gitter.show();
        QVERIFY(QTest::qWaitForWindowExposed(&gitter));
        gitter.SetzeAktuelleZelle(0, 8);
        gitter.edit(modell.index(0, 8));
        auto* editor = gitter.findChild<QPlainTextEdit*>();
        QVERIFY(editor != nullptr);
        // Enter in the cell starts a new line instead of asking to edit the template line.
        QSignalSpy bearbeiten(&gitter, &Gitter::BearbeitenAngefordert);
        QTest::keyClicks(editor, "Startliste");
        QTest::keyClick(editor, Qt::Key_Return);
        QTest::keyClicks(editor, "Pruefung");
        QCOMPARE(bearbeiten.size(), 0);
        gitter.setFocus();
        gitter.SetzeAktuelleZelle(0, 0);
        QTRY_COMPARE(modell.vorlage().Zelle(0, Spalte::Tabelle),
                     std::string("Startliste\r\nPruefung"));
    }

    void rowsGrowToShowTheirLines() {
        VorlageModell modell;
        modell.Ersetzen(test::VorlageAus(
            {{"A", "", "", "", "", "", "", "", "Startliste\r\nPruefung\r\nEreignis", "a\r\nb\r\nc"},
             test::NurEreignis("B")}));
        Gitter gitter;
        gitter.setModel(&modell);
        gitter.show();
        QVERIFY(QTest::qWaitForWindowExposed(&gitter));
        QTRY_VERIFY(gitter.rowHeight(0) >= 2 * gitter.rowHeight(1));

        modell.SetzeZeile(1, modell.vorlage().Zeile(0));
        QTRY_COMPARE(gitter.rowHeight(1), gitter.rowHeight(0));
    }

    void enterAndCtrlAAskToEdit() {
        VorlageModell modell;
        modell.Ersetzen(test::VorlageAus({test::NurEreignis("A"), test::NurEreignis("B")}));
        Gitter gitter;
        gitter.setModel(&modell);
        gitter.show();
        gitter.SetzeAktuelleZelle(0, 0);
        QSignalSpy bearbeiten(&gitter, &Gitter::BearbeitenAngefordert);

        QTest::keyClick(&gitter, Qt::Key_Return);
        QTest::keyClick(&gitter, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(&gitter, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(bearbeiten.size(), 3);
        // No cell editor was opened by these keys.
        QVERIFY(gitter.findChild<QLineEdit*>() == nullptr);

        QTest::keyClick(&gitter, Qt::Key_Down);
        QCOMPARE(gitter.AktuelleZeile(), 1);
        QCOMPARE(bearbeiten.size(), 3);

        gitter.setCurrentIndex(QModelIndex());
        QCOMPARE(gitter.AktuelleZeile(), -1);
        QCOMPARE(gitter.AktuelleSpalte(), -1);
    }
};

QTEST_MAIN(VorlagenGitterTest)
#include "VorlagenGitterTest.moc"
