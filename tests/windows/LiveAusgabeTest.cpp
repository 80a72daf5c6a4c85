// The whole path of a telegram: a scoring sender on loopback, the main window's link, the
// template editor opened through "Vorlagen", the files on disk and the acknowledgement.
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTemporaryDir>
#include <memory>

#include "FakeDialoge.h"
#include "TestHilfen.h"
#include "widgets/Gitter.h"
#include "windows/FrmFelderAuswahl.h"
#include "windows/FrmLiveTextEmpfaenger.h"
#include "windows/FrmVorlagen.h"

using namespace zelmo;
using namespace zelmo::test;
using zelmo::windows::FrmLiveTextEmpfaenger;
using zelmo::windows::FrmVorlagen;

namespace {

// Round 2, a Zeitspringen with a jump-off. The payload is in the code page: "Jörg" is one
// byte per character on the wire.
const QByteArray kTelegramm =
    R"({"Ereignis":{"Befehl":"Befehl","Status":"GAEin","Wert1":"1","Wert2":"","Wert3":"",)"
    R"("Wert4":""},"AktUml":{"strAktUml":"2"},)"
    R"("Umlaufdaten":{"Records":[{"Uml2Turnierart":"Zeitspringen","Uml2MitStechen":true}]},)"
    R"("Startliste":{"Anzahl":2,"Records":[{"Name":"Anna","Land":"GER"},)"
    "{\"Name\":\"J\xf6rg\",\"Land\":\"AUT\"}]}}";

// Line 0 fails its round test; line 1 passes type, jump-off and round.
const QByteArray kVorlage =
    R"({"Vorlage" : {"Zeilen" :[{"Ereignis": "GA Ein", "Turnierart": "Alle", "Unterauswahl1": "", "Unterauswahl2": "", "Umlauf": "1", "Reserve": "", "Seite": "01", "Dateiname": "falsch", "Tabelle": "Ereignis", "Feld": "Status"}, )"
    R"({"Ereignis": "GA Ein", "Turnierart": "Zeitspringen", "Unterauswahl1": "mit Stechen", "Unterauswahl2": "", "Umlauf": "Alle", "Reserve": "", "Seite": "12", "Dateiname": "start", "Tabelle": "Ereignis*Startliste", "Feld": "Wert1*Name,Land"} ]} ,"Ausgabeformat" : [{"Type": "OptLiveText","Trenner" : ","}]})"
    "\r\n";

const QByteArray kStartTxt =
    "Ereignis.Wert1 = 1\r\n"
    "Startliste.Name_0 = Anna\r\n"
    "Startliste.Land_0 = GER\r\n"
    "Startliste.Name_1 = J\xf6rg\r\n"
    "Startliste.Land_1 = AUT\r\n";
const QByteArray kControlTxt = "LiveText_PageNo = 12\r\nLiveText_Play = 0\r\nLiveText_Play = 1\r\n";

}  // namespace

class LiveAusgabeTest : public QObject {
    Q_OBJECT

