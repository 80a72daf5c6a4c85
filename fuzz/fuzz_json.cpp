// JSON decoding and the code page: any bytes either decode or fail with the project's error,
// a decoded document can be walked completely, and decoding agrees with simdjson's fully
// validating DOM parser on what is valid JSON.
#include <simdjson.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "component/CodePage.h"
#include "component/Collection.h"
#include "component/Error.h"

namespace {

// Valid JSON that the DOM parser cannot represent, which we keep as text: numbers out of a
// double's range, and (from simdjson 3.7.1 on, which names it) integers beyond 64 bits.
template <typename Code>
bool Unrepresentable(Code error) {
    if constexpr (requires { Code::BIGINT_ERROR; }) {
        if (error == Code::BIGINT_ERROR)
            return true;
    }
    return error == Code::NUMBER_ERROR;
}

std::size_t Walk(const zelmo::Collection& c, int depth) {
    if (!c.IsCollection())
        return c.Text().size();
    std::size_t n = c.Count();
    for (std::size_t k = 0; k < c.Count(); ++k) {
        if (c.IsObject() && c.Item(c.KeyByIndex(k)).IsNothing())
            std::abort();
        n += Walk(c.Item(k), depth + 1);
    }
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = zelmo::codepage::Decode(bytes);
    if (zelmo::codepage::Encode(text) != bytes)
        std::abort();

    bool ours = true;
    try {
        Walk(zelmo::JSONDecodieren(text), 0);
    } catch (const zelmo::Error&) {
        ours = false;
    }
    simdjson::dom::parser dom;
    const auto error = dom.parse(text).error();
    if (Unrepresentable(error))
        return 0;
    // The DOM parser's depth limit is the same 1024; it is the judge of validity.
    if (ours != (error == simdjson::SUCCESS))
        std::abort();
    return 0;
}
