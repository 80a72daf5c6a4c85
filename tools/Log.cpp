#include "Log.h"

#include <cstdio>

namespace zelmo::tool {

void Log::Line(std::string_view prefix, std::string_view text) {
    if (prefix == "warnung: ")
        ++warnings_;
    // Only the clock is read here, on the telegram's way; the stamp is written out at Flush.
    if (clock_ != nullptr)
        stamps_.emplace_back(clock_->Now(), pending_.size());
    pending_ += prefix;
    journal::AppendLogText(pending_, text);
    pending_ += '\n';
}

void Log::Flush() {
    if (pending_.empty())
        return;
    const std::string* out = &pending_;
    if (clock_ != nullptr) {
        out_.clear();
        for (std::size_t i = 0; i < stamps_.size(); ++i) {
            const auto [at, start] = stamps_[i];
            const std::size_t end =
                i + 1 < stamps_.size() ? stamps_[i + 1].second : pending_.size();
            // Without its line break.
            const std::string_view line(pending_.data() + start, end - start - 1);
            const std::string stamped = journal::Zeitstempel(at) + " " + std::string(line);
            out_ += stampOutput_ ? std::string_view(stamped) : line;
            out_ += '\n';
            if (daily_ == nullptr)
                continue;
            if (const auto notice = daily_->Write(at, stamped)) {
                if (notice->kind == "warnung")
                    ++warnings_;
                const journal::LocalMoment now = clock_->Now();
                std::string body = notice->kind + ": ";
                journal::AppendLogText(body, notice->text);
                const std::string text = journal::Zeitstempel(now) + " " + body;
                out_ += stampOutput_ ? text : body;
                out_ += '\n';
                // Written again: the log itself says where its gap is.
                if (notice->kind == "status")
                    daily_->Write(now, text);
            }
        }
        out = &out_;
    }
    std::fwrite(out->data(), 1, out->size(), stdout);
    std::fflush(stdout);
    pending_.clear();
    stamps_.clear();
}

}  // namespace zelmo::tool
