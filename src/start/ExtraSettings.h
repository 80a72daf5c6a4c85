#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Settings added after the six-line settings file, which keeps its form for the files that
// exist: LiveTextZusatzwerte.TXT beside it in the settings folder, one "Name=Wert" line each
// (CR LF, code page). Lines this version does not know are kept as they were, so a setting
// added later, or one written by a newer version, survives a save.
namespace zelmo::start {

inline constexpr std::string_view kExtraSettingsFileName = "LiveTextZusatzwerte.TXT";

// Seconds without a telegram after which the main window shows the link as stale.
inline constexpr std::string_view kStaleSecondsKey = "WarnungOhneTelegrammNachSekunden";
inline constexpr int kDefaultStaleSeconds = 120;
inline constexpr int kMinStaleSeconds = 5;
inline constexpr int kMaxStaleSeconds = 86400;

// "1" when the main window reconnects by itself after a lost connection or a failed attempt.
inline constexpr std::string_view kAutoReconnectKey = "AutomatischWiederverbinden";

class ExtraSettings {
  public:
    std::optional<std::string> Value(std::string_view name) const;
    // Replaces the value in its place, or appends a new line.
    void Set(std::string_view name, std::string value);
    const std::vector<std::pair<std::string, std::string>>& Entries() const { return entries_; }

    // The stale threshold: a whole number of seconds within the limits, else the default.
    int StaleSeconds() const;
    void SetStaleSeconds(int seconds) { Set(kStaleSecondsKey, std::to_string(seconds)); }

    // Off unless the value is exactly "1": the program behaves as it always did unless chosen.
    bool AutoReconnect() const { return Value(kAutoReconnectKey) == "1"; }
    void SetAutoReconnect(bool on) { Set(kAutoReconnectKey, on ? "1" : "0"); }

  private:
    std::vector<std::pair<std::string, std::string>> entries_;
};

// Lines without "=" are dropped; blanks around names and values are removed.
ExtraSettings ParseExtraSettings(std::string_view bytes);
std::string FormatExtraSettings(const ExtraSettings& settings);

// A missing or unreadable file reads as empty (every setting at its default).
ExtraSettings ReadExtraSettings(std::string_view settingsFolder);
// Replaces the file atomically; false when it could not be written (the old file stays).
bool WriteExtraSettings(std::string_view settingsFolder, const ExtraSettings& settings);

}  // namespace zelmo::start
