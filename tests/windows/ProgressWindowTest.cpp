#include "widgets/ProgressWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

#include "widgets/TitledFrame.h"

using zelmo::widgets::ProgressWindow;
using zelmo::widgets::TitledFrame;

class ProgressWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void startenSperrtAufruferBeendenGibtIhnFrei() {
        QWidget aufrufer;
        aufrufer.show();
        ProgressWindow fortschritt(&aufrufer);

        fortschritt.Starten(QStringLiteral("Verbinde mit 10.0.0.1:3020"), &aufrufer);
        QVERIFY(fortschritt.isRunning());
        QVERIFY(fortschritt.isVisible());
        QVERIFY(!aufrufer.isEnabled());
        // It stands over its caller but stays legible while the caller is disabled.
        QVERIFY(fortschritt.isEnabled());
        QCOMPARE(fortschritt.text(), QStringLiteral("Verbinde mit 10.0.0.1:3020"));
        QCOMPARE(fortschritt.value(), 0);

        fortschritt.Beenden();
        QVERIFY(!fortschritt.isRunning());
        QVERIFY(!fortschritt.isVisible());
        QVERIFY(aufrufer.isEnabled());

        // Ending twice, or without a start, leaves the caller alone.
        aufrufer.setEnabled(false);
        fortschritt.Beenden();
        QVERIFY(!aufrufer.isEnabled());
    }

    void wertBleibtImBereich_data() {
        QTest::addColumn<int>("gesetzt");
        QTest::addColumn<int>("gezeigt");
        QTest::newRow("unter 0") << -7 << 0;
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("mitte") << 50 << 50;
        QTest::newRow("100") << 100 << 100;
        QTest::newRow("darueber") << 130 << 100;
    }
    void wertBleibtImBereich() {
        QFETCH(int, gesetzt);
        QFETCH(int, gezeigt);
        ProgressWindow fortschritt;
        fortschritt.Starten(QStringLiteral("x"), nullptr);
        fortschritt.setValue(gesetzt);
        QCOMPARE(fortschritt.value(), gezeigt);
    }

    void neuerStartBeginntBeiNull() {
        ProgressWindow fortschritt;
        fortschritt.Starten(QStringLiteral("a"), nullptr);
        fortschritt.setValue(80);
        fortschritt.Starten(QStringLiteral("b"), nullptr);
        QCOMPARE(fortschritt.value(), 0);
        QCOMPARE(fortschritt.text(), QStringLiteral("b"));
    }

    void aufruferVerschwindetWaehrendDesLaufs() {
        ProgressWindow fortschritt;
        auto aufrufer = std::make_unique<QWidget>();
        fortschritt.Starten(QStringLiteral("x"), aufrufer.get());
        aufrufer.reset();
        fortschritt.Beenden();
        QVERIFY(!fortschritt.isRunning());
    }

    void rahmenLegtInhaltUnterDieKopfzeile() {
        TitledFrame rahmen(QStringLiteral("Serverdaten"));
        auto* layout = new QVBoxLayout(rahmen.body());
        auto* box = new QLineEdit(rahmen.body());
        layout->addWidget(box);
        rahmen.resize(300, 120);
        rahmen.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rahmen));
        QVERIFY(rahmen.headerHeight() > rahmen.fontMetrics().height());
        QVERIFY(box->mapTo(&rahmen, QPoint(0, 0)).y() >= rahmen.headerHeight());
        QCOMPARE(rahmen.title(), QStringLiteral("Serverdaten"));

        // The header is painted in the frame itself, not a child that could take the focus.
        const QImage bild = rahmen.grab().toImage();
        const QColor kopf = bild.pixelColor(rahmen.width() - 6, rahmen.headerHeight() / 2);
        QVERIFY2(kopf.blue() > kopf.red() + 40, qPrintable(kopf.name()));
    }
};

QTEST_MAIN(ProgressWindowTest)
#include "ProgressWindowTest.moc"
