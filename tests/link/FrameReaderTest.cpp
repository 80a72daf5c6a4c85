#include "link/FrameReader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

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

std::vector<Out> Feed(FrameReader& reader, const std::vector<std::string>& chunks) {
    std::vector<Out> out;
    for (std::size_t c = 0; c < chunks.size(); ++c) {
        std::string_view rest = chunks[c];
        while (const auto event = reader.Next(rest)) {
            out.push_back({event->kind, std::string(event->bytes), c});
        }
        EXPECT_TRUE(rest.empty());
    }
    return out;
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

const std::string k25 = "0000000025{\"Ereignis\":{}}";  // 25 bytes
const std::string k14 = "0000000014halo";

TEST(FrameReader, Reassembly) {
    struct Row {
        const char* name;
        std::vector<std::string> chunks;
        std::vector<Out> want;
    };
    const Row rows[] = {
        {"whole frame in one read", {k25}, {T(k25, 0)}},
        {"frame in reads of 10, 5 and 10 bytes completes with the third",
         {k25.substr(0, 10), k25.substr(10, 5), k25.substr(15)},
         {T(k25, 2)}},
        {"prefix split across reads", {"0000", "000025{\"Ereignis\"", ":{}}"}, {T(k25, 2)}},
        {"one byte per read",
         {"0", "0", "0", "0", "0", "0", "0", "0", "1", "4", "h", "a", "l", "o"},
         {T(k14, 13)}},
        {"two frames in one read", {k25 + k14}, {T(k25, 0), T(k14, 0)}},
        {"end of one frame and start of the next in one read",
         {k25.substr(0, 20), k25.substr(20) + k14.substr(0, 12), k14.substr(12)},
         {T(k25, 1), T(k14, 2)}},
        {"empty payload is a frame", {"0000000010" + k14}, {T("0000000010", 0), T(k14, 0)}},
        {"peer acknowledgement", {"0000000012OK"}, {A(0)}},
        {"peer acknowledgement split", {"000000", "0012O", "K"}, {A(2)}},
        {"acknowledgement behind a telegram in one read",
         {k25 + "0000000012OK"},
         {T(k25, 0), A(0)}},
        {"acknowledgement ahead of a telegram, telegram split",
         {"0000000012OK" + k25.substr(0, 3), k25.substr(3)},
         {A(0), T(k25, 1)}},
        {"OK inside a longer payload is a telegram", {"0000000013OK!"}, {T("0000000013OK!", 0)}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FrameReader reader;
        EXPECT_EQ(Feed(reader, row.chunks), row.want);
        EXPECT_EQ(reader.Held(), 0u);
    }
}

TEST(FrameReader, GarbageIsDiscardedAndResynchronises) {
    struct Row {
        const char* name;
        std::vector<std::string> chunks;
        std::vector<Out> want;
        std::size_t held;  // bytes still held afterwards
    };
    const Row rows[] = {
        {"short text is answered at once, not held", {"hello"}, {G("hello", 0)}, 0},
        {"garbage up to the next possible frame start",
         {"xyz0000000012OK"},
         {G("xyz", 0), A(0)},
         0},
        {"a leading digit other than 0 announces too much at once",
         {"1234567"},
         {G("1234567", 0)},
         0},
        {"digits after garbage do not start a frame until a 0",
         {"12a0000000012OK"},
         {G("12a", 0), A(0)},
         0},
        {"non-digit inside the prefix", {"00000x1" + k14}, {G("00000x1", 0), T(k14, 0)}, 0},
        {"prefix split, then garbled", {"00000", "x"}, {G("00000x", 1)}, 0},
        {"announces fewer than ten bytes",
         {"0000000005abc" + k14},
         {G("0000000005abc", 0), T(k14, 0)},
         0},
        {"announces zero", {"0000000000"}, {G("0000000000", 0)}, 0},
        {"announces one byte above the limit", {"0067108865xy"}, {G("0067108865xy", 0)}, 0},
        {"the limit itself is a frame to wait for", {"0067108864abc"}, {}, 13},
        {"garbage cut by the end of a read is answered per read",
         {"ab", "cd", "0000000012OK"},
         {G("ab", 0), G("cd", 1), A(2)},
         0},
        {"telegram, garbage, telegram", {k14 + "#" + k25}, {T(k14, 0), G("#", 0), T(k25, 0)}, 0},
        {"valid prefix waits for its payload", {"0000000025{\"Er"}, {}, 14},
        {"zeros alone are a prefix in progress", {"0000000"}, {}, 7},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FrameReader reader;
        EXPECT_EQ(Feed(reader, row.chunks), row.want);
        EXPECT_EQ(reader.Held(), row.held);
    }
}

TEST(FrameReader, LongGarbageIsHandedOutInBoundedRuns) {
    FrameReader reader;
    const std::string garbage(100000, 'x');
    const auto out = Feed(reader, {garbage});
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0], G(std::string(FrameReader::kMaxGarbledRun, 'x'), 0));
    EXPECT_EQ(out[1], G(std::string(100000 - FrameReader::kMaxGarbledRun, 'x'), 0));
}

