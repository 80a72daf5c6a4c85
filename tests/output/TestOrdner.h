#pragma once

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace zelmo::test {

// A fresh temporary folder, removed with everything in it at the end of the test.
class TestOrdner {
  public:
    TestOrdner() {
        std::string muster =
            (std::filesystem::temp_directory_path() / "zelmo-test-XXXXXX").string();
        if (::mkdtemp(muster.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        pfad_ = muster;
    }
    ~TestOrdner() {
        std::error_code ec;
        std::filesystem::remove_all(pfad_, ec);
    }
    TestOrdner(const TestOrdner&) = delete;
    TestOrdner& operator=(const TestOrdner&) = delete;

    const std::string& Pfad() const { return pfad_; }
    std::string Datei(const std::string& name) const { return pfad_ + "/" + name; }

    // Names of the entries in the folder, sorted.
    std::vector<std::string> Inhalt() const {
        std::vector<std::string> namen;
        for (const auto& e : std::filesystem::directory_iterator(pfad_)) {
            namen.push_back(e.path().filename().string());
        }
        std::sort(namen.begin(), namen.end());
        return namen;
    }

  private:
    std::string pfad_;
};

inline std::string Lesen(const std::string& pfad) {
    std::ifstream in(pfad, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void Schreiben(const std::string& pfad, const std::string& bytes) {
    std::ofstream out(pfad, std::ios::binary);
    out << bytes;
}

}  // namespace zelmo::test
