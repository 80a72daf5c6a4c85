#include "component/FileReplace.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "component/Error.h"

#ifdef _WIN32
#include <windows.h>
// winbase.h maps ReplaceFile to ReplaceFileW, which would rename ours.
#undef ReplaceFile
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zelmo {

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& reason) {
    throw Error(path + ": " + reason);
}

}  // namespace

#ifndef _WIN32

namespace {

std::string Reason(int err) {
    return std::strerror(err);
}

// Asked once: it is a system call, and the process writes files under one number.
pid_t Pid() {
    static const pid_t pid = ::getpid();
    return pid;
}

// Closes and removes the temporary file unless the rename took it over. The file is created
// with the usual mode (0666 less the umask), so that a reader running as another user (a
// share, LiveText) can open the result; a name that happens to exist is skipped.
class TempFile {
  public:
    explicit TempFile(const std::string& target) {
        static std::atomic<unsigned> counter{0};
        for (int attempt = 0; attempt < 100; ++attempt) {
            name_ = target + ".zelmo-" + std::to_string(Pid()) + "-" +
                    std::to_string(counter.fetch_add(1, std::memory_order_relaxed));
            fd_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            created_ = fd_ >= 0;
            if (created_ || errno != EEXIST)
                return;
        }
    }
    ~TempFile() {
        if (fd_ >= 0)
            ::close(fd_);
        if (created_ && !committed_)
            ::unlink(name_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int fd() const { return fd_; }
    const std::string& name() const { return name_; }
    int Close() {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc;
    }
    void Committed() { committed_ = true; }

  private:
    std::string name_;
    int fd_ = -1;
    bool created_ = false;
    bool committed_ = false;
};

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

void ReplaceFile(const std::string& path, std::string_view bytes, Durability durability) {
    TempFile temp(path);
    if (temp.fd() < 0)
        Fail(path, Reason(errno));

    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(temp.fd(), p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Fail(path, Reason(errno));
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (durability == Durability::Synced && ::fsync(temp.fd()) != 0)
        Fail(path, Reason(errno));
    if (temp.Close() != 0)
        Fail(path, Reason(errno));
    if (::rename(temp.name().c_str(), path.c_str()) != 0)
        Fail(path, Reason(errno));
    temp.Committed();

    if (durability == Durability::Synced) {
        const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ReadFile(const std::string& path) {
    if (FolderExists(path))
        Fail(path, Reason(EISDIR));
    std::ifstream in(path, std::ios::binary);
    if (!in)
        Fail(path, Reason(errno));
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        Fail(path, Reason(errno));
    return data;
}

#else  // _WIN32

namespace {

std::wstring Wide(const std::string& utf8) {
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
    return w;
}

std::string Reason(DWORD err) {
    char buf[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, err, 0, buf,
                   sizeof buf, nullptr);
    std::string s(buf);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' '))
        s.pop_back();
    return s;
}

}  // namespace

void ReplaceFile(const std::string& path, std::string_view bytes, Durability durability) {
    const std::wstring target = Wide(path);
    const std::wstring temp = target + L".zelmo-" + std::to_wstring(GetCurrentProcessId());
    HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        Fail(path, Reason(GetLastError()));
    DWORD written = 0;
    const BOOL ok =
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size() && (durability != Durability::Synced || FlushFileBuffers(h));
    const DWORD err = GetLastError();
    CloseHandle(h);
    if (!ok) {
        DeleteFileW(temp.c_str());
        Fail(path, Reason(err));
    }
    // A reader (LiveText, a virus scanner) may hold the target open for a moment, and Windows
    // refuses to rename over an open file even when the reader shares deletion. Wait for it a
    // quarter of a second at most, measured rather than counted (Sleep's granularity varies),
    // so that the sender's 4 s acknowledgement wait is never at risk.
    const ULONGLONG deadline = GetTickCount64() + 250;
    for (;;) {
        if (MoveFileExW(temp.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return;
        }
        const DWORD moveErr = GetLastError();
        if (GetTickCount64() >= deadline ||
            (moveErr != ERROR_ACCESS_DENIED && moveErr != ERROR_SHARING_VIOLATION)) {
            DeleteFileW(temp.c_str());
            Fail(path, Reason(moveErr));
        }
        Sleep(5);
    }
}

bool FileExists(const std::string& path) {
    const DWORD a = GetFileAttributesW(Wide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    const DWORD a = GetFileAttributesW(Wide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(Wide(path).c_str(), std::ios::binary);
    if (!in)
        Fail(path, Reason(GetLastError()));
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

#endif

}  // namespace zelmo
