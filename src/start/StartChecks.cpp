#include "start/StartChecks.h"

#include "component/CodePage.h"
#include "component/Error.h"

namespace zelmo::start {

namespace {

StartResult Stop(std::string message) {
    StartResult result;
    result.message = std::move(message);
    return result;
}

// A folder such as "D:\Tools" names its drive; one without a drive leaves the current drive
// and directory as they are.
bool HasDriveLetter(std::string_view folder) {
    const std::size_t first = codepage::LeftChars(folder, 1).size();
    return folder.size() > first && folder[first] == ':';
}

}  // namespace

bool IsNetworkPath(std::string_view programFolder) {
    return programFolder.starts_with("\\\\") || programFolder.starts_with("//");
}

std::string NetworkPathMessage(std::string_view programFolder) {
    std::string text = "Programm darf nicht über einen Netzwerkpfad geöffnet werden!\r\n\r\nHier: ";
    text.append(programFolder);
    text.append(
        "\r\n\r\nProgramm z.B. so starten: C:\\Programme\\Zelmo-Software\\Zelmo-Livetext.exe"
        "\r\n\r\nProgramm muss beendet werden!");
    return text;
}

StartResult RunStartChecks(platform::Platform& platform) {
    try {
        platform::Folders folders = platform.FoldersInUse();
        if (!platform.IsAdministrator(folders.settings))
            return Stop(std::string(kAdministratorMessage));

        auto lock = platform.AcquireInstanceLock();
        if (!lock)
            return Stop(std::string(kSecondInstanceMessage));

        std::string folder = platform.ProgramFolder();
        if (IsNetworkPath(folder))
            return Stop(NetworkPathMessage(folder));

        if (HasDriveLetter(folder))
            platform.SetCurrentFolder(folder);

        StartResult result;
        result.programFolder = std::move(folder);
        result.folders = std::move(folders);
        result.instanceLock = std::move(lock);
        return result;
    } catch (const Error& e) {
        return Stop(e.what());
    }
}

}  // namespace zelmo::start
