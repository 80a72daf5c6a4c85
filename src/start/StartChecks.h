#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace zelmo::start {

// Title of every message box the program shows.
inline constexpr std::string_view kProgramTitle = "Zelmo-LiveText";

inline constexpr std::string_view kAdministratorMessage =
    "Programm muss mit 'ADMINISTRATOR'-Rechten gestartet werden!\r\n\r\nProgramm wird beendet!";

inline constexpr std::string_view kSecondInstanceMessage =
    "Achtung!\r\nLiveText wurde bereits gestartet!\r\n\r\n"
    "Ein mehrfaches gleichzeitiges Ausführen ist nicht möglich!";

// The message for a program started from a network share, naming its folder.
std::string NetworkPathMessage(std::string_view programFolder);

// "\\server\share" and "//server/share": a program run from a share loses its settings and
// catalogues whenever the share goes away.
bool IsNetworkPath(std::string_view programFolder);

// Outcome of the start checks. Either the start goes on, with the program folder, the folders
// in use and the single-instance lock that must be held until the process ends, or it ends
// after showing `message` (title kProgramTitle, OK only).
struct StartResult {
    std::optional<std::string> message;
    std::string programFolder;
    platform::Folders folders;
    std::unique_ptr<platform::InstanceLock> instanceLock;

    bool GoOn() const { return !message.has_value(); }
};

// Runs the environment checks in their fixed order: administrator (asked about the settings
// folder of the folders in use), single instance, network path, then program folder and
// current directory. The first failed check ends the sequence, so a later one is never asked.
// A platform failure (Error) ends the start with its text.
StartResult RunStartChecks(platform::Platform& platform);

}  // namespace zelmo::start
