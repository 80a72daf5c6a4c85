#include "windows/FrmLiveTextEmpfaenger.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "component/FileReplace.h"
#include "link/Address.h"
#include "net/LinkClient.h"
#include "start/StartChecks.h"
#include "widgets/DatenModell.h"
#include "widgets/ProgressWindow.h"
#include "widgets/TitledFrame.h"
#include "widgets/VorlageModell.h"
#include "windows/Dialoge.h"
#include "windows/Symbole.h"
// FrmVorlagen.h keeps a QPointer to the dialog, which needs the complete type.
#include "windows/FrmDaten.h"
#include "windows/FrmFelderAuswahl.h"
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
    palette.setColor(QPalette::Window, hintergrund);
    palette.setColor(QPalette::WindowText, text);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

// Shows a rolling log: the view holds exactly the model's lines, oldest first.
void ZeigeLog(QListWidget* liste, const RollingLog& log) {
    while (liste->count() >= static_cast<int>(log.Limit()) && liste->count() > 0)
        delete liste->takeItem(0);
    liste->addItem(FromUtf8(log.Lines().back()));
    liste->scrollToBottom();
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

QListWidget* Liste(const char* name, QWidget* parent) {
    auto* liste = new QListWidget(parent);
    liste->setObjectName(QString::fromLatin1(name));
    // A line wider than the list gets a horizontal scroll bar instead of being cut off.
    liste->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    liste->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    liste->setSelectionMode(QAbstractItemView::SingleSelection);
    return liste;
}

}  // namespace

FrmLiveTextEmpfaenger::FrmLiveTextEmpfaenger(start::ProgramState& state, TelegramStore& store,
                                             Dialoge& dialoge, QWidget* parent)
    : QWidget(parent),
      state_(state),
      store_(store),
      dialoge_(dialoge),
      link_(std::make_unique<net::LinkClient>(store, state.vorlagenAktiv)),
      uhr_([] { return std::chrono::steady_clock::now(); }),
      datenModell_(new widgets::DatenModell(store, this)) {
    setObjectName(QStringLiteral("FrmLiveTextEmpfaenger"));
    setWindowTitle(QStringLiteral("Zelmo - LiveText-Empfänger"));
    QFont arial(QStringLiteral("Arial"), 9);
    arial.setStyleHint(QFont::SansSerif);
    setFont(arial);

    AufbauFenster();

    anschluss_.erzeugen = [this]() -> QWidget* {
        return new FrmVorlagen(state_, store_, dialoge_, [this] { return Pfad(); });
    };
    anschluss_.ereignisUebergeben = [](QWidget* editor, const QString& eventText) {
        if (auto* vorlagen = qobject_cast<FrmVorlagen*>(editor))
            vorlagen->EreignisUebergeben(eventText);
    };

    verbindenTakt_.setInterval(50);
    connect(&verbindenTakt_, &QTimer::timeout, this, &FrmLiveTextEmpfaenger::VerbindenTakt);
    frischeTakt_.setInterval(1000);
    connect(&frischeTakt_, &QTimer::timeout, this, &FrmLiveTextEmpfaenger::FrischeZeigen);
    connect(link_.get(), &net::LinkClient::connected, this, [this] {
        frische_.Connected(uhr_());
        FrischeZeigen();
    });
    connect(link_.get(), &net::LinkClient::disconnected, this, [this] {
        frische_.Disconnected();
        FrischeZeigen();
    });
    connect(link_.get(), &net::LinkClient::telegramLog, this, [this] {
        frische_.Telegram(uhr_());
        FrischeZeigen();
    });
    wiederverbindenTakt_.setInterval(200);
    connect(&wiederverbindenTakt_, &QTimer::timeout, this,
            &FrmLiveTextEmpfaenger::WiederverbindenTakt);

    connect(link_.get(), &net::LinkClient::connected, this,
            &FrmLiveTextEmpfaenger::TCPClient_Connect);
    connect(link_.get(), &net::LinkClient::disconnected, this,
            &FrmLiveTextEmpfaenger::TCPClient_DisConnect);
    connect(link_.get(), &net::LinkClient::telegramLog, this,
            &FrmLiveTextEmpfaenger::SchreibeInListe1);
    connect(link_.get(), &net::LinkClient::clientLog, this, [this](const QString& line) {
        SchreibeInListeClient(line);
        // Every end of an acknowledgement wait logs a line: the peer's OK, the timeout or
        // the disconnection. The next test telegram may go then.
        if (!transferRest_.isEmpty())
            QTimer::singleShot(0, this, &FrmLiveTextEmpfaenger::TransferTestWeiter);
    });
    connect(link_.get(), &net::LinkClient::statusLabel, LabelGAKomFehler, &QLabel::setText);
    connect(link_.get(), &net::LinkClient::dispatch, this,
            &FrmLiveTextEmpfaenger::TCPClient_Ereignis);
    // Every telegram, evaluated or not, ends with its acknowledgement.
    connect(link_.get(), &net::LinkClient::acknowledged, this,
            &FrmLiveTextEmpfaenger::DatenAbgleichPlanen);
    datenModell_->setVorlageQuelle([this]() -> const Vorlage* {
        auto* editor = qobject_cast<FrmVorlagen*>(vorlagen_.data());
        return editor != nullptr ? &editor->modell().vorlage() : nullptr;
    });
}

