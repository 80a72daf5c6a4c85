#include "journal/DayFile.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "journal/LocalTime.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace zelmo::journal {

namespace {

// Paths are UTF-8; std::filesystem takes them as such only from char8_t (a plain string
// means the ANSI code page on Windows).
std::filesystem::path FsPath(const std::string& utf8) {
    return std::u8string(utf8.begin(), utf8.end());
}

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string s = path.u8string();
    return {s.begin(), s.end()};
}

std::string Reason(int error) {
    return std::system_category().message(error);
}

}  // namespace

std::vector<DayFile> DayFiles(const std::string& folder, std::string_view extension) {
    std::vector<DayFile> files;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(FsPath(folder), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = Utf8(it->path().filename());
        const auto day = TagAusDateiname(name, extension);
        std::error_code sizeError;
        if (!day || !it->is_regular_file(sizeError))
            continue;
        const std::uintmax_t size = it->file_size(sizeError);
        files.push_back({*day, name, sizeError ? 0 : static_cast<std::uint64_t>(size)});
    }
    std::sort(files.begin(), files.end(),
              [](const DayFile& a, const DayFile& b) { return a.day < b.day; });
    return files;
}

bool RemoveDayFile(const std::string& folder, const std::string& name) {
    std::error_code ec;
    return std::filesystem::remove(FsPath(folder) / FsPath(name), ec) && !ec;
}

std::optional<std::string> CreateFolder(const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(FsPath(folder), ec);
    if (ec)
        return ec.message();
    return std::nullopt;
}

std::optional<std::string> AppendFile::Append(std::string_view bytes, std::size_t& written) {
    written = 0;
    if (torn_) {
        std::size_t ended = 0;
        if (auto reason = Write("\n", ended))
            return reason;
        torn_ = false;
    }
    auto reason = Write(bytes, written);
    torn_ = reason && written > 0;
    return reason;
}

#ifndef _WIN32

std::optional<std::string> AppendFile::Open(const std::string& path) {
    Close();
    torn_ = false;
    fd_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
        return Reason(errno);
    return std::nullopt;
}

void AppendFile::Close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool AppendFile::IsOpen() const {
    return fd_ >= 0;
}

std::optional<std::string> AppendFile::Write(std::string_view bytes, std::size_t& written) {
    written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Reason(errno);
        }
        written += static_cast<std::size_t>(n);
    }
    return std::nullopt;
}

bool AppendFile::Removed() const {
    struct stat st {};
    return fd_ >= 0 && ::fstat(fd_, &st) == 0 && st.st_nlink == 0;
}

std::uint64_t AppendFile::Size() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0)
        return 0;
    return static_cast<std::uint64_t>(st.st_size);
}

#else  // _WIN32

std::optional<std::string> AppendFile::Open(const std::string& path) {
    Close();
    torn_ = false;
    // Appending only: each write goes to the end of the file as one piece. Readers and other
    // writers may share it; removal may not, so a log in use stays where it is.
    HANDLE h = CreateFileW(FsPath(path).c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return Reason(static_cast<int>(GetLastError()));
    handle_ = h;
    return std::nullopt;
}

void AppendFile::Close() {
    if (handle_ != nullptr)
        CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
}

bool AppendFile::IsOpen() const {
    return handle_ != nullptr;
}

std::optional<std::string> AppendFile::Write(std::string_view bytes, std::size_t& written) {
    written = 0;
    while (written < bytes.size()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1u << 30));
        DWORD n = 0;
        if (!WriteFile(static_cast<HANDLE>(handle_), bytes.data() + written, chunk, &n, nullptr))
            return Reason(static_cast<int>(GetLastError()));
        if (n == 0)
            return Reason(ERROR_DISK_FULL);
        written += n;
    }
    return std::nullopt;
}

bool AppendFile::Removed() const {
    return false;
}

std::uint64_t AppendFile::Size() const {
    LARGE_INTEGER size{};
    if (handle_ == nullptr || !GetFileSizeEx(static_cast<HANDLE>(handle_), &size))
        return 0;
    return static_cast<std::uint64_t>(size.QuadPart);
}

#endif

}  // namespace zelmo::journal