TEST(FrameReader, ResetDropsAFrameInProgress) {
    FrameReader reader;
    EXPECT_EQ(Feed(reader, {k25.substr(0, 17)}), std::vector<Out>{});
    EXPECT_EQ(reader.Held(), 17u);
    reader.Reset();
    EXPECT_EQ(reader.Held(), 0u);
    // Without the reset these bytes would complete the old frame.
    EXPECT_EQ(Feed(reader, {"0000000012OK" + k14.substr(0, 8)}), std::vector<Out>{A(0)});
    reader.Reset();
    EXPECT_EQ(Feed(reader, {"0000000014halo"}), std::vector<Out>{T(k14, 0)});
}

TEST(FrameReader, LargeFramesInSmallReads) {
    for (std::size_t size : {std::size_t{200000}, std::size_t{5} * 1024 * 1024}) {
        SCOPED_TRACE(size);
        std::string frame = std::to_string(size);
        frame = std::string(10 - frame.size(), '0') + frame;
        for (std::size_t k = frame.size(); k < size; ++k)
            frame.push_back(char('a' + k % 26));
        const std::string stream = frame + frame + "0000000012OK";

        FrameReader reader;
        std::vector<Out> out;
        std::string_view rest = stream;
        std::size_t chunk = 0;
        while (!rest.empty()) {
            std::string_view piece = rest.substr(0, 1459);  // a typical TCP segment's payload
            rest.remove_prefix(piece.size());
            while (const auto event = reader.Next(piece)) {
                out.push_back({event->kind, std::string(event->bytes), chunk});
            }
            ++chunk;
        }
        ASSERT_EQ(out.size(), 3u);
        EXPECT_EQ(out[0].kind, Kind::Telegram);
        EXPECT_TRUE(out[0].bytes == frame);
        EXPECT_TRUE(out[1].bytes == frame);
        EXPECT_EQ(out[2].kind, Kind::PeerAck);
    }
}

// However a stream is cut into reads, the same frames come out in the same order, and every
// byte comes out exactly once (in a frame or in a garbled run).
TEST(FrameReader, FramesDoNotDependOnHowTheStreamIsCut) {
    std::mt19937 random(20240611);
    const std::vector<std::string> pieces = {k25,
                                             k14,
                                             "0000000012OK",
                                             "0000000010",
                                             "garbage",
                                             "7",
                                             "0000000003",
                                             "0x",
                                             "{\"a\":10}",
                                             "00000000",
                                             "0000000099" + std::string(89, 'z')};
    for (int round = 0; round < 200; ++round) {
        std::string stream;
        const int count = 1 + static_cast<int>(random() % 12);
        for (int k = 0; k < count; ++k)
            stream += pieces[random() % pieces.size()];

        auto run = [&](std::size_t maxRead) {
            FrameReader reader;
            std::vector<std::pair<Kind, std::string>> frames;
            std::string all;
            std::string_view rest = stream;
            while (!rest.empty()) {
                const std::size_t n = maxRead == 0 ? rest.size() : 1 + random() % maxRead;
                std::string_view piece = rest.substr(0, n);
                rest.remove_prefix(piece.size());
                while (const auto event = reader.Next(piece)) {
                    all += event->bytes;
                    if (event->kind != Kind::Garbled)
                        frames.emplace_back(event->kind, event->bytes);
                }
            }
            // Whatever is still held is an unfinished prefix or frame at the end.
            EXPECT_EQ(all.size() + reader.Held(), stream.size());
            EXPECT_EQ(all, stream.substr(0, all.size()));
            return frames;
        };
        SCOPED_TRACE(stream);
        const auto whole = run(0);
        for (std::size_t maxRead : {1, 3, 11, 40}) {
            SCOPED_TRACE(maxRead);
            EXPECT_EQ(run(maxRead), whole);
        }
    }
}

}  // namespace
}  // namespace zelmo
