#include "templates/GrossKlein.h"

#include <gtest/gtest.h>

#include <tuple>

namespace zelmo {
namespace {

TEST(GleichOhneGrossKlein, AsciiAndCodePageLetters) {
    const std::tuple<std::string, std::string, bool> faelle[] = {
        {"start", "START", true},
        {"Start ", "Start", false},
        {"ärger été þ", "ÄRGER ÉTÉ Þ", true},
        {"ÿšœž", "ŸŠŒŽ", true},
        {"÷", "×", false},  // no letters, though they lie 0x20 apart like a letter pair
        {"straße", "STRAßE", true},
        {"straße", "STRASSE", false},
        {"µ", "Μ", false},         // the micro sign has no capital in the code page
        {"a\xFF", "A\xFF", true},  // invalid bytes pass unchanged
        {"\xC3", "\xC3", true},
    };
    for (const auto& [a, b, gleich] : faelle) {
        SCOPED_TRACE(a + " | " + b);
        EXPECT_EQ(GleichOhneGrossKlein(a, b), gleich);
    }
    EXPECT_EQ(Grossbuchstaben("mächtig"), "MÄCHTIG");
}

}  // namespace
}  // namespace zelmo
