#include "windows/FrmVorlagen.h"

#include <QApplication>

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <exception>

#include "link/LinkFreshness.h"
#include "net/LinkControl.h"
#include "net/Rehearsal.h"
#include "platform/Folders.h"
#include "start/StartChecks.h"
#include "templates/VorlageDatei.h"
#include "widgets/Auffrischer.h"
#include "widgets/Gitter.h"
#include "widgets/TitledFrame.h"
#include "widgets/VorlageModell.h"
#include "widgets/VorschauModell.h"
#include "widgets/ZeilenListe.h"
#include "windows/FrmDaten.h"
#include "windows/FrmFelderAuswahl.h"
#include "windows/Symbole.h"

namespace zelmo::windows {

using namespace std::chrono_literals;

namespace {

// Column widths in twips: the template's ten columns and the preview's eight.
const QList<int> kVorlageBreiten = {1500, 1500, 1500, 1500, 800, 1100, 800, 1500, 1500, 4700};
const QList<int> kVorschauBreiten = {400, 1000, 800, 1500, 1500, 1500, 1500, 1500};

const QString kVorlageDateiname = QStringLiteral("LiveText.json");
const QString kEndung = QStringLiteral("json");

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QPushButton* Knopf(const QString& text, const QString& name, QWidget* parent) {
    auto* knopf = new QPushButton(text, parent);
    knopf->setObjectName(name);
    return knopf;
}

// The event list shows the field separator (character 27, drawn as a box glyph) as " | ".
QString EreignisAnzeige(const QString& text) {
    return QString(text).replace(QChar(27), QStringLiteral(" | "));
}

// Colours of the output state line: background, text.
const QString kLaeuft = QStringLiteral("background: #1e7b34; color: white;");
const QString kAngehalten = QStringLiteral("background: #f0b000; color: black;");
const QString kGestoert = QStringLiteral("background: #c00000; color: white;");

}  // namespace

FrmVorlagen::FrmVorlagen(start::ProgramState& state, TelegramStore& store, Dialoge& dialoge,
                         LogBook& protokoll, widgets::Auffrischer& auffrischer,
                         const net::LinkControl& verbindung, const net::Rehearsal& probelauf,
                         std::function<QString()> pfad, QWidget* parent)
    : QWidget(parent, Qt::Window),
      state_(state),
      store_(store),
      dialoge_(dialoge),
      protokoll_(protokoll),
      auffrischer_(auffrischer),
      verbindung_(verbindung),
      probelauf_(probelauf),
      pfad_(std::move(pfad)),
      modell_(new widgets::VorlageModell(this)),
      vorschauModell_(new widgets::VorschauModell(this)),
      uhr_([] { return QTime::currentTime(); }) {
    setObjectName(QStringLiteral("FrmVorlagen"));
    setWindowTitle(QStringLiteral("Vorlagen"));
    setWindowIcon(LiveTextIcon());
    Aufbauen();
    FormatAnzeigen();
    CtlLXEreignisse->SetzeAktuelleZelle(0, 0);
    ZustandZeigen();
    resize(widgets::Gitter::TwipsZuPixel(17600, logicalDpiX()),
           widgets::Gitter::TwipsZuPixel(10800, logicalDpiY()));
}

FrmVorlagen::~FrmVorlagen() {
    // The dialog writes into this window's template; it must not outlive it.
    delete feldAuswahl_.data();
    state_.vorlagenAktiv = false;
}

FrmFelderAuswahl* FrmVorlagen::feldAuswahl() const {
    return feldAuswahl_.data();
}

void FrmVorlagen::setUhr(std::function<QTime()> uhr) {
    uhr_ = std::move(uhr);
}

void FrmVorlagen::Aufbauen() {
    CtlLXEreignisse = new widgets::Gitter(this);
    CtlLXEreignisse->setObjectName(QStringLiteral("CtlLXEreignisse"));
    CtlLXEreignisse->setModel(modell_);
    CtlLXEreignisse->SetzeSpaltenbreitenTwips(kVorlageBreiten);
    CtlLXEreignisse->SetzeMehrzeilig(static_cast<int>(SpaltenIndex(Spalte::Tabelle)));
    CtlLXEreignisse->SetzeMehrzeilig(static_cast<int>(SpaltenIndex(Spalte::Feld)));

    cmdBearbeiten = Knopf(QStringLiteral("Bearbeiten"), QStringLiteral("cmdBearbeiten"), this);
    cmdHoch = Knopf(QStringLiteral("Zeile hoch"), QStringLiteral("cmdHoch"), this);
    cmdHerunter = Knopf(QStringLiteral("Zeile runter"), QStringLiteral("cmdHerunter"), this);
    cmdPlus = Knopf(QStringLiteral("Plus +"), QStringLiteral("cmdPlus"), this);
    cmdMinus = Knopf(QStringLiteral("Minus -"), QStringLiteral("cmdMinus"), this);
    cmdProjektEinlesen =
        Knopf(QStringLiteral("Projekt einlesen"), QStringLiteral("cmdProjektEinlesen"), this);
    cmdProjektSpeichern =
        Knopf(QStringLiteral("Projekt speichern"), QStringLiteral("cmdProjektSpeichern"), this);
    cmdBeenden = Knopf(QStringLiteral("Beenden"), QStringLiteral("cmdBeenden"), this);
    cmdDaten = Knopf(QStringLiteral("Daten"), QStringLiteral("cmdDaten"), this);
    cmdProbelauf = Knopf(QStringLiteral("Probelauf…"), QStringLiteral("cmdProbelauf"), this);

    CtlAusgabeformat = new widgets::TitledFrame(QStringLiteral("Ausgabeformat"), this);
    CtlAusgabeformat->setObjectName(QStringLiteral("CtlAusgabeformat"));
    OptLiveText = new QRadioButton(QStringLiteral("LiveText"), CtlAusgabeformat->body());
    OptLiveText->setObjectName(QStringLiteral("OptLiveText"));
    OptCSVNurDaten =
        new QRadioButton(QStringLiteral("CSV nur Dateninhalt"), CtlAusgabeformat->body());
    OptCSVNurDaten->setObjectName(QStringLiteral("OptCSVNurDaten"));
    txtTrenner = new QLineEdit(QStringLiteral(","), CtlAusgabeformat->body());
    txtTrenner->setObjectName(QStringLiteral("txtTrenner"));
    txtTrenner->setMaximumWidth(widgets::Gitter::TwipsZuPixel(600, logicalDpiX()));
    auto* format = new QVBoxLayout(CtlAusgabeformat->body());
    format->addWidget(OptLiveText);
    auto* csv = new QHBoxLayout;
    csv->addWidget(OptCSVNurDaten);
    csv->addWidget(txtTrenner);
    csv->addStretch(1);
    format->addLayout(csv);

    txtEreignis = new QLineEdit(QStringLiteral("Ereignis"), this);
    txtEreignis->setObjectName(QStringLiteral("txtEreignis"));
    ereignis_ = txtEreignis->text();
    listEreignisse = new widgets::ZeilenListe(this);
    listEreignisse->setObjectName(QStringLiteral("listEreignisse"));
    listEreignisse->SetzeAnzeige(EreignisAnzeige);

    CtlLXAusgabe = new widgets::Gitter(this);
    CtlLXAusgabe->setObjectName(QStringLiteral("CtlLXAusgabe"));
    CtlLXAusgabe->setModel(vorschauModell_);
    CtlLXAusgabe->SetzeSpaltenbreitenTwips(kVorschauBreiten);
    CtlLXAusgabe->setEditTriggers(QAbstractItemView::NoEditTriggers);
    CtlLXAusgabe->SetzeEinzeilig();
    CtlLXAusgabe->SetzeInhaltEinpassen(true);

    // Readable from a distance: the operator must see at a glance whether graphics are written.
    lblAusgabeZustand = new QLabel(this);
    lblAusgabeZustand->setObjectName(QStringLiteral("lblAusgabeZustand"));
    QFont gross = lblAusgabeZustand->font();
    gross.setPointSizeF(gross.pointSizeF() * 1.5);
    gross.setBold(true);
    lblAusgabeZustand->setFont(gross);
    lblAusgabeZustand->setMargin(6);
    // A long folder or a rehearsal's progress takes a second line rather than widening the
    // window past the screen.
    lblAusgabeZustand->setWordWrap(true);
    // A line of its own: the state line turns red only for output that has stopped, and a
    // log that cannot be written stops nothing.
    lblProtokollStoerung = new QLabel(this);
    lblProtokollStoerung->setObjectName(QStringLiteral("lblProtokollStoerung"));
    lblProtokollStoerung->setWordWrap(true);
    lblProtokollStoerung->setMargin(4);
    lblProtokollStoerung->setStyleSheet(QStringLiteral("background: #fff2b3; color: black;"));
    lblProtokollStoerung->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblProtokollStoerung->hide();

    lblWarnungen = new QLabel(QStringLiteral("Warnungen"), this);
    lblWarnungen->setObjectName(QStringLiteral("lblWarnungen"));
    lblWarnungen->setWordWrap(true);
    lblWarnungen->setTextInteractionFlags(Qt::TextSelectableByMouse);

    for (std::size_t i = 0; i < ListGefundenIn.size(); ++i) {
        ListGefundenIn[i] = new widgets::ZeilenListe(this);
        ListGefundenIn[i]->setObjectName(QStringLiteral("ListGefundenIn%1").arg(i));
        ListGefundenIn[i]->hide();
    }

    auto* zeilenKnoepfe = new QHBoxLayout;
    for (auto* knopf : {cmdBearbeiten, cmdHoch, cmdHerunter, cmdPlus, cmdMinus}) {
        zeilenKnoepfe->addWidget(knopf);
    }
    zeilenKnoepfe->addStretch(1);
    for (auto* knopf :
         {cmdProbelauf, cmdDaten, cmdProjektEinlesen, cmdProjektSpeichern, cmdBeenden}) {
        zeilenKnoepfe->addWidget(knopf);
    }

    auto* links = new QVBoxLayout;
    links->addWidget(CtlAusgabeformat);
    links->addWidget(txtEreignis);
    links->addWidget(listEreignisse, 1);
    auto* rechts = new QVBoxLayout;
    rechts->addWidget(CtlLXAusgabe, 1);
    rechts->addWidget(lblWarnungen);
    auto* unten = new QHBoxLayout;
    unten->addLayout(links, 1);
    unten->addLayout(rechts, 3);

    auto* gesamt = new QVBoxLayout(this);
    gesamt->addWidget(CtlLXEreignisse, 3);
    gesamt->addLayout(zeilenKnoepfe);
    gesamt->addWidget(lblAusgabeZustand);
    gesamt->addWidget(lblProtokollStoerung);
    gesamt->addLayout(unten, 2);
    for (auto* liste : ListGefundenIn) {
        gesamt->addWidget(liste);
    }

    connect(CtlLXEreignisse, &widgets::Gitter::BearbeitenAngefordert, this,
            &FrmVorlagen::ZeileBearbeiten);
    connect(cmdBearbeiten, &QPushButton::clicked, this, &FrmVorlagen::ZeileBearbeiten);
    connect(cmdHoch, &QPushButton::clicked, this, &FrmVorlagen::cmdHoch_Click);
    connect(cmdHerunter, &QPushButton::clicked, this, &FrmVorlagen::cmdHerunter_Click);
    connect(cmdPlus, &QPushButton::clicked, this, &FrmVorlagen::cmdPlus_Click);
    connect(cmdMinus, &QPushButton::clicked, this, &FrmVorlagen::cmdMinus_Click);
    connect(cmdProjektEinlesen, &QPushButton::clicked, this,
            &FrmVorlagen::cmdProjektEinlesen_Click);
    connect(cmdProjektSpeichern, &QPushButton::clicked, this,
            &FrmVorlagen::cmdProjektSpeichern_Click);
    connect(cmdBeenden, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdDaten, &QPushButton::clicked, this, &FrmVorlagen::datenGewuenscht);
    connect(cmdProbelauf, &QPushButton::clicked, this, &FrmVorlagen::probelaufGewuenscht);

    connect(OptLiveText, &QRadioButton::toggled, this, [this](bool an) {
        if (an) {
            modell_->SetzeFormat(Ausgabeformat::LiveText);
        }
        ZustandZeigen();
    });
    connect(OptCSVNurDaten, &QRadioButton::toggled, this, [this](bool an) {
        if (an) {
            modell_->SetzeFormat(Ausgabeformat::CSVNurDaten);
        }
        ZustandZeigen();
    });
    connect(modell_, &QAbstractItemModel::modelReset, this, &FrmVorlagen::ZustandZeigen);
    connect(modell_, &QAbstractItemModel::rowsInserted, this, &FrmVorlagen::ZustandZeigen);
    connect(modell_, &QAbstractItemModel::rowsRemoved, this, &FrmVorlagen::ZustandZeigen);
    connect(modell_, &QAbstractItemModel::dataChanged, this, &FrmVorlagen::ZustandZeigen);
    connect(&auffrischer_, &widgets::Auffrischer::auffrischen, this, &FrmVorlagen::Zeigen);
    connect(txtTrenner, &QLineEdit::textChanged, this,
            [this](const QString& text) { modell_->SetzeTrenner(text); });
    // Only the operator's typing: a hand-over runs the output itself, exactly once.
    connect(txtEreignis, &QLineEdit::textEdited, this, &FrmVorlagen::txtEreignis_Change);
}

void FrmVorlagen::FormatAnzeigen() {
    const Vorlage& vorlage = modell_->vorlage();
    switch (vorlage.Format()) {
        case Ausgabeformat::LiveText:
            OptLiveText->setChecked(true);
            break;
        case Ausgabeformat::CSVNurDaten:
            OptCSVNurDaten->setChecked(true);
            break;
        case Ausgabeformat::Keins:
            // Exclusive radio buttons cannot be cleared otherwise.
            OptLiveText->setAutoExclusive(false);
            OptCSVNurDaten->setAutoExclusive(false);
            OptLiveText->setChecked(false);
            OptCSVNurDaten->setChecked(false);
            OptLiveText->setAutoExclusive(true);
            OptCSVNurDaten->setAutoExclusive(true);
            break;
    }
    txtTrenner->setText(Q(vorlage.Trenner()));
}

// --- activation and closing -------------------------------------------------------------

void FrmVorlagen::AktivSetzen() {
    // While the field selection dialog is open the line being edited is not yet the template's,
    // so no event may be turned into output.
    state_.vorlagenAktiv = isVisible() && feldAuswahl_.isNull();
}

void FrmVorlagen::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Only activation counts here. Losing it to a message box, a file dialog or another
    // program must not stop the output on air; the program's other forms clear the flag when
    // they become active.
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow()) {
            AktivSetzen();
        }
        // Another form clears the flag in its own activation event, which comes after this one.
        auffrischer_.Geaendert();
    }
}

