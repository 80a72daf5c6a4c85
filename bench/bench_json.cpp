// Decoding throughput of JSONDecodieren on realistic telegrams, in bytes per second.
#include <benchmark/benchmark.h>

#include "component/CodePage.h"
#include "component/Collection.h"
#include "link/SampleTelegram.h"

namespace {

void DecodeTelegram(benchmark::State& state) {
    const std::string json = zelmo::link::SampleTelegram(static_cast<int>(state.range(0)));
    state.SetLabel(std::to_string(json.size() / 1024) + " KB");
    for (auto _ : state) {
        benchmark::DoNotOptimize(zelmo::JSONDecodieren(json));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * json.size()));
}
BENCHMARK(DecodeTelegram)->Arg(40)->Arg(500);

// What a received frame costs before the evaluation sees it: code page to UTF-8, then decode.
void DecodeFromWire(benchmark::State& state) {
    const std::string wire =
        zelmo::codepage::Encode(zelmo::link::SampleTelegram(static_cast<int>(state.range(0))));
    // As the receiver does it: into a buffer kept from frame to frame, decoded where it lies.
    std::string text;
    for (auto _ : state) {
        const std::size_t size = zelmo::codepage::DecodedSize(wire);
        if (text.size() < size + zelmo::kJsonPadding)
            text.resize(size + zelmo::kJsonPadding);
        zelmo::codepage::DecodeTo(wire, text.data());
        benchmark::DoNotOptimize(zelmo::JSONDecodieren(zelmo::PaddedJson{{text.data(), size}}));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * wire.size()));
}
BENCHMARK(DecodeFromWire)->Arg(40)->Arg(500);

}  // namespace
