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

void LogBook::AddObserver(Observer observer) {
    observers_.push_back(std::move(observer));
}

void LogBook::Write(LogKind kind, std::string_view text) {
    switch (kind) {
        case LogKind::Telegram:
            telegrams_.Append(std::string(text));
            ++version_;
            break;
        case LogKind::Client:
            client_.Append(std::string(text));
            ++version_;
            break;
        case LogKind::Status:
            status_ = std::string(text);
            ++version_;
            break;
        case LogKind::Warning:
        case LogKind::File:
            break;
    }
    for (const Observer& observer : observers_)
        observer(kind, text);
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
