#include "Metrics.h"

#include <cstdio>

namespace zelmo::tool {

namespace {

std::string LabelValue(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

}  // namespace

std::string MetricsText(const Kennzahlen& k, const std::string& sender, const std::string& output) {
    const std::string labels =
        "{sender=\"" + LabelValue(sender) + "\",output=\"" + LabelValue(output) + "\"} ";
    std::string text;
    const auto metric = [&](const char* name, const char* type, const char* help,
                            const std::string& value) {
        text += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " " + type +
                "\n" + name + labels + value + "\n";
    };
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", k.secondsSinceLastTelegram);
    metric("zelmo_connected", "gauge", "1, wenn die Verbindung zum Sender besteht, sonst 0.",
           k.connected ? "1" : "0");
    metric("zelmo_seconds_since_last_telegram", "gauge",
           "Sekunden seit dem letzten Telegramm (vor dem ersten: seit dem Start).", seconds);
    metric("zelmo_telegrams_total", "counter", "Empfangene Telegramme.",
           std::to_string(k.telegrams));
    metric("zelmo_acknowledgements_total", "counter", "Gesendete Quittungen.",
           std::to_string(k.acknowledgements));
    metric("zelmo_garbled_runs_total", "counter", "Fehlerhafte Rahmen.",
           std::to_string(k.garbledRuns));
    metric("zelmo_files_written_total", "counter", "Geschriebene Ausgabedateien.",
           std::to_string(k.filesWritten));
    metric("zelmo_warnings_total", "counter", "Warnungen.", std::to_string(k.warnings));
    metric("zelmo_recorder_bytes_total", "counter", "Vom Mitschnitt geschriebene Bytes.",
           std::to_string(k.recorderBytes));
    return text;
}

}  // namespace zelmo::tool
