// Show files: what simulate plays, what record and the flight recorder write.

#include "journal/Show.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "component/Error.h"

namespace zelmo {
namespace {

// A show file as "line at_ms payload|" per telegram, or the error without the parser's detail.
std::string Parsed(std::string_view text) {
    try {
        std::string out;
        for (const ShowTelegram& t : ParseShow(text))
            out += std::to_string(t.line) + " " + (t.atMs ? std::to_string(*t.atMs) : "-") + " " +
                   t.payload + "|";
        return out;
    } catch (const Error& e) {
        const std::string message = e.what();
        return message.substr(0, message.find(" ("));
    }
}

TEST(Show, LinesBecomeTelegramsWithTheirTextAsWritten) {
    const std::pair<std::string, std::string> rows[] = {
        {"\r\n{\"Ereignis\": {\"Status\": \"Start\"}, \"Zeit\": 65.30}\r\n   \r\n"
         "{\"at_ms\": 250, \"telegram\":   {\"b\": 1, \"a\": [1, 2.50]}  }\n"
         "{\"telegram\": {\"x\": \"ü\"}, \"at_ms\": 0}\n"
         "{\"at_ms\": 7, \"raw\": \"kein \\\"JSON\\\"\\n\"}\n"
         "{\"at_ms\": 1, \"telegram\": \"Hallo\"}",
         "2 - {\"Ereignis\": {\"Status\": \"Start\"}, \"Zeit\": 65.30}|4 250 {\"b\": 1, \"a\": "
         "[1, 2.50]}|5 0 {\"x\": \"ü\"}|6 7 kein \"JSON\"\n|7 1 \"Hallo\"|"},
        {"{\"a\": 1}\n{\"a\": ", "Zeile 2: kein gültiges JSON"},
        {"[1, 2]", "Zeile 1: kein JSON-Objekt"},
        {"{\"at_ms\": -5, \"telegram\": {}}", "Zeile 1: at_ms ist keine ganze Zahl ab 0"},
        {"{\"at_ms\": 1.5, \"telegram\": {}}", "Zeile 1: at_ms ist keine ganze Zahl ab 0"},
        {"\n\n{\"at_ms\": 100}", "Zeile 3: weder \"telegram\" noch \"raw\" vorhanden"},
        {"{\"at_ms\": 1, \"raw\": 5}", "Zeile 1: raw ist kein Text"},
        // The flight recorder's wall-clock time is read past.
        {"{\"at_ms\": 3, \"local_time\": \"2026-12-07 14:03:12.345+01:00\", \"raw\": \"x\"}",
         "1 3 x|"},
        // Recorded lines replay the payload; a line break never splits one.
        {ShowLine(42, "{\r\n \"a\": \"x\"\n}"), "1 42 {   \"a\": \"x\" }|"},
        {ShowLine(42, "Hallo \"Welt\"\r\n\x01"), "1 42 Hallo \"Welt\"\r\n\x01|"},
        {ShowLine(42, ""), "1 42 |"},
    };
    for (const auto& [text, want] : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Parsed(text), want);
    }
}

TEST(Show, AShowMustCarryATelegram) {
    const std::pair<std::string, std::optional<std::string>> rows[] = {
        {"{\"a\": 1}\n{\"at_ms\": 5, \"raw\": \"x\"}\n{\"AktUml\": {}}", std::nullopt},
        {"{\"at_ms\": 1, \"telegram\": [1]}\n{\"Ereignis\": {}}", std::nullopt},
        {"{\"a\": 1}\n{\"at_ms\": 1, \"telegram\": \"Hallo\"}",
         "keine Zeile ist ein Telegramm (ein JSON-Objekt mit \"Ereignis\" oder einem Abschnitt "
         "wie \"AktReiter\")"},
        {"", "die Show enthält kein Telegramm"},
    };
    for (const auto& [text, fehler] : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ShowPruefen(ParseShow(text)), fehler);
    }
}

}  // namespace
}  // namespace zelmo
