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

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include "BoardSession.h"
#include "ChipDriver.h"
#include "CliProcess.h"
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

// A write+query pair, as PyVISA scripts do, against `serve` holding the emulated chip.
double scpiPairOnEmulatedChip(int pairs) {
    usbtest::EmulatedFt232r bed;
    bed.plug({});
    cli::test::Process server({"serve", "--port", "0"});
    int port = 0;
    for (int tries = 0; tries < 500 && port == 0; ++tries) {
        const std::string out = server.out();
        if (const auto colon = out.rfind(':'); colon != std::string::npos && out.back() == '\n')
            port = std::atoi(out.c_str() + colon + 1);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (port == 0 || connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        std::cerr << "stepctl_session_bench: serve did not listen: " << server.err() << '\n';
        std::exit(1);
    }
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    auto say = [fd](const std::string& line) {
        return send(fd, line.data(), line.size(), 0) == static_cast<ssize_t>(line.size());
    };
    auto readLine = [fd] {
        std::string line;
        char c = 0;
        while (recv(fd, &c, 1, 0) == 1 && c != '\n')
            line += c;
        return line;
    };
    say("DEV ZMG-A4;INT SER\n");
    const double pair = timed(pairs, [&](int i) {
        say("ATT " + std::to_string(i % 64 / 2) + "\n");
        say("ATT?\n");
        readLine();
    });
    say("SYST:ERR?\n");
    const std::string errors = readLine();
    close(fd);
    server.signal(SIGTERM);
    server.wait();
    if (errors.rfind("0,", 0) != 0) {
        std::cerr << "stepctl_session_bench: the pairs failed: " << errors << '\n';
        std::exit(1);
    }
    return pair;
}

}  // namespace

int main(int argc, char** argv) {
    stepctl::usbtest::reexecWithUmockdevPreload(argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 200;
    std::cout << "{\"emulated_held\": " << json(onEmulatedChip(true, n))
              << ", \"emulated_per_setting\": " << json(onEmulatedChip(false, n))
              << ", \"d2xx_held\": " << json(onFakeD2xx(true, n))
              << ", \"d2xx_per_setting\": " << json(onFakeD2xx(false, n))
              << ", \"sequence_200x1ms_s\": " << sequenceOnSim(200)
              << ", \"scpi_pair_emulated_s\": " << scpiPairOnEmulatedChip(n) << "}\n";
}
