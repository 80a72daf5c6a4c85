#pragma once

#include <QtGlobal>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "link/RoundTrips.h"
#include "templates/Vorlage.h"

// The bench's side of the link, shared by `zelmo bench` and the window benchmark: the sender
// that measures each round trip, the measurement loop, the template both receivers run, and
// the process figures they print.
namespace zelmo::tool {

// Sends each frame and waits for its acknowledgement with the system's own socket calls: the
// sender's own work is part of every throughput figure, the receiver's and the floor's alike,
// and Qt's buffering would add a copy of each frame and a system call or two to it. It only
// borrows the descriptor; no Qt object may read from it meanwhile (no event loop may run for
// a socket object of it in the sender's thread).
class BenchSender {
  public:
    explicit BenchSender(qintptr descriptor);

    // Microseconds from the last byte handed to the system to the complete acknowledgement.
    std::optional<std::int64_t> RoundTrip(const std::string& frame, std::string& error);

  private:
    bool Warten(short event);

#ifdef _WIN32
    using Descriptor = quintptr;
#else
    using Descriptor = int;
#endif
    Descriptor fd_;
};

struct BenchMessung {
    RoundTrips::Summary summary;
    double seconds = 0;
};

// Warm-up rounds, then `count` timed ones; nothing (and `error`) when a round failed.
std::optional<BenchMessung> BenchMessen(BenchSender& sender, const std::string& frame, int warmUp,
                                        int count, std::string& error);
// `count` timed rounds added to `trips`; false (and `error`) when a round failed.
bool BenchRunden(BenchSender& sender, const std::string& frame, int count, RoundTrips& trips,
                 std::string& error);

// The event a receiver makes of the telegram, so that the bench template fires for it.
std::optional<std::string> BenchEreignis(const std::string& payload);

// The current rider and the start list, as a broadcast's start-list page would show them,
// written to "bench.txt" for `ereignis`.
Vorlage BenchVorlage(const std::string& ereignis);

// A value of /proc/<pid>/status in kB ("VmRSS", "VmHWM"); nothing where there is no such file.
std::optional<long> ProcStatusKb(qint64 pid, const char* key);
// "12.3 MB", or "nicht verfügbar".
std::string Megabytes(std::optional<long> kb);

}  // namespace zelmo::tool
