// The template reader over any file bytes: it never crashes, and a template it reads is
// written back in the program's form so that reading that text gives the same file text again.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "templates/VorlageDatei.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const zelmo::EinleseErgebnis ergebnis = zelmo::VorlageAusBytes(bytes);
    if (!ergebnis.Erfolgreich()) {
        if (ergebnis.Status != zelmo::EinleseStatus::ZeilenLeer && ergebnis.Meldung.empty()) {
            std::abort();  // every failure the operator must see has its message
        }
        return 0;
    }
    const zelmo::Vorlage& vorlage = ergebnis.Vorlage;
    if (vorlage.Zeilenanzahl() < 1 || vorlage.Trenner().empty() ||
        vorlage.Format() == zelmo::Ausgabeformat::Keins) {
        std::abort();
    }
    const std::string text = zelmo::VorlageAlsJSON(vorlage);
    const zelmo::EinleseErgebnis wieder = zelmo::VorlageAusText(text);
    if (!wieder.Erfolgreich() || zelmo::VorlageAlsJSON(wieder.Vorlage) != text ||
        wieder.Vorlage.Zeilenanzahl() != vorlage.Zeilenanzahl()) {
        std::abort();
    }
    return 0;
}
