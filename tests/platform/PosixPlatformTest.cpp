#ifndef _WIN32

#include "platform/PosixPlatform.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "component/Error.h"
#include "component/FileReplace.h"

namespace zelmo::platform {
namespace {

namespace fs = std::filesystem;

class PosixPlatformTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("zelmo-platform-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::owner_all);
        fs::remove_all(dir_);
    }
    std::string Path(const char* name) const { return (dir_ / name).string(); }
    fs::path dir_;
};

TEST(FolderOfPathTest, CutsAtTheLastSeparator) {
    struct Row {
        const char* path;
        const char* folder;
    };
    const Row rows[] = {
        {"/opt/zelmo/zelmo-livetext", "/opt/zelmo"},
        {"/zelmo-livetext", ""},
        {"/a b/ü/x", "/a b/ü"},
        {"zelmo-livetext", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(FolderOfPath(row.path), row.folder);
    }
}

TEST(LockFilePathTest, RuntimeFolderElsePerUserFileInTmp) {
    EXPECT_EQ(LockFilePathFor("/run/user/1000", 1000), "/run/user/1000/zelmo-livetext.lock");
    EXPECT_EQ(LockFilePathFor(nullptr, 1000), "/tmp/zelmo-livetext-1000.lock");
    EXPECT_EQ(LockFilePathFor("", 42), "/tmp/zelmo-livetext-42.lock");
}

TEST_F(PosixPlatformTest, LockIsExclusiveUntilReleased) {
    const std::string path = Path("instance.lock");
    auto first = TryLockFile(path);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(TryLockFile(path), nullptr);  // a second open file, same process
    EXPECT_EQ(TryLockFile(path), nullptr);  // the failed attempt did not disturb the holder
    first.reset();
    auto again = TryLockFile(path);
    EXPECT_NE(again, nullptr);
}

TEST_F(PosixPlatformTest, PlatformUsesTheInjectedLockFile) {
    PosixPlatform platform(Path("other.lock"));
    auto held = platform.AcquireInstanceLock();
    ASSERT_NE(held, nullptr);
    EXPECT_TRUE(FileExists(Path("other.lock")));
    EXPECT_EQ(PosixPlatform(Path("other.lock")).AcquireInstanceLock(), nullptr);
    EXPECT_NE(TryLockFile(Path("unrelated.lock")), nullptr);
}

// A process that dies while holding the lock must not keep the next instance out.
TEST_F(PosixPlatformTest, LockOfAKilledProcessIsReleased) {
    const std::string path = Path("instance.lock");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        char state = 'E';
        std::unique_ptr<InstanceLock> lock;
        try {
            lock = TryLockFile(path);
            state = lock ? 'L' : 'F';
        } catch (const Error&) {
        }
        if (::write(ready[1], &state, 1) != 1 || !lock)
            ::_exit(2);
        ::pause();  // hold the lock until killed
        ::_exit(0);
    }
    ::close(ready[1]);
    char state = 0;
    ASSERT_EQ(::read(ready[0], &state, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(state, 'L');

    EXPECT_EQ(TryLockFile(path), nullptr);

    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_NE(TryLockFile(path), nullptr);
}

TEST_F(PosixPlatformTest, LockFileThatCannotBeMadeIsAnError) {
    const std::string path = Path("fehlt") + "/instance.lock";
    try {
        TryLockFile(path);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), path + ": No such file or directory");
    }
}

TEST_F(PosixPlatformTest, AdministratorMeansRootOrWriteAccessToTheFolder) {
    EXPECT_TRUE(MayWriteOrIsRoot(dir_.string()));
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(MayWriteOrIsRoot(dir_.string()), ::geteuid() == 0);
    EXPECT_EQ(MayWriteOrIsRoot(Path("fehlt")), ::geteuid() == 0);
}

TEST_F(PosixPlatformTest, ProgramFolderHoldsTheRunningExecutable) {
    PosixPlatform platform(Path("x.lock"));
    const std::string folder = platform.ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '/');
    EXPECT_TRUE(FileExists(folder + "/zelmo_test_platform"));
}

TEST_F(PosixPlatformTest, SetCurrentFolderChangesDirectoryOrFails) {
    const fs::path before = fs::current_path();
    PosixPlatform platform(Path("x.lock"));
    platform.SetCurrentFolder(dir_.string());
    EXPECT_EQ(fs::current_path(), fs::canonical(dir_));
    fs::current_path(before);

    EXPECT_THROW(platform.SetCurrentFolder(Path("fehlt")), Error);
    EXPECT_EQ(fs::current_path(), before);
}

}  // namespace
}  // namespace zelmo::platform

#endif
