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
    Calls calls;
    std::optional<std::string> currentFolder;
    int locksHeld = 0;

    bool IsAdministrator() override { return Answer("IsAdministrator", administrator); }
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

// A platform failure ends the start with its text, as a failed check does with its message.
TEST(StartChecks, EachCheckStopsWithItsMessageAndAsksNothingAfter) {
    struct Row {
        bool administrator, otherInstanceRunning;
        std::string folder, failOn, message;
        std::size_t calls;
    };
    const std::string share = "\\\\server\\share";
    const Row rows[] = {
        {false, true, share, "",
         "Programm muss mit 'ADMINISTRATOR'-Rechten gestartet werden!\r\n\r\n"
         "Programm wird beendet!",
         1},
        {true, true, share, "",
         "Achtung!\r\nLiveText wurde bereits gestartet!\r\n\r\n"
         "Ein mehrfaches gleichzeitiges Ausführen ist nicht möglich!",
         2},
        {true, false, share, "", NetworkMessage(share), 3},
        {true, false, "//x", "", NetworkMessage("//x"), 3},
        {true, false, share, "IsAdministrator", "Systemfehler bei IsAdministrator", 1},
        {true, false, "C:", "SetCurrentFolder", "Systemfehler bei SetCurrentFolder", 4},
    };
    const Calls all = {"IsAdministrator", "AcquireInstanceLock", "ProgramFolder",
                       "SetCurrentFolder"};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message);
        FakePlatform platform;
        platform.administrator = row.administrator;
        platform.otherInstanceRunning = row.otherInstanceRunning;
        platform.folder = row.folder;
        platform.failOn = row.failOn;
        EXPECT_EQ(RunStartChecks(platform).message, row.message);
        EXPECT_EQ(platform.calls, Calls(all.begin(), all.begin() + row.calls));
        EXPECT_EQ(platform.currentFolder, std::nullopt);
        EXPECT_EQ(platform.locksHeld, 0);  // a start that ends gives the lock back
    }
}

TEST(StartChecks, DriveFolderBecomesCurrentAndTheLockIsHeldWithTheResult) {
    const std::pair<std::string, bool> rows[] = {
        {"D:\\Tools", true}, {"C:", true},          {"/opt/zelmo", false},
        {"\\Tools", false},  // one backslash is no network path
        {"/\\x", false},     {"DD:\\Tools", false}, {"", false},
    };
    for (const auto& [folder, drive] : rows) {
        SCOPED_TRACE(folder);
        FakePlatform platform;
        platform.folder = folder;
        {
            const StartResult result = RunStartChecks(platform);
            ASSERT_TRUE(result.GoOn()) << *result.message;
            EXPECT_EQ(result.programFolder, folder);
            EXPECT_EQ(platform.currentFolder, drive ? std::optional(folder) : std::nullopt);
            EXPECT_EQ(platform.locksHeld, 1);
        }
        EXPECT_EQ(platform.locksHeld, 0);
    }
}

}  // namespace
}  // namespace zelmo::start
