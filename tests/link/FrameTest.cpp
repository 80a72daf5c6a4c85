#include "link/Frame.h"

#include <gtest/gtest.h>

namespace zelmo {
namespace {

TEST(EncodeFrame, PrefixCountsCodePageBytes) {
    struct Row {
        std::string payload;
        std::string frame;
    };
    const Row rows[] = {
        {"OK", "0000000012OK"},
        {"", "0000000010"},
        {"halo", "0000000014halo"},
        {"HalloÄüßÖ", "0000000019Hallo\xC4\xFC\xDF\xD6"},
        {"日本", "0000000012??"},  // outside the code page: one '?' byte each
        {"{\"a\":\"€\"}", "0000000019{\"a\":\"\x80\"}"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.payload);
        EXPECT_EQ(EncodeFrame(row.payload), row.frame);
    }
}

TEST(EncodeFrame, LargePayload) {
    const std::string frame = EncodeFrame(std::string(200000, 'a'));
    ASSERT_EQ(frame.size(), 200010u);
    EXPECT_EQ(frame.substr(0, 11), "0000200010a");
    EXPECT_EQ(frame.back(), 'a');
}

}  // namespace
}  // namespace zelmo
