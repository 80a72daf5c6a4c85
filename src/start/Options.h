#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The program's own settings beyond the six lines of LiveTextStartwerte.TXT, which other tools
// read by position and which therefore never change shape: LiveTextOptionen.TXT beside it, one
// "key=value" line each (CR LF, code page). Each setting owns one key; a writer changes its
// key and keeps every other line as it was, so settings added later sit beside the earlier
// ones.
namespace zelmo::start {

inline constexpr std::string_view kOptionsFileName = "LiveTextOptionen.TXT";

// "1" when the main window reconnects by itself after a lost connection or failed attempt.
inline constexpr std::string_view kOptionAutoReconnect = "AutomatischWiederverbinden";

class Options {
  public:
    // Lines without "=" and blank lines are dropped; a key given twice keeps its last value.
    static Options Parse(std::string_view bytes);
    std::string Format() const;

    std::optional<std::string> Get(std::string_view key) const;
    // Replaces the key's value in place, or appends the key.
    void Set(std::string_view key, std::string_view value);

  private:
    std::vector<std::pair<std::string, std::string>> entries_;
};

// JoinPath(programFolder, "LiveTextOptionen.TXT").
std::string OptionsPath(std::string_view programFolder);

// A missing or unreadable file reads as no options.
Options ReadOptions(std::string_view programFolder);

// Sets one key in the file (read afresh, so that keys written by others stay) and replaces it
// atomically. False when it could not be written; the previous file is then intact.
bool WriteOption(std::string_view programFolder, std::string_view key, std::string_view value);

}  // namespace zelmo::start
