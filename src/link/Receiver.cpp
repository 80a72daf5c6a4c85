#include "link/Receiver.h"

#include <algorithm>
#include <string>

#include "component/CodePage.h"
#include "component/Collection.h"
#include "link/Evaluation.h"
#include "link/Frame.h"

namespace zelmo {

namespace {

constexpr std::size_t kTelegramLogChars = 100;
static_assert(kJsonPadding >= codepage::kDecodeSlack);

}  // namespace

void Receiver::OnConnected(std::int32_t socket) {
    reader_.Reset();
    ack_.Connected(socket);
    ++connection_;
    sink_.ClientLog("TCPClient TCPConnect - Socket: " + std::to_string(socket));
}

void Receiver::OnDisconnected(std::int32_t socket) {
    reader_.Reset();
    ack_.Disconnected();
    ++connection_;
    sink_.ClientLog("TCPClient TCPDisConnect - Socket: " + std::to_string(socket));
}

void Receiver::OnBytes(std::string_view bytes, Clock::time_point now) {
    Handle(bytes, now);
}

bool Receiver::Handle(std::string_view bytes, Clock::time_point now) {
    const std::uint64_t connection = connection_;
    while (const auto event = reader_.Next(bytes, now)) {
        switch (event->kind) {
            case FrameReader::Kind::Telegram:
                Telegram(event->bytes);
                break;
            case FrameReader::Kind::PeerAck:
                PeerAck();
                break;
            case FrameReader::Kind::Garbled:
                Garbled(event->bytes);
                break;
        }
        // The rest belongs to a connection that no longer exists.
        if (connection_ != connection)
            return false;
    }
    return true;
}

void Receiver::Telegram(std::string_view frame) {
    // One byte is one character in the code page, so the first 100 bytes give the first 100
    // characters without decoding the whole frame twice.
    sink_.TelegramLog(codepage::Decode(frame.substr(0, kTelegramLogChars)));

    // One pass where the buffer has room, as it has from the second of telegrams of about the
    // same size; else measured first and grown with a margin.
    const std::string_view wire = frame.substr(kPrefixLength);
    std::optional<std::size_t> size;
    if (payload_.size() > kJsonPadding)
        size = codepage::DecodeInto(wire, payload_.data(), payload_.size() - kJsonPadding);
    if (!size) {
        size = codepage::DecodedSize(wire);
        if (payload_.size() < *size + kJsonPadding)
            payload_.resize(*size + *size / 8 + kJsonPadding + 64);
        codepage::DecodeTo(wire, payload_.data());
    }

    const std::uint64_t connection = connection_;
    const Evaluation evaluation =
        Auswerten(PaddedJson{{payload_.data(), *size}}, store_, vorlagenAktiv_,
                  [this](const std::string& eventText) { sink_.Dispatch(eventText); });
    if (evaluation.label)
        sink_.StatusLabel(*evaluation.label);
    // Acknowledged only after the output run has returned, and never into a connection
    // made while it ran.
    if (connection_ == connection)
        SendAck();
    if (observer_ != nullptr)
        observer_->Telegram({payload_.data(), *size}, evaluation.decoded);
    // One huge start list does not pin its size for the rest of the show.
    if (payload_.size() > kJsonKeepBytes)
        std::string().swap(payload_);
}

void Receiver::PeerAck() {
    ack_.PeerAcknowledged();
    // An acknowledgement is a frame of its own, so no other frame is in progress when it
    // completes: the received count is 0. The reader has no overflow flag to report.
    sink_.ClientLog("TCPClient DataArrival: " + std::to_string(ack_.Socket()) +
                    " * OK empfangen * 0 * FirstBufferAfterOverflow = Falsch");
}

void Receiver::Garbled(std::string_view bytes) {
    sink_.ClientLog(std::string(kFehlerhafterRahmen));
    sink_.ClientLog(codepage::Decode(bytes));
    SendAck();
}

void Receiver::SendAck() {
    if (!ack_.IsConnected()) {
        Refused();
        return;
    }
    sink_.SendBytes(kAckFrame);
}

void Receiver::Refused() {
    sink_.ClientLog(std::string(kNichtVersandtKeineSocket));
}

bool Receiver::Send(std::string_view payloadUtf8, Clock::time_point now) {
    if (!ack_.IsConnected()) {
        Refused();
        return false;
    }
    const std::string frame = EncodeFrame(payloadUtf8);
    ack_.BeginSend(payloadUtf8, now);
    sink_.SendBytes(frame);
    return true;
}

void Receiver::Tick(Clock::time_point now) {
    if (!Handle({}, now))
        return;
    if (ack_.Tick(now))
        sink_.ClientLog(std::string(kNichtVersandtTimeout));
}

std::optional<Receiver::Clock::time_point> Receiver::Deadline() const {
    const auto ack = ack_.Deadline();
    const auto quiet = reader_.QuietDeadline();
    if (ack && quiet)
        return std::min(*ack, *quiet);
    return ack ? ack : quiet;
}

}  // namespace zelmo
