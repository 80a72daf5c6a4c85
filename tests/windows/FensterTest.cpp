// The program's windows as the operator uses them, each reached from the main window.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeView>
#include <QWindow>
#include <csignal>
#include <cstring>

#include "FakeDialoge.h"
#include "TestHilfen.h"
#include "app/Main.h"
#include "component/Collection.h"
#include "journal/LocalTime.h"
#include "journal/Show.h"
#include "link/Evaluation.h"
#include "net/LinkClient.h"
#include "platform/Platform.h"
#include "tools/ToolProcess.h"
#include "widgets/Auffrischer.h"
#include "widgets/CheckBoxCombo.h"
#include "widgets/DatenModell.h"
#include "widgets/Gitter.h"
#include "widgets/ProgressWindow.h"
#include "widgets/VorlageModell.h"
#include "windows/FrmFelderAuswahl.h"
#include "windows/FrmLiveTextEmpfaenger.h"
#include "windows/FrmVorlagen.h"

using namespace std::chrono_literals;
using namespace zelmo;
using namespace zelmo::test;
using namespace zelmo::widgets;
using namespace zelmo::windows;

namespace {

const char* const kIp = "txtIPausUDPEmpfaenger";
// A telegram whose event is "GA Ein" with Wert1 "1".
const QByteArray kGaEin = R"({"Ereignis":{"Befehl":"Befehl","Status":"GAEin","Wert1":"1",)"
                          R"("Wert2":"","Wert3":"","Wert4":""}})";
const char* const kPort = "txtPortausUDPEmpfaenger";

// That telegram with another Wert1, so that each one leaves its own trace in the output.
QByteArray GaEin(char wert) {
    return QByteArray(kGaEin).replace("\"1\"", QByteArray("\"") + wert + "\"");
}

// A subtree of the data view: a line per row, indented by depth, with its non-empty columns.
QString Abbild(const QAbstractItemModel& m, const QModelIndex& index, int tiefe = 0) {
    QStringList spalten;
    for (int c = 0; c < m.columnCount(); ++c)
        spalten.append(m.index(index.row(), c, index.parent()).data().toString());
    spalten.removeAll(QString());
    QString text = QString(tiefe * 2, ' ') + spalten.join(" | ") + "\n";
    for (int r = 0; r < m.rowCount(index); ++r)
        text += Abbild(m, m.index(r, 0, index), tiefe + 1);
    return text;
}

// Each file of a folder with its bytes.
QMap<QString, QByteArray> Dateien(const QDir& ordner) {
    QMap<QString, QByteArray> dateien;
    for (const QString& name : ordner.entryList(QDir::Files))
        dateien[name] = DateiInhalt(ordner.filePath(name));
    return dateien;
}

QModelIndex Zeile(const QAbstractItemModel& m, const QString& name, const QModelIndex& in = {}) {
    return m.match(m.index(0, 0, in), Qt::DisplayRole, name, 1, Qt::MatchExactly).value(0);
}

// Template lines whose events are single letters.
Vorlage Buchstaben(const QString& ereignisse) {
    std::vector<VorlageZeile> zeilen;
    for (const QChar e : ereignisse)
        zeilen.push_back(VorlageZeile{QString(e).toStdString()});
    return VorlageAus(zeilen);
}

// A platform whose checks pass unless its folder fails them; counts the instance locks held.
// Everything lies in its folder unless other folders are given.
class FakePlatform final : public platform::Platform {
  public:
    std::string folder;
    std::optional<platform::Folders> folders;
    int locksHeld = 0;

    platform::Folders FoldersInUse() override {
        return folders.value_or(platform::PortableFolders(folder));
    }
    bool IsAdministrator(const std::string&) override { return true; }
    std::unique_ptr<platform::InstanceLock> AcquireInstanceLock() override {
        struct Lock final : platform::InstanceLock {
            explicit Lock(int& zaehler) : held(zaehler) { ++held; }
            ~Lock() override { --held; }
            int& held;
        };
        return std::make_unique<Lock>(locksHeld);
    }
    std::string ProgramFolder() override { return folder; }
    void SetCurrentFolder(const std::string&) override {}
};

}  // namespace

class FensterTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> ordner_;
    std::unique_ptr<start::ProgramState> state_;
    std::unique_ptr<FakeDialoge> dialoge_;
    // The log book's clock, once a test sets it; it outlives the window.
    struct : journal::LocalClock {
        journal::LocalMoment Now() override { return jetzt; }
        journal::LocalMoment jetzt;
    } uhr_;
    std::unique_ptr<FrmLiveTextEmpfaenger> fenster_;
    QPointer<FrmVorlagen> editor_;
    QPointer<FrmFelderAuswahl> dialog_;
    std::chrono::steady_clock::time_point jetzt_;

    // The window's clock stands still until the test moves it.
    void neu() {
        fenster_ = std::make_unique<FrmLiveTextEmpfaenger>(*state_, state_->telegramme, *dialoge_);
        fenster_->setVerbindenUhr([this] { return jetzt_; }, 1ms);
    }
    template <typename T = QWidget>
    T* kind(const char* name) const {
        return Kind<T>(fenster_.get(), name);
    }
    QPushButton* knopf(const char* name) const { return kind<QPushButton>(name); }
    QLineEdit* box(const char* name) const { return kind<QLineEdit>(name); }
    QStringList zeilen(const char* name) const { return Texte(kind<QAbstractItemView>(name)); }
    QString datei(const char* name) const { return ordner_->filePath(name); }
    QByteArray startwerte() const { return DateiInhalt(datei("LiveTextStartwerte.TXT")); }
    void startwerte(const QByteArray& inhalt) {
        QVERIFY(DateiSchreiben(datei("LiveTextStartwerte.TXT"), inhalt));
    }

    // The connection controls as the operator sees them: the button, then what is locked or shown.
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
        auto* fortschritt = kind<ProgressWindow>("ctlProgressbar1");
        falls(fortschritt->isVisible(), fortschritt->text());
        falls(kind("lblConnectFehler")->isVisible(), kind<QLabel>("lblConnectFehler")->text());
        falls(QApplication::overrideCursor() != nullptr, "Sanduhr");
        falls(kind("lblWiederverbinden")->isVisible(), kind<QLabel>("lblWiederverbinden")->text());
        return teile.join(" | ");
    }
    void zeigen() {
        fenster_->show();
        QVERIFY(QTest::qWaitForWindowExposed(fenster_.get()));
    }
    void adresse(const QString& ip, const QString& port) {
        box(kIp)->setText(ip);
        box(kPort)->setText(port);
    }
    // Shown and connected to the sender.
    void verbinden(Sender& sender) {
        zeigen();
        adresse("127.0.0.1", sender.port());
        knopf("cmdVerbinden")->click();
        QTRY_COMPARE(knopf("cmdVerbinden")->text(), "Trennen");
        QTRY_VERIFY(sender.letzte() != nullptr);
    }

    // The template editor as "Vorlagen" opens it, over the given lines.
    void vorlagen(const Vorlage& vorlage) {
        knopf("cmdVorlagen")->click();
        editor_ = qobject_cast<FrmVorlagen*>(fenster_->vorlagen());
        QVERIFY(editor_ && !fenster_->isEnabled());
        editor_->modell().Ersetzen(vorlage);
    }
    // The editor active over a line that writes the event's Wert1 into "aus/uhr.txt".
    void uhrVorlage() {
        QVERIFY(QDir(ordner_->path()).mkpath("aus"));
        box("txtPfadZuLiveText")->setText(datei("aus"));
        vorlagen(
            VorlageAus({{"GA Ein", "Alle", "", "", "Alle", "", "01", "uhr", "Ereignis", "Wert1"}}));
        QVERIFY(QTest::qWaitForWindowActive(editor_));
    }
    // On air: connected, the editor over that line.
    void aufSendung(Sender& sender) {
        verbinden(sender);
        uhrVorlage();
    }
    QByteArray uhrTxt() const { return DateiInhalt(datei("aus/uhr.txt")); }
    // The log book's clock reads 2026-12-07 14:03:12.345+01:00 until the test moves it.
    void uhrStellen() {
        fenster_->protokoll().SetClock(uhr_);
        uhr_.jetzt = {1796648592345, 3600};
    }
    QByteArray tagesprotokoll() const { return DateiInhalt(datei("Protokolle/2026-12-07.log")); }
    // "Probelauf…" in `von` (the main window or the editor) opens the dialog, unless it is open;
    // a show other than the one offered, the pace, "Starten".
    void probelauf(QWidget* von, const QString& show, const char* tempo) {
        if (!fenster_->probelaufDialog())
            Kind<QPushButton>(von, "cmdProbelauf")->click();
        QWidget* dialog = fenster_->probelaufDialog();
        QVERIFY(dialog && dialog->isVisible());
        if (!show.isNull())
            Kind<QLineEdit>(dialog, "txtShowdatei")->setText(show);
        Kind<QRadioButton>(dialog, tempo)->click();
        Kind<QPushButton>(dialog, "cmdStarten")->click();
    }
    QString linie() const { return kind<QLabel>("lblTelegrammAlter")->text(); }
    // A row's tool tip: the time its line was logged.
    QVariant tipp(QWidget* eltern, const char* liste, int zeile = 0) const {
        const QAbstractItemModel* m = Kind<QAbstractItemView>(eltern, liste)->model();
        return m->index(zeile, 0).data(Qt::ToolTipRole);
    }

    template <typename T = QPushButton>
    T* e(const QString& name) {
        return Kind<T>(editor_.data(), name);
    }
    Gitter* gitter() { return e<Gitter>("CtlLXEreignisse"); }
    // The editor's state line and its colours.
    QString zustand() {
        const auto* zeile = e<QLabel>("lblAusgabeZustand");
        return zeile->text() + " / " + zeile->styleSheet();
    }
    // The events of the grid's lines, then the current cell.
    QString raster() {
        return Texte(gitter()).join("") +
               QString(" %1,%2").arg(gitter()->AktuelleZeile()).arg(gitter()->AktuelleSpalte());
    }
    const VorlageZeile& zeile(std::size_t r) { return editor_->modell().vorlage().Zeile(r); }

    // The field dialog for line 1 of three, as "Bearbeiten" opens it.
    void feldAuswahl(const VorlageZeile& zeile) {
        vorlagen(VorlageAus({VorlageZeile{"davor"}, zeile, VorlageZeile{"danach"}}));
        gitter()->SetzeAktuelleZelle(1, 3);
        e("cmdBearbeiten")->click();
        dialog_ = editor_->feldAuswahl();
        QVERIFY(dialog_ && dialog_->Zeile() == 1 && !editor_->isEnabled());
    }
    template <typename T = QPushButton>
    T* d(const QString& name) {
        return Kind<T>(dialog_.data(), name);
    }
    CheckBoxCombo* tabellen(int k) { return d<CheckBoxCombo>(QString("CBComboTabellen%1").arg(k)); }
    CheckBoxCombo* felder(int k) { return d<CheckBoxCombo>(QString("CBComboFelder%1").arg(k)); }
    // A slot as shown: the checked table, the fields offered, those checked, their list.
    QString slot(int k) {
        return QStringList{tabellen(k)->Text(), Texte(felder(k)).join(','), felder(k)->Text(),
                           Texte(d<QListWidget>(QString("listBoxFelder%1").arg(k))).join(',')}
            .join(" | ");
    }

  private slots:
    void init() {
        ordner_ = std::make_unique<QTemporaryDir>();
        QVERIFY(ordner_->isValid());
        state_ = std::make_unique<start::ProgramState>();
        state_->folders = platform::PortableFolders(ordner_->path().toStdString());
        start::Catalogues& k = state_->kataloge;
        k.TabellenKatalog = JSONDecodieren(
            R"({"Ereignis": ["Status", "Zeit"], "Startliste": ["Name", "Land", "Pferd"],)"
            R"( "Pruefung": ["Ort", "Name"], "Leer": []})");
        k.EreignisListe = JSONDecodieren(R"(["Start", "Ziel", "Zwischenzeit"])");
        dialoge_ = std::make_unique<FakeDialoge>();
        jetzt_ = std::chrono::steady_clock::now();
        neu();
    }
    void cleanup() {
        fenster_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!editor_ && !dialog_);
        // A busy pointer left behind would stay for the rest of the program.
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void ersteAktivierungLiestStartwerteEinmal_data() {
        QTest::addColumn<QByteArray>("kanten");  // left and top in twips; null: no file
        QTest::addColumn<QPoint>("position");    // the design position is (30, 40)
        QTest::newRow("keine Datei") << QByteArray() << QPoint(30, 40);
        QTest::newRow("Twips") << QByteArray("1500\r\n750") << QPoint(100, 50);
        QTest::newRow("nur links") << QByteArray("1500\r\nx") << QPoint(100, 40);
        QTest::newRow("ausserhalb") << QByteArray("150000\r\n150000") << QPoint(30, 40);
    }
    void ersteAktivierungLiestStartwerteEinmal() {
        QFETCH(QByteArray, kanten);
        QFETCH(QPoint, position);
        if (!kanten.isNull())
            startwerte("10.0.0.5\r\n4100\r\n0\r\nD:\\Gr\xFC\xDF\r\n" + kanten + "\r\n");
        fenster_->setGeometry(QRect(QPoint(30, 40), fenster_->size()));
        zeigen();
        QCOMPARE(box(kIp)->text() + ':' + box(kPort)->text() + ' ' + fenster_->Pfad(),
                 kanten.isNull() ? "Localhost:3000 nicht bekannt" : "10.0.0.5:4100 D:\\Grüß");
        // The stored edges are the client area's (the offscreen frame is 2 px wide).
        QCOMPARE(fenster_->geometry().topLeft(), position);
        QCOMPARE(fenster_->frameGeometry().topLeft(), position - QPoint(2, 2));
        // 16800 x 6900 twips at the offscreen screen's 96 dpi; the client log appears.
        QCOMPARE(fenster_->size(), QSize(1120, 460));
        QVERIFY(kind("ListeClient")->isVisible() && !knopf("cmdTransferTest")->isVisible());
        // A later show does not read the settings again over the operator's input.
        startwerte("10.9.9.9\r\n4000\r\n0\r\nX\r\n0\r\n0\r\n");
        fenster_->hide();
        fenster_->show();
        QVERIFY(box(kIp)->text() != "10.9.9.9");
    }

    // What is on screen is written on demand and at closing; the next start changes nothing.
    void startwerteSchreiben() {
        const QString zusatz = datei("LiveTextZusatzwerte.TXT");
        QVERIFY(DateiSchreiben(zusatz,
                               "Anderes=1\r\nWarnungOhneTelegrammNachSekunden=60\r\n"
                               "AutomatischWiederverbinden=1\r\n"));
        zeigen();
        auto* warnung = kind<QSpinBox>("txtWarnungNachSekunden");
        auto* wiederverbinden = kind<QCheckBox>("chkAutomatischWiederverbinden");
        QVERIFY(warnung->value() == 60 && wiederverbinden->isChecked());
        warnung->setValue(90);
        wiederverbinden->setChecked(false);
        adresse("10.1.2.3", "4000");
        kind<QCheckBox>("chkAutomatischVerbinden")->setChecked(true);
        // The folder chooser: cancelled, a folder that is not there, then one that is.
        const QByteArray daten = ordner_->path().toLatin1() + "/Gr\xFC\xDF";
        QVERIFY(QDir(ordner_->path()).mkdir("Grüß"));
        dialoge_->pfadAntworten = {"", datei("fehlt"), datei("Grüß")};
        QStringList pfade;
        for (int i = 0; i < 3; ++i) {
            kind<QToolButton>("ImageLiveTextPfadSuchen")->click();
            pfade.append(fenster_->Pfad());
        }
        QCOMPARE(pfade, (QStringList{"nicht bekannt", "unbekannt", datei("Grüß")}));
        QCOMPARE(dialoge_->gezeigt[0].titel, "Suche LiveText Datenordner");
        QCOMPARE(dialoge_->meldungen, QStringList{"Pfad nicht gefunden!"});
        // The chooser opens in the LiveText folder, or at home while there is none.
        kind<QToolButton>("ImageLiveTextPfadSuchen")->click();
        QCOMPARE(dialoge_->gezeigt[0].ordner + " " + dialoge_->gezeigt.last().ordner,
                 QDir::homePath() + " " + datei("Grüß"));
        fenster_->setGeometry(QRect(QPoint(96, 48), fenster_->size()));
        auto* gespeichert = kind<QLabel>("lblParameterGespeichert");
        QVERIFY(!gespeichert->isVisibleTo(fenster_.get()));
        fenster_->setUhrzeit([] { return QTime(14, 3, 12); });
        knopf("cmdParameterSpeichern")->click();
        QVERIFY(gespeichert->isVisible());
        QCOMPARE(gespeichert->text(), "Parameter gespeichert um 14:03:12");
        QCOMPARE(startwerte(), "10.1.2.3\r\n4000\r\n1\r\n" + daten + "\r\n1440\r\n720\r\n");
        QCOMPARE(DateiInhalt(zusatz), QByteArray("Anderes=1\r\nWarnungOhneTelegrammNachSekunden="
                                                 "90\r\nAutomatischWiederverbinden=0\r\n"));
        // A settings file that cannot be written is not reported as saved.
        const std::string ordner = state_->folders.settings;
        state_->folders.settings = datei("fehlt").toStdString();
        knopf("cmdParameterSpeichern")->click();
        QCOMPARE(gespeichert->text(), "Parameter konnten nicht gespeichert werden!");
        state_->folders.settings = ordner;

        // Unloading writes what is on screen at that moment.
        box(kPort)->setText("4001");
        kind<QCheckBox>("chkAutomatischVerbinden")->setChecked(false);
        QSignalSpy entladen(fenster_.get(), &FrmLiveTextEmpfaenger::entladen);
        QVERIFY(fenster_->close() && entladen.count() == 1);
        const QByteArray geschlossen = "10.1.2.3\r\n4001\r\n0\r\n" + daten + "\r\n1440\r\n720\r\n";
        QCOMPARE(startwerte(), geschlossen);
        neu();
        zeigen();
        QVERIFY(fenster_->close());
        QCOMPARE(startwerte(), geschlossen);
    }

    // Wrong input is reported, a late attempt given up, a connection locks the address; the
    // freshness line says when the link has gone quiet.
    void verbindenEmpfangenUndTrennen() {
        Sender sender;
        zeigen();
        auto* alter = kind<QLabel>("lblTelegrammAlter");
        const auto frische = [&] {
            return alter->text() + " / " + alter->palette().color(QPalette::Window).name();
        };
        QCOMPARE(frische(), "Keine Verbindung / #dcdcdc");
        adresse("a.b.c.d", "x");  // the address is checked first
        knopf("cmdVerbinden")->click();
        adresse("127.0.0.1", "0");
        knopf("cmdVerbinden")->click();
        QCOMPARE(dialoge_->meldungen,
                 (QStringList{"IP-Format stimmt nicht!", "Port-Format stimmt nicht!"}));
        QCOMPARE(dialoge_->gezeigt[0].titel, "Zelmo-LiveText");
        QCOMPARE(anzeige() + zeilen("ListeClient").join(""), "Verbinden");

        // Nobody listens on a port just given up: refused at once, yet the wait runs its time.
        const QString frei = Sender().port();
        box(kPort)->setText(frei);
        const auto start = jetzt_;
        knopf("cmdVerbinden")->click();
        jetzt_ = start + 2500ms;
        QTRY_COMPARE(kind<ProgressWindow>("ctlProgressbar1")->value(), 50);
        const QString ziel = "127.0.0.1:" + frei;
        QCOMPARE(anzeige(), "Verbinden | Fenster gesperrt | Knopf gesperrt | Verbinde mit " + ziel +
                                " | Sanduhr");
        jetzt_ = start + 5000ms;
        QTRY_COMPARE(anzeige(), "Verbinden | Konnte nicht mit " + ziel + " verbinden!");
        const QPalette rot = kind("lblConnectFehler")->palette();
        QVERIFY(rot.color(QPalette::Window) == Qt::red &&
                rot.color(QPalette::WindowText) == Qt::yellow);
        verbinden(sender);
        QCOMPARE(anzeige(), "Trennen | IP gesperrt | Port gesperrt");
        const QString socket = QString::number(fenster_->linkClient().socketNumber());
        QCOMPARE(zeilen("ListeClient"), QStringList{"TCPClient TCPConnect - Socket: " + socket});
        QCOMPARE(frische(), "Verbunden – noch kein Telegramm (seit 0 s) / #dcdcdc");

        const QByteArray unbekannt =
            R"({"Ereignis":{"Befehl":"Befehl","Status":"reiterneu","Wert1":"","Wert2":"",)"
            R"("Wert3":"","Wert4":""},"Startliste":{"Records":[{"Name":"Anna"}]}})";
        QVERIFY(sender.quittiert(unbekannt));
        QTRY_COMPARE(zeilen("ListEreignisse"), QStringList{QString(Rahmen(unbekannt).left(100))});
        // A line wider than the list can be scrolled into view whole.
        auto* telegramme = kind<QAbstractItemView>("ListEreignisse");
        QVERIFY(telegramme->horizontalScrollBar()->maximum() + telegramme->viewport()->width() >=
                telegramme->fontMetrics().horizontalAdvance(zeilen("ListEreignisse")[0]));
        QCOMPARE(kind<QLabel>("LabelGAKomFehler")->text(),
                 "Falsche Abfragetext: " + QString(unbekannt.left(100)));
        knopf("cmdListe1Loeschen")->click();
        QVERIFY(zeilen("ListEreignisse").isEmpty() && fenster_->telegrammLog().Lines().empty());
        QCOMPARE(frische(), "Letztes Telegramm vor 0 s / #1e7b34");
        kind<QSpinBox>("txtWarnungNachSekunden")->setValue(60);
        jetzt_ += 75s;
        QTRY_COMPARE(frische(), "Seit 1 min 15 s kein Telegramm! / #ff0000");
        kind<QSpinBox>("txtWarnungNachSekunden")->setValue(90);
        QCOMPARE(frische(), "Letztes Telegramm vor 1 min 15 s / #1e7b34");

        knopf("cmdVerbinden")->click();
        QCOMPARE(anzeige(), "Verbinden");
        QTRY_COMPARE(zeilen("ListeClient").last(), "TCPClient TCPDisConnect - Socket: " + socket);
        // When the sender closes, the address stays locked.
        verbinden(sender);
        sender.letzte()->disconnectFromHost();
        QTRY_COMPARE(anzeige(), "Verbinden | IP gesperrt | Port gesperrt");
        knopf("cmdListeClientLoeschen")->click();
        QVERIFY(zeilen("ListeClient").isEmpty() && fenster_->clientLog().Lines().empty());
    }

    // The stored tick connects once. A lost connection is tried again every five seconds until
    // the sender is back; "Trennen", before or while waiting, ends that.
    void automatischVerbindenUndWiederverbinden() {
        Sender sender;
        startwerte("127.0.0.1\r\n" + sender.port().toLatin1() + "\r\n1\r\n/lt\r\n0\r\n0\r\n");
        zeigen();
        kind<QCheckBox>("chkAutomatischWiederverbinden")->setChecked(true);
        const QString gesperrt = QStringLiteral("Trennen | IP gesperrt | Port gesperrt");
        QTRY_COMPARE(anzeige(), gesperrt);
        knopf("cmdVerbinden")->click();
        QTRY_VERIFY(zeilen("ListeClient").last().startsWith("TCPClient TCPDisConnect"));
        QCOMPARE(anzeige(), "Verbinden");
        // Unticked and ticked again by hand: no second connection.
        kind<QCheckBox>("chkAutomatischVerbinden")->click();
        kind<QCheckBox>("chkAutomatischVerbinden")->click();
        QCOMPARE(anzeige(), "Verbinden");
        verbinden(sender);

        // The sender goes away: no progress window, a countdown in the connection frame.
        const quint16 port = sender.server.serverPort();
        sender.server.close();
        sender.letzte()->disconnectFromHost();
        QTRY_COMPARE(anzeige(), gesperrt + " | Nächster Verbindungsversuch in 5 s (bisher 0)");
        jetzt_ += 3s;
        QTRY_COMPARE(anzeige(), gesperrt + " | Nächster Verbindungsversuch in 2 s (bisher 0)");
        jetzt_ += 2s;
        QTRY_COMPARE(anzeige(), gesperrt + " | Verbindungsversuch 1 läuft, nächster in 5 s");
        // It comes back once the attempt was refused: a port open again before the refusal
        // arrived lets that attempt connect just as the clock's jump abandons it.
        const auto* socket = fenster_->linkClient().findChild<QTcpSocket*>();
        QTRY_COMPARE(socket->state(), QAbstractSocket::UnconnectedState);
        QVERIFY(sender.server.listen(QHostAddress::LocalHost, port));
        jetzt_ += 5s;
        QTRY_COMPARE(sender.verbindungen.size(), 3);
        QTRY_COMPARE(anzeige(), gesperrt);
        QVERIFY(sender.quittiert(R"({"Ereignis":{"Befehl":"Nein"}})"));

        sender.letzte()->disconnectFromHost();
        QTRY_VERIFY(anzeige().endsWith("(bisher 0)"));
        knopf("cmdVerbinden")->click();
        QCOMPARE(anzeige(), "Verbinden");
        jetzt_ += 60s;
        QTest::qWait(20);  // the window's ticks see the new time; an attempt would show
        QCOMPARE(anzeige(), "Verbinden");
    }

    // The data view follows the store with row changes (a view keeps its selection), filters,
    // and names what is selected as a template line would.
    void datenFenster() {
        DatenModell& modell = fenster_->datenModell();
        QAbstractItemModelTester pruefer(&modell,
                                         QAbstractItemModelTester::FailureReportingMode::QtTest);
        QDateTime jetzt;
        modell.setUhr([&] { return jetzt; });
        const auto telegramm = [&](const std::string& startliste, int sekunden) {
            jetzt = QDateTime(QDate(2024, 6, 15), QTime(10, 0, sekunden));
            Auswerten(R"({"Ereignis":{"Befehl":"Nein"},"AktUml":{"Umlauf":"2"},"Startliste":)" +
                          startliste + "}",
                      state_->telegramme, false, {});
            modell.Abgleichen();
        };
        const auto startliste = [&] { return Abbild(modell, Zeile(modell, "Startliste")); };
        QCOMPARE(startliste() + QString::number(modell.rowCount()),
                 "Startliste | nicht empfangen | Satzliste\n17");
        telegramm(R"({"Records":[{"Name":"Anna","Land":"GER"},{"Name":"Bea"},)"
                  R"({"Name":"Dora","Pferd":{"Name":"Max"}}],"Anzahl":2})",
                  5);
        const QPersistentModelIndex anna =
            Zeile(modell, "Name", Zeile(modell, "Satz 0", Zeile(modell, "Startliste")));
        QCOMPARE(startliste(),
                 "Startliste | 3 Sätze, ausgegeben: 2 | Satzliste | 10:00:05\n"
                 "  Satz 0\n    Name | Anna\n    Land | GER\n"
                 "  Satz 1\n    Name | Bea\n"
                 "  Satz 2 | wird nicht ausgegeben\n    Name | Dora\n"
                 "    Pferd | Objekt, 1 Eintrag\n      Name | Max\n"
                 "  Anzahl | 2\n");
        // Sent again unchanged later: no change.
        for (const int sekunden : {9, 12}) {
            telegramm(R"({"Records":[{"Name":"Anna","Land":"GER"},{"Name":"Cleo"}],"n":2})",
                      sekunden);
            QCOMPARE(startliste(),
                     "Startliste | 2 Sätze | Satzliste | 10:00:09\n"
                     "  Satz 0\n    Name | Anna\n    Land | GER\n"
                     "  Satz 1\n    Name | Cleo\n  n | 2\n");
        }
        QCOMPARE(anna.data().toString(), "Name");

        knopf("cmdDaten")->click();
        QWidget* daten = fenster_->daten();
        QVERIFY(QTest::qWaitForWindowActive(daten) && daten->isEnabled());
        auto* baum = Kind<QTreeView>(daten, "baumDaten");
        const QAbstractItemModel& m = *baum->model();
        Kind<QLineEdit>(daten, "txtFilter")->setText("cLEo");
        QCOMPARE(Abbild(m, m.index(0, 0)) + QString::number(m.rowCount()),
                 "Startliste | 2 Sätze | Satzliste | 10:00:09\n"
                 "  Satz 1\n    Name | Cleo\n1");
        const auto waehle = [&](const QModelIndex& index) {
            baum->setCurrentIndex(index);
            return Kind<QLabel>(daten, "lblAuswahl")->text();
        };
        QCOMPARE(waehle(m.index(0, 0, m.index(0, 0, m.index(0, 0)))),
                 "Tabelle: Startliste    Feld: Name    LiveText: Startliste.Name_1");
        Kind<QLineEdit>(daten, "txtFilter")->clear();
        QCOMPARE(waehle(Zeile(m, "Umlauf", Zeile(m, "AktUml"))),
                 "Tabelle: AktUml    Feld: Umlauf    LiveText: AktUml.Umlauf");
        // A section's own member of a record list is nothing a template line can write.
        QCOMPARE(waehle(Zeile(m, "n", Zeile(m, "Startliste"))), "Tabelle: Startliste    Feld: n");
        QVERIFY(fenster_->close() && fenster_->daten() == nullptr);
    }

    void rowCommandsMoveTheCurrentCellAlong() {
        vorlagen(Buchstaben("A"));
        const struct {
            const char *knopf, *vorher;
            int zeile;
            const char* nachher;
        } faelle[] = {{"cmdPlus", "ABC", 0, "AABC 1,0"},   {"cmdMinus", "ABC", 2, "AB 1,0"},
                      {"cmdMinus", "A", 0, " 0,0"},        {"cmdHoch", "ABC", 2, "ACB 1,0"},
                      {"cmdHoch", "ABC", 0, "ABC 0,2"},    {"cmdHerunter", "ABC", 0, "BAC 1,0"},
                      {"cmdHerunter", "ABC", 2, "ABC 2,2"}};
        for (const auto& f : faelle) {
            editor_->modell().Ersetzen(Buchstaben(f.vorher));
            gitter()->SetzeAktuelleZelle(f.zeile, 2);
            e(f.knopf)->click();
            QCOMPARE(QString(f.knopf) + ' ' + raster(), QString(f.knopf) + ' ' + f.nachher);
        }
        gitter()->setCurrentIndex(QModelIndex());
        for (const char* knopf : {"cmdBearbeiten", "cmdHoch", "cmdHerunter", "cmdPlus", "cmdMinus"})
            e(knopf)->click();
        QCOMPARE(dialoge_->meldungen, QStringList(5, "Bitte erst eine Zeile auswählen!"));
        QCOMPARE(raster(), "ABC -1,-1");
        QVERIFY(editor_->feldAuswahl() == nullptr);
    }

    // Tabelle and Feld cells hold lines (CR LF in the template); Enter in one starts a line.
    void multiLineCellsAndTheKeysOfTheGrid() {
        vorlagen(Buchstaben("AB"));
        auto& m = editor_->modell();
        QVERIFY(m.setData(m.index(0, 9), "a\nb\r\nc\rd\n\n"));
        QCOMPARE(m.vorlage().Zelle(0, 9), std::string("a\r\nb\r\nc\r\nd"));
        QCOMPARE(m.index(0, 9).data().toString(), "a\nb\nc\nd");
        gitter()->SetzeAktuelleZelle(1, 8);
        gitter()->edit(m.index(1, 8));
        auto* zelle = gitter()->findChild<QPlainTextEdit*>();
        QVERIFY(zelle != nullptr);
        QTest::keyClicks(zelle, "Startliste");
        QTest::keyClick(zelle, Qt::Key_Return);
        QTest::keyClicks(zelle, "Pruefung");
        gitter()->setFocus();
        gitter()->SetzeAktuelleZelle(1, 0);
        QTRY_COMPARE(m.vorlage().Zelle(1, 8), std::string("Startliste\r\nPruefung"));
        QVERIFY(editor_->feldAuswahl() == nullptr);
        for (const auto& [taste, mit] : {std::pair{Qt::Key_Enter, Qt::KeypadModifier},
                                         std::pair{Qt::Key_A, Qt::ControlModifier}}) {
            QTest::keyClick(gitter(), taste, mit);
            QVERIFY(editor_->feldAuswahl() != nullptr);
            editor_->feldAuswahl()->close();
        }
        QTest::keyClick(gitter(), Qt::Key_Up);
        QCOMPARE(raster(), "AB 0,0");
    }

    void savingAndLoadingThroughTheFileDialogs() {
        const VorlageZeile zeile = {"E1", "Alle", "Alle",  "Alle",     "Alle",
                                    "",   "01",   "datei", "T1\r\nT2", "f1,f2\r\nf3"};
        vorlagen(VorlageAus({zeile}));
        e<QRadioButton>("OptCSVNurDaten")->click();
        e<QLineEdit>("txtTrenner")->setText(";");
        // Cancelled, refused and failed attempts change nothing; a failed write is reported.
        dialoge_->pfadAntworten = {"", datei("a|b.json"), datei("fehlt/v.json")};
        for (int i = 0; i < 3; ++i)
            e("cmdProjektSpeichern")->click();
        const auto laden = [&](const QByteArray& inhalt) {
            QVERIFY(DateiSchreiben(datei("v.json"), inhalt));
            dialoge_->pfadAntworten = {datei("v.json")};
            e("cmdProjektEinlesen")->click();
        };
        e("cmdProjektEinlesen")->click();
        laden("{kein");
        laden(R"({"Zeilen": []})");
        laden(R"({"Vorlage": {"Zeilen": []}, "Ausgabeformat": [{"Type": "OptLiveText"}]})");
        QStringList meldungen = dialoge_->meldungen;
        for (QString& meldung : meldungen)
            meldung = meldung.section("\r\n", 0, 0);
        QCOMPARE(meldungen, (QStringList{"Dateiname enthält ungülige Zeichen!",
                                         "! Vorlage konnte nicht gespeichert werden:",
                                         "! JSON Auswertefehler", "Keine LiveText Datei!"}));
        QVERIFY(!QFile::exists(datei("a|b.json")));
        QCOMPARE(editor_->windowTitle(), "Vorlagen");
        QCOMPARE(editor_->modell().vorlage().Zeilen(), std::vector<VorlageZeile>{zeile});
        QVERIFY(e<QRadioButton>("OptCSVNurDaten")->isChecked());

        dialoge_->meldungen.clear();
        QVERIFY(QDir(ordner_->path()).mkdir("vorlagen"));
        const QString gespeichert = datei("vorlagen/LiveText.json");
        dialoge_->pfadAntworten = {gespeichert};
        e("cmdProjektSpeichern")->click();
        // A file without a format goes back to LiveText and ','; the saved one brings back the
        // line, the format and the separator.
        laden(R"({"Vorlage": {"Zeilen": [["X","","","","","","","","",""],)"
              R"(["Y","","","","","","","","",""]]}})");
        QCOMPARE(raster() + e<QLineEdit>("txtTrenner")->text(), "XY 0,0,");
        QVERIFY(e<QRadioButton>("OptLiveText")->isChecked());
        gitter()->SetzeAktuelleZelle(1, 3);
        dialoge_->pfadAntworten = {gespeichert};
        e("cmdProjektEinlesen")->click();
        QCOMPARE(editor_->modell().vorlage().Zeilen(), std::vector<VorlageZeile>{zeile});
        QCOMPARE(raster() + e<QLineEdit>("txtTrenner")->text(), "E1 0,0;");
        QVERIFY(e<QRadioButton>("OptCSVNurDaten")->isChecked());
        QCOMPARE(editor_->windowTitle(),
                 "Vorlagen -" + gespeichert + " - " + datei("v.json") + " - " + gespeichert);
        QCOMPARE(dialoge_->meldungen,
                 (QStringList{"File gespeichert", "Vorlage eingelesen", "Vorlage eingelesen"}));
        // The file dialogs open beside the program until a template was read or written, then
        // in that template's folder.
        QStringList ordner;
        for (const auto& dialog : dialoge_->gezeigt) {
            if (dialog.titel.startsWith("Vorlage "))
                ordner.append(dialog.ordner);
        }
        QCOMPARE(ordner, QStringList(8, ordner_->path()) +
                             (QStringList{datei("vorlagen"), ordner_->path()}));
    }

    // Output goes on while a message box or another program has the focus; the field dialog
    // stops it.
    void vorlagenAktivFollowsActivationAndTheFieldDialog() {
        Sender sender;
        verbinden(sender);
        vorlagen(Buchstaben("AB"));
        QVERIFY(QTest::qWaitForWindowActive(editor_) && state_->vorlagenAktiv);
        QWidget meldung;
        meldung.show();
        meldung.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&meldung) && state_->vorlagenAktiv);
        QWindow fremd;
        fremd.show();
        fremd.requestActivate();
        QTRY_VERIFY(QApplication::activeWindow() == nullptr);
        QVERIFY(state_->vorlagenAktiv);

        // Return opens it over a disabled editor that cannot close nor output when activated.
        gitter()->SetzeAktuelleZelle(1, 3);
        QTest::keyClick(gitter(), Qt::Key_Return);
        dialog_ = editor_->feldAuswahl();
        QVERIFY(QTest::qWaitForWindowActive(dialog_));
        QVERIFY(dialog_->Zeile() == 1 && !editor_->isEnabled());
        editor_->activateWindow();
        QCoreApplication::processEvents();
        QVERIFY(!state_->vorlagenAktiv && !editor_->close() && dialoge_->gezeigt.isEmpty());
        QTRY_COMPARE(e<QLabel>("lblAusgabeZustand")->text(),
                     "Ausgabe angehalten: Feldauswahl offen");

        d("cmdUebernehmen")->click();
        QVERIFY(QTest::qWaitForWindowActive(editor_));
        QVERIFY(state_->vorlagenAktiv && editor_->isEnabled());
    }

    // The dialog shows the line without what its lists lack; only "Übernehmen" writes. A slot
    // holds one table: checking another replaces it, a third at once is refused.
    void fieldDialog() {
        feldAuswahl({"Ziel", "Zeitspringen", "Unbekannt", "Springpferde", "3", "", "12", "datei",
                     "Startliste\r\nGibtsNicht\r\nPruefung", "Pferd,name,Name\r\nX\r\nOrt"});
        const VorlageZeile vorher = zeile(1);
        d("cmdAbbrechen")->click();
        QVERIFY(zeile(1) == vorher && !editor_->feldAuswahl() && editor_->isEnabled());
        e("cmdBearbeiten")->click();
        dialog_ = editor_->feldAuswahl();
        QCOMPARE(QStringList({slot(0), slot(1), slot(2)}),
                 (QStringList{"Startliste | Name,Land,Pferd | Name,Pferd | Name,Pferd", " |  |  | ",
                              "Pruefung | Ort,Name | Ort | Ort"}));
        tabellen(0)->AnhakenAusText("Pruefung");
        QCOMPARE(slot(0), "Pruefung | Ort,Name |  | ");
        // A table without fields leaves none of the previous table's fields behind.
        felder(0)->AnhakenAusText("Ort");
        tabellen(0)->AnhakenAusText("Leer");
        QCOMPARE(slot(0), "Leer |  |  | ");
        // Unchecking the table empties the slot.
        tabellen(1)->AnhakenAusText("Startliste");
        tabellen(1)->AlleAbhaken();
        QCOMPARE(slot(1), " |  |  | ");
        tabellen(1)->AnhakenAusText("Ereignis");
        {
            // Marks set behind the dialog's back, as a widget that reports late would.
            QSignalBlocker still(tabellen(1));
            tabellen(1)->AnhakenAusText("Startliste");
        }
        tabellen(1)->AnhakenAusText("Pruefung");
        QCOMPARE(dialoge_->meldungen, QStringList{"Fehler in Auswahl"});
        QCOMPARE(slot(1), " |  |  | ");
        // The Tabelle and Feld cells keep a line per table, also for a table without fields.
        d<QComboBox>("ComBoxSeite")->setCurrentIndex(41);
        d("cmdUebernehmen")->click();
        QCOMPARE(zeile(1), (VorlageZeile{"Ziel", "Zeitspringen", "Alle", "Springpferde", "3", "",
                                         "42", "datei", "Leer\r\nPruefung", "\r\nOrt"}));
        QVERIFY(zeile(0) == VorlageZeile{"davor"} && zeile(2) == VorlageZeile{"danach"});
    }

    // A click in the open list toggles an entry and keeps the list open.
    void checkBoxComboClickInTheOpenList() {
        feldAuswahl(VorlageZeile{});
        tabellen(0)->AnhakenAusText("Startliste");
        QVERIFY(QTest::qWaitForWindowExposed(dialog_));
        CheckBoxCombo* combo = felder(0);
        QAbstractItemView* liste = combo->view();
        // The release of the press that opened the list lands on an entry and must not toggle it.
        QWindow* fenster = dialog_->windowHandle();
        const QPoint box = combo->mapTo(dialog_.data(), combo->rect().center());
        QTest::mousePress(fenster, Qt::LeftButton, {}, box);
        QTRY_VERIFY(liste->isVisible());
        QVERIFY(
            liste->indexAt(liste->viewport()->mapFromGlobal(dialog_->mapToGlobal(box))).isValid());
        QTest::mouseRelease(fenster, Qt::LeftButton, {}, box);
        QVERIFY(combo->Text().isEmpty() && liste->isVisible());
        const auto klick = [&](int zeile) {
            const QPoint mitte = liste->visualRect(liste->model()->index(zeile, 0)).center();
            QWindow* listenFenster = liste->window()->windowHandle();
            QTest::mouseClick(listenFenster, Qt::LeftButton, {},
                              listenFenster->mapFromGlobal(liste->viewport()->mapToGlobal(mitte)));
        };
        klick(1);
        QCOMPARE(slot(0), "Startliste | Name,Land,Pferd | Land | Land");
        QVERIFY(liste->isVisible());
        klick(2);
        klick(1);
        liste->setCurrentIndex(liste->model()->index(0, 0));
        QTest::keyClick(liste, Qt::Key_Space);
        QCOMPARE(slot(0), "Startliste | Name,Land,Pferd | Name,Pferd | Name,Pferd");
        combo->hidePopup();
    }

    // A telegram through the link and the editor into files, the state line saying what happens.
    // The main window is disabled while the editor is open; closing it asks the editor's question
    // first.
    void telegrammWirdZuDateien() {
        Sender sender;
        verbinden(sender);
        const QDir aus(datei("aus"));
        QVERIFY(aus.mkpath("."));
        auto* pfad = box("txtPfadZuLiveText");
        pfad->setText(aus.path());
        // Round 2 of a Zeitspringen with a jump-off: line 0 fails its round test.
        vorlagen(
            VorlageAus({{"GA Ein", "Alle", "", "", "1", "", "01", "falsch", "Startliste", "Reiter"},
                        {"GA Ein", "Zeitspringen", "mit Stechen", "", "Alle", "", "12", "start",
                         "Ereignis\r\nStartliste", "Wert1\r\nName,Land"}}));
        // The data view marks the fields the template names that no telegram has carried.
        e("cmdDaten")->click();
        const DatenModell& daten = fenster_->datenModell();
        const auto fehlt = [&] {
            QStringList namen;
            for (const QModelIndex& i :
                 daten.match(daten.index(0, 0), DatenModell::FehltRolle, true, -1,
                             Qt::MatchExactly | Qt::MatchRecursive))
                namen.append(i.data().toString());
            return namen.join(',');
        };
        QTRY_COMPARE(fehlt(), "Wert1,Reiter,Name,Land");
        QCOMPARE(Zeile(daten, "Reiter", Zeile(daten, "Startliste")).siblingAtColumn(1).data(),
                 QVariant("noch von keinem Telegramm gesendet"));
        editor_->setUhr([] { return QTime(14, 3, 12); });
        const QString laeuft = "Ausgabe läuft in " + aus.path() + " – ";
        const QString gruen = " / background: #1e7b34; color: white;";
        // The window system activating the main window (a click on it) hands the activation to
        // the editor.
        QVERIFY(QTest::qWaitForWindowActive(fenster_->daten()));
        fenster_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor_));
        QTRY_COMPARE(zustand(), laeuft + "noch keine Datei geschrieben" + gruen);

        // The disabled main window's link still acknowledges. "Jörg" has one byte per letter.
        const QByteArray telegramm =
            R"({"Ereignis":{"Befehl":"Befehl","Status":"GAEin","Wert1":"1","Wert2":"",)"
            R"("Wert3":"","Wert4":""},"AktUml":{"strAktUml":"2"},"Umlaufdaten":{"Records":)"
            R"([{"Uml2Turnierart":"Zeitspringen","Uml2MitStechen":true}]},"Startliste":)"
            "{\"Anzahl\":2,\"Records\":[{\"Name\":\"Anna\",\"Land\":\"GER\"},{\"Name\":\"J\xf6rg\","
            "\"Land\":\"AUT\"}]}}";
        QVERIFY(sender.quittiert(telegramm));
        QCOMPARE(aus.entryList(QDir::Files), (QStringList{"control.txt", "start.txt"}));
        const QByteArray startTxt =
            "Ereignis.Wert1 = 1\r\nStartliste.Name_0 = Anna\r\nStartliste.Land_0 = GER\r\n"
            "Startliste.Name_1 = J\xf6rg\r\nStartliste.Land_1 = AUT\r\n";
        QCOMPARE(DateiInhalt(aus.filePath("start.txt")), startTxt);
        QTRY_COMPARE(zustand(), laeuft + "letzte Datei start.txt um 14:03:12" + gruen);
        QTRY_COMPARE(fehlt(), "Reiter");
        // The event's separators read " | "; both lines name the event. The preview fits.
        auto* ereignisse = e<QAbstractItemView>("listEreignisse");
        QCOMPARE(Texte(ereignisse), QStringList{"GA Ein | 1 |  |  | "});
        QCOMPARE(ereignisse->model()->index(0, 0).data(Qt::UserRole).toString() + '|' +
                     e<QLineEdit>("txtEreignis")->text(),
                 "GA Ein\u001b1\u001b\u001b\u001b|GA Ein\u001b1\u001b\u001b\u001b");
        // The diagnostic lists are always hidden: nothing is shown in them.
        QVERIFY(Texte(e<QAbstractItemView>("ListGefundenIn0")).isEmpty());
        auto* vorschau = e<Gitter>("CtlLXAusgabe");
        const QModelIndex wert = vorschau->model()->index(0, 3);
        QCOMPARE(wert.data().toString() + '|' + wert.data(Qt::ToolTipRole).toString(),
                 "Wert1 = 1|Wert1 = 1");
        QVERIFY(vorschau->horizontalHeader()->length() <= vorschau->viewport()->width());
        const auto leeren = [&] {
            for (const QString& f : aus.entryList(QDir::Files))
                QVERIFY(QFile::remove(aus.filePath(f)));
        };

        // A key typed into the event box runs the output once.
        e<QLineEdit>("txtEreignis")->selectAll();
        QTest::keyClicks(e<QLineEdit>("txtEreignis"), "G");
        QCOMPARE(Texte(ereignisse).mid(1), QStringList{"G"});

        // A run takes the grid, the format and the data folder as they are at that moment.
        leeren();
        auto& vorlage = editor_->modell();
        QVERIFY(vorlage.setData(vorlage.index(1, 7), "neu"));
        QVERIFY(vorlage.setData(vorlage.index(1, 9), "Wert1\nName"));
        e<QRadioButton>("OptCSVNurDaten")->click();
        e<QLineEdit>("txtTrenner")->setText(";");
        QVERIFY(sender.quittiert(telegramm));
        QCOMPARE(aus.entryList(QDir::Files), QStringList{"neu.csv"});
        QCOMPARE(DateiInhalt(aus.filePath("neu.csv")),
                 QByteArray("\"1\";\r\n\"Anna\";\r\n\"J\xf6rg\"\r\n"));
        pfad->clear();
        QVERIFY(sender.quittiert(telegramm));
        QTRY_COMPARE(e<QLabel>("lblWarnungen")->text(), "Kein Ausgabepfad angegeben!");
        QCOMPARE(zustand(),
                 "Ausgabe gestört: siehe Warnungen / background: #c00000; color: white;");
        pfad->setText(aus.path());

        // "Nein" to the editor's question keeps both windows, the connection and the output.
        leeren();
        QSignalSpy entladen(fenster_.get(), &FrmLiveTextEmpfaenger::entladen);
        QVERIFY(!fenster_->close());
        QCOMPARE(dialoge_->gezeigt.last().text + '|' + dialoge_->gezeigt.last().titel,
                 "Vorlagen gespeichert?|Vorlagen gespeichert?  ");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(fenster_->isVisible() && editor_ && editor_->isVisible() && entladen.isEmpty());
        QVERIFY(!QFile::exists(datei("LiveTextStartwerte.TXT")));
        QVERIFY(fenster_->linkClient().isConnected() && state_->vorlagenAktiv);
        QVERIFY(sender.quittiert(telegramm));
        QCOMPARE(aus.entryList(QDir::Files), QStringList{"neu.csv"});

        // The editor closed with "Ja": no more output, and the main window takes input again.
        leeren();
        dialoge_->jaNeinAntworten = {true};
        e("cmdBeenden")->click();
        QTRY_VERIFY(editor_.isNull());
        QVERIFY(!fenster_->vorlagen() && fenster_->isEnabled() && !state_->vorlagenAktiv);
        QVERIFY(sender.quittiert(telegramm));
        QVERIFY(aus.entryList(QDir::Files).isEmpty());
        vorlagen(Vorlage());
        QVERIFY(QTest::qWaitForWindowActive(editor_));
        QTRY_COMPARE(e<QLabel>("lblAusgabeZustand")->text(),
                     "Ausgabe angehalten: keine Vorlagenzeilen");
        // "Ja" writes the settings, closes the connection and unloads.
        dialoge_->jaNeinAntworten = {true};
        QVERIFY(fenster_->close());
        QVERIFY(entladen.count() == 1 && QFile::exists(datei("LiveTextStartwerte.TXT")));
        QVERIFY(!fenster_->linkClient().isConnected());
        QTRY_VERIFY(editor_.isNull());
    }

    // A recording played in the program, from the editor, writes what `zelmo receive` writes
    // from the same show, byte for byte. The dialog offers the newest recording; the live link
    // is given up once the operator agrees; the show's end ends the rehearsal. The daily log has
    // the rehearsal; the recorder does not.
    void probelaufSchreibtWieDerEmpfaenger() {
        const QString daten = qEnvironmentVariable("ZELMO_TEST_DATA");
        const QDir aus(datei("aus")), referenz(datei("referenz")), mitschnitt(datei("Mitschnitt"));
        QVERIFY(referenz.mkpath(".") && mitschnitt.mkpath("."));
        {
            test::Tool sim({"simulate", "--listen", "127.0.0.1:0", "--show", daten + "/show.jsonl",
                            "--interval", "0"});
            const std::string port = sim.WaitForLine("lauscht auf 127\\.0\\.0\\.1:(\\d+)$");
            test::Tool receive({"receive", "--connect", "127.0.0.1:" + QString::fromStdString(port),
                                "--template", daten + "/LiveText.json", "--output", referenz.path(),
                                "--exit-on-disconnect"});
            QCOMPARE(sim.Finish(), 0);
            QCOMPARE(receive.Finish(), 0);
        }
        QVERIFY(referenz.count() > 5);
        const QByteArray show = DateiInhalt(daten + "/show.jsonl");
        QVERIFY(DateiSchreiben(mitschnitt.filePath("2026-12-01.jsonl"), "kein JSON\n") &&
                QFile::copy(daten + "/show.jsonl", mitschnitt.filePath("2026-12-06.jsonl")));
        uhrStellen();
        Sender sender;
        aufSendung(sender);
        dialoge_->pfadAntworten = {daten + "/LiveText.json"};
        e("cmdProjektEinlesen")->click();
        QVERIFY(QTest::qWaitForWindowActive(editor_));

        e("cmdProbelauf")->click();
        QWidget* dialog = fenster_->probelaufDialog();
        QVERIFY(dialog && dialog->parent() == editor_);
        const QString neueste = mitschnitt.filePath("2026-12-06.jsonl");
        QCOMPARE(Kind<QLineEdit>(dialog, "txtShowdatei")->text(), neueste);
        Kind<QPushButton>(dialog, "cmdDurchsuchen")->click();  // cancelled
        QCOMPARE(dialoge_->gezeigt.last().titel + " " + dialoge_->gezeigt.last().ordner,
                 "Showdatei wählen " + mitschnitt.path());
        dialoge_->jaNeinAntworten = {true};
        probelauf(editor_, QString(), "OptNachJederQuittung");
        QVERIFY(dialoge_->gezeigt.last().text.startsWith("Die Verbindung zum Sender wird"));
        QTRY_VERIFY_WITH_TIMEOUT(!fenster_->probelauf().Laeuft(), 20000);

        QCOMPARE(Dateien(aus), Dateien(referenz));
        QTRY_COMPARE(e<QLabel>("lblAusgabeZustand")->text(), "Keine Verbindung zum Sender");
        QCOMPARE(e("cmdProbelauf")->text() + " | " + knopf("cmdProbelauf")->text(),
                 "Probelauf… | Probelauf…");
        QCOMPARE(Dateien(mitschnitt).keys(), (QStringList{"2026-12-01.jsonl", "2026-12-06.jsonl"}));
        QCOMPARE(DateiInhalt(neueste), show);
        QTRY_VERIFY(tagesprotokoll().contains("Show zu Ende"));
        const QString log = QString::fromUtf8(tagesprotokoll());
        QCOMPARE(log.count(" telegramm: "), 107);
        const QString zeit = "2026-12-07 14:03:12.345 client: ";
        QCOMPARE(
            log.split('\n').filter("Probelauf"),
            (QStringList{zeit + "Probelauf gestartet: " + neueste +
                             ", 107 Telegramme, Tempo jedes Telegramm gleich nach der "
                             "Quittung des vorigen",
                         zeit + "Probelauf beendet (Show zu Ende): gesendet 107, quittiert 107"}));
    }

    // A file that is no show is reported and nothing starts; "Nein" keeps the live link. While
    // the rehearsal runs, both state lines say so with its progress, the button ends it, and the
    // settings keep the real sender's address, saved, at the end or when the program closes.
    void probelaufZeigtSichUndSpeichertNichts() {
        Sender sender;
        verbinden(sender);
        kind<QCheckBox>("chkAutomatischWiederverbinden")->setChecked(true);
        const QString show = datei("probe.jsonl");
        QVERIFY(DateiSchreiben(show, "{\"at_ms\": 0, \"telegram\": " + kGaEin +
                                         "}\n{\"at_ms\": 600000, \"telegram\": " + kGaEin + "}\n"));
        QVERIFY(DateiSchreiben(datei("kaputt.jsonl"), "{\n") &&
                DateiSchreiben(datei("vorlage.json"), R"({"Vorlage": {"Zeilen": []}})"));
        knopf("cmdProbelauf")->click();
        QVERIFY(!Kind<QPushButton>(fenster_->probelaufDialog(), "cmdStarten")->isEnabled());
        const struct {
            QString datei, meldung;
        } falsch[] = {
            {datei("fehlt.jsonl"), "! Showdatei kann nicht gelesen werden:\r\n" +
                                       datei("fehlt.jsonl") + ": " + std::strerror(ENOENT)},
            {datei("kaputt.jsonl"),
             "! " + datei("kaputt.jsonl") + " ist keine Showdatei:\r\nZeile 1: "},
            {datei("vorlage.json"), "! " + datei("vorlage.json") + " ist keine Showdatei:\r\n"},
            {show, ""},  // "Nein" to giving up the live link
        };
        for (const auto& [datei, meldung] : falsch) {
            dialoge_->meldungen.clear();
            probelauf(fenster_.get(), datei, "OptWieAufgenommen");
            const QString gezeigt = dialoge_->meldungen.join("");
            QVERIFY2(gezeigt.left(meldung.size()) == meldung && fenster_->probelaufDialog() &&
                         !fenster_->probelauf().Laeuft() && fenster_->linkClient().isConnected(),
                     qPrintable(datei + ": " + gezeigt));
        }
        QCOMPARE(dialoge_->gezeigt.last().text.right(20), "\r\nProbelauf starten?");

        const struct {
            const char* tempo;
            QString start, ende;
        } tempi[] = {
            {"OptDoppeltSoSchnell", "doppelt so schnell", "abgebrochen): gesendet 1, quittiert 1"},
            {"OptWieAufgenommen", "wie aufgenommen",
             "Verbindung verloren): gesendet 1, quittiert 1"},
        };
        const QByteArray gespeichert = "127.0.0.1\r\n" + sender.port().toLatin1() + "\r\n0\r\n";
        for (const auto& [tempo, start, ende] : tempi) {
            dialoge_->jaNeinAntworten = {true};
            probelauf(fenster_.get(), show, tempo);
            QTRY_VERIFY(!fenster_->probelaufDialog());
            QCOMPARE(zeilen("ListeClient").filter("Probelauf").last(),
                     "Probelauf gestartet: " + show + ", 2 Telegramme, Tempo " + start);
            QTRY_COMPARE(linie(), "PROBELAUF – Telegramm 1 von 2 – Letztes Telegramm vor 0 s");
            QCOMPARE(
                anzeige() + " | " + knopf("cmdProbelauf")->text(),
                "Verbinden | Knopf gesperrt | IP gesperrt | Port gesperrt | Probelauf beenden");
            knopf("cmdParameterSpeichern")->click();
            QVERIFY(startwerte().startsWith(gespeichert));
            if (ende.startsWith("abgebrochen"))
                knopf("cmdProbelauf")->click();
            else
                fenster_->linkClient().abortConnection();
            QTRY_COMPARE(zeilen("ListeClient").last(), "Probelauf beendet (" + ende);
            QTRY_COMPARE(anzeige() + " | " + linie(), "Verbinden | Keine Verbindung");
            QCOMPARE(box(kIp)->text() + ":" + box(kPort)->text(), "127.0.0.1:" + sender.port());
        }

        jetzt_ += 6s;  // what automatic reconnection after the lost link would wait
        QTest::qWait(50);
        QCOMPARE(sender.verbindungen.size(), 1);

        // On air in the editor; the program closes as on SIGTERM.
        probelauf(fenster_.get(), show, "OptWieAufgenommen");
        QTRY_COMPARE(linie(), "PROBELAUF – Telegramm 1 von 2 – Letztes Telegramm vor 0 s");
        uhrVorlage();
        QTRY_COMPARE(e<QLabel>("lblAusgabeZustand")->text(),
                     "PROBELAUF – Telegramm 1 von 2 – Ausgabe läuft in " + datei("aus") +
                         " – noch keine Datei geschrieben");
        QCOMPARE(e("cmdProbelauf")->text(), "Probelauf beenden");
        fenster_->BeendenOhneFrage();
        QVERIFY(startwerte().startsWith(gespeichert));
        QCOMPARE(fenster_->clientLog().Lines().back(),
                 "Probelauf beendet (abgebrochen): gesendet 1, quittiert 1");
    }

    // Every logged line goes to the day's log file with the time the log book's clock gave it
    // (also each line's tool tip), every telegram to the day's recording after its
    // acknowledgement. A log folder that vanishes mid-show is reported once, where the operator
    // looks, while output goes on; once it is back, the log says how many lines it lacks. The
    // operator sees the editor only: its state line tells when the link has gone quiet and when
    // it is gone, and the log has that too.
    void aufSendungInsProtokollUndInDieZustandszeile() {
        uhrStellen();
        Sender sender;
        aufSendung(sender);
        const QDir aus(datei("aus"));
        const QString log = datei("Protokolle/2026-12-07.log");
        const auto telegramm = [&](char wert, int ms) {
            uhr_.jetzt.utcMs += ms;
            QVERIFY(sender.quittiert(GaEin(wert)));
            QCOMPARE(uhrTxt(), "Ereignis.Wert1 = " + QByteArray(1, wert) + "\r\n");
        };
        const auto protokoll = [&](const QByteArray& zeit, char wert) {
            return zeit + " telegramm: " + Rahmen(GaEin(wert)).left(100) + "\n" + zeit +
                   " datei: " + aus.filePath("uhr.txt").toUtf8() + "\n" + zeit +
                   " datei: " + aus.filePath("control.txt").toUtf8() + "\n";
        };
        telegramm('1', 250);
        const QByteArray verbunden =
            "2026-12-07 14:03:12.345 client: Verbinde mit 127.0.0.1:" + sender.port().toUtf8() +
            "\n2026-12-07 14:03:12.345 client: TCPClient TCPConnect - Socket: " +
            QByteArray::number(fenster_->linkClient().socketNumber()) + "\n";
        QTRY_COMPARE(tagesprotokoll(), verbunden + protokoll("2026-12-07 14:03:12.595", '1'));
        QTRY_COMPARE(tipp(fenster_.get(), "ListEreignisse"), QVariant("2026-12-07 14:03:12.595"));
        QCOMPARE(tipp(fenster_.get(), "ListeClient"), QVariant("2026-12-07 14:03:12.345"));
        QTRY_COMPARE(tipp(editor_, "listEreignisse"), QVariant("2026-12-07 14:03:12.595"));

        QVERIFY(QDir(datei("Protokolle")).removeRecursively());
        telegramm('2', 1000);
        telegramm('3', 1000);
        const QString warnung = "Protokolldatei " + log +
                                " kann nicht geschrieben werden: " + std::strerror(ENOENT) +
                                "; neuer Versuch alle 10 s";
        QTRY_COMPARE(kind<QLabel>("LabelGAKomFehler")->text(), warnung);
        QCOMPARE(zeilen("ListeClient").filter("Protokolldatei"), QStringList{warnung});
        auto* stoerung = e<QLabel>("lblProtokollStoerung");
        QTRY_COMPARE(stoerung->isVisible() ? stoerung->text() : QString(),
                     warnung + "\nDie Ausgabe läuft weiter.");
        QVERIFY(e<QLabel>("lblAusgabeZustand")->text().startsWith("Ausgabe läuft in "));

        QVERIFY(QDir(ordner_->path()).mkdir("Protokolle"));
        telegramm('4', 10000);
        const QString wieder =
            "Protokolldatei " + log + " wird wieder geschrieben (7 Zeilen fehlen)";
        QTRY_COMPARE(tagesprotokoll(), protokoll("2026-12-07 14:03:24.595", '4') +
                                           "2026-12-07 14:03:24.595 status: " + wieder.toUtf8() +
                                           "\n");
        QTRY_VERIFY(!stoerung->isVisible());
        QCOMPARE(zeilen("ListeClient").last() + " | " + kind<QLabel>("LabelGAKomFehler")->text(),
                 wieder + " | " + wieder);

        // The recording plays the show again as it came, timed from the day's first telegram.
        const std::string mitschnitt =
            DateiInhalt(datei("Mitschnitt/2026-12-07.jsonl")).toStdString();
        QStringList gespielt;
        for (const ShowTelegram& t : ParseShow(mitschnitt))
            gespielt.append(QString::number(*t.atMs) + " " + QString::fromStdString(t.payload));
        QCOMPARE(gespielt, (QStringList{"0 " + GaEin('1'), "1000 " + GaEin('2'),
                                        "2000 " + GaEin('3'), "12000 " + GaEin('4')}));

        // A list full of one line still gives each line its own time.
        const auto neueste = [&](const char* zeit) {
            fenster_->SchreibeInListeClient("x");
            QTRY_COMPARE(tipp(fenster_.get(), "ListeClient", 9), QVariant(zeit));
        };
        uhr_.jetzt = {1796648700000, 3600};
        for (int i = 0; i < 9; ++i)
            fenster_->SchreibeInListeClient("x");
        neueste("2026-12-07 14:05:00.000");
        uhr_.jetzt.utcMs += 1000;
        neueste("2026-12-07 14:05:01.000");

        // The editor's state line: quiet past the threshold, a telegram again, the link gone.
        kind<QSpinBox>("txtWarnungNachSekunden")->setValue(5);
        editor_->setUhr([] { return QTime(0, 3, 35); });
        const QString rot = " / background: #c00000; color: white;";
        jetzt_ += 12s;
        QTRY_COMPARE(zustand(), "Seit 12 s kein Telegramm!" + rot);
        telegramm('5', 0);
        QTRY_COMPARE(zustand(), "Ausgabe läuft in " + aus.path() +
                                    " – letzte Datei uhr.txt um 00:03:35 / background: #1e7b34; "
                                    "color: white;");
        sender.letzte()->disconnectFromHost();
        QTRY_COMPARE(zustand(), "Keine Verbindung zum Sender" + rot);
        QCOMPARE(QString::fromUtf8(tagesprotokoll()).split('\n').filter(" status: "),
                 (QStringList{"2026-12-07 14:03:24.595 status: " + wieder,
                              "2026-12-07 14:05:01.000 status: Seit 12 s kein Telegramm!",
                              "2026-12-07 14:05:01.000 status: Wieder ein Telegramm nach 12 s"}));
    }

    // "Daten" while telegrams arrive: no glyph cut, whole names and values in the tool tips, the
    // top row and the selection stay where the operator put them, and "Anhalten" freezes the
    // tree while the store goes on.
    void datenAnsichtBleibtWoDerBedienerSieHinstellt() {
        Sender sender;
        verbinden(sender);
        const auto telegramm = [](const QByteArray& land, const QByteArray& ersterSatz) {
            QByteArray saetze =
                "{\"Name\":\"Quintus \xd6\",\"Land\":\"" + land + "\"" + ersterSatz + "}";
            for (int i = 1; i < 40; ++i)
                saetze += ",{\"Name\":\"Reiter " + QByteArray::number(i) + "\",\"Land\":\"" + land +
                          "\"}";
            return R"({"Ereignis":{"Befehl":"Nein"},"Umlaufdaten":{"Records":[)"
                   R"({"Uml1StilspringenOderSpringpferdeMitLangemNamen":"Wahr"}]},)"
                   R"("Startliste":{"Records":[)" +
                   saetze + "]}}";
        };
        QVERIFY(sender.quittiert(telegramm("\xd6sterreich", "")));
        knopf("cmdDaten")->click();
        QWidget* daten = fenster_->daten();
        QVERIFY(QTest::qWaitForWindowExposed(daten));
        auto* baum = Kind<QTreeView>(daten, "baumDaten");
        const QAbstractItemModel& m = *baum->model();
        Kind<QPushButton>(daten, "cmdAufklappen")->click();
        const auto feld = [&](const QString& abschnitt, int satz, const QString& name) {
            return Zeile(m, name, Zeile(m, QString("Satz %1").arg(satz), Zeile(m, abschnitt)));
        };
        const QModelIndex land = feld("Startliste", 0, "Land").siblingAtColumn(1);
        QCOMPARE(land.data().toString(), "Österreich");

        // The line is centred in its row; the marks above the capitals and the descenders must
        // lie inside the row, plain and bold.
        const QRect zeile = baum->visualRect(land);
        for (const bool fett : {false, true}) {
            QFont schrift = baum->font();
            schrift.setBold(fett);
            const QFontMetrics fm(schrift);
            const QRect glyphen = fm.boundingRect("ÄÖÜgjy");
            const int grundlinie = zeile.top() + (zeile.height() - fm.height()) / 2 + fm.ascent();
            QVERIFY2(grundlinie + glyphen.top() >= zeile.top() &&
                         grundlinie + glyphen.bottom() <= zeile.bottom(),
                     qPrintable(QString("Zeile %1 px hoch").arg(zeile.height())));
        }
        const QModelIndex langerName =
            feld("Umlaufdaten", 0, "Uml1StilspringenOderSpringpferdeMitLangemNamen");
        QCOMPARE(langerName.data(Qt::ToolTipRole).toString(),
                 "Uml1StilspringenOderSpringpferdeMitLangemNamen");
        QCOMPARE(land.data(Qt::ToolTipRole).toString(), "Österreich");

        // Fields come to record 0, above the rows in view.
        const QPersistentModelIndex oben = Zeile(m, "Satz 20", Zeile(m, "Startliste"));
        const QPersistentModelIndex gewaehlt = feld("Startliste", 25, "Name");
        baum->scrollTo(oben, QAbstractItemView::PositionAtTop);
        baum->setCurrentIndex(gewaehlt);
        const int y = baum->visualRect(gewaehlt).top();
        QSignalSpy aufgefrischt(&fenster_->auffrischer(), &widgets::Auffrischer::auffrischen);
        QVERIFY(sender.quittiert(telegramm("\xd6sterreich", R"(,"Fehler":"4","Zeit":"61.2")")));
        QVERIFY(aufgefrischt.wait());
        QCOMPARE(feld("Startliste", 0, "Zeit").siblingAtColumn(1).data().toString(), "61.2");
        QCOMPARE(baum->indexAt(QPoint(0, 0)).data().toString(), "Satz 20");
        QCOMPARE(baum->visualRect(gewaehlt).top(), y);
        QCOMPARE(baum->currentIndex().siblingAtColumn(1).data().toString(), "Reiter 25");

        // Frozen, the tree shows what it showed; released, it catches up.
        auto* anhalten = Kind<QPushButton>(daten, "cmdAnhalten");
        anhalten->click();
        QVERIFY(sender.quittiert(telegramm("GER", "")));
        QVERIFY(aufgefrischt.wait());
        QCOMPARE(land.data().toString(), "Österreich");
        anhalten->click();
        QCOMPARE(land.data().toString(), "GER");
        QVERIFY(fenster_->close());
    }

    // Qt's own texts in German where the translation is installed; a box as wide as its title.
    void qtTexteDeutschUndGanzeTitel() {
        QVERIFY(!zelmo::app::QtTexteDeutsch(*qApp, "/gibt/es/nicht"));
        QVERIFY(zelmo::app::QtTexteDeutsch(*qApp, QString()));
        const QString titel = QStringLiteral("Vorlagen gespeichert?  ");
        QStringList gesehen;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            QFont schrift = box->font();
            schrift.setBold(true);
            for (QAbstractButton* knopf : box->buttons())
                gesehen.append(knopf->text());
            const int noetig = QFontMetrics(schrift).horizontalAdvance(titel) + 100;
            gesehen.append(box->width() >= noetig ? "breit genug" : "zu schmal");
            box->button(QMessageBox::No)->click();
        });
        QtDialoge dialoge;
        QVERIFY(!dialoge.JaNein(nullptr, "Vorlagen gespeichert?", titel));
        gesehen.sort();
        QCOMPARE(gesehen, (QStringList{"&Ja", "&Nein", "breit genug"}));
    }

    // A failed start check shows only its message, and the instance claimed before it is
    // released.
    void gescheiterteStartpruefungZeigtNurIhreMeldung() {
        fenster_.reset();  // Main makes its own
        FakePlatform platform;
        platform.folder = "//server/share";
        FakeDialoge dialoge;
        QCOMPARE(zelmo::app::Main(platform, dialoge), 1);
        QVERIFY(dialoge.gezeigt.size() == 1 &&
                dialoge.gezeigt[0].text.startsWith("Programm darf nicht über einen Netzwerkpfad"));
        QCOMPARE(dialoge.gezeigt[0].titel, "Zelmo-LiveText");
        QCOMPARE(platform.locksHeld, 0);
    }

    // Missing catalogues, looked for in the folders in use, are reported but do not hold the
    // start up: the main window runs until it is closed, and has unloaded when Main returns 0,
    // its settings in the settings folder in use and the instance released. SIGTERM (a logout,
    // `kill`) closes it as the operator would, also when the signal came while a start message
    // was open.
    void hauptfensterLaeuftBisZumSchliessen_data() {
        QTest::addColumn<bool>("signal");
        QTest::addColumn<bool>("waehrendMeldung");
        QTest::addColumn<bool>("vorlagenOffen");
        QTest::newRow("Bediener schliesst") << false << false << false;
#ifndef _WIN32
        QTest::newRow("SIGTERM") << true << false << false;
        QTest::newRow("SIGTERM bei Startmeldung") << true << true << false;
        // Nobody may be there to answer the editor's question: it is not asked.
        QTest::newRow("SIGTERM bei offenen Vorlagen") << true << false << true;
#endif
    }
    void hauptfensterLaeuftBisZumSchliessen() {
        QFETCH(bool, signal);
        QFETCH(bool, waehrendMeldung);
        QFETCH(bool, vorlagenOffen);
        // The signal comes while the box is up: its own event loop takes it. A main window
        // still open once the program's event loop runs has missed it.
        bool offenGeblieben = false;
        struct SignalBeiMeldung : FakeDialoge {
            bool* offen;
            explicit SignalBeiMeldung(bool* o) : offen(o) {}
            void Meldung(QWidget* w, const QString& text, const QString& titel,
                         Symbol symbol) override {
                FakeDialoge::Meldung(w, text, titel, symbol);
                ::raise(SIGTERM);
                QCoreApplication::processEvents();
                QTimer::singleShot(0, [o = offen] {
                    for (QWidget* fenster : QApplication::topLevelWidgets()) {
                        if (qobject_cast<FrmLiveTextEmpfaenger*>(fenster) && fenster->isVisible())
                            *o = fenster->close();
                    }
                });
            }
        };
        fenster_.reset();
        QTemporaryDir ordner;
        QVERIFY(QDir(ordner.path()).mkpath("config") && QDir(ordner.path()).mkpath("share"));
        const QString einstellungen = ordner.filePath("config"), paket = ordner.filePath("share");
        QVERIFY(DateiSchreiben(paket + "/Tabellen.json", "{}"));
        FakePlatform platform;
        platform.folder = ordner.filePath("bin").toStdString();
        platform.folders = platform::Folders{einstellungen.toStdString(),
                                             {einstellungen.toStdString(), paket.toStdString()},
                                             ordner.filePath("state").toStdString()};
        std::unique_ptr<FakeDialoge> dialoge =
            waehrendMeldung ? std::make_unique<SignalBeiMeldung>(&offenGeblieben)
                            : std::make_unique<FakeDialoge>();
        dialoge->jaNeinAntworten = {true};
        QString titel;
        int locksHeld = -1;
        if (!waehrendMeldung)
            QTimer::singleShot(0, [&] {
                for (QWidget* fenster : QApplication::topLevelWidgets()) {
                    if (qobject_cast<FrmLiveTextEmpfaenger*>(fenster) && fenster->isVisible()) {
                        titel = fenster->windowTitle();
                        locksHeld = platform.locksHeld;
                        if (vorlagenOffen)
                            fenster->findChild<QPushButton*>("cmdVorlagen")->click();
                        if (!signal)
                            fenster->close();
                    }
                }
                if (signal)
                    ::raise(SIGTERM);
            });
        QCOMPARE(zelmo::app::Main(platform, *dialoge), 0);
        QCoreApplication::processEvents();
        QVERIFY(!offenGeblieben);
        QCOMPARE(dialoge->meldungen,
                 QStringList{"Kann Tabelle: " + paket + "/Ereignisse.json - nicht finden!"});
        QCOMPARE(dialoge->jaNeinAntworten.size(), 1);
        if (!waehrendMeldung)
            QVERIFY(titel == "Zelmo - LiveText-Empfänger" && locksHeld == 1);
        QCOMPARE(platform.locksHeld, 0);
        QVERIFY(DateiInhalt(einstellungen + "/LiveTextStartwerte.TXT")
                    .startsWith("Localhost\r\n3000\r\n0\r\nnicht bekannt\r\n"));
        QVERIFY(QFile::exists(einstellungen + "/LiveTextZusatzwerte.TXT"));
        QCOMPARE(QDir(ordner.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 (QStringList{"config", "share"}));
    }
};

QTEST_MAIN(FensterTest)
#include "FensterTest.moc"