void FrmVorlagen::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Zeigen();
}

void FrmVorlagen::Zeigen() {
    if (!isVisible()) {
        return;
    }
    if (!ereignisGezeigt_) {
        txtEreignis->setText(ereignis_);
        ereignisGezeigt_ = true;
    }
    listEreignisse->Setzen(zustand_.listEreignisse);
    for (std::size_t i = 0; i < ListGefundenIn.size(); ++i) {
        ListGefundenIn[i]->Setzen(zustand_.ListGefundenIn[i]);
    }
    vorschauModell_->Setzen(zustand_.Ausgabe.Vorschau.Zeilen());
    if (warnungen_) {
        // From the first run of a writer on, the label holds nothing or a warning; output that
        // has stopped must catch the operator's eye.
        if (lblWarnungen->styleSheet().isEmpty()) {
            lblWarnungen->setStyleSheet(QStringLiteral("color: #b00000;"));
        }
        lblWarnungen->setText(Q(*warnungen_));
    }
    const std::optional<std::string>& stoerung = protokoll_.FileFault();
    if (stoerung)
        lblProtokollStoerung->setText(Q(*stoerung) + QStringLiteral("\nDie Ausgabe läuft weiter."));
    lblProtokollStoerung->setVisible(stoerung.has_value());
    cmdProbelauf->setText(probelauf_.Laeuft() ? QStringLiteral("Probelauf beenden")
                                              : QStringLiteral("Probelauf…"));
    ZustandZeigen();
}

