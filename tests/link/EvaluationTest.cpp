#include "link/Evaluation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "component/Error.h"
#include "link/TelegramStore.h"

namespace zelmo {
namespace {

using Outcome = Evaluation::Outcome;

// A telegram with an event and, after it, `rest` (further members, each led by ", ").
std::string Telegram(const std::string& befehl, const std::string& status,
                     const std::string& rest = "", const std::string& wert1 = "\"\"") {
    return R"({"Ereignis": {"Befehl": ")" + befehl + R"(", "Status": ")" + status +
           R"(", "Wert1": )" + wert1 + R"(, "Wert2": "", "Wert3": "", "Wert4": ""})" + rest + "}";
}

struct Result {
    Evaluation result;
    std::vector<std::string> dispatched;
};

Result Evaluate(TelegramStore& store, const std::string& payload, bool aktiv = true) {
    Result run;
    run.result = Auswerten(payload, store, aktiv,
                           [&](const std::string& text) { run.dispatched.push_back(text); });
    return run;
}

TEST(EreignisName, StatusTable) {
    for (const char* same :
         {"Neu", "Turnierart", "Cls", "Loeschen", "AufAnzeigeNeu", "Anzeigen", "AnzeigenMannschaft",
          "WerbungNeu", "Aufgegeben", "Ausgeschieden", "NichtAngetreten", "ZeitGenau", "Start",
          "Zeit", "Ziel", "DurchZiel", "PauseAnzeigeZiel"}) {
        SCOPED_TRACE(same);
        EXPECT_EQ(EreignisName(same, ""), std::optional<std::string_view>(same));
    }
    struct Row {
        const char* status;
        const char* wert1;
        std::optional<std::string_view> name;
    };
    const Row rows[] = {
        {"ReiterNeu", "", "Reiter Neu"},
        {"GAEin", "", "GA Ein"},
        {"GAAus", "", "GA Aus"},
        {"ZeitMessung", "Start", "ZM Start"},
        {"ZeitMessung", "Ende", "ZM Ende"},
        {"ZeitMessung", "", "ZeitMessung"},
        {"ZeitMessung", "ende", "ZeitMessung"},
        {"ZeitMessung", "Start ", "ZeitMessung"},
        {"Start", "Ende", "Start"},
        {"zeitmessung", "Start", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.status) + " / " + row.wert1);
        EXPECT_EQ(EreignisName(row.status, row.wert1), row.name);
    }
    for (const char* unknown : {"reiterneu", "Reiter Neu", "GA Ein", "ZM Start", "Neu ", ""}) {
        SCOPED_TRACE(unknown);
        EXPECT_EQ(EreignisName(unknown, ""), std::nullopt);
    }
}

// What the operator sees of a telegram: the event text handed to the output run, or the
// status label.
TEST(Auswerten, OutcomesWithTheirEventTextOrLabel) {
    const std::string fehler = "Fehler in der Datenauswertung!";
    const std::string umlauts = R"({"Ereignis":{"Befehl":"Befehl","Status":"ÄÖÜäöüß)" +
                                std::string(100, 'x') +
                                R"(","Wert1":"","Wert2":"","Wert3":"","Wert4":""}})";
    struct Row {
        std::string payload;
        Outcome outcome;
        std::string shown;  // the dispatched text, else the label ("" for none)
    };
    const Row rows[] = {
        {R"({"Ereignis": {"Befehl": "Befehl", "Status": "ZeitMessung", "Wert1": "Ende",
             "Wert2": "65.30", "Wert3": 4, "Wert4": "Müller"}})",
         Outcome::Dispatched,
         "ZM Ende\x1B"
         "Ende\x1B"
         "65.30\x1B"
         "4\x1B"
         "Müller"},
        {R"({"Ereignis": {"Wert4": null, "Wert3": false, "Wert2": true, "Wert1": "a",
             "Status": "Ziel", "Befehl": "Befehl"}})",
         Outcome::Dispatched,
         "Ziel\x1B"
         "a\x1B"
         "Wahr\x1B"
         "Falsch\x1B"},
        {Telegram("befehl", "Neu"), Outcome::NoCommand, ""},
        // Cut after 100 characters, not bytes.
        {umlauts, Outcome::UnknownStatus,
         R"(Falsche Abfragetext: {"Ereignis":{"Befehl":"Befehl","Status":"ÄÖÜäöüß)" +
             std::string(52, 'x')},
        {"{\"Ereignis\": ", Outcome::Failed, fehler},
        {"[1]", Outcome::Failed, fehler},
        {R"({"Startliste": {}})", Outcome::Failed, fehler},
        {R"({"Ereignis": "Neu"})", Outcome::Failed, fehler},
        // A missing field is found before the unknown status.
        {R"({"Ereignis": {"Befehl": "Befehl", "Status": "Quatsch"}})", Outcome::Failed, fehler},
        {Telegram("Befehl", "Neu", "", "{}"), Outcome::Failed, fehler},
        {Telegram("Befehl", "Neu", R"(, "Startliste": "leer")"), Outcome::Failed, fehler},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.payload);
        TelegramStore store;
        const Result run = Evaluate(store, row.payload);
        EXPECT_EQ(run.result.outcome, row.outcome);
        if (row.outcome == Outcome::Dispatched) {
            EXPECT_EQ(run.dispatched, std::vector<std::string>{row.shown});
            EXPECT_EQ(run.result.label, std::nullopt);
        } else {
            EXPECT_TRUE(run.dispatched.empty());
            EXPECT_EQ(run.result.label.value_or(""), row.shown);
        }
    }

    TelegramStore store;
    const Evaluation thrown =
        Auswerten(Telegram("Befehl", "Neu"), store, true,
                  [](const std::string&) { throw Error("Ausgabe fehlgeschlagen"); });
    EXPECT_EQ(thrown.outcome, Outcome::Failed);
    EXPECT_EQ(thrown.label, fehler);
}

