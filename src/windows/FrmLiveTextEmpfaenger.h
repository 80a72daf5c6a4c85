#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>

#include "link/LinkFreshness.h"
#include "link/Reconnect.h"
#include "link/RollingLog.h"
#include "link/TelegramStore.h"
#include "start/ExtraSettings.h"
#include "start/ProgramState.h"
#include "start/Settings.h"

class QBoxLayout;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace zelmo::net {
class LinkClient;
}
namespace zelmo::widgets {
class DatenModell;
class ProgressWindow;
class TitledFrame;
}  // namespace zelmo::widgets

namespace zelmo::windows {

class Dialoge;

// The program's main window: the connection to the scoring sender, the LiveText data folder,
// the telegram and client logs, the two status labels and the way into the template editor.
// Closing it ends the program.
class FrmLiveTextEmpfaenger : public QWidget {
    Q_OBJECT

  public:
    using Uhr = std::function<std::chrono::steady_clock::time_point()>;

    // How long a connection attempt may take before it is given up.
    static constexpr std::chrono::milliseconds kVerbindenWartezeit{5000};
    // Automatic reconnection: one attempt every this long, each given up to this long.
    static constexpr std::chrono::milliseconds kWiederverbindenAbstand{5000};
    // The window size set on first activation, in twips.
    static constexpr int kBreiteTwips = 16800;
    static constexpr int kHoeheTwips = 6900;

    // How the template editor is made and fed; FrmVorlagen unless replaced. `erzeugen` returns
    // a top-level window that emits `geschlossen()` when it has closed; `ereignisUebergeben`
    // hands it an event text.
    struct VorlagenAnschluss {
        std::function<QWidget*()> erzeugen;
        std::function<void(QWidget* editor, const QString& eventText)> ereignisUebergeben;
    };

    // `state` and `store` must outlive the window; the window owns the link client.
    FrmLiveTextEmpfaenger(start::ProgramState& state, TelegramStore& store, Dialoge& dialoge,
                          QWidget* parent = nullptr);
    ~FrmLiveTextEmpfaenger() override;

    // The LiveText data folder as the output run reads it: the text of txtPfadZuLiveText.
    QString Pfad() const;

    // Replaces how the template editor is made (tests put a stand-in here).
    void setVorlagenAnschluss(VorlagenAnschluss anschluss);
    // Replaces the clock and the tick of the connection wait, the link-freshness line and
    // automatic reconnection
    // (tests move time by hand).
    void setVerbindenUhr(Uhr uhr, std::chrono::milliseconds takt);

    // Appends a line to the telegram log / the client log, dropping the oldest line when full.
    void SchreibeInListe1(const QString& textwert);
    void SchreibeInListeClient(const QString& textwert);

    net::LinkClient& linkClient() { return *link_; }
    const RollingLog& telegrammLog() const { return telegrammLog_; }
    const RollingLog& clientLog() const { return clientLog_; }
    // The six values last read from or written to the settings file, as the window keeps them.
    const start::Settings& startwerte() const { return startwerte_; }
    bool verbindenLaeuft() const { return verbindenLaeuft_; }
    bool ersteAktivierungErledigt() const { return ersteAktivierungErledigt_; }
    QWidget* vorlagen() const { return vorlagen_; }
    // The data view's model (it lives as long as the window, so that change times and the
    // fields seen are known from the first telegram on) and the view, once opened.
    widgets::DatenModell& datenModell() { return *datenModell_; }
    QWidget* daten() const { return daten_; }

  signals:
    // The window has unloaded: settings written, link closed, telegram data released.
    void entladen();

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private slots:
    // Connected by name: the editor is any window with a geschlossen() signal.
    void VorlagenGeschlossen();
    // Opens the data view (the button here and the editor's datenGewuenscht()).
    void DatenZeigen();

  private:
    void AufbauFenster();
    void AufbauFrische(QBoxLayout* rechts);
    // The time since the last telegram, with the alert look once the link has gone stale.
    void FrischeZeigen();
    void ErsteAktivierung();
    void Entladen();

    void StartwerteLesen();
    void StartwerteSchreiben();
    void PositionSetzen(const start::Settings& settings);