void FrmVorlagen::ZustandZeigen() {
    bool zeilen = false;
    for (const VorlageZeile& zeile : modell_->vorlage().Zeilen()) {
        zeilen = zeilen || !zeile[0].empty();
    }
    const LinkFreshness& frische = verbindung_.Frische();
    const auto jetzt = verbindung_.Jetzt();
    QString text;
    QString farbe = kAngehalten;
    if (!frische.IsConnected()) {
        // Nothing is output while no telegram can arrive, whatever the template says.
        text = QStringLiteral("Keine Verbindung zum Sender");
        farbe = kGestoert;
    } else if (frische.IsStale(jetzt)) {
        text = QStringLiteral("Seit ") + Q(DauerText(frische.Quiet(jetzt).value_or(0s))) +
               QStringLiteral(" kein Telegramm!");
        farbe = kGestoert;
    } else if (feldAuswahl_) {
        text = QStringLiteral("Ausgabe angehalten: Feldauswahl offen");
    } else if (!state_.vorlagenAktiv) {
        text = QStringLiteral("Ausgabe angehalten: Vorlagen nicht aktiv");
    } else if (!zeilen) {
        text = QStringLiteral("Ausgabe angehalten: keine Vorlagenzeilen");
    } else if (modell_->vorlage().Format() == Ausgabeformat::Keins) {
        text = QStringLiteral("Ausgabe angehalten: kein Ausgabeformat gewählt");
    } else if (!zustand_.Ausgabe.Warnungen.empty()) {
        text = QStringLiteral("Ausgabe gestört: siehe Warnungen");
        farbe = kGestoert;
    } else {
        text =
            QStringLiteral("Ausgabe läuft in ") + (pfad_ ? pfad_() : QString()) +
            (letzteDatei_.isEmpty()
                 ? QStringLiteral(" – noch keine Datei geschrieben")
                 : QStringLiteral(" – letzte Datei %1 um %2")
                       .arg(letzteDatei_, letzteDateiZeit_.toString(QStringLiteral("HH:mm:ss"))));
        farbe = kLaeuft;
    }
    if (probelauf_.Laeuft()) {
        text = probelauf_.Kennzeichen() + QStringLiteral(" – ") + text;
    }
    lblAusgabeZustand->setText(text);
    // A style sheet is parsed again on every call.
    if (lblAusgabeZustand->styleSheet() != farbe) {
        lblAusgabeZustand->setStyleSheet(farbe);
    }
}