FrmLiveTextEmpfaenger::~FrmLiveTextEmpfaenger() {
    // The link and the progress window report back to this window; end both while it is
    // still whole.
    verbindenTakt_.stop();
    frischeTakt_.stop();
    wiederverbindenTakt_.stop();
    ctlProgressbar1->Beenden();
    if (mausBeschaeftigt_)
        QApplication::restoreOverrideCursor();
    link_->disconnect(this);
    link_.reset();
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
    // Shown on first activation.
    ListeClient->setVisible(false);
    cmdListeClientLoeschen->setVisible(false);

    auto* telegrammKnoepfe = new QHBoxLayout;
    telegrammKnoepfe->addWidget(cmdTransferTest);
    telegrammKnoepfe->addWidget(cmdListe1Loeschen);
    telegrammKnoepfe->addStretch(1);
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
    connect(chkAutomatischWiederverbinden, &QCheckBox::clicked, this,
            &FrmLiveTextEmpfaenger::chkAutomatischWiederverbinden_Click);
    connect(ImageLiveTextPfadSuchen, &QToolButton::clicked, this,
            &FrmLiveTextEmpfaenger::ImageLiveTextPfadSuchen_Click);
    connect(cmdParameterSpeichern, &QPushButton::clicked, this,
            &FrmLiveTextEmpfaenger::StartwerteSchreiben);
    connect(cmdTransferTest, &QPushButton::clicked, this,
            &FrmLiveTextEmpfaenger::cmdTransferTest_Click);
    connect(cmdVorlagen, &QPushButton::clicked, this, &FrmLiveTextEmpfaenger::cmdVorlagen_Click);
    connect(cmdDaten, &QPushButton::clicked, this, &FrmLiveTextEmpfaenger::DatenZeigen);
    connect(cmdListe1Loeschen, &QPushButton::clicked, this, [this] {
        telegrammLog_.Clear();
        ListEreignisse->clear();
    });
    connect(cmdListeClientLoeschen, &QPushButton::clicked, this, [this] {
        clientLog_.Clear();
        ListeClient->clear();
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
        frische_.SetThreshold(std::chrono::seconds(sekunden));
        FrischeZeigen();
    });
    FrischeZeigen();
}

