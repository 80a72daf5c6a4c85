#include "journal/Outage.h"

namespace zelmo::journal {

bool Outage::MayTry(std::int64_t utcMs) {
    if (failing_ && utcMs < retryAt_ && utcMs > retryAt_ - kRetryMs) {
        ++dropped_;
        return false;
    }
    return true;
}

std::optional<Notice> Outage::Failed(std::int64_t utcMs, const std::string& subject,
                                     const std::string& reason) {
    ++dropped_;
    retryAt_ = utcMs + kRetryMs;
    if (failing_)
        return std::nullopt;
    failing_ = true;
    return Notice{"warnung", subject + " kann nicht geschrieben werden: " + reason +
                                 "; neuer Versuch alle " + std::to_string(kRetryMs / 1000) + " s"};
}

std::optional<Notice> Outage::Succeeded(const std::string& subject) {
    if (!failing_)
        return std::nullopt;
    failing_ = false;
    Notice notice{"status", subject + " wird wieder geschrieben"};
    if (dropped_ > 0)
        notice.text += " (" + std::to_string(dropped_) + " " +
                       std::string(dropped_ == 1 ? singular_ : plural_) +
                       (dropped_ == 1 ? " fehlt)" : " fehlen)");
    dropped_ = 0;
    return notice;
}

}  // namespace zelmo::journal
