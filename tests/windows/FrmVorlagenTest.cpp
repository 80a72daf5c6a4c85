#include "windows/FrmVorlagen.h"

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "EditorFakeDialoge.h"
#include "EditorTestHilfen.h"
#include "templates/VorlageDatei.h"
#include "widgets/Gitter.h"
#include "widgets/TitledFrame.h"
#include "widgets/VorlageModell.h"
#include "windows/FrmFelderAuswahl.h"

using namespace zelmo;
using zelmo::test::EditorFakeDialoge;
using zelmo::windows::FrmVorlagen;

namespace {

const char kESC = '\x1b';

// Round 1 of a Normalspringen; two riders on the start list (the section has two entries,
// so the record index runs over 0 and 1).
constexpr const char* kTelegramm = R"({
  "Ereignis": {"Status": "Start", "Zeit": "65.30"},
  "AktUml": {"strAktUml": "1"},
  "Umlaufdaten": {"Records": [{"Uml1Turnierart": "Normalspringen"}]},
  "Startliste": {"Anzahl": 2, "Records": [{"Name": "Anna", "Land": "GER"},
                                          {"Name": "Ben", "Land": "NED"}]}
})";

VorlageZeile StartZeile() {
    return {"Start",
            "Alle",
            "",
            "",
            "Alle",
            "",
            "07",
            "start",
            "Ereignis\r\nStartliste",
            "Status,Zeit\r\nName,Land"};
}

QString Ereignistext(const char* name) {
    return QString::fromLatin1(name) + kESC + "1" + kESC + "2" + kESC + kESC;
}

}  // namespace

class FrmVorlagenTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<start::ProgramState> state_;
    std::unique_ptr<EditorFakeDialoge> dialoge_;
    std::unique_ptr<QTemporaryDir> ordner_;
    QString pfad_;
    QPointer<FrmVorlagen> editor_;

    FrmVorlagen* Neu() {
        editor_ = new FrmVorlagen(*state_, state_->telegramme, *dialoge_, [this] { return pfad_; });
        return editor_;
    }
    template <typename T>
    T* Kind(const char* name) {
        T* kind = editor_->findChild<T*>(QString::fromLatin1(name));
        if (kind == nullptr) {
            qFatal("control %s missing", name);
        }
        return kind;
    }
    widgets::Gitter* Gitter() { return Kind<widgets::Gitter>("CtlLXEreignisse"); }
    void Klick(const char* knopf) { QTest::mouseClick(Kind<QPushButton>(knopf), Qt::LeftButton); }
    void TelegrammEmpfangen(const char* json) {
        state_->telegramme.SetLatest(JSONDecodieren(json));
        state_->telegramme.StoreSections();
    }
    QString Datei(const char* name) const { return ordner_->filePath(QString::fromLatin1(name)); }
    QStringList Liste(const char* name) {
        QStringList texte;
        auto* liste = Kind<QListWidget>(name);
        for (int i = 0; i < liste->count(); ++i) {
            texte.append(liste->item(i)->text());
        }
        return texte;
    }
    QStringList VorschauZeile(int zeile) {
        auto* modell = Kind<widgets::Gitter>("CtlLXAusgabe")->model();
        QStringList zellen;
        for (int c = 0; c < modell->columnCount(); ++c) {
            zellen.append(modell->index(zeile, c).data().toString());
        }
        return zellen;
    }

  private slots:
    void init() {
        state_ = std::make_unique<start::ProgramState>();
        state_->kataloge = test::Kataloge();
        dialoge_ = std::make_unique<EditorFakeDialoge>();
        ordner_ = std::make_unique<QTemporaryDir>();
        QVERIFY(ordner_->isValid());
        pfad_ = ordner_->path();
    }
    void cleanup() {
        delete editor_.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void controlsOfAFreshEditor() {
        Neu();
        QCOMPARE(editor_->windowTitle(), QStringLiteral("Vorlagen"));
        const QList<std::pair<const char*, QString>> knoepfe = {
            {"cmdBearbeiten", "Bearbeiten"},
            {"cmdHoch", "Zeile hoch"},
            {"cmdHerunter", "Zeile runter"},
            {"cmdPlus", "Plus +"},
            {"cmdMinus", "Minus -"},
            {"cmdProjektEinlesen", "Projekt einlesen"},
            {"cmdProjektSpeichern", "Projekt speichern"},
            {"cmdBeenden", "Beenden"},
        };
        for (const auto& [name, text] : knoepfe) {
            QCOMPARE(Kind<QPushButton>(name)->text(), text);
        }
        QCOMPARE(Kind<widgets::TitledFrame>("CtlAusgabeformat")->title(),
                 QStringLiteral("Ausgabeformat"));
        QCOMPARE(Kind<QRadioButton>("OptLiveText")->text(), QStringLiteral("LiveText"));
        QVERIFY(Kind<QRadioButton>("OptLiveText")->isChecked());
        QCOMPARE(Kind<QRadioButton>("OptCSVNurDaten")->text(),
                 QStringLiteral("CSV nur Dateninhalt"));
        QVERIFY(!Kind<QRadioButton>("OptCSVNurDaten")->isChecked());
        QCOMPARE(Kind<QLineEdit>("txtTrenner")->text(), QStringLiteral(","));
        QCOMPARE(Kind<QLineEdit>("txtEreignis")->text(), QStringLiteral("Ereignis"));
        QCOMPARE(Kind<QLabel>("lblWarnungen")->text(), QStringLiteral("Warnungen"));
        QCOMPARE(Kind<QListWidget>("listEreignisse")->count(), 0);

        editor_->show();
        for (int i = 0; i < 6; ++i) {
            const QByteArray name = "ListGefundenIn" + QByteArray::number(i);
            QVERIFY2(!Kind<QListWidget>(name.constData())->isVisible(), name.constData());
        }

        // One empty line, current at its first cell.
        QCOMPARE(Gitter()->model()->rowCount(), 1);
        QCOMPARE(editor_->modell().vorlage(), Vorlage());
        QCOMPARE(Gitter()->AktuelleZeile(), 0);
        QCOMPARE(Gitter()->AktuelleSpalte(), 0);
    }

    void gridColumnsAndWidths() {
        Neu();
        if (editor_->logicalDpiX() != 96) {
            QSKIP("widths below are for 96 dpi");
        }
        struct Erwartet {
            const char* gitter;
            QStringList kopf;
            QList<int> breiten;  // twips at 96 dpi: 1500 -> 100, 800 -> 53, ...
        };
        const QList<Erwartet> faelle = {
            {"CtlLXEreignisse",
             {"Ereignis", "Turnierart", "Unterauswahl1", "Unterauswahl2", "Umlauf", "Reserve",
              "Seite", "Dateiname", "Tabelle", "Feld"},
             {100, 100, 100, 100, 53, 73, 53, 100, 100, 313}},
            {"CtlLXAusgabe",
             {"Seite", "Dateiname", "Tabelle", "Feld1", "Feld2", "Feld3", "Feld4", "Feld5"},
             {26, 66, 53, 100, 100, 100, 100, 100}},
        };
        for (const auto& fall : faelle) {
            auto* gitter = Kind<widgets::Gitter>(fall.gitter);
            QStringList kopf;
            QList<int> breiten;
            for (int c = 0; c < gitter->model()->columnCount(); ++c) {
                kopf.append(gitter->model()->headerData(c, Qt::Horizontal).toString());
                breiten.append(gitter->columnWidth(c));
            }
            QCOMPARE(kopf, fall.kopf);
            QCOMPARE(breiten, fall.breiten);
        }
    }

    void rowCommands_data() {
        QTest::addColumn<QStringList>("vorher");
        QTest::addColumn<int>("zeile");
        QTest::addColumn<QString>("knopf");
        QTest::addColumn<QStringList>("nachher");
        QTest::addColumn<int>("aktuelleZeile");
        QTest::addColumn<int>("aktuelleSpalte");

        const QStringList abc = {"A", "B", "C"};
        QTest::newRow("plus on the last line")
            << abc << 2 << "cmdPlus" << QStringList{"A", "B", "C", "C"} << 3 << 0;
        QTest::newRow("plus in the middle")
            << abc << 0 << "cmdPlus" << QStringList{"A", "A", "B", "C"} << 1 << 0;
        QTest::newRow("minus on row 0 of two")
            << QStringList{"A", "B"} << 0 << "cmdMinus" << QStringList{"B"} << 0 << 0;
        QTest::newRow("minus on the only line")
            << QStringList{"A"} << 0 << "cmdMinus" << QStringList{""} << 0 << 0;
        QTest::newRow("minus on the last line")
            << abc << 2 << "cmdMinus" << QStringList{"A", "B"} << 1 << 0;
        QTest::newRow("up on row 0") << abc << 0 << "cmdHoch" << abc << 0 << 2;
        QTest::newRow("up on the last line")
            << abc << 2 << "cmdHoch" << QStringList{"A", "C", "B"} << 1 << 0;
        QTest::newRow("down on the last line") << abc << 2 << "cmdHerunter" << abc << 2 << 2;
        QTest::newRow("down on row 0")
            << abc << 0 << "cmdHerunter" << QStringList{"B", "A", "C"} << 1 << 0;
    }

    void rowCommands() {
        QFETCH(QStringList, vorher);
        QFETCH(int, zeile);
        QFETCH(QString, knopf);
        QFETCH(QStringList, nachher);
        QFETCH(int, aktuelleZeile);
        QFETCH(int, aktuelleSpalte);

        Neu();
        Vorlage v;
        v.SetzeZeile(0, test::NurEreignis(vorher[0].toStdString()));
        for (int i = 1; i < vorher.size(); ++i) {
            v.ZeileAnhaengen(test::NurEreignis(vorher[i].toStdString()));
        }
        editor_->modell().Ersetzen(v);
        editor_->show();
        Gitter()->SetzeAktuelleZelle(zeile, 2);

        Klick(knopf.toLatin1().constData());

        QCOMPARE(test::Ereignisse(editor_->modell().vorlage()), nachher);
        QCOMPARE(Gitter()->model()->rowCount(), nachher.size());
        QCOMPARE(Gitter()->AktuelleZeile(), aktuelleZeile);
        QCOMPARE(Gitter()->AktuelleSpalte(), aktuelleSpalte);
        QVERIFY(dialoge_->meldungen.isEmpty());
    }

    void rowCommandsWithoutCurrentLine() {
        Neu();
        editor_->modell().Ersetzen(
            test::VorlageAus({test::NurEreignis("A"), test::NurEreignis("B")}));
        const Vorlage vorher = editor_->modell().vorlage();
        for (const char* knopf :
             {"cmdBearbeiten", "cmdHoch", "cmdHerunter", "cmdPlus", "cmdMinus"}) {
            dialoge_->meldungen.clear();
            Gitter()->setCurrentIndex(QModelIndex());
            QCOMPARE(Gitter()->AktuelleZeile(), -1);
            Klick(knopf);
            QCOMPARE(dialoge_->Texte(), QStringList{"Bitte erst eine Zeile auswählen!"});
            QCOMPARE(editor_->modell().vorlage(), vorher);
            QVERIFY(editor_->feldAuswahl() == nullptr);
        }
    }

    void enterAndCtrlAEditTheCurrentLine() {
        Neu();
        editor_->modell().Ersetzen(
            test::VorlageAus({test::NurEreignis("A"), test::NurEreignis("B")}));
        editor_->show();
        const QList<std::pair<int, Qt::KeyboardModifiers>> tasten = {
            {Qt::Key_Return, Qt::NoModifier},
            {Qt::Key_Enter, Qt::KeypadModifier},
            {Qt::Key_A, Qt::ControlModifier},
        };
        for (const auto& [taste, modifier] : tasten) {
            Gitter()->SetzeAktuelleZelle(1, 3);
            QTest::keyClick(Gitter(), static_cast<Qt::Key>(taste), modifier);
            windows::FrmFelderAuswahl* dialog = editor_->feldAuswahl();
            QVERIFY(dialog != nullptr);
            QCOMPARE(dialog->Zeile(), std::size_t{1});
            QVERIFY(!editor_->isEnabled());
            QVERIFY(dialog->isEnabled());
            QVERIFY(dialog->isVisible());
            QVERIFY(!state_->vorlagenAktiv);

            QTest::mouseClick(dialog->findChild<QPushButton*>("cmdAbbrechen"), Qt::LeftButton);
            QVERIFY(editor_->feldAuswahl() == nullptr);
            QVERIFY(editor_->isEnabled());
            QCOMPARE(test::Ereignisse(editor_->modell().vorlage()), (QStringList{"A", "B"}));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    void dialogWritesIntoTheEditorsLine() {
        Neu();
        editor_->modell().Ersetzen(
            test::VorlageAus({test::NurEreignis("A"), test::NurEreignis("B")}));
        editor_->show();
        Gitter()->SetzeAktuelleZelle(1, 0);
        Klick("cmdBearbeiten");
        QPointer<windows::FrmFelderAuswahl> dialog = editor_->feldAuswahl();
        QVERIFY(dialog);
        // The editor cannot be closed under the dialog, and no question is asked.
        QVERIFY(!editor_->close());
        QVERIFY(dialog);
        QVERIFY(dialoge_->fragen.isEmpty());

        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdUebernehmen"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!dialog);
        QVERIFY(editor_->isEnabled());
        const VorlageZeile erwartet = {"Start", "Alle", "Alle", "Alle", "Alle",
                                       "",      "01",   "",     "",     ""};
        QCOMPARE(editor_->modell().vorlage().Zeile(1), erwartet);
        QCOMPARE(editor_->modell().vorlage().Zeile(0), test::NurEreignis("A"));
    }

    void loadTwiceAppendsBothPaths() {
        Neu();
        const QString erste = Datei("erste.json");
        const QString zweite = Datei("zweite.json");
        QVERIFY(test::DateiSchreiben(
            erste,
            R"({"Vorlage" : {"Zeilen" :[{"Ereignis": "E1", "Turnierart": "Alle", "Unterauswahl1": "Alle", "Unterauswahl2": "Alle", "Umlauf": "Alle", "Reserve": "", "Seite": "01", "Dateiname": "datei", "Tabelle": "T1*T2", "Feld": "f1,f2*f3"} ]} ,"Ausgabeformat" : [{"Type": "OptCSVNurDaten","Trenner" : ";"}]})"
            "\r\n"));
        QVERIFY(test::DateiSchreiben(
            zweite,
            R"({"Vorlage": {"Zeilen": [["Z1","","","","","","","","",""],["Z2","","","","","","","","",""],["Z3","","","","","","","","",""]]}})"));
        dialoge_->dateien = {erste, zweite};

        Klick("cmdProjektEinlesen");
        QCOMPARE(dialoge_->oeffnen.size(), 1);
        QCOMPARE(dialoge_->oeffnen[0].titel, QStringLiteral("Vorlage laden"));
        QCOMPARE(dialoge_->oeffnen[0].startName, QStringLiteral("LiveText.json"));
        QCOMPARE(dialoge_->oeffnen[0].filterEndung, QStringLiteral("json"));
        const VorlageZeile zeile = {"E1", "Alle", "Alle",  "Alle",     "Alle",
                                    "",   "01",   "datei", "T1\r\nT2", "f1,f2\r\nf3"};
        QCOMPARE(editor_->modell().vorlage().Zeilen(), std::vector<VorlageZeile>{zeile});
        QVERIFY(Kind<QRadioButton>("OptCSVNurDaten")->isChecked());
        QVERIFY(!Kind<QRadioButton>("OptLiveText")->isChecked());
        QCOMPARE(Kind<QLineEdit>("txtTrenner")->text(), QStringLiteral(";"));
        QCOMPARE(Gitter()->model()->index(0, 8).data().toString(), QStringLiteral("T1\nT2"));

        Klick("cmdProjektEinlesen");
        QCOMPARE(test::Ereignisse(editor_->modell().vorlage()), (QStringList{"Z1", "Z2", "Z3"}));
        QVERIFY(Kind<QRadioButton>("OptLiveText")->isChecked());
        QCOMPARE(Kind<QLineEdit>("txtTrenner")->text(), QStringLiteral(","));
        QCOMPARE(editor_->windowTitle(), "Vorlagen - " + erste + " - " + zweite);
        QCOMPARE(dialoge_->Texte(), (QStringList{"Vorlage eingelesen", "Vorlage eingelesen"}));
        QCOMPARE(Gitter()->AktuelleZeile(), 0);
    }

    void failedLoadChangesNothing_data() {
        QTest::addColumn<QByteArray>("inhalt");
        QTest::addColumn<QString>("meldung");
        QTest::addColumn<bool>("kritisch");

        QTest::newRow("not JSON") << QByteArray("{kein json") << "JSON Auswertefehler" << true;
        QTest::newRow("a line with five members")
            << QByteArray(R"({"Vorlage": {"Zeilen": [["A","","","",""]]}})")
            << "JSON Auswertefehler" << true;
        QTest::newRow("no Vorlage") << QByteArray(R"({"Zeilen": []})")
                                    << "Keine LiveText Datei!\r\nKey Vorlage fehlt!" << false;
        QTest::newRow("no Zeilen")
            << QByteArray(R"({"Vorlage": {}})") << "Keine Ausgabezeilen vorhanden!" << false;
        QTest::newRow("Zeilen empty")
            << QByteArray(
                   R"({"Vorlage": {"Zeilen": []}, "Ausgabeformat": [{"Type": "OptCSVNurDaten", "Trenner": "|"}]})")
            << QString() << false;
        QTest::newRow("missing file") << QByteArray() << "JSON Auswertefehler" << true;
    }

    void failedLoadChangesNothing() {
        QFETCH(QByteArray, inhalt);
        QFETCH(QString, meldung);
        QFETCH(bool, kritisch);

        Neu();
        editor_->modell().Ersetzen(
            test::VorlageAus({test::NurEreignis("A"), test::NurEreignis("B")}));
        const Vorlage vorher = editor_->modell().vorlage();
        const QString pfad = Datei("vorlage.json");
        if (!inhalt.isEmpty()) {
            QVERIFY(test::DateiSchreiben(pfad, inhalt));
        }
        dialoge_->dateien = {pfad};

        Klick("cmdProjektEinlesen");

        QCOMPARE(editor_->modell().vorlage(), vorher);
        QCOMPARE(editor_->windowTitle(), QStringLiteral("Vorlagen"));
        QVERIFY(Kind<QRadioButton>("OptLiveText")->isChecked());
        QCOMPARE(Kind<QLineEdit>("txtTrenner")->text(), QStringLiteral(","));
        if (meldung.isEmpty()) {
            QVERIFY(dialoge_->meldungen.isEmpty());
        } else {
            QCOMPARE(dialoge_->Texte(), QStringList{meldung});
            QCOMPARE(dialoge_->meldungen[0].symbol == windows::Dialoge::Symbol::Kritisch, kritisch);
        }
    }

    void cancelledDialogsDoNothing() {
        Neu();
        Klick("cmdProjektEinlesen");
        Klick("cmdProjektSpeichern");
        QCOMPARE(dialoge_->oeffnen.size(), 1);
        QCOMPARE(dialoge_->speichern.size(), 1);
        QVERIFY(dialoge_->meldungen.isEmpty());
        QCOMPARE(editor_->windowTitle(), QStringLiteral("Vorlagen"));
    }

    void saveWritesTheFileAndAppendsThePath() {
        Neu();
        editor_->modell().Ersetzen(test::VorlageAus({{"E1", "Alle", "Alle", "Alle", "Alle", "",
                                                      "01", "datei", "T1\r\nT2", "f1,f2\r\nf3"}}));
        QTest::mouseClick(Kind<QRadioButton>("OptCSVNurDaten"), Qt::LeftButton);
        auto* trenner = Kind<QLineEdit>("txtTrenner");
        trenner->selectAll();
        QTest::keyClicks(trenner, ";");
        const QString pfad = Datei("LiveText.json");
        dialoge_->dateien = {pfad};

        Klick("cmdProjektSpeichern");

        QCOMPARE(dialoge_->speichern.size(), 1);
        QCOMPARE(dialoge_->speichern[0].titel, QStringLiteral("Vorlage speichern"));
        QCOMPARE(dialoge_->speichern[0].startName, QStringLiteral("LiveText.json"));
        QCOMPARE(dialoge_->speichern[0].filterEndung, QStringLiteral("json"));
        QCOMPARE(
            test::DateiInhalt(pfad),
            QByteArray(
                R"({"Vorlage" : {"Zeilen" :[{"Ereignis": "E1", "Turnierart": "Alle", "Unterauswahl1": "Alle", "Unterauswahl2": "Alle", "Umlauf": "Alle", "Reserve": "", "Seite": "01", "Dateiname": "datei", "Tabelle": "T1*T2", "Feld": "f1,f2*f3"} ]} ,"Ausgabeformat" : [{"Type": "OptCSVNurDaten","Trenner" : ";"}]})"
                "\r\n"));
        QCOMPARE(editor_->windowTitle(), "Vorlagen -" + pfad);
        QCOMPARE(dialoge_->Texte(), QStringList{"File gespeichert"});
    }

    void saveRefusesAnInvalidName_data() {
        QTest::addColumn<QString>("name");
        for (const char* name : {"a:b.json", "a*b.json", "a?b.json", "a\"b.json", "a<b.json",
                                 "a>b.json", "a|b.json"}) {
            QTest::newRow(name) << QString::fromLatin1(name);
        }
    }

    void saveRefusesAnInvalidName() {
        QFETCH(QString, name);
        Neu();
        dialoge_->dateien = {ordner_->filePath(name)};
        Klick("cmdProjektSpeichern");
        QCOMPARE(dialoge_->Texte(), QStringList{"Dateiname enthält ungülige Zeichen!"});
        QVERIFY(QDir(ordner_->path()).isEmpty());
        QCOMPARE(editor_->windowTitle(), QStringLiteral("Vorlagen"));
    }

    void saveFailureIsReportedNotSuccess() {
        Neu();
        const QString pfad = Datei("fehlt/LiveText.json");
        dialoge_->dateien = {pfad};
        Klick("cmdProjektSpeichern");
        QCOMPARE(dialoge_->meldungen.size(), 1);
        const QString text = dialoge_->meldungen[0].text;
        QVERIFY2(text.startsWith("Vorlage konnte nicht gespeichert werden:\r\n"), qPrintable(text));
        QVERIFY2(text.contains(pfad), qPrintable(text));
        QVERIFY(dialoge_->meldungen[0].symbol == windows::Dialoge::Symbol::Kritisch);
        QCOMPARE(editor_->windowTitle(), QStringLiteral("Vorlagen"));
    }

    void closingAsksAndOnlyYesCloses() {
        for (const bool schliessknopf : {false, true}) {
            dialoge_->fragen.clear();
            Neu();
            editor_->modell().Ersetzen(test::VorlageAus({test::NurEreignis("A")}));
            editor_->show();
            QSignalSpy geschlossen(editor_.data(), &FrmVorlagen::geschlossen);

            dialoge_->antworten = {false};
            schliessknopf ? (void)editor_->close() : Klick("cmdBeenden");
            QCOMPARE(dialoge_->fragen.size(), 1);
            QCOMPARE(dialoge_->fragen[0].text, QStringLiteral("Vorlagen gespeichert?"));
            QCOMPARE(dialoge_->fragen[0].titel, QStringLiteral("Vorlagen gespeichert?  "));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(editor_);
            QVERIFY(editor_->isVisible());
            QCOMPARE(geschlossen.size(), 0);
            QCOMPARE(test::Ereignisse(editor_->modell().vorlage()), QStringList{"A"});

            dialoge_->antworten = {true};
            state_->vorlagenAktiv = true;
            schliessknopf ? (void)editor_->close() : Klick("cmdBeenden");
            QCOMPARE(dialoge_->fragen.size(), 2);
            QCOMPARE(geschlossen.size(), 1);
            QVERIFY(!state_->vorlagenAktiv);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(!editor_);
        }
    }

    void vorlagenAktivFollowsActivation() {
        Neu();
        editor_->show();
        editor_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor_));
        QVERIFY(state_->vorlagenAktiv);

        QWidget anderes;
        anderes.show();
        anderes.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&anderes));
        QVERIFY(!state_->vorlagenAktiv);

        editor_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor_));
        QVERIFY(state_->vorlagenAktiv);

        // The field selection dialog: the editor is disabled and nothing becomes output.
        Klick("cmdBearbeiten");
        QPointer<windows::FrmFelderAuswahl> dialog = editor_->feldAuswahl();
        QVERIFY(dialog);
        QVERIFY(!state_->vorlagenAktiv);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QVERIFY(!state_->vorlagenAktiv);
        editor_->activateWindow();
        QCoreApplication::processEvents();
        QVERIFY(!state_->vorlagenAktiv);

        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdAbbrechen"), Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowActive(editor_));
        QVERIFY(state_->vorlagenAktiv);

        dialoge_->antworten = {true};
        Klick("cmdBeenden");
        QVERIFY(!state_->vorlagenAktiv);
        QCoreApplication::processEvents();
        QVERIFY(!state_->vorlagenAktiv);
    }

    void handedOverEventWritesTheDataFiles() {
        Neu();
        editor_->modell().Ersetzen(test::VorlageAus({test::NurEreignis("Ziel"), StartZeile()}));
        TelegrammEmpfangen(kTelegramm);
        const QString text = Ereignistext("start");

        editor_->EreignisUebergeben(text);

        QCOMPARE(Kind<QLineEdit>("txtEreignis")->text(), text);
        QCOMPARE(test::DateiInhalt(Datei("start.txt")), QByteArray("Ereignis.Status = Start\r\n"
                                                                   "Ereignis.Zeit = 65.30\r\n"
                                                                   "Startliste.Name_0 = Anna\r\n"
                                                                   "Startliste.Land_0 = GER\r\n"
                                                                   "Startliste.Name_1 = Ben\r\n"
                                                                   "Startliste.Land_1 = NED\r\n"));
        QCOMPARE(test::DateiInhalt(Datei("control.txt")),
                 QByteArray("LiveText_PageNo = 07\r\nLiveText_Play = 0\r\nLiveText_Play = 1\r\n"));
        QCOMPARE(Liste("listEreignisse"), QStringList{text});
        QCOMPARE(Liste("ListGefundenIn0"), QStringList{"1"});
        QCOMPARE(Liste("ListGefundenIn1"), QStringList{"Normalspringen / 1"});
        QCOMPARE(Liste("ListGefundenIn4"), QStringList{"1"});
        QCOMPARE(Kind<QLabel>("lblWarnungen")->text(), QString());

        QCOMPARE(Kind<widgets::Gitter>("CtlLXAusgabe")->model()->rowCount(), 4);
        QCOMPARE(VorschauZeile(0), (QStringList{"07", "start", "Ereignis", "Status = Start",
                                                "Zeit = 65.30", "", "", ""}));
        QCOMPARE(VorschauZeile(1), (QStringList{"07", "start", "Startliste", "", "", "", "", ""}));
        QCOMPARE(VorschauZeile(3), (QStringList{"07", "start", "Startliste", "Name_1 = Ben",
                                                "Land_1 = NED", "", "", ""}));
    }

    void theSameEventTwiceRunsTwice() {
        Neu();
        editor_->modell().Ersetzen(test::VorlageAus({StartZeile()}));
        TelegrammEmpfangen(kTelegramm);
        const QString text = Ereignistext("Start");
        editor_->EreignisUebergeben(text);
        QVERIFY(QFile::remove(Datei("start.txt")));
        QVERIFY(QFile::remove(Datei("control.txt")));

        editor_->EreignisUebergeben(text);

        QCOMPARE(Liste("listEreignisse"), (QStringList{text, text}));
        QVERIFY(QFile::exists(Datei("start.txt")));
        QVERIFY(QFile::exists(Datei("control.txt")));
    }

    void runReadsTheGridAndControlsAtTheMoment() {
        Neu();
        editor_->modell().Ersetzen(test::VorlageAus({StartZeile()}));
        TelegrammEmpfangen(kTelegramm);

        // An unsaved edit of a cell, the CSV option and a separator typed by the operator.
        auto* gitter = Gitter();
        QVERIFY(gitter->model()->setData(gitter->model()->index(0, 7), "ausgabe"));
        QVERIFY(gitter->model()->setData(gitter->model()->index(0, 9), "Status\nName"));
        QTest::mouseClick(Kind<QRadioButton>("OptCSVNurDaten"), Qt::LeftButton);
        auto* trenner = Kind<QLineEdit>("txtTrenner");
        trenner->selectAll();
        QTest::keyClicks(trenner, ";");
        QTemporaryDir anderer;
        pfad_ = anderer.path();

        editor_->EreignisUebergeben(Ereignistext("Start"));

        QCOMPARE(test::DateiInhalt(anderer.filePath("ausgabe.csv")),
                 QByteArray("\"Start\";\r\n\"Anna\";\r\n\"Ben\"\r\n"));
        QVERIFY(!QFile::exists(anderer.filePath("control.txt")));
        QVERIFY(QDir(ordner_->path()).isEmpty());
        QCOMPARE(VorschauZeile(0).mid(0, 4),
                 (QStringList{"--", "ausgabe", "Ereignis", "Status = Start"}));
    }

    void writerWarningsAndFailedWritesShowInTheLabel() {
        Neu();
        editor_->modell().Ersetzen(test::VorlageAus({StartZeile()}));
        TelegrammEmpfangen(kTelegramm);
        auto* warnungen = Kind<QLabel>("lblWarnungen");

        pfad_.clear();
        editor_->EreignisUebergeben(Ereignistext("Start"));
        QCOMPARE(warnungen->text(), QStringLiteral("Kein Ausgabepfad angegeben!"));

        // An event that picks no line leaves the writers' label as it was.
        editor_->EreignisUebergeben(Ereignistext("Ziel"));
        QCOMPARE(warnungen->text(), QStringLiteral("Kein Ausgabepfad angegeben!"));

        pfad_ = ordner_->filePath("fehlt");
        editor_->EreignisUebergeben(Ereignistext("Start"));
        QVERIFY2(warnungen->text().contains("start.txt"), qPrintable(warnungen->text()));

        pfad_ = ordner_->path();
        editor_->EreignisUebergeben(Ereignistext("Start"));
        QCOMPARE(warnungen->text(), QString());
    }

    void typingAnEventRunsTheOutput() {
        Neu();
        editor_->modell().Ersetzen(test::VorlageAus({StartZeile()}));
        TelegrammEmpfangen(kTelegramm);
        editor_->show();
        auto* ereignis = Kind<QLineEdit>("txtEreignis");
        ereignis->selectAll();
        QTest::keyClicks(ereignis, "Start");

        // The first key replaced "Ereignis" by "S"; each key ran once.
        QCOMPARE(Liste("listEreignisse"), (QStringList{"S", "St", "Sta", "Star", "Start"}));
        QCOMPARE(test::DateiInhalt(Datei("control.txt")),
                 QByteArray("LiveText_PageNo = 07\r\nLiveText_Play = 0\r\nLiveText_Play = 1\r\n"));
    }
};

QTEST_MAIN(FrmVorlagenTest)
#include "FrmVorlagenTest.moc"
