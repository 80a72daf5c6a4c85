// The receive path with evaluation: any bytes, cut into reads anywhere, end in a defined
// state. Input layout: byte 0 = flags (bit 7: template editor active; bits 4-6: which start
// of a prefix the link leaves incomplete at the end, 0 none) and the number of cuts (low 4
// bits); then two bytes per cut giving the read length (top bit: the quiet time passes before
// the read, low 15 bits: its length); the rest is the stream. Reads without the quiet time
// between them come 10 ms apart.
//
// Checked on every input: each telegram is dispatched (at most once) before its
// acknowledgement; every telegram and garbled run is answered by exactly one acknowledgement;
// the frames found do not depend on the cuts between quiet times; nothing is held beyond one
// frame, and after the quiet time nothing but a frame whose prefix is complete; and once the
// link has been quiet with no frame in progress, a good telegram is evaluated and answered
// exactly once, also after a start of a prefix that the quiet time ended (noticed by the
// timer or by the telegram's bytes).
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "link/Frame.h"
#include "link/FrameReader.h"
#include "link/Receiver.h"
#include "link/TelegramStore.h"

namespace {

void Check(bool ok) {
    if (!ok)
        std::abort();
}

class CheckingSink : public zelmo::ReceiverSink {
  public:
    void TelegramLog(const std::string&) override {
        ++telegrams;
        Check(!awaitingAck_);
        awaitingAck_ = true;
        dispatched_ = false;
        ++answersDue;
    }
    void ClientLog(const std::string& line) override {
        if (garbledTextNext_) {
            garbledTextNext_ = false;  // the garbled bytes themselves, whatever they say
        } else if (line == zelmo::kFehlerhafterRahmen) {
            garbledTextNext_ = true;
            Check(!awaitingAck_);
            awaitingAck_ = true;
            dispatched_ = true;  // nothing to dispatch for garbage
            ++answersDue;
        }
    }
    void StatusLabel(const std::string&) override { Check(awaitingAck_); }
    void Dispatch(const std::string& eventText) override {
        Check(awaitingAck_ && !dispatched_ && aktiv);
        Check(!eventText.empty());
        dispatched_ = true;
        ++dispatches;
    }
    void SendBytes(std::string_view bytes) override {
        Check(bytes == zelmo::kAckFrame);
        Check(awaitingAck_);
        awaitingAck_ = false;
        ++answers;
    }

    bool aktiv = false;
    std::size_t answersDue = 0;
    std::size_t answers = 0;
    std::size_t telegrams = 0;
    std::size_t dispatches = 0;

  private:
    bool awaitingAck_ = false;
    bool dispatched_ = false;
    bool garbledTextNext_ = false;
};

using Clock = zelmo::FrameReader::Clock;
using Frames = std::vector<std::pair<zelmo::FrameReader::Kind, std::string>>;

struct Read {
    std::string_view bytes;
    bool quietBefore = false;
};

Clock::time_point Advance(Clock::time_point now, const Read& read) {
    return now +
           (read.quietBefore ? zelmo::FrameReader::kQuietTime : std::chrono::milliseconds(10));
}

// The frames found and whether a frame or prefix is still in progress at the end.
std::pair<Frames, bool> FramesOf(const std::vector<Read>& reads) {
    zelmo::FrameReader reader;
    Frames frames;
    Clock::time_point now{};
    for (Read read : reads) {
        now = Advance(now, read);
        while (const auto event = reader.Next(read.bytes, now)) {
            if (event->kind != zelmo::FrameReader::Kind::Garbled) {
                frames.emplace_back(event->kind, std::string(event->bytes));
            }
        }
        Check(reader.Held() <= zelmo::kMaxFrameLength);
    }
    std::string_view none;
    while (reader.Next(none, now + zelmo::FrameReader::kQuietTime)) {
    }
    // Only a frame whose prefix is complete may wait through the quiet time.
    Check(reader.Held() == 0 || reader.Held() >= zelmo::kPrefixLength);
    return {frames, reader.Held() > 0};
}

// The same stream with every stretch between quiet times in one read.
std::vector<Read> Stretches(const std::vector<Read>& reads) {
    std::vector<Read> joined;
    for (const Read& read : reads) {
        if (joined.empty() || read.quietBefore)
            joined.push_back(read);
        else  // the reads are consecutive views of one stream
            joined.back().bytes = std::string_view(joined.back().bytes.data(),
                                                   joined.back().bytes.size() + read.bytes.size());
    }
    return joined;
}

const std::string kGoodFrame =
    R"(0000000102{"Ereignis":{"Befehl":"Befehl","Status":"GAEin","Wert1":1,"Wert2":"","Wert3":"","Wert4":""}})";

// Starts of a prefix that a sender may leave behind: each could be completed by the next
// frame's digits.
constexpr std::string_view kPartialPrefixes[] = {"",     "0",       "00",       "000",
                                                 "0000", "0000000", "00000000", "000000001"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const bool aktiv = (data[0] & 0x80) != 0;
    const std::size_t partialIndex = (data[0] >> 4) & 0x07;
    const std::string_view partial = kPartialPrefixes[partialIndex];
    std::size_t cuts = data[0] & 0x0F;
    std::size_t at = 1;
    std::vector<std::pair<std::size_t, bool>> lengths;
    for (; cuts > 0 && at + 2 <= size; --cuts, at += 2) {
        lengths.emplace_back(static_cast<std::size_t>(data[at] & 0x7F) << 8 | data[at + 1],
                             (data[at] & 0x80) != 0);
    }
    const std::string_view stream(reinterpret_cast<const char*>(data) + at, size - at);

    std::vector<Read> reads;
    std::string_view rest = stream;
    for (const auto& [length, quiet] : lengths) {
        reads.push_back({rest.substr(0, length), quiet});
        rest.remove_prefix(reads.back().bytes.size());
    }
    reads.push_back({rest, false});

    zelmo::TelegramStore store;
    CheckingSink sink;
    sink.aktiv = aktiv;
    zelmo::Receiver receiver(store, sink, aktiv);
    receiver.OnConnected(1);
    Clock::time_point now{};
    for (const Read& read : reads) {
        now = Advance(now, read);
        receiver.OnBytes(read.bytes, now);
        Check(sink.answers == sink.answersDue);
    }

    const auto [frames, inProgress] = FramesOf(reads);
    Check(FramesOf(Stretches(reads)) == std::pair(frames, inProgress));

    // The sender's next telegram after the quiet time, when no frame is in progress.
    now += zelmo::FrameReader::kQuietTime;
    receiver.Tick(now);
    Check(sink.answers == sink.answersDue);
    if (!inProgress) {
        const std::size_t telegrams = sink.telegrams;
        const std::size_t dispatches = sink.dispatches;
        const std::size_t answers = sink.answers;
        if (!partial.empty()) {
            now += std::chrono::milliseconds(1);
            receiver.OnBytes(partial, now);
            now += zelmo::FrameReader::kQuietTime;
            if (partialIndex % 2 != 0)
                receiver.Tick(now);
        }
        receiver.OnBytes(kGoodFrame, now + std::chrono::milliseconds(1));
        Check(sink.telegrams == telegrams + 1);
        Check(sink.answers == answers + (partial.empty() ? 1 : 2));
        Check(sink.dispatches == dispatches + (aktiv ? 1 : 0));
    }
    receiver.OnDisconnected(1);
    Check(!receiver.AckPending());
    return 0;
}
