#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "journal/DayFile.h"
#include "journal/LocalTime.h"
#include "journal/Notice.h"
#include "journal/Outage.h"

// The flight recorder: every received telegram appended to FOLDER/JJJJ-MM-TT.jsonl as a line
// of a show file, so that any moment of a show can be played again with `zelmo simulate`.
// Each line: {"at_ms": N, "local_time": "2026-12-07 14:03:12.345+01:00", "telegram": ...}
// (or "raw" for a payload that is not JSON), at_ms counted from the first telegram in that
// day's file, also across a restart that appends to it.
//
// The daily files together stay within a bound, the oldest day dropped first. Today's file is
// never dropped: once it alone would pass the bound, recording stops until the next day (the
// morning of a show is worth as much as its evening, and the disk must not fill).
namespace zelmo::journal {

class FlightRecorder {
  public:
    static constexpr std::uint64_t kDefaultLimit = std::uint64_t{2} << 30;

    FlightRecorder(std::string folder, LocalClock& clock, std::uint64_t limit = kDefaultLimit)
        : folder_(std::move(folder)), clock_(clock), limit_(limit) {}

    // Appends one telegram's line with one write. `json`: the payload decoded as JSON. Never
    // throws; what cannot be recorded is dropped, the first failure with a "warnung" notice,
    // the first line written after it with a "status" notice.
    std::optional<Notice> Telegram(std::string_view payloadUtf8, bool json);

    // Drops the oldest days while the files are over the bound.
    std::optional<Notice> Tidy();

    // Bytes appended in this run.
    std::uint64_t BytesWritten() const { return written_; }
    // Bytes of the daily files now, as far as this recorder knows them.
    std::uint64_t TotalBytes() const { return total_; }
    const std::string& Folder() const { return folder_; }

  private:
    std::optional<Notice> OpenDay(LocalMoment at);
    std::string Path() const;
    std::string Subject() const { return "Mitschnitt " + Path(); }

    std::string folder_;
    LocalClock& clock_;
    std::uint64_t limit_;

    AppendFile file_;
    std::optional<std::int64_t> day_;
    // The earlier days' files, oldest first, and their bytes.
    std::vector<DayFile> older_;
    std::uint64_t olderBytes_ = 0;
    std::uint64_t todayBytes_ = 0;
    std::uint64_t total_ = 0;
    std::uint64_t written_ = 0;
    // The first telegram of today's file, which at_ms counts from.
    std::optional<std::int64_t> firstUtcMs_;
    std::int64_t lastAtMs_ = 0;
    bool full_ = false;
    Outage outage_{"Telegramm", "Telegramme"};
    std::string line_;
};

}  // namespace zelmo::journal
