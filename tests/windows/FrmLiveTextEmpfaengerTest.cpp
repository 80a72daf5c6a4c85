#include "windows/FrmLiveTextEmpfaenger.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <memory>

#include "FakeDialoge.h"
#include "TestHilfen.h"
#include "net/LinkClient.h"
#include "widgets/DatenModell.h"
#include "widgets/ProgressWindow.h"

using namespace std::chrono_literals;
using namespace zelmo::test;
using zelmo::windows::FrmLiveTextEmpfaenger;

namespace {

using Clock = std::chrono::steady_clock;
const char* const kIp = "txtIPausUDPEmpfaenger";
const char* const kPort = "txtPortausUDPEmpfaenger";

}  // namespace

class FrmLiveTextEmpfaengerTest : public QObject {
    Q_OBJECT

  private:
    struct Aufbau {
        QTemporaryDir ordner;
        zelmo::start::ProgramState state;
        zelmo::TelegramStore store;
        FakeDialoge dialoge;
    };
    std::unique_ptr<Aufbau> a_;
    std::unique_ptr<FrmLiveTextEmpfaenger> fenster_;
    Clock::time_point jetzt_;

    template <typename T = QWidget>
    T* kind(const char* name) const {
        return Kind<T>(fenster_.get(), QString::fromLatin1(name));
    }
    QPushButton* knopf(const char* name) const { return kind<QPushButton>(name); }
    QLineEdit* box(const char* name) const { return kind<QLineEdit>(name); }
    QStringList zeilen(const char* name) const { return Texte(kind<QListWidget>(name)); }
    QString einstellungsDatei() const { return a_->ordner.filePath("LiveTextStartwerte.TXT"); }

    // The connection controls as the operator sees them: the button's text, then whatever
    // is disabled, shown or busy.
    QString anzeige() const {
        QStringList teile = {knopf("cmdVerbinden")->text()};
        const auto falls = [&](bool bedingung, const QString& text) {
            if (bedingung)
                teile.append(text);
        };
        falls(!fenster_->isEnabled(), "Fenster gesperrt");
        falls(!knopf("cmdVerbinden")->isEnabledTo(fenster_.get()), "Knopf gesperrt");
        falls(!box(kIp)->isEnabledTo(fenster_.get()), "IP gesperrt");
        falls(!box(kPort)->isEnabledTo(fenster_.get()), "Port gesperrt");
        auto* fortschritt = kind<zelmo::widgets::ProgressWindow>("ctlProgressbar1");
        falls(fortschritt->isVisible(), fortschritt->text());
        falls(kind("lblConnectFehler")->isVisible(), kind<QLabel>("lblConnectFehler")->text());
        falls(QApplication::overrideCursor() != nullptr, "Sanduhr");
        falls(kind("lblWiederverbinden")->isVisible(), kind<QLabel>("lblWiederverbinden")->text());
        return teile.join(" | ");
    }

    // The same while a connection attempt to 127.0.0.1 runs.
    static QString wartet(const QString& port) {
        return "Verbinden | Fenster gesperrt | Knopf gesperrt | Verbinde mit 127.0.0.1:" + port +
               " | Sanduhr";
    }

    // Time for the connection wait stands still until the test moves it.
    void uhrAnhalten() {
        jetzt_ = Clock::now();
        fenster_->setVerbindenUhr([this] { return jetzt_; }, 1ms);
    }
    void zeigen() {
        fenster_->show();
        QVERIFY(QTest::qWaitForWindowExposed(fenster_.get()));
    }
    void adresse(const QString& ip, const QString& port) {
        box(kIp)->setText(ip);
        box(kPort)->setText(port);
    }
    void verbinden(Sender& sender) {
        adresse(QStringLiteral("127.0.0.1"), sender.port());
        knopf("cmdVerbinden")->click();
        QTRY_COMPARE(knopf("cmdVerbinden")->text(), QStringLiteral("Trennen"));
        QTRY_VERIFY(sender.letzte() != nullptr);
    }

