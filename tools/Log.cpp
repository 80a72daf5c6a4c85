#include "Log.h"

#include <cstdio>

#include "component/CodePage.h"

namespace zelmo::tool {

void Log::Line(std::string_view prefix, std::string_view text) {
    const std::string_view shown = codepage::LeftChars(text, kMaxChars);
    pending_ += prefix;
    for (const char c : shown)
        pending_ += (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? ' ' : c;
    if (shown.size() < text.size())
        pending_ += " … (" + std::to_string(codepage::CharCount(text)) + " Zeichen)";
    pending_ += '\n';
}

void Log::Flush() {
    if (pending_.empty())
        return;
    std::fwrite(pending_.data(), 1, pending_.size(), stdout);
    std::fflush(stdout);
    pending_.clear();
}

}  // namespace zelmo::tool
