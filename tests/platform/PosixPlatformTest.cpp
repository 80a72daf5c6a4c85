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

TEST(PosixPlatform, AdministratorMeansRootOrWriteAccessProgramAndCurrentFolder) {
    const TempFolder dir;
    PosixPlatform platform(dir.File("x.lock"));
    EXPECT_TRUE(FileExists(platform.ProgramFolder() + "/zelmo_test_platform"));
    const fs::path before = fs::current_path();
    platform.SetCurrentFolder(dir.Path());
    EXPECT_EQ(fs::current_path(), fs::canonical(dir.Path()));
    fs::current_path(before);
    EXPECT_THROW(platform.SetCurrentFolder(dir.File("fehlt")), Error);
    EXPECT_EQ(fs::current_path(), before);
    EXPECT_TRUE(MayWriteOrIsRoot(dir.Path()));
    fs::permissions(dir.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(MayWriteOrIsRoot(dir.Path()), ::geteuid() == 0);
    EXPECT_EQ(MayWriteOrIsRoot(dir.File("fehlt")), ::geteuid() == 0);
}

}  // namespace
}  // namespace zelmo::platform

#endif
