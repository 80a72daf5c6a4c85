#include "Supervision.h"

#include <algorithm>
#include <cstdint>

#ifdef ZELMO_HAVE_SYSTEMD
#include <systemd/sd-daemon.h>
#endif

namespace zelmo::tool {

Supervision::Supervision() {
#ifdef ZELMO_HAVE_SYSTEMD
    std::uint64_t usec = 0;
    if (sd_watchdog_enabled(0, &usec) > 0 && usec > 0)
        heartbeat_ = std::chrono::milliseconds(std::max<std::uint64_t>(usec / 2000, 1));
#endif
}

void Supervision::Send(const std::string& message) {
#ifdef ZELMO_HAVE_SYSTEMD
    sd_notify(0, message.c_str());
#else
    (void)message;
#endif
}

void Supervision::Ready(const std::string& status) {
    status_ = status;
    Send("READY=1\nSTATUS=" + status);
}

void Supervision::Status(const std::string& status) {
    if (status == status_)
        return;
    status_ = status;
    Send("STATUS=" + status);
}

void Supervision::Heartbeat() {
    Send("WATCHDOG=1");
}

void Supervision::Stopping() {
    Send("STOPPING=1");
}

}  // namespace zelmo::tool
