#include "link/Address.h"

#include <gtest/gtest.h>

namespace zelmo {

TEST(IsValidIP, AcceptedAndRejectedForms) {
    // Up to three digits per part, leading zeros allowed; the first part from 10.
    for (const char* ip : {"10.0.0.1", "255.255.255.255", "010.001.0.00"})
        EXPECT_TRUE(IsValidIP(ip)) << ip;
    for (const char* ip :
         {"9.0.0.1", "256.1.1.1", "10.1.1.256", "1000.1.1.1", "10.0.0.0001", "1.2.3", "10.0.0.1.5",
          "10.0.0.1.", "10..0.1", "a.b.c.d", "", "10.0.0.-1", " 10.0.0.1", "10.0.0.1e"})
        EXPECT_FALSE(IsValidIP(ip)) << ip;
}

TEST(ParsePort, OnlyWholeNumbersFrom1To65535) {
    const std::pair<const char*, std::optional<std::uint16_t>> rows[] = {
        {"3020", 3020},        {"65535", 65535},        {"03020", 3020},
        {"0", std::nullopt},   {"65536", std::nullopt}, {"99999999999999999999999", std::nullopt},
        {"", std::nullopt},    {"-1", std::nullopt},    {"+80", std::nullopt},
        {" 80", std::nullopt}, {"80 ", std::nullopt},   {"0x50", std::nullopt},
    };
    for (const auto& [text, port] : rows)
        EXPECT_EQ(ParsePort(text), port) << text;
}

}  // namespace zelmo
