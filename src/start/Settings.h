#pragma once

#include <optional>
#include <string>
#include <string_view>

// The main window's settings file LiveTextStartwerte.TXT in the settings folder: six lines
// (address, port, automatic connection, LiveText folder, left, top), each ended by CR LF,
// in the code page.
namespace zelmo::start {

inline constexpr std::string_view kSettingsFileName = "LiveTextStartwerte.TXT";

inline constexpr std::string_view kDefaultAddress = "Localhost";
inline constexpr std::string_view kDefaultPort = "3000";
inline constexpr std::string_view kDefaultAutoConnect = "0";
inline constexpr std::string_view kDefaultLiveTextFolder = "nicht bekannt";

struct Settings {
    std::string address{kDefaultAddress};
    std::string port{kDefaultPort};
    std::string autoConnect{kDefaultAutoConnect};  // "0" or "1" as written; see IsAutoConnectSet
    std::string liveTextFolder{kDefaultLiveTextFolder};
    // Window edges in twips. Read: set only for a stored value above 0, else the window keeps
    // its design position. Written: the number, or 0 when unset.
    std::optional<double> left;
    std::optional<double> top;

    bool operator==(const Settings&) const = default;
};

// JoinPath(settingsFolder, "LiveTextStartwerte.TXT").
std::string SettingsPath(std::string_view settingsFolder);

// Reads the settings file. A missing, unreadable or short file is no error: what cannot be
// read keeps its default.
Settings ReadSettings(std::string_view settingsFolder);

// The reader's core over the file's bytes. Lines end at CR LF, LF or a lone CR; one pair of
// double quotes around a value is removed; empty values 1 to 4 take their defaults.
Settings ParseSettings(std::string_view bytes);

// The file's bytes for `settings`: six lines, each ended by CR LF, encoded in the code page.
// A value that starts and ends with a double quote gets one more pair, so that the reader
// gives it back as it was; a line break inside a value becomes a blank, so that a value can
// never push the lines after it out of place.
std::string FormatSettings(const Settings& settings);

// Replaces the settings file (synced). False when it could not be written; the previous file
// is then intact. The program does not report this.
bool WriteSettings(std::string_view settingsFolder, const Settings& settings);

// The number a text starts with, "." as decimal separator, leading blanks skipped ("12.7abc"
// -> 12.7, "-3" -> -3, "1e3" -> 1000). Nothing when the text does not start with a finite
// number.
std::optional<double> LeadingNumber(std::string_view text);

// A stored window edge: its leading number when that is above 0, else nothing (not applied).
std::optional<double> PositionValue(std::string_view text);

// The automatic-connection value taken as a whole number: set only for the number 1 (blanks
// around it allowed). Text that is not a whole number counts as 0, so it leaves the check box
// clear.
bool IsAutoConnectSet(std::string_view value);

}  // namespace zelmo::start
