#include "net/LinkJournal.h"

#include "component/Path.h"
#include "net/LinkClient.h"

namespace zelmo::net {

LinkJournal::LinkJournal(LogBook& log, LinkClient& client, const std::string& folder,
                         QObject* parent)
    : QObject(parent),
      log_(log),
      client_(client),
      clock_(log),
      daily_(JoinPath(folder, "Protokolle")),
      recorder_(JoinPath(folder, "Mitschnitt"), clock_) {
    writeSoon_.setSingleShot(true);
    writeSoon_.setInterval(0);
    connect(&writeSoon_, &QTimer::timeout, this, &LinkJournal::Write);
    observer_ = log_.AddObserver([this](LogKind kind, std::string_view text,
                                        journal::LocalMoment at) { Keep(kind, text, at); });
    client_.setObserver(this);
}

LinkJournal::~LinkJournal() {
    client_.setObserver(nullptr);
    log_.RemoveObserver(observer_);
    Write();
}

void LinkJournal::Keep(LogKind kind, std::string_view text, journal::LocalMoment at) {
    // Only a copy here: the telegram is not acknowledged yet.
    kept_.starts.emplace_back(at, kept_.lines.size());
    kept_.lines += LogKindName(kind);
    kept_.lines += ": ";
    journal::AppendLogText(kept_.lines, text);
    kept_.lines += '\n';
    if (!writeSoon_.isActive())
        writeSoon_.start();
}

void LinkJournal::Write() {
    std::swap(kept_, writing_);
    const std::string& lines = writing_.lines;
    for (std::size_t i = 0; i < writing_.starts.size(); ++i) {
        const auto [at, start] = writing_.starts[i];
        const std::size_t end =
            i + 1 < writing_.starts.size() ? writing_.starts[i + 1].second : lines.size();
        line_ = journal::Zeitstempel(at);
        line_ += ' ';
        // Without its line break.
        line_.append(lines, start, end - start - 1);
        Report(daily_.Write(at, line_), logFault_);
    }
    writing_.lines.clear();
    writing_.starts.clear();
}

void LinkJournal::Telegram(std::string_view payloadUtf8, bool json) {
    if (!mitschnitt_)
        return;
    const std::uint64_t before = recorder_.BytesWritten();
    const auto notice = recorder_.Telegram(payloadUtf8, json);
    // A new day after a full one records again without a notice.
    if (recordFault_ && recorder_.BytesWritten() > before) {
        recordFault_.reset();
        ShowFault();
    }
    Report(notice, recordFault_);
    Report(recorder_.Tidy(), recordFault_);
}

void LinkJournal::Report(const std::optional<journal::Notice>& notice,
                         std::optional<std::string>& fault) {
    if (!notice)
        return;
    const bool warning = notice->kind == LogKindName(LogKind::Warning);
    // Logged like any line: a warning about the daily log itself is counted among the lines
    // it misses, and its "written again" is the first line it holds after the gap.
    log_.Notice(warning ? LogKind::Warning : LogKind::Status, notice->text);
    if (warning)
        fault = notice->text;
    else
        fault.reset();
    ShowFault();
}

void LinkJournal::ShowFault() {
    std::optional<std::string> fault = logFault_;
    if (recordFault_)
        fault = fault ? *fault + "\n" + *recordFault_ : *recordFault_;
    log_.SetFileFault(std::move(fault));
    emit geaendert();
}

}  // namespace zelmo::net