void FrmLiveTextEmpfaenger::FrischeZeigen() {
    const auto jetzt = uhr_();
    const auto still = frische_.Quiet(jetzt);
    if (!still) {
        lblTelegrammAlter->setText(QStringLiteral("Keine Verbindung"));
        SetzeFarben(lblTelegrammAlter, kKeineVerbindung, Qt::black);
        return;
    }
    const QString dauer = FromUtf8(DauerText(*still));
    if (frische_.IsStale(jetzt)) {
        lblTelegrammAlter->setText(QStringLiteral("Seit ") + dauer +
                                   QStringLiteral(" kein Telegramm!"));
        SetzeFarben(lblTelegrammAlter, kFehlerHintergrund, kFehlerText);
    } else if (frische_.HasTelegram()) {
        lblTelegrammAlter->setText(QStringLiteral("Letztes Telegramm vor ") + dauer);
        SetzeFarben(lblTelegrammAlter, kFrisch, Qt::white);
    } else {
        lblTelegrammAlter->setText(QStringLiteral("Verbunden – noch kein Telegramm (seit ") +
                                   dauer + QLatin1Char(')'));
        SetzeFarben(lblTelegrammAlter, kKeineVerbindung, Qt::black);
    }
}

QString FrmLiveTextEmpfaenger::Pfad() const {
    return txtPfadZuLiveText->text();
}

void FrmLiveTextEmpfaenger::setVorlagenAnschluss(VorlagenAnschluss anschluss) {
    anschluss_ = std::move(anschluss);
}

void FrmLiveTextEmpfaenger::setVerbindenUhr(Uhr uhr, std::chrono::milliseconds takt) {
    uhr_ = std::move(uhr);
    verbindenTakt_.setInterval(takt);
    frischeTakt_.setInterval(takt);
    wiederverbindenTakt_.setInterval(takt);
}

// --- life cycle -------------------------------------------------------------------------

void FrmLiveTextEmpfaenger::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Run on the first show, not only on activation: a main window that was never activated
    // would otherwise write its design values over the stored settings when it closes.
    if (!ersteAktivierungErledigt_)
        ErsteAktivierung();
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
    frischeTakt_.start();
}

void FrmLiveTextEmpfaenger::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The main window is one of the program's forms: while it is active, events are not output.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        state_.vorlagenAktiv = false;
}

void FrmLiveTextEmpfaenger::closeEvent(QCloseEvent* event) {
    if (!entladenErledigt_)
        Entladen();
    event->accept();
}

void FrmLiveTextEmpfaenger::Entladen() {
    entladenErledigt_ = true;
    if (verbindenLaeuft_)
        WarteBeenden();
    WiederverbindenBeenden();
    StartwerteSchreiben();
    transferRest_.clear();
    link_->abortConnection();
    // A window of its own would keep the program running.
    delete daten_.data();
    store_.Clear();
    emit entladen();
}

// --- settings ---------------------------------------------------------------------------

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

void FrmLiveTextEmpfaenger::StartwerteSchreiben() {
    startwerte_.address = ToUtf8(txtIPausUDPEmpfaenger->text());
    startwerte_.port = ToUtf8(txtPortausUDPEmpfaenger->text());
    startwerte_.autoConnect = chkAutomatischVerbinden->isChecked() ? "1" : "0";
    startwerte_.liveTextFolder = ToUtf8(txtPfadZuLiveText->text());
    startwerte_.left = PixelZuTwips(geometry().x(), Qt::Horizontal);
    startwerte_.top = PixelZuTwips(geometry().y(), Qt::Vertical);
    // A file that cannot be written is not reported; the previous one stays intact.
    start::WriteSettings(state_.folders.settings, startwerte_);
    zusatzwerte_.SetStaleSeconds(txtWarnungNachSekunden->value());
    zusatzwerte_.SetAutoReconnect(chkAutomatischWiederverbinden->isChecked());
    start::WriteExtraSettings(state_.folders.settings, zusatzwerte_);
}

void FrmLiveTextEmpfaenger::ImageLiveTextPfadSuchen_Click() {
    const QString ordner = dialoge_.Ordner(this, QStringLiteral("Suche LiveText Datenordner"));
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
    if (cmdVerbinden->text() == kTrennen)
        Trennen();
    else
        Verbinden();
}

