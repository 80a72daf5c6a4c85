#include "windows/FrmLiveTextEmpfaenger.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "component/FileReplace.h"
#include "component/Path.h"
#include "link/Address.h"
#include "link/LinkFreshness.h"
#include "net/LinkClient.h"
#include "net/LinkControl.h"
#include "net/LinkJournal.h"
#include "start/StartChecks.h"
#include "widgets/Auffrischer.h"
#include "widgets/DatenModell.h"
#include "widgets/ProgressWindow.h"
#include "widgets/TitledFrame.h"
#include "widgets/VorlageModell.h"
#include "widgets/ZeilenListe.h"
#include "windows/Dialoge.h"
#include "windows/Symbole.h"
// FrmVorlagen.h keeps a QPointer to the dialog, which needs the complete type.
#include "windows/FrmDaten.h"
#include "windows/FrmFelderAuswahl.h"
#include "windows/FrmProbelauf.h"
#include "windows/FrmVorlagen.h"

namespace zelmo::windows {

namespace {

constexpr double kTwipsPerInch = 1440.0;

const QString kVerbinden = QStringLiteral("Verbinden");
const QString kTrennen = QStringLiteral("Trennen");

const QColor kDesignFehlerText(255, 0, 0);
const QColor kDesignFehlerHintergrund(255, 255, 192);
const QColor kFehlerHintergrund(255, 0, 0);  // colour value 255
const QColor kFehlerText(255, 255, 0);       // colour value 65535
const QColor kFrisch(30, 123, 52);
const QColor kKeineVerbindung(220, 220, 220);

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

std::string ToUtf8(const QString& text) {
    return text.toStdString();
}

void SetzeFarben(QLabel* label, const QColor& hintergrund, const QColor& text) {
    QPalette palette = label->palette();
    if (label->autoFillBackground() && palette.color(QPalette::Window) == hintergrund &&
        palette.color(QPalette::WindowText) == text)
        return;
    palette.setColor(QPalette::Window, hintergrund);
    palette.setColor(QPalette::WindowText, text);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

QPushButton* Knopf(const char* name, const QString& text, QWidget* parent) {
    auto* knopf = new QPushButton(text, parent);
    knopf->setObjectName(QString::fromLatin1(name));
    return knopf;
}

QLabel* Beschriftung(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

widgets::ZeilenListe* Liste(const char* name, QWidget* parent) {
    auto* liste = new widgets::ZeilenListe(parent);
    liste->setObjectName(QString::fromLatin1(name));
    return liste;
}

}  // namespace

FrmLiveTextEmpfaenger::FrmLiveTextEmpfaenger(start::ProgramState& state, TelegramStore& store,
                                             Dialoge& dialoge, QWidget* parent)
    : QWidget(parent),
      state_(state),
      store_(store),
      dialoge_(dialoge),
      auffrischer_(new widgets::Auffrischer(this)),
      verbindung_(new net::LinkControl(store, state.vorlagenAktiv, protokoll_, this)),
      uhrzeit_([] { return QTime::currentTime(); }),
      datenModell_(new widgets::DatenModell(store, this)) {
    setObjectName(QStringLiteral("FrmLiveTextEmpfaenger"));
    setWindowTitle(QStringLiteral("Zelmo - LiveText-Empfänger"));
    QFont arial(QStringLiteral("Arial"), 9);
    arial.setStyleHint(QFont::SansSerif);
    setFont(arial);

    AufbauFenster();

    if (!state.folders.state.empty()) {
        journal_ = std::make_unique<net::LinkJournal>(protokoll_, verbindung_->Client(),
                                                      state.folders.state);
        connect(journal_.get(), &net::LinkJournal::geaendert, auffrischer_,
                &widgets::Auffrischer::Geaendert);
    }
    probelauf_ = new net::Rehearsal(*verbindung_, protokoll_, journal_.get(), this);
    connect(probelauf_, &net::Rehearsal::geaendert, auffrischer_, &widgets::Auffrischer::Geaendert);
    connect(verbindung_, &net::LinkControl::geaendert, auffrischer_,
            &widgets::Auffrischer::Geaendert);
    connect(verbindung_, &net::LinkControl::wartenBeendet, this,
            &FrmLiveTextEmpfaenger::WarteBeendet);
    connect(auffrischer_, &widgets::Auffrischer::auffrischen, this,
            &FrmLiveTextEmpfaenger::Auffrischen);
    net::LinkClient& client = verbindung_->Client();
    connect(&client, &net::LinkClient::dispatch, this, &FrmLiveTextEmpfaenger::TCPClient_Ereignis);
    connect(&client, &net::LinkClient::clientLog, this, [this] {
        // Every end of an acknowledgement wait logs a line: the peer's OK, the timeout or
        // the disconnection. The next test telegram may go then.
        if (!transferRest_.isEmpty())
            QTimer::singleShot(0, this, &FrmLiveTextEmpfaenger::TransferTestWeiter);
    });
    datenModell_->setVorlageQuelle([this]() -> const Vorlage* {
        return vorlagen_ ? &vorlagen_->modell().vorlage() : nullptr;
    });
    FrischeZeigen();
}

FrmLiveTextEmpfaenger::~FrmLiveTextEmpfaenger() {
    // The connection and the progress window report back to this window; end both while it
    // is still whole.
    verbindung_->disconnect(this);
    verbindung_->Client().disconnect(this);
    // Its end line goes into the daily log, which ends below.
    probelauf_->Beenden();
    verbindung_->Beenden();
    // The last lines (the connection closed) go into the files now.
    journal_.reset();
    ctlProgressbar1->Beenden();
    if (mausBeschaeftigt_)
        QApplication::restoreOverrideCursor();
    delete vorlagen_.data();
    delete daten_.data();
}

void FrmLiveTextEmpfaenger::AufbauFenster() {
    Label99Wert = Beschriftung("Label99Wert", QStringLiteral("letzter Befehl"), this);
    QFont ueberschrift = font();
    ueberschrift.setPointSize(12);
    ueberschrift.setBold(true);
    Label99Wert->setFont(ueberschrift);

    LabelGAKomFehler =
        Beschriftung("LabelGAKomFehler", QStringLiteral("Status-/Fehlermeldungen"), this);
    LabelGAKomFehler->setWordWrap(true);
    LabelGAKomFehler->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    LabelGAKomFehler->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LabelGAKomFehler->setMinimumHeight(3 * fontMetrics().height());
    LabelGAKomFehler->setTextInteractionFlags(Qt::TextSelectableByMouse);

    ListEreignisse = Liste("ListEreignisse", this);
    cmdListe1Loeschen = Knopf("cmdListe1Loeschen", QStringLiteral("Liste löschen"), this);
    cmdTransferTest = Knopf("cmdTransferTest", QStringLiteral("TransferTest"), this);
    cmdParameterSpeichern =
        Knopf("cmdParameterSpeichern", QStringLiteral("Zelmo-LiveText Parameter speichern"), this);
    lblParameterGespeichert = Beschriftung("lblParameterGespeichert", QString(), this);
    lblParameterGespeichert->setVisible(false);

    CtlFraFuerServerdaten = new widgets::TitledFrame(QStringLiteral("Serverdaten"), this);
    CtlFraFuerServerdaten->setObjectName(QStringLiteral("CtlFraFuerServerdaten"));
    QWidget* rahmen = CtlFraFuerServerdaten->body();
    txtIPausUDPEmpfaenger = new QLineEdit(QStringLiteral("0.0.0.0"), rahmen);
    txtIPausUDPEmpfaenger->setObjectName(QStringLiteral("txtIPausUDPEmpfaenger"));
    lblIPausUDPEmpfaenger =
        Beschriftung("lblIPausUDPEmpfaenger", QStringLiteral("IP aus UDP-Empfänger"), rahmen);
    txtPortausUDPEmpfaenger = new QLineEdit(QStringLiteral("3020"), rahmen);
    txtPortausUDPEmpfaenger->setObjectName(QStringLiteral("txtPortausUDPEmpfaenger"));
    lblPortausUDPEmpfaenger =
        Beschriftung("lblPortausUDPEmpfaenger", QStringLiteral("Port aus UDP-Empfänger"), rahmen);
    cmdVerbinden = Knopf("cmdVerbinden", kVerbinden, rahmen);
    chkAutomatischVerbinden = new QCheckBox(QStringLiteral("Automatisch verbinden"), rahmen);
    chkAutomatischVerbinden->setObjectName(QStringLiteral("chkAutomatischVerbinden"));
    chkAutomatischWiederverbinden =
        new QCheckBox(QStringLiteral("Automatisch wiederverbinden"), rahmen);
    chkAutomatischWiederverbinden->setObjectName(QStringLiteral("chkAutomatischWiederverbinden"));
    lblWiederverbinden = Beschriftung("lblWiederverbinden", QString(), rahmen);
    lblWiederverbinden->setVisible(false);
    lblConnectFehler = Beschriftung("lblConnectFehler", QStringLiteral("ConnectFehler"), rahmen);
    // Until an attempt fails, nothing has failed.
    lblConnectFehler->setVisible(false);
    lblConnectFehler->setWordWrap(true);
    lblConnectFehler->setMargin(2);
    // Showing and hiding the message must not make the controls below it jump.
    QSizePolicy platzHalten = lblConnectFehler->sizePolicy();
    platzHalten.setRetainSizeWhenHidden(true);
    lblConnectFehler->setSizePolicy(platzHalten);
    SetzeFarben(lblConnectFehler, kDesignFehlerHintergrund, kDesignFehlerText);

    auto* raster = new QGridLayout(rahmen);
    raster->setContentsMargins(0, 0, 0, 0);
    raster->addWidget(lblIPausUDPEmpfaenger, 0, 0);
    raster->addWidget(txtIPausUDPEmpfaenger, 0, 1);
    raster->addWidget(cmdVerbinden, 0, 2);
    raster->addWidget(lblPortausUDPEmpfaenger, 1, 0);
    raster->addWidget(txtPortausUDPEmpfaenger, 1, 1);
    raster->addWidget(chkAutomatischVerbinden, 1, 2);
    raster->addWidget(chkAutomatischWiederverbinden, 2, 2);
    raster->addWidget(lblWiederverbinden, 2, 0, 1, 2);
    raster->addWidget(lblConnectFehler, 3, 0, 1, 3);
    raster->setColumnStretch(1, 1);

    ctlProgressbar1 = new widgets::ProgressWindow(this);
    ctlProgressbar1->setObjectName(QStringLiteral("ctlProgressbar1"));

    lblPfadzuLiveText = Beschriftung("lblPfadzuLiveText", QStringLiteral("LiveText Pfad:"), this);
    txtPfadZuLiveText = new QLineEdit(this);
    txtPfadZuLiveText->setObjectName(QStringLiteral("txtPfadZuLiveText"));
    ImageLiveTextPfadSuchen = new QToolButton(this);
    ImageLiveTextPfadSuchen->setObjectName(QStringLiteral("ImageLiveTextPfadSuchen"));
    ImageLiveTextPfadSuchen->setAutoRaise(true);
    ImageLiveTextPfadSuchen->setIconSize(QSize(24, 24));

    ListeClient = Liste("ListeClient", this);
    cmdListeClientLoeschen = Knopf("cmdListeClientLoeschen", QStringLiteral("Liste löschen"), this);
    cmdVorlagen = Knopf("cmdVorlagen", QStringLiteral("Vorlagen"), this);
    cmdDaten = Knopf("cmdDaten", QStringLiteral("Daten"), this);
    cmdProbelauf = Knopf("cmdProbelauf", QStringLiteral("Probelauf…"), this);
    // Shown on first activation.
    ListeClient->setVisible(false);
    cmdListeClientLoeschen->setVisible(false);

    auto* telegrammKnoepfe = new QHBoxLayout;
    telegrammKnoepfe->addWidget(cmdTransferTest);
    telegrammKnoepfe->addWidget(cmdListe1Loeschen);
    telegrammKnoepfe->addStretch(1);
    telegrammKnoepfe->addWidget(lblParameterGespeichert);
    telegrammKnoepfe->addWidget(cmdParameterSpeichern);

    auto* links = new QVBoxLayout;
    links->addWidget(Label99Wert);
    links->addWidget(LabelGAKomFehler);
    links->addWidget(ListEreignisse, 1);
    links->addLayout(telegrammKnoepfe);

    auto* pfad = new QHBoxLayout;
    pfad->addWidget(lblPfadzuLiveText);
    pfad->addWidget(txtPfadZuLiveText, 1);
    pfad->addWidget(ImageLiveTextPfadSuchen);

    auto* clientKnoepfe = new QHBoxLayout;
    clientKnoepfe->addWidget(cmdListeClientLoeschen);
    clientKnoepfe->addStretch(1);
    clientKnoepfe->addWidget(cmdProbelauf);
    clientKnoepfe->addWidget(cmdDaten);
    clientKnoepfe->addWidget(cmdVorlagen);

    auto* rechts = new QVBoxLayout;
    rechts->addWidget(CtlFraFuerServerdaten);
    AufbauFrische(rechts);
    rechts->addLayout(pfad);
    rechts->addWidget(ListeClient, 1);
    rechts->addLayout(clientKnoepfe);

    auto* spalten = new QHBoxLayout(this);
    spalten->addLayout(links, 1);
    spalten->addSpacing(12);
    spalten->addLayout(rechts, 1);

    connect(cmdVerbinden, &QPushButton::clicked, this, &FrmLiveTextEmpfaenger::cmdVerbinden_Click);
    connect(chkAutomatischVerbinden, &QCheckBox::clicked, this,
            &FrmLiveTextEmpfaenger::chkAutomatischVerbinden_Click);
    connect(chkAutomatischWiederverbinden, &QCheckBox::toggled, verbindung_,
            &net::LinkControl::SetzeWiederverbinden);
    connect(ImageLiveTextPfadSuchen, &QToolButton::clicked, this,
            &FrmLiveTextEmpfaenger::ImageLiveTextPfadSuchen_Click);
    connect(cmdParameterSpeichern, &QPushButton::clicked, this,
            &FrmLiveTextEmpfaenger::cmdParameterSpeichern_Click);
    connect(cmdTransferTest, &QPushButton::clicked, this,
            &FrmLiveTextEmpfaenger::cmdTransferTest_Click);
    connect(cmdVorlagen, &QPushButton::clicked, this, &FrmLiveTextEmpfaenger::cmdVorlagen_Click);
    connect(cmdDaten, &QPushButton::clicked, this, &FrmLiveTextEmpfaenger::DatenZeigen);
    connect(cmdProbelauf, &QPushButton::clicked, this, [this] { ProbelaufKnopf(this); });
    connect(cmdListe1Loeschen, &QPushButton::clicked, this, [this] {
        protokoll_.ClearTelegrams();
        Zeigen();
    });
    connect(cmdListeClientLoeschen, &QPushButton::clicked, this, [this] {
        protokoll_.ClearClient();
        Zeigen();
    });

    txtIPausUDPEmpfaenger->installEventFilter(this);
    txtPortausUDPEmpfaenger->installEventFilter(this);
}

void FrmLiveTextEmpfaenger::AufbauFrische(QBoxLayout* rechts) {
    lblTelegrammAlter = Beschriftung("lblTelegrammAlter", QString(), this);
    QFont gross = font();
    gross.setPointSize(13);
    gross.setBold(true);
    lblTelegrammAlter->setFont(gross);
    lblTelegrammAlter->setMargin(4);
    // A long line (a rehearsal's) takes a second line rather than widening the window.
    lblTelegrammAlter->setWordWrap(true);
    txtWarnungNachSekunden = new QSpinBox(this);
    txtWarnungNachSekunden->setObjectName(QStringLiteral("txtWarnungNachSekunden"));
    txtWarnungNachSekunden->setRange(start::kMinStaleSeconds, start::kMaxStaleSeconds);
    txtWarnungNachSekunden->setSuffix(QStringLiteral(" s"));
    txtWarnungNachSekunden->setValue(start::kDefaultStaleSeconds);
    txtWarnungNachSekunden->setToolTip(
        QStringLiteral("Warnung, wenn so lange kein Telegramm kam; die Verbindung bleibt."));
    auto* zeile = new QHBoxLayout;
    zeile->addWidget(lblTelegrammAlter, 1);
    zeile->addWidget(Beschriftung("lblWarnungNach", QStringLiteral("Warnung nach"), this));
    zeile->addWidget(txtWarnungNachSekunden);
    rechts->addLayout(zeile);
    connect(txtWarnungNachSekunden, &QSpinBox::valueChanged, this, [this](int sekunden) {
        verbindung_->SetzeWarnschwelle(std::chrono::seconds(sekunden));
        FrischeZeigen();
    });
}

void FrmLiveTextEmpfaenger::FrischeZeigen() {
    const LinkFreshness& frische = verbindung_->Frische();
    const auto jetzt = verbindung_->Jetzt();
    const auto still = frische.Quiet(jetzt);
    QString text;
    QColor hintergrund = kKeineVerbindung;
    QColor schrift = Qt::black;
    if (!still) {
        text = QStringLiteral("Keine Verbindung");
    } else if (const QString dauer = FromUtf8(DauerText(*still)); frische.IsStale(jetzt)) {
        text = QStringLiteral("Seit ") + dauer + QStringLiteral(" kein Telegramm!");
        hintergrund = kFehlerHintergrund;
        schrift = kFehlerText;
    } else if (frische.HasTelegram()) {
        text = QStringLiteral("Letztes Telegramm vor ") + dauer;
        hintergrund = kFrisch;
        schrift = Qt::white;
    } else {
        text = QStringLiteral("Verbunden – noch kein Telegramm (seit ") + dauer + QLatin1Char(')');
    }
    if (probelauf_->Laeuft())
        text = probelauf_->Kennzeichen() + QStringLiteral(" – ") + text;
    lblTelegrammAlter->setText(text);
    SetzeFarben(lblTelegrammAlter, hintergrund, schrift);
}

int FrmLiveTextEmpfaenger::TwipsZuPixel(double twips, Qt::Orientation richtung) const {
    const int dpi = richtung == Qt::Horizontal ? logicalDpiX() : logicalDpiY();
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

double FrmLiveTextEmpfaenger::PixelZuTwips(int pixel, Qt::Orientation richtung) const {
    const int dpi = richtung == Qt::Horizontal ? logicalDpiX() : logicalDpiY();
    return std::round(pixel * kTwipsPerInch / dpi);
}

void FrmLiveTextEmpfaenger::StartwerteLesen() {
    startwerte_ = start::ReadSettings(state_.folders.settings);

    txtIPausUDPEmpfaenger->setText(FromUtf8(startwerte_.address));
    txtPortausUDPEmpfaenger->setText(FromUtf8(startwerte_.port));
    const bool automatisch = start::IsAutoConnectSet(startwerte_.autoConnect);
    if (automatisch && !chkAutomatischVerbinden->isChecked()) {
        chkAutomatischVerbinden->setChecked(true);
        // The stored tick acts as the operator's first click: it makes the first connection,
        // once the window is up.
        QTimer::singleShot(0, this, [this] {
            if (!entladenErledigt_)
                chkAutomatischVerbinden_Click();
        });
    }
    txtPfadZuLiveText->setText(FromUtf8(startwerte_.liveTextFolder));
    PositionSetzen(startwerte_);
    zusatzwerte_ = start::ReadExtraSettings(state_.folders.settings);
    txtWarnungNachSekunden->setValue(zusatzwerte_.StaleSeconds());
    chkAutomatischWiederverbinden->setChecked(zusatzwerte_.AutoReconnect());
}

void FrmLiveTextEmpfaenger::PositionSetzen(const start::Settings& settings) {
    if (!settings.left && !settings.top)
        return;
    // The client area, as the writer takes it: a window manager on X11 reports the frame only
    // once the window is on screen, so a frame position would be applied as a client one.
    QPoint ziel = geometry().topLeft();
    if (settings.left)
        ziel.setX(TwipsZuPixel(*settings.left, Qt::Horizontal));
    if (settings.top)
        ziel.setY(TwipsZuPixel(*settings.top, Qt::Vertical));
    // A position stored on a screen that is no longer attached would hide the window.
    if (QGuiApplication::screenAt(ziel) == nullptr)
        return;
    setGeometry(QRect(ziel, size()));
}

QString FrmLiveTextEmpfaenger::Pfad() const {
    return txtPfadZuLiveText->text();
}

void FrmLiveTextEmpfaenger::setVerbindenUhr(Uhr uhr, std::chrono::milliseconds takt) {
    verbindung_->SetzeUhr(std::move(uhr), takt);
}

void FrmLiveTextEmpfaenger::setUhrzeit(std::function<QTime()> uhrzeit) {
    uhrzeit_ = std::move(uhrzeit);
}

net::LinkClient& FrmLiveTextEmpfaenger::linkClient() {
    return verbindung_->Client();
}

QWidget* FrmLiveTextEmpfaenger::vorlagen() const {
    return vorlagen_.data();
}

QWidget* FrmLiveTextEmpfaenger::daten() const {
    return daten_.data();
}

// --- what the window shows --------------------------------------------------------------

void FrmLiveTextEmpfaenger::Auffrischen() {
    // The data view's bookkeeping (change times, fields seen) follows the telegrams even while
    // the view is closed; it reads the store only when telegrams came.
    if (verbindung_->Telegramme() != gemerkteTelegramme_) {
        gemerkteTelegramme_ = verbindung_->Telegramme();
        datenModell_->Merken();
    }
    Zeigen();
}

void FrmLiveTextEmpfaenger::Zeigen() {
    if (!isVisible())
        return;
    const net::LinkControl& v = *verbindung_;
    // The rehearsal has its own button; the real sender's address waits, untouched, for after.
    const bool probe = probelauf_->Laeuft();
    cmdVerbinden->setText(v.TrennenMoeglich() && !probe ? kTrennen : kVerbinden);
    cmdVerbinden->setEnabled(!v.Wartet() && !probe);
    txtIPausUDPEmpfaenger->setEnabled(!v.AdresseGesperrt() && !probe);
    txtPortausUDPEmpfaenger->setEnabled(!v.AdresseGesperrt() && !probe);
    cmdProbelauf->setText(probe ? QStringLiteral("Probelauf beenden")
                                : QStringLiteral("Probelauf…"));
    if (v.Fehlschlag()) {
        SetzeFarben(lblConnectFehler, kFehlerHintergrund, kFehlerText);
        lblConnectFehler->setText(QStringLiteral("Konnte nicht mit ") + *v.Fehlschlag() +
                                  QStringLiteral(" verbinden!"));
    }
    lblConnectFehler->setVisible(v.Fehlschlag().has_value());
    if (v.WiederverbindenLaeuft()) {
        const Reconnect& r = v.Wiederverbinden();
        const auto sekunden = r.Countdown(v.Jetzt()).count();
        lblWiederverbinden->setText(
            r.Attempting() ? QStringLiteral("Verbindungsversuch %1 läuft, nächster in %2 s")
                                 .arg(r.Attempts())
                                 .arg(sekunden)
                           : QStringLiteral("Nächster Verbindungsversuch in %1 s (bisher %2)")
                                 .arg(sekunden)
                                 .arg(r.Attempts()));
    }
    lblWiederverbinden->setVisible(v.WiederverbindenLaeuft());
    if (v.Wartet())
        ctlProgressbar1->setValue(v.Fortschritt());

    if (protokoll_.Version() != gezeigtesProtokoll_) {
        gezeigtesProtokoll_ = protokoll_.Version();
        ListEreignisse->Setzen(protokoll_.Telegrams());
        ListeClient->Setzen(protokoll_.Client());
        if (protokoll_.Status())
            LabelGAKomFehler->setText(FromUtf8(*protokoll_.Status()));
    }
    FrischeZeigen();
}

void FrmLiveTextEmpfaenger::SchreibeInListe1(const QString& textwert) {
    protokoll_.Write(LogKind::Telegram, ToUtf8(textwert));
    auffrischer_->Geaendert();
}

void FrmLiveTextEmpfaenger::SchreibeInListeClient(const QString& textwert) {
    protokoll_.Write(LogKind::Client, ToUtf8(textwert));
    auffrischer_->Geaendert();
}

// --- life cycle -------------------------------------------------------------------------

void FrmLiveTextEmpfaenger::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Run on the first show, not only on activation: a main window that was never activated
    // would otherwise write its design values over the stored settings when it closes.
    if (!ersteAktivierungErledigt_)
        ErsteAktivierung();
    Zeigen();
}

void FrmLiveTextEmpfaenger::ErsteAktivierung() {
    ersteAktivierungErledigt_ = true;

    setWindowIcon(LiveTextIcon());
    ImageLiveTextPfadSuchen->setIcon(Open3Icon());

    ListeClient->setVisible(true);
    cmdListeClientLoeschen->setVisible(true);
    resize(TwipsZuPixel(kBreiteTwips, Qt::Horizontal), TwipsZuPixel(kHoeheTwips, Qt::Vertical));
    cmdTransferTest->setVisible(false);

    CtlFraFuerServerdaten->setToolTip(
        QStringLiteral("Server automatisch starten und 'Button starten' nur wenn LiveText an "
                       "diesem Rechner angeschlossen ist!"));

    StartwerteLesen();
}

void FrmLiveTextEmpfaenger::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow())
        return;
    if (isEnabled()) {
        // The main window is one of the program's forms: while it is active, nothing is output.
        state_.vorlagenAktiv = false;
    } else if (vorlagen_) {
        // Nothing here can be used while the editor is open: a click on this window is meant
        // for the editor, and output goes on.
        QTimer::singleShot(0, this, [this] {
            if (vorlagen_ && !isEnabled()) {
                vorlagen_->raise();
                vorlagen_->activateWindow();
            }
        });
    }
}

void FrmLiveTextEmpfaenger::closeEvent(QCloseEvent* event) {
    if (!entladenErledigt_) {
        // The editor asks its question first; its "Nein" keeps the program as it is.
        if (vorlagen_ && !ohneFrage_ && !vorlagen_->close()) {
            event->ignore();
            return;
        }
        delete vorlagen_.data();
        Entladen();
    }
    event->accept();
}

void FrmLiveTextEmpfaenger::BeendenOhneFrage() {
    ohneFrage_ = true;
    close();
}

void FrmLiveTextEmpfaenger::Entladen() {
    entladenErledigt_ = true;
    StartwerteSchreiben();
    transferRest_.clear();
    probelauf_->Beenden();
    verbindung_->Beenden();
    // A window of its own would keep the program running.
    delete daten_.data();
    store_.Clear();
    emit entladen();
}

// --- settings ---------------------------------------------------------------------------

bool FrmLiveTextEmpfaenger::StartwerteSchreiben() {
    startwerte_.address = ToUtf8(txtIPausUDPEmpfaenger->text());
    startwerte_.port = ToUtf8(txtPortausUDPEmpfaenger->text());
    startwerte_.autoConnect = chkAutomatischVerbinden->isChecked() ? "1" : "0";
    startwerte_.liveTextFolder = ToUtf8(txtPfadZuLiveText->text());
    startwerte_.left = PixelZuTwips(geometry().x(), Qt::Horizontal);
    startwerte_.top = PixelZuTwips(geometry().y(), Qt::Vertical);
    // A file that cannot be written keeps its previous content.
    const bool startwerte = start::WriteSettings(state_.folders.settings, startwerte_);
    zusatzwerte_.SetStaleSeconds(txtWarnungNachSekunden->value());
    zusatzwerte_.SetAutoReconnect(chkAutomatischWiederverbinden->isChecked());
    const bool zusatzwerte = start::WriteExtraSettings(state_.folders.settings, zusatzwerte_);
    return startwerte && zusatzwerte;
}

void FrmLiveTextEmpfaenger::cmdParameterSpeichern_Click() {
    // The operator pressed the button to be sure: a failure must not look like success.
    if (StartwerteSchreiben()) {
        lblParameterGespeichert->setText(QStringLiteral("Parameter gespeichert um ") +
                                         uhrzeit_().toString(QStringLiteral("HH:mm:ss")));
        lblParameterGespeichert->setStyleSheet(QString());
    } else {
        lblParameterGespeichert->setText(
            QStringLiteral("Parameter konnten nicht gespeichert werden!"));
        lblParameterGespeichert->setStyleSheet(
            QStringLiteral("color: #c00000; font-weight: bold;"));
    }
    lblParameterGespeichert->setVisible(true);
}

void FrmLiveTextEmpfaenger::ImageLiveTextPfadSuchen_Click() {
    const QString bisher = txtPfadZuLiveText->text();
    const QString ordner = dialoge_.Ordner(
        this, QStringLiteral("Suche LiveText Datenordner"),
        !bisher.isEmpty() && FolderExists(ToUtf8(bisher)) ? bisher : QDir::homePath());
    if (ordner.isEmpty())
        return;
    if (FolderExists(ToUtf8(ordner))) {
        txtPfadZuLiveText->setText(ordner);
        startwerte_.liveTextFolder = ToUtf8(ordner);
    } else {
        txtPfadZuLiveText->setText(QStringLiteral("unbekannt"));
        startwerte_.liveTextFolder.clear();
        Meldung(QStringLiteral("Pfad nicht gefunden!"));
    }
}

bool FrmLiveTextEmpfaenger::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (watched == txtIPausUDPEmpfaenger)
            startwerte_.address = ToUtf8(txtIPausUDPEmpfaenger->text());
        else if (watched == txtPortausUDPEmpfaenger)
            startwerte_.port = ToUtf8(txtPortausUDPEmpfaenger->text());
    }
    return QWidget::eventFilter(watched, event);
}