  private slots:
    void telegramToFilesThroughTheEditor() {
        QTemporaryDir programm;
        QTemporaryDir ausgabe;
        QVERIFY(programm.isValid() && ausgabe.isValid());
        start::ProgramState state;
        state.programFolder = programm.path().toStdString();
        state.kataloge = Kataloge();
        FakeDialoge dialoge;
        Sender sender;

        auto fenster = std::make_unique<FrmLiveTextEmpfaenger>(state, state.telegramme, dialoge);
        fenster->show();
        QVERIFY(QTest::qWaitForWindowExposed(fenster.get()));
        Kind<QLineEdit>(fenster.get(), "txtIPausUDPEmpfaenger")->setText("127.0.0.1");
        Kind<QLineEdit>(fenster.get(), "txtPortausUDPEmpfaenger")->setText(sender.port());
        auto* pfad = Kind<QLineEdit>(fenster.get(), "txtPfadZuLiveText");
        pfad->setText(ausgabe.path());
        auto* verbinden = Kind<QPushButton>(fenster.get(), "cmdVerbinden");
        verbinden->click();
        QTRY_COMPARE(verbinden->text(), QStringLiteral("Trennen"));
        QTRY_VERIFY(sender.letzte() != nullptr);

        auto* vorlagen = Kind<QPushButton>(fenster.get(), "cmdVorlagen");
        vorlagen->click();
        QPointer<FrmVorlagen> editor = qobject_cast<FrmVorlagen*>(fenster->vorlagen());
        QVERIFY(editor);
        QVERIFY(!fenster->isEnabled());
        const QString datei = programm.filePath("LiveText.json");
        QVERIFY(DateiSchreiben(datei, kVorlage));
        dialoge.pfadAntworten = {datei};
        Kind<QPushButton>(editor, "cmdProjektEinlesen")->click();
        QCOMPARE(dialoge.Meldungen(), QStringList{"Vorlage eingelesen"});
        editor->setUhr([] { return QTime(14, 3, 12); });
        auto* zustand = Kind<QLabel>(editor, "lblAusgabeZustand");
        const auto zeigt = [&] { return zustand->text() + " / " + zustand->styleSheet(); };
        const QString laeuft = "Ausgabe läuft in " + ausgabe.path();
        const QString gruen = " / background: #1e7b34; color: white;";
        const QString gelb = " / background: #f0b000; color: black;";
        // The main window is a form of the program: while it is active nothing is output.
        fenster->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(fenster.get()));
        QVERIFY(!state.vorlagenAktiv);
        QTRY_COMPARE(zeigt(), "Ausgabe angehalten: Vorlagen nicht aktiv" + gelb);
        editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QVERIFY(state.vorlagenAktiv);
        QTRY_COMPARE(zeigt(), laeuft + " – noch keine Datei geschrieben" + gruen);

