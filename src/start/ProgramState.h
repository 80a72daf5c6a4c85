#pragma once

#include <string>

#include "link/TelegramStore.h"
#include "platform/Folders.h"
#include "start/Catalogues.h"

namespace zelmo::start {

// The values that live as long as the process, owned by Main and handed by reference to
// whoever needs them. There is no other process-wide state.
struct ProgramState {
    std::string programFolder;   // folder of the executable, no trailing separator
    platform::Folders folders;   // settings, catalogues, logs and recordings
    Catalogues kataloge;         // loaded once at start, read-only afterwards
    bool vorlagenAktiv = false;  // the template editor is the active window
    TelegramStore telegramme;    // the latest telegram and its sections
};

}  // namespace zelmo::start
