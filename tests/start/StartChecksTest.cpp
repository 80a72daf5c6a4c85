#include "start/StartChecks.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "component/Error.h"

namespace zelmo::start {
namespace {

using Calls = std::vector<std::string>;

// Answers as configured and records which questions were asked, in order.
class FakePlatform final : public platform::Platform {
  public:
    bool administrator = true;
    bool otherInstanceRunning = false;
    std::string folder = "C:\\Zelmo";
    std::optional<std::string> failOn;  // the call that throws Error

    Calls calls;
    std::optional<std::string> currentFolder;
    int locksHeld = 0;

    bool IsAdministrator() override {
        Called("IsAdministrator");
        return administrator;
    }
    std::unique_ptr<platform::InstanceLock> AcquireInstanceLock() override {
        Called("AcquireInstanceLock");
        return otherInstanceRunning ? nullptr : std::make_unique<Lock>(locksHeld);
    }
    std::string ProgramFolder() override {
        Called("ProgramFolder");
        return folder;
    }
    void SetCurrentFolder(const std::string& target) override {
        Called("SetCurrentFolder");
        currentFolder = target;
    }

  private:
    struct Lock final : platform::InstanceLock {
        explicit Lock(int& held) : held_(held) { ++held_; }
        ~Lock() override { --held_; }
        int& held_;
    };

    void Called(const std::string& name) {
        calls.push_back(name);
        if (failOn == name)
            throw Error("Systemfehler bei " + name);
    }
};

std::string NetworkMessage(const std::string& folder) {
    return "Programm darf nicht über einen Netzwerkpfad geöffnet werden!\r\n\r\nHier: " + folder +
           "\r\n\r\nProgramm z.B. so starten: C:\\Programme\\Zelmo-Software\\Zelmo-Livetext.exe"
           "\r\n\r\nProgramm muss beendet werden!";
}

TEST(StartChecks, EachCheckStopsWithItsMessageAndAsksNothingAfter) {
    struct Row {
        const char* name;
        bool administrator;
        bool otherInstanceRunning;
        std::string folder;
        std::string message;
        Calls calls;
    };
    const Calls all = {"IsAdministrator", "AcquireInstanceLock", "ProgramFolder"};
    const Row rows[] = {
        {"no administrator",
         false,
         true,
         "\\\\server\\share",
         "Programm muss mit 'ADMINISTRATOR'-Rechten gestartet werden!\r\n\r\n"
         "Programm wird beendet!",
         {"IsAdministrator"}},
        {"second instance",
         true,
         true,
         "\\\\server\\share",
         "Achtung!\r\nLiveText wurde bereits gestartet!\r\n\r\n"
         "Ein mehrfaches gleichzeitiges Ausführen ist nicht möglich!",
         {"IsAdministrator", "AcquireInstanceLock"}},
        {"UNC path", true, false, "\\\\server\\share\\tools",
         NetworkMessage("\\\\server\\share\\tools"), all},
        {"slash network path", true, false, "//x", NetworkMessage("//x"), all},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakePlatform platform;
        platform.administrator = row.administrator;
        platform.otherInstanceRunning = row.otherInstanceRunning;
        platform.folder = row.folder;

        const StartResult result = RunStartChecks(platform);

        EXPECT_EQ(result.message, row.message);
        EXPECT_EQ(platform.calls, row.calls);
        EXPECT_EQ(platform.currentFolder, std::nullopt);
        EXPECT_EQ(platform.locksHeld, 0);  // a start that ends gives the lock back
    }
}

TEST(StartChecks, DriveFolderBecomesCurrentAndTheLockIsHeldWithTheResult) {
    struct Row {
        std::string folder;
        std::optional<std::string> currentFolder;
    };
    const Row rows[] = {
        {"D:\\Tools", "D:\\Tools"},
        {"C:", "C:"},
        {"c:\\Programme\\Zelmo Software", "c:\\Programme\\Zelmo Software"},
        {"/opt/zelmo", std::nullopt},
        {"\\Tools", std::nullopt},  // one backslash is no network path
        {"/\\x", std::nullopt},
        {"DD:\\Tools", std::nullopt},
        {"", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.folder);
        FakePlatform platform;
        platform.folder = row.folder;
        {
            const StartResult result = RunStartChecks(platform);
            ASSERT_TRUE(result.GoOn()) << *result.message;
            EXPECT_EQ(result.programFolder, row.folder);
            EXPECT_EQ(platform.currentFolder, row.currentFolder);
            EXPECT_EQ(platform.locksHeld, 1);
        }
        EXPECT_EQ(platform.locksHeld, 0);
    }
}

TEST(StartChecks, PlatformFailureEndsTheStartWithItsText) {
    for (const char* step :
         {"IsAdministrator", "AcquireInstanceLock", "ProgramFolder", "SetCurrentFolder"}) {
        SCOPED_TRACE(step);
        FakePlatform platform;
        platform.failOn = step;

        const StartResult result = RunStartChecks(platform);

        EXPECT_EQ(result.message, std::string("Systemfehler bei ") + step);
        EXPECT_EQ(platform.calls.back(), step);
        EXPECT_EQ(platform.locksHeld, 0);
    }
}

}  // namespace
}  // namespace zelmo::start
