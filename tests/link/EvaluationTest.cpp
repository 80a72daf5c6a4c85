#include "link/Evaluation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "component/Error.h"
#include "link/TelegramStore.h"

namespace zelmo {
namespace {

using Outcome = Evaluation::Outcome;

std::string Ereignis(const std::string& befehl, const std::string& status,
                     const std::string& wert1 = "\"\"") {
    return R"("Ereignis": {"Befehl": ")" + befehl + R"(", "Status": ")" + status +
           R"(", "Wert1": )" + wert1 + R"(, "Wert2": "", "Wert3": "", "Wert4": ""})";
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
    struct Row {
        const char* status;
        const char* wert1;
        const char* name;  // nullptr: not recognised
    };
    const Row rows[] = {
        {"ReiterNeu", "", "Reiter Neu"},
        {"Neu", "", "Neu"},
        {"Turnierart", "", "Turnierart"},
        {"Cls", "", "Cls"},
        {"Loeschen", "", "Loeschen"},
        {"GAEin", "", "GA Ein"},
        {"GAAus", "", "GA Aus"},
        {"AufAnzeigeNeu", "", "AufAnzeigeNeu"},
        {"Anzeigen", "", "Anzeigen"},
        {"AnzeigenMannschaft", "", "AnzeigenMannschaft"},
        {"WerbungNeu", "", "WerbungNeu"},
        {"Aufgegeben", "", "Aufgegeben"},
        {"Ausgeschieden", "", "Ausgeschieden"},
        {"NichtAngetreten", "", "NichtAngetreten"},
        {"ZeitGenau", "", "ZeitGenau"},
        {"Start", "", "Start"},
        {"Zeit", "", "Zeit"},
        {"Ziel", "", "Ziel"},
        {"DurchZiel", "", "DurchZiel"},
        {"PauseAnzeigeZiel", "", "PauseAnzeigeZiel"},
        {"ZeitMessung", "Start", "ZM Start"},
        {"ZeitMessung", "Ende", "ZM Ende"},
        {"ZeitMessung", "", "ZeitMessung"},
        {"ZeitMessung", "ende", "ZeitMessung"},
        {"ZeitMessung", "Start ", "ZeitMessung"},
        {"Start", "Ende", "Start"},
        {"reiterneu", "", nullptr},
        {"Reiter Neu", "", nullptr},
        {"GA Ein", "", nullptr},
        {"ZM Start", "", nullptr},
        {"zeitmessung", "Start", nullptr},
        {"Neu ", "", nullptr},
        {"", "", nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.status) + " / " + row.wert1);
        const auto name = EreignisName(row.status, row.wert1);
        if (row.name == nullptr) {
            EXPECT_EQ(name, std::nullopt);
        } else {
            EXPECT_EQ(name, std::optional<std::string_view>(row.name));
        }
    }
}

TEST(Auswerten, DispatchesTheEventText) {
    struct Row {
        std::string ereignis;
        std::string text;
    };
    const Row rows[] = {
        {R"({"Befehl": "Befehl", "Status": "GAEin", "Wert1": 1, "Wert2": "", "Wert3": "",
             "Wert4": ""})",
         "GA Ein\x1B"
         "1\x1B\x1B\x1B"},
        {R"({"Befehl": "Befehl", "Status": "ZeitMessung", "Wert1": "Ende", "Wert2": "65.30",
             "Wert3": 4, "Wert4": "Müller"})",
         "ZM Ende\x1B"
         "Ende\x1B"
         "65.30\x1B"
         "4\x1B"
         "Müller"},
        {R"({"Wert4": null, "Wert3": false, "Wert2": true, "Wert1": "a", "Status": "Ziel",
             "Befehl": "Befehl"})",
         "Ziel\x1B"
         "a\x1B"
         "Wahr\x1B"
         "Falsch\x1B"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ereignis);
        TelegramStore store;
        const Result run = Evaluate(store, R"({"Ereignis": )" + row.ereignis + "}");
        EXPECT_EQ(run.result.outcome, Outcome::Dispatched);
        EXPECT_EQ(run.result.label, std::nullopt);
        EXPECT_EQ(run.dispatched, std::vector<std::string>{row.text});
    }
}

