#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "journal/DailyLog.h"
#include "journal/LocalTime.h"

namespace zelmo::tool {

// The tool's log on standard output: one line per entry, each behind a short prefix
// ("telegramm: ", "client: ", ...). Lines are collected and written by Flush, so that the
// lines of one telegram cost one write, made after its acknowledgement has gone out.
//
// The receiver's log also stamps each line with the local time it was logged at, and writes
// it to a daily log file, one write per line, also at Flush.
class Log {
  public:
    ~Log() { Flush(); }

    // Control characters become blanks, so that an entry stays one line; an overlong entry
    // (a garbled run of binary bytes) is cut, with a mark (journal::AppendLogText).
    void Line(std::string_view prefix, std::string_view text);
    void Flush();

    // The clock of the time stamps, which must outlive the log; `onStandardOutput`: the stamps
    // go to standard output as well as to the daily log.
    void Stamp(journal::LocalClock& clock, bool onStandardOutput) {
        clock_ = &clock;
        stampOutput_ = onStandardOutput;
    }
    // Needs Stamp. The daily log's own warnings come out as lines of their own.
    void WriteTo(journal::DailyLog& daily) { daily_ = &daily; }

    // "warnung: " lines so far, for the metrics.
    std::uint64_t Warnings() const { return warnings_; }

  private:
    std::string pending_;
    journal::LocalClock* clock_ = nullptr;
    bool stampOutput_ = false;
    journal::DailyLog* daily_ = nullptr;
    // Each pending line's time and where it starts in pending_.
    std::vector<std::pair<journal::LocalMoment, std::size_t>> stamps_;
    std::string out_;
    std::uint64_t warnings_ = 0;
};

}  // namespace zelmo::tool
