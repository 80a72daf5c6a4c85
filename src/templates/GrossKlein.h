#pragma once

#include <string>
#include <string_view>

namespace zelmo {

// UTF-8 text in upper case as the program compares event names: ASCII letters and every
// lower-case letter of Windows-1252 (à..þ without ÷, ÿ, š, œ, ž) get their capital; ß and µ,
// which have no single capital there, stay, as does everything else. Bytes that are not
// valid UTF-8 pass unchanged.
std::string Grossbuchstaben(std::string_view utf8);

// Whole-text equality ignoring case by the rule of Grossbuchstaben.
bool GleichOhneGrossKlein(std::string_view a, std::string_view b);

}  // namespace zelmo
