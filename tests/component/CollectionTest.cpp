#include "component/Collection.h"

#include <gtest/gtest.h>

#include "component/CodePage.h"
#include "component/Error.h"

namespace zelmo {
namespace {

TEST(Collection, ObjectsKeepMemberOrderArraysCountFromZero) {
    const Collection c = JSONDecodieren(R"({"z": 1, "a": 2, "m": {"y": 3, "b": [5, 6]}})");
    ASSERT_EQ(c.Count(), 3u);
    EXPECT_EQ(c.KeyByIndex(0), "z");
    EXPECT_EQ(c.KeyByIndex(1), "a");
    EXPECT_EQ(c.KeyByIndex(2), "m");
    EXPECT_EQ(c.ItemByIndex(1).Text(), "2");
    EXPECT_EQ(c.Item("m").KeyByIndex(0), "y");
    const Collection list = c.Item("m").Item(1);
    EXPECT_TRUE(list.IsArray());
    EXPECT_EQ(list.Item(std::size_t{1}).Text(), "6");
    EXPECT_EQ(list.KeyByIndex(0), "");
    EXPECT_FALSE(list.Exists("0"));
}

TEST(Collection, ScalarsReadAsText) {
    struct Row {
        const char* json;
        const char* text;
    };
    const Row rows[] = {
        {R"("a\"b\\c\n\u00e4")", "a\"b\\c\nä"},
        {"65.30", "65.30"},
        {"-0", "-0"},
        {"1.5E+3", "1.5E+3"},
        {"12345678901234567890123", "12345678901234567890123"},
        {"true", "Wahr"},
        {"false", "Falsch"},
        {"null", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.json);
        // As a member, as an array element and as the root.
        const std::string member = std::string(R"({"k": )") + row.json + " }";
        EXPECT_EQ(JSONDecodieren(member).Item("k").Text(), row.text);
        const std::string element = std::string("[") + row.json + "]";
        EXPECT_EQ(JSONDecodieren(element).Item(std::size_t{0}).Text(), row.text);
        EXPECT_EQ(JSONDecodieren(row.json).Text(), row.text);
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

TEST(Collection, AbsentKeysThrowOrReadAsNothing) {
    const Collection c = JSONDecodieren(R"({"Startliste": "x", "l": [1], "o": {}})");
    EXPECT_FALSE(c.Exists("startliste"));  // keys compare exactly
    EXPECT_FALSE(c.Exists("Startliste "));
    EXPECT_THROW(c.Item("startliste"), Error);
    EXPECT_THROW(c.Item(std::size_t{3}), Error);
    EXPECT_THROW(c.Item("l").Item(std::size_t{1}), Error);
    EXPECT_THROW(c.Item("l").Item("0"), Error);
    EXPECT_THROW(c.Item("Startliste").Count(), Error);
    EXPECT_THROW(c.Item("Startliste").Item("x"), Error);
    EXPECT_THROW(c.Text(), Error);
    EXPECT_THROW(Collection().Text(), Error);
    EXPECT_THROW(Collection().Count(), Error);
    EXPECT_FALSE(Collection().Exists("a"));

    EXPECT_TRUE(c.Find("b").IsNothing());
    EXPECT_TRUE(c.At(5).IsNothing());
    EXPECT_TRUE(Collection().Find("a").Find("b").IsNothing());
    EXPECT_EQ(c.Find("b").TextOrEmpty(), "");
    EXPECT_EQ(c.Find("o").TextOrEmpty(), "");
    EXPECT_EQ(c.Find("Startliste").TextOrEmpty(), "x");
}

TEST(Collection, SubtreesOutliveTheirDocumentHandle) {
    Collection section;
    {
        const Collection telegram = JSONDecodieren(R"({"Startliste": {"Records": [{"N": "A"}]}})");
        section = telegram.Item("Startliste");
    }
    EXPECT_EQ(section.Item("Records").Item(std::size_t{0}).Item("N").Text(), "A");
}

TEST(Collection, InvalidDocumentsAndTrailingContentFail) {
    const char* rows[] = {R"("open)",      R"({"a": 1)",
                          R"({"a" 1})",    R"({"a": 1,})",
                          R"({"a": 01})",  R"({"a": 1.})",
                          R"({"a": -})",   R"({"a": 1x})",
                          R"({"a": tru})", R"({"a": nul})",
                          R"({"a": 'x'})", R"({"a": "\x"})",
                          R"({"a": 1}})",  "",
                          "   ",           "{",
                          "[1 2]",         "1 2",
                          "[] x",          "{} {}",
                          "[nulll]",       "null x",
                          "false)",        "\rfalse)",
                          "truex",         "[truex]",
                          "12a",           "null]",
                          "null)",         "\"a\"x"};
    for (const char* json : rows) {
        SCOPED_TRACE(json);
        EXPECT_THROW(JSONDecodieren(json), Error);
    }
    // A string followed by a colon where a value ends (simdjson skips it as a key).
    for (const char* json : {R"({"a": "b": 1}})", R"(["a": 1]])"}) {
        SCOPED_TRACE(json);
        EXPECT_THROW(JSONDecodieren(json), Error);
    }
    // White space around any root is not trailing content.
    EXPECT_EQ(JSONDecodieren("  {\"a\": 1}\r\n  ").Item("a").Text(), "1");
    for (const char* json : {" null\r", "null ", "[ null ]", " true\n", " \"a\"\t", " 7 "}) {
        SCOPED_TRACE(json);
        EXPECT_NO_THROW(JSONDecodieren(json));
    }
}

TEST(Collection, NestingIsLimitedTo1024Levels) {
    auto nested = [](std::size_t depth) {
        return std::string(depth, '[') + std::string(depth, ']');
    };
    EXPECT_NO_THROW(JSONDecodieren(nested(1024)));
    EXPECT_THROW(JSONDecodieren(nested(1025)), Error);
    EXPECT_THROW(JSONDecodieren(nested(100000)), Error);
}

TEST(Collection, Cp1252BytesBecomeUtf8Text) {
    // A telegram as it comes off the wire: code-page bytes, decoded before parsing.
    const Collection c =
        JSONDecodieren(codepage::Decode("{\"Name\": \"J\xFCrgen\", \"Land\": \"\xD6sterreich\"}"));
    EXPECT_EQ(c.Item("Name").Text(), "Jürgen");
    EXPECT_EQ(c.Item("Land").Text(), "Österreich");
}

}  // namespace
}  // namespace zelmo
