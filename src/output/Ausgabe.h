#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zelmo {

// The editor's output overview CtlLXAusgabe: the last rows the writers produced, at most six.
class AusgabeVorschau {
  public:
    static constexpr std::size_t kSpaltenAnzahl = 8;
    static constexpr std::size_t kMaxZeilen = 6;
    static constexpr std::array<std::string_view, kSpaltenAnzahl> kSpaltenNamen = {
        "Seite", "Dateiname", "Tabelle", "Feld1", "Feld2", "Feld3", "Feld4", "Feld5",
    };
    using Zeile = std::array<std::string, kSpaltenAnzahl>;

    // Adds a row holding the first three cells; the oldest row goes when there would be seven.
    // Returns the new row's index.
    std::size_t ZeileHinzufuegen(std::string seite, std::string dateiname, std::string tabelle);
    // A column past the last (a table's sixth field) is dropped.
    void SetzeZelle(std::size_t zeile, std::size_t spalte, std::string text);

    std::size_t Zeilenanzahl() const noexcept { return zeilen_.size(); }
    const std::vector<Zeile>& Zeilen() const noexcept { return zeilen_; }
    void Leeren() noexcept { zeilen_.clear(); }

  private:
    std::vector<Zeile> zeilen_;
};

// Where the writers report: the preview, the warning label lblWarnungen and the files they
// wrote. The preview keeps its rows across calls; every writer call first clears the warning;
// written files are appended in order until the owner clears the list.
struct AusgabeZiel {
    AusgabeVorschau Vorschau;
    // False where no window shows the preview (the headless receiver): the writers skip it.
    bool MitVorschau = true;
    std::string Warnungen;
    std::vector<std::string> GeschriebeneDateien;
};

// The characters a file name must not hold: a folder separator would lead out of the
// LiveText folder, the others are refused by Windows.
inline constexpr std::string_view kDateinameVerboteneZeichen = "\\/:*?\"><|";

// Whether the output run may write the data or CSV file of a template line named `dateiname`
// (without its extension): not empty, not "." or "..", none of kDateinameVerboteneZeichen.
// A template may come from anywhere, and every output file stays inside the LiveText folder.
bool DateinameZulaessig(std::string_view dateiname);

// Replaces the file at `pfad` with `utf8` in the code page. On success the file is added to
// GeschriebeneDateien; on failure a warning naming the file and the system's reason is added
// to Warnungen, so that an operator on air sees that output has stopped. Returns success.
bool DateiErsetzen(const std::string& pfad, std::string_view utf8, AusgabeZiel& ziel);

}  // namespace zelmo