void FrmVorlagen::closeEvent(QCloseEvent* event) {
    if (feldAuswahl_) {
        // The dialog writes into this template; it has to close first.
        event->ignore();
        return;
    }
    if (!dialoge_.JaNein(this, QStringLiteral("Vorlagen gespeichert?"),
                         QStringLiteral("Vorlagen gespeichert?  "))) {
        event->ignore();
        return;
    }
    event->accept();
    state_.vorlagenAktiv = false;
    emit geschlossen();
    deleteLater();
}

// --- row commands -----------------------------------------------------------------------

bool FrmVorlagen::ZeileGewaehlt(int& r) {
    r = CtlLXEreignisse->AktuelleZeile();
    if (r < 0) {
        Meldung(QStringLiteral("Bitte erst eine Zeile auswählen!"));
        return false;
    }
    return true;
}

void FrmVorlagen::ZeileBearbeiten() {
    int r = 0;
    if (!ZeileGewaehlt(r) || feldAuswahl_) {
        return;
    }
    setEnabled(false);
    state_.vorlagenAktiv = false;
    auto* dialog = new FrmFelderAuswahl(state_.kataloge, *modell_, static_cast<std::size_t>(r),
                                        dialoge_, this);
    // A window may take input while the editor below it is disabled.
    dialog->setEnabled(true);
    feldAuswahl_ = dialog;
    connect(dialog, &FrmFelderAuswahl::geschlossen, this, [this] {
        feldAuswahl_.clear();
        setEnabled(true);
        activateWindow();
        AktivSetzen();
        Zeigen();
    });
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    Zeigen();
}

