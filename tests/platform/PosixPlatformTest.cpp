#ifndef _WIN32

#include "platform/PosixPlatform.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "TempFolder.h"
#include "component/Error.h"
#include "component/FileReplace.h"

namespace zelmo::platform {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

TEST(PosixPaths, FolderOfPathAndLockFilePath) {
    EXPECT_EQ(FolderOfPath("/opt/zelmo/zelmo-livetext"), "/opt/zelmo");
    EXPECT_EQ(FolderOfPath("/zelmo-livetext"), "");
    EXPECT_EQ(FolderOfPath("zelmo-livetext"), "");
    EXPECT_EQ(LockFilePathFor("/run/user/1000", 1000), "/run/user/1000/zelmo-livetext.lock");
    EXPECT_EQ(LockFilePathFor(nullptr, 1000), "/tmp/zelmo-livetext-1000.lock");
    EXPECT_EQ(LockFilePathFor("", 42), "/tmp/zelmo-livetext-42.lock");
}

TEST(PosixLock, ExclusiveUntilReleasedEvenWithinTheProcess) {
    const TempFolder dir;
    auto first = PosixPlatform(dir.File("instance.lock")).AcquireInstanceLock();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(PosixPlatform(dir.File("instance.lock")).AcquireInstanceLock(), nullptr);
    EXPECT_NE(TryLockFile(dir.File("unrelated.lock")), nullptr);
    first.reset();
    EXPECT_NE(TryLockFile(dir.File("instance.lock")), nullptr);
    try {
        TryLockFile(dir.File("fehlt/instance.lock"));
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  dir.File("fehlt/instance.lock") + ": No such file or directory");
    }
}

// A process that dies while holding the lock must not keep the next instance out.
TEST(PosixLock, LockOfAKilledProcessIsReleased) {
    const TempFolder dir;
    const std::string path = dir.File("instance.lock");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        try {
            if (const auto lock = TryLockFile(path))
                ::raise(SIGKILL);
        } catch (...) {
        }
        ::_exit(3);  // never past the fork: the rest of the suite is the parent's
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;  // it held the lock
    EXPECT_NE(TryLockFile(path), nullptr);
}

TEST(PosixPlatform, ProgramAndCurrentFolder) {
    const TempFolder dir;
    PosixPlatform platform(dir.File("x.lock"));
    EXPECT_TRUE(FileExists(platform.ProgramFolder() + "/zelmo_test_platform"));
    const fs::path before = fs::current_path();
    platform.SetCurrentFolder(dir.Path());
    EXPECT_EQ(fs::current_path(), fs::canonical(dir.Path()));
    fs::current_path(before);
    EXPECT_THROW(platform.SetCurrentFolder(dir.File("fehlt")), Error);
    EXPECT_EQ(fs::current_path(), before);
}

// The administrator test: the settings folder in use may be written, made first where missing
// (0700, parents too); one that cannot be made or written fails it.
TEST(PosixPlatform, AdministratorMeansTheSettingsFolderCanBeWritten) {
    const TempFolder dir;
    PosixPlatform platform(dir.File("x.lock"));
    dir.Write("datei", "");
    const bool root = ::geteuid() == 0;
    fs::create_directory(dir.File("nur-lesen"));
    fs::permissions(dir.File("nur-lesen"), fs::perms::owner_read | fs::perms::owner_exec);
    // folder, whether it passes (as a user, as root)
    const std::tuple<std::string, bool> rows[] = {
        {dir.Path(), true},
        {dir.File("neu/.config/zelmo-livetext"), true},
        {dir.File("datei/zelmo-livetext"), false},  // a file stands where a folder must be
        {dir.File("datei"), false},
        {dir.File("nur-lesen"), root},
        {dir.File("nur-lesen/zelmo-livetext"), root},
    };
    for (const auto& [folder, passes] : rows) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(platform.IsAdministrator(folder), passes);
    }
    EXPECT_EQ(fs::status(dir.File("neu/.config")).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(dir.File("neu/.config/zelmo-livetext")).permissions(),
              fs::perms::owner_all);
}

// The facts come from the environment; the package's data folder is found beside the program's.
TEST(PosixPlatform, FolderFactsFromTheEnvironment) {
    const TempFolder dir;
    fs::create_directories(dir.File("usr/bin"));
    ::setenv("XDG_CONFIG_HOME", "/c", 1);
    ::unsetenv("XDG_STATE_HOME");
    ::setenv("HOME", "/home/anna", 1);
    FolderFacts facts = SystemFolderFacts(dir.File("usr/bin"));
    EXPECT_TRUE(facts.programFolderWritable);
    EXPECT_EQ(facts.packageData, std::nullopt);
    EXPECT_EQ(facts.xdgConfigHome, "/c");
    EXPECT_EQ(facts.xdgStateHome, std::nullopt);
    EXPECT_EQ(facts.home, "/home/anna");

    fs::create_directories(dir.File("usr/share/zelmo-livetext"));
    ::setenv("HOME", "relativ", 1);  // no usable HOME: the user's entry
    facts = SystemFolderFacts(dir.File("usr/bin"));
    EXPECT_EQ(facts.packageData, dir.File("usr/share/zelmo-livetext"));
    EXPECT_TRUE(facts.home && facts.home->starts_with('/')) << facts.home.value_or("-");
}

}  // namespace
}  // namespace zelmo::platform

#endif