void FrmLiveTextEmpfaenger::Verbinden() {
    WiederverbindenBeenden();
    vomBedienerGetrennt_ = false;
    link_->abortConnection();

    const QString adresse = txtIPausUDPEmpfaenger->text();
    const QString portText = txtPortausUDPEmpfaenger->text();
    if (!IsValidIP(ToUtf8(adresse))) {
        Meldung(FromUtf8(std::string(kIpFormatStimmtNicht)));
        return;
    }
    const auto port = ParsePort(ToUtf8(portText));
    if (!port) {
        Meldung(FromUtf8(std::string(kPortFormatStimmtNicht)));
        return;
    }

    lblConnectFehler->setVisible(false);
    lblConnectFehler->clear();
    verbindenStart_ = uhr_();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    mausBeschaeftigt_ = true;
    cmdVerbinden->setEnabled(false);
    ctlProgressbar1->Starten(
        QStringLiteral("Verbinde mit ") + adresse + QLatin1Char(':') + portText, this);
    verbindenLaeuft_ = true;
    link_->connectToHost(adresse, *port);

    // The first pass runs before any socket event, as the wait is entered with progress 0.
    VerbindenTakt();
    if (verbindenLaeuft_)
        verbindenTakt_.start();
}

void FrmLiveTextEmpfaenger::VerbindenTakt() {
    if (!verbindenLaeuft_)
        return;
    if (link_->isConnected()) {
        VerbindenBeenden();
        return;
    }
    using Ms = std::chrono::duration<double, std::milli>;
    const double wartezeit = Ms(kVerbindenWartezeit).count();
    const double rest = Ms(verbindenStart_ + kVerbindenWartezeit - uhr_()).count();
    const auto fortschritt = std::lround(100.0 - rest * 100.0 / wartezeit);
    ctlProgressbar1->setValue(static_cast<int>(std::clamp<long>(fortschritt, 0, 100)));
    if (fortschritt >= 100)
        VerbindenBeenden();
}

// Ends the connect wait: progress window closed (which enables the window), pointer restored.
void FrmLiveTextEmpfaenger::WarteBeenden() {
    verbindenLaeuft_ = false;
    verbindenTakt_.stop();
    wiederverbindenTakt_.stop();
    ctlProgressbar1->Beenden();
    if (mausBeschaeftigt_) {
        QApplication::restoreOverrideCursor();
        mausBeschaeftigt_ = false;
    }
}

void FrmLiveTextEmpfaenger::VerbindenBeenden() {
    WarteBeenden();
    cmdVerbinden->setEnabled(true);

    if (link_->isConnected()) {
        cmdVerbinden->setText(kTrennen);
        txtIPausUDPEmpfaenger->setEnabled(false);
        txtPortausUDPEmpfaenger->setEnabled(false);
        SetzeFarben(lblConnectFehler, palette().color(QPalette::Window),
                    palette().color(QPalette::WindowText));
        lblConnectFehler->clear();
        lblConnectFehler->setVisible(false);
        return;
    }

    cmdVerbinden->setText(kVerbinden);
    SetzeFarben(lblConnectFehler, kFehlerHintergrund, kFehlerText);
    lblConnectFehler->setText(QStringLiteral("Konnte nicht mit ") + txtIPausUDPEmpfaenger->text() +
                              QLatin1Char(':') + txtPortausUDPEmpfaenger->text() +
                              QStringLiteral(" verbinden!"));
    lblConnectFehler->setVisible(true);
    // The operator has been told the attempt failed: it must not complete behind that message.
    link_->abortConnection();
    WiederverbindenPlanen();
}

void FrmLiveTextEmpfaenger::Trennen() {
    vomBedienerGetrennt_ = true;
    WiederverbindenBeenden();
    link_->disconnectFromHost();
    cmdVerbinden->setText(kVerbinden);
    txtIPausUDPEmpfaenger->setEnabled(true);
    txtPortausUDPEmpfaenger->setEnabled(true);
}

