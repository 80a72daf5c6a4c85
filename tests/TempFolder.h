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
        path_ = p.string();
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(std::string_view name) const { return path_ + "/" + std::string(name); }

    // Sorted, so that stray temporary files show as well as missing ones.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path_))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Plain streams: independent of the file code under test.
    std::string Read(std::string_view name) const {
        std::ifstream in(File(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void Write(std::string_view name, std::string_view bytes) const {
        std::ofstream(File(name), std::ios::binary) << bytes;
    }

  private:
    std::string path_;
};

}  // namespace zelmo::test
