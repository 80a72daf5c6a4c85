#include "start/ExtraSettings.h"

#include <algorithm>
#include <charconv>
#include <exception>

#include "component/CodePage.h"
#include "component/FileReplace.h"
#include "component/Path.h"

namespace zelmo::start {

namespace {

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Names and values stay on their line: a line break would make a line of its own.
std::string OneLine(std::string_view text) {
    std::string line(text);
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return line;
}

}  // namespace

std::optional<std::string> ExtraSettings::Value(std::string_view name) const {
    for (const auto& [n, v] : entries_) {
        if (n == name)
            return v;
    }
    return std::nullopt;
}

void ExtraSettings::Set(std::string_view name, std::string value) {
    for (auto& [n, v] : entries_) {
        if (n == name) {
            v = std::move(value);
            return;
        }
    }
    entries_.emplace_back(std::string(name), std::move(value));
}

int ExtraSettings::StaleSeconds() const {
    const auto text = Value(kStaleSecondsKey);
    int seconds = 0;
    if (!text)
        return kDefaultStaleSeconds;
    const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), seconds);
    if (ec != std::errc() || end != text->data() + text->size() || seconds < kMinStaleSeconds ||
        seconds > kMaxStaleSeconds)
        return kDefaultStaleSeconds;
    return seconds;
}

ExtraSettings ParseExtraSettings(std::string_view bytes) {
    const std::string text = codepage::Decode(bytes);
    ExtraSettings settings;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view line = std::string_view(text).substr(pos, end - pos);
        pos = end + 1;
        const std::size_t gleich = line.find('=');
        if (gleich == std::string_view::npos || Trim(line.substr(0, gleich)).empty())
            continue;
        settings.Set(Trim(line.substr(0, gleich)), std::string(Trim(line.substr(gleich + 1))));
    }
    return settings;
}

std::string FormatExtraSettings(const ExtraSettings& settings) {
    std::string text;
    for (const auto& [name, value] : settings.Entries())
        text += OneLine(name) + "=" + OneLine(value) + "\r\n";
    return codepage::Encode(text);
}

ExtraSettings ReadExtraSettings(std::string_view settingsFolder) {
    try {
        return ParseExtraSettings(ReadFile(JoinPath(settingsFolder, kExtraSettingsFileName)));
    } catch (const std::exception&) {
        return ExtraSettings{};
    }
}

bool WriteExtraSettings(std::string_view settingsFolder, const ExtraSettings& settings) {
    try {
        ReplaceFile(JoinPath(settingsFolder, kExtraSettingsFileName), FormatExtraSettings(settings),
                    Durability::Synced);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace zelmo::start
