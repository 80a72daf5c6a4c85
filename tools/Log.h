#pragma once

#include <string>
#include <string_view>

namespace zelmo::tool {

// The tool's log on standard output: one line per entry, each behind a short prefix
// ("telegramm: ", "client: ", ...). Lines are collected and written by Flush, so that the
// lines of one telegram cost one write, made after its acknowledgement has gone out.
class Log {
  public:
    ~Log() { Flush(); }

    // Control characters become blanks, so that an entry stays one line; an entry longer than
    // kMaxChars characters (a garbled run of binary bytes) is cut, with a mark.
    void Line(std::string_view prefix, std::string_view text);
    void Flush();

    static constexpr std::size_t kMaxChars = 500;

  private:
    std::string pending_;
};

}  // namespace zelmo::tool
