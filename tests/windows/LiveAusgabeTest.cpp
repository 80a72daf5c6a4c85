// The whole path of a telegram: a scoring sender on loopback, the main window's link, the
// template editor opened through "Vorlagen", and the files on disk.
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "EditorFakeDialoge.h"
#include "EditorTestHilfen.h"
#include "windows/FrmFelderAuswahl.h"
#include "windows/FrmLiveTextEmpfaenger.h"
#include "windows/FrmVorlagen.h"

using namespace zelmo;
using zelmo::test::EditorFakeDialoge;
using zelmo::windows::FrmLiveTextEmpfaenger;
using zelmo::windows::FrmVorlagen;

namespace {

QByteArray Rahmen(const QByteArray& payload) {
    return QByteArray::number(payload.size() + 10).rightJustified(10, '0') + payload;
}

// Round 2, a Zeitspringen with a jump-off. The payload is in the code page: "Jörg" is one
// byte per character on the wire.
const QByteArray kTelegramm =
    R"({"Ereignis":{"Befehl":"Befehl","Status":"GAEin","Wert1":"1","Wert2":"","Wert3":"",)"
    R"("Wert4":""},"AktUml":{"strAktUml":"2"},)"
    R"("Umlaufdaten":{"Records":[{"Uml2Turnierart":"Zeitspringen","Uml2MitStechen":true}]},)"
    R"("Startliste":{"Anzahl":2,"Records":[{"Name":"Anna","Land":"GER"},)"
    "{\"Name\":\"J\xf6rg\",\"Land\":\"AUT\"}]}}";

// Line 0 fails its round test (score 16); line 1 passes type, jump-off and round (26).
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

  private:
    QTcpServer server_;
    QTcpSocket* verbindung_ = nullptr;
    QByteArray empfangen_;

    // Sends one telegram and waits for its acknowledgement.
    bool Senden(const QByteArray& payload) {
        const qsizetype vorher = empfangen_.size();
        verbindung_->write(Rahmen(payload));
        verbindung_->flush();
        return QTest::qWaitFor([&] { return empfangen_.size() >= vorher + 12; }) &&
               empfangen_.mid(vorher) == "0000000012OK";
    }

  private slots:
    void telegramToFilesThroughTheEditor() {
        QTemporaryDir programm;
        QTemporaryDir ausgabe;
        QVERIFY(programm.isValid() && ausgabe.isValid());
        start::ProgramState state;
        state.programFolder = programm.path().toStdString();
        state.kataloge = test::Kataloge();
        EditorFakeDialoge dialoge;
        QVERIFY(server_.listen(QHostAddress::LocalHost, 0));
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            verbindung_ = server_.nextPendingConnection();
            connect(verbindung_, &QTcpSocket::readyRead, this,
                    [this] { empfangen_ += verbindung_->readAll(); });
        });

        auto fenster = std::make_unique<FrmLiveTextEmpfaenger>(state, state.telegramme, dialoge);
        fenster->show();
        QVERIFY(QTest::qWaitForWindowExposed(fenster.get()));
        auto box = [&](const char* name) {
            return fenster->findChild<QLineEdit*>(QString::fromLatin1(name));
        };
        box("txtIPausUDPEmpfaenger")->setText("127.0.0.1");
        box("txtPortausUDPEmpfaenger")->setText(QString::number(server_.serverPort()));
        box("txtPfadZuLiveText")->setText(ausgabe.path());
        auto* verbinden = fenster->findChild<QPushButton*>("cmdVerbinden");
        verbinden->click();
        QTRY_COMPARE(verbinden->text(), QStringLiteral("Trennen"));
        QTRY_VERIFY(verbindung_ != nullptr);

        fenster->findChild<QPushButton*>("cmdVorlagen")->click();
        QPointer<FrmVorlagen> editor = qobject_cast<FrmVorlagen*>(fenster->vorlagen());
        QVERIFY(editor);
        const QString datei = programm.filePath("LiveText.json");
        QVERIFY(test::DateiSchreiben(datei, kVorlage));
        dialoge.dateien = {datei};
        editor->findChild<QPushButton*>("cmdProjektEinlesen")->click();
        QCOMPARE(dialoge.Texte(), QStringList{"Vorlage eingelesen"});
        editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QVERIFY(state.vorlagenAktiv);

        QVERIFY(Senden(kTelegramm));
        const QDir ordner(ausgabe.path());
        QCOMPARE(ordner.entryList(QDir::Files), (QStringList{"control.txt", "start.txt"}));
        QCOMPARE(test::DateiInhalt(ausgabe.filePath("start.txt")), kStartTxt);
        QCOMPARE(test::DateiInhalt(ausgabe.filePath("control.txt")), kControlTxt);
        QCOMPARE(editor->zustand().listEreignisse.Lines().back(), std::string("GA Ein\x1b"
                                                                              "1\x1b\x1b\x1b"));

        // While the field selection dialog is open nothing becomes output.
        QVERIFY(QFile::remove(ausgabe.filePath("start.txt")));
        QVERIFY(QFile::remove(ausgabe.filePath("control.txt")));
        editor->findChild<QPushButton*>("cmdBearbeiten")->click();
        QVERIFY(editor->feldAuswahl() != nullptr);
        QVERIFY(Senden(kTelegramm));
        QVERIFY(ordner.entryList(QDir::Files).isEmpty());

        editor->feldAuswahl()->close();
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QVERIFY(Senden(kTelegramm));
        QCOMPARE(test::DateiInhalt(ausgabe.filePath("start.txt")), kStartTxt);

        // A closed editor takes no more events; the main window takes input again.
        QVERIFY(QFile::remove(ausgabe.filePath("start.txt")));
        dialoge.antworten = {true};
        editor->findChild<QPushButton*>("cmdBeenden")->click();
        QTRY_VERIFY(editor.isNull());
        QVERIFY(fenster->isEnabled());
        QVERIFY(!state.vorlagenAktiv);
        QVERIFY(Senden(kTelegramm));
        QVERIFY(!QFile::exists(ausgabe.filePath("start.txt")));

        fenster.reset();
    }
};

QTEST_MAIN(LiveAusgabeTest)
#include "LiveAusgabeTest.moc"
