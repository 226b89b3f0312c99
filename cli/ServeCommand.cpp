// stepctl-cli serve: the boards as a SCPI instrument on a TCP port.
#include <asio/io_context.hpp>

#include "ArgumentRules.h"
#include "ChipDriver.h"
#include "Commands.h"
#include "Instrument.h"
#include "ListenAddress.h"
#include "ScpiServer.h"
#include "Version.h"

namespace stepctl::cli {
namespace {

// The serial number a board answers to: the one asked for, else the first chip's, looked up
// when asked because a board may be plugged in while the server runs.
std::string chipSerial(ChipDriver driver, const std::optional<std::string>& wanted) {
    if (wanted)
        return *wanted;
    const std::vector<ChipEntry> chips = listChips(driver);
    if (chips.empty() || chips.front().serial.empty())
        return "NONE";
    return chips.front().serial;
}

}  // namespace

ExitCode runServe(const ServeOptions& options, const Console& console) {
    Warnings warnings;
    const Checked<long long> port = readWholeNumber("--port", options.port, 0, 65535);
    if (!port.ok())
        return refuse(console, port.bad());
    const Checked<long long> idle =
        readWholeNumber("--idle-timeout", options.idleTimeout, 0, 7 * 24 * 3600);
    if (!idle.ok())
        return refuse(console, idle.bad());
    const auto address = instrument::listenAddress(options.listen);
    if (const auto* why = std::get_if<std::string>(&address))
        return refuse(console, {*why});
    if (!std::get<asio::ip::address>(address).is_loopback()) {
        warnings.push_back("listening on " + options.listen +
                           ": whoever reaches this port can change the attenuator");
    }

    // One board for each --serial, in order; without one, the first chip (or the simulated
    // board).
    std::vector<std::optional<std::string>> serials(options.serials.begin(), options.serials.end());
    if (serials.empty())
        serials.emplace_back();
    for (std::size_t i = 0; i < options.serials.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (options.serials[i] == options.serials[j])
                return refuse(console, {"--serial: " + options.serials[i] + " is given twice"});
        }
    }
    if (options.board.board == "sim" && serials.size() > 1)
        return refuse(console, {"--board sim is one simulated board; --serial is for chips"});

    std::vector<std::shared_ptr<BoardSession>> sessions;
    std::vector<instrument::BoardSlot> slots;
    for (const auto& serial : serials) {
        BoardChoice choice = options.board;
        choice.serial = serial;
        auto session = BoardSession::open(choice, warnings);
        if (!session.ok())
            return refuse(console, session.bad());
        BoardSession* board = session->get();
        sessions.push_back(*session);
        const bool simulated = board->simulated() != nullptr;
        slots.push_back({board, [simulated, serial, driver = board->driver()] {
                             return simulated ? std::string("SIM") : chipSerial(driver, serial);
                         }});
    }
    printWarnings(console, warnings);

    asio::io_context io(1);
    instrument::Instrument instrument(io, std::move(slots), std::string(kVersion));
    const instrument::ServeEnd end = instrument::serve(
        {options.listen, static_cast<unsigned short>(*port), std::chrono::seconds(*idle)}, io,
        instrument, console.out, [&console](const std::string& why) { console.error(why); });
    return end == instrument::ServeEnd::Stopped ? ExitCode::Ok : ExitCode::CannotListen;
}

}  // namespace stepctl::cli