// --- connection -------------------------------------------------------------------------

void FrmLiveTextEmpfaenger::cmdVerbinden_Click() {
    if (verbindung_->TrennenMoeglich())
        verbindung_->Trennen();
    else
        Verbinden();
    Zeigen();
}

void FrmLiveTextEmpfaenger::Verbinden() {
    const QString adresse = txtIPausUDPEmpfaenger->text();
    const QString port = txtPortausUDPEmpfaenger->text();
    switch (verbindung_->Verbinden(adresse, port)) {
        case net::LinkControl::Versuch::AdresseFalsch:
            Meldung(FromUtf8(std::string(kIpFormatStimmtNicht)));
            return;
        case net::LinkControl::Versuch::PortFalsch:
            Meldung(FromUtf8(std::string(kPortFormatStimmtNicht)));
            return;
        case net::LinkControl::Versuch::Laeuft:
            break;
    }
    if (!verbindung_->Wartet())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    mausBeschaeftigt_ = true;
    ctlProgressbar1->Starten(QStringLiteral("Verbinde mit ") + adresse + QLatin1Char(':') + port,
                             this);
}

// The attempt has ended: progress window closed (which enables the window), pointer restored.
void FrmLiveTextEmpfaenger::WarteBeendet() {
    ctlProgressbar1->Beenden();
    if (mausBeschaeftigt_) {
        QApplication::restoreOverrideCursor();
        mausBeschaeftigt_ = false;
    }
    Zeigen();
}

