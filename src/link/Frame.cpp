#include "link/Frame.h"

#include "component/CodePage.h"
#include "component/Error.h"

namespace zelmo {

std::string EncodeFrame(std::string_view payloadUtf8) {
    const std::string payload = codepage::Encode(payloadUtf8);
    std::size_t total = payload.size() + kPrefixLength;
    if (total > 9'999'999'999ULL)
        throw Error("Telegramm zu lang für das Längenfeld");

    std::string frame(kPrefixLength, '0');
    for (std::size_t pos = kPrefixLength; pos-- > 0 && total > 0; total /= 10) {
        frame[pos] = static_cast<char>('0' + total % 10);
    }
    frame += payload;
    return frame;
}

}  // namespace zelmo
