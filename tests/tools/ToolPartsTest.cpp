// The rules inside the tool that need no process: addresses.

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "Endpoint.h"

namespace zelmo::tool {
namespace {

// The port itself follows ParsePort; these are the host's part and the split.
TEST(Endpoint, HostAndPort) {
    const std::tuple<std::string, bool, std::string> rows[] = {
        // text, port 0 allowed, host and text shown or "-" when rejected
        {"[::1]:65535", false, "::1 [::1]:65535"},
        {"127.0.0.1:0", true, "127.0.0.1 127.0.0.1:0"},
        {"127.0.0.1:0", false, "-"},
        {":3020", false, "-"},
        {"::1:3020", false, "-"},
        {"host name:3020", false, "-"},
    };
    for (const auto& [text, allowZero, want] : rows) {
        SCOPED_TRACE(text);
        const auto endpoint = ParseEndpoint(text, allowZero);
        EXPECT_EQ(endpoint ? endpoint->host + " " + endpoint->Text() : "-", want);
    }
}

}  // namespace
}  // namespace zelmo::tool
