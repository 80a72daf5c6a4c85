#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "journal/DayFile.h"
#include "journal/LocalTime.h"
#include "journal/Notice.h"
#include "journal/Outage.h"

// The log that outlives the window: every line also goes to FOLDER/JJJJ-MM-TT.log (UTF-8),
// one line per write, so a reader never sees half a line and a crash loses none that was
// written. The file of a line is the local day of its time stamp; daily files older than the
// days kept are removed when a day's file is opened.
namespace zelmo::journal {

// "2026-12-07 14:03:12.345 client: text": a log line as the files and the tool's standard
// output show it, without its line break. See AppendLogText for the text.
std::string LogLine(LocalMoment at, std::string_view kind, std::string_view text);

// The text of a log line: control characters become blanks, so that an entry stays one line;
// a text longer than kMaxLogChars characters (a garbled run of binary bytes) is cut, with a
// mark that says how long it was.
inline constexpr std::size_t kMaxLogChars = 500;
void AppendLogText(std::string& out, std::string_view text);

class DailyLog {
  public:
    static constexpr int kKeepDays = 30;

    // The folder is created on the first write if it does not exist; once a file has been
    // written there, a folder that vanishes is reported, not made again.
    explicit DailyLog(std::string folder, int keepDays = kKeepDays)
        : folder_(std::move(folder)), keepDays_(keepDays) {}

    // Appends `line` (a LogLine) and a line break to the file of `at`'s day. Never throws and
    // never waits: a line that cannot be written is dropped. The first failure gives a
    // "warnung" notice; the first line written after failures a "status" notice.
    std::optional<Notice> Write(LocalMoment at, std::string_view line);

    const std::string& Folder() const { return folder_; }

  private:
    void RemoveOldFiles(std::int64_t today);
    std::string Subject() const;

    std::string folder_;
    int keepDays_;
    AppendFile file_;
    std::optional<std::int64_t> day_;
    bool opened_ = false;
    Outage outage_{"Zeile", "Zeilen"};
    std::string buffer_;
};

}  // namespace zelmo::journal
