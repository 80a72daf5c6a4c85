#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "link/Frame.h"
#include "link/FrameReader.h"

namespace zelmo {
namespace {

using Kind = FrameReader::Kind;

TEST(EncodeFrame, PrefixCountsCodePageBytes) {
    struct Row {
        std::string payload;
        std::string frame;
    };
    const Row rows[] = {
        {"OK", "0000000012OK"},
        {"", "0000000010"},
        {"HalloÄüßÖ", "0000000019Hallo\xC4\xFC\xDF\xD6"},
        {"€日本", "0000000013\x80??"},  // outside the code page: one '?' byte each
        {std::string(200000, 'a'), "0000200010" + std::string(200000, 'a')},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.payload.substr(0, 20));
        EXPECT_TRUE(EncodeFrame(row.payload) == row.frame);
    }
}

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

const std::string k25 = "0000000025{\"Ereignis\":{}}";
const std::string k14 = "0000000014halo";
const std::string kAck = "0000000012OK";

const auto t0 = FrameReader::Clock::time_point{} + std::chrono::hours(1);

// The whole-stream results; FramesDoNotDependOnHowTheStreamIsCut checks the other cuts. Every
// chunk arrives at once; an empty chunk stands for the quiet time passing, as it does again
// after the last chunk (an event then counts as completed by chunk number chunks.size()).
TEST(FrameReader, FramesGarbageAndWhatIsHeld) {
    const std::string longGarbage(100000, 'x');
    struct Row {
        const char* name;
        std::vector<std::string> chunks;
        std::vector<Out> want;
        std::size_t held = 0;
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
        {"garbage swallows the frames in it", {"12a" + kAck + k14}, {G("12a" + kAck + k14, 1)}},
        {"prefix split, then garbled", {"00000", "x1" + k14}, {G("00000x1" + k14, 2)}},
        {"announces under ten bytes", {"0000000005abc" + k14}, {G("0000000005abc" + k14, 1)}},
        {"announces nine, prefix split", {"00000", "00009ab"}, {G("0000000009ab", 2)}},
        {"announces one byte above the limit", {"0067108865xy"}, {G("0067108865xy", 1)}},
        {"the limit itself is a frame to wait for", {"0067108864abc"}, {}, 13},
        {"valid prefix waits for its payload", {"0000000025{\"Er"}, {}, 14},
        {"one run however many reads", {"ab", "cd", kAck}, {G("abcd" + kAck, 3)}},
        {"quiet ends the run, the next byte starts a frame",
         {"ab", "", k14, "#", "", kAck},
         {G("ab", 1), T(k14, 2), G("#", 4), A(5)}},
        {"telegram, garbage, telegram", {k14 + "#" + k25}, {T(k14, 0), G("#" + k25, 1)}},
        {"of a long run its first bytes are kept", {longGarbage}, {G(std::string(100, 'x'), 1)}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FrameReader reader;
        std::vector<Out> out;
        auto now = t0;
        for (std::size_t c = 0; c <= row.chunks.size(); ++c) {
            std::string_view rest = c < row.chunks.size() ? std::string_view(row.chunks[c]) : "";
            if (rest.empty())
                now += FrameReader::kQuietTime;
            while (const auto event = reader.Next(rest, now))
                out.push_back({event->kind, std::string(event->bytes), c});
            EXPECT_TRUE(rest.empty());
        }
        EXPECT_EQ(out, row.want);
        EXPECT_EQ(reader.Held(), row.held);
        EXPECT_FALSE(reader.QuietDeadline());
    }
}

// Each far longer than one read; the larger one also passes the buffer size kept between
// frames.
TEST(FrameReader, LargeFramesInSegmentSizedReads) {
    for (std::size_t size : {std::size_t{200000}, std::size_t{5} * 1024 * 1024}) {
        SCOPED_TRACE(size);
        std::string frame = std::to_string(size);
        frame = std::string(10 - frame.size(), '0') + frame;
        for (std::size_t k = frame.size(); k < size; ++k)
            frame.push_back(char('a' + k % 26));
        const std::string stream = frame + frame + kAck;

        FrameReader reader;
        std::vector<std::pair<Kind, std::string>> out;
        for (std::string_view rest = stream; !rest.empty();) {
            std::string_view piece = rest.substr(0, 1459);  // a typical TCP segment's payload
            rest.remove_prefix(piece.size());
            while (const auto event = reader.Next(piece, t0))
                out.emplace_back(event->kind, event->bytes);
        }
        ASSERT_EQ(out.size(), 3u);
        EXPECT_TRUE(out[0] == std::pair(Kind::Telegram, frame));
        EXPECT_TRUE(out[1] == std::pair(Kind::Telegram, frame));
        EXPECT_EQ(out[2].first, Kind::PeerAck);
    }
}

// However a stream is cut into reads, the same frames and garbled runs come out in the same
// order; a garbled run yields nothing until the quiet time has passed. The stream comes in
// stretches with the quiet time between them.
TEST(FrameReader, FramesDoNotDependOnHowTheStreamIsCut) {
    std::mt19937 random(20240611);
    const std::vector<std::string> pieces = {k25,
                                             k14,
                                             kAck,
                                             "0000000010",
                                             "garbage",
                                             "7",
                                             "0000000003",
                                             "0x",
                                             "{\"a\":10}",
                                             "00000000",
                                             "0000000099" + std::string(89, 'z')};
    for (int round = 0; round < 200; ++round) {
        std::vector<std::string> stretches(1 + random() % 3);
        for (auto& stretch : stretches) {
            const int count = 1 + static_cast<int>(random() % 8);
            for (int k = 0; k < count; ++k)
                stretch += pieces[random() % pieces.size()];
        }

        auto run = [&](std::size_t maxRead) {
            FrameReader reader;
            std::vector<std::pair<Kind, std::string>> events;
            auto now = t0;
            for (const auto& stretch : stretches) {
                std::string_view rest = stretch;
                bool garbled = false;
                while (!rest.empty()) {
                    const std::size_t n = maxRead == 0 ? rest.size() : 1 + random() % maxRead;
                    std::string_view piece = rest.substr(0, n);
                    rest.remove_prefix(piece.size());
                    while (const auto event = reader.Next(piece, now)) {
                        EXPECT_FALSE(garbled);
                        events.emplace_back(event->kind, event->bytes);
                    }
                    garbled = garbled || reader.QuietDeadline().has_value();
                }
                now += FrameReader::kQuietTime;
                std::string_view none;
                while (const auto event = reader.Next(none, now))
                    events.emplace_back(event->kind, event->bytes);
            }
            return events;
        };
        SCOPED_TRACE(stretches.front());
        const auto whole = run(0);
        for (std::size_t maxRead : {1, 3, 11, 40}) {
            SCOPED_TRACE(maxRead);
            EXPECT_EQ(run(maxRead), whole);
        }
    }
}

}  // namespace
}  // namespace zelmo
