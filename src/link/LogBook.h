#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "journal/LocalTime.h"
#include "link/RollingLog.h"

// Every line the program logs passes through here: the telegram and client logs, the
// evaluation's status label, the writers' warnings and each file written. The windows show
// the logs it keeps; an observer (a log file, say) sees every line of every kind as it is
// written, with the time it was logged, without a window being involved.
namespace zelmo {

enum class LogKind { Telegram, Client, Status, Warning, File };

// The kind as the logs name it: "telegramm", "client", "status", "warnung", "datei".
std::string_view LogKindName(LogKind kind);

class LogBook {
  public:
    // Called for each line at once, on the thread that writes it. Lines of a telegram come
    // before its acknowledgement is sent: an observer that does more than a copy should keep
    // the lines and do its work later.
    using Observer =
        std::function<void(LogKind kind, std::string_view text, journal::LocalMoment at)>;

    LogBook() = default;
    LogBook(const LogBook&) = delete;
    LogBook& operator=(const LogBook&) = delete;

    // Returns what RemoveObserver takes.
    std::size_t AddObserver(Observer observer);
    void RemoveObserver(std::size_t id);

    // The clock of the lines' times: the system's until another is set, which must outlive
    // the book.
    void SetClock(journal::LocalClock& clock) { clock_ = &clock; }
    journal::LocalMoment Now() { return clock_->Now(); }

    // A line of the telegram log or the client log joins it (the oldest dropped when full); a
    // status line becomes the status; warnings and files go to the observers only, a warning
    // of several lines (the writers join them with CR LF) line by line.
    void Write(LogKind kind, std::string_view text);

    // A line for the observers only (the daily log): what a window shows in a place of its
    // own (a failed attempt, a link gone quiet), so that it is in the log after the show.
    void Record(LogKind kind, std::string_view text) { Tell(kind, text, clock_->Now()); }

    // A line about the program's own files (a log or a recording that cannot be written, or
    // is written again): logged as `kind`, and shown in the client log and as the status,
    // where the operator looks for trouble beside the output.
    void Notice(LogKind kind, std::string_view text);
    // What keeps the program's own files from being written now; nothing while they are.
    void SetFileFault(std::optional<std::string> fault);
    const std::optional<std::string>& FileFault() const { return fileFault_; }

    const RollingLog& Telegrams() const { return telegrams_; }
    const RollingLog& Client() const { return client_; }
    // The last status line; nothing before the first.
    const std::optional<std::string>& Status() const { return status_; }

    void ClearTelegrams();
    void ClearClient();

    // Changes whenever what the logs, the status or the file fault show changes.
    std::uint64_t Version() const { return version_; }

  private:
    void Tell(LogKind kind, std::string_view text, journal::LocalMoment at);

    journal::SystemLocalClock systemClock_;
    journal::LocalClock* clock_ = &systemClock_;
    RollingLog telegrams_{kTelegramLogLimit};
    RollingLog client_{kClientLogLimit};
    std::optional<std::string> status_;
    std::optional<std::string> fileFault_;
    std::vector<Observer> observers_;
    std::uint64_t version_ = 0;
};

}  // namespace zelmo
