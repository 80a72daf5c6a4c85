#include "component/CodePage.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace zelmo::codepage {
namespace {

using Row = std::pair<std::string, std::string>;

TEST(CodePage, EveryByteDecodesAndEncodesBackToItself) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(CharCount(Decode(all)), 256u);
    EXPECT_EQ(Encode(Decode(all)), all);
}

TEST(CodePage, Windows1252BothWays) {
#ifdef _WIN32
    // There the codec is the system's ANSI code page: a German Windows' (and Wine's) is 1252.
    ASSERT_EQ(GetACP(), 1252u);
#endif
    const Row rows[] = {
        {"\xC4\xFC\xDF\xD6", "ÄüßÖ"},
        {"\x80\x84Zitat\x93\x96\x97\x9F", "€„Zitat“–—Ÿ"},
        {"\xA0\x81", "\u00A0\u0081"},  // unassigned 0x81 passes as its C1 control
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& [bytes, utf8] : rows) {
        SCOPED_TRACE(utf8);
        EXPECT_EQ(Decode(bytes), utf8);
        EXPECT_EQ(Encode(utf8), bytes);
    }
}

TEST(CodePage, UnmappableAndInvalidTextBecomesQuestionMarks) {
    const Row rows[] = {
        {"Łódź", "?\xF3\x64?"},   // letters outside the code page
        {"日本", "??"},           // three-byte characters
        {"a😀b", "a?b"},           // four-byte character
        {"\xFF", "?"},            // invalid lead byte
        {"\xC3", "?"},            // truncated sequence at the end
        {"\xC3(", "?("},          // bad continuation: the next byte survives
        {"\xC0\xAF", "??"},       // overlong '/'
        {"\xED\xA0\x80", "???"},  // UTF-16 surrogate
        {"\u0080", "?"},          // C1 control the code page uses for €
    };
    for (const auto& [utf8, bytes] : rows) {
        SCOPED_TRACE(bytes);
        EXPECT_EQ(Encode(utf8), bytes);
    }
}

TEST(CodePage, CountsAndCutsWholeCharacters) {
    const std::string text = "ÄbÖ€x";
    EXPECT_EQ(CharCount(text), 5u);
    EXPECT_EQ(LeftChars(text, 4), "ÄbÖ€");
    EXPECT_EQ(LeftChars(text, 100), text);
}

}  // namespace
}  // namespace zelmo::codepage
