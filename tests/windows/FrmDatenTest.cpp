#include "windows/FrmDaten.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>

#include "TestHilfen.h"
#include "link/Evaluation.h"
#include "widgets/DatenModell.h"

using namespace zelmo::test;
using zelmo::widgets::DatenModell;

namespace {

const QString kStartliste = QStringLiteral("Startliste");

// A telegram with a plain event and the given sections (JSON members).
void Telegramm(zelmo::TelegramStore& store, const std::string& abschnitte) {
    const std::string text = R"({"Ereignis":{"Befehl":"Befehl","Status":"Start","Wert1":"",)"
                             R"("Wert2":"","Wert3":"","Wert4":""})" +
                             (abschnitte.empty() ? "" : "," + abschnitte) + "}";
    zelmo::Auswerten(text, store, false, {});
}

// A subtree as the view shows it: one line per row, indented by depth, its four columns.
QString Abbild(const QAbstractItemModel& m, const QModelIndex& index, int tiefe = 0) {
    QStringList spalten;
    for (int c = 0; c < m.columnCount(); ++c)
        spalten.append(m.index(index.row(), c, index.parent()).data().toString());
    while (!spalten.isEmpty() && spalten.last().isEmpty())
        spalten.removeLast();
    QString text = QString(tiefe * 2, QLatin1Char(' ')) + spalten.join(" | ") + "\n";
    for (int r = 0; r < m.rowCount(index); ++r)
        text += Abbild(m, m.index(r, 0, index), tiefe + 1);
    return text;
}

QModelIndex Zeile(const QAbstractItemModel& m, const QString& name, const QModelIndex& in = {}) {
    for (int r = 0; r < m.rowCount(in); ++r) {
        if (m.index(r, 0, in).data().toString() == name)
            return m.index(r, 0, in);
    }
    return {};
}

}  // namespace

class FrmDatenTest : public QObject {
    Q_OBJECT

  private:
    zelmo::TelegramStore store_;
    std::unique_ptr<DatenModell> modell_;
    std::unique_ptr<QAbstractItemModelTester> pruefer_;
    QDateTime jetzt_;
    zelmo::Vorlage vorlage_;

    void telegramm(const std::string& abschnitte, int sekunden) {
        jetzt_ = QDateTime(QDate(2024, 6, 15), QTime(10, 0, sekunden));
        Telegramm(store_, abschnitte);
        modell_->Abgleichen();
    }
    QString startliste() const { return Abbild(*modell_, Zeile(*modell_, kStartliste)); }

