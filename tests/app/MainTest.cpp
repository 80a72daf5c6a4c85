#include "app/Main.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>

#include "platform/Platform.h"
#include "windows/FakeDialoge.h"
#include "windows/FrmLiveTextEmpfaenger.h"

using zelmo::windows::FrmLiveTextEmpfaenger;
using zelmo::windows::test::FakeDialoge;

namespace {

class FakePlatform final : public zelmo::platform::Platform {
  public:
    bool administrator = true;
    bool otherInstanceRunning = false;
    std::string folder;
    int locksHeld = 0;

    bool IsAdministrator() override { return administrator; }
    std::unique_ptr<zelmo::platform::InstanceLock> AcquireInstanceLock() override {
        if (otherInstanceRunning)
            return nullptr;
        return std::make_unique<Lock>(locksHeld);
    }
    std::string ProgramFolder() override { return folder; }
    void SetCurrentFolder(const std::string&) override {}

  private:
    class Lock final : public zelmo::platform::InstanceLock {
      public:
        explicit Lock(int& held) : held_(held) { ++held_; }
        ~Lock() override { --held_; }

      private:
        int& held_;
    };
};

// What the test saw of the main window while Main was running it.
struct Gesehen {
    bool fenster = false;
    QString titel;
    int locksHeld = -1;
};

// Closes the main window as soon as Main shows it, noting what it looked like.
void SchliesseHauptfensterSobaldGezeigt(Gesehen& gesehen, const FakePlatform& platform) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, &gesehen, &platform] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* fenster = qobject_cast<FrmLiveTextEmpfaenger*>(w);
            if (fenster == nullptr || !fenster->isVisible())
                continue;
            gesehen.fenster = true;
            gesehen.titel = fenster->windowTitle();
            gesehen.locksHeld = platform.locksHeld;
            timer->deleteLater();
            timer->stop();
            fenster->close();
            return;
        }
    });
    timer->start();
}

bool Hauptfenster() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<FrmLiveTextEmpfaenger*>(w) != nullptr)
            return true;
    return false;
}

QByteArray LeseDatei(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<fehlt>");
}

bool SchreibeDatei(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

class MainTest : public QObject {
    Q_OBJECT

  private slots:
    void fehlgeschlagenePruefungZeigtNurIhreMeldung_data() {
        QTest::addColumn<bool>("administrator");
        QTest::addColumn<bool>("andereInstanz");
        QTest::addColumn<QString>("ordner");
        QTest::addColumn<QString>("meldung");
        QTest::newRow("kein Administrator")
            << false << true << "//server/share"
            << QString::fromUtf8(
                   "Programm muss mit 'ADMINISTRATOR'-Rechten gestartet werden!"
                   "\r\n\r\nProgramm wird beendet!");
        QTest::newRow("zweite Instanz")
            << true << true << "//server/share"
            << QString::fromUtf8(
                   "Achtung!\r\nLiveText wurde bereits gestartet!\r\n\r\n"
                   "Ein mehrfaches gleichzeitiges Ausführen ist nicht möglich!");
        QTest::newRow("Netzwerkpfad")
            << true << false << "//server/share"
            << QString::fromUtf8(
                   "Programm darf nicht über einen Netzwerkpfad geöffnet werden!\r\n\r\n"
                   "Hier: //server/share\r\n\r\n"
                   "Programm z.B. so starten: C:\\Programme\\Zelmo-Software\\Zelmo-Livetext.exe"
                   "\r\n\r\nProgramm muss beendet werden!");
    }
    void fehlgeschlagenePruefungZeigtNurIhreMeldung() {
        QFETCH(bool, administrator);
        QFETCH(bool, andereInstanz);
        QFETCH(QString, ordner);
        QFETCH(QString, meldung);
        FakePlatform platform;
        platform.administrator = administrator;
        platform.otherInstanceRunning = andereInstanz;
        platform.folder = ordner.toStdString();
        FakeDialoge dialoge;

        QCOMPARE(zelmo::app::Main(platform, dialoge), 1);
        QCOMPARE(dialoge.gezeigt.size(), 1);
        QCOMPARE(dialoge.gezeigt[0].text, meldung);
        QCOMPARE(dialoge.gezeigt[0].titel, QStringLiteral("Zelmo-LiveText"));
        QVERIFY(!Hauptfenster());
        QCOMPARE(platform.locksHeld, 0);
    }

    void fehlendeKatalogeHaltenDenStartNichtAuf() {
        QTemporaryDir ordner;
        FakePlatform platform;
        platform.folder = ordner.path().toStdString();
        FakeDialoge dialoge;
        Gesehen gesehen;
        SchliesseHauptfensterSobaldGezeigt(gesehen, platform);

        QCOMPARE(zelmo::app::Main(platform, dialoge), 0);

        QCOMPARE(dialoge.Meldungen(),
                 QStringList{QStringLiteral("Kann Tabelle: ") + ordner.filePath("Tabellen.json") +
                             QStringLiteral(" - nicht finden!")});
        QCOMPARE(dialoge.gezeigt[0].titel, QStringLiteral("Zelmo-LiveText"));
        QVERIFY(gesehen.fenster);
        QCOMPARE(gesehen.titel, QStringLiteral("Zelmo - LiveText-Empfänger"));
        // The instance stays claimed while the window runs and is released at the end.
        QCOMPARE(gesehen.locksHeld, 1);
        QCOMPARE(platform.locksHeld, 0);
        // The window unloaded before Main returned: its settings are in the program folder.
        QVERIFY(LeseDatei(ordner.filePath("LiveTextStartwerte.TXT"))
                    .startsWith("Localhost\r\n3000\r\n0\r\nnicht bekannt\r\n"));
        QVERIFY(!Hauptfenster());
    }

    void mitKatalogenOhneMeldung() {
        QTemporaryDir ordner;
        QVERIFY(
            SchreibeDatei(ordner.filePath("Tabellen.json"), R"({"Startliste":["Name","Pferd"]})"));
        QVERIFY(SchreibeDatei(ordner.filePath("Ereignisse.json"),
                              R"({"Ereignisse":["GA Ein","GA Aus"]})"));
        QVERIFY(SchreibeDatei(ordner.filePath("LiveTextStartwerte.TXT"),
                              "10.0.0.7\r\n3100\r\n0\r\n/lt\r\n0\r\n0\r\n"));
        FakePlatform platform;
        platform.folder = ordner.path().toStdString();
        FakeDialoge dialoge;
        Gesehen gesehen;
        SchliesseHauptfensterSobaldGezeigt(gesehen, platform);

        QCOMPARE(zelmo::app::Main(platform, dialoge), 0);
        QVERIFY(gesehen.fenster);
        QVERIFY(dialoge.gezeigt.isEmpty());
        QVERIFY(LeseDatei(ordner.filePath("LiveTextStartwerte.TXT"))
                    .startsWith("10.0.0.7\r\n3100\r\n0\r\n/lt\r\n"));
    }
};

QTEST_MAIN(MainTest)
#include "MainTest.moc"
