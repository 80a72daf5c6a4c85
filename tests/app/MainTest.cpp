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

namespace {

// Counts how many instance locks are held.
struct Lock final : zelmo::platform::InstanceLock {
    explicit Lock(int& zaehler) : held(zaehler) { ++held; }
    ~Lock() override { --held; }
    int& held;
};

class FakePlatform final : public zelmo::platform::Platform {
  public:
    std::string folder;
    int locksHeld = 0;

    bool IsAdministrator() override { return true; }
    std::unique_ptr<zelmo::platform::InstanceLock> AcquireInstanceLock() override {
        return std::make_unique<Lock>(locksHeld);
    }
    std::string ProgramFolder() override { return folder; }
    void SetCurrentFolder(const std::string&) override {}
};

// The program's main window while there is one.
QWidget* Hauptfenster() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<zelmo::windows::FrmLiveTextEmpfaenger*>(w) != nullptr)
            return w;
    }
    return nullptr;
}

}  // namespace

class MainTest : public QObject {
    Q_OBJECT

  private slots:
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
        zelmo::windows::QtDialoge dialoge;
        QVERIFY(!dialoge.JaNein(nullptr, "Vorlagen gespeichert?", titel));
        gesehen.sort();
        QCOMPARE(gesehen, (QStringList{"&Ja", "&Nein", "breit genug"}));
    }

    void fehlgeschlagenePruefungZeigtNurIhreMeldung() {
        FakePlatform platform;
        platform.folder = "//server/share";
        FakeDialoge dialoge;
        QCOMPARE(zelmo::app::Main(platform, dialoge), 1);
        QCOMPARE(dialoge.gezeigt.size(), 1);
        QVERIFY(dialoge.gezeigt[0].text.startsWith("Programm darf nicht über einen Netzwerkpfad"));
        QCOMPARE(dialoge.gezeigt[0].titel, QStringLiteral("Zelmo-LiveText"));
        QVERIFY(Hauptfenster() == nullptr);
        // The instance was claimed before the path check and is released again.
        QCOMPARE(platform.locksHeld, 0);
    }

    // Missing catalogues are reported and do not hold the start up; the main window runs until
    // it is closed, and has unloaded when Main returns.
    void startZeigtDasHauptfensterBisZumSchliessen() {
        QTemporaryDir ordner;
        FakePlatform platform;
        platform.folder = ordner.path().toStdString();
        FakeDialoge dialoge;
        QString titel;
        int locksHeld = -1;
        QTimer::singleShot(0, [&] {
            QWidget* fenster = Hauptfenster();
            QVERIFY(fenster != nullptr && fenster->isVisible());
            titel = fenster->windowTitle();
            locksHeld = platform.locksHeld;
            fenster->close();
        });
        QCOMPARE(zelmo::app::Main(platform, dialoge), 0);
        QCOMPARE(
            dialoge.meldungen,
            QStringList{"Kann Tabelle: " + ordner.filePath("Tabellen.json") + " - nicht finden!"});
        QCOMPARE(titel, QStringLiteral("Zelmo - LiveText-Empfänger"));
        QCOMPARE(locksHeld, 1);
        QCOMPARE(platform.locksHeld, 0);
        QVERIFY(DateiInhalt(ordner.filePath("LiveTextStartwerte.TXT"))
                    .startsWith("Localhost\r\n3000\r\n0\r\nnicht bekannt\r\n"));
        QVERIFY(Hauptfenster() == nullptr);
    }
};

QTEST_MAIN(MainTest)
#include "MainTest.moc"
