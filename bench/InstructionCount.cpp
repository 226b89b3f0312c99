// Instructions per frame build and per dB rule, next to their floors, counted by callgrind.
// Unlike times, the counts do not move with the machine's load, so small changes show.
//
//   valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file=DIR/ir
//            stepctl_instruction_count
//
// writes one dump per case, named after it ("desc: Trigger: Client Request: <case>"); its
// "totals:" line divided by kCalls is the count per call. Outside valgrind it does nothing useful.
#include <valgrind/callgrind.h>

#include <array>
#include <charconv>
#include <cstring>
#include <string>
#include <string_view>

#include "DbCode.h"
#include "FrameOfKind.h"
#include "Frames.h"

namespace {

using namespace stepctl;

constexpr int kCalls = 10000;

// Keeps a result alive without copying it.
template <class T>
void keep(const T& value) {
    asm volatile("" : : "r"(&value) : "memory");
}

// Counts the instructions of kCalls calls of `op(i)` and dumps them under `name`.
template <class Op>
void count(const std::string& name, Op op) {
    CALLGRIND_ZERO_STATS;
    CALLGRIND_TOGGLE_COLLECT;
    for (int i = 0; i < kCalls; ++i)
        op(i);
    CALLGRIND_TOGGLE_COLLECT;
    CALLGRIND_DUMP_STATS_AT(name.c_str());
}

constexpr std::array<std::int32_t, 8> kWords{0x5A5, 0x000, 0x7FF, 0x2AA,
                                             0x155, 0x63F, 0x101, 0x4C3};

std::int32_t wordAt(int i) {
    return kWords[static_cast<std::size_t>(i) % kWords.size()];
}

constexpr std::array<std::string_view, 6> kDbTexts{"10.7", "31.75", "-3", "5dB", "abc", "1e39"};

std::string_view dbTextAt(int i) {
    return kDbTexts[static_cast<std::size_t>(i) % kDbTexts.size()];
}

}  // namespace

int main() {
    Frame source{};
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<std::uint8_t>(i * 7);
    count("zero-and-copy-36", [&](int) {
        keep(source);
        Frame frame{};
        keep(frame);
        std::memcpy(frame.data(), source.data(), frame.size());
        keep(frame);
    });
    for (FrameKind kind : kFrameKinds) {
        count("frame " + std::string(frameKindName(kind)), [&](int i) {
            const Frame frame = bench::frameOfKind(kind, wordAt(i));
            keep(frame);
        });
    }

    count("from_chars", [](int i) {
        const std::string_view text = dbTextAt(i);
        double value = 0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        keep(value);
    });
    count("db-rule", [](int i) {
        const int code = codeFromDbText(9, dbTextAt(i));
        keep(code);
    });
    return 0;
}
