#include "windows/FrmVorlagen.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWindow>
#include <memory>

#include "FakeDialoge.h"
#include "TestHilfen.h"
#include "widgets/Gitter.h"
#include "widgets/VorlageModell.h"
#include "windows/FrmFelderAuswahl.h"

using namespace zelmo;
using namespace zelmo::test;
using zelmo::windows::FrmVorlagen;
using Art = zelmo::test::FakeDialoge::Art;
using Symbol = zelmo::windows::Dialoge::Symbol;

namespace {

// A one-line template file as the editor writes it, with the CSV format and ';'.
const QByteArray kEinZeilenDatei =
    R"({"Vorlage" : {"Zeilen" :[{"Ereignis": "E1", "Turnierart": "Alle", "Unterauswahl1": "Alle", "Unterauswahl2": "Alle", "Umlauf": "Alle", "Reserve": "", "Seite": "01", "Dateiname": "datei", "Tabelle": "T1*T2", "Feld": "f1,f2*f3"} ]} ,"Ausgabeformat" : [{"Type": "OptCSVNurDaten","Trenner" : ";"}]})"
    "\r\n";
const VorlageZeile kEinZeilenZeile = {"E1", "Alle", "Alle",  "Alle",     "Alle",
                                      "",   "01",   "datei", "T1\r\nT2", "f1,f2\r\nf3"};

// Template lines named by single letters; '_' is a line without an event.
Vorlage Buchstaben(const QString& ereignisse) {
    Vorlage v;
    for (int i = 0; i < ereignisse.size(); ++i) {
        const std::string e = ereignisse[i] == '_' ? "" : QString(ereignisse[i]).toStdString();
        i == 0 ? v.SetzeZeile(0, NurEreignis(e)) : v.ZeileAnhaengen(NurEreignis(e));
    }
    return v;
}

}  // namespace

class FrmVorlagenTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<start::ProgramState> state_;
    std::unique_ptr<FakeDialoge> dialoge_;
    std::unique_ptr<QTemporaryDir> ordner_;
    QPointer<FrmVorlagen> editor_;

    // An editor over `vorlage`; output runs are the end-to-end test's.
    void Neu(const Vorlage& vorlage = Vorlage()) {
        editor_ = new FrmVorlagen(*state_, state_->telegramme, *dialoge_, {});
        editor_->modell().Ersetzen(vorlage);
    }
    template <typename T = QWidget>
    T* Kind(const char* name) {
        return test::Kind<T>(editor_.data(), QString::fromLatin1(name));
    }
    widgets::Gitter* Gitter() { return Kind<widgets::Gitter>("CtlLXEreignisse"); }
    void Klick(const char* knopf) { QTest::mouseClick(Kind<QPushButton>(knopf), Qt::LeftButton); }
    QString Datei(const char* name) const { return ordner_->filePath(QString::fromLatin1(name)); }
    // The template and the output format are what a fresh editor shows.
    void UnveraendertNeu(const Vorlage& vorher) {
        QCOMPARE(editor_->modell().vorlage(), vorher);
        QCOMPARE(editor_->windowTitle(), QStringLiteral("Vorlagen"));
        QVERIFY(Kind<QRadioButton>("OptLiveText")->isChecked());
        QCOMPARE(Kind<QLineEdit>("txtTrenner")->text(), QStringLiteral(","));
    }

  private slots:
    void init() {
        state_ = std::make_unique<start::ProgramState>();
        state_->kataloge = Kataloge();
        dialoge_ = std::make_unique<FakeDialoge>();
        ordner_ = std::make_unique<QTemporaryDir>();
        QVERIFY(ordner_->isValid());
    }
    void cleanup() {
        delete editor_.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void rowCommands_data() {
        QTest::addColumn<QString>("knopf");
        QTest::addColumn<QString>("vorher");
        QTest::addColumn<int>("zeile");  // -1: no current line
        QTest::addColumn<QString>("nachher");
        QTest::addColumn<QPoint>("aktuell");  // (line, column) afterwards
        const auto fall = [](const char* name, const char* knopf, const char* vorher, int zeile,
                             const char* nachher, QPoint aktuell) {
            QTest::newRow(name) << QString(knopf) << QString(vorher) << zeile << QString(nachher)
                                << aktuell;
        };
        fall("plus on the last line", "cmdPlus", "ABC", 2, "ABCC", {3, 0});
        fall("plus in the middle", "cmdPlus", "ABC", 0, "AABC", {1, 0});
        fall("minus on row 0 of two", "cmdMinus", "AB", 0, "B", {0, 0});
        fall("minus on the only line", "cmdMinus", "A", 0, "_", {0, 0});
        fall("minus on the last line", "cmdMinus", "ABC", 2, "AB", {1, 0});
        fall("up on row 0", "cmdHoch", "ABC", 0, "ABC", {0, 2});
        fall("up on the last line", "cmdHoch", "ABC", 2, "ACB", {1, 0});
        fall("down on the last line", "cmdHerunter", "ABC", 2, "ABC", {2, 2});
        fall("down on row 0", "cmdHerunter", "ABC", 0, "BAC", {1, 0});
        for (const char* knopf : {"cmdBearbeiten", "cmdHoch", "cmdHerunter", "cmdPlus", "cmdMinus"})
            fall(qPrintable(QString(knopf) + " without a current line"), knopf, "ABC", -1, "ABC",
                 {-1, -1});
    }
    void rowCommands() {
        QFETCH(QString, knopf);
        QFETCH(QString, vorher);
        QFETCH(int, zeile);
        QFETCH(QString, nachher);
        QFETCH(QPoint, aktuell);
        Neu(Buchstaben(vorher));
        editor_->show();
        if (zeile < 0)
            Gitter()->setCurrentIndex(QModelIndex());
        else
            Gitter()->SetzeAktuelleZelle(zeile, 2);

        Klick(qPrintable(knopf));

        QCOMPARE(editor_->modell().vorlage(), Buchstaben(nachher));
        QCOMPARE(Gitter()->model()->rowCount(), nachher.size());
        QCOMPARE(QPoint(Gitter()->AktuelleZeile(), Gitter()->AktuelleSpalte()), aktuell);
        QCOMPARE(dialoge_->Meldungen(),
                 zeile < 0 ? QStringList{"Bitte erst eine Zeile auswählen!"} : QStringList());
        QVERIFY(editor_->feldAuswahl() == nullptr);
    }

    void saveAndLoadAppendThePathToTheTitle() {
        Neu(VorlageAus({kEinZeilenZeile}));
        QTest::mouseClick(Kind<QRadioButton>("OptCSVNurDaten"), Qt::LeftButton);
        Kind<QLineEdit>("txtTrenner")->setText(";");
        const QString gespeichert = Datei("LiveText.json");
        const QString ohneFormat = Datei("ohneFormat.json");
        QVERIFY(DateiSchreiben(ohneFormat,
                               R"({"Vorlage": {"Zeilen": [["X","","","","","","","","",""],)"
                               R"(["Y","","","","","","","","",""]]}})"));
        dialoge_->pfadAntworten = {gespeichert, ohneFormat, gespeichert};

        Klick("cmdProjektSpeichern");
        QCOMPARE(DateiInhalt(gespeichert), kEinZeilenDatei);

        // A file without a format goes back to LiveText and ','.
        Klick("cmdProjektEinlesen");
        QCOMPARE(editor_->modell().vorlage(), Buchstaben("XY"));
        QVERIFY(Kind<QRadioButton>("OptLiveText")->isChecked());
        QCOMPARE(Kind<QLineEdit>("txtTrenner")->text(), QStringLiteral(","));

        Gitter()->SetzeAktuelleZelle(1, 3);
        Klick("cmdProjektEinlesen");
        QCOMPARE(editor_->modell().vorlage().Zeilen(), std::vector<VorlageZeile>{kEinZeilenZeile});
        QVERIFY(Kind<QRadioButton>("OptCSVNurDaten")->isChecked());
        QCOMPARE(Kind<QLineEdit>("txtTrenner")->text(), QStringLiteral(";"));
        QCOMPARE(Gitter()->model()->index(0, 8).data().toString(), QStringLiteral("T1\nT2"));
        QCOMPARE(Gitter()->AktuelleZeile(), 0);
        QCOMPARE(Gitter()->AktuelleSpalte(), 0);

        QCOMPARE(editor_->windowTitle(),
                 "Vorlagen -" + gespeichert + " - " + ohneFormat + " - " + gespeichert);
        QCOMPARE(dialoge_->Meldungen(),
                 (QStringList{"File gespeichert", "Vorlage eingelesen", "Vorlage eingelesen"}));
    }

    void failedLoadOrSaveChangesNothing_data() {
        QTest::addColumn<QString>("knopf");
        QTest::addColumn<QString>("name");       // the file chosen; empty: cancelled
        QTest::addColumn<QByteArray>("inhalt");  // null: no such file
        QTest::addColumn<QString>("meldung");    // its start
        QTest::addColumn<bool>("kritisch");
        const auto fall = [](const char* name, const char* knopf, const char* datei,
                             const char* inhalt, const char* meldung, bool kritisch) {
            QTest::newRow(name) << QString(knopf) << QString(datei) << QByteArray(inhalt)
                                << QString(meldung) << kritisch;
        };
        const char* laden = "cmdProjektEinlesen";
        const char* speichern = "cmdProjektSpeichern";
        fall("load not JSON", laden, "v.json", "{kein json", "JSON Auswertefehler", true);
        fall("load a missing file", laden, "v.json", nullptr, "JSON Auswertefehler", true);
        fall("load without Vorlage", laden, "v.json", R"({"Zeilen": []})",
             "Keine LiveText Datei!\r\nKey Vorlage fehlt!", false);
        fall("load without Zeilen", laden, "v.json", R"({"Vorlage": {}})",
             "Keine Ausgabezeilen vorhanden!", false);
        fall("load empty Zeilen", laden, "v.json",
             R"({"Vorlage": {"Zeilen": []}, "Ausgabeformat": [{"Type": "OptCSVNurDaten"}]})", "",
             false);
        fall("load cancelled", laden, "", nullptr, "", false);
        fall("save with a colon in the name", speichern, "a:b.json", nullptr,
             "Dateiname enthält ungülige Zeichen!", false);
        fall("save with a bar in the name", speichern, "a|b.json", nullptr,
             "Dateiname enthält ungülige Zeichen!", false);
        // A failed write is reported, not taken for success.
        fall("save into a missing folder", speichern, "fehlt/v.json", nullptr,
             "Vorlage konnte nicht gespeichert werden:\r\n", true);
        fall("save cancelled", speichern, "", nullptr, "", false);
    }
    void failedLoadOrSaveChangesNothing() {
        QFETCH(QString, knopf);
        QFETCH(QString, name);
        QFETCH(QByteArray, inhalt);
        QFETCH(QString, meldung);
        QFETCH(bool, kritisch);
        Neu(Buchstaben("AB"));
        const Vorlage vorher = editor_->modell().vorlage();
        if (!inhalt.isNull())
            QVERIFY(DateiSchreiben(ordner_->filePath(name), inhalt));
        const QStringList vorherDa = QDir(ordner_->path()).entryList(QDir::Files);
        if (!name.isEmpty())
            dialoge_->pfadAntworten = {ordner_->filePath(name)};

        Klick(qPrintable(knopf));

        UnveraendertNeu(vorher);
        QCOMPARE(QDir(ordner_->path()).entryList(QDir::Files), vorherDa);
        const QStringList meldungen = dialoge_->Meldungen();
        QCOMPARE(meldungen.size(), meldung.isEmpty() ? 0 : 1);
        if (!meldung.isEmpty()) {
            QVERIFY2(meldungen[0].startsWith(meldung), qPrintable(meldungen[0]));
            QCOMPARE(dialoge_->gezeigt.last().symbol == Symbol::Kritisch, kritisch);
        }
    }

    void closingAsksAndOnlyYesCloses_data() {
        QTest::addColumn<bool>("schliessknopf");
        QTest::newRow("Beenden") << false;
        QTest::newRow("close box") << true;
    }
    void closingAsksAndOnlyYesCloses() {
        QFETCH(bool, schliessknopf);
        Neu(Buchstaben("A"));
        editor_->show();
        QSignalSpy geschlossen(editor_.data(), &FrmVorlagen::geschlossen);
        const auto schliessen = [&] {
            schliessknopf ? (void)editor_->close() : Klick("cmdBeenden");
        };

        dialoge_->jaNeinAntworten = {false};
        schliessen();
        QCOMPARE(dialoge_->gezeigt.size(), 1);
        QCOMPARE(dialoge_->gezeigt[0].art, Art::JaNein);
        QCOMPARE(dialoge_->gezeigt[0].text + '|' + dialoge_->gezeigt[0].titel,
                 QStringLiteral("Vorlagen gespeichert?|Vorlagen gespeichert?  "));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(editor_);
        QVERIFY(editor_->isVisible());
        QCOMPARE(geschlossen.size(), 0);
        QCOMPARE(editor_->modell().vorlage(), Buchstaben("A"));

        dialoge_->jaNeinAntworten = {true};
        state_->vorlagenAktiv = true;
        schliessen();
        QCOMPARE(geschlossen.size(), 1);
        QVERIFY(!state_->vorlagenAktiv);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!editor_);
    }

    void vorlagenAktivFollowsActivationAndTheFieldDialog() {
        Neu(Buchstaben("AB"));
        editor_->show();
        editor_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor_));
        QVERIFY(state_->vorlagenAktiv);
        // A window that clears nothing (a message box, the data view) takes the focus, then
        // another program does: output goes on.
        QWidget meldung;
        meldung.show();
        meldung.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&meldung));
        QVERIFY(state_->vorlagenAktiv);
        QWindow fremd;
        fremd.show();
        fremd.requestActivate();
        QTRY_VERIFY(QApplication::activeWindow() == nullptr);
        QVERIFY(state_->vorlagenAktiv);

        // Enter edits the current line in the field dialog, over a disabled editor that
        // makes no output even when activated, and cannot be closed.
        Gitter()->SetzeAktuelleZelle(1, 3);
        QTest::keyClick(Gitter(), Qt::Key_Return);
        QPointer<windows::FrmFelderAuswahl> dialog = editor_->feldAuswahl();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QCOMPARE(dialog->Zeile(), std::size_t{1});
        QVERIFY(!editor_->isEnabled());
        editor_->activateWindow();
        QCoreApplication::processEvents();
        QVERIFY(!state_->vorlagenAktiv);
        QVERIFY(!editor_->close());
        QVERIFY(dialoge_->gezeigt.isEmpty());

        QTest::mouseClick(test::Kind<QPushButton>(dialog, "cmdUebernehmen"), Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowActive(editor_));
        QVERIFY(state_->vorlagenAktiv);
        QVERIFY(editor_->isEnabled());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!dialog);
        const VorlageZeile erwartet = {"Start", "Alle", "Alle", "Alle", "Alle",
                                       "",      "01",   "",     "",     ""};
        QCOMPARE(editor_->modell().vorlage().Zeile(1), erwartet);
        QCOMPARE(editor_->modell().vorlage().Zeile(0), NurEreignis("A"));
    }
};

QTEST_MAIN(FrmVorlagenTest)
#include "FrmVorlagenTest.moc"