void FrmLiveTextEmpfaenger::chkAutomatischVerbinden_Click() {
    startwerte_.autoConnect = chkAutomatischVerbinden->isChecked() ? "1" : "0";
    if (autoVerbindenErledigt_)
        return;
    autoVerbindenErledigt_ = true;
    if (cmdVerbinden->text() == kVerbinden)
        Verbinden();
}

void FrmLiveTextEmpfaenger::TCPClient_Connect(qint32 /*socket*/) {
    cmdVerbinden->setText(kTrennen);
    if (verbindenLaeuft_) {
        VerbindenBeenden();
    } else if (wiederverbinden_.Active()) {
        wiederverbinden_.Connected();
        wiederverbindenTakt_.stop();
        lblWiederverbinden->setVisible(false);
        lblConnectFehler->clear();
        lblConnectFehler->setVisible(false);
        txtIPausUDPEmpfaenger->setEnabled(false);
        txtPortausUDPEmpfaenger->setEnabled(false);
    }
}

void FrmLiveTextEmpfaenger::TCPClient_DisConnect(qint32 /*socket*/) {
    // The boxes keep their state: after the peer closed, they stay as they were.
    cmdVerbinden->setText(kVerbinden);
    if (!vomBedienerGetrennt_ && !entladenErledigt_)
        WiederverbindenPlanen();
}

// --- automatic reconnection ---------------------------------------------------------------

void FrmLiveTextEmpfaenger::WiederverbindenPlanen() {
    if (!chkAutomatischWiederverbinden->isChecked())
        return;
    const auto jetzt = uhr_();
    if (wiederverbinden_.Active())
        wiederverbinden_.Lost(jetzt);
    else
        wiederverbinden_.StartAfterInterval(jetzt);
    // "Trennen" is how the operator stops it.
    cmdVerbinden->setText(kTrennen);
    wiederverbindenTakt_.start();
    WiederverbindenAnzeigen();
}

void FrmLiveTextEmpfaenger::WiederverbindenBeenden() {
    if (!wiederverbinden_.Active())
        return;
    wiederverbinden_.Stop();
    wiederverbindenTakt_.stop();
    lblWiederverbinden->setVisible(false);
    if (!link_->isConnected())
        link_->abortConnection();
}

void FrmLiveTextEmpfaenger::WiederverbindenTakt() {
    for (;;) {
        switch (wiederverbinden_.Poll(uhr_())) {
            case Reconnect::Action::None:
                WiederverbindenAnzeigen();
                return;
            case Reconnect::Action::Abandon:
                // Given up, so that it can never complete behind the next attempt.
                link_->abortConnection();
                continue;
            case Reconnect::Action::Attempt: {
                const QString adresse = txtIPausUDPEmpfaenger->text();
                const auto port = ParsePort(ToUtf8(txtPortausUDPEmpfaenger->text()));
                if (!IsValidIP(ToUtf8(adresse)) || !port) {
                    // The operator's next "Verbinden" says what is wrong.
                    WiederverbindenBeenden();
                    cmdVerbinden->setText(kVerbinden);
                    return;
                }
                link_->connectToHost(adresse, *port);
                WiederverbindenAnzeigen();
                return;
            }
        }
    }
}

void FrmLiveTextEmpfaenger::WiederverbindenAnzeigen() {
    if (!wiederverbinden_.Active() || link_->isConnected())
        return;
    const auto sekunden = wiederverbinden_.Countdown(uhr_()).count();
    lblWiederverbinden->setText(
        wiederverbinden_.Attempting()
            ? QStringLiteral("Verbindungsversuch %1 läuft, nächster in %2 s")
                  .arg(wiederverbinden_.Attempts())
                  .arg(sekunden)
            : QStringLiteral("Nächster Verbindungsversuch in %1 s (bisher %2)")
                  .arg(sekunden)
                  .arg(wiederverbinden_.Attempts()));
    lblWiederverbinden->setVisible(true);
}

