#include "windows/FrmProbelauf.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "component/Error.h"
#include "component/FileReplace.h"
#include "component/Path.h"
#include "journal/DayFile.h"
#include "windows/Dialoge.h"

namespace zelmo::windows {

namespace {

using Tempo = net::Rehearsal::Tempo;

const QString kTitel = QStringLiteral("Probelauf");

// The newest day's recording in `ordner`; empty when there is none.
QString NeuesterMitschnitt(const QString& ordner) {
    if (ordner.isEmpty())
        return {};
    const std::vector<journal::DayFile> tage = journal::DayFiles(ordner.toStdString(), ".jsonl");
    if (tage.empty())
        return {};
    return QString::fromStdString(JoinPath(ordner.toStdString(), tage.back().name));
}

QRadioButton* Tempowahl(Tempo tempo, const char* name, QWidget* parent) {
    auto* knopf = new QRadioButton(net::Rehearsal::TempoText(tempo), parent);
    knopf->setObjectName(QString::fromLatin1(name));
    return knopf;
}

}  // namespace

FrmProbelauf::FrmProbelauf(Dialoge& dialoge, const QString& mitschnittOrdner,
                           const QString& ausgabeOrdner, Starten starten, QWidget* parent)
    : QDialog(parent),
      dialoge_(dialoge),
      mitschnittOrdner_(mitschnittOrdner),
      starten_(std::move(starten)) {
    setObjectName(QStringLiteral("FrmProbelauf"));
    setWindowTitle(kTitel);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);

    auto* lblShowdatei = new QLabel(QStringLiteral("Showdatei:"), this);
    txtShowdatei = new QLineEdit(NeuesterMitschnitt(mitschnittOrdner), this);
    txtShowdatei->setObjectName(QStringLiteral("txtShowdatei"));
    txtShowdatei->setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    cmdDurchsuchen = new QPushButton(QStringLiteral("Durchsuchen…"), this);
    cmdDurchsuchen->setObjectName(QStringLiteral("cmdDurchsuchen"));
    auto* datei = new QHBoxLayout;
    datei->addWidget(lblShowdatei);
    datei->addWidget(txtShowdatei, 1);
    datei->addWidget(cmdDurchsuchen);

    auto* tempo = new QGroupBox(QStringLiteral("Tempo"), this);
    OptWieAufgenommen = Tempowahl(Tempo::WieAufgenommen, "OptWieAufgenommen", tempo);
    OptDoppeltSoSchnell = Tempowahl(Tempo::DoppeltSoSchnell, "OptDoppeltSoSchnell", tempo);
    OptNachJederQuittung = Tempowahl(Tempo::NachJederQuittung, "OptNachJederQuittung", tempo);
    OptWieAufgenommen->setChecked(true);
    auto* tempi = new QVBoxLayout(tempo);
    for (QRadioButton* knopf : {OptWieAufgenommen, OptDoppeltSoSchnell, OptNachJederQuittung})
        tempi->addWidget(knopf);

    // A rehearsal writes where the show on air writes: the operator must know before starting.
    lblAusgabe = new QLabel(
        QStringLiteral("Die Show wird in dieses Programm gespielt: Die Ausgabe geht wie auf "
                       "Sendung in den LiveText-Ordner %1, solange die Vorlagen aktiv sind.")
            .arg(ausgabeOrdner),
        this);
    lblAusgabe->setObjectName(QStringLiteral("lblAusgabe"));
    lblAusgabe->setWordWrap(true);

    cmdStarten = new QPushButton(QStringLiteral("Starten"), this);
    cmdStarten->setObjectName(QStringLiteral("cmdStarten"));
    cmdStarten->setDefault(true);
    cmdAbbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    cmdAbbrechen->setObjectName(QStringLiteral("cmdAbbrechen"));
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch(1);
    knoepfe->addWidget(cmdStarten);
    knoepfe->addWidget(cmdAbbrechen);

    auto* gesamt = new QVBoxLayout(this);
    gesamt->addLayout(datei);
    gesamt->addWidget(tempo);
    gesamt->addWidget(lblAusgabe);
    gesamt->addLayout(knoepfe);

    const auto dateiGewaehlt = [this] {
        cmdStarten->setEnabled(!txtShowdatei->text().trimmed().isEmpty());
    };
    dateiGewaehlt();
    connect(txtShowdatei, &QLineEdit::textChanged, this, dateiGewaehlt);
    connect(cmdDurchsuchen, &QPushButton::clicked, this, &FrmProbelauf::cmdDurchsuchen_Click);
    connect(cmdStarten, &QPushButton::clicked, this, &FrmProbelauf::cmdStarten_Click);
    connect(cmdAbbrechen, &QPushButton::clicked, this, &QWidget::close);
}

void FrmProbelauf::cmdDurchsuchen_Click() {
    const QFileInfo bisher(txtShowdatei->text().trimmed());
    QString ordner = mitschnittOrdner_;
    if (!bisher.fileName().isEmpty() && bisher.dir().exists())
        ordner = bisher.absolutePath();
    else if (!QDir(ordner).exists())
        ordner.clear();
    const QString pfad = dialoge_.DateiOeffnen(this, QStringLiteral("Showdatei wählen"), ordner,
                                               bisher.fileName(), QStringLiteral("jsonl"));
    if (!pfad.isEmpty())
        txtShowdatei->setText(QDir::toNativeSeparators(pfad));
}

void FrmProbelauf::cmdStarten_Click() {
    const QString pfad = txtShowdatei->text().trimmed();
    std::string text;
    try {
        text = ReadFile(pfad.toStdString());
    } catch (const Error& e) {
        Meldung(QStringLiteral("Showdatei kann nicht gelesen werden:\r\n") + e.what());
        return;
    }
    std::vector<ShowTelegram> show;
    try {
        show = ParseShow(text);
    } catch (const Error& e) {
        Meldung(pfad + QStringLiteral(" ist keine Showdatei:\r\n") + e.what());
        return;
    }
    if (const auto fehler = ShowPruefen(show)) {
        Meldung(pfad + QStringLiteral(" ist keine Showdatei:\r\n") +
                QString::fromStdString(*fehler));
        return;
    }
    const Tempo tempo = OptDoppeltSoSchnell->isChecked()    ? Tempo::DoppeltSoSchnell
                        : OptNachJederQuittung->isChecked() ? Tempo::NachJederQuittung
                                                            : Tempo::WieAufgenommen;
    if (starten_(show, tempo, pfad))
        close();
}

void FrmProbelauf::Meldung(const QString& text) {
    dialoge_.Meldung(this, text, kTitel, Dialoge::Symbol::Kritisch);
}

}  // namespace zelmo::windows