void FrmVorlagen::cmdHoch_Click() {
    int r = 0;
    if (!ZeileGewaehlt(r)) {
        return;
    }
    if (const auto aktuell = modell_->ZeileHoch(static_cast<std::size_t>(r))) {
        CtlLXEreignisse->SetzeAktuelleZelle(static_cast<int>(aktuell->Zeile),
                                            static_cast<int>(aktuell->Spalte));
    }
}

void FrmVorlagen::cmdHerunter_Click() {
    int r = 0;
    if (!ZeileGewaehlt(r)) {
        return;
    }
    if (const auto aktuell = modell_->ZeileRunter(static_cast<std::size_t>(r))) {
        CtlLXEreignisse->SetzeAktuelleZelle(static_cast<int>(aktuell->Zeile),
                                            static_cast<int>(aktuell->Spalte));
    }
}

void FrmVorlagen::cmdPlus_Click() {
    int r = 0;
    if (!ZeileGewaehlt(r)) {
        return;
    }
    const ZellPosition aktuell = modell_->ZeileDuplizieren(static_cast<std::size_t>(r));
    CtlLXEreignisse->SetzeAktuelleZelle(static_cast<int>(aktuell.Zeile),
                                        static_cast<int>(aktuell.Spalte));
}

void FrmVorlagen::cmdMinus_Click() {
    int r = 0;
    if (!ZeileGewaehlt(r)) {
        return;
    }
    const ZellPosition aktuell = modell_->ZeileLoeschen(static_cast<std::size_t>(r));
    CtlLXEreignisse->SetzeAktuelleZelle(static_cast<int>(aktuell.Zeile),
                                        static_cast<int>(aktuell.Spalte));
}

