#include "journal/DailyLog.h"

#include "component/CodePage.h"
#include "component/Path.h"

namespace zelmo::journal {

std::string LogLine(LocalMoment at, std::string_view kind, std::string_view text) {
    std::string line = Zeitstempel(at);
    line += ' ';
    line += kind;
    line += ": ";
    AppendLogText(line, text);
    return line;
}

void AppendLogText(std::string& out, std::string_view text) {
    const std::string_view shown = codepage::LeftChars(text, kMaxLogChars);
    for (const char c : shown)
        out += (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? ' ' : c;
    if (shown.size() < text.size())
        out += " … (" + std::to_string(codepage::CharCount(text)) + " Zeichen)";
}

std::string DailyLog::Subject() const {
    return "Protokolldatei " + JoinPath(folder_, Tagesdateiname(*day_, ".log"));
}

std::optional<Notice> DailyLog::Write(LocalMoment at, std::string_view line) {
    if (!outage_.MayTry(at.utcMs))
        return std::nullopt;
    // A file removed under us (its folder deleted) would swallow every line without a word.
    if (!file_.IsOpen() || day_ != at.Day() || file_.Removed()) {
        file_.Close();
        if (day_ != at.Day()) {
            day_ = at.Day();
            RemoveOldFiles(*day_);
        }
        if (!opened_) {
            if (const auto reason = CreateFolder(folder_))
                return outage_.Failed(at.utcMs, Subject(), *reason);
        }
        if (const auto reason = file_.Open(JoinPath(folder_, Tagesdateiname(*day_, ".log"))))
            return outage_.Failed(at.utcMs, Subject(), *reason);
        opened_ = true;
    }
    buffer_.assign(line);
    buffer_ += '\n';
    std::size_t written = 0;
    if (const auto reason = file_.Append(buffer_, written))
        return outage_.Failed(at.utcMs, Subject(), *reason);
    return outage_.Succeeded(Subject());
}

void DailyLog::RemoveOldFiles(std::int64_t today) {
    for (const DayFile& file : DayFiles(folder_, ".log")) {
        if (file.day < today - keepDays_)
            RemoveDayFile(folder_, file.name);
    }
}

}  // namespace zelmo::journal
