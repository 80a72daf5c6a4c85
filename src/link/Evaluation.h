#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "component/Collection.h"
#include "link/TelegramStore.h"

// The evaluation of one telegram: decode, store, map the event section to an event and hand
// it to the output run.
namespace zelmo {

inline constexpr std::string_view kFehlerInDerDatenauswertung = "Fehler in der Datenauswertung!";
inline constexpr std::string_view kFalscheAbfragetext = "Falsche Abfragetext: ";

// Joins the event name and its four values in the event text.
inline constexpr char kEreignisTrenner = '\x1B';

// The event name handed on for a status (exact, case-sensitive); nothing for a status the
// program does not know. "ZeitMessung" is told apart by its first value.
std::optional<std::string_view> EreignisName(std::string_view status, std::string_view wert1);

// name ESC wert1 ESC wert2 ESC wert3 ESC wert4: always four separators.
std::string EreignisText(std::string_view name, std::string_view wert1, std::string_view wert2,
                         std::string_view wert3, std::string_view wert4);

struct Evaluation {
    enum class Outcome {
        Dispatched,     // the event was handed to the output run
        Inactive,       // a valid event, not handed on: no template editor is active
        NoCommand,      // "Befehl" is not "Befehl": stored, nothing shown
        UnknownStatus,  // label shows kFalscheAbfragetext + the start of the payload
        Failed,         // label shows kFehlerInDerDatenauswertung
    };
    Outcome outcome = Outcome::Failed;
    // The payload decoded as JSON (whatever came after).
    bool decoded = false;
    // The new caption of the status label; nothing leaves the label as it is.
    std::optional<std::string> label;
    // The event text, for Dispatched and Inactive.
    std::string eventText;
};

using DispatchFn = std::function<void(const std::string& eventText)>;

// Evaluates one telegram payload (UTF-8): the latest telegram is released and replaced by
// the decoded payload, the sections it carries replace the stored ones, and a command's
// event is mapped and, while `vorlagenAktiv`, handed to `dispatch`, which runs before this
// returns. A failure at any step (invalid JSON, no "Ereignis", a section or field of the
// wrong kind, a missing field, an exception from `dispatch`) ends the evaluation with
// kFehlerInDerDatenauswertung; what was stored before the failure stays stored.
Evaluation Auswerten(std::string_view payloadUtf8, TelegramStore& store, bool vorlagenAktiv,
                     const DispatchFn& dispatch);
// The same for a payload that lies in a padded buffer, decoded where it lies.
Evaluation Auswerten(PaddedJson payloadUtf8, TelegramStore& store, bool vorlagenAktiv,
                     const DispatchFn& dispatch);

}  // namespace zelmo
