// The receive path from the last byte of a frame to the acknowledgement handed to the
// socket: reassembly, telegram log line, code page, decoding, storing, event mapping. The
// output run is left out (the sink's dispatch does nothing).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "link/Frame.h"
#include "link/Receiver.h"
#include "link/SampleTelegram.h"
#include "link/TelegramStore.h"

namespace {

class NullSink : public zelmo::ReceiverSink {
  public:
    void TelegramLog(const std::string&) override {}
    void ClientLog(const std::string&) override {}
    void StatusLabel(const std::string&) override {}
    void Dispatch(const std::string& text) override { benchmark::DoNotOptimize(text.data()); }
    void SendBytes(std::string_view bytes) override { acks += bytes.size(); }
    std::size_t acks = 0;
};

// range(0): riders in the start list; range(1): bytes per read (0: the whole frame at once).
void FrameToAck(benchmark::State& state) {
    const std::string frame =
        zelmo::EncodeFrame(zelmo::link::SampleTelegram(static_cast<int>(state.range(0))));
    const auto readSize = static_cast<std::size_t>(state.range(1));
    std::vector<std::string_view> reads;
    for (std::size_t at = 0; at < frame.size(); at += readSize == 0 ? frame.size() : readSize) {
        reads.push_back(
            std::string_view(frame).substr(at, readSize == 0 ? frame.size() : readSize));
    }
    zelmo::TelegramStore store;
    NullSink sink;
    const bool aktiv = true;
    zelmo::Receiver receiver(store, sink, aktiv);
    receiver.OnConnected(1);
    state.SetLabel(std::to_string(frame.size() / 1024) + " KB");
    for (auto _ : state) {
        for (std::string_view read : reads)
            receiver.OnBytes(read, zelmo::Receiver::Clock::time_point{});
    }
    if (sink.acks != state.iterations() * zelmo::kAckFrame.size())
        state.SkipWithError("no ack");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * frame.size()));
}
BENCHMARK(FrameToAck)
    ->Args({40, 0})
    ->Args({40, 1460})
    ->Args({500, 0})
    ->Args({500, 65536})
    ->Unit(benchmark::kMicrosecond);

// A multi-megabyte frame in TCP-sized reads: reassembly must stay linear.
void LargeFrameReassembly(benchmark::State& state) {
    const auto size = static_cast<std::size_t>(state.range(0));
    std::string frame = std::to_string(size);
    frame = std::string(10 - frame.size(), '0') + frame + std::string(size - 10, 'a');
    for (auto _ : state) {
        zelmo::FrameReader reader;
        std::size_t frames = 0;
        for (std::size_t at = 0; at < frame.size(); at += 1460) {
            std::string_view read = std::string_view(frame).substr(at, 1460);
            while (reader.Next(read, zelmo::FrameReader::Clock::time_point{}))
                ++frames;
        }
        benchmark::DoNotOptimize(frames);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * frame.size()));
}
BENCHMARK(LargeFrameReassembly)->Arg(1 << 20)->Arg(16 << 20)->Unit(benchmark::kMillisecond);

}  // namespace