  private slots:
    void init() {
        a_ = std::make_unique<Aufbau>();
        QVERIFY(a_->ordner.isValid());
        a_->state.programFolder = a_->ordner.path().toStdString();
        fenster_ = std::make_unique<FrmLiveTextEmpfaenger>(a_->state, a_->store, a_->dialoge);
    }
    void cleanup() {
        fenster_.reset();
        a_.reset();
        // A busy pointer left behind would stay for the rest of the program.
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void ersteAktivierungLiestStartwerteEinmal_data() {
        QTest::addColumn<QByteArray>("datei");  // null: none
        QTest::addColumn<QString>("pfad");
        QTest::addColumn<QPoint>("position");  // the design position is (30, 40)
        const auto datei = [](const QByteArray& pfad, const char* links, const char* oben) {
            return "10.0.0.5\r\n4100\r\n0\r\n" + pfad + "\r\n" + links + "\r\n" + oben + "\r\n";
        };
        QTest::newRow("keine Datei") << QByteArray() << QString("nicht bekannt") << QPoint(30, 40);
        QTest::newRow("Twips und Umlaute")
            << datei("D:\\Gr\xFC\xDF", "1500", "750") << QString("D:\\Grüß") << QPoint(100, 50);
        QTest::newRow("nur links")
            << datei("D:\\LT", "1500", "x") << QString("D:\\LT") << QPoint(100, 40);
        QTest::newRow("ausserhalb jedes Bildschirms")
            << datei("D:\\LT", "150000", "150000") << QString("D:\\LT") << QPoint(30, 40);
    }
    void ersteAktivierungLiestStartwerteEinmal() {
        QFETCH(QByteArray, datei);
        QFETCH(QString, pfad);
        QFETCH(QPoint, position);
        if (!datei.isNull())
            QVERIFY(DateiSchreiben(einstellungsDatei(), datei));
        QVERIFY(!kind("ListeClient")->isVisibleTo(fenster_.get()));
        fenster_->setGeometry(QRect(QPoint(30, 40), fenster_->size()));
        zeigen();

        QCOMPARE(box(kIp)->text() + ':' + box(kPort)->text(),
                 QString(datei.isNull() ? "Localhost:3000" : "10.0.0.5:4100"));
        QCOMPARE(fenster_->Pfad(), pfad);
        // The stored edges are the client area's (the offscreen frame is 2 px wide).
        QCOMPARE(fenster_->geometry().topLeft(), position);
        QCOMPARE(fenster_->frameGeometry().topLeft(), position - QPoint(2, 2));
        QCOMPARE(anzeige(), QStringLiteral("Verbinden | ConnectFehler"));
        QVERIFY(a_->dialoge.gezeigt.isEmpty());
        QVERIFY(kind("ListeClient")->isVisible());
        QVERIFY(!knopf("cmdTransferTest")->isVisible());
        // 16800 x 6900 twips at the offscreen screen's 96 dpi.
        QCOMPARE(fenster_->logicalDpiX(), 96);
        QCOMPARE(fenster_->size(), QSize(1120, 460));

        // A later activation does not read the settings again over the operator's input.
        QVERIFY(DateiSchreiben(einstellungsDatei(), "10.9.9.9\r\n4000\r\n0\r\nX\r\n0\r\n0\r\n"));
        box(kIp)->setText(QStringLiteral("10.1.1.1"));
        fenster_->hide();
        fenster_->show();
        fenster_->activateWindow();
        QCOMPARE(box(kIp)->text(), QStringLiteral("10.1.1.1"));
    }

    void startwerteSchreiben() {
        zeigen();
        adresse(QStringLiteral("10.1.2.3"), QStringLiteral("4000"));
        kind<QCheckBox>("chkAutomatischVerbinden")->setChecked(true);
        box("txtPfadZuLiveText")->setText(QString::fromUtf8("/daten/Grüße"));
        fenster_->setGeometry(QRect(QPoint(96, 48), fenster_->size()));

        kind<QCheckBox>("chkAutomatischWiederverbinden")->setChecked(true);
        knopf("cmdParameterSpeichern")->click();
        QCOMPARE(DateiInhalt(einstellungsDatei()),
                 QByteArray("10.1.2.3\r\n4000\r\n1\r\n/daten/Gr\xFC\xDF"
                            "e\r\n1440\r\n720\r\n"));
        QCOMPARE(
            DateiInhalt(a_->ordner.filePath("LiveTextZusatzwerte.TXT")),
            QByteArray("WarnungOhneTelegrammNachSekunden=120\r\nAutomatischWiederverbinden=1\r\n"));

        // Unloading writes what is on screen at that moment and releases the telegram data.
        a_->store.SetLatest(zelmo::JSONDecodieren(R"({"Startliste":{"Records":[]}})"));
        a_->store.StoreSections();
        box(kPort)->setText(QStringLiteral("4001"));
        kind<QCheckBox>("chkAutomatischVerbinden")->setChecked(false);
        QSignalSpy entladen(fenster_.get(), &FrmLiveTextEmpfaenger::entladen);
        QVERIFY(fenster_->close());
        QCOMPARE(entladen.count(), 1);
        QCOMPARE(DateiInhalt(einstellungsDatei()),
                 QByteArray("10.1.2.3\r\n4001\r\n0\r\n/daten/Gr\xFC\xDF"
                            "e\r\n1440\r\n720\r\n"));
        QVERIFY(a_->store.Latest().IsNothing());
        QVERIFY(a_->store.Section("Startliste").IsNothing());
        QVERIFY(a_->dialoge.gezeigt.isEmpty());

        // Start and close again: the window opens where it was closed, the file stays as it is.
        const QByteArray vorher = DateiInhalt(einstellungsDatei());
        fenster_ = std::make_unique<FrmLiveTextEmpfaenger>(a_->state, a_->store, a_->dialoge);
        zeigen();
        QVERIFY(fenster_->close());
        QCOMPARE(DateiInhalt(einstellungsDatei()), vorher);
    }

    void falscheAdresseOderPort_data() {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("meldung");
        const QString ip("IP-Format stimmt nicht!");
        QTest::newRow("Localhost") << QString("Localhost") << QString("3000") << ip;
        QTest::newRow("IP vor Port geprüft") << QString("a.b.c.d") << QString("x") << ip;
        QTest::newRow("Port 0") << QString("127.0.0.1") << QString("0")
                                << QString("Port-Format stimmt nicht!");
    }
    void falscheAdresseOderPort() {
        QFETCH(QString, ip);
        QFETCH(QString, port);
        QFETCH(QString, meldung);
        zeigen();
        adresse(ip, port);
        knopf("cmdVerbinden")->click();
        QCOMPARE(a_->dialoge.Meldungen(), QStringList{meldung});
        QCOMPARE(a_->dialoge.gezeigt[0].titel, QStringLiteral("Zelmo-LiveText"));
        QCOMPARE(a_->dialoge.gezeigt[0].besitzer, static_cast<QWidget*>(fenster_.get()));
        // Nothing was attempted.
        QCOMPARE(anzeige(), QStringLiteral("Verbinden | ConnectFehler"));
        QCOMPARE(zeilen("ListeClient"), QStringList());
    }

    void verbindenEmpfangenUndTrennen() {
        Sender sender;
        zeigen();
        uhrAnhalten();
        adresse(QStringLiteral("127.0.0.1"), sender.port());
        knopf("cmdVerbinden")->click();
        QCOMPARE(anzeige(), wartet(sender.port()));
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);

        QTRY_COMPARE(anzeige(), QStringLiteral("Trennen | IP gesperrt | Port gesperrt"));
        const qint32 socket = fenster_->linkClient().socketNumber();
        QVERIFY(socket > 0);
        const QString verbunden = QStringLiteral("TCPClient TCPConnect - Socket: %1").arg(socket);
        QCOMPARE(zeilen("ListeClient"), QStringList{verbunden});

        // A telegram is acknowledged, logged and evaluated.
        const QByteArray unbekannt =
            R"({"Ereignis":{"Befehl":"Befehl","Status":"reiterneu","Wert1":"","Wert2":"",)"
            R"("Wert3":"","Wert4":""},"Startliste":{"Records":[{"Name":"Anna"}]}})";
        QVERIFY(sender.quittiert(unbekannt));
        QCOMPARE(zeilen("ListEreignisse"), QStringList{QString(Rahmen(unbekannt).left(100))});
        QCOMPARE(kind<QLabel>("LabelGAKomFehler")->text(),
                 "Falsche Abfragetext: " + QString(unbekannt.left(100)));
        QVERIFY(!a_->store.Section("Startliste").IsNothing());

        knopf("cmdVerbinden")->click();
        QCOMPARE(anzeige(), QStringLiteral("Verbinden"));
        QTRY_COMPARE(zeilen("ListeClient"),
                     (QStringList{verbunden,
                                  "TCPClient TCPDisConnect - Socket: " + QString::number(socket)}));
        QTRY_COMPARE(sender.letzte()->state(), QAbstractSocket::UnconnectedState);

        // When the sender closes, the address stays locked; the next click connects anew.
        verbinden(sender);
        sender.letzte()->disconnectFromHost();
        QTRY_COMPARE(anzeige(), QStringLiteral("Verbinden | IP gesperrt | Port gesperrt"));
        QVERIFY(zeilen("ListeClient").last().startsWith("TCPClient TCPDisConnect - Socket: "));
        verbinden(sender);
        QCOMPARE(sender.verbindungen.size(), 3);
    }

