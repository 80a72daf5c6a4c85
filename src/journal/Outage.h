#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "journal/Notice.h"

namespace zelmo::journal {

// A journal that cannot write: the first failure is reported once, what comes meanwhile is
// dropped and counted, a new attempt is made once kRetryMs have passed, and the first success
// says so. Times are the wall clock's milliseconds; one set back counts as the wait being over.
class Outage {
  public:
    static constexpr std::int64_t kRetryMs = 10'000;

    // What is dropped, in the singular and the plural ("Zeile", "Zeilen").
    Outage(std::string_view singular, std::string_view plural)
        : singular_(singular), plural_(plural) {}

    // Whether to attempt a write at `utcMs`; when not, the entry is counted as dropped.
    bool MayTry(std::int64_t utcMs);
    // A failed attempt on `subject` ("Protokolldatei /var/log/..."): the warning the first time.
    std::optional<Notice> Failed(std::int64_t utcMs, const std::string& subject,
                                 const std::string& reason);
    // A write went through: the "status" notice when it ends an outage.
    std::optional<Notice> Succeeded(const std::string& subject);

  private:
    std::string_view singular_;
    std::string_view plural_;
    bool failing_ = false;
    std::int64_t retryAt_ = 0;
    std::uint64_t dropped_ = 0;
};

}  // namespace zelmo::journal