    void cmdVerbinden_Click();
    void Verbinden();
    void Trennen();
    void VerbindenTakt();
    void WarteBeenden();
    void VerbindenBeenden();
    void chkAutomatischVerbinden_Click();
    void chkAutomatischWiederverbinden_Click();
    // Starts or continues automatic reconnection after a lost connection or failed attempt.
    void WiederverbindenPlanen();
    void WiederverbindenBeenden();
    void WiederverbindenTakt();
    void WiederverbindenAnzeigen();
    void ImageLiveTextPfadSuchen_Click();
    void cmdTransferTest_Click();
    void TransferTestWeiter();
    void cmdVorlagen_Click();
    // Brings the data model in line with the store once the current burst of events is done.
    void DatenAbgleichPlanen();

    void TCPClient_Connect(qint32 socket);
    void TCPClient_DisConnect(qint32 socket);
    void TCPClient_Ereignis(const QString& eventText);

    void Meldung(const QString& text);
    int TwipsZuPixel(double twips, Qt::Orientation richtung) const;
    double PixelZuTwips(int pixel, Qt::Orientation richtung) const;

    start::ProgramState& state_;
    TelegramStore& store_;
    Dialoge& dialoge_;
    std::unique_ptr<net::LinkClient> link_;

    RollingLog telegrammLog_{kTelegramLogLimit};
    RollingLog clientLog_{kClientLogLimit};
    start::Settings startwerte_;

    bool ersteAktivierungErledigt_ = false;
    bool autoVerbindenErledigt_ = false;
    bool entladenErledigt_ = false;

    // The connection wait: a tick on a timer, time read from `uhr_`.
    Uhr uhr_;
    QTimer verbindenTakt_;
    std::chrono::steady_clock::time_point verbindenStart_;
    bool verbindenLaeuft_ = false;
    bool mausBeschaeftigt_ = false;

    // How fresh the link is; the threshold is kept in the extra settings file.
    LinkFreshness frische_;
    start::ExtraSettings zusatzwerte_;
    QTimer frischeTakt_;
    // Automatic reconnection: the rule shared with `zelmo receive --reconnect`, asked on a tick.
    Reconnect wiederverbinden_{kWiederverbindenAbstand};
    QTimer wiederverbindenTakt_;
    // The operator pressed "Trennen": the disconnection that follows is no loss.
    bool vomBedienerGetrennt_ = false;

    // Test telegrams still to send, each after the previous one's acknowledgement wait.
    QStringList transferRest_;

    VorlagenAnschluss anschluss_;
    QPointer<QWidget> vorlagen_;

    widgets::DatenModell* datenModell_;
    // A window of its own, not a child: it must take input while this window is disabled.
    QPointer<QWidget> daten_;
    bool datenAbgleichGeplant_ = false;

    QLabel* Label99Wert;
    QLabel* LabelGAKomFehler;
    QListWidget* ListEreignisse;
    QPushButton* cmdListe1Loeschen;
    QPushButton* cmdTransferTest;
    QPushButton* cmdParameterSpeichern;
    widgets::TitledFrame* CtlFraFuerServerdaten;
    QLineEdit* txtIPausUDPEmpfaenger;
    QLabel* lblIPausUDPEmpfaenger;
    QLineEdit* txtPortausUDPEmpfaenger;
    QLabel* lblPortausUDPEmpfaenger;
    QPushButton* cmdVerbinden;
    QCheckBox* chkAutomatischVerbinden;
    QCheckBox* chkAutomatischWiederverbinden;
    QLabel* lblWiederverbinden;
    QLabel* lblConnectFehler;
    widgets::ProgressWindow* ctlProgressbar1;
    QLabel* lblPfadzuLiveText;
    QLineEdit* txtPfadZuLiveText;
    QToolButton* ImageLiveTextPfadSuchen;
    QListWidget* ListeClient;
    QPushButton* cmdListeClientLoeschen;
    QPushButton* cmdVorlagen;
    QLabel* lblTelegrammAlter;
    QSpinBox* txtWarnungNachSekunden;
    QPushButton* cmdDaten;
};

}  // namespace zelmo::windows