  private slots:
    void init() {
        store_.Clear();
        modell_ = std::make_unique<DatenModell>(store_);
        // Checks every insert, removal and change the model reports against what it holds.
        pruefer_ = std::make_unique<QAbstractItemModelTester>(
            modell_.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        modell_->setUhr([this] { return jetzt_; });
    }
    void cleanup() {
        pruefer_.reset();
        modell_.reset();
    }

    void baumFolgtDemSpeicher() {
        QCOMPARE(modell_->rowCount(), 17);
        QCOMPARE(startliste(), QStringLiteral("Startliste | nicht empfangen | Satzliste\n"));

        // Stays valid while the list around it changes, so a view keeps its selection.
        telegramm(R"("Startliste":{"Records":[{"Name":"Anna","Land":"GER"},{"Name":"Bea"}]},)"
                  R"("Pruefung":{"Records":[{"Ort":"Aachen"}]})",
                  0);
        const QPersistentModelIndex anna =
            Zeile(*modell_, "Name", Zeile(*modell_, "Satz 0", Zeile(*modell_, kStartliste)));
        QCOMPARE(startliste(), QStringLiteral("Startliste | 2 Sätze, ausgegeben: 1 | Satzliste | "
                                              "10:00:00\n"
                                              "  Satz 0\n    Name | Anna\n    Land | GER\n"
                                              "  Satz 1 | wird nicht ausgegeben\n"
                                              "    Name | Bea\n"));

        struct Schritt {
            const char* abschnitte;
            int sekunden;
            QString erwartet;
        };
        const Schritt schritte[] = {
            {R"("Startliste":{"Records":[{"Name":"Anna","Land":"GER"},{"Name":"Cleo"},)"
             R"({"Name":"Dora","Pferd":{"Name":"Max"}}],"Anzahl":3})",
             5,
             "Startliste | 3 Sätze, ausgegeben: 2 | Satzliste | 10:00:05\n"
             "  Satz 0\n    Name | Anna\n    Land | GER\n"
             "  Satz 1\n    Name | Cleo\n"
             "  Satz 2 | wird nicht ausgegeben\n    Name | Dora\n"
             "    Pferd | Objekt, 1 Eintrag\n      Name | Max\n"
             "  Anzahl | 3\n"},
            {R"("Startliste":{"Records":[{"Name":"Anna","Land":"GER"}]})", 9,
             "Startliste | 1 Satz | Satzliste | 10:00:09\n"
             "  Satz 0\n    Name | Anna\n    Land | GER\n"},
            // Sent again unchanged: not a change.
            {R"("Startliste":{"Records":[{"Name":"Anna","Land":"GER"}]})", 12,
             "Startliste | 1 Satz | Satzliste | 10:00:09\n"
             "  Satz 0\n    Name | Anna\n    Land | GER\n"},
        };
        for (const Schritt& s : schritte) {
            telegramm(s.abschnitte, s.sekunden);
            QCOMPARE(startliste(), s.erwartet);
            QVERIFY(anna.isValid());
            QCOMPARE(anna.data().toString(), QStringLiteral("Name"));
        }
        // A section the telegrams no longer carry keeps its content and its time.
        QCOMPARE(Abbild(*modell_, Zeile(*modell_, "Pruefung")),
                 QStringLiteral("Pruefung | 1 Satz | Einzelsatz | 10:00:00\n"
                                "  Satz 0\n    Ort | Aachen\n"));
        QCOMPARE(Abbild(*modell_, Zeile(*modell_, "Ereignis")).section('\n', 0, 0),
                 QStringLiteral("Ereignis | 6 Felder | Einzelwerte | 10:00:00"));
    }

    void filterUndAuswahl() {
        telegramm(R"("Startliste":{"Records":[{"Name":"Anna"},{"Name":"Cleo"}],"n":2},)"
                  R"("AktUml":{"Umlauf":"2"})",
                  0);
        zelmo::windows::FrmDaten fenster(*modell_);
        fenster.show();
        auto* baum = Kind<QTreeView>(&fenster, "baumDaten");
        Kind<QLineEdit>(&fenster, "txtFilter")->setText("cLEo");
        QCOMPARE(Abbild(*baum->model(), baum->model()->index(0, 0)),
                 QStringLiteral("Startliste | 2 Sätze | Satzliste | 10:00:00\n"
                                "  Satz 1\n    Name | Cleo\n"));
        QCOMPARE(baum->model()->rowCount(), 1);

        const auto waehle = [&](const QModelIndex& index) {
            baum->setCurrentIndex(index);
            return Kind<QLabel>(&fenster, "lblAuswahl")->text();
        };
        const QModelIndex satz = baum->model()->index(0, 0, baum->model()->index(0, 0));
        QCOMPARE(
            waehle(baum->model()->index(0, 0, satz)),
            QStringLiteral("Tabelle: Startliste    Feld: Name    LiveText: Startliste.Name_1"));
        Kind<QLineEdit>(&fenster, "txtFilter")->clear();
        QCOMPARE(baum->model()->rowCount(), 17);
        QCOMPARE(waehle(Zeile(*baum->model(), "Umlauf", Zeile(*baum->model(), "AktUml"))),
                 QStringLiteral("Tabelle: AktUml    Feld: Umlauf    LiveText: AktUml.Umlauf"));
        // A section's own member of a record list is nothing a template line can write.
        QCOMPARE(waehle(Zeile(*baum->model(), "n", Zeile(*baum->model(), kStartliste))),
                 QStringLiteral("Tabelle: Startliste    Feld: n"));
    }

    void vorlagenfelderOhneTelegrammSindMarkiert() {
        zelmo::VorlageZeile zeile;
        zeile[8] = "Startliste\r\nPruefung\r\nKeineTabelle";
        zeile[9] = "Name,Pferd\r\nOrt\r\nX";
        vorlage_ = VorlageAus({zeile});
        modell_->setVorlageQuelle([this] { return &vorlage_; });
        const auto markiert = [this](const QString& abschnitt) {
            QStringList namen;
            const QModelIndex in = Zeile(*modell_, abschnitt);
            for (int r = 0; r < modell_->rowCount(in); ++r) {
                const QModelIndex i = modell_->index(r, 0, in);
                if (i.data(DatenModell::FehltRolle).toBool())
                    namen.append(i.data().toString() + " | " +
                                 modell_->index(r, 1, in).data().toString());
            }
            return namen.join(", ");
        };
        QCOMPARE(markiert(kStartliste),
                 QStringLiteral("Name | noch von keinem Telegramm gesendet, "
                                "Pferd | noch von keinem Telegramm gesendet"));
        QCOMPARE(markiert("Pruefung"), QStringLiteral("Ort | noch von keinem Telegramm gesendet"));

        telegramm(R"("Startliste":{"Records":[{"Name":"Anna"}]})", 0);
        QCOMPARE(markiert(kStartliste),
                 QStringLiteral("Pferd | noch von keinem Telegramm gesendet"));
        telegramm(R"("Startliste":{"Records":[{"Name":"Anna"},{"Pferd":"Max"}]})", 3);
        QCOMPARE(markiert(kStartliste), QString());
        // Carried once is enough; a template change alone is no change of the data.
        telegramm(R"("Startliste":{"Records":[{"Name":"Anna"},{"Land":"GER"}]})", 6);
        vorlage_.SetzeZelle(0, 9, "Name,Pferd,Land,Reiter\r\nOrt\r\nX");
        jetzt_ = jetzt_.addSecs(10);
        modell_->Abgleichen();
        QCOMPARE(markiert(kStartliste),
                 QStringLiteral("Reiter | noch von keinem Telegramm gesendet"));
        QCOMPARE(Zeile(*modell_, kStartliste).siblingAtColumn(3).data().toString(),
                 QStringLiteral("10:00:06"));
    }
};

QTEST_MAIN(FrmDatenTest)
#include "FrmDatenTest.moc"
