// Arbitrary lines through the SCPI parser and then the whole command set on an ideal chip.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <set>

#include "Instrument.h"
#include "Numeric.h"
#include "Parser.h"
#include "RecordingLink.h"

namespace {

using namespace stepctl;

void check(bool ok) {
    if (!ok)
        std::abort();
}

const std::set<int> kCodes{0,    -100, -102, -108, -109, -113, -200, -213,
                           -221, -222, -223, -224, -240, -241, -350};

bool isText(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && byte != '\t') || byte >= 0x7F)
            return false;
    }
    return true;
}

void checkParse(std::string_view line) {
    const auto units = scpi::parseLine(line);
    check(!units.empty());
    std::size_t separators = 0;
    for (const char c : line)
        separators += c == ';' ? 1 : 0;
    check(units.size() <= separators + 1);
    if (line.size() > scpi::kMaxLineBytes || !isText(line))
        check(units.size() == 1 && std::holds_alternative<scpi::Error>(units.front()));
    for (const auto& unit : units) {
        if (const auto* error = std::get_if<scpi::Error>(&unit)) {
            check(kCodes.count(error->code) == 1);
            continue;
        }
        const auto& command = std::get<scpi::Command>(unit);
        check(!command.path.empty());
        for (const auto& node : command.path) {
            check(!node.mnemonic.empty() && node.mnemonic[0] >= 'A' && node.mnemonic[0] <= 'Z');
            for (const char c : node.mnemonic)
                check((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_');
            check(node.suffix >= 0);
        }
        for (const auto& parameter : command.parameters) {
            if (const auto numeric = scpi::readNumeric(parameter, "DB", true)) {
                check(numeric->word == scpi::Word::None
                          ? !numeric->number.empty() && std::isfinite(numeric->value)
                          : numeric->number.empty());
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    checkParse(line);

    // The command set: every exchange is one whole frame, the queue stays bounded, and a reply
    // is one line of printable text.
    auto* chip = new RecordingLink;
    session::BoardSession board(std::unique_ptr<BoardLink>(chip), nullptr);
    asio::io_context io;  // never run: a sequence sends its first step and no more
    instrument::Instrument instrument(io, {{&board, [] { return std::string("FUZZ"); }}}, "0");
    instrument::Client client = instrument.connect();
    const auto reply = instrument.execute(line, client);
    instrument.execute(line, client);  // twice: the second starts from the state it left
    check(client.status.count() <= scpi::ClientStatus::kQueueSize);
    for (const auto& call : chip->calls()) {
        if (call.op == LinkOp::Write)
            check(call.bytes.size() == kFrameSize);
    }
    if (reply) {
        for (const char c : *reply)
            check(c >= 0x20 && c < 0x7F);
    }
    while (client.status.count() > 0)
        check(kCodes.count(client.status.next().code) == 1);
    return 0;
}
