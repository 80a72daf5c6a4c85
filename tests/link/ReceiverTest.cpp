// The receiving end of the link: frames reassembled from the byte stream, then logged, evaluated
// and acknowledged.
#include "link/Receiver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <tuple>
#include <vector>

#include "component/CodePage.h"

namespace zelmo {
namespace {

using namespace std::chrono_literals;
using Calls = std::vector<std::string>;

const std::string kFrame =
    R"(0000000102{"Ereignis":{"Befehl":"Befehl","Status":"GAEin","Wert1":1,"Wert2":"","Wert3":"","Wert4":""}})";
const std::string kLogged = "telegram: " + kFrame.substr(0, 100);
const std::string kEvent = "dispatch: GA Ein\0331\033\033\033";
const std::string kAck = "send: 0000000012OK";
const auto t0 = AckWait::Clock::time_point{} + 1h;

// Each chunk arrives at once, cut whole, byte by byte and at random: the frames must not depend on
// the cuts. An empty chunk, and the end, stand for the quiet time that ends a garbled run (whose
// forms are in the table below).
TEST(FrameReader, FramesAndGarbageHoweverTheStreamIsCut) {
    const std::string k14 = "0000000014halo";
    const std::string ack = "0000000012OK";
    // Above the buffer size kept between frames; the pattern shows a misplaced byte.
    std::string big = "0004200010";
    for (std::size_t k = big.size(); k < 4200010; ++k)
        big.push_back(char('a' + k % 26));
    // Name, chunks, events (kind, index of the chunk that completed it, bytes).
    using Chunks = std::vector<std::string>;
    const std::tuple<const char*, Chunks, Chunks> rows[] = {
        {"empty payload is a frame", {"0000000010" + k14}, {"T0 0000000010", "T0 " + k14}},
        {"a telegram ends in the next read",
         {kFrame + ack + k14.substr(0, 3), k14.substr(3)},
         {"T0 " + kFrame, "A0 " + ack, "T1 " + k14}},
        {"OK inside a longer payload is a telegram", {"0000000013OK!"}, {"T0 0000000013OK!"}},
        {"the limit itself is a frame to wait for", {"0067108864abc"}, {}},
        {"quiet ends the run, the next byte starts a frame",
         {"ab", "", k14, "#", "", ack},
         {"G1 ab", "T2 " + k14, "G4 #", "A5 " + ack}},
        {"telegram, garbage, telegram", {k14 + "#" + k14}, {"T0 " + k14, "G1 #" + k14}},
        // A prefix left incomplete by quiet is garbage; held on, the next frame's digits
        // would complete it.
        {"a lone 0, quiet, a telegram", {"0", "", k14}, {"G1 0", "T2 " + k14}},
        {"00, quiet, a telegram", {"00", "", k14}, {"G1 00", "T2 " + k14}},
        {"0000, quiet, a telegram", {"0000", "", k14}, {"G1 0000", "T2 " + k14}},
        {"seven digits, quiet, a telegram", {"0000000", "", k14}, {"G1 0000000", "T2 " + k14}},
        {"nine digits, quiet, a telegram", {"000000001", "", k14}, {"G1 000000001", "T2 " + k14}},
        {"a telegram, then a prefix the link leaves incomplete",
         {k14 + "00000"},
         {"T0 " + k14, "G1 00000"}},
        {"large frames",
         {big.substr(0, 3000000), big.substr(3000000) + ack},
         {"T1 " + big, "A1 " + ack}},
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
                    const bool garbled = !piece.empty() && reader.InGarbledRun();
                    while (const auto event = reader.Next(piece, now)) {
                        EXPECT_FALSE(garbled);
                        using enum FrameReader::Kind;
                        const char* kind = event->kind == Telegram  ? "T"
                                           : event->kind == PeerAck ? "A"
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

std::string Connect(int socket) {
    return "client: TCPClient TCPConnect - Socket: " + std::to_string(socket);
}
std::string Disconnect(int socket) {
    return "client: TCPClient TCPDisConnect - Socket: " + std::to_string(socket);
}

// A receiver that records every effect in order.
struct Fixture : ReceiverSink, TelegramObserver {
    explicit Fixture(bool connected = true) {
        if (connected)
            receiver.OnConnected(7);
        calls.clear();
    }
    void TelegramLog(const std::string& line) override { calls.push_back("telegram: " + line); }
    void ClientLog(const std::string& line) override { calls.push_back("client: " + line); }
    void StatusLabel(const std::string& text) override { calls.push_back("label: " + text); }
    void Dispatch(const std::string& eventText) override {
        calls.push_back("dispatch: " + eventText);
        if (onDispatch)
            onDispatch();
    }
    void SendBytes(std::string_view bytes) override {
        calls.push_back("send: " + std::string(bytes));
    }
    void Telegram(std::string_view payload, bool json) override {
        calls.push_back((json ? "observe json: " : "observe raw: ") + std::string(payload));
    }

    Calls calls;
    std::function<void()> onDispatch;
    TelegramStore store;
    const bool vorlagenAktiv = true;
    Receiver receiver{store, *this, vorlagenAktiv};
};

// However cut into reads (closer together than the quiet time), garbage costs one answer once the
// link has been quiet, noticed by a timer or by the next bytes; the telegram after it counts once.
TEST(Receiver, AGarbledRunIsAnsweredOnceAfterTheQuietTime) {
    const std::string rows[] = {
        "12a0000000012OK",                 // a peer acknowledgement inside garbage
        "0067108865xy",                    // one byte above the frame limit
        "000000x102" + kFrame.substr(10),  // a show telegram with a corrupted header
        "0000000009" + kFrame,             // announces less than its prefix; swallows a telegram
        "\xC4rger " + std::string(120, 'x'),
        // Prefixes that the link leaves incomplete.
        "0",
        "00",
        "0000",
        "0000000",
        "000000001",
    };
    std::mt19937 random(7);
    for (const auto& garbage : rows) {
        SCOPED_TRACE(garbage.substr(0, 20));
        const std::string logged = codepage::Decode(garbage.substr(0, 100));
        for (const std::size_t maxRead : {garbage.size(), std::size_t{1}, std::size_t{0}}) {
            SCOPED_TRACE(maxRead);
            for (const bool timer : {true, false}) {
                Fixture f;
                auto now = t0;
                for (std::string_view rest = garbage; !rest.empty(); now += 10ms) {
                    const std::size_t n = maxRead > 0 ? maxRead : 1 + random() % 9;
                    f.receiver.OnBytes(rest.substr(0, n), now);
                    rest.remove_prefix(std::min(n, rest.size()));
                }
                now -= 10ms;
                EXPECT_EQ(f.receiver.Deadline(), now + 250ms);
                f.receiver.Tick(now + 249ms);
                EXPECT_EQ(f.calls, Calls{});
                if (timer)
                    f.receiver.Tick(now + 250ms);
                f.receiver.OnBytes(kFrame, now + 250ms);
                EXPECT_EQ(f.calls, (Calls{"client: Fehlerhafter Rahmen", "client: " + logged, kAck,
                                          kLogged, kEvent, kAck}));
                EXPECT_FALSE(f.receiver.Deadline());
            }
        }
    }
}

// Bytes of an old connection never complete a frame of a new one, nor does the answer to a
// telegram go into a connection made while it was evaluated.
TEST(Receiver, EachConnectionStartsTheStreamAfresh) {
    Fixture f;
    f.receiver.OnBytes(kFrame.substr(0, 60), t0);
    f.receiver.OnDisconnected(7);
    f.receiver.OnConnected(8);
    // The old frame's tail is garbage here; the next reconnect ends its run without an answer.
    ASSERT_NE(kFrame[60], '0');
    f.receiver.OnBytes(kFrame.substr(60), t0);
    f.receiver.OnDisconnected(8);
    f.receiver.OnConnected(9);
    EXPECT_FALSE(f.receiver.Deadline());
    f.receiver.Tick(t0 + 1s);
    // A reconnect during the output run drops the acknowledgement and the rest of the bytes.
    f.onDispatch = [&] {
        f.receiver.OnDisconnected(9);
        f.receiver.OnConnected(10);
    };
    f.receiver.OnBytes(kFrame + kFrame, t0 + 1s);
    EXPECT_EQ(f.calls, (Calls{Disconnect(7), Connect(8), Disconnect(8), Connect(9), kLogged, kEvent,
                              Disconnect(9), Connect(10)}));
}

// The flight recorder's hook: each telegram once, as decoded text, after its acknowledgement;
// never the peer's acknowledgements nor garbage.
TEST(Receiver, TheObserverSeesEachTelegramAfterItsAcknowledgement) {
    Fixture f;
    f.receiver.SetObserver(&f);
    f.receiver.OnBytes(kFrame + "0000000012OK" + "0000000019kein JSON" + "0000000015\xC4rger" + "#",
                       t0);
    f.receiver.Tick(t0 + 250ms);
    const std::string label = "label: Fehler in der Datenauswertung!";
    EXPECT_EQ(f.calls,
              (Calls{kLogged, kEvent, kAck, "observe json: " + kFrame.substr(10),
                     "client: TCPClient DataArrival: 7 * OK empfangen * 0 * "
                     "FirstBufferAfterOverflow = Falsch",
                     "telegram: 0000000019kein JSON", label, kAck, "observe raw: kein JSON",
                     "telegram: 0000000015\u00C4rger", label, kAck, "observe raw: \u00C4rger",
                     "client: Fehlerhafter Rahmen", "client: #", kAck}));
}

TEST(Receiver, SendAndTheWaitForTheAcknowledgement) {
    // Without a connection nothing is sent, not even the answer to a (failing) telegram.
    Fixture f(false);
    EXPECT_FALSE(f.receiver.Send("halo", t0));
    EXPECT_FALSE(f.receiver.AckPending());
    f.receiver.OnBytes("0000000014halo", t0);
    f.receiver.OnConnected(7);

    // A second send starts its own wait, which gives up once, only after more than 4 s. The
    // length prefix counts the bytes in the code page ('?' for a character outside it).
    EXPECT_TRUE(f.receiver.Send("HalloÄüßÖ", t0));
    EXPECT_TRUE(f.receiver.Send("€日本", t0 + 3s));
    EXPECT_EQ(f.receiver.AckDeadline(), t0 + 7s);
    f.receiver.Tick(t0 + 7s);
    EXPECT_TRUE(f.receiver.AckPending());
    f.receiver.Tick(t0 + 7s + 1ns);
    EXPECT_FALSE(f.receiver.AckPending());
    f.receiver.Tick(t0 + 10s);

    // Our own acknowledgement of an incoming telegram does not end the wait; the peer's does.
    f.receiver.Send("", t0);
    f.receiver.OnBytes(kFrame, t0);
    EXPECT_TRUE(f.receiver.AckPending());
    f.receiver.OnBytes("0000000012OK", t0);
    EXPECT_FALSE(f.receiver.AckPending());

    // "OK" is an acknowledgement: sent without a wait.
    EXPECT_TRUE(f.receiver.Send("OK", t0));
    EXPECT_FALSE(f.receiver.AckPending());
    const std::string refused = "client: Nicht versandt - Keine Socketnummer vorhanden!";
    EXPECT_EQ(f.calls,
              (Calls{refused, "telegram: 0000000014halo", "label: Fehler in der Datenauswertung!",
                     refused, Connect(7), "send: 0000000019Hallo\xC4\xFC\xDF\xD6",
                     "send: 0000000013\x80??", "client: Nicht versandt - Timeout überschritten!",
                     "send: 0000000010", kLogged, kEvent, kAck,
                     "client: TCPClient DataArrival: 7 * OK empfangen * 0 * "
                     "FirstBufferAfterOverflow = Falsch",
                     kAck}));
}

}  // namespace
}  // namespace zelmo
