// What a setting costs an automation face: a held board session next to the panel's exchange
// per setting (open, set up, write, close), on the emulated FT232R (the real libftdi/libusb road
// under umockdev) and on the fake D2XX library; and a 200-step sequence at 1 ms on the
// simulated board, on the session's clock.
//
//   stepctl_session_bench SETTINGS
//
// Prints one JSON object: per road and link, the median time of a setting after the first and
// the USB work the chip saw per setting after the first.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "BoardSession.h"
#include "ChipDriver.h"
#include "EmulatedFt232r.h"
#include "Exchange.h"
#include "FakeD2xx.h"
#include "SequenceRun.h"
#include "UmockdevPreload.h"

namespace {

using namespace stepctl;
using Clock = std::chrono::steady_clock;

session::SendRequest level(int i) {
    return {3, Interface::Serial, 0, std::to_string(i % 64 / 2), ""};
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// The median time of settings 2..n, each done by `setting(i)`.
double timed(int n, const std::function<void(int)>& setting) {
    std::vector<double> times;
    for (int i = 0; i < n; ++i) {
        const auto start = Clock::now();
        setting(i);
        if (i > 0)
            times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    return median(times);
}

struct Work {
    double perSetting = 0;
    int settings = 0;
    double opens = 0, control = 0, bulk = 0, closes = 0;  // over all those settings
};

std::string json(const Work& w) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "{\"median_s\": %.9f, \"settings\": %d, \"opens\": %.0f, \"control\": %.0f, "
                  "\"writes\": %.0f, \"closes\": %.0f}",
                  w.perSetting, w.settings, w.opens, w.control, w.bulk, w.closes);
    return text;
}

// One road over a link: the held session, or the panel's exchange per setting.
double road(bool held, BoardLink& link, int n) {
    if (!held) {
        return timed(n, [&](int i) {
            const session::SendRequest r = level(i);
            const SendPlan plan = planSend(session::sendInputs(r));
            transferFrame(link, FrameKind::Serial6,
                          buildControlFrame(Interface::Serial, false, plan.controlWord));
        });
    }
    // The session owns its link; this one is the caller's, so hand over a forwarding one.
    struct Borrowed final : BoardLink {
        explicit Borrowed(BoardLink& l) : inner(l) {}
        LinkStatus open() override { return inner.open(); }
        LinkStatus setBitMode(std::uint8_t m, std::uint8_t mode) override {
            return inner.setBitMode(m, mode);
        }
        LinkStatus setBaudRate(int b) override { return inner.setBaudRate(b); }
        LinkStatus write(std::span<const std::uint8_t> b, std::size_t& w) override {
            return inner.write(b, w);
        }
        LinkStatus close() override { return inner.close(); }
        BoardLink& inner;
    };
    session::BoardSession board(std::make_unique<Borrowed>(link), nullptr);
    return timed(n, [&](int i) { board.send(level(i)); });
}

Work onEmulatedChip(bool held, int n) {
    usbtest::EmulatedFt232r bed;
    const usbtest::ChipId chip = bed.plug({});
    const auto link = makeChipLink(ChipDriver::Ftdi);
    Work w;
    w.settings = n;
    w.perSetting = road(held, *link, n);
    const auto actions = bed.hostActionsOnceClosed(chip);
    w.control = static_cast<double>(bed.controlRequests(chip).size());
    w.bulk = static_cast<double>(bed.bulkWrites(chip).size());
    w.opens = actions.opens;
    w.closes = actions.closes;
    return w;
}

Work onFakeD2xx(bool held, int n) {
    test::FakeD2xx fake;
    fake.reset("FAKE0001");
    const auto link = makeChipLink(ChipDriver::D2xx);
    Work w;
    w.settings = n;
    w.perSetting = road(held, *link, n);
    const auto calls = fake.calls();
    auto count = [&](const char* name) {
        return static_cast<double>(std::count_if(
            calls.begin(), calls.end(), [&](const auto& c) { return c.rfind(name, 0) == 0; }));
    };
    w.opens = count("FT_Open");
    w.control = count("FT_SetBitMode") + count("FT_SetBaudRate");
    w.bulk = count("FT_Write");
    w.closes = count("FT_Close");
    return w;
}

double sequenceOnSim(int steps) {
    auto sim = std::make_unique<SimulatedBoard>();
    SimulatedBoard* simulated = sim.get();
    session::BoardSession board(std::move(sim), simulated);
    session::StepPlan plan;
    plan.target = level(0);
    for (int i = 0; i < steps; ++i)
        plan.steps.push_back({std::to_string(i % 64 / 2), "", std::chrono::milliseconds(1)});
    const auto end = session::runSequence(
        board, plan,
        [](Clock::time_point due) {
            std::this_thread::sleep_until(due);
            return true;
        },
        [](const session::StepDone&) { return true; });
    return std::chrono::duration<double>(end.length).count();
}

}  // namespace

int main(int argc, char** argv) {
    stepctl::usbtest::reexecWithUmockdevPreload(argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 200;
    std::cout << "{\"emulated_held\": " << json(onEmulatedChip(true, n))
              << ", \"emulated_per_setting\": " << json(onEmulatedChip(false, n))
              << ", \"d2xx_held\": " << json(onFakeD2xx(true, n))
              << ", \"d2xx_per_setting\": " << json(onFakeD2xx(false, n))
              << ", \"sequence_200x1ms_s\": " << sequenceOnSim(200) << "}\n";
}
