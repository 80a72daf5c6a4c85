#ifndef _WIN32

#include "platform/PosixPlatform.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "component/Error.h"

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

bool MayWriteOrIsRoot(const std::string& folder) {
    if (::geteuid() == 0)
        return true;
    const std::string probe = folder.empty() ? "/" : folder;
    return ::faccessat(AT_FDCWD, probe.c_str(), W_OK, AT_EACCESS) == 0;
}

PosixPlatform::PosixPlatform(std::string lockFilePath) : lockFilePath_(std::move(lockFilePath)) {}

bool PosixPlatform::IsAdministrator() {
    return MayWriteOrIsRoot(ProgramFolder());
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
