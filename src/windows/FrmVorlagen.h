#pragma once

#include <QPointer>
#include <QString>
#include <QTime>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "link/LogBook.h"
#include "link/TelegramStore.h"
#include "start/ProgramState.h"
#include "templates/AusgabeLauf.h"
#include "windows/Dialoge.h"

class QCloseEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zelmo::net {
class LinkControl;
class Rehearsal;
}  // namespace zelmo::net
namespace zelmo::widgets {
class Auffrischer;
class Gitter;
class TitledFrame;
class VorlageModell;
class VorschauModell;
class ZeilenListe;
}  // namespace zelmo::widgets

namespace zelmo::windows {

class FrmFelderAuswahl;

// "Vorlagen", the template editor: a view over the current template (the grid
// CtlLXEreignisse, the output format and separator), its row commands, loading and saving,
// and the place where handed-over events become output (txtEreignis, the event list, the
// preview CtlLXAusgabe, lblWarnungen, the hidden ListGefundenIn0..5).
//
// state.vorlagenAktiv turns true when the editor becomes active and false when the field
// selection dialog opens or the editor closes (the main window clears it when it becomes
// active); message boxes, file dialogs and other programs taking the focus leave it as it is.
// Closing asks first; a closed editor deletes itself and emits geschlossen().
//
// On air this is the operator's screen: its state line also tells the link's state, and begins
// with PROBELAUF while a rehearsal plays a show into the link. Its "Probelauf…" starts and ends
// one as the main window's does: a template author rehearses from here, and the main window
// takes no input while the editor is open. An event is turned into output at once, on the
// telegram's way to its acknowledgement; what the run leaves (txtEreignis, the lists, the
// preview, the labels) is shown at the next refresh.
class FrmVorlagen : public QWidget {
    Q_OBJECT

  public:
    // `pfad` gives the LiveText data folder (the main window's txtPfadZuLiveText) at the moment
    // of each run. The writers' warnings and files go to `protokoll`. Everything passed must
    // outlive the window.
    FrmVorlagen(start::ProgramState& state, TelegramStore& store, Dialoge& dialoge,
                LogBook& protokoll, widgets::Auffrischer& auffrischer,
                const net::LinkControl& verbindung, const net::Rehearsal& probelauf,
                std::function<QString()> pfad, QWidget* parent = nullptr);
    ~FrmVorlagen() override;

    // An event handed over by the link: run once, also when the text equals the previous one;
    // txtEreignis shows it at the next refresh.
    void EreignisUebergeben(const QString& eventText);

    widgets::VorlageModell& modell() { return *modell_; }
    const AusgabeLaufZustand& zustand() const { return zustand_; }
    // The open field selection dialog, or null.
    FrmFelderAuswahl* feldAuswahl() const;
    // The clock for the time of the last file written (tests fix it).
    void setUhr(std::function<QTime()> uhr);

  signals:
    void geschlossen();
    // The operator asked for the data view.
    void datenGewuenscht();
    // The operator pressed "Probelauf…" or "Probelauf beenden".
    void probelaufGewuenscht();

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void Aufbauen();
    void FormatAnzeigen();
    void AktivSetzen();
    // Shows what the output run and the link hold now (the window's one refresh).
    void Zeigen();
    // The state line: the link down or quiet, else running into the folder, paused and why, or
    // disturbed.
    void ZustandZeigen();
    bool ZeileGewaehlt(int& r);
    // Where the file dialogs open: the current template's folder.
    QString VorlagenOrdner() const;

    void ZeileBearbeiten();
    void cmdHoch_Click();
    void cmdHerunter_Click();
    void cmdPlus_Click();
    void cmdMinus_Click();
    void cmdProjektEinlesen_Click();
    void cmdProjektSpeichern_Click();

    void txtEreignis_Change();
    // The output run for one event text.
    void Ausgeben(const std::string& ereignisText);

    void Meldung(const QString& text, Dialoge::Symbol symbol = Dialoge::Symbol::Keins);

    start::ProgramState& state_;
    TelegramStore& store_;
    Dialoge& dialoge_;
    LogBook& protokoll_;
    widgets::Auffrischer& auffrischer_;
    const net::LinkControl& verbindung_;
    const net::Rehearsal& probelauf_;
    std::function<QString()> pfad_;

    widgets::VorlageModell* modell_;
    AusgabeLaufZustand zustand_;
    widgets::VorschauModell* vorschauModell_;
    QPointer<FrmFelderAuswahl> feldAuswahl_;
    std::function<QTime()> uhr_;
    QTime letzteDateiZeit_;
    QString letzteDatei_;
    // The file the template was last loaded from or saved to.
    QString vorlagePfad_;
    // The last event handed over, and whether txtEreignis shows it yet.
    QString ereignis_;
    bool ereignisGezeigt_ = true;
    // The writers' warnings of the last run in which one of them ran; nothing before.
    std::optional<std::string> warnungen_;

    widgets::Gitter* CtlLXEreignisse;
    widgets::Gitter* CtlLXAusgabe;
    widgets::TitledFrame* CtlAusgabeformat;
    QRadioButton* OptLiveText;
    QRadioButton* OptCSVNurDaten;
    QLineEdit* txtTrenner;
    QLineEdit* txtEreignis;
    widgets::ZeilenListe* listEreignisse;
    QLabel* lblWarnungen;
    QLabel* lblAusgabeZustand;
    // What keeps the logs or the recording from being written; output goes on.
    QLabel* lblProtokollStoerung;
    std::array<widgets::ZeilenListe*, 6> ListGefundenIn{};
    QPushButton* cmdBearbeiten;
    QPushButton* cmdHoch;
    QPushButton* cmdHerunter;
    QPushButton* cmdPlus;
    QPushButton* cmdMinus;
    QPushButton* cmdProjektEinlesen;
    QPushButton* cmdProjektSpeichern;
    QPushButton* cmdBeenden;
    QPushButton* cmdDaten;
    QPushButton* cmdProbelauf;
};

}  // namespace zelmo::windows
