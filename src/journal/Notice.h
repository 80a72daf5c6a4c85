#pragma once

#include <string>

namespace zelmo::journal {

// What a journal has to tell its caller about itself: a "warnung" when it stops writing, a
// "status" when it writes again. The caller shows it like any other line of that kind.
struct Notice {
    std::string kind;
    std::string text;

    bool operator==(const Notice&) const = default;
};

}  // namespace zelmo::journal
