// One sender, several receivers: what goes where, and when the sender is acknowledged, on a
// clock moved by hand.
#include "link/Relay.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "link/Frame.h"

namespace zelmo {
namespace {

using namespace std::chrono_literals;

const std::string kEreignis =
    R"("Ereignis": {"Befehl": "Befehl", "Status": "ReiterNeu", "Wert1": "", "Wert2": "", )"
    R"("Wert3": "", "Wert4": ""})";

// The frames a script names; a receiver's store ends up the same whichever of them it missed.
const std::map<std::string, std::string> kFrames = {
    {"t1", EncodeFrame("{" + kEreignis +
                       R"(, "AktReiter": {"Nr": "1"}, "Startliste": {"Records": []}})")},
    {"t2", EncodeFrame("{" + kEreignis + R"(, "AktReiter": {"Nr": "2"}})")},
    {"t3", EncodeFrame("kein JSON")},
    {"t4", EncodeFrame("{" + kEreignis + "}")},
    {"t5", EncodeFrame("{" + kEreignis + R"(, "Nr": "5"})")},
    // Stored up to the section of the wrong kind, as the receiver stores it: GlobalBW only.
    {"t6", EncodeFrame(R"({"GlobalBW": {"Uhr": "14:28"}, "Startliste": 5, "AktReiter": {}})")},
    {"ok", std::string(kAckFrame)},
    // One byte above the limit: the prefix alone rules it out.
    {"big", "0067108865" + std::string(20, 'x')},
};

class Sink : public RelaySink {
  public:
    void ToSender(std::string_view bytes) override { Effect("S:" + Named(bytes)); }
    void ToReceiver(std::uint64_t receiver, std::string_view bytes) override {
        Effect(names[receiver] + ":" + Named(bytes));
    }
    void Drop(std::uint64_t receiver) override { Effect("drop " + names[receiver]); }
    void Log(std::string_view prefix, const std::string& text) override {
        log.push_back(std::string(prefix) + text);
    }

    void Effect(const std::string& e) { effects += (effects.empty() ? "" : " ") + e; }
    static std::string Named(std::string_view bytes) {
        for (const auto& [name, frame] : kFrames)
            if (frame == bytes)
                return name == "ok" ? "OK" : name;
        return std::string(bytes);
    }

    std::string effects;
    std::vector<std::string> log;
    std::map<std::uint64_t, std::string> names;
};

// Runs a script against a relay and returns each step's effects. Steps: "+a" / "-a" a receiver
// connects / leaves, "a ok t5 #" receiver a sends those frames (or bytes) in one chunk, "S t1
// t2" the sender does, "S-" / "S+" the sender's connection ends / starts, "wait N" N ms pass.
struct Script {
    explicit Script(std::size_t maxBehind = Relay::kDefaultMaxBehind) : relay(sink, maxBehind) {
        relay.SenderConnected();
    }

    std::string Step(const std::string& step) {
        sink.effects.clear();
        std::istringstream in(step);
        std::string who;
        in >> who;
        std::string bytes;
        for (std::string word; in >> word;)
            bytes += kFrames.contains(word) ? kFrames.at(word) : word;
        if (who == "wait") {
            now += std::chrono::milliseconds(std::stoi(bytes));
            relay.Tick(now);
        } else if (who == "S-") {
            relay.SenderDisconnected();
        } else if (who == "S+") {
            relay.SenderConnected();
        } else if (who == "S") {
            relay.FromSender(bytes, now);
        } else if (who[0] == '+') {
            const Relay::Id id = ids.size() + 1;
            sink.names[id] = who.substr(1);
            if (relay.ReceiverConnected(id, who.substr(1), now))
                ids[who.substr(1)] = id;
            else
                sink.Effect("abgewiesen");
        } else if (who[0] == '-') {
            relay.ReceiverDisconnected(ids.at(who.substr(1)), now);
        } else {
            relay.FromReceiver(ids.at(who), bytes, now);
        }
        return sink.effects;
    }

