#include "Vcd.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "PinRoles.h"

namespace stepctl {
namespace {

struct ParsedVcd {
    std::string timescale;
    std::map<std::string, std::string> names;  // id -> name
    std::vector<std::pair<std::int64_t, std::map<std::string, char>>> changes;
    std::int64_t lastTime = -1;
};

// A reader that knows only what a VCD consumer needs: declarations, timestamps, scalar changes.
ParsedVcd parse(const std::string& text) {
    ParsedVcd vcd;
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        if (token == "$timescale") {
            in >> vcd.timescale >> token;
        } else if (token == "$var") {
            std::string type, width, id, name;
            in >> type >> width >> id >> name >> token;
            EXPECT_EQ(type, "wire");
            EXPECT_EQ(width, "1");
            vcd.names[id] = name;
        } else if (token[0] == '#') {
            vcd.lastTime = std::stoll(token.substr(1));
            vcd.changes.push_back({vcd.lastTime, {}});
        } else if ((token[0] == '0' || token[0] == '1') && !vcd.changes.empty()) {
            vcd.changes.back().second[token.substr(1)] = token[0];
        }
    }
    return vcd;
}

// Rebuilds the byte of every sample from the dump, given the pin behind each lane name.
Frame replay(const ParsedVcd& vcd, std::int64_t period, const std::vector<PinLane>& lanes) {
    std::map<std::string, std::uint8_t> maskOf;
    for (const auto& [id, name] : vcd.names) {
        for (const PinLane& l : lanes) {
            if (l.name == name)
                maskOf[id] = l.mask;
        }
    }
    Frame frame{};
    std::uint8_t levels = 0;
    std::size_t sample = 0;
    for (const auto& [time, change] : vcd.changes) {
        const auto at = static_cast<std::size_t>(time / period);
        for (; sample < at && sample < kFrameSize; ++sample)
            frame[sample] = levels;
        for (const auto& [id, level] : change) {
            levels = static_cast<std::uint8_t>(level == '1' ? levels | maskOf.at(id)
                                                            : levels & ~maskOf.at(id));
        }
    }
    return frame;
}

// The nth frame of a spread of codes (and addresses) of one kind.
Frame sampleFrame(FrameKind kind, int n) {
    if (kind == FrameKind::Dual)
        return buildDualFrame(n % 64, (n * 7) % 64);
    for (Interface iface : kInterfaces) {
        for (bool seven : {false, true}) {
            if (singleFrameKind(iface, seven) == kind) {
                return buildControlFrame(iface, seven, (n % 8) * 256 + n % 128);
            }
        }
    }
    return {};
}

TEST(Vcd, PlainPinDumpReplaysToTheSameBytes) {
    VcdOptions options;
    options.plainPinNames = true;
    options.samplePeriodPs = 1000;
    for (FrameKind kind : kFrameKinds) {
        for (int n = 0; n < 128; n += 5) {
            const Frame frame = sampleFrame(kind, n);
            const ParsedVcd vcd = parse(frameToVcd(kind, frame, options));
            ASSERT_EQ(vcd.timescale, "1ps");
            ASSERT_EQ(vcd.names.size(), 8u);
            ASSERT_EQ(replay(vcd, 1000, plainLanes()), frame) << frameKindName(kind) << " " << n;
            ASSERT_EQ(vcd.lastTime, 36 * 1000);  // the last sample is shown in full
        }
    }
}

TEST(Vcd, RoleNamedDumpCarriesEveryPinTheFrameMoves) {
    for (FrameKind kind : kFrameKinds) {
        std::uint8_t used = 0;
        for (int n = 0; n < 1024; ++n) {
            for (auto byte : sampleFrame(kind, n))
                used = static_cast<std::uint8_t>(used | byte);
        }
        std::uint8_t lanes = 0;
        for (const PinLane& l : lanesFor(kind))
            lanes = static_cast<std::uint8_t>(lanes | l.mask);
        EXPECT_EQ(lanes, used) << frameKindName(kind);

        const Frame frame = sampleFrame(kind, 42);
        const ParsedVcd vcd = parse(frameToVcd(kind, frame));
        EXPECT_EQ(vcd.names.size(), lanesFor(kind).size());
        EXPECT_EQ(replay(vcd, kDefaultSamplePeriodPs, lanesFor(kind)), frame);
        EXPECT_EQ(vcd.lastTime, 36 * kDefaultSamplePeriodPs);
    }
}

TEST(PinRoles, LanesNameTheirRoles) {
    auto names = [](FrameKind kind) {
        std::string joined;
        for (const PinLane& l : lanesFor(kind))
            joined += std::string(l.name) + "=D" + std::to_string(l.pin) + " ";
        return joined;
    };
    EXPECT_EQ(names(FrameKind::Serial6), "DATA=D6 CLK=D5 LE=D3 ");
    EXPECT_EQ(names(FrameKind::Dual), "DATA=D6 CLK=D5 LE=D3 LE2=D4 ");
    EXPECT_EQ(names(FrameKind::Parallel6), "dB16=D6 dB8=D5 dB4=D7 dB2=D1 dB1=D2 dB0p5=D4 LE=D3 ");
    EXPECT_EQ(names(FrameKind::Parallel7),
              "dB16=D6 dB8=D5 dB4=D7 dB2=D1 dB1=D2 dB0p5=D4 dB0p25=D0 LE=D3 ");
}

}  // namespace
}  // namespace stepctl
