#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace zelmo::test {

// folder + the system's separator + name: how the program joins control.txt, the settings
// file and the catalogues ('\\' on Windows), written here without the code under test.
inline std::string SystemJoin(std::string_view folder, std::string_view name) {
#ifdef _WIN32
    constexpr char separator = '\\';
#else
    constexpr char separator = '/';
#endif
    return std::string(folder) + separator + std::string(name);
}

// The program's paths are UTF-8; std::filesystem takes them as such only from char8_t (a
// plain string means the ANSI code page on Windows).
inline std::filesystem::path U8Path(std::string_view utf8) {
    return std::u8string(utf8.begin(), utf8.end());
}
inline std::string U8String(const std::filesystem::path& path) {
    const std::u8string s = path.u8string();
    return {s.begin(), s.end()};
}

// A fresh folder of its own for each test, so that parallel ctest runs never meet; removed
// with everything in it at the end, even after a test took away its write permission.
class TempFolder {
  public:
    TempFolder() {
        std::random_device zufall;
        std::filesystem::path p;
        do {
            p = std::filesystem::temp_directory_path() /
                ("zelmo-test-" + std::to_string(zufall()) + std::to_string(zufall()));
        } while (!std::filesystem::create_directory(p));
        path_ = U8String(p);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::permissions(U8Path(path_), std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(U8Path(path_), ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(std::string_view name) const { return path_ + "/" + std::string(name); }
    std::string SystemFile(std::string_view name) const { return SystemJoin(path_, name); }

    // Sorted, so that stray temporary files show as well as missing ones.
    std::vector<std::string> Entries(std::string_view folder = {}) const {
        std::vector<std::string> names;
        for (const auto& e :
             std::filesystem::directory_iterator(U8Path(folder.empty() ? path_ : File(folder))))
            names.push_back(U8String(e.path().filename()));
        std::sort(names.begin(), names.end());
        return names;
    }

    // Plain streams: independent of the file code under test.
    std::string Read(std::string_view name) const {
        std::ifstream in(U8Path(File(name)), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void Write(std::string_view name, std::string_view bytes) const {
        std::ofstream(U8Path(File(name)), std::ios::binary) << bytes;
    }

  private:
    std::string path_;
};

}  // namespace zelmo::test
