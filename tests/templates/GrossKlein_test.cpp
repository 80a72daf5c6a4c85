#include "templates/GrossKlein.h"

#include <gtest/gtest.h>

namespace zelmo {
namespace {

TEST(GleichOhneGrossKlein, AsciiAndCodePageLetters) {
    struct Fall {
        std::string a;
        std::string b;
        bool gleich;
    };
    const Fall faelle[] = {
        {"start", "Start", true},
        {"STARTLISTE", "startliste", true},
        {"Start ", "Start", false},
        {"", "", true},
        {"\xC3\xA4rger", "\xC3\x84RGER", true},                          // ärger / ÄRGER
        {"\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89", true},                // été / ÉTÉ
        {"\xC3\xBE", "\xC3\x9E", true},                                  // þ / Þ
        {"\xC3\xBF", "\xC5\xB8", true},                                  // ÿ / Ÿ
        {"\xC5\xA1\xC5\x93\xC5\xBE", "\xC5\xA0\xC5\x92\xC5\xBD", true},  // šœž / ŠŒŽ
        {"\xC3\xB7", "\xC3\x97", false},                                 // ÷ is no letter: not ×
        {"stra\xC3\x9F"
         "e",
         "STRA\xC3\x9F"
         "E",
         true},  // ß stays ß
        {"stra\xC3\x9F"
         "e",
         "STRASSE", false},
        {"\xC2\xB5", "\xCE\x9C", false},  // µ has no capital here
        {"\xFF"
         "a",
         "\xFF"
         "A",
         true},  // invalid bytes pass unchanged
        {"\xC3", "\xC3", true},
        {"\xE2\x82\xAC", "\xE2\x82\xAC", true},  // €
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.a + " | " + f.b);
        EXPECT_EQ(GleichOhneGrossKlein(f.a, f.b), f.gleich);
    }
    EXPECT_EQ(Grossbuchstaben("m\xC3\xA4"
                              "chtig"),
              "M\xC3\x84"
              "CHTIG");
}

}  // namespace
}  // namespace zelmo
