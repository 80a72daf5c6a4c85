#include "link/Evaluation.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "component/Error.h"

namespace zelmo {
namespace {

using Outcome = Evaluation::Outcome;

// A telegram with an event and, after it, `rest` (further members, each led by ", ").
std::string Telegram(const std::string& befehl, const std::string& status,
                     const std::string& rest = "", const std::string& wert1 = "\"\"") {
    return R"({"Ereignis": {"Befehl": ")" + befehl + R"(", "Status": ")" + status +
           R"(", "Wert1": )" + wert1 + R"(, "Wert2": "", "Wert3": "", "Wert4": ""})" + rest + "}";
}

// The first value matters only for "ZeitMessung", and only exactly.
TEST(EreignisName, StatusTable) {
    for (const char* same :
         {"Neu", "Turnierart", "Cls", "Loeschen", "AufAnzeigeNeu", "Anzeigen", "AnzeigenMannschaft",
          "WerbungNeu", "Aufgegeben", "Ausgeschieden", "NichtAngetreten", "ZeitGenau", "Start",
          "Zeit", "Ziel", "DurchZiel", "PauseAnzeigeZiel"})
        EXPECT_EQ(EreignisName(same, "Ende"), std::optional<std::string_view>(same)) << same;
    const std::pair<const char*, std::string_view> renamed[] = {
        {"ReiterNeu", "Reiter Neu"}, {"GAEin", "GA Ein"}, {"GAAus", "GA Aus"}};
    for (const auto& [status, name] : renamed)
        EXPECT_EQ(EreignisName(status, "Start"), name) << status;
    const std::pair<const char*, std::string_view> zeitMessung[] = {{"Start", "ZM Start"},
                                                                    {"Ende", "ZM Ende"},
                                                                    {"ende", "ZeitMessung"},
                                                                    {"Start ", "ZeitMessung"}};
    for (const auto& [wert1, name] : zeitMessung)
        EXPECT_EQ(EreignisName("ZeitMessung", wert1), name) << wert1;
    for (const char* unknown : {"zeitmessung", "reiterneu", "Reiter Neu", "GA Ein", "Neu ", ""})
        EXPECT_EQ(EreignisName(unknown, "Start"), std::nullopt) << unknown;
}

// What the operator sees of a telegram: the event text handed to the output run, else the
// status label ("" for none).
TEST(Auswerten, OutcomesWithTheirEventTextOrLabel) {
    const std::string fehler = "Fehler in der Datenauswertung!";
    const std::tuple<std::string, Outcome, std::string> rows[] = {
        // Fields in any order, values of any kind.
        {R"({"Ereignis": {"Wert4": null, "Wert3": false, "Wert2": 65.3, "Wert1": "Ende",
             "Status": "ZeitMessung", "Befehl": "Befehl"}})",
         Outcome::Dispatched, "ZM Ende\033Ende\03365.3\033Falsch\033"},
        {Telegram("befehl", "Neu"), Outcome::NoCommand, ""},
        // Cut after 100 characters, not bytes.
        {Telegram("Befehl", "ÄÖÜäöüß" + std::string(100, 'x')), Outcome::UnknownStatus,
         R"(Falsche Abfragetext: {"Ereignis": {"Befehl": "Befehl", "Status": "ÄÖÜäöüß)" +
             std::string(48, 'x')},
        // A missing field is found before the unknown status.
        {R"({"Ereignis": {"Befehl": "Befehl", "Status": "Quatsch"}})", Outcome::Failed, fehler},
        {Telegram("Befehl", "Neu", "", "{}"), Outcome::Failed, fehler},
        {Telegram("Befehl", "Neu"), Outcome::Failed, fehler},  // the output run throws
    };
    for (const auto& [payload, outcome, shown] : rows) {
        SCOPED_TRACE(payload);
        TelegramStore store;
        std::vector<std::string> dispatched;
        const Evaluation result = Auswerten(payload, store, true, [&](const std::string& t) {
            if (t.starts_with("Neu"))
                throw Error("Ausgabe fehlgeschlagen");
            dispatched.push_back(t);
        });
        const bool shownAsEvent = outcome == Outcome::Dispatched;
        EXPECT_EQ(result.outcome, outcome);
        EXPECT_EQ(result.label.value_or(""), shownAsEvent ? "" : shown);
        EXPECT_EQ(dispatched, shownAsEvent ? std::vector{shown} : std::vector<std::string>{});
    }
}

// A telegram replaces the sections it carries, in the storing order, even failing part-way.
TEST(Auswerten, SectionsKeepTheirContentUntilATelegramCarriesThem) {
    TelegramStore store;
    auto evaluate = [&](const std::string& payload, bool aktiv = true) {
        return Auswerten(payload, store, aktiv, [](const std::string&) {});
    };
    auto section = [&](const char* name, const char* item) {
        return std::string(store.Section(name).Item(item).Text());
    };
    evaluate(Telegram("Befehl", "Neu", R"(, "Startliste": {"N": "1"}, "Ergebnisliste": {"N": "E1"},
                                          "AktUml": {"U": "alt"}, "Umlaufdaten": {"U": "alt"})"));
    evaluate(Telegram("Info", "Neu", R"(, "Startliste": {"N": "2"})"));
    EXPECT_EQ(section("Startliste", "N"), "2");
    EXPECT_EQ(section("Ergebnisliste", "N"), "E1");
    EXPECT_TRUE(store.Section("Ereignis").IsNothing());  // not a stored section

    // "Reiter" comes between "AktUml" and "Umlaufdaten" in the storing order.
    const auto failed = evaluate(Telegram(
        "Befehl", "Neu", R"(, "Umlaufdaten": {"U": "neu"}, "Reiter": 5, "AktUml": {"U": "neu"})"));
    EXPECT_EQ(failed.outcome, Outcome::Failed);
    EXPECT_EQ(section("AktUml", "U"), "neu");
    EXPECT_EQ(section("Umlaufdaten", "U"), "alt");
    EXPECT_TRUE(store.Section("Reiter").IsNothing());

    // An event value of the wrong kind fails before any section is replaced.
    EXPECT_EQ(evaluate(R"({"Ereignis": 1, "AktUml": {"U": "nie"}})").outcome, Outcome::Failed);
    EXPECT_EQ(section("AktUml", "U"), "neu");

    EXPECT_EQ(evaluate(R"({"AktUml": {"U": "ohne Ereignis"}})").outcome, Outcome::Failed);
    EXPECT_EQ(section("AktUml", "U"), "ohne Ereignis");
    const Evaluation inactive =
        evaluate(Telegram("Befehl", "GAEin", R"(, "Reiter": {"Name": "Kühn"})", "7"), false);
    EXPECT_EQ(inactive.outcome, Outcome::Inactive);
    EXPECT_EQ(inactive.eventText, "GA Ein\0337\033\033\033");
    EXPECT_EQ(section("Reiter", "Name"), "Kühn");

    // A payload that does not decode leaves no latest telegram; the sections stay.
    EXPECT_EQ(evaluate("kein JSON").outcome, Outcome::Failed);
    EXPECT_TRUE(store.Latest().IsNothing());
    EXPECT_EQ(section("Reiter", "Name"), "Kühn");
}

}  // namespace
}  // namespace zelmo