void FrmLiveTextEmpfaenger::chkAutomatischVerbinden_Click() {
    startwerte_.autoConnect = chkAutomatischVerbinden->isChecked() ? "1" : "0";
    if (autoVerbindenErledigt_)
        return;
    autoVerbindenErledigt_ = true;
    // The first tick connects, but not behind a rehearsal's back.
    if (!verbindung_->TrennenMoeglich() && !probelauf_->Laeuft())
        Verbinden();
    Zeigen();
}

// --- telegrams --------------------------------------------------------------------------

void FrmLiveTextEmpfaenger::TCPClient_Ereignis(const QString& eventText) {
    if (vorlagen_)
        vorlagen_->EreignisUebergeben(eventText);
}

void FrmLiveTextEmpfaenger::cmdTransferTest_Click() {
    transferRest_ = {QStringLiteral("halo"), QString(200000, QLatin1Char('a')),
                     QStringLiteral("HalloÄüßÖ")};
    TransferTestWeiter();
}

void FrmLiveTextEmpfaenger::TransferTestWeiter() {
    // Each telegram waits for the acknowledgement of the one before (or its timeout); a
    // refused send goes straight on to the next.
    while (!transferRest_.isEmpty() && !linkClient().ackPending())
        linkClient().send(transferRest_.takeFirst());
}

