#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Show files: JSON Lines, one telegram per line, either the bare telegram or wrapped as
// {"at_ms": N, "telegram": ...} for timed replay. A recorded payload that is not JSON is kept
// as a JSON string: {"at_ms": N, "raw": "..."}. Other members (the flight recorder's
// "local_time") are read past. Blank lines are ignored.
namespace zelmo {

struct ShowTelegram {
    std::size_t line = 0;              // line in the file, from 1
    std::optional<std::int64_t> atMs;  // time from the start of the show
    std::string payload;               // the telegram as sent, UTF-8
};

// Parses a show file's text (UTF-8). Throws Error "Zeile N: ..." at the first bad line.
std::vector<ShowTelegram> ParseShow(std::string_view text);

// Why `show` cannot be played, or nothing: a show must carry at least one telegram (a JSON
// object with "Ereignis" or one of the telegram's sections). A template or another JSON file
// given by mistake would otherwise be "played" to a receiver that only reports it as broken.
std::optional<std::string> ShowPruefen(const std::vector<ShowTelegram>& show);

// One line of a recorded show, without its line break: valid JSON goes in as "telegram"
// with its own text (line breaks, which valid JSON holds only as whitespace, become blanks);
// anything else goes in as a "raw" string.
std::string ShowLine(std::int64_t atMs, std::string_view payloadUtf8);

// The same line appended to `out`, for a payload whose decoding has told whether it is JSON;
// a `localTime` that is not empty goes in as the "local_time" member before the telegram.
void AppendShowLine(std::string& out, std::int64_t atMs, std::string_view localTime,
                    std::string_view payloadUtf8, bool json);

}  // namespace zelmo