TEST(Auswerten, OutcomesAndLabelTexts) {
    const std::string longStatus = "Unbekannt" + std::string(120, 'x');
    struct Row {
        const char* name;
        std::string payload;
        bool aktiv;
        Outcome outcome;
        std::optional<std::string> label;
    };
    const Row rows[] = {
        {"template editor not active", "{" + Ereignis("Befehl", "Neu") + "}", false,
         Outcome::Inactive, std::nullopt},
        {"not a command", "{" + Ereignis("Info", "Neu") + "}", true, Outcome::NoCommand,
         std::nullopt},
        {"Befehl compares case-sensitively", "{" + Ereignis("befehl", "Neu") + "}", true,
         Outcome::NoCommand, std::nullopt},
        {"unknown status shows the start of the payload",
         R"({"Ereignis":{"Befehl":"Befehl","Status":"reiterneu","Wert1":"","Wert2":"","Wert3":"","Wert4":""}})",
         true, Outcome::UnknownStatus,
         R"(Falsche Abfragetext: {"Ereignis":{"Befehl":"Befehl","Status":"reiterneu","Wert1":"","Wert2":"","Wert3":"","Wert4":""}})"},
        {"the payload is cut after 100 characters, not bytes",
         R"({"Ereignis":{"Befehl":"Befehl","Status":"ÄÖÜäöüß)" + std::string(100, 'x') +
             R"(","Wert1":"","Wert2":"","Wert3":"","Wert4":""}})",
         true, Outcome::UnknownStatus,
         R"(Falsche Abfragetext: {"Ereignis":{"Befehl":"Befehl","Status":"ÄÖÜäöüß)" +
             std::string(52, 'x')},
        {"invalid JSON", "{\"Ereignis\": ", true, Outcome::Failed,
         "Fehler in der Datenauswertung!"},
        {"no Ereignis", R"({"Startliste": {}})", true, Outcome::Failed,
         "Fehler in der Datenauswertung!"},
        {"Ereignis is text", R"({"Ereignis": "Neu"})", true, Outcome::Failed,
         "Fehler in der Datenauswertung!"},
        {"Ereignis is an array", R"({"Ereignis": ["Befehl"]})", true, Outcome::Failed,
         "Fehler in der Datenauswertung!"},
        {"missing Wert4",
         R"({"Ereignis": {"Befehl": "Befehl", "Status": "Neu", "Wert1": "", "Wert2": "", "Wert3": ""}})",
         true, Outcome::Failed, "Fehler in der Datenauswertung!"},
        {"missing field is found before an unknown status",
         R"({"Ereignis": {"Befehl": "Befehl", "Status": "Quatsch"}})", true, Outcome::Failed,
         "Fehler in der Datenauswertung!"},
        {"a value that is an object", "{" + Ereignis("Befehl", "Neu", "{}") + "}", true,
         Outcome::Failed, "Fehler in der Datenauswertung!"},
        {"a section that is not a collection",
         "{" + Ereignis("Befehl", "Neu") + R"(, "Startliste": "leer"})", true, Outcome::Failed,
         "Fehler in der Datenauswertung!"},
        {"root is an array", "[1]", true, Outcome::Failed, "Fehler in der Datenauswertung!"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TelegramStore store;
        const Result run = Evaluate(store, row.payload, row.aktiv);
        EXPECT_EQ(run.result.outcome, row.outcome);
        EXPECT_EQ(run.result.label, row.label);
        EXPECT_TRUE(run.dispatched.empty());
    }
}

TEST(Auswerten, ADispatchThatFailsIsAnEvaluationFailure) {
    TelegramStore store;
    const Evaluation result =
        Auswerten("{" + Ereignis("Befehl", "Neu") + "}", store, true,
                  [](const std::string&) { throw Error("Ausgabe fehlgeschlagen"); });
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(result.label, std::optional<std::string>("Fehler in der Datenauswertung!"));
    EXPECT_TRUE(store.Latest().Exists("Ereignis"));
}

TEST(Auswerten, SectionsKeepTheirContentUntilATelegramCarriesThem) {
    TelegramStore store;
    Evaluate(store, "{" + Ereignis("Befehl", "Neu") +
                        R"(, "Startliste": {"N": "1"}, "Ergebnisliste": {"N": "E1"}})");
    Evaluate(store, "{" + Ereignis("Info", "Neu") + R"(, "Startliste": {"N": "2"}})");

    EXPECT_EQ(store.Section("Startliste").Item("N").Text(), "2");
    EXPECT_EQ(store.Section("Ergebnisliste").Item("N").Text(), "E1");
    EXPECT_FALSE(store.Latest().Exists("Ergebnisliste"));
    EXPECT_TRUE(store.Latest().Exists("Startliste"));
    EXPECT_TRUE(store.Section("Umlaufdaten").IsNothing());
    EXPECT_TRUE(store.Section("Ereignis").IsNothing());  // not a stored section
}