    // The link goes quiet: the main window says so once the threshold has passed, and stays
    // connected. The threshold comes from the extra settings file and goes back into it.
    void telegrammAlterUndWarnung() {
        const QString zusatz = a_->ordner.filePath("LiveTextZusatzwerte.TXT");
        QVERIFY(DateiSchreiben(zusatz, "Anderes=1\r\nWarnungOhneTelegrammNachSekunden=60\r\n"));
        Sender sender;
        zeigen();
        uhrAnhalten();
        auto* alter = kind<QLabel>("lblTelegrammAlter");
        const auto zeigt = [&] {
            return alter->text() + " / " + alter->palette().color(QPalette::Window).name();
        };
        QCOMPARE(zeigt(), QStringLiteral("Keine Verbindung / #dcdcdc"));
        verbinden(sender);
        QCOMPARE(zeigt(), QStringLiteral("Verbunden – noch kein Telegramm (seit 0 s) / #dcdcdc"));
        jetzt_ += 59s;
        QTRY_COMPARE(zeigt(),
                     QStringLiteral("Verbunden – noch kein Telegramm (seit 59 s) / #dcdcdc"));
        jetzt_ += 1s;
        QTRY_COMPARE(zeigt(), QStringLiteral("Seit 1 min 00 s kein Telegramm! / #ff0000"));
        QVERIFY(sender.quittiert(R"({"Ereignis":{"Befehl":"Befehl","Status":"x","Wert1":""}})"));
        QCOMPARE(zeigt(), QStringLiteral("Letztes Telegramm vor 0 s / #1e7b34"));
        jetzt_ += 75s;
        QTRY_COMPARE(zeigt(), QStringLiteral("Seit 1 min 15 s kein Telegramm! / #ff0000"));
        kind<QSpinBox>("txtWarnungNachSekunden")->setValue(90);
        QCOMPARE(zeigt(), QStringLiteral("Letztes Telegramm vor 1 min 15 s / #1e7b34"));
        QCOMPARE(knopf("cmdVerbinden")->text(), QStringLiteral("Trennen"));

        QVERIFY(fenster_->close());
        QCOMPARE(DateiInhalt(zusatz),
                 QByteArray("Anderes=1\r\nWarnungOhneTelegrammNachSekunden=90\r\n"
                            "AutomatischWiederverbinden=0\r\n"));
        QCOMPARE(DateiInhalt(einstellungsDatei()).count("\r\n"), 6);
    }

