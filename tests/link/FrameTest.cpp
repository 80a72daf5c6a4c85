#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

#include "link/FrameReader.h"

namespace zelmo {
namespace {

using Kind = FrameReader::Kind;

// Each chunk arrives at once, cut whole, byte by byte and at random: the frames must not depend on
// the cuts. An empty chunk, and the end, stand for the quiet time that ends a garbled run (whose
// forms are in the receiver's table).
TEST(FrameReader, FramesAndGarbageHoweverTheStreamIsCut) {
    const std::string k25 = "0000000025{\"Ereignis\":{}}";
    const std::string k14 = "0000000014halo";
    const std::string kAck = "0000000012OK";
    // Above the buffer size kept between frames; the pattern shows a misplaced byte.
    std::string big = "0004200010";
    for (std::size_t k = big.size(); k < 4200010; ++k)
        big.push_back(char('a' + k % 26));
    // Name, chunks, events (kind, index of the chunk that completed it, bytes).
    using Chunks = std::vector<std::string>;
    const std::tuple<const char*, Chunks, Chunks> rows[] = {
        {"empty payload is a frame", {"0000000010" + k14}, {"T0 0000000010", "T0 " + k14}},
        {"a telegram ends in the next read",
         {k25 + kAck + k14.substr(0, 3), k14.substr(3)},
         {"T0 " + k25, "A0 " + kAck, "T1 " + k14}},
        {"OK inside a longer payload is a telegram", {"0000000013OK!"}, {"T0 0000000013OK!"}},
        {"the limit itself is a frame to wait for", {"0067108864abc"}, {}},
        {"quiet ends the run, the next byte starts a frame",
         {"ab", "", k14, "#", "", kAck},
         {"G1 ab", "T2 " + k14, "G4 #", "A5 " + kAck}},
        {"telegram, garbage, telegram", {k14 + "#" + k25}, {"T0 " + k14, "G1 #" + k25}},
        {"large frames",
         {big.substr(0, 3000000), big.substr(3000000) + kAck},
         {"T1 " + big, "A1 " + kAck}},
    };
    std::mt19937 random(20240611);
    for (const auto& [name, chunks, want] : rows) {
        SCOPED_TRACE(name);
        for (const std::size_t maxRead : {std::size_t{0}, std::size_t{1}, std::size_t{9}}) {
            SCOPED_TRACE(maxRead);
            FrameReader reader;
            std::vector<std::string> out;
            auto now = FrameReader::Clock::time_point{} + std::chrono::hours(1);
            for (std::size_t c = 0; c <= chunks.size(); ++c) {
                std::string_view rest = c < chunks.size() ? std::string_view(chunks[c]) : "";
                if (rest.empty())
                    now += FrameReader::kQuietTime;
                // The cuts of a large frame fall at multiples of a TCP segment.
                const std::size_t unit = rest.size() > 100000 ? 1459 : 1;
                do {
                    const std::size_t n = unit * (maxRead <= 1 ? maxRead : 1 + random() % maxRead);
                    std::string_view piece = rest.substr(0, n == 0 ? rest.size() : n);
                    rest.remove_prefix(piece.size());
                    const bool garbled = !piece.empty() && reader.QuietDeadline();
                    while (const auto event = reader.Next(piece, now)) {
                        EXPECT_FALSE(garbled);
                        const char* kind = event->kind == Kind::Telegram  ? "T"
                                           : event->kind == Kind::PeerAck ? "A"
                                                                          : "G";
                        out.push_back(kind + std::to_string(c) + " " + std::string(event->bytes));
                    }
                    EXPECT_TRUE(piece.empty());
                } while (!rest.empty());
            }
            EXPECT_EQ(out, want);
            EXPECT_FALSE(reader.QuietDeadline());
        }
    }
}

}  // namespace
}  // namespace zelmo
