#ifdef _WIN32

// windows.h first: the shell header builds on it.
#include <windows.h>

#include <shlobj.h>

#include <string>

#include "component/Error.h"
#include "platform/Platform.h"

namespace zelmo::platform {

namespace {

std::string Utf8(const std::wstring& wide) {
    if (wide.empty())
        return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), size,
                          nullptr, nullptr);
    return out;
}

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty())
        return {};
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
    return out;
}

[[noreturn]] void Fail(const std::string& what, DWORD code) {
    throw Error(what + ": system error " + std::to_string(code));
}

class MutexLock final : public InstanceLock {
  public:
    explicit MutexLock(HANDLE mutex) : mutex_(mutex) {}
    ~MutexLock() override { ::CloseHandle(mutex_); }

  private:
    HANDLE mutex_;
};

class WindowsPlatform final : public Platform {
  public:
    // The portable layout only: the operators keep the program in a folder of its own.
    Folders FoldersInUse() override { return PortableFolders(ProgramFolder()); }

    bool IsAdministrator(const std::string&) override { return ::IsUserAnAdmin() != FALSE; }

    // A named mutex per user in the session's namespace: it vanishes with the last handle,
    // which the system closes when a process dies.
    std::unique_ptr<InstanceLock> AcquireInstanceLock() override {
        wchar_t user[257] = {};
        DWORD length = 257;
        if (!::GetUserNameW(user, &length))
            Fail("GetUserNameW", ::GetLastError());
        const std::wstring name = std::wstring(L"Local\\Zelmo-LiveText-") + user;
        HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name.c_str());
        if (mutex == nullptr)
            Fail("CreateMutexW", ::GetLastError());
        if (::GetLastError() == ERROR_ALREADY_EXISTS) {
            ::CloseHandle(mutex);
            return nullptr;
        }
        return std::make_unique<MutexLock>(mutex);
    }

    std::string ProgramFolder() override {
        std::wstring buffer(MAX_PATH, L'\0');
        for (;;) {
            const DWORD n =
                ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
            if (n == 0)
                Fail("GetModuleFileNameW", ::GetLastError());
            if (n < buffer.size()) {
                buffer.resize(n);
                return FolderOfPath(Utf8(buffer));
            }
            buffer.resize(buffer.size() * 2);
        }
    }

    // The folder carries its drive, so this sets the current drive as well. "D:" alone would
    // mean the drive's own current directory, hence the root of a bare drive.
    void SetCurrentFolder(const std::string& folder) override {
        std::string target = folder;
        if (target.size() == 2 && target[1] == ':')
            target += '\\';
        if (!::SetCurrentDirectoryW(Wide(target).c_str()))
            Fail(target, ::GetLastError());
    }
};

}  // namespace

std::unique_ptr<Platform> CreateSystemPlatform() {
    return std::make_unique<WindowsPlatform>();
}

}  // namespace zelmo::platform

#endif