    void fortschrittUndZeitueberschreitung() {
        zeigen();
        uhrAnhalten();
        // Nobody listens on a port just given up, so the connection is refused at once.
        QString port;
        {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost, 0);
            port = QString::number(probe.serverPort());
        }
        adresse(QStringLiteral("127.0.0.1"), port);
        const Clock::time_point start = jetzt_;
        knopf("cmdVerbinden")->click();

        // A refused connection is not shown; the wait goes on until its time is up.
        jetzt_ = start + 2500ms;
        QTRY_COMPARE(kind<zelmo::widgets::ProgressWindow>("ctlProgressbar1")->value(), 50);
        QCOMPARE(anzeige(), wartet(port));

        jetzt_ = start + 5000ms;
        QTRY_COMPARE(anzeige(), "Verbinden | Konnte nicht mit 127.0.0.1:" + port + " verbinden!");
        const QPalette farben = kind("lblConnectFehler")->palette();
        QCOMPARE(farben.color(QPalette::Window), QColor(255, 0, 0));
        QCOMPARE(farben.color(QPalette::WindowText), QColor(255, 255, 0));

        // A later success takes the message away.
        Sender sender;
        verbinden(sender);
        QCOMPARE(anzeige(), QStringLiteral("Trennen | IP gesperrt | Port gesperrt"));
    }

    void abgelaufenerVersuchWirdAbgebrochen() {
        Sender sender;
        zeigen();
        // The first reading starts the wait; every later one is past its end, so the wait
        // gives up before the connection's own event can arrive.
        int lesungen = 0;
        const Clock::time_point start = Clock::now();
        fenster_->setVerbindenUhr([&] { return lesungen++ == 0 ? start : start + 6s; }, 1ms);
        adresse(QStringLiteral("127.0.0.1"), sender.port());
        knopf("cmdVerbinden")->click();
        QCOMPARE(anzeige(),
                 "Verbinden | Konnte nicht mit 127.0.0.1:" + sender.port() + " verbinden!");

        // Whatever reached the sender before the abort must be closed by us; a connection
        // made after this barrier would have been accepted before it.
        QTcpSocket schranke;
        schranke.connectToHost(QHostAddress::LocalHost, sender.server.serverPort());
        QVERIFY(schranke.waitForConnected(5000));
        QTRY_VERIFY(std::any_of(sender.verbindungen.begin(), sender.verbindungen.end(),
                                [&](auto* s) { return s->peerPort() == schranke.localPort(); }));
        for (QTcpSocket* s : sender.verbindungen) {
            if (s->peerPort() != schranke.localPort())
                QTRY_COMPARE(s->state(), QAbstractSocket::UnconnectedState);
        }
        QCOMPARE(knopf("cmdVerbinden")->text(), QStringLiteral("Verbinden"));
        QVERIFY(!fenster_->linkClient().isConnected());
        QVERIFY(!zeilen("ListeClient").join('\n').contains(QStringLiteral("TCPConnect")));
    }

    void wiederverbindenNachNeustartDesSenders() {
        QVERIFY(DateiSchreiben(a_->ordner.filePath("LiveTextZusatzwerte.TXT"),
                               "AutomatischWiederverbinden=1\r\n"));
        Sender sender;
        zeigen();
        uhrAnhalten();
        QVERIFY(kind<QCheckBox>("chkAutomatischWiederverbinden")->isChecked());
        verbinden(sender);
        const quint16 port = sender.server.serverPort();

        // The sender goes away: no progress window, a countdown in the connection frame.
        sender.server.close();
        sender.letzte()->disconnectFromHost();
        const QString gesperrt = QStringLiteral("Trennen | IP gesperrt | Port gesperrt");
        QTRY_COMPARE(anzeige(), gesperrt + " | Nächster Verbindungsversuch in 5 s (bisher 0)");
        jetzt_ += 3s;
        QTRY_COMPARE(anzeige(), gesperrt + " | Nächster Verbindungsversuch in 2 s (bisher 0)");
        jetzt_ += 2s;
        QTRY_COMPARE(anzeige(), gesperrt + " | Verbindungsversuch 1 läuft, nächster in 5 s");

        // It comes back; the refused attempt runs out and the next one connects.
        QVERIFY(sender.server.listen(QHostAddress::LocalHost, port));
        jetzt_ += 5s;
        QTRY_COMPARE(sender.verbindungen.size(), 2);
        QTRY_COMPARE(anzeige(), gesperrt);
        QVERIFY(sender.quittiert(R"({"Ereignis":{"Befehl":"Nein"}})"));
        QVERIFY(a_->dialoge.gezeigt.isEmpty());
    }

    void keinVersuchWennAusOderGetrennt_data() {
        QTest::addColumn<bool>("an");
        QTest::addColumn<bool>("trennen");  // else the sender closes
        QTest::addColumn<QString>("danach");
        QTest::newRow("aus") << false << false
                             << QStringLiteral("Verbinden | IP gesperrt | Port gesperrt");
        QTest::newRow("Trennen") << true << true << QStringLiteral("Verbinden");
        QTest::newRow("Trennen beim Warten") << true << false << QStringLiteral("Verbinden");
    }
    void keinVersuchWennAusOderGetrennt() {
        QFETCH(bool, an);
        QFETCH(bool, trennen);
        QFETCH(QString, danach);
        Sender sender;
        zeigen();
        uhrAnhalten();
        kind<QCheckBox>("chkAutomatischWiederverbinden")->setChecked(an);
        verbinden(sender);
        if (trennen) {
            knopf("cmdVerbinden")->click();
        } else {
            sender.letzte()->disconnectFromHost();
            QTRY_VERIFY(!fenster_->linkClient().isConnected());
            if (an)
                knopf("cmdVerbinden")->click();
        }
        QTRY_COMPARE(anzeige(), danach);
        jetzt_ += 60s;
        // Any attempt would reach the sender before this barrier does.
        QTest::qWait(20);
        QTcpSocket schranke;
        schranke.connectToHost(QHostAddress::LocalHost, sender.server.serverPort());
        QVERIFY(schranke.waitForConnected(5000));
        QTRY_COMPARE(sender.verbindungen.size(), 2);
        QCOMPARE(sender.verbindungen.last()->peerPort(), schranke.localPort());
        QCOMPARE(anzeige(), danach);
    }

    void datenFensterZeigtTelegramme() {
        Sender sender;
        zeigen();
        verbinden(sender);
        knopf("cmdDaten")->click();
        QWidget* daten = fenster_->daten();
        QVERIFY(daten != nullptr && daten->isVisible() && daten->isEnabled());
        QVERIFY(sender.quittiert(R"({"Ereignis":{"Befehl":"Nein"},"AktUml":{"Umlauf":"2"}})"));
        const QModelIndex aktUml = fenster_->datenModell().index(2, 1);
        QCOMPARE(aktUml.siblingAtColumn(0).data().toString(), QStringLiteral("AktUml"));
        QTRY_COMPARE(aktUml.data().toString(), QStringLiteral("1 Feld"));
        QVERIFY(fenster_->close());
        QVERIFY(fenster_->daten() == nullptr);
    }

    void logsBehaltenIhreLetztenZeilen_data() {
        QTest::addColumn<bool>("telegramme");
        QTest::addColumn<int>("grenze");
        QTest::newRow("Telegramme") << true << 14;
        QTest::newRow("Client") << false << 10;
    }
    void logsBehaltenIhreLetztenZeilen() {
        QFETCH(bool, telegramme);
        QFETCH(int, grenze);
        zeigen();
        const char* liste = telegramme ? "ListEreignisse" : "ListeClient";
        const auto schreiben = [&](const QString& zeile) {
            telegramme ? fenster_->SchreibeInListe1(zeile) : fenster_->SchreibeInListeClient(zeile);
        };
        QStringList letzte;
        for (int i = 0; i <= grenze; ++i) {
            schreiben(QString::number(i));
            if (i > 0)
                letzte.append(QString::number(i));
        }
        QCOMPARE(zeilen(liste), letzte);

        knopf(telegramme ? "cmdListe1Loeschen" : "cmdListeClientLoeschen")->click();
        QCOMPARE(zeilen(liste), QStringList());
        schreiben(QStringLiteral("neu"));
        QCOMPARE(zeilen(liste), QStringList{"neu"});
    }

    void automatischVerbindenNurEinmal_data() {
        QTest::addColumn<bool>("gespeichert");
        QTest::newRow("erster Klick") << false;
        QTest::newRow("gespeicherter Haken") << true;
    }
    void automatischVerbindenNurEinmal() {
        QFETCH(bool, gespeichert);
        Sender sender;
        auto* chk = kind<QCheckBox>("chkAutomatischVerbinden");
        if (gespeichert) {
            QVERIFY(DateiSchreiben(einstellungsDatei(), "127.0.0.1\r\n" + sender.port().toLatin1() +
                                                            "\r\n1\r\n/lt\r\n0\r\n0\r\n"));
            zeigen();
            QVERIFY(chk->isChecked());
        } else {
            zeigen();
            adresse(QStringLiteral("127.0.0.1"), sender.port());
            chk->click();
        }
        QTRY_COMPARE(knopf("cmdVerbinden")->text(), QStringLiteral("Trennen"));
        knopf("cmdVerbinden")->click();
        QTRY_COMPARE(sender.letzte()->state(), QAbstractSocket::UnconnectedState);

        // Neither a later activation nor later clicks connect again; clicks keep the value.
        fenster_->hide();
        fenster_->show();
        fenster_->activateWindow();
        chk->click();
        QCOMPARE(fenster_->startwerte().autoConnect, std::string("0"));
        chk->click();
        QCOMPARE(fenster_->startwerte().autoConnect, std::string("1"));
        QCOMPARE(anzeige(), QStringLiteral("Verbinden"));
        QCOMPARE(sender.verbindungen.size(), 1);
    }

    void ordnerWahl_data() {
        QTest::addColumn<QString>("antwort");  // a folder in the temporary one; empty: cancelled
        QTest::addColumn<QString>("pfad");     // "<o>": the temporary folder
        QTest::addColumn<QStringList>("meldungen");
        QTest::newRow("abgebrochen") << QString() << QString("vorher") << QStringList();
        QTest::newRow("vorhanden") << QString("Daten") << QString("<o>/Daten") << QStringList();
        QTest::newRow("nicht gefunden")
            << QString("fehlt") << QString("unbekannt") << QStringList{"Pfad nicht gefunden!"};
    }
    void ordnerWahl() {
        QFETCH(QString, antwort);
        QFETCH(QString, pfad);
        QFETCH(QStringList, meldungen);
        QVERIFY(DateiSchreiben(einstellungsDatei(), "10.0.0.1\r\n3000\r\n0\r\nvorher\r\n"));
        QVERIFY(QDir(a_->ordner.path()).mkdir("Daten"));
        zeigen();
        a_->dialoge.pfadAntworten = {antwort.isEmpty() ? antwort : a_->ordner.filePath(antwort)};

        kind<QToolButton>("ImageLiveTextPfadSuchen")->click();
        QCOMPARE(a_->dialoge.gezeigt.first().titel, QStringLiteral("Suche LiveText Datenordner"));
        QCOMPARE(fenster_->Pfad(), pfad.replace("<o>", a_->ordner.path()));
        QCOMPARE(a_->dialoge.Meldungen(), meldungen);
    }
};

QTEST_MAIN(FrmLiveTextEmpfaengerTest)
#include "FrmLiveTextEmpfaengerTest.moc"
