#pragma once

#include <string>

namespace zelmo::link {

// A realistic telegram as the scoring sender sends it, for benchmarks, tests and the
// built-in telegram of `zelmo bench`: the event, the current rider, round data and a start
// list of `riders` records (40 riders come to about 20 KB, 500 to about 250 KB). Record-list
// sections carry one index member per record beside "Records", so that their own entry
// count covers every record. Deterministic: the same arguments give the same bytes.
std::string SampleTelegram(int riders, const std::string& status = "ReiterNeu");

}  // namespace zelmo::link
