#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "journal/Show.h"
#include "link/LogBook.h"
#include "link/TelegramStore.h"
#include "net/Rehearsal.h"
#include "start/ExtraSettings.h"
#include "start/ProgramState.h"
#include "start/Settings.h"

class QBoxLayout;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace zelmo::net {
class LinkClient;
class LinkControl;
class LinkJournal;
}  // namespace zelmo::net
namespace zelmo::widgets {
class Auffrischer;
class DatenModell;
class ProgressWindow;
class TitledFrame;
class ZeilenListe;
}  // namespace zelmo::widgets

namespace zelmo::windows {

class Dialoge;
class FrmDaten;
class FrmProbelauf;
class FrmVorlagen;

// The program's main window: the connection to the scoring sender, the LiveText data folder,
// the telegram and client logs, the two status labels and the way into the template editor.
// Closing it ends the program, once the editor (if open) has agreed.
//
// A view over the connection (net::LinkControl) and the log book: both take every change at
// once, and the window shows them at the next refresh of the one refresh timer it shares with
// the editor and the data view. Every line of the log book and every telegram also go to the
// files in the state folder (net::LinkJournal).
class FrmLiveTextEmpfaenger : public QWidget {
    Q_OBJECT

  public:
    using Uhr = std::function<std::chrono::steady_clock::time_point()>;

    // The window size set on first activation, in twips.
    static constexpr int kBreiteTwips = 16800;
    static constexpr int kHoeheTwips = 6900;

    // `state` and `store` must outlive the window; the window owns the connection.
    FrmLiveTextEmpfaenger(start::ProgramState& state, TelegramStore& store, Dialoge& dialoge,
                          QWidget* parent = nullptr);
    ~FrmLiveTextEmpfaenger() override;

    // The LiveText data folder as the output run reads it: the text of txtPfadZuLiveText.
    QString Pfad() const;

    // Ends the program when the system asks (SIGTERM: a logout, a shutdown): as closing the
    // window, but the editor closes without its question, which nobody may be there to answer.
    void BeendenOhneFrage();

    // Replaces the clock and the tick of the connection wait, the link-freshness line and
    // automatic reconnection (tests move time by hand).
    void setVerbindenUhr(Uhr uhr, std::chrono::milliseconds takt);
    // The clock of the time shown when the parameters were saved.
    void setUhrzeit(std::function<QTime()> uhrzeit);

    // Appends a line to the telegram log / the client log, dropping the oldest line when full.
    void SchreibeInListe1(const QString& textwert);
    void SchreibeInListeClient(const QString& textwert);

    net::LinkControl& verbindung() { return *verbindung_; }
    net::LinkClient& linkClient();
    // Every line the program logs passes through here; its clock gives the lines' times.
    LogBook& protokoll() { return protokoll_; }
    const RollingLog& telegrammLog() const { return protokoll_.Telegrams(); }
    const RollingLog& clientLog() const { return protokoll_.Client(); }
    widgets::Auffrischer& auffrischer() { return *auffrischer_; }
    // The six values last read from or written to the settings file, as the window keeps them.
    const start::Settings& startwerte() const { return startwerte_; }
    bool ersteAktivierungErledigt() const { return ersteAktivierungErledigt_; }
    QWidget* vorlagen() const;
    // The data view's model (it lives as long as the window, so that change times and the
    // fields seen are known from the first telegram on) and the view, once opened.
    widgets::DatenModell& datenModell() { return *datenModell_; }
    QWidget* daten() const;
    // The rehearsal, and its dialog while open.
    net::Rehearsal& probelauf() { return *probelauf_; }
    QWidget* probelaufDialog() const;

  signals:
    // The window has unloaded: settings written, link closed, telegram data released.
    void entladen();

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void AufbauFenster();
    void AufbauFrische(QBoxLayout* rechts);
    void ErsteAktivierung();
    void Entladen();

    // The data bookkeeping, then Zeigen(): the refresh timer's work for this window.
    void Auffrischen();
    // Shows what the connection and the log book hold now (the window's one refresh).
    void Zeigen();
    // The time since the last telegram, with the alert look once the link has gone stale.
    void FrischeZeigen();

    void StartwerteLesen();
    // False when a settings file could not be written.
    bool StartwerteSchreiben();
    void cmdParameterSpeichern_Click();
    void PositionSetzen(const start::Settings& settings);

    void cmdVerbinden_Click();
    void Verbinden();
    void WarteBeendet();
    void chkAutomatischVerbinden_Click();
    void ImageLiveTextPfadSuchen_Click();
    void cmdTransferTest_Click();
    void TransferTestWeiter();
    void cmdVorlagen_Click();
    void VorlagenGeschlossen();
    // Opens the data view (the button here and the editor's datenGewuenscht()).
    void DatenZeigen();
    // "Probelauf…" here or in the editor (`von`): the dialog, or the end of the rehearsal.
    void ProbelaufKnopf(QWidget* von);
    // Called by the dialog's "Starten": asks first while connected to the sender.
    bool ProbelaufStarten(const std::vector<ShowTelegram>& show, net::Rehearsal::Tempo tempo,
                          const QString& datei);

    void TCPClient_Ereignis(const QString& eventText);

    void Meldung(const QString& text);
    int TwipsZuPixel(double twips, Qt::Orientation richtung) const;
    double PixelZuTwips(int pixel, Qt::Orientation richtung) const;

    start::ProgramState& state_;
    TelegramStore& store_;
    Dialoge& dialoge_;

    LogBook protokoll_;
    widgets::Auffrischer* auffrischer_;
    net::LinkControl* verbindung_;
    // Nothing without a state folder. Ends before the log book and the connection.
    std::unique_ptr<net::LinkJournal> journal_;
    net::Rehearsal* probelauf_ = nullptr;
    start::Settings startwerte_;
    start::ExtraSettings zusatzwerte_;
    std::function<QTime()> uhrzeit_;

    bool ersteAktivierungErledigt_ = false;
    bool autoVerbindenErledigt_ = false;
    bool entladenErledigt_ = false;
    bool ohneFrage_ = false;
    bool mausBeschaeftigt_ = false;
    // What the views show already.
    std::uint64_t gezeigtesProtokoll_ = 0;
    std::uint64_t gemerkteTelegramme_ = 0;

    // Test telegrams still to send, each after the previous one's acknowledgement wait.
    QStringList transferRest_;

    QPointer<FrmVorlagen> vorlagen_;

    widgets::DatenModell* datenModell_;
    // A window of its own, not a child: it must take input while this window is disabled.
    QPointer<FrmDaten> daten_;
    QPointer<FrmProbelauf> probelaufDialog_;

    QLabel* Label99Wert;
    QLabel* LabelGAKomFehler;
    widgets::ZeilenListe* ListEreignisse;
    QPushButton* cmdListe1Loeschen;
    QPushButton* cmdTransferTest;
    QPushButton* cmdParameterSpeichern;
    QLabel* lblParameterGespeichert;
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
    widgets::ZeilenListe* ListeClient;
    QPushButton* cmdListeClientLoeschen;
    QPushButton* cmdVorlagen;
    QLabel* lblTelegrammAlter;
    QSpinBox* txtWarnungNachSekunden;
    QPushButton* cmdDaten;
    QPushButton* cmdProbelauf;
};

}  // namespace zelmo::windows