// --- template editor --------------------------------------------------------------------

void FrmLiveTextEmpfaenger::cmdVorlagen_Click() {
    if (!vorlagen_) {
        auto* editor = new FrmVorlagen(state_, store_, dialoge_, protokoll_, *auffrischer_,
                                       *verbindung_, *probelauf_, [this] { return Pfad(); });
        vorlagen_ = editor;
        connect(editor, &FrmVorlagen::geschlossen, this,
                &FrmLiveTextEmpfaenger::VorlagenGeschlossen);
        connect(editor, &FrmVorlagen::datenGewuenscht, this, &FrmLiveTextEmpfaenger::DatenZeigen);
        connect(editor, &FrmVorlagen::probelaufGewuenscht, this,
                [this, editor] { ProbelaufKnopf(editor); });
        // The fields the template names are marked in the data view.
        const auto vorlageGeaendert = [this] {
            datenModell_->VorlageGeaendert();
            auffrischer_->Geaendert();
        };
        auto* modell = &editor->modell();
        connect(modell, &QAbstractItemModel::modelReset, this, vorlageGeaendert);
        connect(modell, &QAbstractItemModel::dataChanged, this, vorlageGeaendert);
        connect(modell, &QAbstractItemModel::rowsRemoved, this, vorlageGeaendert);
        // However the editor goes, the main window must take input again.
        connect(editor, &QObject::destroyed, this, [this] { setEnabled(true); });
    }
    setEnabled(false);
    vorlagen_->show();
    vorlagen_->raise();
    vorlagen_->activateWindow();
}

