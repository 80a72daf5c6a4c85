#include "link/Relay.h"

#include <algorithm>

#include "component/CodePage.h"
#include "link/Evaluation.h"
#include "link/Frame.h"
#include "link/Receiver.h"

namespace zelmo {

namespace {

constexpr std::size_t kTelegramLogBytes = 100;

void Earliest(std::optional<Relay::Clock::time_point>& at,
              std::optional<Relay::Clock::time_point> other) {
    if (other && (!at || *other < *at))
        at = other;
}

}  // namespace

Relay::Relay(RelaySink& sink, std::size_t maxBehind)
    : sink_(sink), maxBehind_(std::max<std::size_t>(maxBehind, 1)) {}

void Relay::SenderConnected() {
    senderConnected_ = true;
    senderReader_.Reset();
    owed_.clear();
}

void Relay::SenderDisconnected() {
    senderConnected_ = false;
    senderReader_.Reset();
    owed_.clear();
}

void Relay::FromSender(std::string_view bytes, Clock::time_point now) {
    if (!senderConnected_)
        return;
    while (const auto event = senderReader_.Next(bytes, now)) {
        switch (event->kind) {
            case FrameReader::Kind::Telegram:
                SenderTelegram(event->bytes, now);
                break;
            case FrameReader::Kind::PeerAck:
                // The relay sends the sender nothing to acknowledge, nor passes this on.
                sink_.Log("client: ", "Quittung vom Sender ohne gesendetes Telegramm");
                break;
            case FrameReader::Kind::Garbled:
                // Answered here as a receiver answers it, and never passed on: each receiver
                // would answer it too, and its bytes are no telegram.
                sink_.Log("client: ", std::string(kFehlerhafterRahmen));
                sink_.Log("client: ", codepage::Decode(event->bytes));
                sink_.ToSender(kAckFrame);
                break;
        }
    }
}

void Relay::SenderTelegram(std::string_view frame, Clock::time_point now) {
    const std::uint64_t seq = nextSeq_++;
    std::shared_ptr<const std::string> copy;
    // Passed on first: the sender waits for the primary's answer.
    for (const auto& peer : peers_) {
        if (!peer->inFlight && peer->queue.empty()) {
            sink_.ToReceiver(peer->id, frame);
            peer->inFlight = InFlight{seq, true, frame.size(), now};
            ++peer->sent;
        } else {
            if (!copy)
                copy = std::make_shared<const std::string>(frame);
            peer->queue.push_back({copy, seq, true});
        }
        ++peer->behind;
        peer->behindBytes += frame.size();
    }
    if (peers_.empty())
        sink_.ToSender(kAckFrame);
    else
        owed_.push_back({seq, now + kSenderAckWait});

    sink_.Log("telegramm: ", codepage::Decode(frame.substr(0, kTelegramLogBytes)));
    NoteSections(frame, seq, copy);

    for (std::size_t i = peers_.size(); i-- > 0;) {
        const Peer& peer = *peers_[i];
        if (peer.behind > maxBehind_)
            Remove(i, "warnung: ", "mehr als " + std::to_string(maxBehind_) + " Telegramme zurück",
                   now);
        else if (peer.behindBytes > kMaxBehindBytes)
            Remove(i, "warnung: ",
                   "mehr als " + std::to_string(kMaxBehindBytes / (1024 * 1024)) + " MB zurück",
                   now);
    }
}

void Relay::NoteSections(std::string_view frame, std::uint64_t seq,
                         std::shared_ptr<const std::string>& copy) {
    // The receiver's own evaluation decides which sections a telegram replaces: one that does
    // not decode replaces none, one with a section of the wrong kind only those before it.
    scratch_.Clear();
    Auswerten(codepage::Decode(frame.substr(kPrefixLength)), scratch_, false, {});
    for (std::size_t k = 0; k < carriers_.size(); ++k) {
        if (scratch_.Section(TelegramStore::kSectionNames[k]).IsNothing())
            continue;
        if (!copy)
            copy = std::make_shared<const std::string>(frame);
        carriers_[k] = Item{copy, seq, false};
    }
    scratch_.Clear();
}

bool Relay::ReceiverConnected(Id receiver, const std::string& name, Clock::time_point now) {
    if (peers_.size() >= kMaxReceivers) {
        sink_.Log("relay: ", "weiterer Empfänger abgewiesen (höchstens " +
                                 std::to_string(kMaxReceivers) + "): " + name);
        return false;
    }
    auto peer = std::make_unique<Peer>();
    peer->id = receiver;
    peer->name = name;
    peer->firstLive = nextSeq_;
    std::vector<Item> catchUp;
    for (const auto& carrier : carriers_) {
        if (carrier && std::none_of(catchUp.begin(), catchUp.end(),
                                    [&](const Item& i) { return i.seq == carrier->seq; }))
            catchUp.push_back(*carrier);
    }
    std::sort(catchUp.begin(), catchUp.end(),
              [](const Item& a, const Item& b) { return a.seq < b.seq; });
    peer->queue.assign(catchUp.begin(), catchUp.end());
    peer->catchUp = catchUp.size();

    Peer& added = *peers_.emplace_back(std::move(peer));
    sink_.Log("relay: ", Name(added) + " verbunden, " + std::to_string(added.catchUp) +
                             " Telegramme zum Nachholen");
    if (peers_.size() == 1)
        sink_.Log("relay: ", Name(added) + " ist Hauptempfänger");
    SendNext(added, now);
    return true;
}

void Relay::ReceiverDisconnected(Id receiver, Clock::time_point now) {
    for (std::size_t i = 0; i < peers_.size(); ++i) {
        if (peers_[i]->id == receiver) {
            Remove(i, "relay: ", "", now);
            return;
        }
    }
}

void Relay::Remove(std::size_t index, std::string_view prefix, const std::string& why,
                   Clock::time_point now) {
    const std::unique_ptr<Peer> peer = std::move(peers_[index]);
    peers_.erase(peers_.begin() + static_cast<std::ptrdiff_t>(index));
    sink_.Log(prefix, Name(*peer) + " getrennt" + (why.empty() ? "" : ": " + why) + " (" +
                          Counts(*peer) + ")");
    if (!why.empty())
        sink_.Drop(peer->id);
    if (index == 0 && !peers_.empty())
        sink_.Log("relay: ", Name(*peers_.front()) + " ist Hauptempfänger");
    // The new primary may have answered already, or may not hold what is owed at all.
    Settle(now);
}

Relay::Peer* Relay::Find(Id id) {
    for (const auto& peer : peers_) {
        if (peer->id == id)
            return peer.get();
    }
    return nullptr;
}

void Relay::FromReceiver(Id receiver, std::string_view bytes, Clock::time_point now) {
    Peer* peer = Find(receiver);
    if (peer == nullptr)
        return;
    while (const auto event = peer->reader.Next(bytes, now)) {
        if (event->kind == FrameReader::Kind::PeerAck) {
            ReceiverAck(*peer, now);
            continue;
        }
        // The link is answered both ways; what a receiver sends goes no further.
        sink_.ToReceiver(peer->id, kAckFrame);
        sink_.Log("relay: ",
                  Name(*peer) + (event->kind == FrameReader::Kind::Telegram
                                     ? ": Telegramm des Empfängers quittiert"
                                     : ": fehlerhafter Rahmen des Empfängers quittiert"));
    }
}

void Relay::ReceiverAck(Peer& peer, Clock::time_point now) {
    if (!peer.inFlight) {
        sink_.Log("relay: ", Name(peer) + ": Quittung ohne gesendetes Telegramm");
        return;
    }
    ++peer.acknowledged;
    if (peer.inFlight->live)
        peer.ackedThrough = peer.inFlight->seq;
    Done(peer);
    // The sender first: it waits, the receiver's next telegram does not.
    Settle(now);
    SendNext(peer, now);
}

void Relay::Done(Peer& peer) {
    if (peer.inFlight->live) {
        --peer.behind;
        peer.behindBytes -= peer.inFlight->bytes;
    } else {
        --peer.catchUp;
    }
    peer.inFlight.reset();
}

void Relay::SendNext(Peer& peer, Clock::time_point now) {
    if (peer.inFlight || peer.queue.empty())
        return;
    const Item item = std::move(peer.queue.front());
    peer.queue.pop_front();
    sink_.ToReceiver(peer.id, *item.frame);
    peer.inFlight = InFlight{item.seq, item.live, item.frame->size(), now};
    ++peer.sent;
}

void Relay::Settle(Clock::time_point now) {
    while (!owed_.empty()) {
        const Owed& owed = owed_.front();
        const Peer* primary = peers_.empty() ? nullptr : peers_.front().get();
        // Receivers are in connection order: when the primary did not get the telegram live,
        // none of them did.
        const bool held = primary != nullptr && primary->firstLive <= owed.seq;
        if (held && primary->ackedThrough < owed.seq) {
            if (now < owed.deadline)
                return;
            sink_.Log("relay: ", "Sender quittiert ohne Quittung des Hauptempfängers (" +
                                     Name(*primary) + ")");
        }
        owed_.pop_front();
        sink_.ToSender(kAckFrame);
    }
}

void Relay::Tick(Clock::time_point now) {
    FromSender({}, now);
    for (std::size_t i = 0; i < peers_.size(); ++i)
        FromReceiver(peers_[i]->id, {}, now);
    for (const auto& peer : peers_) {
        if (!peer->inFlight || now < peer->inFlight->sentAt + kReceiverAckWait)
            continue;
        // The telegram stays sent, as the scoring sender leaves it; the next one follows.
        ++peer->withoutAck;
        sink_.Log("relay: ", Name(*peer) + ": keine Quittung nach 4 s");
        Done(*peer);
        SendNext(*peer, now);
    }
    Settle(now);
}

std::optional<Relay::Clock::time_point> Relay::Deadline() const {
    std::optional<Clock::time_point> at = senderReader_.QuietDeadline();
    if (!owed_.empty())
        Earliest(at, owed_.front().deadline);
    for (const auto& peer : peers_) {
        Earliest(at, peer->reader.QuietDeadline());
        if (peer->inFlight)
            Earliest(at, peer->inFlight->sentAt + kReceiverAckWait);
    }
    return at;
}

std::string Relay::Name(const Peer& peer) const {
    return "Empfänger " + std::to_string(peer.id) + " (" + peer.name + ")";
}

std::string Relay::Counts(const Peer& peer) const {
    std::string text = "gesendet " + std::to_string(peer.sent) + ", quittiert " +
                       std::to_string(peer.acknowledged) + ", ohne Quittung " +
                       std::to_string(peer.withoutAck) + ", zurück " + std::to_string(peer.behind);
    if (peer.catchUp > 0)
        text += ", zum Nachholen " + std::to_string(peer.catchUp);
    return text;
}

std::vector<std::string> Relay::Figures() const {
    std::vector<std::string> lines;
    for (const auto& peer : peers_)
        lines.push_back(Name(*peer) + ": " + Counts(*peer) +
                        (peer == peers_.front() ? ", Hauptempfänger" : ""));
    return lines;
}

}  // namespace zelmo
