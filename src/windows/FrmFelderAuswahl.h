#pragma once

#include <QWidget>
#include <array>
#include <cstddef>

#include "start/Catalogues.h"

class QCloseEvent;
class QComboBox;
class QLineEdit;
class QListWidget;

namespace zelmo::widgets {
class CheckBoxCombo;
class VorlageModell;
}  // namespace zelmo::widgets

namespace zelmo::windows {

class Dialoge;

// "Auswahl Tabellen und Felder": edits one line of the editor's template. Its lists come from
// the catalogues (empty where a catalogue is missing) and fixed texts; "Übernehmen" writes the
// ten cells into row `zeile` of the model, "Abbrechen" and the close box write nothing.
//
// Object names: ComBoxEreignis0..5, ComBoxSeite, txtDateiname, CBComboTabellen0..2,
// CBComboFelder0..2, listBoxFelder0..2, cmdUebernehmen, cmdAbbrechen.
//
// The window deletes itself when closed and says so through geschlossen().
class FrmFelderAuswahl : public QWidget {
    Q_OBJECT

  public:
    FrmFelderAuswahl(const start::Catalogues& kataloge, widgets::VorlageModell& modell,
                     std::size_t zeile, Dialoge& dialoge, QWidget* parent = nullptr);

    std::size_t Zeile() const noexcept { return zeile_; }

  signals:
    void geschlossen();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    static constexpr int kSlots = 3;

    // One table slot: at most one checked table, the fields offered for it and those checked.
    struct Slot {
        widgets::CheckBoxCombo* tabellen = nullptr;
        widgets::CheckBoxCombo* felder = nullptr;
        QListWidget* liste = nullptr;
        int tabelle = -1;       // the checked table entry, -1 for none
        int zuletzt = -1;       // the entry checked most recently
        bool angehakt = false;  // whether the slot's entry is checked
        // Set while the dialog changes the slot's marks itself; check events are ignored.
        bool unterdrueckt = false;
    };

    void Aufbauen();
    void Fuellen();
    void SlotLeeren(Slot& slot);
    void FelderFuellen(Slot& slot);
    void TabelleGeaendert(int k, int eintrag);
    void FelderGeaendert(int k);
    void Uebernehmen();

    const start::Catalogues& kataloge_;
    widgets::VorlageModell& modell_;
    std::size_t zeile_;
    Dialoge& dialoge_;

    std::array<QComboBox*, 6> ComBoxEreignis_{};
    QComboBox* ComBoxSeite_ = nullptr;
    QLineEdit* txtDateiname_ = nullptr;
    std::array<Slot, kSlots> plaetze_{};
};

}  // namespace zelmo::windows
