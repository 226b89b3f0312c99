#include "Instrument.h"

#include <cmath>
#include <vector>

#include "DbCode.h"
#include "Numeric.h"
#include "Pattern.h"
#include "SendRequest.h"
#include "SendRoad.h"
#include "TextFormat.h"

namespace stepctl::instrument {

using namespace session;

namespace {

using scpi::Error;
namespace err = scpi::err;

struct Entry {
    scpi::Pattern header;
    bool query;
    int parameters;  // how many the command takes: 0 or 1
    void (Instrument::*handler)(Instrument::Call&);
};

const std::vector<Entry>& table() {
    static const std::vector<Entry> entries{
        {scpi::Pattern("*IDN"), true, 0, &Instrument::queryIdentity},
        {scpi::Pattern("*RST"), false, 0, &Instrument::reset},
        {scpi::Pattern("*CLS"), false, 0, &Instrument::clearStatus},
        {scpi::Pattern("*OPC"), true, 0, &Instrument::queryOperationComplete},
        {scpi::Pattern("*OPC"), false, 0, &Instrument::operationComplete},
        {scpi::Pattern("*WAI"), false, 0, &Instrument::wait},
        {scpi::Pattern("*ESR"), true, 0, &Instrument::queryEventStatus},
        {scpi::Pattern("*ESE"), false, 1, &Instrument::setEventEnable},
        {scpi::Pattern("*ESE"), true, 0, &Instrument::queryEventEnable},
        {scpi::Pattern("*STB"), true, 0, &Instrument::queryStatusByte},
        {scpi::Pattern("*TST"), true, 0, &Instrument::querySelfTest},
        {scpi::Pattern("SYSTem:ERRor[:NEXT]"), true, 0, &Instrument::queryNextError},
        {scpi::Pattern("SYSTem:ERRor:COUNt"), true, 0, &Instrument::queryErrorCount},
        {scpi::Pattern("SYSTem:VERSion"), true, 0, &Instrument::queryVersion},
        {scpi::Pattern("DEVice"), false, 1, &Instrument::setDevice},
        {scpi::Pattern("DEVice"), true, 0, &Instrument::queryDevice},
        {scpi::Pattern("DEVice:CATalog"), true, 0, &Instrument::queryCatalogue},
        {scpi::Pattern("INTerface"), false, 1, &Instrument::setInterface},
        {scpi::Pattern("INTerface"), true, 0, &Instrument::queryInterface},
        {scpi::Pattern("ADDRess"), false, 1, &Instrument::setAddress},
        {scpi::Pattern("ADDRess"), true, 0, &Instrument::queryAddress},
        {scpi::Pattern("ATTenuation#"), false, 1, &Instrument::setAttenuation},
        {scpi::Pattern("ATTenuation#"), true, 0, &Instrument::queryAttenuation},
        {scpi::Pattern("ATTenuation#:CODE"), false, 1, &Instrument::setCode},
        {scpi::Pattern("ATTenuation#:CODE"), true, 0, &Instrument::queryCode},
        {scpi::Pattern("FRAMe"), true, 0, &Instrument::queryFrame},
        {scpi::Pattern("BOARd:HOLDs"), true, 0, &Instrument::queryHolds},
    };
    return entries;
}

std::string headerText(const scpi::Command& command) {
    std::string text = command.common ? "*" : "";
    for (std::size_t i = 0; i < command.path.size(); ++i) {
        if (i > 0)
            text += ':';
        text += command.path[i].mnemonic;
        if (command.path[i].suffix != 0)
            text += std::to_string(command.path[i].suffix);
    }
    return text + (command.query ? "?" : "");
}

// A whole number within min..max (MIN, MAX and DEF included), or nothing with the error queued.
std::optional<int> readWhole(Instrument::Call& call, int min, int max, int def, const char* what) {
    const scpi::Parameter& parameter = call.command.parameters.front();
    const auto numeric = scpi::readNumeric(parameter, "");
    if (!numeric) {
        call.client.push({err::kIllegalParameter, "'" + parameter.text + "' is not " + what});
        return std::nullopt;
    }
    switch (numeric->word) {
        case scpi::Word::Min:
            return min;
        case scpi::Word::Max:
            return max;
        case scpi::Word::Def:
            return def;
        default:
            break;
    }
    if (numeric->value != std::floor(numeric->value)) {
        call.client.push({err::kIllegalParameter, "'" + parameter.text + "' is not " + what});
        return std::nullopt;
    }
    if (numeric->value < min || numeric->value > max) {
        call.client.push(
            {err::kDataOutOfRange,
             parameter.text + " is outside " + std::to_string(min) + ".." + std::to_string(max)});
        return std::nullopt;
    }
    return static_cast<int>(numeric->value);
}

std::string_view interfaceWord(Interface iface) {
    switch (iface) {
        case Interface::Serial:
            return "SER";
        case Interface::LatchedParallel:
            return "PAR";
        case Interface::SerialAddressable:
            return "ADDR";
    }
    return "SER";
}

}  // namespace

Instrument::Instrument(BoardSession& board, std::function<std::string()> serial,
                       std::string version)
    : board_(board), serial_(std::move(serial)), version_(std::move(version)) {}

std::optional<std::string> Instrument::execute(std::string_view line, scpi::ClientStatus& client) {
    std::optional<std::string> reply;
    for (const scpi::Unit& unit : scpi::parseLine(line)) {
        if (const auto* error = std::get_if<Error>(&unit)) {
            client.push(*error);
        } else {
            run(std::get<scpi::Command>(unit), client, reply);
        }
    }
    return reply;
}

void Instrument::run(const scpi::Command& command, scpi::ClientStatus& client,
                     std::optional<std::string>& reply) {
    for (const Entry& entry : table()) {
        if (entry.query != command.query)
            continue;
        const auto suffixes = entry.header.match(command);
        if (!suffixes)
            continue;
        const int given = static_cast<int>(command.parameters.size());
        if (given < entry.parameters) {
            client.push({err::kMissingParameter, headerText(command) + " needs a value"});
        } else if (given > entry.parameters) {
            client.push({err::kParameterNotAllowed,
                         headerText(command) + " takes " +
                             (entry.parameters == 0 ? "no value" : "one value")});
        } else {
            Call call{command, *suffixes, client, reply};
            (this->*entry.handler)(call);
        }
        return;
    }
    client.push({err::kUndefinedHeader, headerText(command)});
}

namespace {

void answer(Instrument::Call& call, const std::string& text) {
    if (call.reply) {
        *call.reply += ';';
        *call.reply += text;
    } else {
        call.reply = text;
    }
}

}  // namespace

void Instrument::queryIdentity(Call& call) {
    answer(call, "StepCtl," + std::string(catalogue()[static_cast<std::size_t>(row_)].name) + "," +
                     serial_() + "," + version_);
}

void Instrument::reset(Call&) {
    // Back to the start-up selection; the board keeps what it holds until the next setting.
    row_ = 0;
    iface_ = Interface::Serial;
    address_ = 0;
    codes_ = {0, 0};
    lastFrame_.reset();
}

void Instrument::clearStatus(Call& call) {
    call.client.clear();
}

void Instrument::queryOperationComplete(Call& call) {
    answer(call, "1");  // every command is complete when the next one is read
}

void Instrument::operationComplete(Call& call) {
    call.client.operationComplete();
}

void Instrument::wait(Call&) {}

void Instrument::queryEventStatus(Call& call) {
    answer(call, std::to_string(call.client.readEsr()));
}

void Instrument::setEventEnable(Call& call) {
    if (const auto mask = readWhole(call, 0, 255, 0, "a mask 0..255"))
        call.client.setEse(*mask);
}

void Instrument::queryEventEnable(Call& call) {
    answer(call, std::to_string(call.client.ese()));
}

void Instrument::queryStatusByte(Call& call) {
    answer(call, std::to_string(call.client.statusByte()));
}

void Instrument::querySelfTest(Call& call) {
    answer(call, board_.probe().ok() ? "0" : "1");
}

void Instrument::queryNextError(Call& call) {
    answer(call, scpi::formatError(call.client.next()));
}

void Instrument::queryErrorCount(Call& call) {
    answer(call, std::to_string(call.client.count()));
}

void Instrument::queryVersion(Call& call) {
    answer(call, "1999.0");  // the SCPI standard followed, as instruments report it
}

void Instrument::setDevice(Call& call) {
    const scpi::Parameter& parameter = call.command.parameters.front();
    std::optional<int> row = rowByName(parameter.text);
    if (!row && !parameter.quoted) {
        const auto numeric = scpi::readNumeric(parameter, "");
        if (numeric && numeric->word == scpi::Word::None && numeric->value >= 0.0 &&
            numeric->value < kDeviceCount && numeric->value == std::floor(numeric->value)) {
            row = static_cast<int>(numeric->value);
        }
    }
    if (!row) {
        call.client.push({err::kIllegalParameter,
                          "'" + parameter.text + "' is neither a device name nor a row 0..14"});
        return;
    }
    // Nothing is sent; the codes stay within the new device's range.
    row_ = *row;
    for (int& c : codes_)
        c = clampCode(row_, c);
}

void Instrument::queryDevice(Call& call) {
    answer(call, std::string(catalogue()[static_cast<std::size_t>(row_)].name));
}

void Instrument::queryCatalogue(Call& call) {
    std::string names;
    for (const DeviceEntry& entry : catalogue()) {
        if (!names.empty())
            names += ',';
        names += entry.name;
    }
    answer(call, names);
}

void Instrument::setInterface(Call& call) {
    const scpi::Parameter& parameter = call.command.parameters.front();
    constexpr std::array<std::pair<std::string_view, Interface>, 3> kWords{{
        {"SERial", Interface::Serial},
        {"PARallel", Interface::LatchedParallel},
        {"ADDRessable", Interface::SerialAddressable},
    }};
    for (const auto& [word, iface] : kWords) {
        if (!parameter.quoted && scpi::isMnemonic(parameter.text, word)) {
            iface_ = iface;
            return;
        }
    }
    call.client.push({err::kIllegalParameter,
                      "'" + parameter.text + "' is not SERial, PARallel or ADDRessable"});
}

void Instrument::queryInterface(Call& call) {
    answer(call, std::string(interfaceWord(iface_)));
}

void Instrument::setAddress(Call& call) {
    if (const auto address = readWhole(call, 0, kAddressCount - 1, 0, "an address 0..7"))
        address_ = *address;
}

void Instrument::queryAddress(Call& call) {
    answer(call, std::to_string(address_));
}

std::optional<int> Instrument::attenuatorOf(Call& call) const {
    const int n = call.suffixes.front();
    if (n == 1)
        return 1;
    const std::string device = deviceLabel(row_);
    if (n != 2) {
        call.client.push({err::kUndefinedHeader, "ATTenuation" + std::to_string(n) +
                                                     ": there are attenuators 1 and 2 at most"});
    } else if (traitsOf(row_).attenuators < 2) {
        call.client.push({err::kSettingsConflict, device + " has one attenuator"});
    } else if (iface_ == Interface::SerialAddressable) {
        call.client.push(
            {err::kSettingsConflict, "with ADDRessable only the first attenuator's code is sent"});
    } else {
        return 2;
    }
    return std::nullopt;
}

void Instrument::send(Call& call, int attenuator, const std::string& text) {
    const std::string other =
        formatDb(dbFromCode(row_, codes_[static_cast<std::size_t>(attenuator == 1 ? 1 : 0)]));
    SendRequest request;
    request.row = row_;
    request.iface = iface_;
    request.address = address_;
    request.text1 = attenuator == 1 ? text : other;
    request.text2 = attenuator == 1 ? other : text;
    const SendResult result = board_.send(request);
    if (!result.outcome) {
        call.client.push({err::kExecution, "nothing was sent"});
        return;
    }
    const SendOutcome& outcome = *result.outcome;
    if (outcome.status == SendStatus::NoDevice) {
        call.client.push({err::kHardwareMissing, outcome.detail + "; nothing sent"});
        return;
    }
    if (outcome.status == SendStatus::TransferFailed) {
        call.client.push({err::kHardware, outcome.detail});
        return;
    }
    codes_[0] = result.plan.code1;
    if (result.plan.dispatch == Dispatch::Dual)
        codes_[1] = *result.plan.code2;
    lastFrame_ = outcome.frame;
}

void Instrument::setAttenuation(Call& call) {
    const auto attenuator = attenuatorOf(call);
    if (!attenuator)
        return;
    const scpi::Parameter& parameter = call.command.parameters.front();
    const auto numeric = scpi::readNumeric(parameter, "DB", true);
    if (!numeric) {
        call.client.push(
            {err::kIllegalParameter,
             "'" + parameter.text + "' is not a level in dB, MIN, MAX, DEF, UP or DOWN"});
        return;
    }
    const int top = topCode(row_);
    const int current = codes_[static_cast<std::size_t>(*attenuator - 1)];
    const std::string range =
        " is outside 0.." + formatDb(topDb(row_)) + " dB of " + deviceLabel(row_);
    std::optional<int> code;
    switch (numeric->word) {
        case scpi::Word::Min:
        case scpi::Word::Def:
            code = 0;
            break;
        case scpi::Word::Max:
            code = top;
            break;
        case scpi::Word::Up:
            code = current + 1;
            break;
        case scpi::Word::Down:
            code = current - 1;
            break;
        case scpi::Word::None:
            if (numeric->value < 0.0 || numeric->value > topDb(row_)) {
                call.client.push({err::kDataOutOfRange, parameter.text + range + "; nothing sent"});
                return;
            }
            send(call, *attenuator, numeric->number);  // quantised by the Send itself
            return;
    }
    if (*code < 0 || *code > top) {
        call.client.push(
            {err::kDataOutOfRange,
             "one step " + std::string(*code < 0 ? "down" : "up") + range + "; nothing sent"});
        return;
    }
    send(call, *attenuator, formatDb(dbFromCode(row_, *code)));
}

void Instrument::queryAttenuation(Call& call) {
    if (const auto attenuator = attenuatorOf(call))
        answer(call, formatDb(dbFromCode(row_, codes_[static_cast<std::size_t>(*attenuator - 1)])));
}

void Instrument::setCode(Call& call) {
    const auto attenuator = attenuatorOf(call);
    if (!attenuator)
        return;
    if (const auto code = readWhole(call, 0, topCode(row_), 0, "a code"))
        send(call, *attenuator, formatDb(dbFromCode(row_, *code)));
}

void Instrument::queryCode(Call& call) {
    if (const auto attenuator = attenuatorOf(call))
        answer(call, std::to_string(codes_[static_cast<std::size_t>(*attenuator - 1)]));
}

void Instrument::queryFrame(Call& call) {
    if (!lastFrame_) {
        call.client.push({err::kSettingsConflict, "no frame has been sent yet"});
        return;
    }
    answer(call, frameHex(*lastFrame_));
}

void Instrument::queryHolds(Call& call) {
    const SimulatedBoard* simulated = board_.simulated();
    if (simulated == nullptr) {
        call.client.push({err::kHardwareMissing,
                          "the FTDI chip cannot read back; only the simulated board can"});
        return;
    }
    std::string codes;
    const std::lock_guard guard(board_.lock());
    for (const SimulatedAttenuator& attenuator : simulated->attenuators()) {
        if (!codes.empty())
            codes += ',';
        codes += std::to_string(attenuator.code().value_or(-1));
    }
    answer(call, codes.empty() ? "-1" : codes);
}

}  // namespace stepctl::instrument
