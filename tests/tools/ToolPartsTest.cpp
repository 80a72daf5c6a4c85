// The rules inside the tool that need no process: show files, addresses, statistics.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <numeric>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "Endpoint.h"
#include "RoundTrips.h"
#include "Show.h"
#include "component/Error.h"

namespace zelmo::tool {
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

// The port itself follows ParsePort; these are the host's part and the split.
TEST(Endpoint, HostAndPort) {
    const std::tuple<std::string, bool, std::string> rows[] = {
        // text, port 0 allowed, host and text shown or "-" when rejected
        {"[::1]:65535", false, "::1 [::1]:65535"},
        {"127.0.0.1:0", true, "127.0.0.1 127.0.0.1:0"},
        {"127.0.0.1:0", false, "-"},
        {":3020", false, "-"},
        {"::1:3020", false, "-"},
        {"host name:3020", false, "-"},
    };
    for (const auto& [text, allowZero, want] : rows) {
        SCOPED_TRACE(text);
        const auto endpoint = ParseEndpoint(text, allowZero);
        EXPECT_EQ(endpoint ? endpoint->host + " " + endpoint->Text() : "-", want);
    }
}

TEST(RoundTrips, NearestRankPercentilesInConstantMemory) {
    const auto summary = [](const std::vector<std::int64_t>& samples) {
        RoundTrips trips;
        for (const auto s : samples)
            trips.Add(s);
        const RoundTrips::Summary s = trips.Summarize();
        return std::array{s.median, s.p99, s.max};
    };
    EXPECT_EQ(summary({9, 3}), (std::array<std::int64_t, 3>{3, 9, 9}));  // the lower middle
    std::vector<std::int64_t> down(200);                                 // 200 down to 1
    std::iota(down.rbegin(), down.rend(), 1);
    EXPECT_EQ(summary(down), (std::array<std::int64_t, 3>{100, 198, 200}));

    // A looping simulation keeps them for days: no storage that grows with the samples.
    static_assert(std::is_trivially_copyable_v<RoundTrips>);
    // Larger times are counted in buckets: within 0.4 % of the exact rank, the maximum exact.
    std::mt19937_64 random(5);
    std::vector<std::int64_t> samples(100001);
    for (auto& s : samples)
        s = 200 + static_cast<std::int64_t>(random() % 4'000'000);
    const auto [median, p99, max] = summary(samples);
    std::sort(samples.begin(), samples.end());
    EXPECT_NEAR(median, samples[50000], samples[50000] * 0.004);
    EXPECT_NEAR(p99, samples[99000], samples[99000] * 0.004);
    EXPECT_EQ(max, samples.back());
}

}  // namespace
}  // namespace zelmo::tool
