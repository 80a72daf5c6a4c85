#include "component/Collection.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "component/Error.h"

namespace zelmo {
namespace {

TEST(Collection, OrderPositionsAndAbsentKeys) {
    Collection c;
    {
        // Subtrees outlive the handle of their document.
        const Collection doc = JSONDecodieren(R"({"z": {"y": 3, "b": [5, 6]}, "a": 2, "o": {}})");
        c = doc.Item("z");
        EXPECT_EQ(doc.KeyByIndex(1), "a");
        EXPECT_EQ(doc.ItemByIndex(1).Text(), "2");
        EXPECT_EQ(doc.Find("o").TextOrEmpty(), "");
        EXPECT_THROW(doc.Text(), Error);
    }
    ASSERT_EQ(c.Count(), 2u);
    EXPECT_EQ(c.KeyByIndex(0), "y");
    const Collection list = c.Item("b");
    EXPECT_TRUE(list.IsArray());
    EXPECT_EQ(list.Item(std::size_t{1}).Text(), "6");
    EXPECT_EQ(list.KeyByIndex(0), "");
    EXPECT_FALSE(list.Exists("0"));
    EXPECT_FALSE(c.Exists("Y"));  // keys compare exactly
    EXPECT_THROW(c.Item("Y"), Error);
    EXPECT_THROW(c.Item(std::size_t{2}), Error);
    EXPECT_THROW(c.Item("y").Count(), Error);
    EXPECT_THROW(Collection().Text(), Error);
    EXPECT_TRUE(c.At(5).IsNothing());
    EXPECT_TRUE(Collection().Find("a").Find("b").IsNothing());
    EXPECT_EQ(c.Find("y").TextOrEmpty(), "3");

    // A position kept from a record of another key order still finds the right member.
    const Collection records =
        JSONDecodieren(R"([{"a": 1, "b": 2}, {"b": 3, "a": 4}, {"c": 5, "b": [6]}])");
    std::size_t hint = 0;
    const auto found = [&](std::size_t record, std::string_view key) {
        const std::string text(records.Item(record).TextOrEmpty(key, hint));
        return text + "@" + std::to_string(hint);
    };
    EXPECT_EQ(found(0, "b"), "2@1");
    EXPECT_EQ(found(1, "b"), "3@0");
    EXPECT_EQ(found(2, "b"), "@1");  // a list has no text
    EXPECT_EQ(found(2, "x"), "@1");
    EXPECT_EQ(found(1, "a"), "4@1");
}

TEST(Collection, ScalarsReadAsText) {
    const std::pair<const char*, const char*> rows[] = {
        {R"("a\"b\\c\n\u00e4")", "a\"b\\c\nä"},
        {"65.30", "65.30"},
        {"-0", "-0"},
        {"1.5E+3", "1.5E+3"},
        {"true", "Wahr"},
        {"false", "Falsch"},
        {"null", ""},
    };
    for (const auto& [json, text] : rows) {
        SCOPED_TRACE(json);
        // As a member, as an array element and as the root.
        EXPECT_EQ(JSONDecodieren(std::string(R"({"k": )") + json + " }").Item("k").Text(), text);
        EXPECT_EQ(JSONDecodieren(std::string("[") + json + "]").Item(std::size_t{0}).Text(), text);
        EXPECT_EQ(JSONDecodieren(json).Text(), text);
    }
    // Keys are unescaped too; the plain ones in the same document are read where they lie.
    EXPECT_EQ(JSONDecodieren(R"({"a": 1, "a\u00e4\t": 2})").KeyByIndex(1), "aä\t");
}

TEST(Collection, LargeDocumentsGiveBackTheirBuffersAndDecodeAgain) {
    // Above 4 MB the decoder's buffers shrink after use; the next documents must not notice.
    std::string records = "[";
    for (int k = 0; k < 300000; ++k)
        records += "{\"n\": \"" + std::to_string(k) + "\"},";
    records.back() = ']';
    const std::string text(6 * 1024 * 1024, 'x');
    // A start list, an escaped and a plain string: each grows another buffer. The last value
    // as text: its last characters and its size.
    const std::pair<std::string, std::string> rows[] = {
        {records, "299999"},
        {"[\"" + text + "\\n\"]", "x\n 6291457"},
        {"[\"" + text + "\"]", "xx 6291456"},
    };
    const auto tail = [](const Collection& big) {
        const Collection last = big.Item(big.Count() - 1);
        if (last.IsCollection())
            return std::string(last.Item("n").Text());
        const std::string_view t = last.Text();
        return std::string(t.substr(t.size() - 2)) + " " + std::to_string(t.size());
    };
    for (const auto& [large, want] : rows) {
        SCOPED_TRACE(want);
        ASSERT_GT(large.size(), kJsonKeepBytes);
        for (int round = 0; round < 2; ++round) {
            EXPECT_EQ(tail(JSONDecodieren(large)), want);
            EXPECT_LT(JsonDecoderKeptBytes(), kJsonKeepBytes / 8);
            EXPECT_EQ(
                JSONDecodieren(R"({"a": [1, {"b": "c\td"}]})").Item("a").Item(1).Item("b").Text(),
                "c\td");
        }
    }
}

TEST(Collection, DuplicateKeyTakesLastValueAtFirstPosition) {
    const Collection c = JSONDecodieren(R"({"a": 1, "b": 2, "a": {"x": 3}})");
    ASSERT_EQ(c.Count(), 2u);
    EXPECT_EQ(c.KeyByIndex(0), "a");
    EXPECT_EQ(c.Item("a").Item("x").Text(), "3");
    // Large objects use an index for duplicates; the rule must not change.
    std::string big = "{";
    for (int k = 0; k < 100; ++k)
        big += "\"k" + std::to_string(k) + "\": " + std::to_string(k) + ",";
    const Collection b = JSONDecodieren(big + R"("k5": "neu"})");
    EXPECT_EQ(b.Count(), 100u);
    EXPECT_EQ(b.KeyByIndex(5), "k5");
    EXPECT_EQ(b.Item("k5").Text(), "neu");
}

TEST(Collection, InvalidDocumentsTrailingContentAndDeepNestingFail) {
    // Among them a string followed by a colon where a value ends (simdjson skips it as a key).
    const char* malformed[] = {
        R"("open)",
        R"({"a": 1)",
        R"({"a" 1})",
        R"({"a": 1,})",
        R"({"a": 01})",
        R"({"a": 1.})",
        R"({"a": -})",
        R"({"a": 1x})",
        R"({"a": tru})",
        R"({"a": nul})",
        R"({"a": 'x'})",
        R"({"a": "\x"})",
        R"(["a": 1]])",
        R"({"a": "b": 1}})",
        // Lone surrogates, and bytes that are no UTF-8 (a decoder built without its check
        // would let them through).
        R"({"a": "\ud800"})",
        R"({"a": "\udc00x"})",
        R"({"\ud800\u0041": 1})",
        "{\"a\": \"\xff\"}",
        "[\"\xc3(\"]",
        "{\"\xc0\xaf\": 1}",
        "\"\xed\xa0\x80\"",
    };
    // Roots that simdjson alone would take as the value before the junk.
    const char* emptyOrTrailing[] = {
        "",      "   ",     "{",       "[1 2]",  "1 2",    R"({"a": 1}})",
        "[] x",  "{} {}",   "[nulll]", "null x", "false)", "\rfalse)",
        "truex", "[truex]", "12a",     "null]",  "null)",  "\"a\"x",
    };
    const auto fails = [](const std::string& json) {
        SCOPED_TRACE(json.substr(0, 20));
        EXPECT_THROW(JSONDecodieren(json), Error);
    };
    std::ranges::for_each(malformed, fails);
    std::ranges::for_each(emptyOrTrailing, fails);
    const auto nested = [](std::size_t n) { return std::string(n, '[') + std::string(n, ']'); };
    fails(nested(1025));
    fails(nested(100000));
    // White space around any root is not trailing content; 1024 levels are allowed.
    for (const std::string json :
         {" null\r", "null ", "[ null ]", " true\n", " \"a\"\t", " 7 ", "  {\"a\": 1}\r\n  "}) {
        SCOPED_TRACE(json);
        EXPECT_NO_THROW(JSONDecodieren(json));
    }
    EXPECT_NO_THROW(JSONDecodieren(nested(1024)));
}

}  // namespace
}  // namespace zelmo