void FrmLiveTextEmpfaenger::VorlagenGeschlossen() {
    setEnabled(true);
    // No editor is open any more, so nothing may be handed on.
    state_.vorlagenAktiv = false;
    if (vorlagen_)
        vorlagen_->deleteLater();
    vorlagen_.clear();
    datenModell_->VorlageGeaendert();
    auffrischer_->Geaendert();
}

// --- data view --------------------------------------------------------------------------

void FrmLiveTextEmpfaenger::DatenZeigen() {
    if (!daten_)
        daten_ = new FrmDaten(*datenModell_, *auffrischer_);
    daten_->show();
    daten_->raise();
    daten_->activateWindow();
}

// --- rehearsal --------------------------------------------------------------------------

QWidget* FrmLiveTextEmpfaenger::probelaufDialog() const {
    return probelaufDialog_.data();
}

void FrmLiveTextEmpfaenger::ProbelaufKnopf(QWidget* von) {
    if (probelauf_->Laeuft()) {
        probelauf_->Beenden();
        Zeigen();
        return;
    }
    if (probelaufDialog_)
        return;
    const QString mitschnitt = state_.folders.state.empty()
                                   ? QString()
                                   : FromUtf8(JoinPath(state_.folders.state, "Mitschnitt"));
    // A child of the window that asked: a child of the disabled main window would be disabled.
    probelaufDialog_ = new FrmProbelauf(
        dialoge_, mitschnitt, Pfad(),
        [this](const std::vector<ShowTelegram>& show, net::Rehearsal::Tempo tempo,
               const QString& datei) { return ProbelaufStarten(show, tempo, datei); },
        von);
    probelaufDialog_->show();
}

bool FrmLiveTextEmpfaenger::ProbelaufStarten(const std::vector<ShowTelegram>& show,
                                             net::Rehearsal::Tempo tempo, const QString& datei) {
    // The rehearsal replaces the live feed: the operator must not lose it by accident.
    if (verbindung_->Verbunden() &&
        !dialoge_.JaNein(probelaufDialog_,
                         QStringLiteral("Die Verbindung zum Sender wird für den Probelauf "
                                        "getrennt und danach nicht von selbst wieder "
                                        "aufgebaut.\r\nProbelauf starten?"),
                         QStringLiteral("Probelauf")))
        return false;
    if (const auto fehler = probelauf_->Starten(show, tempo, datei)) {
        dialoge_.Meldung(probelaufDialog_,
                         QStringLiteral("Probelauf kann nicht starten: ") + *fehler,
                         QStringLiteral("Probelauf"), Dialoge::Symbol::Kritisch);
        return false;
    }
    Zeigen();
    return true;
}

void FrmLiveTextEmpfaenger::Meldung(const QString& text) {
    dialoge_.Meldung(this, text, FromUtf8(std::string(start::kProgramTitle)));
}

}  // namespace zelmo::windows
