#include "journal/FlightRecorder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "component/Path.h"
#include "journal/Show.h"

namespace zelmo::journal {

namespace {

constexpr std::string_view kExtension = ".jsonl";

// The "local_time" of a recorded file's first line, which this recorder writes right after
// at_ms; nothing when the line is of another form.
std::optional<std::int64_t> FirstTelegramTime(const std::string& path) {
    std::ifstream in(std::filesystem::path(std::u8string(path.begin(), path.end())),
                     std::ios::binary);
    char head[96] = {};
    in.read(head, sizeof head);
    const std::string_view text(head, static_cast<std::size_t>(in.gcount()));
    constexpr std::string_view kMember = "\"local_time\": \"";
    const auto at = text.find(kMember);
    if (at == std::string_view::npos)
        return std::nullopt;
    const auto moment = ZeitstempelLesen(text.substr(at + kMember.size(), 29));
    if (!moment)
        return std::nullopt;
    return moment->utcMs;
}

std::string Groesse(std::uint64_t bytes) {
    constexpr std::uint64_t kMb = 1024 * 1024;
    return bytes >= kMb ? std::to_string(bytes / kMb) + " MB" : std::to_string(bytes) + " Bytes";
}

}  // namespace

std::string FlightRecorder::Path() const {
    return JoinPath(folder_, Tagesdateiname(*day_, kExtension));
}

std::optional<Notice> FlightRecorder::OpenDay(LocalMoment at) {
    file_.Close();
    if (day_ != at.Day()) {
        day_ = at.Day();
        full_ = false;
        firstUtcMs_.reset();
        lastAtMs_ = 0;
    }
    if (const auto reason = CreateFolder(folder_))
        return outage_.Failed(at.utcMs, Subject(), *reason);
    if (const auto reason = file_.Open(Path()))
        return outage_.Failed(at.utcMs, Subject(), *reason);
    // Today's file may hold the telegrams of an earlier run: at_ms goes on from its first.
    todayBytes_ = file_.Size();
    if (todayBytes_ > 0 && !firstUtcMs_)
        firstUtcMs_ = FirstTelegramTime(Path());
    older_.clear();
    olderBytes_ = 0;
    for (DayFile& file : DayFiles(folder_, kExtension)) {
        if (file.day < *day_) {
            olderBytes_ += file.size;
            older_.push_back(std::move(file));
        }
    }
    total_ = olderBytes_ + todayBytes_;
    return std::nullopt;
}

std::optional<Notice> FlightRecorder::Telegram(std::string_view payloadUtf8, bool json) {
    const LocalMoment at = clock_.Now();
    if (!outage_.MayTry(at.utcMs))
        return std::nullopt;
    if (!file_.IsOpen() || day_ != at.Day() || file_.Removed()) {
        if (auto notice = OpenDay(at))
            return notice;
    }
    if (full_)
        return std::nullopt;

    // A clock set back never makes the show run backwards.
    if (!firstUtcMs_)
        firstUtcMs_ = at.utcMs;
    const std::int64_t atMs = std::max(lastAtMs_, at.utcMs - *firstUtcMs_);
    line_.clear();
    AppendShowLine(line_, atMs, ZeitstempelMitZone(at), payloadUtf8, json);
    line_ += '\n';

    // Only today's own bytes count against it here: older days make room in Tidy.
    if (todayBytes_ + line_.size() > limit_) {
        full_ = true;
        return Notice{"warnung", "Mitschnitt " + Path() + " hat die Grenze von " + Groesse(limit_) +
                                     " erreicht; bis Mitternacht wird nichts mehr aufgezeichnet"};
    }
    std::size_t written = 0;
    const auto reason = file_.Append(line_, written);
    todayBytes_ += written;
    total_ += written;
    written_ += written;
    if (reason)
        return outage_.Failed(at.utcMs, Subject(), *reason);
    lastAtMs_ = atMs;
    return outage_.Succeeded(Subject());
}

std::optional<Notice> FlightRecorder::Tidy() {
    std::optional<Notice> notice;
    while (total_ > limit_ && !older_.empty()) {
        const DayFile oldest = older_.front();
        older_.erase(older_.begin());
        olderBytes_ -= oldest.size;
        if (RemoveDayFile(folder_, oldest.name)) {
            total_ -= oldest.size;
        } else if (!notice) {
            notice = Notice{"warnung", "Mitschnitt " + JoinPath(folder_, oldest.name) +
                                           " kann nicht entfernt werden"};
        }
    }
    return notice;
}

}  // namespace zelmo::journal
