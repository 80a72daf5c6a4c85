#pragma once

#include <cstdint>
#include <string>

namespace zelmo::tool {

// The receiver's figures for monitoring.
struct Kennzahlen {
    bool connected = false;
    // Since the last telegram or, before the first, since the receiver started.
    double secondsSinceLastTelegram = 0;
    std::uint64_t telegrams = 0;
    std::uint64_t acknowledgements = 0;
    std::uint64_t garbledRuns = 0;
    std::uint64_t filesWritten = 0;
    std::uint64_t warnings = 0;
    std::uint64_t recorderBytes = 0;
};

// The figures in the Prometheus text format (HELP and TYPE lines, counters as *_total), every
// sample labelled with the sender and the output folder, so that the files of several
// receivers can be read side by side by one collector.
std::string MetricsText(const Kennzahlen& k, const std::string& sender, const std::string& output);

}  // namespace zelmo::tool
