#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/Folders.h"

// The operating-system services the start sequence needs, behind one small interface so that
// tests can play administrator, second instance or network share without touching the system.
namespace zelmo::platform {

// Proof that this process is the only running instance for the current user. The claim ends
// when the object is destroyed, and also when the process dies, so a crashed instance never
// keeps the next one from starting.
class InstanceLock {
  public:
    InstanceLock() = default;
    virtual ~InstanceLock() = default;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
};

class Platform {
  public:
    virtual ~Platform() = default;

    // Where the settings, catalogues and logs are (Folders.h). Throws Error.
    virtual Folders FoldersInUse() = 0;

    // Whether the user may run the program: Windows asks for administrator rights; POSIX
    // whether the settings folder in use may be written, the capability the test is there for
    // (a missing one is made first). Throws Error when the system cannot answer.
    virtual bool IsAdministrator(const std::string& settingsFolder) = 0;

    // Claims the single-instance lock. Null when another instance holds it; throws Error when
    // the lock cannot be set up at all (an instance test that was not made is not passed).
    virtual std::unique_ptr<InstanceLock> AcquireInstanceLock() = 0;

    // The folder of the running executable without a trailing separator. Throws Error.
    virtual std::string ProgramFolder() = 0;

    // Makes `folder` the current directory (on Windows with its drive). Throws Error.
    virtual void SetCurrentFolder(const std::string& folder) = 0;
};

// The implementation for the system the program runs on.
std::unique_ptr<Platform> CreateSystemPlatform();

// The folder part of an executable's path: everything before the last separator ('/', and
// '\\' on Windows). "/opt/zelmo/zelmo-livetext" -> "/opt/zelmo"; "/zelmo-livetext" -> "".
std::string FolderOfPath(std::string_view executablePath);

}  // namespace zelmo::platform
