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

TEST(WindowsPaths, FolderOfPathTakesBothSeparators) {
    const std::pair<const char*, const char*> rows[] = {
        {"C:\\Programme\\Zelmo-Software\\Zelmo-Livetext.exe", "C:\\Programme\\Zelmo-Software"},
        {"\\\\server\\share\\tools\\Zelmo-Livetext.exe", "\\\\server\\share\\tools"},
        {"D:/Tools/Zelmo-Livetext.exe", "D:/Tools"},
        {"C:\\Prüfung\\a/b.exe", "C:\\Prüfung\\a"},
        {"C:\\Zelmo-Livetext.exe", "C:"},
        {"Zelmo-Livetext.exe", ""},
    };
    for (const auto& [path, folder] : rows) {
        SCOPED_TRACE(path);
        EXPECT_EQ(FolderOfPath(path), folder);
    }
}

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

TEST(WindowsPlatform, AdministratorAndProgramFolder) {
    const auto platform = CreateSystemPlatform();
    EXPECT_EQ(platform->IsAdministrator(), InAdministratorsGroup());
    const std::string folder = platform->ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_TRUE(FileExists(folder + "\\zelmo_test_platform.exe")) << folder;
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
    if (mutex != nullptr)
        CloseHandle(mutex);

    first.reset();
    EXPECT_EQ(OpenMutexW(SYNCHRONIZE, FALSE, name.c_str()), nullptr);
    EXPECT_NE(platform->AcquireInstanceLock(), nullptr);
}

// The system's platform, started from a folder of the test's choosing.
class StartedFrom final : public Platform {
  public:
    explicit StartedFrom(std::string folder) : folder_(std::move(folder)) {}
    bool IsAdministrator() override { return true; }
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
    struct Row {
        std::string folder;
        bool goOn;
        std::optional<std::string> current;  // nothing: the current folder stays
    };
    const Row rows[] = {
        {"C:", true, "C:\\"},  // the drive's root, not the drive's last current folder
        {"C:\\windows", true, "C:\\windows"},
        {umlaut, true, umlaut},
        {"\\\\server\\share\\tools", false, std::nullopt},
        {"//server/share/tools", false, std::nullopt},
        {test::SystemJoin(dir.Path(), "fehlt"), false, std::nullopt},
    };
    const fs::path before = fs::current_path();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.folder);
        fs::current_path(test::U8Path(dir.Path()));
        StartedFrom platform(row.folder);
        const start::StartResult result = start::RunStartChecks(platform);
        EXPECT_EQ(result.GoOn(), row.goOn);
        EXPECT_EQ(test::U8String(fs::current_path()), row.current.value_or(dir.Path()));
    }
    fs::current_path(before);
}

}  // namespace
}  // namespace zelmo::platform

#endif