void FrmLiveTextEmpfaenger::chkAutomatischWiederverbinden_Click() {
    if (chkAutomatischWiederverbinden->isChecked() || !wiederverbinden_.Active())
        return;
    WiederverbindenBeenden();
    if (!link_->isConnected())
        cmdVerbinden->setText(kVerbinden);
}

// --- telegrams and logs -----------------------------------------------------------------

void FrmLiveTextEmpfaenger::SchreibeInListe1(const QString& textwert) {
    telegrammLog_.Append(ToUtf8(textwert));
    ZeigeLog(ListEreignisse, telegrammLog_);
}

void FrmLiveTextEmpfaenger::SchreibeInListeClient(const QString& textwert) {
    clientLog_.Append(ToUtf8(textwert));
    ZeigeLog(ListeClient, clientLog_);
}

void FrmLiveTextEmpfaenger::TCPClient_Ereignis(const QString& eventText) {
    if (vorlagen_ && anschluss_.ereignisUebergeben)
        anschluss_.ereignisUebergeben(vorlagen_, eventText);
}

void FrmLiveTextEmpfaenger::cmdTransferTest_Click() {
    transferRest_ = {QStringLiteral("halo"), QString(200000, QLatin1Char('a')),
                     QStringLiteral("HalloÄüßÖ")};
    TransferTestWeiter();
}

void FrmLiveTextEmpfaenger::TransferTestWeiter() {
    // Each telegram waits for the acknowledgement of the one before (or its timeout); a
    // refused send goes straight on to the next.
    while (!transferRest_.isEmpty() && !link_->ackPending())
        link_->send(transferRest_.takeFirst());
}

// --- template editor --------------------------------------------------------------------

void FrmLiveTextEmpfaenger::cmdVorlagen_Click() {
    if (!vorlagen_) {
        if (!anschluss_.erzeugen)
            return;
        QWidget* editor = anschluss_.erzeugen();
        if (editor == nullptr)
            return;
        vorlagen_ = editor;
        connect(editor, SIGNAL(geschlossen()), this, SLOT(VorlagenGeschlossen()));
        if (auto* vorlagen = qobject_cast<FrmVorlagen*>(editor)) {
            connect(vorlagen, &FrmVorlagen::datenGewuenscht, this,
                    &FrmLiveTextEmpfaenger::DatenZeigen);
            // The fields the template names are marked in the data view.
            auto* modell = &vorlagen->modell();
            connect(modell, &QAbstractItemModel::modelReset, this,
                    &FrmLiveTextEmpfaenger::DatenAbgleichPlanen);
            connect(modell, &QAbstractItemModel::dataChanged, this,
                    &FrmLiveTextEmpfaenger::DatenAbgleichPlanen);
            connect(modell, &QAbstractItemModel::rowsRemoved, this,
                    &FrmLiveTextEmpfaenger::DatenAbgleichPlanen);
        }
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
    DatenAbgleichPlanen();
}

// --- data view --------------------------------------------------------------------------

void FrmLiveTextEmpfaenger::DatenZeigen() {
    if (!daten_)
        daten_ = new FrmDaten(*datenModell_);
    daten_->show();
    daten_->raise();
    daten_->activateWindow();
}

void FrmLiveTextEmpfaenger::DatenAbgleichPlanen() {
    // Telegrams that come in one burst are shown once, after the burst.
    if (datenAbgleichGeplant_)
        return;
    datenAbgleichGeplant_ = true;
    QTimer::singleShot(0, this, [this] {
        datenAbgleichGeplant_ = false;
        datenModell_->Abgleichen();
    });
}

void FrmLiveTextEmpfaenger::Meldung(const QString& text) {
    dialoge_.Meldung(this, text, FromUtf8(std::string(start::kProgramTitle)));
}

}  // namespace zelmo::windows
