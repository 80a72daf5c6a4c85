#include "app/Main.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>

#include "platform/Platform.h"
#include "windows/FakeDialoge.h"
#include "windows/FrmLiveTextEmpfaenger.h"
#include "windows/TestHilfen.h"

using namespace zelmo::test;
using zelmo::windows::FrmLiveTextEmpfaenger;

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
    QString titel;
    int locksHeld = -1;
};

// Closes the main window once Main's event loop runs, noting what it looked like.
void SchliesseHauptfensterSobaldGezeigt(Gesehen& gesehen, const FakePlatform& platform) {
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<FrmLiveTextEmpfaenger*>(w) != nullptr && w->isVisible()) {
                gesehen = {w->windowTitle(), platform.locksHeld};
                w->close();
            }
        }
    });
}

bool Hauptfenster() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<FrmLiveTextEmpfaenger*>(w) != nullptr)
            return true;
    return false;
}

}  // namespace

class MainTest : public QObject {
    Q_OBJECT

  private slots:
    // Qt's own texts in German where the translation is installed; a box as wide as its title.
    void qtTexteDeutschUndGanzeTitel() {
        QVERIFY(!zelmo::app::QtTexteDeutsch(*qApp, QStringLiteral("/gibt/es/nicht")));
        QVERIFY(zelmo::app::QtTexteDeutsch(*qApp, QString()));
        const QString titel = QStringLiteral("Vorlagen gespeichert?  ");
        QStringList gesehen;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            QFont schrift = box->font();
            schrift.setBold(true);
            const int noetig = QFontMetrics(schrift).horizontalAdvance(titel) + 100;
            for (QAbstractButton* knopf : box->buttons())
                gesehen.append(knopf->text());
            gesehen.append(box->width() >= noetig ? "breit genug" : "zu schmal");
            box->button(QMessageBox::No)->click();
        });
        zelmo::windows::QtDialoge dialoge;
        QVERIFY(!dialoge.JaNein(nullptr, QStringLiteral("Vorlagen gespeichert?"), titel));
        gesehen.sort();
        QCOMPARE(gesehen, (QStringList{"&Ja", "&Nein", "breit genug"}));
    }

    void fehlgeschlagenePruefungZeigtNurIhreMeldung() {
        FakePlatform platform;
        platform.folder = "//server/share";
        FakeDialoge dialoge;

        QCOMPARE(zelmo::app::Main(platform, dialoge), 1);
        QCOMPARE(dialoge.Meldungen().size(), 1);
        QVERIFY(dialoge.Meldungen()[0].startsWith("Programm darf nicht über einen Netzwerkpfad"));
        QCOMPARE(dialoge.gezeigt[0].titel, QStringLiteral("Zelmo-LiveText"));
        QVERIFY(!Hauptfenster());
        // The instance was claimed before the path check and is released again.
        QCOMPARE(platform.locksHeld, 0);
    }

    void startZeigtDasHauptfensterBisZumSchliessen_data() {
        QTest::addColumn<bool>("kataloge");
        QTest::addColumn<QByteArray>("startwerte");  // the start of the file after the run
        QTest::newRow("fehlende Kataloge halten den Start nicht auf")
            << false << QByteArray("Localhost\r\n3000\r\n0\r\nnicht bekannt\r\n");
        QTest::newRow("mit Katalogen ohne Meldung")
            << true << QByteArray("10.0.0.7\r\n3100\r\n0\r\n/lt\r\n");
    }
    void startZeigtDasHauptfensterBisZumSchliessen() {
        QFETCH(bool, kataloge);
        QFETCH(QByteArray, startwerte);
        QTemporaryDir ordner;
        if (kataloge) {
            QVERIFY(DateiSchreiben(ordner.filePath("Tabellen.json"),
                                   R"({"Startliste":["Name","Pferd"]})"));
            QVERIFY(DateiSchreiben(ordner.filePath("Ereignisse.json"),
                                   R"({"Ereignisse":["GA Ein","GA Aus"]})"));
            QVERIFY(DateiSchreiben(ordner.filePath("LiveTextStartwerte.TXT"),
                                   "10.0.0.7\r\n3100\r\n0\r\n/lt\r\n0\r\n0\r\n"));
        }
        FakePlatform platform;
        platform.folder = ordner.path().toStdString();
        FakeDialoge dialoge;
        Gesehen gesehen;
        SchliesseHauptfensterSobaldGezeigt(gesehen, platform);

        QCOMPARE(zelmo::app::Main(platform, dialoge), 0);

        const QStringList meldungen =
            kataloge ? QStringList()
                     : QStringList{"Kann Tabelle: " + ordner.filePath("Tabellen.json") +
                                   " - nicht finden!"};
        QCOMPARE(dialoge.Meldungen(), meldungen);
        QCOMPARE(gesehen.titel, QStringLiteral("Zelmo - LiveText-Empfänger"));
        // The instance stays claimed while the window runs and is released at the end.
        QCOMPARE(gesehen.locksHeld, 1);
        QCOMPARE(platform.locksHeld, 0);
        // The window unloaded before Main returned: its settings are in the program folder.
        QVERIFY(DateiInhalt(ordner.filePath("LiveTextStartwerte.TXT")).startsWith(startwerte));
        QVERIFY(!Hauptfenster());
    }
};

QTEST_MAIN(MainTest)
#include "MainTest.moc"
