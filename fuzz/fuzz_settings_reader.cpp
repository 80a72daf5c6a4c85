// The settings reader over any bytes: it never fails, and what it reads is written back so
// that reading the written file gives the same settings.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "start/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const zelmo::start::Settings settings = zelmo::start::ParseSettings(bytes);

    if (settings.address.empty() || settings.port.empty() || settings.autoConnect.empty() ||
        settings.liveTextFolder.empty()) {
        std::abort();  // empty values take their defaults
    }
    if ((settings.left && !(*settings.left > 0)) || (settings.top && !(*settings.top > 0))) {
        std::abort();
    }
    (void)zelmo::start::IsAutoConnectSet(settings.autoConnect);

    if (zelmo::start::ParseSettings(zelmo::start::FormatSettings(settings)) != settings) {
        std::abort();
    }
    return 0;
}