// --- load and save ----------------------------------------------------------------------

void FrmVorlagen::cmdProjektEinlesen_Click() {
    const QString pfad = dialoge_.DateiOeffnen(this, QStringLiteral("Vorlage laden"),
                                               VorlagenOrdner(), kVorlageDateiname, kEndung);
    if (pfad.isEmpty()) {
        return;
    }
    EinleseErgebnis ergebnis = VorlageEinlesen(pfad.toStdString());
    switch (ergebnis.Status) {
        case EinleseStatus::Eingelesen:
            modell_->Ersetzen(std::move(ergebnis.Vorlage));
            vorlagePfad_ = pfad;
            FormatAnzeigen();
            CtlLXEreignisse->SetzeAktuelleZelle(0, 0);
            setWindowTitle(windowTitle() + QStringLiteral(" - ") + pfad);
            Meldung(QStringLiteral("Vorlage eingelesen"));
            break;
        case EinleseStatus::ZeilenLeer:
            break;
        case EinleseStatus::JSONAuswertefehler:
            Meldung(Q(ergebnis.Meldung), Dialoge::Symbol::Kritisch);
            break;
        case EinleseStatus::KeyVorlageFehlt:
        case EinleseStatus::KeineAusgabezeilen:
            Meldung(Q(ergebnis.Meldung));
            break;
    }
}

