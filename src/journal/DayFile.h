#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The files a journal keeps one of per local day (JJJJ-MM-TT.log, JJJJ-MM-TT.jsonl): the
// ones in a folder, and one opened for appending whole lines.
namespace zelmo::journal {

struct DayFile {
    std::int64_t day = 0;
    std::string name;
    std::uint64_t size = 0;
};

// The daily files of that extension in `folder`, oldest day first; only names of exactly the
// daily form count, so that no other file there is ever touched. Empty when the folder cannot
// be read.
std::vector<DayFile> DayFiles(const std::string& folder, std::string_view extension);

// Removes folder/name; false when it could not.
bool RemoveDayFile(const std::string& folder, const std::string& name);

// Creates the folder and its parents; the system's reason when it cannot.
std::optional<std::string> CreateFolder(const std::string& folder);

// A file opened for appending: every Append goes to the end of the file, also when another
// process appends too, so a line is never split by another writer's.
class AppendFile {
  public:
    AppendFile() = default;
    ~AppendFile() { Close(); }
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Opens or creates the file (not its folder); the system's reason when it cannot.
    std::optional<std::string> Open(const std::string& path);
    void Close();
    bool IsOpen() const;

    // Appends `bytes` (whole lines) with one call, more only when the system takes part of
    // them; the system's reason when not all of them were written, with `written` saying how
    // many were. After a part of a line, the next append ends that line first, so that it
    // stays a broken line of its own instead of swallowing the next one.
    std::optional<std::string> Append(std::string_view bytes, std::size_t& written);

    // The file has been removed from its folder since it was opened: what is appended now is
    // lost. Never on Windows, where an open log cannot be removed.
    bool Removed() const;
    // Its size now; 0 when not open.
    std::uint64_t Size() const;

  private:
    std::optional<std::string> Write(std::string_view bytes, std::size_t& written);

    bool torn_ = false;
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

}  // namespace zelmo::journal