        // The main window is disabled, yet its link still receives and acknowledges.
        QVERIFY(sender.quittiert(kTelegramm));
        const QDir ordner(ausgabe.path());
        QCOMPARE(ordner.entryList(QDir::Files), (QStringList{"control.txt", "start.txt"}));
        QCOMPARE(DateiInhalt(ausgabe.filePath("start.txt")), kStartTxt);
        QCOMPARE(DateiInhalt(ausgabe.filePath("control.txt")), kControlTxt);
        const auto liste = [&](const char* name) { return Texte(Kind<QListWidget>(editor, name)); };
        QCOMPARE(liste("listEreignisse"), QStringList{"GA Ein\x1b"
                                                      "1\x1b\x1b\x1b"});
        QCOMPARE(zeigt(), laeuft + " – letzte Datei start.txt um 14:03:12" + gruen);
        // On screen the separators read as " | ".
        auto* ereignisse = Kind<QListWidget>(editor, "listEreignisse");
        const auto* delegate = qobject_cast<QStyledItemDelegate*>(ereignisse->itemDelegate());
        QCOMPARE(delegate->displayText(ereignisse->item(0)->text(), QLocale()),
                 QStringLiteral("GA Ein | 1 |  |  | "));
        // Both lines name the event; the first then fails its round test.
        QCOMPARE(liste("ListGefundenIn0"), (QStringList{"0", "1"}));
        const auto* vorschau = Kind<widgets::Gitter>(editor, "CtlLXAusgabe")->model();
        QCOMPARE(
            vorschau->index(0, 1).data().toString() + '|' + vorschau->index(0, 3).data().toString(),
            QStringLiteral("start|Wert1 = 1"));
        // Headings and cells whole within the window; the tool tip holds a cell's whole text.
        auto* gitter = Kind<widgets::Gitter>(editor, "CtlLXAusgabe");
        int summe = 0;
        for (int c = 0; c < vorschau->columnCount(); ++c) {
            QVERIFY(gitter->columnWidth(c) >= gitter->horizontalHeader()->sectionSizeHint(c));
            summe += gitter->columnWidth(c);
        }
        QVERIFY(summe <= gitter->viewport()->width());
        QVERIFY(gitter->columnWidth(3) > gitter->fontMetrics().horizontalAdvance("Wert1 = 1"));
        QCOMPARE(vorschau->index(0, 3).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("Wert1 = 1"));
        QCOMPARE(gitter->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
        const auto leeren = [&] {
            for (const QString& f : ordner.entryList(QDir::Files))
                QVERIFY(QFile::remove(ordner.filePath(f)));
        };

        // Each key typed into the editor's event box runs once.
        leeren();
        auto* ereignis = Kind<QLineEdit>(editor, "txtEreignis");
        ereignis->selectAll();
        QTest::keyClicks(ereignis, "GA Ein");
        QCOMPARE(liste("listEreignisse").mid(1),
                 (QStringList{"G", "GA", "GA ", "GA E", "GA Ei", "GA Ein"}));
        QCOMPARE(DateiInhalt(ausgabe.filePath("start.txt")), kStartTxt);

        // While the field selection dialog is open nothing becomes output.
        leeren();
        Kind<QPushButton>(editor, "cmdBearbeiten")->click();
        QVERIFY(editor->feldAuswahl() != nullptr);
        QCOMPARE(zeigt(), "Ausgabe angehalten: Feldauswahl offen" + gelb);
        QVERIFY(sender.quittiert(kTelegramm));
        QVERIFY(ordner.entryList(QDir::Files).isEmpty());
        editor->feldAuswahl()->close();
        QVERIFY(QTest::qWaitForWindowActive(editor));

        // A run takes the grid, the format and the data folder as they are at that moment.
        auto* modell = Kind<widgets::Gitter>(editor, "CtlLXEreignisse")->model();
        QVERIFY(modell->setData(modell->index(1, 7), "neu"));
        QVERIFY(modell->setData(modell->index(1, 9), "Wert1\nName"));
        QTest::mouseClick(Kind<QRadioButton>(editor, "OptCSVNurDaten"), Qt::LeftButton);
        Kind<QLineEdit>(editor, "txtTrenner")->setText(";");
        QVERIFY(sender.quittiert(kTelegramm));
        QCOMPARE(ordner.entryList(QDir::Files), QStringList{"neu.csv"});
        QCOMPARE(DateiInhalt(ausgabe.filePath("neu.csv")),
                 QByteArray("\"1\";\r\n\"Anna\";\r\n\"J\xf6rg\"\r\n"));
        auto* warnungen = Kind<QLabel>(editor, "lblWarnungen");
        QCOMPARE(warnungen->text(), QString());
        pfad->clear();
        QVERIFY(sender.quittiert(kTelegramm));
        QCOMPARE(warnungen->text(), QStringLiteral("Kein Ausgabepfad angegeben!"));
        pfad->setText(ordner.filePath("fehlt"));
        QVERIFY(sender.quittiert(kTelegramm));
        QVERIFY2(warnungen->text().contains("neu.csv"), qPrintable(warnungen->text()));
        pfad->setText(ausgabe.path());

        // A closed editor takes no more events; the main window takes input again.
        leeren();
        dialoge.jaNeinAntworten = {true};
        Kind<QPushButton>(editor, "cmdBeenden")->click();
        QTRY_VERIFY(editor.isNull());
        QVERIFY(fenster->vorlagen() == nullptr);
        QVERIFY(fenster->isEnabled());
        QVERIFY(!state.vorlagenAktiv);
        QVERIFY(sender.quittiert(kTelegramm));
        QVERIFY(ordner.entryList(QDir::Files).isEmpty());

        // The next click makes a new editor.
        vorlagen->click();
        QVERIFY(qobject_cast<FrmVorlagen*>(fenster->vorlagen()) != nullptr);
        QVERIFY(!fenster->isEnabled());
        QVERIFY(QTest::qWaitForWindowActive(fenster->vorlagen()));
        QTRY_COMPARE(Kind<QLabel>(fenster->vorlagen(), "lblAusgabeZustand")->text(),
                     QStringLiteral("Ausgabe angehalten: keine Vorlagenzeilen"));
        fenster.reset();
    }
};

QTEST_MAIN(LiveAusgabeTest)
#include "LiveAusgabeTest.moc"
