#ifndef _WIN32

#include "platform/PosixPlatform.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "component/Error.h"
#include "component/FileReplace.h"

// Where the package's data folder lies seen from the executable's, as the build installs it.
#ifndef ZELMO_PACKAGE_DATA_FROM_PROGRAM
#define ZELMO_PACKAGE_DATA_FROM_PROGRAM "../share/zelmo-livetext"
#endif

namespace zelmo::platform {

namespace {

[[noreturn]] void Fail(const std::string& what, int err) {
    throw Error(what + ": " + std::strerror(err));
}

class FileLock final : public InstanceLock {
  public:
    explicit FileLock(int fd) : fd_(fd) {}
    ~FileLock() override { ::close(fd_); }  // closing the last descriptor releases the flock

  private:
    int fd_;
};

}  // namespace

std::string LockFilePathFor(const char* runtimeDir, uid_t uid) {
    if (runtimeDir != nullptr && *runtimeDir != '\0') {
        return std::string(runtimeDir) + "/zelmo-livetext.lock";
    }
    return "/tmp/zelmo-livetext-" + std::to_string(uid) + ".lock";
}

std::string DefaultLockFilePath() {
    return LockFilePathFor(std::getenv("XDG_RUNTIME_DIR"), ::geteuid());
}

std::unique_ptr<InstanceLock> TryLockFile(const std::string& path) {
    // O_NOFOLLOW: in the shared /tmp another user must not be able to point us elsewhere.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        Fail(path, errno);
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK)
            return nullptr;
        Fail(path, err);
    }
    return std::make_unique<FileLock>(fd);
}

namespace {

bool MayWrite(const std::string& folder) {
    const std::string probe = folder.empty() ? "/" : folder;
    return ::faccessat(AT_FDCWD, probe.c_str(), W_OK, AT_EACCESS) == 0;
}

std::optional<std::string> Variable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr)
        return std::nullopt;
    return std::string(value);
}

std::optional<std::string> HomeFolder() {
    if (auto home = Variable("HOME"); home && home->starts_with('/'))
        return home;
    // A service or `env -i` may start the program without a usable HOME.
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::string buffer(size > 0 ? static_cast<std::size_t>(size) : 16384, '\0');
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr)
        return std::nullopt;
    return std::string(found->pw_dir);
}

}  // namespace

bool MakeWritableFolder(const std::string& folder) {
    // Each missing folder from the top down; one that appears meanwhile is as good.
    for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string part = folder.substr(0, end);
        if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (end == std::string::npos)
            break;
    }
    return FolderExists(folder.empty() ? "/" : folder) && MayWrite(folder);
}

FolderFacts SystemFolderFacts(const std::string& programFolder) {
    FolderFacts facts;
    facts.programFolder = programFolder;
    facts.programFolderWritable = MayWrite(programFolder);
    const std::string data = FolderFrom(programFolder, ZELMO_PACKAGE_DATA_FROM_PROGRAM);
    if (FolderExists(data))
        facts.packageData = data;
    facts.xdgConfigHome = Variable("XDG_CONFIG_HOME");
    facts.xdgStateHome = Variable("XDG_STATE_HOME");
    facts.home = HomeFolder();
    return facts;
}

PosixPlatform::PosixPlatform(std::string lockFilePath) : lockFilePath_(std::move(lockFilePath)) {}

Folders PosixPlatform::FoldersInUse() {
    return ChooseFolders(SystemFolderFacts(ProgramFolder()));
}

bool PosixPlatform::IsAdministrator(const std::string& settingsFolder) {
    return MakeWritableFolder(settingsFolder);
}

std::unique_ptr<InstanceLock> PosixPlatform::AcquireInstanceLock() {
    return TryLockFile(lockFilePath_);
}

std::string PosixPlatform::ProgramFolder() {
    std::string buffer(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0)
            Fail("/proc/self/exe", errno);
        if (static_cast<std::size_t>(n) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(n));
            return FolderOfPath(buffer);
        }
        buffer.resize(buffer.size() * 2);  // possibly cut off: try again with more room
    }
}

void PosixPlatform::SetCurrentFolder(const std::string& folder) {
    const std::string target = folder.empty() ? "/" : folder;
    if (::chdir(target.c_str()) != 0)
        Fail(target, errno);
}

std::unique_ptr<Platform> CreateSystemPlatform() {
    return std::make_unique<PosixPlatform>();
}

}  // namespace zelmo::platform

#endif
