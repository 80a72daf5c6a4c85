#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace zelmo::tool {

// systemd's notify protocol (sd_notify) for a receiver run as a service: readiness, a status
// line, the watchdog's heartbeat and the stop. Without NOTIFY_SOCKET, and where the tool is
// built without libsystemd (Windows), every call does nothing.
class Supervision {
  public:
    Supervision();

    // The heartbeat's period, half of WATCHDOG_USEC; nothing when no watchdog is set.
    std::optional<std::chrono::milliseconds> HeartbeatInterval() const { return heartbeat_; }

    void Ready(const std::string& status);
    // Sent only when it differs from the last one sent.
    void Status(const std::string& status);
    void Heartbeat();
    void Stopping();

  private:
    void Send(const std::string& message);

    std::optional<std::chrono::milliseconds> heartbeat_;
    std::string status_;
};

}  // namespace zelmo::tool
