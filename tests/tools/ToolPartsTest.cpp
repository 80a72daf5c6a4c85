// The rules inside the tool that need no process: show files, addresses, statistics, the log.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "Endpoint.h"
#include "Log.h"
#include "RoundTrips.h"
#include "Show.h"
#include "component/Error.h"

namespace zelmo::tool {
namespace {

struct Expected {
    std::size_t line;
    std::optional<std::int64_t> atMs;
    std::string payload;
};

TEST(Show, LinesBecomeTelegramsWithTheirTextAsWritten) {
    struct Row {
        const char* name;
        std::string text;
        std::vector<Expected> want;
    };
    const std::vector<Row> rows = {
        {"bare telegram keeps member order and number spelling",
         "{\"Ereignis\": {\"Status\": \"Start\"}, \"Zeit\": 65.30}\n",
         {{1, std::nullopt, "{\"Ereignis\": {\"Status\": \"Start\"}, \"Zeit\": 65.30}"}}},
        {"wrapped telegram: its own text, blanks around it dropped",
         "{\"at_ms\": 250, \"telegram\":   {\"b\": 1, \"a\": [1, 2.50]}  }",
         {{1, 250, "{\"b\": 1, \"a\": [1, 2.50]}"}}},
        {"member order of the wrapper does not matter",
         "{\"telegram\": {\"x\": \"ü\"}, \"at_ms\": 0}",
         {{1, 0, "{\"x\": \"ü\"}"}}},
        {"raw payload is the string's text",
         "{\"at_ms\": 7, \"raw\": \"kein \\\"JSON\\\"\\n\"}",
         {{1, 7, "kein \"JSON\"\n"}}},
        {"blank lines and CR LF line ends",
         "\r\n{\"a\": 1}\r\n   \r\n{\"at_ms\": 3, \"telegram\": {\"b\": 2}}\r\n",
         {{2, std::nullopt, "{\"a\": 1}"}, {4, 3, "{\"b\": 2}"}}},
        {"a scalar telegram is sent as its JSON text",
         "{\"at_ms\": 1, \"telegram\": \"Hallo\"}",
         {{1, 1, "\"Hallo\""}}},
        {"empty file", "", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<ShowTelegram> show = ParseShow(row.text);
        ASSERT_EQ(show.size(), row.want.size());
        for (std::size_t i = 0; i < show.size(); ++i) {
            EXPECT_EQ(show[i].line, row.want[i].line);
            EXPECT_EQ(show[i].atMs, row.want[i].atMs);
            EXPECT_EQ(show[i].payload, row.want[i].payload);
        }
    }
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

TEST(Show, RecordedLinesReplayAsTheSamePayload) {
    struct Row {
        const char* name;
        std::string payload;
        std::string line;
        std::string replayed;  // what a replay sends
    };
    const std::vector<Row> rows = {
        {"JSON goes in as itself", "{\"b\": 1, \"a\": 2.50}",
         "{\"at_ms\": 42, \"telegram\": {\"b\": 1, \"a\": 2.50}}", "{\"b\": 1, \"a\": 2.50}"},
        {"line breaks between tokens become blanks", "{\r\n \"a\": \"x\"\n}",
         "{\"at_ms\": 42, \"telegram\": {   \"a\": \"x\" }}", "{   \"a\": \"x\" }"},
        {"anything else as a string", "Hallo \"Welt\"\r\n\x01",
         "{\"at_ms\": 42, \"raw\": \"Hallo \\\"Welt\\\"\\r\\n\\u0001\"}", "Hallo \"Welt\"\r\n\x01"},
        {"an empty payload", "", "{\"at_ms\": 42, \"raw\": \"\"}", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string line = ShowLine(42, row.payload);
        EXPECT_EQ(line, row.line);
        const std::vector<ShowTelegram> show = ParseShow(line);
        ASSERT_EQ(show.size(), 1u);
        EXPECT_EQ(show[0].atMs, 42);
        EXPECT_EQ(show[0].payload, row.replayed);
    }
}

TEST(Endpoint, HostAndPort) {
    struct Row {
        std::string text;
        bool allowZero;
        std::optional<std::string> host;  // nothing: rejected
        std::uint16_t port;
        std::string shown;
    };
    const std::vector<Row> rows = {
        {"192.168.0.10:3020", false, "192.168.0.10", 3020, "192.168.0.10:3020"},
        {"scoring.local:1", false, "scoring.local", 1, "scoring.local:1"},
        {"[::1]:65535", false, "::1", 65535, "[::1]:65535"},
        {"127.0.0.1:0", true, "127.0.0.1", 0, "127.0.0.1:0"},
        {"127.0.0.1:0", false, std::nullopt, 0, ""},
        {"127.0.0.1:65536", false, std::nullopt, 0, ""},
        {"127.0.0.1:+80", false, std::nullopt, 0, ""},
        {"127.0.0.1: 80", false, std::nullopt, 0, ""},
        {"127.0.0.1", false, std::nullopt, 0, ""},
        {":3020", false, std::nullopt, 0, ""},
        {"::1:3020", false, std::nullopt, 0, ""},
        {"host name:3020", false, std::nullopt, 0, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const auto endpoint = ParseEndpoint(row.text, row.allowZero);
        ASSERT_EQ(endpoint.has_value(), row.host.has_value());
        if (!endpoint)
            continue;
        EXPECT_EQ(endpoint->host, *row.host);
        EXPECT_EQ(endpoint->port, row.port);
        EXPECT_EQ(endpoint->Text(), row.shown);
    }
}

TEST(RoundTrips, NearestRankPercentiles) {
    struct Row {
        const char* name;
        std::vector<std::int64_t> samples;
        std::int64_t median, p99, max;
    };
    std::vector<std::int64_t> hundred;
    for (std::int64_t i = 100; i >= 1; --i)
        hundred.push_back(i);
    std::vector<std::int64_t> twoHundred = hundred;
    for (std::int64_t i = 101; i <= 200; ++i)
        twoHundred.push_back(i);
    const std::vector<Row> rows = {
        {"none", {}, 0, 0, 0},
        {"one", {7}, 7, 7, 7},
        {"two: the lower middle", {9, 3}, 3, 9, 9},
        {"hundred", hundred, 50, 99, 100},
        {"two hundred", twoHundred, 100, 198, 200},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RoundTrips trips;
        for (const auto s : row.samples)
            trips.Add(s);
        const RoundTrips::Summary summary = trips.Summarize();
        EXPECT_EQ(summary.median, row.median);
        EXPECT_EQ(summary.p99, row.p99);
        EXPECT_EQ(summary.max, row.max);
    }
}

TEST(Log, EveryEntryStaysOneLine) {
    const std::string longText(Log::kMaxChars + 20, 'x');
    struct Row {
        const char* name;
        std::string text;
        std::string want;
    };
    const std::vector<Row> rows = {
        {"plain", "TCPClient TCPConnect - Socket: 7", "client: TCPClient TCPConnect - Socket: 7\n"},
        {"control characters",
         "a\r\nb\tc\x1b"
         "d",
         "client: a  b c d\n"},
        {"umlauts stay", "Jürgen Müller", "client: Jürgen Müller\n"},
        {"too long", longText,
         "client: " + std::string(Log::kMaxChars, 'x') + " … (520 Zeichen)\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        testing::internal::CaptureStdout();
        {
            Log log;
            log.Line("client: ", row.text);
        }
        EXPECT_EQ(testing::internal::GetCapturedStdout(), row.want);
    }
}

}  // namespace
}  // namespace zelmo::tool
