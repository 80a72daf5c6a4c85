#pragma once

#include <string>
#include <string_view>

namespace zelmo {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// folder + separator + name, joined without normalisation (a trailing separator in the
// folder gives a doubled one, as the file system accepts). Used where the program joins with
// a backslash on Windows: control.txt, the settings file, the catalogues.
inline std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string out;
    out.reserve(folder.size() + 1 + name.size());
    out.append(folder).push_back(kPathSeparator);
    out.append(name);
    return out;
}

// folder + "/" + name: the data and CSV files keep the forward slash on every platform.
inline std::string JoinSlash(std::string_view folder, std::string_view name) {
    std::string out;
    out.reserve(folder.size() + 1 + name.size());
    out.append(folder).push_back('/');
    out.append(name);
    return out;
}

}  // namespace zelmo
