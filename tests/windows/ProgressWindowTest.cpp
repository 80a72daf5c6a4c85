#include "widgets/ProgressWindow.h"

#include <QTest>
#include <memory>

using zelmo::widgets::ProgressWindow;

class ProgressWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void startenSperrtAufruferBeendenGibtIhnFrei() {
        QWidget aufrufer;
        aufrufer.show();
        ProgressWindow fortschritt(&aufrufer);

        fortschritt.Starten(QStringLiteral("Verbinde mit 10.0.0.1:3020"), &aufrufer);
        QVERIFY(fortschritt.isVisible());
        QVERIFY(!aufrufer.isEnabled());
        // It stands over its caller but stays legible while the caller is disabled.
        QVERIFY(fortschritt.isEnabled());
        QCOMPARE(fortschritt.text(), QStringLiteral("Verbinde mit 10.0.0.1:3020"));

        fortschritt.Beenden();
        QVERIFY(!fortschritt.isVisible());
        QVERIFY(aufrufer.isEnabled());
        // Ending twice leaves the caller alone.
        aufrufer.setEnabled(false);
        fortschritt.Beenden();
        QVERIFY(!aufrufer.isEnabled());
    }

    void wertBleibtImBereichNeuerStartBeiNull_data() {
        QTest::addColumn<int>("gesetzt");
        QTest::addColumn<int>("gezeigt");
        QTest::newRow("unter 0") << -7 << 0;
        QTest::newRow("mitte") << 50 << 50;
        QTest::newRow("darueber") << 130 << 100;
    }
    void wertBleibtImBereichNeuerStartBeiNull() {
        QFETCH(int, gesetzt);
        QFETCH(int, gezeigt);
        ProgressWindow fortschritt;
        fortschritt.Starten(QStringLiteral("a"), nullptr);
        fortschritt.setValue(gesetzt);
        QCOMPARE(fortschritt.value(), gezeigt);
        fortschritt.Starten(QStringLiteral("b"), nullptr);
        QCOMPARE(fortschritt.value(), 0);
    }

    void aufruferVerschwindetWaehrendDesLaufs() {
        ProgressWindow fortschritt;
        auto aufrufer = std::make_unique<QWidget>();
        fortschritt.Starten(QStringLiteral("x"), aufrufer.get());
        aufrufer.reset();
        fortschritt.Beenden();
        QVERIFY(!fortschritt.isRunning());
    }
};

QTEST_MAIN(ProgressWindowTest)
#include "ProgressWindowTest.moc"