    Sink sink;
    Relay relay;
    std::map<std::string, Relay::Id> ids;
    Relay::Clock::time_point now = Relay::Clock::time_point{} + 1h;
};

struct Row {
    const char* name;
    std::size_t maxBehind;
    // Steps separated by "; ", each followed by " -> " and its effects when it has any.
    const char* script;
};

TEST(Relay, WhatGoesWhereAndWhenTheSenderIsAcknowledged) {
    const Row rows[] = {
        {"no receiver: acknowledged at once", 1000, "S t1 -> S:OK; S t2 -> S:OK"},
        {"the sender waits for the primary, not for the others", 1000,
         "+a; +b; S t1 -> a:t1 b:t1; b ok; a ok -> S:OK"},
        {"each receiver stop-and-wait on its own", 1000,
         "+a; +b; S t1 -> a:t1 b:t1; a ok -> S:OK; S t2 -> a:t2; a ok -> S:OK; S t4 -> a:t4; "
         "b ok -> b:t2; b ok ok -> b:t4; a ok -> S:OK"},
        // A sender that does not wait still gets one acknowledgement per telegram, in order.
        {"two telegrams in one read", 1000, "+a; S t1 t2 -> a:t1; a ok -> S:OK a:t2; a ok -> S:OK"},
        {"the primary leaves after the next one answered", 1000,
         "+a; +b; S t1 -> a:t1 b:t1; b ok; -a -> S:OK"},
        {"the primary leaves before the next one answered", 1000,
         "+a; +b; S t1 -> a:t1 b:t1; -a; a ok; b ok -> S:OK; b ok"},
        // The one left did not get it live: nobody will answer for it.
        {"the primary leaves, the one left joined after the telegram", 1000,
         "+a; S t2 -> a:t2; +b -> b:t2; -a -> S:OK; b ok"},
        {"the last receiver leaves", 1000, "+a; S t1 -> a:t1; -a -> S:OK"},
        // Before the sender's own 4 s run out, whatever the receivers do; once.
        {"a primary that does not answer", 1000,
         "+a; S t1 -> a:t1; wait 3499; wait 1 -> S:OK; a ok; S t2 -> a:t2; wait 3500 -> S:OK; "
         "S t4; wait 499; wait 1 -> a:t4; a ok -> S:OK"},
        {"a receiver that never answers is let go behind the limit", 2,
         "+a; +b; S t1 -> a:t1 b:t1; a ok -> S:OK; S t2 -> a:t2; a ok -> S:OK; "
         "S t4 -> a:t4 drop b; b ok; a ok -> S:OK"},
        {"the primary let go behind the limit", 1,
         "+a; +b; S t1 -> a:t1 b:t1; b ok; S t2 -> b:t2 drop a S:OK; b ok -> S:OK"},
        // Answered once, after the quiet, and passed to no receiver.
        {"garbage from the sender", 1000, "+a; S #; S big; wait 250 -> S:OK; S t1 -> a:t1"},
        {"an acknowledgement from the sender is passed on to no one", 1000, "+a; S ok; wait 5000"},
        {"what a receiver sends is answered and goes no further", 1000,
         "+a; a t4 -> a:OK; a #; wait 250 -> a:OK; S t1 -> a:t1; a ok -> S:OK; a ok"},
        // The unanswered telegram comes again on the new connection.
        {"the sender's connection is lost", 1000,
         "+a; S t1 -> a:t1; S-; S t2; a ok; S+; S t1 -> a:t1; a ok -> S:OK"},
        // The last carrier of each section in their order, whole, then the live feed behind.
        {"catch-up while the live feed goes on", 1000,
         "S t1 t2 t3 t6 -> S:OK S:OK S:OK S:OK; +a -> a:t1; S t5; a ok -> a:t2; a ok -> a:t6; "
         "a ok -> a:t5; a ok -> S:OK; +b -> b:t1; S t4 -> a:t4; a ok -> S:OK; b ok -> b:t2"},
        {"eight receivers at most", 1000,
         "+a; +b; +c; +d; +e; +f; +g; +h; +i -> abgewiesen; -c; +j; "
         "S t4 -> a:t4 b:t4 d:t4 e:t4 f:t4 g:t4 h:t4 j:t4"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Script script(row.maxBehind);
        std::string steps = row.script;
        for (std::size_t start = 0; start < steps.size();) {
            const std::size_t end = std::min(steps.find("; ", start), steps.size());
            const std::string step = steps.substr(start, end - start);
            const std::size_t arrow = step.find(" -> ");
            SCOPED_TRACE(step);
            EXPECT_EQ(script.Step(step.substr(0, arrow)),
                      arrow == std::string::npos ? "" : step.substr(arrow + 4));
            start = end + 2;
        }
    }
}

// What the tool's log shows of a relay's life.
TEST(Relay, LogLinesAndFigures) {
    Script script(2);
    for (const char* step :
         {"+a", "S t1", "+b", "S t2", "a ok", "a ok", "a ok", "b ok", "S t4", "wait 3500",
          "wait 500", "S t1", "S t5", "-a", "+c", "c t4", "S ok", "S #x", "wait 250"})
        script.Step(step);
    const auto line = [](const char* name) {
        return "telegramm: " + kFrames.at(name).substr(0, 100);
    };
    EXPECT_EQ(script.relay.Figures(),
              (std::vector<std::string>{"Empfänger 3 (c): gesendet 1, quittiert 0, ohne Quittung "
                                        "0, zurück 0, zum Nachholen 1, Hauptempfänger"}));
    EXPECT_EQ(script.sink.log,
              (std::vector<std::string>{
                  "relay: Empfänger 1 (a) verbunden, 0 Telegramme zum Nachholen",
                  "relay: Empfänger 1 (a) ist Hauptempfänger",
                  line("t1"),
                  "relay: Empfänger 2 (b) verbunden, 1 Telegramme zum Nachholen",
                  line("t2"),
                  "relay: Empfänger 1 (a): Quittung ohne gesendetes Telegramm",
                  line("t4"),
                  "relay: Sender quittiert ohne Quittung des Hauptempfängers (Empfänger 1 (a))",
                  "relay: Empfänger 1 (a): keine Quittung nach 4 s",
                  "relay: Empfänger 2 (b): keine Quittung nach 4 s",
                  line("t1"),
                  line("t5"),
                  "warnung: Empfänger 2 (b) getrennt: mehr als 2 Telegramme zurück (gesendet 3, "
                  "quittiert 1, ohne Quittung 1, zurück 3)",
                  "relay: Empfänger 1 (a) getrennt (gesendet 4, quittiert 2, ohne Quittung 1, "
                  "zurück 2)",
                  "relay: Empfänger 3 (c) verbunden, 1 Telegramme zum Nachholen",
                  "relay: Empfänger 3 (c) ist Hauptempfänger",
                  "relay: Empfänger 3 (c): Telegramm des Empfängers quittiert",
                  "client: Quittung vom Sender ohne gesendetes Telegramm",
                  "client: Fehlerhafter Rahmen",
                  "client: #x",
              }));
}

}  // namespace
}  // namespace zelmo