TEST(Auswerten, SectionsKeepTheirContentUntilATelegramCarriesThem) {
    TelegramStore store;
    Evaluate(store, Telegram("Befehl", "Neu",
                             R"(, "Startliste": {"N": "1"}, "Ergebnisliste": {"N": "E1"},
                                "AktUml": {"U": "alt"}, "Umlaufdaten": {"U": "alt"})"));
    Evaluate(store, Telegram("Info", "Neu", R"(, "Startliste": {"N": "2"})"));
    EXPECT_EQ(store.Section("Startliste").Item("N").Text(), "2");
    EXPECT_EQ(store.Section("Ergebnisliste").Item("N").Text(), "E1");
    EXPECT_FALSE(store.Latest().Exists("Ergebnisliste"));
    EXPECT_TRUE(store.Section("Reiter").IsNothing());
    EXPECT_TRUE(store.Section("Ereignis").IsNothing());  // not a stored section
    // Stored as a handle into the telegram, not as a copy.
    EXPECT_EQ(store.Section("Startliste").Item("N").Text().data(),
              store.Latest().Item("Startliste").Item("N").Text().data());

    // "Reiter" comes between "AktUml" and "Umlaufdaten" in the storing order.
    const Result partWay = Evaluate(store, Telegram("Befehl", "Neu",
                                                    R"(, "Umlaufdaten": {"U": "neu"}, "Reiter": 5,
                                                    "AktUml": {"U": "neu"})"));
    EXPECT_EQ(partWay.result.outcome, Outcome::Failed);
    EXPECT_EQ(store.Section("AktUml").Item("U").Text(), "neu");
    EXPECT_EQ(store.Section("Umlaufdaten").Item("U").Text(), "alt");
    EXPECT_TRUE(store.Section("Reiter").IsNothing());

    // An event value of the wrong kind fails before any section is replaced.
    Evaluate(store, R"({"Ereignis": 1, "AktUml": {"U": "nie"}})");
    EXPECT_EQ(store.Section("AktUml").Item("U").Text(), "neu");

    // Sections are stored without an event, and without an active template editor.
    Evaluate(store, R"({"AktUml": {"U": "ohne Ereignis"}})");
    EXPECT_EQ(store.Section("AktUml").Item("U").Text(), "ohne Ereignis");
    const Result inactive =
        Evaluate(store, Telegram("Befehl", "GAEin", R"(, "Reiter": {"Name": "Kühn"})", "7"), false);
    EXPECT_EQ(inactive.result.outcome, Outcome::Inactive);
    EXPECT_EQ(inactive.result.eventText,
              "GA Ein\x1B"
              "7\x1B\x1B\x1B");
    EXPECT_EQ(store.Section("Reiter").Item("Name").Text(), "Kühn");

    // A payload that does not decode leaves no latest telegram, but the sections stay.
    Evaluate(store, "kein JSON");
    EXPECT_TRUE(store.Latest().IsNothing());
    EXPECT_EQ(store.Section("Reiter").Item("Name").Text(), "Kühn");
}

}  // namespace
}  // namespace zelmo
