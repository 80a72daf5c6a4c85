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
        {"start", "START", true},
        {"Start ", "Start", false},
        {"", "", true},
        {"ärger été þ", "ÄRGER ÉTÉ Þ", true},
        {"ÿšœž", "ŸŠŒŽ", true},
        {"÷", "×", false},  // no letters, though they lie 0x20 apart like a letter pair
        {"straße", "STRAßE", true},
        {"straße", "STRASSE", false},
        {"µ", "Μ", false},         // the micro sign has no capital in the code page
        {"a\xFF", "A\xFF", true},  // invalid bytes pass unchanged
        {"\xC3", "\xC3", true},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.a + " | " + f.b);
        EXPECT_EQ(GleichOhneGrossKlein(f.a, f.b), f.gleich);
    }
    EXPECT_EQ(Grossbuchstaben("mächtig"), "MÄCHTIG");
}

}  // namespace
}  // namespace zelmo
