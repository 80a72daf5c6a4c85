#include "link/Receiver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "link/TelegramStore.h"

namespace zelmo {
namespace {

using namespace std::chrono_literals;

// Records every effect in order; "|" marks the end of one OnBytes call.
class RecordingSink : public ReceiverSink {
  public:
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

    std::vector<std::string> calls;
    std::function<void()> onDispatch;
};

// Frames built here, independently of the encoder under test.
std::string Framed(const std::string& bytes) {
    char prefix[11];
    std::snprintf(prefix, sizeof prefix, "%010zu", bytes.size() + 10);
    return prefix + bytes;
}

const std::string kGAEin =
    R"({"Ereignis":{"Befehl":"Befehl","Status":"GAEin","Wert1":1,"Wert2":"","Wert3":"","Wert4":""}})";
const std::string kGAEinFrame = Framed(kGAEin);
// The first 100 of the frame's 102 characters.
const std::string kGAEinLine =
    R"(0000000102{"Ereignis":{"Befehl":"Befehl","Status":"GAEin","Wert1":1,"Wert2":"","Wert3":"","Wert4":"")";
const std::string kGAEinEvent =
    "dispatch: GA Ein\x1B"
    "1\x1B\x1B\x1B";

struct Fixture {
    Fixture() { receiver.OnConnected(7); }
    std::vector<std::string> Feed(const std::vector<std::string>& chunks) {
        sink.calls.clear();
        for (const auto& chunk : chunks) {
            receiver.OnBytes(chunk);
            sink.calls.push_back("|");
        }
        return sink.calls;
    }

