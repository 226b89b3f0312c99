// stepctl-cli serve: the board as a SCPI instrument on a TCP port.
#include <asio/ip/address.hpp>

#include "ArgumentRules.h"
#include "ChipDriver.h"
#include "Commands.h"
#include "Instrument.h"
#include "ScpiServer.h"
#include "Version.h"

namespace stepctl::cli {
namespace {

// The serial number *IDN? names: the one asked for, else the first chip's, looked up when asked
// because a board may be plugged in while the server runs.
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
    std::error_code ec;
    const asio::ip::address address = asio::ip::make_address(options.listen, ec);
    if (ec)
        return refuse(console, {"--listen: '" + options.listen + "' is not an IP address"});
    if (!address.is_loopback()) {
        warnings.push_back("listening on " + options.listen +
                           ": whoever reaches this port can change the attenuator");
    }
    const auto session = BoardSession::open(options.board, warnings);
    if (!session.ok())
        return refuse(console, session.bad());
    printWarnings(console, warnings);

    const bool simulated = (*session)->simulated() != nullptr;
    const std::optional<std::string> serial = options.board.serial;
    instrument::Instrument instrument(
        **session,
        [simulated, serial, driver = (*session)->driver()] {
            return simulated ? std::string("SIM") : chipSerial(driver, serial);
        },
        std::string(kVersion));
    const instrument::ServeEnd end =
        instrument::serve({options.listen, static_cast<unsigned short>(*port)}, instrument,
                          console.out, [&console](const std::string& why) { console.error(why); });
    return end == instrument::ServeEnd::Stopped ? ExitCode::Ok : ExitCode::CannotListen;
}

}  // namespace stepctl::cli
