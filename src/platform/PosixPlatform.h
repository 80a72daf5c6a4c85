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

// Whether the effective user may write into `folder`, which is made first where it is missing
// (with its missing parents, mode 0700 as the XDG rules ask for a user's own folders).
bool MakeWritableFolder(const std::string& folder);

// The facts the folder choice depends on, from this process's environment and effective user.
FolderFacts SystemFolderFacts(const std::string& programFolder);

class PosixPlatform final : public Platform {
  public:
    explicit PosixPlatform(std::string lockFilePath = DefaultLockFilePath());

    Folders FoldersInUse() override;
    bool IsAdministrator(const std::string& settingsFolder) override;
    std::unique_ptr<InstanceLock> AcquireInstanceLock() override;
    std::string ProgramFolder() override;
    void SetCurrentFolder(const std::string& folder) override;

  private:
    std::string lockFilePath_;
};

}  // namespace zelmo::platform

#endif
