#include "start/StartChecks.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "component/Error.h"

namespace zelmo::start {
namespace {

using Calls = std::vector<std::string>;

// Answers as configured, records which questions were asked, in order, and fails at one.
class FakePlatform final : public platform::Platform {
  public:
    bool administrator = true, otherInstanceRunning = false;
    std::string folder = "C:\\Zelmo", failOn;
    platform::Folders folders{
        "/home/b/.config/zelmo-livetext", {"/usr/share/zelmo-livetext"}, "/s"};
    Calls calls;
    std::string askedAbout;
    std::optional<std::string> currentFolder;
    int locksHeld = 0;

    platform::Folders FoldersInUse() override { return Answer("FoldersInUse", folders); }
    bool IsAdministrator(const std::string& settingsFolder) override {
        askedAbout = settingsFolder;
        return Answer("IsAdministrator", administrator);
    }
    std::unique_ptr<platform::InstanceLock> AcquireInstanceLock() override {
        return Answer("AcquireInstanceLock", otherInstanceRunning)
                   ? nullptr
                   : std::make_unique<Lock>(locksHeld);
    }
    std::string ProgramFolder() override { return Answer("ProgramFolder", folder); }
    void SetCurrentFolder(const std::string& target) override {
        currentFolder = Answer("SetCurrentFolder", target);
    }

  private:
    struct Lock final : platform::InstanceLock {
        explicit Lock(int& held) : held_(held) { ++held_; }
        ~Lock() override { --held_; }
        int& held_;
    };

    template <typename T>
    T Answer(const std::string& call, T answer) {
        calls.push_back(call);
        if (failOn == call)
            throw Error("Systemfehler bei " + call);
        return answer;
    }
};

std::string NetworkMessage(const std::string& folder) {
    return "Programm darf nicht über einen Netzwerkpfad geöffnet werden!\r\n\r\nHier: " + folder +
           "\r\n\r\nProgramm z.B. so starten: C:\\Programme\\Zelmo-Software\\Zelmo-Livetext.exe"
           "\r\n\r\nProgramm muss beendet werden!";
}

// The checks in their order: each stops the start with its message (a platform failure with its
// text), asks nothing after it and gives the lock back. A start that goes on holds the lock and
// the folders in use with its result, and a folder with a drive letter becomes the current one.
// The administrator test is asked about the settings folder in use.
TEST(StartChecks, EachCheckStopsWithItsMessageOrTheStartGoesOn) {
    struct Row {
        bool administrator, otherInstanceRunning;
        std::string folder, failOn;
        std::optional<std::string> message;
        std::size_t calls;
    };
    const std::string share = "\\\\server\\share";
    const auto goesOn = std::nullopt;
    const Row rows[] = {
        {false, true, share, "",
         "Programm muss mit 'ADMINISTRATOR'-Rechten gestartet werden!\r\n\r\n"
         "Programm wird beendet!",
         2},
        {true, true, share, "",
         "Achtung!\r\nLiveText wurde bereits gestartet!\r\n\r\n"
         "Ein mehrfaches gleichzeitiges Ausführen ist nicht möglich!",
         3},
        {true, false, share, "", NetworkMessage(share), 4},
        {true, false, "//x", "", NetworkMessage("//x"), 4},
        {true, false, share, "FoldersInUse", "Systemfehler bei FoldersInUse", 1},
        {true, false, share, "IsAdministrator", "Systemfehler bei IsAdministrator", 2},
        {true, false, "C:", "SetCurrentFolder", "Systemfehler bei SetCurrentFolder", 5},
        {true, false, "D:\\Tools", "", goesOn, 5},
        {true, false, "C:", "", goesOn, 5},
        {true, false, "/opt/zelmo", "", goesOn, 4},
        {true, false, "\\Tools", "", goesOn, 4},  // one backslash is no network path
        {true, false, "/\\x", "", goesOn, 4},
        {true, false, "DD:\\Tools", "", goesOn, 4},
        {true, false, "", "", goesOn, 4},
    };
    const Calls all = {"FoldersInUse", "IsAdministrator", "AcquireInstanceLock", "ProgramFolder",
                       "SetCurrentFolder"};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.folder + " " + row.message.value_or(""));
        FakePlatform platform;
        platform.administrator = row.administrator;
        platform.otherInstanceRunning = row.otherInstanceRunning;
        platform.folder = row.folder;
        platform.failOn = row.failOn;
        {
            const StartResult result = RunStartChecks(platform);
            EXPECT_EQ(result.message, row.message);
            EXPECT_EQ(result.programFolder, row.message ? "" : row.folder);
            EXPECT_EQ(result.folders, row.message ? platform::Folders{} : platform.folders);
            EXPECT_EQ(platform.locksHeld, row.message ? 0 : 1);
        }
        EXPECT_EQ(platform.locksHeld, 0);
        EXPECT_EQ(platform.calls, Calls(all.begin(), all.begin() + row.calls));
        EXPECT_EQ(platform.askedAbout, row.calls > 1 ? platform.folders.settings : "");
        const bool current = !row.message && row.calls == 5;
        EXPECT_EQ(platform.currentFolder, current ? std::optional(row.folder) : std::nullopt);
    }
}

}  // namespace
}  // namespace zelmo::start