    TelegramStore store;
    RecordingSink sink;
    bool vorlagenAktiv = true;
    Receiver receiver{store, sink, vorlagenAktiv};
};

using Calls = std::vector<std::string>;

TEST(Receiver, EffectsOfIncomingBytes) {
    const std::string ack = "send: 0000000012OK";
    const std::string ackLine =
        "client: TCPClient DataArrival: 7 * OK empfangen * 0 * FirstBufferAfterOverflow = Falsch";
    struct Row {
        const char* name;
        std::vector<std::string> chunks;
        Calls want;
        bool aktiv = true;
    };
    const Row rows[] = {
        {"telegram: log, evaluate and dispatch, then acknowledge",
         {kGAEinFrame},
         {"telegram: " + kGAEinLine, kGAEinEvent, ack, "|"}},
        {"frame in three reads is handled once, after the last",
         {kGAEinFrame.substr(0, 10), kGAEinFrame.substr(10, 5), kGAEinFrame.substr(15)},
         {"|", "|", "telegram: " + kGAEinLine, kGAEinEvent, ack, "|"}},
        {"prefix split",
         {kGAEinFrame.substr(0, 4), kGAEinFrame.substr(4)},
         {"|", "telegram: " + kGAEinLine, kGAEinEvent, ack, "|"}},
        {"two telegrams in one read",
         {kGAEinFrame + kGAEinFrame},
         {"telegram: " + kGAEinLine, kGAEinEvent, ack, "telegram: " + kGAEinLine, kGAEinEvent, ack,
          "|"}},
        {"peer acknowledgement is logged, never evaluated or answered",
         {"0000000012OK"},
         {ackLine, "|"}},
        {"peer acknowledgement coalesced with a telegram",
         {"0000000012OK" + kGAEinFrame.substr(0, 30), kGAEinFrame.substr(30) + "0000000012OK"},
         {ackLine, "|", "telegram: " + kGAEinLine, kGAEinEvent, ack, ackLine, "|"}},
        {"template editor not active: no dispatch, still acknowledged",
         {kGAEinFrame},
         {"telegram: " + kGAEinLine, ack, "|"},
         false},
        {"garbage: logged as a garbled frame, acknowledged",
         {"hello"},
         {"client: Fehlerhafter Rahmen", "client: hello", ack, "|"}},
        {"garbage is decoded from the code page for the log",
         {"\xC4rger" + kGAEinFrame},
         {"client: Fehlerhafter Rahmen", "client: Ärger", ack, "telegram: " + kGAEinLine,
          kGAEinEvent, ack, "|"}},
        {"absurd length",
         {"0099999999"},
         {"client: Fehlerhafter Rahmen", "client: 0099999999", ack, "|"}},
        {"unknown status: label, then acknowledge",
         {Framed(
             R"({"Ereignis":{"Befehl":"Befehl","Status":"X","Wert1":"","Wert2":"","Wert3":"","Wert4":""}})")},
         {R"(telegram: 0000000099{"Ereignis":{"Befehl":"Befehl","Status":"X","Wert1":"","Wert2":"","Wert3":"","Wert4":""}})",
          R"(label: Falsche Abfragetext: {"Ereignis":{"Befehl":"Befehl","Status":"X","Wert1":"","Wert2":"","Wert3":"","Wert4":""}})",
          ack, "|"}},
        {"evaluation failure: label, then acknowledge",
         {Framed("{\"a\":")},
         {"telegram: 0000000015{\"a\":", "label: Fehler in der Datenauswertung!", ack, "|"}},
        {"telegram log holds the first 100 characters, decoded",
         {Framed("{\"Reiter\":{\"Name\":\"J\xFCrgen K\xFChn\",\"X\":\"" + std::string(100, 'x') +
                 "\"}}")},
         {"telegram: 0000000150{\"Reiter\":{\"Name\":\"Jürgen Kühn\",\"X\":\"" +
              std::string(53, 'x'),
          "label: Fehler in der Datenauswertung!", ack, "|"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Fixture f;
        f.vorlagenAktiv = row.aktiv;
        EXPECT_EQ(f.Feed(row.chunks), row.want);
    }
}

TEST(Receiver, ConnectAndDisconnectStartTheStreamAfresh) {
    Fixture f;
    f.receiver.OnBytes(kGAEinFrame.substr(0, 60));
    f.sink.calls.clear();
    f.receiver.OnDisconnected(7);
    f.receiver.OnConnected(8);
    f.receiver.OnBytes(kGAEinFrame.substr(60));  // the old frame's tail: garbage now
    f.receiver.OnBytes(kGAEinFrame);
    const std::string tail = kGAEinFrame.substr(60);
    EXPECT_EQ(f.sink.calls,
              (Calls{"client: TCPClient TCPDisConnect - Socket: 7",
                     "client: TCPClient TCPConnect - Socket: 8", "client: Fehlerhafter Rahmen",
                     "client: " + tail, "send: 0000000012OK", "telegram: " + kGAEinLine,
                     kGAEinEvent, "send: 0000000012OK"}));
    // The tail cannot start a frame, so only the old frame could have taken it.
    EXPECT_NE(tail.front(), '0');
}

TEST(Receiver, ADisconnectDuringTheOutputRunDropsTheAcknowledgementAndTheRest) {
    Fixture f;
    f.sink.onDispatch = [&] { f.receiver.OnDisconnected(7); };
    f.Feed({kGAEinFrame + kGAEinFrame});
    EXPECT_EQ(f.sink.calls, (Calls{"telegram: " + kGAEinLine, kGAEinEvent,
                                   "client: TCPClient TCPDisConnect - Socket: 7", "|"}));
}

TEST(Receiver, NotConnected) {
    TelegramStore store;
    RecordingSink sink;
    bool aktiv = true;
    Receiver receiver(store, sink, aktiv);
    const auto t0 = AckWait::Clock::time_point{} + 1h;
    EXPECT_FALSE(receiver.Send("halo", t0));
    EXPECT_FALSE(receiver.AckPending());
    receiver.OnBytes(kGAEinFrame);
    EXPECT_EQ(sink.calls, (Calls{"client: Nicht versandt - Keine Socketnummer vorhanden!",
                                 "telegram: " + kGAEinLine, kGAEinEvent,
                                 "client: Nicht versandt - Keine Socketnummer vorhanden!"}));

    receiver.OnConnected(3);
    receiver.OnDisconnected(3);
    sink.calls.clear();
    EXPECT_FALSE(receiver.Send("halo", t0));
    EXPECT_EQ(sink.calls, Calls{"client: Nicht versandt - Keine Socketnummer vorhanden!"});
}

TEST(Receiver, SendAndTheWaitForTheAcknowledgement) {
    const auto t0 = AckWait::Clock::time_point{} + 1h;
    const std::string timeout = "client: Nicht versandt - Timeout überschritten!";
    const std::string ackLine =
        "client: TCPClient DataArrival: 7 * OK empfangen * 0 * FirstBufferAfterOverflow = Falsch";
    Fixture f;
    f.sink.calls.clear();

    // Waits 4 s, then gives up once.
    EXPECT_TRUE(f.receiver.Send("halo", t0));
    EXPECT_TRUE(f.receiver.AckPending());
    EXPECT_EQ(f.receiver.AckDeadline(), t0 + 4s);
    f.receiver.Tick(t0 + 4s);
    EXPECT_TRUE(f.receiver.AckPending());
    f.receiver.Tick(t0 + 4s + 1ns);
    EXPECT_FALSE(f.receiver.AckPending());
    f.receiver.Tick(t0 + 10s);
    EXPECT_EQ(f.sink.calls, (Calls{"send: 0000000014halo", timeout}));

    // The peer's acknowledgement ends the wait.
    f.sink.calls.clear();
    f.receiver.Send("HalloÄüßÖ", t0);
    f.receiver.OnBytes("0000000012OK");
    EXPECT_FALSE(f.receiver.AckPending());
    EXPECT_EQ(f.receiver.AckDeadline(), std::nullopt);
    f.receiver.Tick(t0 + 5s);
    EXPECT_EQ(f.sink.calls, (Calls{"send: 0000000019Hallo\xC4\xFC\xDF\xD6", ackLine}));

    // Our own acknowledgement of an incoming telegram does not end the wait.
    f.sink.calls.clear();
    f.receiver.Send("halo", t0);
    f.receiver.OnBytes(kGAEinFrame);
    EXPECT_TRUE(f.receiver.AckPending());

    // A disconnection does, without a timeout line.
    f.receiver.OnDisconnected(7);
    EXPECT_FALSE(f.receiver.AckPending());
    f.receiver.Tick(t0 + 5s);
    EXPECT_EQ(f.sink.calls.back(), "client: TCPClient TCPDisConnect - Socket: 7");

    // "OK" is an acknowledgement: sent without a wait.
    f.receiver.OnConnected(9);
    f.sink.calls.clear();
    EXPECT_TRUE(f.receiver.Send("OK", t0));
    EXPECT_FALSE(f.receiver.AckPending());
    EXPECT_EQ(f.sink.calls, Calls{"send: 0000000012OK"});
}

TEST(Receiver, ASecondSendStartsItsOwnWait) {
    const auto t0 = AckWait::Clock::time_point{} + 1h;
    Fixture f;
    f.receiver.Send("eins", t0);
    f.receiver.Send("zwei", t0 + 3s);
    f.receiver.Tick(t0 + 5s);
    EXPECT_TRUE(f.receiver.AckPending());
    f.receiver.Tick(t0 + 7s + 1ms);
    EXPECT_FALSE(f.receiver.AckPending());
}

}  // namespace
}  // namespace zelmo
