#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelmo {

// The ten columns of a template line, in file and display order.
enum class Spalte : std::size_t {
    Ereignis = 0,
    Turnierart = 1,
    Unterauswahl1 = 2,
    Unterauswahl2 = 3,
    Umlauf = 4,
    Reserve = 5,
    Seite = 6,
    Dateiname = 7,
    Tabelle = 8,
    Feld = 9,
};

inline constexpr std::size_t kSpaltenAnzahl = 10;

// Column names: the keys in the template file and the column headings of the editor.
inline constexpr std::array<std::string_view, kSpaltenAnzahl> kSpaltenNamen = {
    "Ereignis", "Turnierart", "Unterauswahl1", "Unterauswahl2", "Umlauf",
    "Reserve",  "Seite",      "Dateiname",     "Tabelle",       "Feld",
};

inline constexpr std::size_t SpaltenIndex(Spalte spalte) {
    return static_cast<std::size_t>(spalte);
}

// Ten texts; columns Tabelle and Feld hold one table (or its field list) per line, lines
// separated by CR LF with no trailing line break.
using VorlageZeile = std::array<std::string, kSpaltenAnzahl>;

// The template's output format: the editor's option buttons OptLiveText and OptCSVNurDaten,
// or neither selected.
enum class Ausgabeformat { Keins, LiveText, CSVNurDaten };

// A cell of the template grid.
struct ZellPosition {
    std::size_t Zeile = 0;
    std::size_t Spalte = 0;

    friend bool operator==(const ZellPosition&, const ZellPosition&) = default;
};

// The current template: ordered lines (never fewer than one), output format and CSV
// separator. A plain value; the editor's grid is a view over it.
//
// Rows are addressed from 0; an address past the last row or column throws Error with run-time
// error number 9.
class Vorlage {
  public:
    // One untouched line, LiveText output, separator ",".
    Vorlage();

    std::size_t Zeilenanzahl() const noexcept { return zeilen_.size(); }
    const std::vector<VorlageZeile>& Zeilen() const noexcept { return zeilen_; }
    const VorlageZeile& Zeile(std::size_t zeile) const;

    const std::string& Zelle(std::size_t zeile, std::size_t spalte) const;
    const std::string& Zelle(std::size_t zeile, Spalte spalte) const {
        return Zelle(zeile, SpaltenIndex(spalte));
    }
    void SetzeZelle(std::size_t zeile, std::size_t spalte, std::string text);
    void SetzeZelle(std::size_t zeile, Spalte spalte, std::string text) {
        SetzeZelle(zeile, SpaltenIndex(spalte), std::move(text));
    }
    void SetzeZeile(std::size_t zeile, VorlageZeile inhalt);

    // Grid primitives. ZeileEinfuegen takes an index from 0 to Zeilenanzahl() (the end).
    // Removing the only row empties it instead, so the template never has zero rows.
    void ZeileAnhaengen(VorlageZeile inhalt = {});
    void ZeileEinfuegen(std::size_t index, VorlageZeile inhalt = {});
    void ZeileEntfernen(std::size_t index);

    Ausgabeformat Format() const noexcept { return format_; }
    void SetzeFormat(Ausgabeformat format) noexcept { format_ = format; }
    const std::string& Trenner() const noexcept { return trenner_; }
    void SetzeTrenner(std::string trenner) { trenner_ = std::move(trenner); }

    // The editor's row commands. Each returns the cell that becomes current, or nothing when
    // the command leaves the template and the current cell as they are.

    // Row `nach` takes the texts of row `von`.
    void ZeileKopieren(std::size_t von, std::size_t nach);
    // A copy of row r directly below it; current (r+1, 0).
    ZellPosition ZeileDuplizieren(std::size_t r);
    // Removes row r, or empties it when it is the only row; current (r, 0), or the last row
    // when r was the last.
    ZellPosition ZeileLoeschen(std::size_t r);
    // Swaps row r with the row above; current (r-1, 0). Nothing for r = 0.
    std::optional<ZellPosition> ZeileHoch(std::size_t r);
    // Swaps row r with the row below; current (r+1, 0). Nothing for the last row.
    std::optional<ZellPosition> ZeileRunter(std::size_t r);

    friend bool operator==(const Vorlage&, const Vorlage&) = default;

  private:
    void PruefeZeile(std::size_t zeile) const;

    std::vector<VorlageZeile> zeilen_;
    Ausgabeformat format_ = Ausgabeformat::LiveText;
    std::string trenner_ = ",";
};

}  // namespace zelmo
