#include "journal/Show.h"

#include <simdjson.h>

#include "component/Collection.h"
#include "component/Error.h"
#include "component/JsonText.h"
#include "link/TelegramStore.h"

namespace zelmo {

namespace {

[[noreturn]] void Fail(std::size_t line, const std::string& message) {
    throw Error("Zeile " + std::to_string(line) + ": " + message);
}

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// The raw text of a value where it lies in the line, so that member order and number
// spellings reach the receiver exactly as written.
std::optional<std::string> RawText(simdjson::ondemand::value value) {
    std::string_view raw;
    simdjson::ondemand::json_type type;
    simdjson::error_code error = value.type().get(type);
    if (error)
        return std::nullopt;
    if (type == simdjson::ondemand::json_type::object) {
        simdjson::ondemand::object object;
        error = value.get_object().get(object);
        if (!error)
            error = object.raw_json().get(raw);
    } else if (type == simdjson::ondemand::json_type::array) {
        simdjson::ondemand::array array;
        error = value.get_array().get(array);
        if (!error)
            error = array.raw_json().get(raw);
    } else {
        raw = value.raw_json_token();
    }
    if (error)
        return std::nullopt;
    return std::string(Trim(raw));
}

ShowTelegram ParseLine(std::size_t lineNumber, std::string_view line) {
    // Validates the whole line; the reads below then cannot meet broken JSON.
    Collection root;
    try {
        root = JSONDecodieren(line);
    } catch (const Error& e) {
        Fail(lineNumber, std::string("kein gültiges JSON (") + e.what() + ")");
    }
    ShowTelegram telegram;
    telegram.line = lineNumber;
    if (!root.IsObject())
        Fail(lineNumber, "kein JSON-Objekt");
    if (!root.Exists("at_ms")) {
        telegram.payload = std::string(line);
        return telegram;
    }

    try {
        simdjson::ondemand::parser parser;
        const simdjson::padded_string padded(line);
        simdjson::ondemand::document doc = parser.iterate(padded);
        simdjson::ondemand::object object = doc.get_object();
        bool haveTelegram = false;
        for (auto field : object) {
            const std::string_view key = field.unescaped_key();
            simdjson::ondemand::value value = field.value();
            if (key == "at_ms") {
                std::int64_t at = 0;
                if (value.get_int64().get(at) || at < 0)
                    Fail(lineNumber, "at_ms ist keine ganze Zahl ab 0");
                telegram.atMs = at;
            } else if (key == "telegram") {
                auto raw = RawText(value);
                if (!raw)
                    Fail(lineNumber, "telegram ist kein gültiger Wert");
                telegram.payload = std::move(*raw);
                haveTelegram = true;
            } else if (key == "raw") {
                std::string_view text;
                if (value.get_string().get(text))
                    Fail(lineNumber, "raw ist kein Text");
                telegram.payload = std::string(text);
                haveTelegram = true;
            }
        }
        if (!haveTelegram)
            Fail(lineNumber, "weder \"telegram\" noch \"raw\" vorhanden");
    } catch (const simdjson::simdjson_error& e) {
        Fail(lineNumber, e.what());
    }
    return telegram;
}

}  // namespace

std::vector<ShowTelegram> ParseShow(std::string_view text) {
    std::vector<ShowTelegram> show;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty())
            show.push_back(ParseLine(lineNumber, line));
    }
    return show;
}

std::optional<std::string> ShowPruefen(const std::vector<ShowTelegram>& show) {
    if (show.empty())
        return "die Show enthält kein Telegramm";
    bool vorlage = false;
    for (const ShowTelegram& telegram : show) {
        Collection root;
        try {
            root = JSONDecodieren(telegram.payload);
        } catch (const Error&) {
            continue;  // a recorded garbled payload is played as it came
        }
        if (!root.IsObject())
            continue;
        if (root.Exists("Ereignis"))
            return std::nullopt;
        for (const std::string_view name : TelegramStore::kSectionNames) {
            if (root.Exists(name))
                return std::nullopt;
        }
        vorlage = vorlage || root.Exists("Vorlage");
    }
    return vorlage ? "das ist eine Vorlage, keine Show (Telegramme als JSON Lines erwartet)"
                   : "keine Zeile ist ein Telegramm (ein JSON-Objekt mit \"Ereignis\" oder "
                     "einem Abschnitt wie \"AktReiter\")";
}

std::string ShowLine(std::int64_t atMs, std::string_view payloadUtf8) {
    bool json = true;
    try {
        JSONDecodieren(payloadUtf8);
    } catch (const Error&) {
        json = false;
    }
    std::string line;
    AppendShowLine(line, atMs, {}, payloadUtf8, json);
    return line;
}

void AppendShowLine(std::string& out, std::int64_t atMs, std::string_view localTime,
                    std::string_view payloadUtf8, bool json) {
    out += "{\"at_ms\": ";
    out += std::to_string(atMs);
    if (!localTime.empty()) {
        out += ", \"local_time\": ";
        AppendJSONString(out, localTime);
    }
    if (!json) {
        out += ", \"raw\": ";
        AppendJSONString(out, payloadUtf8);
        out += '}';
        return;
    }
    out += ", \"telegram\": ";
    const std::string_view text = Trim(payloadUtf8);
    const std::size_t start = out.size();
    out += text;
    // Most telegrams hold no line break: looked for first, at memchr's speed.
    if (text.find('\n') != std::string_view::npos || text.find('\r') != std::string_view::npos) {
        for (std::size_t i = start; i < out.size(); ++i) {
            if (out[i] == '\r' || out[i] == '\n')
                out[i] = ' ';
        }
    }
    out += '}';
}

}  // namespace zelmo
