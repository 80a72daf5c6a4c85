// The template grid: the Gitter widget over the VorlageModell.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <memory>

#include "TestHilfen.h"
#include "widgets/Gitter.h"
#include "widgets/VorlageModell.h"

using namespace zelmo;
using zelmo::widgets::Gitter;
using zelmo::widgets::VorlageModell;

class VorlagenGitterTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<VorlageModell> modell_;
    std::unique_ptr<Gitter> gitter_;

  private slots:
    // Two lines, as the editor sets its grid up.
    void init() {
        modell_ = std::make_unique<VorlageModell>();
        modell_->Ersetzen(test::VorlageAus({test::NurEreignis("A"), test::NurEreignis("B")}));
        gitter_ = std::make_unique<Gitter>();
        gitter_->setModel(modell_.get());
        gitter_->SetzeMehrzeilig(8);
        gitter_->show();
        QVERIFY(QTest::qWaitForWindowExposed(gitter_.get()));
    }
    void cleanup() {
        gitter_.reset();
        modell_.reset();
    }

    void multiLineCellsKeepCRLFInTheTemplate_data() {
        QTest::addColumn<QString>("eingabe");
        QTest::addColumn<QString>("gespeichert");
        QTest::addColumn<QString>("angezeigt");
        QTest::newRow("LF") << QString("A\nB") << QString("A\r\nB") << QString("A\nB");
        QTest::newRow("CR LF and a trailing break")
            << QString("a,b\r\nc\n\n") << QString("a,b\r\nc") << QString("a,b\nc");
        QTest::newRow("a lone CR") << QString("a\rb") << QString("a\r\nb") << QString("a\nb");
    }
    void multiLineCellsKeepCRLFInTheTemplate() {
        QFETCH(QString, eingabe);
        QFETCH(QString, gespeichert);
        QFETCH(QString, angezeigt);
        for (const int spalte : {8, 9}) {
            QVERIFY(modell_->setData(modell_->index(0, spalte), eingabe));
            QCOMPARE(QString::fromStdString(modell_->vorlage().Zelle(0, spalte)), gespeichert);
            QCOMPARE(modell_->index(0, spalte).data().toString(), angezeigt);
            QCOMPARE(modell_->index(0, spalte).data(Qt::EditRole).toString(), angezeigt);
        }
    }

    void enterInAMultiLineCellStartsANewLine() {
        gitter_->SetzeAktuelleZelle(0, 8);
        gitter_->edit(modell_->index(0, 8));
        auto* editor = gitter_->findChild<QPlainTextEdit*>();
        QVERIFY(editor != nullptr);
        QSignalSpy bearbeiten(gitter_.get(), &Gitter::BearbeitenAngefordert);
        QTest::keyClicks(editor, "Startliste");
        QTest::keyClick(editor, Qt::Key_Return);
        QTest::keyClicks(editor, "Pruefung");
        QCOMPARE(bearbeiten.size(), 0);
        gitter_->setFocus();
        gitter_->SetzeAktuelleZelle(0, 0);
        QTRY_COMPARE(modell_->vorlage().Zelle(0, Spalte::Tabelle),
                     std::string("Startliste\r\nPruefung"));
    }

    void enterAndCtrlAAskToEditTheLine() {
        gitter_->SetzeAktuelleZelle(0, 0);
        QSignalSpy bearbeiten(gitter_.get(), &Gitter::BearbeitenAngefordert);
        QTest::keyClick(gitter_.get(), Qt::Key_Return);
        QTest::keyClick(gitter_.get(), Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(gitter_.get(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(bearbeiten.size(), 3);
        // No cell editor was opened by these keys.
        QVERIFY(gitter_->findChild<QLineEdit*>() == nullptr);
        QTest::keyClick(gitter_.get(), Qt::Key_Down);
        QCOMPARE(gitter_->AktuelleZeile(), 1);
        QCOMPARE(bearbeiten.size(), 3);
    }
};

QTEST_MAIN(VorlagenGitterTest)
#include "VorlagenGitterTest.moc"
