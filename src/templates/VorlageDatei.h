#pragma once

#include <string>
#include <string_view>

#include "templates/Vorlage.h"

namespace zelmo {

// The template file text: one line, without its final line break, byte for byte in the
// template file's fixed layout. In Tabelle and Feld a line break is stored as "*".
std::string VorlageAlsJSON(const Vorlage& vorlage);

// Writes VorlageAlsJSON plus CR LF in the code page, replacing the file and syncing it to disk.
// Throws Error naming the file and the system's reason.
void VorlageSpeichern(const std::string& pfad, const Vorlage& vorlage);

enum class EinleseStatus {
    Eingelesen,          // Vorlage holds the new template
    JSONAuswertefehler,  // unreadable file, not JSON, malformed content
    KeyVorlageFehlt,     // no member "Vorlage"
    KeineAusgabezeilen,  // no member "Zeilen"
    ZeilenLeer,          // "Zeilen" has no element: keep the template, say nothing
};

// The outcome of reading a template file. Only Eingelesen carries a template; in every other
// case the current template stays exactly as it was.
struct EinleseErgebnis {
    EinleseStatus Status = EinleseStatus::JSONAuswertefehler;
    zelmo::Vorlage Vorlage;  // the template read; meaningful for Eingelesen only
    std::string Meldung;     // the message box text; empty for Eingelesen and ZeilenLeer

    bool Erfolgreich() const noexcept { return Status == EinleseStatus::Eingelesen; }
};

// Reads the template file at `pfad` (bytes in the code page).
EinleseErgebnis VorlageEinlesen(const std::string& pfad);
// The same from the file's bytes (code page).
EinleseErgebnis VorlageAusBytes(std::string_view bytes);
// The same from already decoded text (UTF-8).
EinleseErgebnis VorlageAusText(std::string_view utf8);

// The text with each of \ / : * ? " > < | replaced by "_". The save command refuses a file
// name that this changes.
std::string DateinamePruefen(std::string_view text);

}  // namespace zelmo
