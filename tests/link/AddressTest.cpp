#include "link/Address.h"

#include <gtest/gtest.h>

namespace zelmo {
namespace {

TEST(IsValidIP, AcceptedAndRejectedForms) {
    struct Row {
        const char* ip;
        bool valid;
    };
    const Row rows[] = {
        {"10.0.0.1", true},    {"192.168.0.10", true}, {"255.255.255.255", true},
        {"10.0.0.0", true},    {"010.001.0.00", true},  // up to three digits, leading zeros allowed
        {"9.0.0.1", false},    {"1.2.3.4", false},     {"0.0.0.0", false},
        {"256.1.1.1", false},  {"10.256.1.1", false},  {"10.1.1.256", false},
        {"1000.1.1.1", false}, {"10.0.0.0001", false}, {"1.2.3", false},
        {"1.2.3.4.5", false},  {"10.0.0.1.", false},   {"10..0.1", false},
        {".10.0.0", false},    {"a.b.c.d", false},     {"Localhost", false},
        {"", false},           {"...", false},         {"10.0.0.-1", false},
        {"10.0.0.+1", false},  {"10.0.0. 1", false},   {" 10.0.0.1", false},
        {"10.0.0.1 ", false},  {"10.0.0.1e", false},   {"10.0.0.1,5", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ip);
        EXPECT_EQ(IsValidIP(row.ip), row.valid);
    }
}

TEST(ParsePort, OnlyWholeNumbersFrom1To65535) {
    struct Row {
        const char* text;
        std::optional<std::uint16_t> port;
    };
    const Row rows[] = {
        {"3020", 3020},
        {"1", 1},
        {"65535", 65535},
        {"03020", 3020},
        {"0", std::nullopt},
        {"65536", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"-1", std::nullopt},
        {"+80", std::nullopt},
        {" 80", std::nullopt},
        {"80 ", std::nullopt},
        {"80.5", std::nullopt},
        {"8o", std::nullopt},
        {"0x50", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(ParsePort(row.text), row.port);
    }
}

}  // namespace
}  // namespace zelmo
