#ifdef _WIN32

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "TempFolder.h"
#include "component/FileReplace.h"
#include "platform/Platform.h"
#include "start/StartChecks.h"

namespace zelmo::platform {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

// Membership in the administrators' group, asked the long way round.
bool InAdministratorsGroup() {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID admins = nullptr;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0,
                                  0, 0, 0, 0, 0, &admins))
        return false;
    BOOL member = FALSE;
    CheckTokenMembership(nullptr, admins, &member);
    FreeSid(admins);
    return member != FALSE;
}

TEST(WindowsPlatform, AdministratorAndProgramFolderTakingBothSeparators) {
    const auto platform = CreateSystemPlatform();
    EXPECT_EQ(platform->IsAdministrator(platform->FoldersInUse().settings),
              InAdministratorsGroup());
    EXPECT_TRUE(FileExists(platform->ProgramFolder() + "\\zelmo_test_platform.exe"));
    // Windows keeps the portable layout: everything beside the program.
    EXPECT_EQ(platform->FoldersInUse(), PortableFolders(platform->ProgramFolder()));
    const std::pair<const char*, const char*> rows[] = {
        {"\\\\server\\share\\Zelmo-Livetext.exe", "\\\\server\\share"},
        {"C:\\Prüfung\\a/b.exe", "C:\\Prüfung\\a"},
        {"C:\\Zelmo-Livetext.exe", "C:"},
        {"Zelmo-Livetext.exe", ""},
    };
    for (const auto& [path, folder] : rows) {
        SCOPED_TRACE(path);
        EXPECT_EQ(FolderOfPath(path), folder);
    }
}

// The mutex carries the user's name: on a shared machine each user may run one instance.
TEST(WindowsPlatform, InstanceMutexPerUserHeldUntilReleased) {
    const auto platform = CreateSystemPlatform();
    auto first = platform->AcquireInstanceLock();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(platform->AcquireInstanceLock(), nullptr);
    wchar_t user[257] = {};
    DWORD length = 257;
    ASSERT_TRUE(GetUserNameW(user, &length));
    const std::wstring name = std::wstring(L"Local\\Zelmo-LiveText-") + user;
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, name.c_str());
    EXPECT_NE(mutex, nullptr);
    CloseHandle(mutex);
    first.reset();
    EXPECT_EQ(OpenMutexW(SYNCHRONIZE, FALSE, name.c_str()), nullptr);
    EXPECT_NE(platform->AcquireInstanceLock(), nullptr);
}

// The system's platform, started from a folder of the test's choosing.
class StartedFrom final : public Platform {
  public:
    explicit StartedFrom(std::string folder) : folder_(std::move(folder)) {}
    Folders FoldersInUse() override { return PortableFolders(folder_); }
    bool IsAdministrator(const std::string&) override { return true; }
    std::unique_ptr<InstanceLock> AcquireInstanceLock() override {
        return system_->AcquireInstanceLock();
    }
    std::string ProgramFolder() override { return folder_; }
    void SetCurrentFolder(const std::string& folder) override { system_->SetCurrentFolder(folder); }

  private:
    std::unique_ptr<Platform> system_ = CreateSystemPlatform();
    std::string folder_;
};

TEST(WindowsStartChecks, DriveFoldersBecomeCurrentNetworkFoldersStop) {
    const TempFolder dir;
    const std::string umlaut = test::SystemJoin(dir.Path(), "Zelmo Prüfung");
    ASSERT_TRUE(fs::create_directory(test::U8Path(umlaut)));
    // program folder, whether the start goes on, the current folder after it (nothing: stays)
    const std::tuple<std::string, bool, std::optional<std::string>> rows[] = {
        {"C:", true, "C:\\"},  // the drive's root, not the drive's last current folder
        {umlaut, true, umlaut},
        {"//server/share/tools", false, std::nullopt},
        {test::SystemJoin(dir.Path(), "fehlt"), false, std::nullopt},
    };
    const fs::path before = fs::current_path();
    for (const auto& [folder, goOn, current] : rows) {
        SCOPED_TRACE(folder);
        fs::current_path(test::U8Path(dir.Path()));
        StartedFrom platform(folder);
        EXPECT_EQ(start::RunStartChecks(platform).GoOn(), goOn);
        EXPECT_EQ(test::U8String(fs::current_path()), current.value_or(dir.Path()));
    }
    fs::current_path(before);
}

}  // namespace
}  // namespace zelmo::platform

#endif
