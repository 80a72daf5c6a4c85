#include "start/Options.h"

#include "component/CodePage.h"
#include "component/Error.h"
#include "component/FileReplace.h"
#include "component/Path.h"

namespace zelmo::start {

Options Options::Parse(std::string_view bytes) {
    const std::string text = codepage::Decode(bytes);
    Options options;
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t end = rest.find_first_of("\r\n");
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        const std::size_t gleich = line.find('=');
        if (gleich == std::string_view::npos || gleich == 0)
            continue;
        options.Set(line.substr(0, gleich), line.substr(gleich + 1));
    }
    return options;
}

std::string Options::Format() const {
    std::string text;
    for (const auto& [key, value] : entries_) {
        text += key;
        text += '=';
        text += value;
        text += "\r\n";
    }
    return codepage::Encode(text);
}

std::optional<std::string> Options::Get(std::string_view key) const {
    for (const auto& [k, v] : entries_) {
        if (k == key)
            return v;
    }
    return std::nullopt;
}

void Options::Set(std::string_view key, std::string_view value) {
    // A line break would split the value into a line of its own.
    std::string clean(value);
    for (char& c : clean) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    for (auto& [k, v] : entries_) {
        if (k == key) {
            v = std::move(clean);
            return;
        }
    }
    entries_.emplace_back(std::string(key), std::move(clean));
}

std::string OptionsPath(std::string_view programFolder) {
    return JoinPath(programFolder, kOptionsFileName);
}

Options ReadOptions(std::string_view programFolder) {
    try {
        return Options::Parse(ReadFile(OptionsPath(programFolder)));
    } catch (const Error&) {
        return {};
    }
}

bool WriteOption(std::string_view programFolder, std::string_view key, std::string_view value) {
    Options options = ReadOptions(programFolder);
    if (options.Get(key) == value)
        return true;
    options.Set(key, value);
    try {
        ReplaceFile(OptionsPath(programFolder), options.Format(), Durability::Synced);
        return true;
    } catch (const Error&) {
        return false;
    }
}

}  // namespace zelmo::start