TEST(Auswerten, EverySectionIsStoredUnderItsName) {
    TelegramStore store;
    std::string payload = "{" + Ereignis("Befehl", "Neu");
    for (std::string_view name : TelegramStore::kSectionNames) {
        payload += ", \"" + std::string(name) + "\": [\"" + std::string(name) + "\"]";
    }
    payload += "}";
    Evaluate(store, payload);
    for (std::string_view name : TelegramStore::kSectionNames) {
        SCOPED_TRACE(name);
        EXPECT_EQ(store.Section(name).Item(std::size_t{0}).Text(), name);
    }
    EXPECT_EQ(TelegramStore::kSectionNames.front(), "GlobalBW");
    EXPECT_EQ(TelegramStore::kSectionNames.back(), "AktReiter");
}

TEST(Auswerten, AFailurePartWayKeepsWhatWasStoredBeforeIt) {
    TelegramStore store;
    Evaluate(store, "{" + Ereignis("Befehl", "Neu") +
                        R"(, "AktUml": {"U": "alt"}, "Umlaufdaten": {"U": "alt"}})");

    // "Reiter" comes between "AktUml" and "Umlaufdaten" in the storing order.
    const Result run = Evaluate(store, "{" + Ereignis("Befehl", "Neu") +
                                           R"(, "Umlaufdaten": {"U": "neu"}, "Reiter": 5,
                                        "AktUml": {"U": "neu"}})");
    EXPECT_EQ(run.result.outcome, Outcome::Failed);
    EXPECT_EQ(store.Section("AktUml").Item("U").Text(), "neu");
    EXPECT_EQ(store.Section("Umlaufdaten").Item("U").Text(), "alt");
    EXPECT_TRUE(store.Section("Reiter").IsNothing());
    EXPECT_TRUE(store.Latest().Exists("Reiter"));

    // An event value of the wrong kind fails before any section is replaced.
    Evaluate(store, R"({"Ereignis": 1, "AktUml": {"U": "nie"}})");
    EXPECT_EQ(store.Section("AktUml").Item("U").Text(), "neu");

    // Sections are stored even when the telegram has no event.
    Evaluate(store, R"({"AktUml": {"U": "ohne Ereignis"}})");
    EXPECT_EQ(store.Section("AktUml").Item("U").Text(), "ohne Ereignis");
}

TEST(Auswerten, AFailedDecodeLeavesNoLatestTelegramButKeepsSections) {
    TelegramStore store;
    Evaluate(store, "{" + Ereignis("Befehl", "Neu") + R"(, "AktUml": {"U": "1"}})");
    ASSERT_FALSE(store.Latest().IsNothing());
    const Result run = Evaluate(store, "kein JSON");
    EXPECT_EQ(run.result.outcome, Outcome::Failed);
    EXPECT_TRUE(store.Latest().IsNothing());
    EXPECT_EQ(store.Section("AktUml").Item("U").Text(), "1");
}

TEST(Auswerten, InactiveEditorStillStores) {
    TelegramStore store;
    const Result run = Evaluate(
        store, "{" + Ereignis("Befehl", "GAEin", "7") + R"(, "Reiter": {"Name": "Kühn"}})", false);
    EXPECT_EQ(run.result.outcome, Outcome::Inactive);
    EXPECT_EQ(run.result.eventText,
              "GA Ein\x1B"
              "7\x1B\x1B\x1B");
    EXPECT_TRUE(run.dispatched.empty());
    EXPECT_EQ(store.Section("Reiter").Item("Name").Text(), "Kühn");
}

TEST(TelegramStore, SectionsShareTheTelegramsSubtrees) {
    TelegramStore store;
    Evaluate(store, "{" + Ereignis("Befehl", "Neu") + R"(, "Startliste": {"N": "1"}})");
    // The very same text object, not an equal copy.
    EXPECT_EQ(store.Section("Startliste").Item("N").Text().data(),
              store.Latest().Item("Startliste").Item("N").Text().data());
}

}  // namespace
}  // namespace zelmo
