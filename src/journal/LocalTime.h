#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Wall-clock time as the journal writes it: local time to the millisecond, and the local
// calendar day that names the daily files. The clock is injected, so that midnight, a change
// of the UTC offset and a clock that steps back are tested without waiting for them.
namespace zelmo::journal {

// One instant: milliseconds since 1970 (UTC) and the local offset from UTC in force then.
struct LocalMoment {
    std::int64_t utcMs = 0;
    std::int32_t offsetSeconds = 0;

    std::int64_t LocalMs() const { return utcMs + std::int64_t{offsetSeconds} * 1000; }
    // The local calendar day, counted from 1970-01-01.
    std::int64_t Day() const;

    bool operator==(const LocalMoment&) const = default;
};

class LocalClock {
  public:
    virtual ~LocalClock() = default;
    virtual LocalMoment Now() = 0;
};

// The system's clock and time zone. The offset is looked up once a minute at most: offsets
// change only on whole minutes, and the lookup costs more than the rest of a log line.
class SystemLocalClock : public LocalClock {
  public:
    LocalMoment Now() override;

  private:
    std::int64_t minute_ = INT64_MIN;
    std::int32_t offset_ = 0;
};

// "2026-12-07 14:03:12.345": the local time, the form every log line starts with.
std::string Zeitstempel(LocalMoment moment);
// "2026-12-07 14:03:12.345+01:00": the same with its offset, which makes it one instant.
std::string ZeitstempelMitZone(LocalMoment moment);
// The instant of a ZeitstempelMitZone text; nothing for any other text.
std::optional<LocalMoment> ZeitstempelLesen(std::string_view text);

// "2026-12-07" + extension (".log", ".jsonl"): the daily file of a local day.
std::string Tagesdateiname(std::int64_t day, std::string_view extension);
// The day a daily file name stands for; nothing for any name not of exactly that form.
std::optional<std::int64_t> TagAusDateiname(std::string_view name, std::string_view extension);

}  // namespace zelmo::journal
