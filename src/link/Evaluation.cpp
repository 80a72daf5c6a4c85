#include "link/Evaluation.h"

#include <exception>
#include <utility>

#include "component/CodePage.h"
#include "component/Error.h"

namespace zelmo {

namespace {

// Status as sent -> event name handed on. "ZeitMessung" is handled apart.
constexpr std::pair<std::string_view, std::string_view> kStatusNamen[] = {
    {"ReiterNeu", "Reiter Neu"},
    {"Neu", "Neu"},
    {"Turnierart", "Turnierart"},
    {"Cls", "Cls"},
    {"Loeschen", "Loeschen"},
    {"GAEin", "GA Ein"},
    {"GAAus", "GA Aus"},
    {"AufAnzeigeNeu", "AufAnzeigeNeu"},
    {"Anzeigen", "Anzeigen"},
    {"AnzeigenMannschaft", "AnzeigenMannschaft"},
    {"WerbungNeu", "WerbungNeu"},
    {"Aufgegeben", "Aufgegeben"},
    {"Ausgeschieden", "Ausgeschieden"},
    {"NichtAngetreten", "NichtAngetreten"},
    {"ZeitGenau", "ZeitGenau"},
    {"Start", "Start"},
    {"Zeit", "Zeit"},
    {"Ziel", "Ziel"},
    {"DurchZiel", "DurchZiel"},
    {"PauseAnzeigeZiel", "PauseAnzeigeZiel"},
};

constexpr std::size_t kAbfragetextZeichen = 100;

}  // namespace

std::optional<std::string_view> EreignisName(std::string_view status, std::string_view wert1) {
    if (status == "ZeitMessung") {
        if (wert1 == "Start")
            return "ZM Start";
        if (wert1 == "Ende")
            return "ZM Ende";
        return "ZeitMessung";
    }
    for (const auto& [received, name] : kStatusNamen) {
        if (received == status)
            return name;
    }
    return std::nullopt;
}

std::string EreignisText(std::string_view name, std::string_view wert1, std::string_view wert2,
                         std::string_view wert3, std::string_view wert4) {
    std::string text;
    text.reserve(name.size() + wert1.size() + wert2.size() + wert3.size() + wert4.size() + 4);
    text.append(name);
    for (std::string_view wert : {wert1, wert2, wert3, wert4}) {
        text.push_back(kEreignisTrenner);
        text.append(wert);
    }
    return text;
}

namespace {

template <typename Json>
Evaluation Evaluate(Json json, std::string_view payloadUtf8, TelegramStore& store,
                    bool vorlagenAktiv, const DispatchFn& dispatch) {
    using Outcome = Evaluation::Outcome;
    Evaluation result;
    try {
        store.ReleaseLatest();
        store.SetLatest(JSONDecodieren(json));
        result.decoded = true;

        // The event section is taken before the sections are stored, so an event value that
        // is not a collection fails before anything is replaced.
        Collection ereignis;
        if (store.Latest().Exists("Ereignis")) {
            ereignis = store.Latest().Item("Ereignis");
            if (!ereignis.IsCollection())
                throw Error("Ereignis ist kein Objekt");
        }
        store.StoreSections();

        if (ereignis.Item("Befehl").Text() != "Befehl") {
            result.outcome = Outcome::NoCommand;
            return result;
        }
        const std::string_view status = ereignis.Item("Status").Text();
        const std::string_view wert1 = ereignis.Item("Wert1").Text();
        const std::string_view wert2 = ereignis.Item("Wert2").Text();
        const std::string_view wert3 = ereignis.Item("Wert3").Text();
        const std::string_view wert4 = ereignis.Item("Wert4").Text();

        const auto name = EreignisName(status, wert1);
        if (!name) {
            result.outcome = Outcome::UnknownStatus;
            result.label = std::string(kFalscheAbfragetext)
                               .append(codepage::LeftChars(payloadUtf8, kAbfragetextZeichen));
            return result;
        }
        result.eventText = EreignisText(*name, wert1, wert2, wert3, wert4);
        if (!vorlagenAktiv) {
            result.outcome = Outcome::Inactive;
            return result;
        }
        result.outcome = Outcome::Dispatched;
        dispatch(result.eventText);
    } catch (const std::exception&) {
        result.outcome = Outcome::Failed;
        result.label = std::string(kFehlerInDerDatenauswertung);
    }
    return result;
}

}  // namespace

Evaluation Auswerten(std::string_view payloadUtf8, TelegramStore& store, bool vorlagenAktiv,
                     const DispatchFn& dispatch) {
    return Evaluate(payloadUtf8, payloadUtf8, store, vorlagenAktiv, dispatch);
}

Evaluation Auswerten(PaddedJson payloadUtf8, TelegramStore& store, bool vorlagenAktiv,
                     const DispatchFn& dispatch) {
    return Evaluate(payloadUtf8, payloadUtf8.text, store, vorlagenAktiv, dispatch);
}

}  // namespace zelmo
