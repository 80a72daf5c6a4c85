#include "journal/LocalTime.h"

#include <cstdio>
#include <ctime>

namespace zelmo::journal {

namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

struct Civil {
    int year;
    unsigned month;
    unsigned day;
};

// Days since 1970-01-01 and the proleptic Gregorian calendar, both ways (H. Hinnant's
// algorithms), so that neither the C library's time zone nor its range is involved.
Civil CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = FloorDiv(z, 146097);
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2)), m, d};
}

std::int64_t DaysFromCivil(int y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = FloorDiv(y, 400);
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

unsigned DaysInMonth(int y, unsigned m) {
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : kDays[m - 1];
}

// Fixed-width decimal digits at text[pos..pos+width); nothing unless all are digits.
std::optional<int> Digits(std::string_view text, std::size_t pos, std::size_t width) {
    if (text.size() < pos + width)
        return std::nullopt;
    int value = 0;
    for (std::size_t i = pos; i < pos + width; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// "2026-12-07" at the start of text, as a day; nothing unless it is a real date.
std::optional<std::int64_t> DatumLesen(std::string_view text) {
    const auto y = Digits(text, 0, 4);
    const auto m = Digits(text, 5, 2);
    const auto d = Digits(text, 8, 2);
    if (!y || !m || !d || text[4] != '-' || text[7] != '-' || *m < 1 || *m > 12 || *d < 1 ||
        static_cast<unsigned>(*d) > DaysInMonth(*y, static_cast<unsigned>(*m)))
        return std::nullopt;
    return DaysFromCivil(*y, static_cast<unsigned>(*m), static_cast<unsigned>(*d));
}

std::string Datum(std::int64_t day) {
    const Civil c = CivilFromDays(day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", c.year, c.month, c.day);
    return text;
}

}  // namespace

std::int64_t LocalMoment::Day() const {
    return FloorDiv(LocalMs(), kMsPerDay);
}

LocalMoment SystemLocalClock::Now() {
    using namespace std::chrono;
    const std::int64_t utcMs =
        duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    const std::int64_t minute = FloorDiv(utcMs, 60'000);
    if (minute != minute_) {
        const std::time_t t = static_cast<std::time_t>(minute * 60);
        std::tm local{};
#ifdef _WIN32
        localtime_s(&local, &t);
#else
        localtime_r(&t, &local);
#endif
        // The local calendar time read as if it were UTC, minus the instant: the offset.
        const std::int64_t asUtc =
            DaysFromCivil(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                          static_cast<unsigned>(local.tm_mday)) *
                86400 +
            local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
        offset_ = static_cast<std::int32_t>(asUtc - static_cast<std::int64_t>(t));
        minute_ = minute;
    }
    return {utcMs, offset_};
}

std::string Zeitstempel(LocalMoment moment) {
    const std::int64_t local = moment.LocalMs();
    const std::int64_t day = FloorDiv(local, kMsPerDay);
    const std::int64_t ms = local - day * kMsPerDay;
    char text[64];
    std::snprintf(text, sizeof text, "%s %02d:%02d:%02d.%03d", Datum(day).c_str(),
                  static_cast<int>(ms / 3'600'000), static_cast<int>(ms / 60'000 % 60),
                  static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000));
    return text;
}

std::string ZeitstempelMitZone(LocalMoment moment) {
    const std::int32_t offset = moment.offsetSeconds;
    const std::int32_t minutes = (offset < 0 ? -offset : offset) / 60;
    char zone[16];
    std::snprintf(zone, sizeof zone, "%c%02d:%02d", offset < 0 ? '-' : '+', minutes / 60,
                  minutes % 60);
    return Zeitstempel(moment) + zone;
}

std::optional<LocalMoment> ZeitstempelLesen(std::string_view text) {
    // 2026-12-07 14:03:12.345+01:00
    if (text.size() != 29 || text[10] != ' ' || text[13] != ':' || text[16] != ':' ||
        text[19] != '.' || (text[23] != '+' && text[23] != '-') || text[26] != ':')
        return std::nullopt;
    const auto day = DatumLesen(text);
    const auto h = Digits(text, 11, 2);
    const auto min = Digits(text, 14, 2);
    const auto s = Digits(text, 17, 2);
    const auto ms = Digits(text, 20, 3);
    const auto zh = Digits(text, 24, 2);
    const auto zm = Digits(text, 27, 2);
    if (!day || !h || !min || !s || !ms || !zh || !zm || *h > 23 || *min > 59 || *s > 59 ||
        *zh > 23 || *zm > 59)
        return std::nullopt;
    const std::int32_t offset = (text[23] == '-' ? -1 : 1) * (*zh * 3600 + *zm * 60);
    const std::int64_t localMs =
        *day * kMsPerDay + ((*h * 60 + *min) * 60 + *s) * std::int64_t{1000} + *ms;
    return LocalMoment{localMs - std::int64_t{offset} * 1000, offset};
}

std::string Tagesdateiname(std::int64_t day, std::string_view extension) {
    return Datum(day) + std::string(extension);
}

std::optional<std::int64_t> TagAusDateiname(std::string_view name, std::string_view extension) {
    if (name.size() != 10 + extension.size() || name.substr(10) != extension)
        return std::nullopt;
    return DatumLesen(name);
}

}  // namespace zelmo::journal
