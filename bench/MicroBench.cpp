// Frame building next to its floor, zeroing and copying 36 bytes; the dB rule next to reading
// the same texts as numbers.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstring>
#include <string_view>

#include "DbCode.h"
#include "FrameOfKind.h"
#include "Frames.h"

namespace {

using namespace stepctl;

// The floor every frame builder pays anyway: a zeroed 36-byte frame filled from elsewhere.
void BM_ZeroAndCopy36(benchmark::State& state) {
    Frame source{};
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<std::uint8_t>(i * 7);
    for (auto _ : state) {
        benchmark::DoNotOptimize(source.data());
        Frame frame{};
        benchmark::DoNotOptimize(frame.data());
        std::memcpy(frame.data(), source.data(), frame.size());
        benchmark::DoNotOptimize(frame);
    }
}
BENCHMARK(BM_ZeroAndCopy36);

// The frame is built straight into its final place, as the send routines use it; assigning it
// to a frame declared earlier would add a copy of 36 bytes that were just written byte by byte.
void BM_BuildFrame(benchmark::State& state) {
    const auto kind = static_cast<FrameKind>(state.range(0));
    state.SetLabel(std::string(frameKindName(kind)));
    std::int32_t word = 0x5A5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(word);
        const Frame frame = bench::frameOfKind(kind, word);
        benchmark::DoNotOptimize(frame);
    }
}
BENCHMARK(BM_BuildFrame)->DenseRange(0, static_cast<int>(FrameKind::Dual));

constexpr std::string_view kDbTexts[] = {"10.7", "31.75", "-3", "5dB", "abc", "1e39"};

// The floor of the dB rule: reading the same texts as numbers, nothing else.
void BM_FromChars(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        const std::string_view text = kDbTexts[i++ % std::size(kDbTexts)];
        benchmark::DoNotOptimize(text.data());
        double value = 0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_FromChars);

void BM_DbRule(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        const std::string_view text = kDbTexts[i++ % std::size(kDbTexts)];
        benchmark::DoNotOptimize(text.data());
        benchmark::DoNotOptimize(codeFromDbText(9, text));
    }
}
BENCHMARK(BM_DbRule);

}  // namespace

BENCHMARK_MAIN();
