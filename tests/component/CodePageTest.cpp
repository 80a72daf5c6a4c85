#include "component/CodePage.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace zelmo::codepage {
namespace {

TEST(CodePage, Windows1252BothWaysEveryByteAsOneCharacter) {
#ifdef _WIN32
    // There the codec is the system's ANSI code page: a German Windows' (and Wine's) is 1252.
    ASSERT_EQ(GetACP(), 1252u);
#endif
    EXPECT_EQ(Decode("\xC4\xFC\xDF\x80\x84Zitat\x93\x96\x9F"), "Äüß€„Zitat“–Ÿ");
    EXPECT_EQ(Encode("Äüß€„Zitat“–Ÿ"), "\xC4\xFC\xDF\x80\x84Zitat\x93\x96\x9F");
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(CharCount(Decode(all)), 256u);
    EXPECT_EQ(Encode(Decode(all)), all);  // the five unassigned bytes too
    EXPECT_EQ(LeftChars("ÄbÖ€x", 4), "ÄbÖ€");
    EXPECT_EQ(LeftChars("ÄbÖ€x", 100), "ÄbÖ€x");
}

TEST(CodePage, OnePassDecodeStaysInItsRoom) {
    std::string bytes;
    for (int k = 0; k < 40; ++k)
        bytes += "Z\xFCrich \x80 " + std::string(k, 'a');
    const std::string text = Decode(bytes);
    for (const std::size_t room : {std::size_t{0}, text.size() - 1, text.size() + 32}) {
        SCOPED_TRACE(room);
        std::string buffer(room + kDecodeSlack + 16, 'x');
        const auto size = DecodeInto(bytes, buffer.data(), room);
        EXPECT_EQ(buffer.substr(room + kDecodeSlack), std::string(16, 'x'));
        if (room < text.size()) {
            EXPECT_FALSE(size);
        } else {
            ASSERT_TRUE(size);
            EXPECT_EQ(buffer.substr(0, *size), text);
        }
    }
}

TEST(CodePage, UnmappableAndInvalidTextBecomesQuestionMarks) {
    const std::pair<std::string, std::string> rows[] = {
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

}  // namespace
}  // namespace zelmo::codepage
