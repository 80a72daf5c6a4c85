// The rules inside the tool that need no process: show files, addresses, statistics, the log.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "Endpoint.h"
#include "Log.h"
#include "RoundTrips.h"
#include "Show.h"
#include "component/Error.h"

namespace zelmo::tool {
namespace {

TEST(Show, LinesBecomeTelegramsWithTheirTextAsWritten) {
    const std::vector<ShowTelegram> show = ParseShow(
        "\r\n{\"Ereignis\": {\"Status\": \"Start\"}, \"Zeit\": 65.30}\r\n   \r\n"
        "{\"at_ms\": 250, \"telegram\":   {\"b\": 1, \"a\": [1, 2.50]}  }\n"
        "{\"telegram\": {\"x\": \"ü\"}, \"at_ms\": 0}\n"
        "{\"at_ms\": 7, \"raw\": \"kein \\\"JSON\\\"\\n\"}\n"
        "{\"at_ms\": 1, \"telegram\": \"Hallo\"}");
    struct Row {
        std::size_t line;
        std::optional<std::int64_t> atMs;
        std::string payload;
    };
    const std::vector<Row> want = {
        {2, std::nullopt, "{\"Ereignis\": {\"Status\": \"Start\"}, \"Zeit\": 65.30}"},
        {4, 250, "{\"b\": 1, \"a\": [1, 2.50]}"},
        {5, 0, "{\"x\": \"ü\"}"},
        {6, 7, "kein \"JSON\"\n"},
        {7, 1, "\"Hallo\""},
    };
    ASSERT_EQ(show.size(), want.size());
    for (std::size_t i = 0; i < show.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(show[i].line, want[i].line);
        EXPECT_EQ(show[i].atMs, want[i].atMs);
        EXPECT_EQ(show[i].payload, want[i].payload);
    }
    EXPECT_TRUE(ParseShow("").empty());
}

TEST(Show, ABadLineIsNamedWithItsNumber) {
    struct Row {
        std::string text;
        std::string message;
    };
    const std::vector<Row> rows = {
        {"{\"a\": 1}\n{\"a\": ", "Zeile 2: kein gültiges JSON"},
        {"[1, 2]", "Zeile 1: kein JSON-Objekt"},
        {"{\"at_ms\": -5, \"telegram\": {}}", "Zeile 1: at_ms ist keine ganze Zahl ab 0"},
        {"{\"at_ms\": 1.5, \"telegram\": {}}", "Zeile 1: at_ms ist keine ganze Zahl ab 0"},
        {"{\"at_ms\": \"100\", \"telegram\": {}}", "Zeile 1: at_ms ist keine ganze Zahl ab 0"},
        {"\n\n{\"at_ms\": 100}", "Zeile 3: weder \"telegram\" noch \"raw\" vorhanden"},
        {"{\"at_ms\": 1, \"raw\": 5}", "Zeile 1: raw ist kein Text"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        try {
            ParseShow(row.text);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()).substr(0, row.message.size()), row.message);
        }
    }
}

TEST(Show, AShowMustCarryATelegram) {
    const std::vector<std::pair<std::string, std::optional<std::string>>> rows = {
        {"{\"a\": 1}\n{\"at_ms\": 5, \"raw\": \"x\"}\n{\"AktUml\": {}}", std::nullopt},
        {"{\"at_ms\": 1, \"telegram\": [1]}\n{\"Ereignis\": {}}", std::nullopt},
        {"{\"a\": 1}\n{\"at_ms\": 1, \"telegram\": \"Hallo\"}",
         "keine Zeile ist ein Telegramm (ein JSON-Objekt mit \"Ereignis\" oder einem Abschnitt "
         "wie \"AktReiter\")"},
        {"{\"Vorlage\": {\"Zeilen\": []}}",
         "das ist eine Vorlage, keine Show (Telegramme als JSON Lines erwartet)"},
        {"", "die Show enthält kein Telegramm"},
    };
    for (const auto& [text, fehler] : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ShowPruefen(ParseShow(text)), fehler);
    }
}

