#include "start/Settings.h"

#include <array>
#include <charconv>
#include <cmath>
#include <exception>
#include <vector>

#include "component/CodePage.h"
#include "component/Error.h"
#include "component/FileReplace.h"
#include "component/Path.h"

namespace zelmo::start {

namespace {

constexpr std::size_t kLineCount = 6;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool HasSurroundingQuotes(std::string_view value) {
    return value.size() >= 2 && value.front() == '"' && value.back() == '"';
}

// The first lines of `text`, at most `count`. A last line without a line end still counts.
std::vector<std::string_view> SplitLines(std::string_view text, std::size_t count) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size() && lines.size() < count) {
        const std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(pos));
            break;
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
        if (text[end] == '\r' && pos < text.size() && text[pos] == '\n')
            ++pos;
    }
    return lines;
}

std::string Unquote(std::string_view value) {
    if (HasSurroundingQuotes(value))
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

void TakeText(std::string& member, std::string value) {
    if (!value.empty())
        member = std::move(value);
}

void AppendValue(std::string& out, std::string_view value) {
    const bool quote = HasSurroundingQuotes(value);
    if (quote)
        out.push_back('"');
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\r' || c == '\n') {
            out.push_back(' ');
            if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n')
                ++i;
        } else {
            out.push_back(c);
        }
    }
    if (quote)
        out.push_back('"');
    out.append("\r\n");
}

std::string NumberText(std::optional<double> value) {
    if (!value || !std::isfinite(*value))
        return "0";
    std::array<char, 32> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), *value);
    if (ec != std::errc())
        return "0";
    return std::string(buffer.data(), end);
}

}  // namespace

std::string SettingsPath(std::string_view settingsFolder) {
    return JoinPath(settingsFolder, kSettingsFileName);
}

Settings ParseSettings(std::string_view bytes) {
    const std::string text = codepage::Decode(bytes);
    const auto lines = SplitLines(text, kLineCount);
    auto line = [&](std::size_t i) { return i < lines.size() ? Unquote(lines[i]) : std::string(); };

    Settings settings;
    TakeText(settings.address, line(0));
    TakeText(settings.port, line(1));
    TakeText(settings.autoConnect, line(2));
    TakeText(settings.liveTextFolder, line(3));
    settings.left = PositionValue(line(4));
    settings.top = PositionValue(line(5));
    return settings;
}

Settings ReadSettings(std::string_view settingsFolder) {
    try {
        return ParseSettings(ReadFile(SettingsPath(settingsFolder)));
    } catch (const std::exception&) {
        return Settings{};
    }
}

std::string FormatSettings(const Settings& settings) {
    std::string text;
    AppendValue(text, settings.address);
    AppendValue(text, settings.port);
    AppendValue(text, settings.autoConnect);
    AppendValue(text, settings.liveTextFolder);
    AppendValue(text, NumberText(settings.left));
    AppendValue(text, NumberText(settings.top));
    return codepage::Encode(text);
}

bool WriteSettings(std::string_view settingsFolder, const Settings& settings) {
    try {
        ReplaceFile(SettingsPath(settingsFolder), FormatSettings(settings), Durability::Synced);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::optional<double> LeadingNumber(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);

    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }

    // Find the extent of digits [. digits] [e [sign] digits] ourselves: from_chars would also
    // take "inf", "nan" and hexadecimal forms, which are no numbers in this file.
    std::size_t end = 0;
    std::size_t digits = 0;
    while (end < text.size() && IsDigit(text[end]))
        ++end, ++digits;
    if (end < text.size() && text[end] == '.') {
        ++end;
        while (end < text.size() && IsDigit(text[end]))
            ++end, ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exp = end + 1;
        if (exp < text.size() && (text[exp] == '+' || text[exp] == '-'))
            ++exp;
        if (exp < text.size() && IsDigit(text[exp])) {
            while (exp < text.size() && IsDigit(text[exp]))
                ++exp;
            end = exp;
        }
    }

    double value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + end, value);
    if (ec != std::errc() || ptr != text.data() + end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<double> PositionValue(std::string_view text) {
    const auto value = LeadingNumber(text);
    if (value && *value > 0)
        return value;
    return std::nullopt;
}

bool IsAutoConnectSet(std::string_view value) {
    value = TrimBlanks(value);
    if (!value.empty() && (value.front() == '+' || value.front() == '-')) {
        if (value.front() == '-')
            return false;  // -1 and -0 are not 1
        value.remove_prefix(1);
    }
    if (value.empty())
        return false;
    for (char c : value) {
        if (!IsDigit(c))
            return false;
    }
    while (value.size() > 1 && value.front() == '0')
        value.remove_prefix(1);
    return value == "1";
}

}  // namespace zelmo::start