void FrmVorlagen::cmdProjektSpeichern_Click() {
    const QString pfad = dialoge_.DateiSpeichern(this, QStringLiteral("Vorlage speichern"),
                                                 VorlagenOrdner(), kVorlageDateiname, kEndung);
    if (pfad.isEmpty()) {
        return;
    }
    const std::string name = QFileInfo(QDir::fromNativeSeparators(pfad)).fileName().toStdString();
    if (DateinamePruefen(name) != name) {
        Meldung(QStringLiteral("Dateiname enthält ungülige Zeichen!"));
        return;
    }
    try {
        VorlageSpeichern(pfad.toStdString(), modell_->vorlage());
    } catch (const std::exception& fehler) {
        Meldung(QStringLiteral("Vorlage konnte nicht gespeichert werden:\r\n") +
                    QString::fromStdString(fehler.what()),
                Dialoge::Symbol::Kritisch);
        return;
    }
    vorlagePfad_ = pfad;
    setWindowTitle(windowTitle() + QStringLiteral(" -") + pfad);
    Meldung(QStringLiteral("File gespeichert"));
}

QString FrmVorlagen::VorlagenOrdner() const {
    if (!vorlagePfad_.isEmpty()) {
        return QFileInfo(vorlagePfad_).absolutePath();
    }
    // Where the sample template is, beside the program or in the package's data folder;
    // else the settings folder, which the user may write.
    if (const auto ordner = platform::FirstHolding(state_.folders.catalogues, "LiveText.json"))
        return Q(*ordner);
    return Q(state_.folders.settings);
}

// --- the output run ---------------------------------------------------------------------

void FrmVorlagen::EreignisUebergeben(const QString& eventText) {
    ereignis_ = eventText;
    ereignisGezeigt_ = false;
    Ausgeben(eventText.toStdString());
}

void FrmVorlagen::txtEreignis_Change() {
    // The operator's typing: txtEreignis already shows the text.
    ereignis_ = txtEreignis->text();
    ereignisGezeigt_ = true;
    Ausgeben(ereignis_.toStdString());
    Zeigen();
}

void FrmVorlagen::Ausgeben(const std::string& ereignisText) {
    AusgabeLaufErgebnis ergebnis;
    bool abgebrochen = false;
    zustand_.Zeitpunkt = protokoll_.Now();
    try {
        ergebnis = AusgabeLauf(modell_->vorlage(), ereignisText, store_.Latest(),
                               store_.Section("AktUml"), store_.Section("Umlaufdaten"),
                               pfad_ ? pfad_().toStdString() : std::string(), zustand_);
    } catch (const std::exception&) {
        // A failing run ends quietly; what it listed and wrote so far is shown.
        abgebrochen = true;
    }
    if (ergebnis.Ende == LaufEnde::LeererText && !abgebrochen) {
        return;
    }
    // The label belongs to the writers: it changes only when one of them ran.
    if (ergebnis.Ende == LaufEnde::Ausgegeben || abgebrochen) {
        warnungen_ = zustand_.Ausgabe.Warnungen;
        if (!warnungen_->empty()) {
            protokoll_.Write(LogKind::Warning, *warnungen_);
        }
    }
    for (const std::string& datei : zustand_.Ausgabe.GeschriebeneDateien) {
        protokoll_.Write(LogKind::File, datei);
    }
    if (!zustand_.Ausgabe.GeschriebeneDateien.empty()) {
        letzteDatei_ = QFileInfo(Q(zustand_.Ausgabe.GeschriebeneDateien.front())).fileName();
        letzteDateiZeit_ = uhr_();
    }
    auffrischer_.Geaendert();
}

void FrmVorlagen::Meldung(const QString& text, Dialoge::Symbol symbol) {
    dialoge_.Meldung(this, text, Q(std::string(start::kProgramTitle)), symbol);
}

}  // namespace zelmo::windows
