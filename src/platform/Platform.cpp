#include "platform/Platform.h"

namespace zelmo::platform {

std::string FolderOfPath(std::string_view executablePath) {
#ifdef _WIN32
    const auto cut = executablePath.find_last_of("\\/");
#else
    const auto cut = executablePath.find_last_of('/');
#endif
    if (cut == std::string_view::npos)
        return {};
    return std::string(executablePath.substr(0, cut));
}

}  // namespace zelmo::platform
