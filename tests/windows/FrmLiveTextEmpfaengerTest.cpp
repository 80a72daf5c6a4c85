#include "windows/FrmLiveTextEmpfaenger.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <memory>

#include "component/Collection.h"
#include "net/LinkClient.h"
#include "widgets/ProgressWindow.h"
#include "windows/FakeDialoge.h"
// FrmVorlagen.h keeps a QPointer to the dialog, which needs the complete type.
#include "windows/FrmFelderAuswahl.h"
#include "windows/FrmVorlagen.h"

using namespace std::chrono_literals;
using zelmo::windows::FrmLiveTextEmpfaenger;
using zelmo::windows::test::FakeDialoge;

namespace {

using Clock = std::chrono::steady_clock;

QByteArray Rahmen(const QByteArray& payload) {
    return QByteArray::number(payload.size() + 10).rightJustified(10, '0') + payload;
}

QByteArray LeseDatei(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<fehlt>");
    return file.readAll();
}

bool SchreibeDatei(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The scoring sender's side of the link: accepts connections and keeps what each one sent.
class Sender {
  public:
    Sender() {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                verbindungen.append(socket);
                QObject::connect(socket, &QTcpSocket::readyRead,
                                 [this, socket] { empfangen[socket] += socket->readAll(); });
            }
        });
    }

    QString port() const { return QString::number(server.serverPort()); }
    QTcpSocket* letzte() const { return verbindungen.isEmpty() ? nullptr : verbindungen.last(); }
    QByteArray vonLetzter() const { return empfangen.value(letzte()); }
    void senden(const QByteArray& bytes) {
        letzte()->write(bytes);
        letzte()->flush();
    }

    QTcpServer server;
    QList<QTcpSocket*> verbindungen;
    QHash<QTcpSocket*, QByteArray> empfangen;
};

// A port on which nobody listens: connecting to it is refused at once.
QString FreierPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return QString::number(probe.serverPort());
}

// A template editor stand-in: records the events handed to it.
class FakeEditor : public QWidget {
    Q_OBJECT
  public:
    QStringList ereignisse;
  signals:
    void geschlossen();
};

}  // namespace

class FrmLiveTextEmpfaengerTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> ordner_;
    std::unique_ptr<zelmo::start::ProgramState> state_;
    std::unique_ptr<zelmo::TelegramStore> store_;
    std::unique_ptr<FakeDialoge> dialoge_;
    std::unique_ptr<FrmLiveTextEmpfaenger> fenster_;
    Clock::time_point jetzt_;

    template <typename T>
    T* kind(const char* name) const {
        T* w = fenster_->findChild<T*>(QString::fromLatin1(name));
        if (w == nullptr)
            qFatal("control %s missing", name);
        return w;
    }
    QPushButton* knopf(const char* name) const { return kind<QPushButton>(name); }
    QLineEdit* box(const char* name) const { return kind<QLineEdit>(name); }
    QLabel* label(const char* name) const { return kind<QLabel>(name); }
    QListWidget* liste(const char* name) const { return kind<QListWidget>(name); }
    zelmo::widgets::ProgressWindow* fortschritt() const {
        return kind<zelmo::widgets::ProgressWindow>("ctlProgressbar1");
    }
    QString einstellungsDatei() const { return ordner_->filePath("LiveTextStartwerte.TXT"); }

    QStringList zeilen(const char* name) const {
        QStringList texte;
        const QListWidget* l = liste(name);
        for (int i = 0; i < l->count(); ++i)
            texte.append(l->item(i)->text());
        return texte;
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
        box("txtIPausUDPEmpfaenger")->setText(ip);
        box("txtPortausUDPEmpfaenger")->setText(port);
    }

    void verbinden(Sender& sender) {
        adresse(QStringLiteral("127.0.0.1"), sender.port());
        knopf("cmdVerbinden")->click();
        QTRY_COMPARE(knopf("cmdVerbinden")->text(), QStringLiteral("Trennen"));
        QTRY_VERIFY(sender.letzte() != nullptr);
    }

  private slots:
    void init() {
        ordner_ = std::make_unique<QTemporaryDir>();
        QVERIFY(ordner_->isValid());
        state_ = std::make_unique<zelmo::start::ProgramState>();
        state_->programFolder = ordner_->path().toStdString();
        store_ = std::make_unique<zelmo::TelegramStore>();
        dialoge_ = std::make_unique<FakeDialoge>();
        fenster_ = std::make_unique<FrmLiveTextEmpfaenger>(*state_, *store_, *dialoge_);
    }

    void cleanup() {
        fenster_.reset();
        dialoge_.reset();
        store_.reset();
        state_.reset();
        ordner_.reset();
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void ersteAktivierung() {
        QVERIFY(fenster_->windowIcon().isNull());
        QVERIFY(!liste("ListeClient")->isVisibleTo(fenster_.get()));
        zeigen();

        QVERIFY(!fenster_->windowIcon().isNull());
        QVERIFY(!kind<QToolButton>("ImageLiveTextPfadSuchen")->icon().isNull());
        QVERIFY(liste("ListeClient")->isVisible());
        QVERIFY(knopf("cmdListeClientLoeschen")->isVisible());
        QVERIFY(!knopf("cmdTransferTest")->isVisible());
        QCOMPARE(kind<QWidget>("CtlFraFuerServerdaten")->toolTip(),
                 QStringLiteral("Server automatisch starten und 'Button starten' nur wenn "
                                "LiveText an diesem Rechner angeschlossen ist!"));
        // 16800 x 6900 twips at the offscreen screen's 96 dpi.
        QCOMPARE(fenster_->logicalDpiX(), 96);
        QCOMPARE(fenster_->size(), QSize(1120, 460));
        // The settings were read: no file gives the defaults.
        QCOMPARE(box("txtIPausUDPEmpfaenger")->text(), QStringLiteral("Localhost"));

        // A later activation repeats nothing: the settings are not read again.
        QVERIFY(SchreibeDatei(einstellungsDatei(), "10.9.9.9\r\n4000\r\n0\r\nX\r\n0\r\n0\r\n"));
        box("txtIPausUDPEmpfaenger")->setText(QStringLiteral("10.1.1.1"));
        fenster_->hide();
        fenster_->show();
        fenster_->activateWindow();
        QCOMPARE(box("txtIPausUDPEmpfaenger")->text(), QStringLiteral("10.1.1.1"));
    }

    void startwerteLesen_data() {
        QTest::addColumn<QByteArray>("datei");
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("pfad");
        QTest::addColumn<QPoint>("position");
        const QPoint design(30, 40);
        QTest::newRow("keine Datei") << QByteArray() << "Localhost"
                                     << "3000"
                                     << "nicht bekannt" << design;
        QTest::newRow("vollständig")
            << QByteArray("10.0.0.5\r\n4100\r\n0\r\nC:\\LiveText\\Daten\r\n1500\r\n750\r\n")
            << "10.0.0.5"
            << "4100"
            << "C:\\LiveText\\Daten" << QPoint(100, 50);
        QTest::newRow("leere Werte") << QByteArray("\r\n\r\n\r\n\r\n\r\n\r\n") << "Localhost"
                                     << "3000"
                                     << "nicht bekannt" << design;
        QTest::newRow("Position 0 und negativ")
            << QByteArray("10.0.0.5\r\n4100\r\n0\r\nD:\\LT\r\n0\r\n-750\r\n") << "10.0.0.5"
            << "4100"
            << "D:\\LT" << design;
        QTest::newRow("nur links")
            << QByteArray("10.0.0.5\r\n4100\r\n0\r\nD:\\LT\r\n1500\r\nx\r\n") << "10.0.0.5"
            << "4100"
            << "D:\\LT" << QPoint(100, 40);
        QTest::newRow("ausserhalb jedes Bildschirms")
            << QByteArray("10.0.0.5\r\n4100\r\n0\r\nD:\\LT\r\n150000\r\n150000\r\n") << "10.0.0.5"
            << "4100"
            << "D:\\LT" << design;
        QTest::newRow("Umlaute im Pfad")
            << QByteArray("10.0.0.5\r\n4100\r\n0\r\nD:\\Gr\xFC\xDF\r\n") << "10.0.0.5"
            << "4100" << QString::fromUtf8("D:\\Grüß") << design;
    }
    void startwerteLesen() {
        QFETCH(QByteArray, datei);
        QFETCH(QString, ip);
        QFETCH(QString, port);
        QFETCH(QString, pfad);
        QFETCH(QPoint, position);
        if (!datei.isNull())
            QVERIFY(SchreibeDatei(einstellungsDatei(), datei));
        fenster_->move(30, 40);
        zeigen();

        QCOMPARE(box("txtIPausUDPEmpfaenger")->text(), ip);
        QCOMPARE(box("txtPortausUDPEmpfaenger")->text(), port);
        QCOMPARE(box("txtPfadZuLiveText")->text(), pfad);
        QCOMPARE(fenster_->Pfad(), pfad);
        QVERIFY(!kind<QCheckBox>("chkAutomatischVerbinden")->isChecked());
        QCOMPARE(fenster_->pos(), position);
        QVERIFY(!fenster_->verbindenLaeuft());
        QVERIFY(dialoge_->gezeigt.isEmpty());
    }

    void startwerteSchreiben() {
        zeigen();
        adresse(QStringLiteral("10.1.2.3"), QStringLiteral("4000"));
        kind<QCheckBox>("chkAutomatischVerbinden")->setChecked(true);
        box("txtPfadZuLiveText")->setText(QString::fromUtf8("/daten/Grüße"));
        fenster_->move(96, 48);

        knopf("cmdParameterSpeichern")->click();
        QCOMPARE(LeseDatei(einstellungsDatei()),
                 QByteArray("10.1.2.3\r\n4000\r\n1\r\n/daten/Gr\xFC\xDF"
                            "e\r\n1440\r\n720\r\n"));

        // Unloading writes what is on screen at that moment and releases the telegram data.
        store_->SetLatest(zelmo::JSONDecodieren(R"({"Startliste":{"Records":[]}})"));
        store_->StoreSections();
        box("txtPortausUDPEmpfaenger")->setText(QStringLiteral("4001"));
        kind<QCheckBox>("chkAutomatischVerbinden")->setChecked(false);
        QSignalSpy entladen(fenster_.get(), &FrmLiveTextEmpfaenger::entladen);
        QVERIFY(fenster_->close());
        QCOMPARE(entladen.count(), 1);
        QCOMPARE(LeseDatei(einstellungsDatei()),
                 QByteArray("10.1.2.3\r\n4001\r\n0\r\n/daten/Gr\xFC\xDF"
                            "e\r\n1440\r\n720\r\n"));
        QVERIFY(store_->Latest().IsNothing());
        QVERIFY(store_->Section("Startliste").IsNothing());
        QVERIFY(dialoge_->gezeigt.isEmpty());
    }

    void startwerteOhneSchreibbarenOrdner() {
        state_->programFolder = ordner_->filePath("fehlt").toStdString();
        zeigen();
        knopf("cmdParameterSpeichern")->click();
        QVERIFY(fenster_->close());
        QVERIFY(!QFile::exists(ordner_->filePath("fehlt/LiveTextStartwerte.TXT")));
        QVERIFY(dialoge_->gezeigt.isEmpty());
    }

    void falscheAdresseOderPort_data() {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("meldung");
        const QString ip = QStringLiteral("IP-Format stimmt nicht!");
        const QString port = QStringLiteral("Port-Format stimmt nicht!");
        QTest::newRow("Localhost") << "Localhost"
                                   << "3000" << ip;
        QTest::newRow("erster Teil unter 10") << "9.0.0.1"
                                              << "3000" << ip;
        QTest::newRow("drei Teile") << "10.0.0"
                                    << "3000" << ip;
        QTest::newRow("IP vor Port geprüft") << "a.b.c.d"
                                             << "x" << ip;
        QTest::newRow("Port Text") << "127.0.0.1"
                                   << "abc" << port;
        QTest::newRow("Port leer") << "127.0.0.1"
                                   << "" << port;
        QTest::newRow("Port 0") << "127.0.0.1"
                                << "0" << port;
        QTest::newRow("Port zu gross") << "127.0.0.1"
                                       << "65536" << port;
        QTest::newRow("Port mit Vorzeichen") << "127.0.0.1"
                                             << "+3000" << port;
    }
    void falscheAdresseOderPort() {
        QFETCH(QString, ip);
        QFETCH(QString, port);
        QFETCH(QString, meldung);
        zeigen();
        adresse(ip, port);
        knopf("cmdVerbinden")->click();

        QCOMPARE(dialoge_->gezeigt.size(), 1);
        QCOMPARE(dialoge_->gezeigt[0].text, meldung);
        QCOMPARE(dialoge_->gezeigt[0].titel, QStringLiteral("Zelmo-LiveText"));
        QCOMPARE(dialoge_->gezeigt[0].besitzer, static_cast<QWidget*>(fenster_.get()));
        // Nothing was attempted.
        QVERIFY(!fenster_->verbindenLaeuft());
        QVERIFY(!fortschritt()->isRunning());
        QVERIFY(fenster_->isEnabled());
        QVERIFY(knopf("cmdVerbinden")->isEnabled());
        QCOMPARE(label("lblConnectFehler")->text(), QStringLiteral("ConnectFehler"));
        QCOMPARE(zeilen("ListeClient"), QStringList());
    }

    void verbindenUndTrennenDurchBediener() {
        Sender sender;
        zeigen();
        uhrAnhalten();
        adresse(QStringLiteral("127.0.0.1"), sender.port());
        knopf("cmdVerbinden")->click();

        // While waiting: progress shown over a disabled window, busy pointer, button off.
        QVERIFY(fenster_->verbindenLaeuft());
        QVERIFY(fortschritt()->isRunning());
        QCOMPARE(fortschritt()->text(), QStringLiteral("Verbinde mit 127.0.0.1:") + sender.port());
        QCOMPARE(fortschritt()->value(), 0);
        QVERIFY(!fenster_->isEnabled());
        QVERIFY(!knopf("cmdVerbinden")->isEnabled());
        QVERIFY(QApplication::overrideCursor() != nullptr);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QVERIFY(!label("lblConnectFehler")->isVisible());

        QTRY_COMPARE(knopf("cmdVerbinden")->text(), QStringLiteral("Trennen"));
        QVERIFY(!fenster_->verbindenLaeuft());
        QVERIFY(!fortschritt()->isVisible());
        QVERIFY(fenster_->isEnabled());
        QVERIFY(knopf("cmdVerbinden")->isEnabled());
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QVERIFY(!box("txtIPausUDPEmpfaenger")->isEnabled());
        QVERIFY(!box("txtPortausUDPEmpfaenger")->isEnabled());
        QVERIFY(!label("lblConnectFehler")->isVisible());
        QCOMPARE(label("lblConnectFehler")->text(), QString());
        const qint32 socket = fenster_->linkClient().socketNumber();
        QVERIFY(socket > 0);
        QCOMPARE(zeilen("ListeClient"),
                 QStringList{QStringLiteral("TCPClient TCPConnect - Socket: %1").arg(socket)});

        knopf("cmdVerbinden")->click();
        QCOMPARE(knopf("cmdVerbinden")->text(), QStringLiteral("Verbinden"));
        QVERIFY(box("txtIPausUDPEmpfaenger")->isEnabled());
        QVERIFY(box("txtPortausUDPEmpfaenger")->isEnabled());
        QTRY_COMPARE(zeilen("ListeClient").size(), 2);
        QCOMPARE(zeilen("ListeClient").last(),
                 QStringLiteral("TCPClient TCPDisConnect - Socket: %1").arg(socket));
        QTRY_COMPARE(sender.letzte()->state(), QAbstractSocket::UnconnectedState);
        QVERIFY(!fenster_->linkClient().isConnected());
    }

    void trennenDurchSender() {
        Sender sender;
        zeigen();
        verbinden(sender);
        const qint32 socket = fenster_->linkClient().socketNumber();

        sender.letzte()->disconnectFromHost();
        QTRY_COMPARE(knopf("cmdVerbinden")->text(), QStringLiteral("Verbinden"));
        QCOMPARE(zeilen("ListeClient").last(),
                 QStringLiteral("TCPClient TCPDisConnect - Socket: %1").arg(socket));
        // The boxes stay as they were; the next click makes a new connection.
        QVERIFY(!box("txtIPausUDPEmpfaenger")->isEnabled());
        QVERIFY(!box("txtPortausUDPEmpfaenger")->isEnabled());

        knopf("cmdVerbinden")->click();
        QTRY_COMPARE(knopf("cmdVerbinden")->text(), QStringLiteral("Trennen"));
        QCOMPARE(sender.verbindungen.size(), 2);
    }

    void fortschrittUndZeitueberschreitung() {
        zeigen();
        uhrAnhalten();
        const QString port = FreierPort();
        adresse(QStringLiteral("127.0.0.1"), port);
        const Clock::time_point start = jetzt_;
        knopf("cmdVerbinden")->click();
        QVERIFY(fenster_->verbindenLaeuft());

        // A refused connection is not shown; the wait goes on until its time is up.
        jetzt_ = start + 2500ms;
        QTRY_COMPARE(fortschritt()->value(), 50);
        QVERIFY(fenster_->verbindenLaeuft());
        QVERIFY(!fenster_->isEnabled());

        jetzt_ = start + 5000ms;
        QTRY_VERIFY(!fenster_->verbindenLaeuft());
        QLabel* fehler = label("lblConnectFehler");
        QVERIFY(fehler->isVisible());
        QCOMPARE(fehler->text(), QStringLiteral("Konnte nicht mit 127.0.0.1:") + port +
                                     QStringLiteral(" verbinden!"));
        QCOMPARE(fehler->palette().color(QPalette::Window), QColor(255, 0, 0));
        QCOMPARE(fehler->palette().color(QPalette::WindowText), QColor(255, 255, 0));
        QVERIFY(fehler->autoFillBackground());
        QCOMPARE(knopf("cmdVerbinden")->text(), QStringLiteral("Verbinden"));
        QVERIFY(knopf("cmdVerbinden")->isEnabled());
        QVERIFY(fenster_->isEnabled());
        QVERIFY(!fortschritt()->isVisible());
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QVERIFY(box("txtIPausUDPEmpfaenger")->isEnabled());

        // A later success puts the label back into the window's colours and hides it.
        Sender sender;
        adresse(QStringLiteral("127.0.0.1"), sender.port());
        knopf("cmdVerbinden")->click();
        QTRY_COMPARE(knopf("cmdVerbinden")->text(), QStringLiteral("Trennen"));
        QVERIFY(!fehler->isVisible());
        QCOMPARE(fehler->palette().color(QPalette::Window),
                 fenster_->palette().color(QPalette::Window));
        QCOMPARE(fehler->palette().color(QPalette::WindowText),
                 fenster_->palette().color(QPalette::WindowText));
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
        QVERIFY(!fenster_->verbindenLaeuft());
        QVERIFY(label("lblConnectFehler")->isVisible());

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

    void telegrammWirdGezeigtUndQuittiert() {
        Sender sender;
        zeigen();
        verbinden(sender);

        const QByteArray unbekannt =
            R"({"Ereignis":{"Befehl":"Befehl","Status":"reiterneu","Wert1":"","Wert2":"",)"
            R"("Wert3":"","Wert4":""},"Startliste":{"Records":[{"Name":"Anna"}]}})";
        sender.senden(Rahmen(unbekannt));
        QTRY_COMPARE(sender.vonLetzter(), QByteArray("0000000012OK"));
        QCOMPARE(zeilen("ListEreignisse"),
                 QStringList{QString::fromLatin1(Rahmen(unbekannt).left(100))});
        QCOMPARE(label("LabelGAKomFehler")->text(), QStringLiteral("Falsche Abfragetext: ") +
                                                        QString::fromLatin1(unbekannt.left(100)));
        QVERIFY(!store_->Section("Startliste").IsNothing());

        // The label keeps its message until the next one; the sender's OK is logged.
        const QByteArray gut =
            R"({"Ereignis":{"Befehl":"Befehl","Status":"GAEin","Wert1":"1","Wert2":"","Wert3":"",)"
            R"("Wert4":""}})";
        sender.senden(Rahmen(gut) + "0000000012OK");
        QTRY_COMPARE(sender.vonLetzter(), QByteArray("0000000012OK0000000012OK"));
        QTRY_COMPARE(zeilen("ListeClient").size(), 2);
        QVERIFY(zeilen("ListeClient").last().startsWith(QStringLiteral("TCPClient DataArrival: ")));
        QCOMPARE(zeilen("ListEreignisse").size(), 2);
        QCOMPARE(label("LabelGAKomFehler")->text(), QStringLiteral("Falsche Abfragetext: ") +
                                                        QString::fromLatin1(unbekannt.left(100)));

        sender.senden(Rahmen("kein JSON"));
        QTRY_COMPARE(label("LabelGAKomFehler")->text(),
                     QStringLiteral("Fehler in der Datenauswertung!"));
    }

    void logsBehaltenIhreLetztenZeilen() {
        Sender sender;
        zeigen();
        verbinden(sender);

        QByteArray fuenfzehn;
        QStringList erwartet;
        for (int i = 1; i <= 15; ++i) {
            const QByteArray payload =
                R"({"Ereignis":{"Befehl":"Nein"},"Nummer":)" + QByteArray::number(i) + "}";
            fuenfzehn += Rahmen(payload);
            if (i >= 2)
                erwartet.append(QString::fromLatin1(Rahmen(payload)));
        }
        sender.senden(fuenfzehn);
        QTRY_COMPARE(sender.vonLetzter(), QByteArray("0000000012OK").repeated(15));
        QCOMPARE(zeilen("ListEreignisse"), erwartet);
        QCOMPARE(fenster_->telegrammLog().Size(), std::size_t{14});

        knopf("cmdListe1Loeschen")->click();
        QCOMPARE(liste("ListEreignisse")->count(), 0);
        sender.senden(Rahmen("{}"));
        QTRY_COMPARE(zeilen("ListEreignisse"), QStringList{QStringLiteral("0000000012{}")});

        // Client log: the connect line and eleven more; the last ten stay.
        for (int i = 1; i <= 11; ++i)
            fenster_->SchreibeInListeClient(QStringLiteral("Zeile %1").arg(i));
        QStringList letzteZehn;
        for (int i = 2; i <= 11; ++i)
            letzteZehn.append(QStringLiteral("Zeile %1").arg(i));
        QCOMPARE(zeilen("ListeClient"), letzteZehn);

        knopf("cmdListeClientLoeschen")->click();
        QCOMPARE(liste("ListeClient")->count(), 0);
        fenster_->SchreibeInListeClient(QStringLiteral("neu"));
        QCOMPARE(zeilen("ListeClient"), QStringList{QStringLiteral("neu")});
    }

    void langeZeileScrolltWaagerecht() {
        zeigen();
        QListWidget* l = liste("ListEreignisse");
        fenster_->SchreibeInListe1(QString(100, QLatin1Char('W')));
        QTRY_VERIFY(l->horizontalScrollBar()->maximum() > 0);
        knopf("cmdListe1Loeschen")->click();
        fenster_->SchreibeInListe1(QStringLiteral("kurz"));
        QTRY_COMPARE(l->horizontalScrollBar()->maximum(), 0);
    }

    void transferTestWartetAufJedeQuittung() {
        Sender sender;
        zeigen();
        verbinden(sender);
        knopf("cmdTransferTest")->click();

        QTRY_VERIFY(sender.vonLetzter().size() >= 14);
        QCOMPARE(sender.vonLetzter(), QByteArray("0000000014halo"));
        QVERIFY(fenster_->linkClient().ackPending());
        sender.senden("0000000012OK");

        const QByteArray zweiter = "0000200010" + QByteArray(200000, 'a');
        QTRY_COMPARE(sender.vonLetzter().size(), 14 + zweiter.size());
        QCOMPARE(sender.vonLetzter().mid(14), zweiter);
        sender.senden("0000000012OK");

        QTRY_COMPARE(sender.vonLetzter().size(), 14 + zweiter.size() + 19);
        QCOMPARE(sender.vonLetzter().right(19), QByteArray("0000000019Hallo\xC4\xFC\xDF\xD6"));
        sender.senden("0000000012OK");
        QTRY_VERIFY(!fenster_->linkClient().ackPending());
        QCOMPARE(zeilen("ListeClient").filter(QStringLiteral("OK empfangen")).size(), 3);
    }

    void transferTestOhneVerbindung() {
        zeigen();
        knopf("cmdTransferTest")->click();
        const QString zeile = QStringLiteral("Nicht versandt - Keine Socketnummer vorhanden!");
        QTRY_COMPARE(zeilen("ListeClient"), (QStringList{zeile, zeile, zeile}));
    }

    void automatischVerbindenBeimErstenKlick() {
        Sender sender;
        zeigen();
        adresse(QStringLiteral("127.0.0.1"), sender.port());
        auto* chk = kind<QCheckBox>("chkAutomatischVerbinden");

        chk->click();
        QCOMPARE(fenster_->startwerte().autoConnect, std::string("1"));
        QTRY_COMPARE(knopf("cmdVerbinden")->text(), QStringLiteral("Trennen"));
        knopf("cmdVerbinden")->click();
        QTRY_COMPARE(sender.letzte()->state(), QAbstractSocket::UnconnectedState);

        // Later clicks only keep the value.
        chk->click();
        QCOMPARE(fenster_->startwerte().autoConnect, std::string("0"));
        chk->click();
        QCOMPARE(fenster_->startwerte().autoConnect, std::string("1"));
        QVERIFY(!fenster_->verbindenLaeuft());
        QCOMPARE(knopf("cmdVerbinden")->text(), QStringLiteral("Verbinden"));
        QCOMPARE(sender.verbindungen.size(), 1);
    }

    void gespeichertesAutomatischVerbindenNurEinmal() {
        Sender sender;
        QVERIFY(SchreibeDatei(einstellungsDatei(), "127.0.0.1\r\n" + sender.port().toLatin1() +
                                                       "\r\n1\r\n/lt\r\n0\r\n0\r\n"));
        zeigen();
        QVERIFY(kind<QCheckBox>("chkAutomatischVerbinden")->isChecked());
        QTRY_COMPARE(knopf("cmdVerbinden")->text(), QStringLiteral("Trennen"));
        QCOMPARE(sender.verbindungen.size(), 1);

        knopf("cmdVerbinden")->click();
        QTRY_COMPARE(sender.letzte()->state(), QAbstractSocket::UnconnectedState);
        fenster_->hide();
        fenster_->show();
        fenster_->activateWindow();
        kind<QCheckBox>("chkAutomatischVerbinden")->click();
        kind<QCheckBox>("chkAutomatischVerbinden")->click();
        QVERIFY(!fenster_->verbindenLaeuft());
        QCOMPARE(knopf("cmdVerbinden")->text(), QStringLiteral("Verbinden"));
        QCOMPARE(sender.verbindungen.size(), 1);
    }

    void gespeichertesAutomatischVerbindenMitFalscherAdresse() {
        QVERIFY(SchreibeDatei(einstellungsDatei(), "\r\n\r\n1\r\n"));
        zeigen();
        QTRY_COMPARE(dialoge_->Meldungen(), QStringList{QStringLiteral("IP-Format stimmt nicht!")});
        QVERIFY(!fenster_->verbindenLaeuft());
    }

    void ordnerWahl_data() {
        QTest::addColumn<QString>("antwort");
        QTest::addColumn<bool>("vorhanden");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("mitglied");
        QTest::addColumn<QStringList>("meldungen");
        QTest::newRow("abgebrochen") << QString() << false << "vorher"
                                     << "vorher" << QStringList();
        QTest::newRow("vorhanden") << "Daten" << true << "<ordner>/Daten"
                                   << "<ordner>/Daten" << QStringList();
        QTest::newRow("nicht gefunden") << "fehlt" << false << "unbekannt"
                                        << "" << QStringList{"Pfad nicht gefunden!"};
    }
    void ordnerWahl() {
        QFETCH(QString, antwort);
        QFETCH(bool, vorhanden);
        QFETCH(QString, box);
        QFETCH(QString, mitglied);
        QFETCH(QStringList, meldungen);
        QVERIFY(SchreibeDatei(einstellungsDatei(), "10.0.0.1\r\n3000\r\n0\r\nvorher\r\n"));
        zeigen();
        if (!antwort.isEmpty())
            antwort = ordner_->filePath(antwort);
        if (vorhanden)
            QVERIFY(QDir(ordner_->path()).mkdir(QStringLiteral("Daten")));
        box.replace(QStringLiteral("<ordner>"), ordner_->path());
        mitglied.replace(QStringLiteral("<ordner>"), ordner_->path());
        dialoge_->pfadAntworten.enqueue(antwort);

        kind<QToolButton>("ImageLiveTextPfadSuchen")->click();
        QCOMPARE(dialoge_->gezeigt.first().art, FakeDialoge::Art::Ordner);
        QCOMPARE(dialoge_->gezeigt.first().titel, QStringLiteral("Suche LiveText Datenordner"));
        QCOMPARE(dialoge_->gezeigt.first().besitzer, static_cast<QWidget*>(fenster_.get()));
        QCOMPARE(this->box("txtPfadZuLiveText")->text(), box);
        QCOMPARE(QString::fromStdString(fenster_->startwerte().liveTextFolder), mitglied);
        QCOMPARE(dialoge_->Meldungen(), meldungen);
    }

    void adresseUndPortBeimVerlassenUebernommen() {
        zeigen();
        QLineEdit* ip = box("txtIPausUDPEmpfaenger");
        QLineEdit* port = box("txtPortausUDPEmpfaenger");
        fenster_->activateWindow();
        ip->setFocus();
        QTRY_VERIFY(ip->hasFocus());
        ip->setText(QStringLiteral("10.2.3.4"));
        QCOMPARE(fenster_->startwerte().address, std::string("Localhost"));
        port->setFocus();
        QTRY_COMPARE(fenster_->startwerte().address, std::string("10.2.3.4"));
        port->setText(QStringLiteral("4711"));
        ip->setFocus();
        QTRY_COMPARE(fenster_->startwerte().port, std::string("4711"));
    }

    void vorlagenSperrenHauptfensterUndEmpfangenEreignisse() {
        Sender sender;
        zeigen();
        verbinden(sender);
        QPointer<FakeEditor> editor;
        fenster_->setVorlagenAnschluss({[&]() -> QWidget* {
                                            editor = new FakeEditor;
                                            return editor;
                                        },
                                        [](QWidget* e, const QString& text) {
                                            static_cast<FakeEditor*>(e)->ereignisse.append(text);
                                        }});

        knopf("cmdVorlagen")->click();
        QVERIFY(editor);
        QVERIFY(editor->isVisible());
        QVERIFY(!fenster_->isEnabled());

        // Telegrams keep arriving while the main window is disabled; the active editor gets
        // the event.
        state_->vorlagenAktiv = true;
        sender.senden(Rahmen(R"({"Ereignis":{"Befehl":"Befehl","Status":"GAEin","Wert1":"1",)"
                             R"("Wert2":"","Wert3":"","Wert4":""}})"));
        QTRY_COMPARE(sender.vonLetzter(), QByteArray("0000000012OK"));
        QCOMPARE(editor->ereignisse, QStringList{QStringLiteral("GA Ein\x1b"
                                                                "1\x1b\x1b\x1b")});
        QCOMPARE(liste("ListEreignisse")->count(), 1);

        emit editor->geschlossen();
        QVERIFY(fenster_->isEnabled());
        QVERIFY(!state_->vorlagenAktiv);
        QTRY_VERIFY(editor.isNull());
        QVERIFY(fenster_->vorlagen() == nullptr);

        // A new editor is made on the next click.
        knopf("cmdVorlagen")->click();
        QVERIFY(editor);
        QVERIFY(!fenster_->isEnabled());
    }

    void vorlagenOeffnetDenEditor() {
        zeigen();
        knopf("cmdVorlagen")->click();
        auto* editor = qobject_cast<zelmo::windows::FrmVorlagen*>(fenster_->vorlagen());
        QVERIFY(editor != nullptr);
        QVERIFY(editor->isVisible());
        QVERIFY(editor->isEnabled());
        QVERIFY(!fenster_->isEnabled());
    }
};

QTEST_MAIN(FrmLiveTextEmpfaengerTest)
#include "FrmLiveTextEmpfaengerTest.moc"
