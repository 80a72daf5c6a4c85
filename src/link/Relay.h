#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/FrameReader.h"
#include "link/TelegramStore.h"

// One scoring sender, several graphics machines. The relay is the sender's receiver and each
// receiver's sender: every telegram from the sender goes, byte for byte, to every connected
// receiver in order, each receiver with its own stop-and-wait queue. The sender gets exactly
// one acknowledgement per telegram: once the primary receiver (the longest connected) has
// acknowledged it, at once while no receiver holds it, and after kSenderAckWait whatever the
// receivers do, so that graphics being down never stall the sender. A receiver that falls more
// than its limit behind is let go. One that connects gets first, in their order, the last
// telegram that carried each section, so that its store matches the others' at once.
//
// Nothing here touches a socket or a clock: the caller reports bytes and connections with the
// time they happened and calls Tick when Deadline has come; the effects go out through
// RelaySink.
namespace zelmo {

class RelaySink {
  public:
    virtual ~RelaySink() = default;
    virtual void ToSender(std::string_view bytes) = 0;
    virtual void ToReceiver(std::uint64_t receiver, std::string_view bytes) = 0;
    // The relay has let the receiver go (too far behind): close its connection. It is
    // already forgotten; reporting its end back changes nothing.
    virtual void Drop(std::uint64_t receiver) = 0;
    // A log line: the tool's prefix ("telegramm: ", "client: ", "relay: ", "warnung: ") and
    // the text.
    virtual void Log(std::string_view prefix, const std::string& text) = 0;
};

class Relay {
  public:
    using Clock = std::chrono::steady_clock;
    using Id = std::uint64_t;

    static constexpr std::size_t kMaxReceivers = 8;
    static constexpr std::size_t kDefaultMaxBehind = 1000;
    // Telegrams held for one receiver, in bytes: a thousand large start lists would otherwise
    // pin gigabytes for a receiver that has stopped.
    static constexpr std::size_t kMaxBehindBytes = std::size_t{256} * 1024 * 1024;
    // A receiver's wait for its acknowledgement, as the scoring sender waits.
    static constexpr Clock::duration kReceiverAckWait = std::chrono::seconds(4);
    // The sender gives up 4 s after its send and then takes a late acknowledgement for its
    // next telegram: the relay answers for the primary before that.
    static constexpr Clock::duration kSenderAckWait = std::chrono::milliseconds(3500);

    // A receiver more than `maxBehind` telegrams of the live feed behind is let go (above 0).
    explicit Relay(RelaySink& sink, std::size_t maxBehind = kDefaultMaxBehind);

    // The sender's connection. A new one starts afresh: bytes and acknowledgements owed to an
    // old one are forgotten (the sender sends an unanswered telegram again).
    void SenderConnected();
    void SenderDisconnected();
    void FromSender(std::string_view bytes, Clock::time_point now);

    // A receiver connected: the caller's number for it (new each time, it names the receiver
    // in the log) and its address. Its catch-up starts at once. False when kMaxReceivers are
    // connected (logged): the caller closes it.
    bool ReceiverConnected(Id receiver, const std::string& name, Clock::time_point now);
    void ReceiverDisconnected(Id receiver, Clock::time_point now);
    void FromReceiver(Id receiver, std::string_view bytes, Clock::time_point now);

    // Ends garbled runs that have gone quiet, gives up waits that have run out, and
    // acknowledges to the sender what is due.
    void Tick(Clock::time_point now);
    // When Tick must run at the latest; nothing while nothing waits.
    std::optional<Clock::time_point> Deadline() const;

    // "Empfänger 2 (127.0.0.1:40112): gesendet 105, quittiert 104, ohne Quittung 0, zurück 1",
    // one per connected receiver, the primary first and marked.
    std::vector<std::string> Figures() const;
    std::size_t Receivers() const { return peers_.size(); }
    // Telegrams from the sender so far.
    std::uint64_t Telegrams() const { return nextSeq_ - 1; }

  private:
    struct Item {
        std::shared_ptr<const std::string> frame;
        std::uint64_t seq = 0;
        bool live = false;  // false: catch-up
    };
    struct InFlight {
        std::uint64_t seq = 0;
        bool live = false;
        std::size_t bytes = 0;
        Clock::time_point sentAt;
    };
    struct Peer {
        Id id = 0;
        std::string name;
        std::uint64_t firstLive = 0;  // the first telegram of the live feed it gets
        std::deque<Item> queue;       // not yet sent
        std::optional<InFlight> inFlight;
        std::uint64_t ackedThrough = 0;  // the last live telegram it acknowledged
        std::size_t behind = 0;          // live telegrams not yet acknowledged or given up
        std::size_t behindBytes = 0;
        std::size_t catchUp = 0;  // catch-up telegrams not yet acknowledged or given up
        std::uint64_t sent = 0;
        std::uint64_t acknowledged = 0;
        std::uint64_t withoutAck = 0;
        FrameReader reader;
    };
    struct Owed {
        std::uint64_t seq = 0;
        Clock::time_point deadline;
    };

    void SenderTelegram(std::string_view frame, Clock::time_point now);
    // Keeps the telegram as the catch-up of each section it replaces.
    void NoteSections(std::string_view frame, std::uint64_t seq,
                      std::shared_ptr<const std::string>& copy);
    void ReceiverAck(Peer& peer, Clock::time_point now);
    // The telegram in flight is done with (acknowledged or given up).
    void Done(Peer& peer);
    void SendNext(Peer& peer, Clock::time_point now);
    // Acknowledges to the sender every owed telegram that is due, in order.
    void Settle(Clock::time_point now);
    void Remove(std::size_t index, std::string_view prefix, const std::string& why,
                Clock::time_point now);
    Peer* Find(Id id);
    std::string Name(const Peer& peer) const;
    std::string Counts(const Peer& peer) const;

    RelaySink& sink_;
    const std::size_t maxBehind_;
    FrameReader senderReader_;
    bool senderConnected_ = false;
    std::deque<Owed> owed_;
    std::uint64_t nextSeq_ = 1;
    // In connection order: the first is the primary.
    std::vector<std::unique_ptr<Peer>> peers_;
    // Per section, the last telegram that carried it.
    std::array<std::optional<Item>, TelegramStore::kSectionNames.size()> carriers_;
    // Evaluates each telegram as a receiver would, to learn which sections it replaces.
    TelegramStore scratch_;
};

}  // namespace zelmo
