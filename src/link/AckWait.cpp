#include "link/AckWait.h"

#include "link/Frame.h"

namespace zelmo {

void AckWait::Connected(std::int32_t socket) {
    socket_ = socket;
    ackFlag_ = true;
    sentAt_.reset();
}

void AckWait::Disconnected() {
    socket_ = 0;
    ackFlag_ = true;
    sentAt_.reset();
}

AckWait::SendDecision AckWait::BeginSend(std::string_view payload, Clock::time_point now) {
    if (!IsConnected())
        return SendDecision::Refused;
    // Sending our own acknowledgement leaves the flag alone: it must not end the wait for
    // the peer's answer to a telegram we sent.
    if (payload == kAckPayload)
        return SendDecision::SendNoWait;
    ackFlag_ = false;
    sentAt_ = now;
    return SendDecision::SendAndWait;
}

bool AckWait::Tick(Clock::time_point now) {
    if (!Pending() || now - *sentAt_ <= kTimeout)
        return false;
    ackFlag_ = true;
    sentAt_.reset();
    return true;
}

std::optional<AckWait::Clock::time_point> AckWait::Deadline() const {
    if (!Pending())
        return std::nullopt;
    return *sentAt_ + kTimeout;
}

}  // namespace zelmo
