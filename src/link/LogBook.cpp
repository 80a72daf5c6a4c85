#include "link/LogBook.h"

namespace zelmo {

std::string_view LogKindName(LogKind kind) {
    switch (kind) {
        case LogKind::Telegram:
            return "telegramm";
        case LogKind::Client:
            return "client";
        case LogKind::Status:
            return "status";
        case LogKind::Warning:
            return "warnung";
        case LogKind::File:
            return "datei";
    }
    return "";
}

std::size_t LogBook::AddObserver(Observer observer) {
    observers_.push_back(std::move(observer));
    return observers_.size() - 1;
}

void LogBook::RemoveObserver(std::size_t id) {
    if (id < observers_.size())
        observers_[id] = nullptr;
}

void LogBook::Write(LogKind kind, std::string_view text) {
    const journal::LocalMoment at = clock_->Now();
    switch (kind) {
        case LogKind::Telegram:
            telegrams_.Append(std::string(text), at);
            ++version_;
            break;
        case LogKind::Client:
            client_.Append(std::string(text), at);
            ++version_;
            break;
        case LogKind::Status:
            status_ = std::string(text);
            ++version_;
            break;
        case LogKind::Warning:
            for (std::size_t start = 0;;) {
                const std::size_t end = text.find("\r\n", start);
                Tell(kind, text.substr(start, end - start), at);
                if (end == std::string_view::npos)
                    return;
                start = end + 2;
            }
        case LogKind::File:
            break;
    }
    Tell(kind, text, at);
}

void LogBook::Notice(LogKind kind, std::string_view text) {
    const journal::LocalMoment at = clock_->Now();
    client_.Append(std::string(text), at);
    status_ = std::string(text);
    ++version_;
    Tell(kind, text, at);
}

void LogBook::SetFileFault(std::optional<std::string> fault) {
    if (fault == fileFault_)
        return;
    fileFault_ = std::move(fault);
    ++version_;
}

void LogBook::Tell(LogKind kind, std::string_view text, journal::LocalMoment at) {
    for (const Observer& observer : observers_) {
        if (observer)
            observer(kind, text, at);
    }
}

void LogBook::ClearTelegrams() {
    telegrams_.Clear();
    ++version_;
}

void LogBook::ClearClient() {
    client_.Clear();
    ++version_;
}

}  // namespace zelmo
