// The receive path with evaluation: any bytes, cut into reads anywhere, end in a defined
// state. Input layout: byte 0 = flags (bit 7: template editor active) and the number of cuts
// (low 4 bits); then two bytes per cut giving the read length; the rest is the stream.
//
// Checked on every input: each telegram is dispatched (at most once) before its
// acknowledgement; every telegram and garbled run is answered by exactly one acknowledgement;
// the frames found do not depend on the cuts; nothing is held beyond one frame.
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

  private:
    bool awaitingAck_ = false;
    bool dispatched_ = false;
    bool garbledTextNext_ = false;
};

using Frames = std::vector<std::pair<zelmo::FrameReader::Kind, std::string>>;

Frames FramesOf(const std::vector<std::string_view>& reads) {
    zelmo::FrameReader reader;
    Frames frames;
    for (std::string_view read : reads) {
        while (const auto event = reader.Next(read)) {
            if (event->kind != zelmo::FrameReader::Kind::Garbled) {
                frames.emplace_back(event->kind, std::string(event->bytes));
            }
        }
        Check(reader.Held() <= zelmo::kMaxFrameLength);
    }
    return frames;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const bool aktiv = (data[0] & 0x80) != 0;
    std::size_t cuts = data[0] & 0x0F;
    std::size_t at = 1;
    std::vector<std::size_t> lengths;
    for (; cuts > 0 && at + 2 <= size; --cuts, at += 2) {
        lengths.push_back(static_cast<std::size_t>(data[at]) << 8 | data[at + 1]);
    }
    const std::string_view stream(reinterpret_cast<const char*>(data) + at, size - at);

    std::vector<std::string_view> reads;
    std::string_view rest = stream;
    for (std::size_t length : lengths) {
        reads.push_back(rest.substr(0, length));
        rest.remove_prefix(reads.back().size());
    }
    reads.push_back(rest);

    zelmo::TelegramStore store;
    CheckingSink sink;
    sink.aktiv = aktiv;
    zelmo::Receiver receiver(store, sink, aktiv);
    receiver.OnConnected(1);
    for (std::string_view read : reads) {
        receiver.OnBytes(read);
        Check(sink.answers == sink.answersDue);
    }
    receiver.OnDisconnected(1);
    Check(!receiver.AckPending());

    Check(FramesOf(reads) == FramesOf({stream}));
    return 0;
}
