#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/RollingLog.h"

// Every line the program logs passes through here: the telegram and client logs, the
// evaluation's status label, the writers' warnings and each file written. The windows show
// the logs it keeps; an observer (a log file, say) sees every line of every kind as it is
// written, without a window being involved.
namespace zelmo {

enum class LogKind { Telegram, Client, Status, Warning, File };

// The kind as the logs name it: "telegramm", "client", "status", "warnung", "datei".
std::string_view LogKindName(LogKind kind);

class LogBook {
  public:
    // Called for each line at once, on the thread that writes it. Lines of a telegram come
    // before its acknowledgement is sent: an observer that does more than a copy should keep
    // the lines and do its work later.
    using Observer = std::function<void(LogKind kind, std::string_view text)>;

    void AddObserver(Observer observer);

    // A line of the telegram log or the client log joins it (the oldest dropped when full); a
    // status line becomes the status; warnings and files go to the observers only.
    void Write(LogKind kind, std::string_view text);

    const RollingLog& Telegrams() const { return telegrams_; }
    const RollingLog& Client() const { return client_; }
    // The last status line; nothing before the first.
    const std::optional<std::string>& Status() const { return status_; }

    void ClearTelegrams();
    void ClearClient();

    // Changes whenever what the logs or the status show changes.
    std::uint64_t Version() const { return version_; }

  private:
    RollingLog telegrams_{kTelegramLogLimit};
    RollingLog client_{kClientLogLimit};
    std::optional<std::string> status_;
    std::vector<Observer> observers_;
    std::uint64_t version_ = 0;
};

}  // namespace zelmo
