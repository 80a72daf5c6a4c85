#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "link/FrameReader.h"

namespace zelmo {
namespace {

using Kind = FrameReader::Kind;

struct Out {
    Kind kind;
    std::string bytes;
    std::size_t chunk;  // index of the chunk whose arrival completed the event

    friend bool operator==(const Out&, const Out&) = default;
};

std::ostream& operator<<(std::ostream& os, const Out& o) {
    const char* kind = o.kind == Kind::Telegram ? "T" : o.kind == Kind::PeerAck ? "A" : "G";
    return os << kind << "@" << o.chunk << "(" << o.bytes.substr(0, 40)
              << (o.bytes.size() > 40 ? "...)" : ")");
}

Out T(std::string bytes, std::size_t chunk) {
    return {Kind::Telegram, std::move(bytes), chunk};
}
Out A(std::size_t chunk) {
    return {Kind::PeerAck, "0000000012OK", chunk};
}
Out G(std::string bytes, std::size_t chunk) {
    return {Kind::Garbled, std::move(bytes), chunk};
}

// Every chunk arrives at once; an empty chunk stands for the quiet time passing, as it does
// again after the last chunk (an event then counts as completed by chunk number chunks.size()).
// Each row also runs with every chunk cut byte by byte and at random: the frames found must
// not depend on the cuts, and a garbled run yields nothing until the quiet time has passed.
// The garbage forms themselves are in the receiver's table.
TEST(FrameReader, FramesGarbageAndWhatIsHeld) {
    const std::string k25 = "0000000025{\"Ereignis\":{}}";
    const std::string k14 = "0000000014halo";
    const std::string kAck = "0000000012OK";
    // Above the buffer size kept between frames; the pattern shows a misplaced byte.
    std::string big = "0004200010";
    for (std::size_t k = big.size(); k < 4200010; ++k)
        big.push_back(char('a' + k % 26));
    struct Row {
        const char* name;
        std::vector<std::string> chunks;
        std::vector<Out> want;
        std::size_t held = 0;
        std::size_t unit = 1;  // the cuts fall at multiples of it: a TCP segment for large frames
    };
    const Row rows[] = {
        {"prefix split across reads", {"0000", "000025{\"Ereignis\"", ":{}}"}, {T(k25, 2)}},
        {"end and start of frames in one read",
         {k25.substr(0, 20), k25.substr(20) + k14.substr(0, 12), k14.substr(12)},
         {T(k25, 1), T(k14, 2)}},
        {"empty payload is a frame", {"0000000010" + k14}, {T("0000000010", 0), T(k14, 0)}},
        {"peer acknowledgement split", {"000000", "0012O", "K"}, {A(2)}},
        {"ack between telegrams",
         {k25 + kAck + k14.substr(0, 3), k14.substr(3)},
         {T(k25, 0), A(0), T(k14, 1)}},
        {"OK inside a longer payload is a telegram", {"0000000013OK!"}, {T("0000000013OK!", 0)}},
        {"the limit itself is a frame to wait for", {"0067108864abc"}, {}, 13},
        {"quiet ends the run, the next byte starts a frame",
         {"ab", "", k14, "#", "", kAck},
         {G("ab", 1), T(k14, 2), G("#", 4), A(5)}},
        {"telegram, garbage, telegram", {k14 + "#" + k25}, {T(k14, 0), G("#" + k25, 1)}},
        {"large frames",
         {big.substr(0, 3000000), big.substr(3000000) + kAck},
         {T(big, 1), A(1)},
         0,
         1459},
    };
    std::mt19937 random(20240611);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        for (const std::size_t maxRead : {std::size_t{0}, std::size_t{1}, std::size_t{9}}) {
            SCOPED_TRACE(maxRead);
            FrameReader reader;
            std::vector<Out> out;
            auto now = FrameReader::Clock::time_point{} + std::chrono::hours(1);
            for (std::size_t c = 0; c <= row.chunks.size(); ++c) {
                std::string_view rest =
                    c < row.chunks.size() ? std::string_view(row.chunks[c]) : "";
                if (rest.empty())
                    now += FrameReader::kQuietTime;
                do {
                    const std::size_t n =
                        row.unit * (maxRead <= 1 ? maxRead : 1 + random() % maxRead);
                    std::string_view piece = rest.substr(0, n == 0 ? rest.size() : n);
                    rest.remove_prefix(piece.size());
                    const bool garbled = !piece.empty() && reader.QuietDeadline();
                    while (const auto event = reader.Next(piece, now)) {
                        EXPECT_FALSE(garbled);
                        out.push_back({event->kind, std::string(event->bytes), c});
                    }
                    EXPECT_TRUE(piece.empty());
                } while (!rest.empty());
            }
            EXPECT_EQ(out, row.want);
            EXPECT_EQ(reader.Held(), row.held);
            EXPECT_FALSE(reader.QuietDeadline());
        }
    }
}

}  // namespace
}  // namespace zelmo