TEST(Show, RecordedLinesReplayAsTheSamePayload) {
    struct Row {
        std::string payload;
        std::string line;
        std::string replayed;
    };
    const std::vector<Row> rows = {
        {"{\r\n \"a\": \"x\"\n}", "{\"at_ms\": 42, \"telegram\": {   \"a\": \"x\" }}",
         "{   \"a\": \"x\" }"},
        {"Hallo \"Welt\"\r\n\x01", "{\"at_ms\": 42, \"raw\": \"Hallo \\\"Welt\\\"\\r\\n\\u0001\"}",
         "Hallo \"Welt\"\r\n\x01"},
        {"", "{\"at_ms\": 42, \"raw\": \"\"}", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const std::string line = ShowLine(42, row.payload);
        EXPECT_EQ(line, row.line);
        const std::vector<ShowTelegram> show = ParseShow(line);
        ASSERT_EQ(show.size(), 1u);
        EXPECT_EQ(show[0].atMs, 42);
        EXPECT_EQ(show[0].payload, row.replayed);
    }
}

// The port itself follows ParsePort; these are the host's part and the split.
TEST(Endpoint, HostAndPort) {
    struct Row {
        std::string text;
        bool allowZero;
        std::optional<std::string> shown;  // nothing: rejected
        std::string host;
    };
    const std::vector<Row> rows = {
        {"scoring.local:1", false, "scoring.local:1", "scoring.local"},
        {"[::1]:65535", false, "[::1]:65535", "::1"},
        {"127.0.0.1:0", true, "127.0.0.1:0", "127.0.0.1"},
        {"127.0.0.1:0", false, std::nullopt, ""},
        {"127.0.0.1: 80", false, std::nullopt, ""},
        {":3020", false, std::nullopt, ""},
        {"::1:3020", false, std::nullopt, ""},
        {"host name:3020", false, std::nullopt, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const auto endpoint = ParseEndpoint(row.text, row.allowZero);
        ASSERT_EQ(endpoint.has_value(), row.shown.has_value());
        if (endpoint) {
            EXPECT_EQ(endpoint->Text(), *row.shown);
            EXPECT_EQ(endpoint->host, row.host);
        }
    }
}

TEST(RoundTrips, NearestRankPercentiles) {
    struct Row {
        std::vector<std::int64_t> samples;
        std::int64_t median, p99, max;
    };
    std::vector<std::int64_t> twoHundred;
    for (std::int64_t i = 200; i >= 1; --i)
        twoHundred.push_back(i);
    const std::vector<Row> rows = {
        {{}, 0, 0, 0},
        {{7}, 7, 7, 7},
        {{9, 3}, 3, 9, 9},  // the lower middle
        {std::vector<std::int64_t>(twoHundred.begin() + 100, twoHundred.end()), 50, 99, 100},
        {twoHundred, 100, 198, 200},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.samples.size());
        RoundTrips trips;
        for (const auto s : row.samples)
            trips.Add(s);
        const RoundTrips::Summary summary = trips.Summarize();
        EXPECT_EQ(summary.median, row.median);
        EXPECT_EQ(summary.p99, row.p99);
        EXPECT_EQ(summary.max, row.max);
    }

    // A looping simulation keeps them for days: no storage that grows with the samples.
    static_assert(std::is_trivially_copyable_v<RoundTrips>);
    // Larger times are counted in buckets: within 0.4 % of the exact rank, the maximum exact.
    std::mt19937_64 random(5);
    std::vector<std::int64_t> samples(100001);
    RoundTrips trips;
    for (auto& s : samples) {
        s = 200 + static_cast<std::int64_t>(random() % 4'000'000);
        trips.Add(s);
    }
    std::sort(samples.begin(), samples.end());
    const RoundTrips::Summary summary = trips.Summarize();
    EXPECT_NEAR(summary.median, samples[50000], samples[50000] * 0.004);
    EXPECT_NEAR(summary.p99, samples[99000], samples[99000] * 0.004);
    EXPECT_EQ(summary.max, samples.back());
}

TEST(Log, EveryEntryStaysOneLine) {
    const std::string longText(Log::kMaxChars + 20, 'x');
    struct Row {
        std::string text;
        std::string want;
    };
    const std::vector<Row> rows = {
        {"a\r\nb\tc\x1b"
         "d",
         "client: a  b c d\n"},
        {"Jürgen Müller", "client: Jürgen Müller\n"},
        {longText, "client: " + std::string(Log::kMaxChars, 'x') + " … (520 Zeichen)\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text.substr(0, 20));
        testing::internal::CaptureStdout();
        Log().Line("client: ", row.text);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), row.want);
    }
}

}  // namespace
}  // namespace zelmo::tool
