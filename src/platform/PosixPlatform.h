#pragma once

#ifndef _WIN32

#include <sys/types.h>

#include <memory>
#include <string>

#include "platform/Platform.h"

namespace zelmo::platform {

// The lock file for a runtime folder ($XDG_RUNTIME_DIR) and user:
// "<runtimeDir>/zelmo-livetext.lock", or "/tmp/zelmo-livetext-<uid>.lock" when there is no runtime
// folder (null or empty).
std::string LockFilePathFor(const char* runtimeDir, uid_t uid);

// LockFilePathFor with this process's environment and effective user.
std::string DefaultLockFilePath();

// Takes an exclusive flock on the file at `path` (created with mode 0600 if missing) without
// waiting. The lock belongs to the open file, so a second attempt fails even within this
// process, and the kernel drops it when the process dies. Null when someone else holds it;
// throws Error naming the file when it cannot be opened or locked.
std::unique_ptr<InstanceLock> TryLockFile(const std::string& path);

// Root, or a user who may write into `folder` (judged with the effective user's rights).
bool MayWriteOrIsRoot(const std::string& folder);

class PosixPlatform final : public Platform {
  public:
    explicit PosixPlatform(std::string lockFilePath = DefaultLockFilePath());

    bool IsAdministrator() override;
    std::unique_ptr<InstanceLock> AcquireInstanceLock() override;
    std::string ProgramFolder() override;
    void SetCurrentFolder(const std::string& folder) override;

  private:
    std::string lockFilePath_;
};

}  // namespace zelmo::platform

#endif
