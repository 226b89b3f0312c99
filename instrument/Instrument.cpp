#include "Instrument.h"

#include <cmath>
#include <vector>

#include "ArgumentRules.h"
#include "DbCode.h"
#include "InstrumentParts.h"
#include "Numeric.h"
#include "Pattern.h"
#include "SendRequest.h"
#include "SendRoad.h"
#include "SettingFrame.h"
#include "TextFormat.h"

namespace stepctl::instrument {

using namespace session;

namespace {

using scpi::Error;
namespace err = scpi::err;

constexpr int kManyValues = 4096;  // a list takes as many as fit on a line

struct Entry {
    scpi::Pattern header;
    bool query;
    int fewest;  // values the command takes: fewest..most
    int most;
    void (Instrument::*handler)(Instrument::Call&);
};

const std::vector<Entry>& table() {
    using I = Instrument;
    static const std::vector<Entry> entries{
        // IEEE 488.2 common commands.
        {scpi::Pattern("*IDN"), true, 0, 0, &I::queryIdentity},
        {scpi::Pattern("*RST"), false, 0, 0, &I::reset},
        {scpi::Pattern("*CLS"), false, 0, 0, &I::clearStatus},
        {scpi::Pattern("*OPC"), true, 0, 0, &I::queryOperationComplete},
        {scpi::Pattern("*OPC"), false, 0, 0, &I::operationComplete},
        {scpi::Pattern("*WAI"), false, 0, 0, &I::wait},
        {scpi::Pattern("*ESR"), true, 0, 0, &I::queryEventStatus},
        {scpi::Pattern("*ESE"), false, 1, 1, &I::setEventEnable},
        {scpi::Pattern("*ESE"), true, 0, 0, &I::queryEventEnable},
        {scpi::Pattern("*SRE"), false, 1, 1, &I::setServiceEnable},
        {scpi::Pattern("*SRE"), true, 0, 0, &I::queryServiceEnable},
        {scpi::Pattern("*STB"), true, 0, 0, &I::queryStatusByte},
        {scpi::Pattern("*TST"), true, 0, 0, &I::querySelfTest},
        // SCPI-99 status and system.
        {scpi::Pattern("STATus:OPERation[:EVENt]"), true, 0, 0, &I::queryOperationEvent},
        {scpi::Pattern("STATus:OPERation:CONDition"), true, 0, 0, &I::queryOperationCondition},
        {scpi::Pattern("STATus:OPERation:ENABle"), false, 1, 1, &I::setOperationEnable},
        {scpi::Pattern("STATus:OPERation:ENABle"), true, 0, 0, &I::queryOperationEnable},
        {scpi::Pattern("STATus:QUEStionable[:EVENt]"), true, 0, 0, &I::queryQuestionableEvent},
        {scpi::Pattern("STATus:QUEStionable:CONDition"), true, 0, 0,
         &I::queryQuestionableCondition},
        {scpi::Pattern("STATus:QUEStionable:ENABle"), false, 1, 1, &I::setQuestionableEnable},
        {scpi::Pattern("STATus:QUEStionable:ENABle"), true, 0, 0, &I::queryQuestionableEnable},
        {scpi::Pattern("STATus:PRESet"), false, 0, 0, &I::presetStatus},
        {scpi::Pattern("SYSTem:ERRor[:NEXT]"), true, 0, 0, &I::queryNextError},
        {scpi::Pattern("SYSTem:ERRor:COUNt"), true, 0, 0, &I::queryErrorCount},
        {scpi::Pattern("SYSTem:VERSion"), true, 0, 0, &I::queryVersion},
        // Boards.
        {scpi::Pattern("INSTrument:CATalog"), true, 0, 0, &I::queryBoards},
        {scpi::Pattern("INSTrument[:SELect]"), false, 1, 1, &I::selectBoard},
        {scpi::Pattern("INSTrument[:SELect]"), true, 0, 0, &I::querySelectedBoard},
        {scpi::Pattern("INSTrument:NSELect"), false, 1, 1, &I::selectBoardNumber},
        {scpi::Pattern("INSTrument:NSELect"), true, 0, 0, &I::querySelectedNumber},
        {scpi::Pattern("BOARd:RELease"), false, 0, 0, &I::releaseBoard},
        {scpi::Pattern("BOARd:HOLDs"), true, 0, 0, &I::queryHolds},
        // Settings.
        {scpi::Pattern("DEVice"), false, 1, 1, &I::setDevice},
        {scpi::Pattern("DEVice"), true, 0, 0, &I::queryDevice},
        {scpi::Pattern("DEVice:CATalog"), true, 0, 0, &I::queryCatalogue},
        {scpi::Pattern("INTerface"), false, 1, 1, &I::setInterface},
        {scpi::Pattern("INTerface"), true, 0, 0, &I::queryInterface},
        {scpi::Pattern("ADDRess"), false, 1, 1, &I::setAddress},
        {scpi::Pattern("ADDRess"), true, 0, 0, &I::queryAddress},
        {scpi::Pattern("ATTenuation#"), false, 1, 1, &I::setAttenuation},
        {scpi::Pattern("ATTenuation#"), true, 0, 1, &I::queryAttenuation},
        {scpi::Pattern("ATTenuation#:STEP"), true, 0, 0, &I::queryStep},
        {scpi::Pattern("ATTenuation#:CODE"), false, 1, 1, &I::setCode},
        {scpi::Pattern("ATTenuation#:CODE"), true, 0, 1, &I::queryCode},
        {scpi::Pattern("FRAMe"), true, 0, 0, &I::queryFrame},
        // Sequences.
        {scpi::Pattern("ATTenuation:MODE"), false, 1, 1, &I::setMode},
        {scpi::Pattern("ATTenuation:MODE"), true, 0, 0, &I::queryMode},
        {scpi::Pattern("SWEep:STARt"), false, 1, 1, &I::setSweepStart},
        {scpi::Pattern("SWEep:STARt"), true, 0, 0, &I::querySweepStart},
        {scpi::Pattern("SWEep:STOP"), false, 1, 1, &I::setSweepStop},
        {scpi::Pattern("SWEep:STOP"), true, 0, 0, &I::querySweepStop},
        {scpi::Pattern("SWEep:STEP"), false, 1, 1, &I::setSweepStep},
        {scpi::Pattern("SWEep:STEP"), true, 0, 0, &I::querySweepStep},
        {scpi::Pattern("SWEep:DWELl"), false, 1, 1, &I::setSweepDwell},
        {scpi::Pattern("SWEep:DWELl"), true, 0, 0, &I::querySweepDwell},
        {scpi::Pattern("SWEep:COUNt"), false, 1, 1, &I::setSweepCount},
        {scpi::Pattern("SWEep:COUNt"), true, 0, 0, &I::querySweepCount},
        {scpi::Pattern("SWEep:POINts"), true, 0, 0, &I::querySweepPoints},
        {scpi::Pattern("LIST:ATTenuation"), false, 1, kManyValues, &I::setListLevels},
        {scpi::Pattern("LIST:ATTenuation"), true, 0, 0, &I::queryListLevels},
        {scpi::Pattern("LIST:ATTenuation:POINts"), true, 0, 0, &I::queryListPoints},
        {scpi::Pattern("LIST:DWELl"), false, 1, kManyValues, &I::setListDwells},
        {scpi::Pattern("LIST:DWELl"), true, 0, 0, &I::queryListDwells},
        {scpi::Pattern("LIST:COUNt"), false, 1, 1, &I::setListCount},
        {scpi::Pattern("LIST:COUNt"), true, 0, 0, &I::queryListCount},
        {scpi::Pattern("INITiate[:IMMediate]"), false, 0, 0, &I::initiate},
        {scpi::Pattern("ABORt"), false, 0, 0, &I::abort},
        {scpi::Pattern("SEQuence:STEP"), true, 0, 0, &I::querySequenceStep},
        {scpi::Pattern("SEQuence:TIMed"), false, 1, 1, &I::setTimed},
        {scpi::Pattern("SEQuence:TIMed"), true, 0, 0, &I::queryTimed},
        {scpi::Pattern("[SOURce]:SRATe"), false, 1, 1, &I::setSampleRate},
        {scpi::Pattern("[SOURce]:SRATe"), true, 0, 1, &I::querySampleRate},
    };
    return entries;
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

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

// SCPI's not-a-number, for a level the board was never sent.
constexpr const char* kUnknownLevel = "9.91E+37";

}  // namespace

void answer(Instrument::Call& call, const std::string& text) {
    if (call.reply) {
        *call.reply += ';';
        *call.reply += text;
    } else {
        call.reply = text;
    }
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

std::optional<long long> readWhole(Instrument::Call& call, long long min, long long max,
                                   long long def, const char* what) {
    const scpi::Parameter& parameter = call.command.parameters.front();
    const auto numeric = scpi::readNumeric(parameter, "");
    if (!numeric) {
        call.client.status.push(
            {err::kIllegalParameter, "'" + parameter.text + "' is not " + what});
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
        call.client.status.push(
            {err::kIllegalParameter, "'" + parameter.text + "' is not " + what});
        return std::nullopt;
    }
    if (numeric->value < static_cast<double>(min) || numeric->value > static_cast<double>(max)) {
        call.client.status.push(
            {err::kDataOutOfRange,
             parameter.text + " is outside " + std::to_string(min) + ".." + std::to_string(max)});
        return std::nullopt;
    }
    return static_cast<long long>(numeric->value);
}

Instrument::Instrument(asio::io_context& io, std::vector<BoardSlot> boards, std::string version)
    : io_(io), version_(std::move(version)) {
    for (BoardSlot& slot : boards)
        boards_.push_back(std::make_unique<Board>(io_, std::move(slot), *this));
}

Instrument::~Instrument() = default;

Client Instrument::connect() const {
    Client client;
    for (const auto& board : boards_) {
        client.seenRuns.push_back(board->sequencer.started());
        client.seenFailures.push_back(board->failures);
        client.seenUnderruns.push_back(board->underruns);
    }
    return client;
}

LineRun Instrument::parse(std::string_view line) {
    return {scpi::parseLine(line), 0, std::nullopt};
}

bool Instrument::proceed(LineRun& line, Client& client) {
    for (; line.next < line.units.size(); ++line.next) {
        refresh(client);
        const scpi::Unit& unit = line.units[line.next];
        if (const auto* error = std::get_if<Error>(&unit)) {
            client.status.push(*error);
            continue;
        }
        static const std::vector<int> kNoSuffixes;
        Call call{std::get<scpi::Command>(unit), kNoSuffixes, client, line.reply};
        run(std::get<scpi::Command>(unit), call);
        if (call.wait)
            return false;  // this command runs again once the sequence has ended
    }
    refresh(client);
    return true;
}

void Instrument::whenSequenceEnds(const Client& client, std::function<void()> done) {
    selected(client).sequencer.whenDone(std::move(done));
}

std::optional<std::string> Instrument::execute(std::string_view line, Client& client) {
    LineRun run = parse(line);
    proceed(run, client);
    return run.reply;
}

void Instrument::run(const scpi::Command& command, Call& outer) {
    for (const Entry& entry : table()) {
        if (entry.query != command.query)
            continue;
        const auto suffixes = entry.header.match(command);
        if (!suffixes)
            continue;
        const int given = static_cast<int>(command.parameters.size());
        if (given < entry.fewest) {
            outer.client.status.push(
                {err::kMissingParameter, headerText(command) + " needs a value"});
        } else if (given > entry.most) {
            outer.client.status.push(
                {err::kParameterNotAllowed,
                 headerText(command) + " takes " + (entry.most == 0 ? "no value" : "one value")});
        } else {
            Call call{command, *suffixes, outer.client, outer.reply};
            (this->*entry.handler)(call);
            outer.wait = call.wait;
        }
        return;
    }
    outer.client.status.push({err::kUndefinedHeader, headerText(command)});
}

void Instrument::refresh(Client& client) {
    for (std::size_t i = 0; i < boards_.size(); ++i) {
        const Board& board = *boards_[i];
        const bool mine = i == client.board;
        if (mine && board.sequencer.started() > client.seenRuns[i])
            client.operation.event |= status::kSweeping;
        if (mine && board.failures > client.seenFailures[i])
            client.questionable.event |= status::kNotAnswering;
        if (mine && board.underruns > client.seenUnderruns[i])
            client.questionable.event |= status::kTimingLost;
        client.seenRuns[i] = board.sequencer.started();
        client.seenFailures[i] = board.failures;
        client.seenUnderruns[i] = board.underruns;
    }
    if (client.opcAfter &&
        boards_[client.opcAfter->board]->sequencer.ended() >= client.opcAfter->run) {
        client.status.operationComplete();
        client.opcAfter.reset();
    }
    if (client.started) {
        Board& board = *boards_[client.started->board];
        if (board.sequencer.ended() >= client.started->run) {
            // The connection that started a sequence hears why it stopped early.
            if (board.sequencer.failed(client.started->run) && board.sequenceError) {
                Error error = *board.sequenceError;
                if (!board.streamError) {
                    error.detail = "the sequence stopped at step " +
                                   std::to_string(board.sequencer.step()) + ": " + error.detail;
                }
                client.status.push(std::move(error));
            }
            client.started.reset();
        }
    }
}

Instrument::Board& Instrument::selected(const Client& client) const {
    return *boards_[client.board];
}

bool Instrument::refusedWhileRunning(Call& call) {
    if (!selected(call.client).sequencer.running())
        return false;
    call.client.status.push({err::kSettingsConflict,
                             headerText(call.command) + ": a sequence is running; ABORt it first"});
    return true;
}

bool Instrument::refusedWhileStreaming(Call& call) {
    if (!selected(call.client).sequencer.streaming())
        return false;
    call.client.status.push(
        {err::kSettingsConflict,
         headerText(call.command) + ": a timed stream is being written; ask once it has ended"});
    return true;
}

bool Instrument::streamEnded(Board& board, const TimedEnd& end) {
    if (end.latched) {
        const auto frame =
            frameForPlan(end.latched->request.row, end.latched->request.iface, end.latched->plan);
        if (frame)
            board.lastFrame = frame->frame;
    }
    const std::string after =
        "the timed stream stopped after " + std::to_string(end.steps) + " whole steps: ";
    board.streamError = true;
    board.sequenceError.reset();
    if (end.status == SendStatus::NoDevice) {
        board.sequenceError = Error{err::kHardwareMissing, after + end.detail + "; nothing sent"};
    } else if (end.status != SendStatus::Sent) {
        board.sequenceError = Error{err::kHardware, after + end.detail};
    }
    const bool failed = board.sequenceError.has_value();
    if (failed && !board.failing)
        ++board.failures;
    board.failing = failed;
    board.underran = !failed && end.underrun;
    if (board.underran) {
        ++board.underruns;
        board.sequenceError = Error{err::kHardware,
                                    "the timed stream ran to its end, but the "
                                    "timing was not kept: " +
                                        end.underrunDetail};
    }
    return !board.sequenceError;
}

void Instrument::queryIdentity(Call& call) {
    const Board& board = selected(call.client);
    answer(call, "StepCtl," +
                     std::string(catalogue()[static_cast<std::size_t>(board.target.row)].name) +
                     "," + board.serial() + "," + version_);
}

void Instrument::reset(Call& call) {
    // The device, interface and address describe the hardware attached, and the board keeps
    // what it holds: *RST stops the sequence and puts the sequence settings back.
    Board& board = selected(call.client);
    board.sequencer.abort();
    board.settings = SequenceSettings{};
}

void Instrument::clearStatus(Call& call) {
    call.client.status.clear();
    call.client.operation.event = 0;
    call.client.questionable.event = 0;
    call.client.opcAfter.reset();
}

void Instrument::queryOperationComplete(Call& call) {
    if (selected(call.client).sequencer.running()) {
        call.wait = true;
        return;
    }
    answer(call, "1");
}

void Instrument::operationComplete(Call& call) {
    const Board& board = selected(call.client);
    if (board.sequencer.running())
        call.client.opcAfter = Client::Run{call.client.board, board.sequencer.started()};
    else
        call.client.status.operationComplete();
}

void Instrument::wait(Call& call) {
    call.wait = selected(call.client).sequencer.running();
}

void Instrument::queryEventStatus(Call& call) {
    answer(call, std::to_string(call.client.status.readEsr()));
}

void Instrument::setEventEnable(Call& call) {
    if (const auto mask = readWhole(call, 0, 255, 0, "a mask 0..255"))
        call.client.status.setEse(static_cast<int>(*mask));
}

void Instrument::queryEventEnable(Call& call) {
    answer(call, std::to_string(call.client.status.ese()));
}

void Instrument::setServiceEnable(Call& call) {
    if (const auto mask = readWhole(call, 0, 255, 0, "a mask 0..255"))
        call.client.status.setSre(static_cast<int>(*mask));
}

void Instrument::queryServiceEnable(Call& call) {
    answer(call, std::to_string(call.client.status.sre()));
}

void Instrument::queryStatusByte(Call& call) {
    const Client& client = call.client;
    int summaries = 0;
    if ((client.operation.event & client.operation.enable) != 0)
        summaries |= status::kOperationSummary;
    if ((client.questionable.event & client.questionable.enable) != 0)
        summaries |= status::kQuestionableSummary;
    answer(call, std::to_string(client.status.statusByte(summaries)));
}

void Instrument::querySelfTest(Call& call) {
    if (refusedWhileStreaming(call))
        return;
    Board& board = selected(call.client);
    const bool ok = board.session.probe().ok();
    if (!ok && !board.failing)
        ++board.failures;
    board.failing = !ok;
    answer(call, ok ? "0" : "1");
}

void Instrument::queryOperationEvent(Call& call) {
    answer(call, std::to_string(call.client.operation.event));
    call.client.operation.event = 0;
}

void Instrument::queryOperationCondition(Call& call) {
    answer(call,
           selected(call.client).sequencer.running() ? std::to_string(status::kSweeping) : "0");
}

void Instrument::setOperationEnable(Call& call) {
    if (const auto mask = readWhole(call, 0, 32767, 0, "a mask 0..32767"))
        call.client.operation.enable = static_cast<int>(*mask);
}

void Instrument::queryOperationEnable(Call& call) {
    answer(call, std::to_string(call.client.operation.enable));
}

void Instrument::queryQuestionableEvent(Call& call) {
    answer(call, std::to_string(call.client.questionable.event));
    call.client.questionable.event = 0;
}

void Instrument::queryQuestionableCondition(Call& call) {
    const Board& board = selected(call.client);
    answer(call, std::to_string((board.failing ? status::kNotAnswering : 0) |
                                (board.underran ? status::kTimingLost : 0)));
}

void Instrument::setQuestionableEnable(Call& call) {
    if (const auto mask = readWhole(call, 0, 32767, 0, "a mask 0..32767"))
        call.client.questionable.enable = static_cast<int>(*mask);
}

void Instrument::queryQuestionableEnable(Call& call) {
    answer(call, std::to_string(call.client.questionable.enable));
}

void Instrument::presetStatus(Call& call) {
    call.client.operation.enable = 0;
    call.client.questionable.enable = 0;
}

void Instrument::queryNextError(Call& call) {
    answer(call, scpi::formatError(call.client.status.next()));
}

void Instrument::queryErrorCount(Call& call) {
    answer(call, std::to_string(call.client.status.count()));
}

void Instrument::queryVersion(Call& call) {
    answer(call, "1999.0");  // the SCPI standard followed, as instruments report it
}

void Instrument::queryBoards(Call& call) {
    std::string list;
    for (const auto& board : boards_)
        list += (list.empty() ? "" : ",") + quoted(board->serial());
    answer(call, list);
}

void Instrument::selectBoard(Call& call) {
    const std::string& wanted = call.command.parameters.front().text;
    for (std::size_t i = 0; i < boards_.size(); ++i) {
        if (boards_[i]->serial() == wanted) {
            call.client.board = i;
            return;
        }
    }
    call.client.status.push({err::kIllegalParameter, "no board has the serial number '" + wanted +
                                                         "'; INST:CAT? lists them"});
}

void Instrument::querySelectedBoard(Call& call) {
    answer(call, quoted(selected(call.client).serial()));
}

void Instrument::selectBoardNumber(Call& call) {
    const auto count = static_cast<long long>(boards_.size());
    if (const auto n = readWhole(call, 1, count, 1, "a board number"))
        call.client.board = static_cast<std::size_t>(*n - 1);
}

void Instrument::querySelectedNumber(Call& call) {
    answer(call, std::to_string(call.client.board + 1));
}

void Instrument::releaseBoard(Call& call) {
    if (refusedWhileRunning(call))
        return;
    const LinkStatus closed = selected(call.client).session.release();
    if (!closed.ok())
        call.client.status.push({err::kHardware, "closing the chip failed: " + closed.message});
}

void Instrument::queryHolds(Call& call) {
    if (refusedWhileStreaming(call))
        return;
    const BoardSession& session = selected(call.client).session;
    const SimulatedBoard* simulated = session.simulated();
    if (simulated == nullptr) {
        call.client.status.push({err::kHardwareMissing,
                                 "the FTDI chip cannot read back; only the simulated board can"});
        return;
    }
    std::string codes;
    const std::lock_guard guard(session.lock());
    for (const SimulatedAttenuator& attenuator : simulated->attenuators()) {
        if (!codes.empty())
            codes += ',';
        codes += std::to_string(attenuator.code().value_or(-1));
    }
    answer(call, codes.empty() ? "-1" : codes);
}

void Instrument::setDevice(Call& call) {
    if (refusedWhileRunning(call))
        return;
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
        call.client.status.push(
            {err::kIllegalParameter,
             "'" + parameter.text + "' is neither a device name nor a row 0..14"});
        return;
    }
    Board& board = selected(call.client);
    if (board.target.row != *row) {
        // Nothing is sent: what another device holds is not known until it is set.
        board.target.row = *row;
        board.session.forgetHolds();
    }
}

void Instrument::queryDevice(Call& call) {
    answer(call, std::string(
                     catalogue()[static_cast<std::size_t>(selected(call.client).target.row)].name));
}

void Instrument::queryCatalogue(Call& call) {
    answer(call, deviceNames());
}

void Instrument::setInterface(Call& call) {
    if (refusedWhileRunning(call))
        return;
    const scpi::Parameter& parameter = call.command.parameters.front();
    constexpr std::array<std::pair<std::string_view, Interface>, 3> kWords{{
        {"SERial", Interface::Serial},
        {"PARallel", Interface::LatchedParallel},
        {"ADDRessable", Interface::SerialAddressable},
    }};
    for (const auto& [word, iface] : kWords) {
        if (!parameter.quoted && scpi::isMnemonic(parameter.text, word)) {
            Board& board = selected(call.client);
            if (board.target.iface != iface) {
                board.target.iface = iface;
                board.session.forgetHolds();  // the codes reached other latches
            }
            return;
        }
    }
    call.client.status.push({err::kIllegalParameter,
                             "'" + parameter.text + "' is not SERial, PARallel or ADDRessable"});
}

void Instrument::queryInterface(Call& call) {
    answer(call, std::string(interfaceWord(selected(call.client).target.iface)));
}

void Instrument::setAddress(Call& call) {
    if (refusedWhileRunning(call))
        return;
    if (const auto address = readWhole(call, 0, kAddressCount - 1, 0, "an address 0..7")) {
        Board& board = selected(call.client);
        if (board.target.address != *address) {
            board.target.address = static_cast<int>(*address);
            if (board.target.iface == Interface::SerialAddressable)
                board.session.forgetHolds();  // another device, another level
        }
    }
}

void Instrument::queryAddress(Call& call) {
    answer(call, std::to_string(selected(call.client).target.address));
}

std::optional<int> Instrument::attenuatorOf(Call& call) const {
    const int n = call.suffixes.front();
    if (n == 1)
        return 1;
    const BoardTarget& target = selected(call.client).target;
    const std::string device = deviceLabel(target.row);
    if (n != 2) {
        call.client.status.push(
            {err::kUndefinedHeader,
             "ATTenuation" + std::to_string(n) + ": there are attenuators 1 and 2 at most"});
    } else if (traitsOf(target.row).attenuators < 2) {
        call.client.status.push({err::kSettingsConflict, device + " has one attenuator"});
    } else if (target.iface == Interface::SerialAddressable) {
        call.client.status.push(
            {err::kSettingsConflict, "with ADDRessable only the first attenuator's code is sent"});
    } else {
        return 2;
    }
    return std::nullopt;
}

SendRequest Instrument::requestFor(const Board& board, int attenuator,
                                   const std::string& text) const {
    const int row = board.target.row;
    const auto held = board.session.holds()[attenuator == 1 ? 1 : 0];
    const std::string other = formatDb(dbFromCode(row, held.value_or(0)));
    SendRequest request;
    request.row = row;
    request.iface = board.target.iface;
    request.address = board.target.address;
    request.text1 = attenuator == 1 ? text : other;
    request.text2 = attenuator == 1 ? other : text;
    return request;
}

std::optional<Error> Instrument::sendTo(Board& board, const SendRequest& request) {
    const SendResult result = board.session.send(request);
    std::optional<Error> error;
    if (!result.outcome) {
        return Error{err::kExecution, "nothing was sent"};
    }
    const SendOutcome& outcome = *result.outcome;
    if (outcome.status == SendStatus::NoDevice)
        error = Error{err::kHardwareMissing, outcome.detail + "; nothing sent"};
    else if (outcome.status == SendStatus::TransferFailed)
        error = Error{err::kHardware, outcome.detail};
    else
        board.lastFrame = outcome.frame;
    if (error && !board.failing)
        ++board.failures;
    board.failing = error.has_value();
    return error;
}

void Instrument::send(Call& call, int attenuator, const std::string& text) {
    Board& board = selected(call.client);
    if (auto error = sendTo(board, requestFor(board, attenuator, text)))
        call.client.status.push(std::move(*error));
}

void Instrument::setAttenuation(Call& call) {
    const auto attenuator = attenuatorOf(call);
    if (!attenuator || refusedWhileRunning(call))
        return;
    const scpi::Parameter& parameter = call.command.parameters.front();
    const auto numeric = scpi::readNumeric(parameter, "DB", true);
    if (!numeric) {
        call.client.status.push(
            {err::kIllegalParameter,
             "'" + parameter.text + "' is not a level in dB, MIN, MAX, DEF, UP or DOWN"});
        return;
    }
    const Board& board = selected(call.client);
    const int row = board.target.row;
    const int top = topCode(row);
    const auto held = board.session.holds()[static_cast<std::size_t>(*attenuator - 1)];
    const std::string range =
        " is outside 0.." + formatDb(topDb(row)) + " dB of " + deviceLabel(row);
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
        case scpi::Word::Down:
            if (!held) {
                // A step from an unknown level could land anywhere: set a level first.
                call.client.status.push({err::kSettingsConflict,
                                         "the level the board holds is not known yet; set one "
                                         "before stepping UP or DOWN"});
                return;
            }
            code = *held + (numeric->word == scpi::Word::Up ? 1 : -1);
            break;
        case scpi::Word::None:
            if (numeric->value < 0.0 || numeric->value > topDb(row)) {
                call.client.status.push(
                    {err::kDataOutOfRange, parameter.text + range + "; nothing sent"});
                return;
            }
            send(call, *attenuator, numeric->number);  // quantised by the Send itself
            return;
    }
    if (*code < 0 || *code > top) {
        call.client.status.push(
            {err::kDataOutOfRange,
             "one step " + std::string(*code < 0 ? "down" : "up") + range + "; nothing sent"});
        return;
    }
    send(call, *attenuator, formatDb(dbFromCode(row, *code)));
}

namespace {

// MIN, MAX or DEF after a query: the code it names, or nothing with the error queued.
std::optional<int> limitCode(Instrument::Call& call, int top) {
    const scpi::Parameter& parameter = call.command.parameters.front();
    const auto numeric = scpi::readNumeric(parameter, "");
    if (numeric && (numeric->word == scpi::Word::Min || numeric->word == scpi::Word::Def))
        return 0;
    if (numeric && numeric->word == scpi::Word::Max)
        return top;
    call.client.status.push(
        {err::kIllegalParameter, "'" + parameter.text + "': a query takes MIN, MAX or DEF"});
    return std::nullopt;
}

}  // namespace

void Instrument::queryAttenuation(Call& call) {
    const auto attenuator = attenuatorOf(call);
    if (!attenuator)
        return;
    const Board& board = selected(call.client);
    const int row = board.target.row;
    if (!call.command.parameters.empty()) {
        if (const auto code = limitCode(call, topCode(row)))
            answer(call, formatDb(dbFromCode(row, *code)));
        return;
    }
    const auto held = board.session.holds()[static_cast<std::size_t>(*attenuator - 1)];
    answer(call, held ? formatDb(dbFromCode(row, *held)) : std::string(kUnknownLevel));
}

void Instrument::queryStep(Call& call) {
    if (attenuatorOf(call))
        answer(call, formatDb(dbFromCode(selected(call.client).target.row, 1)));
}

void Instrument::setCode(Call& call) {
    const auto attenuator = attenuatorOf(call);
    if (!attenuator || refusedWhileRunning(call))
        return;
    const int row = selected(call.client).target.row;
    if (const auto code = readWhole(call, 0, topCode(row), 0, "a code"))
        send(call, *attenuator, formatDb(dbFromCode(row, static_cast<int>(*code))));
}

void Instrument::queryCode(Call& call) {
    const auto attenuator = attenuatorOf(call);
    if (!attenuator)
        return;
    const Board& board = selected(call.client);
    if (!call.command.parameters.empty()) {
        if (const auto code = limitCode(call, topCode(board.target.row)))
            answer(call, std::to_string(*code));
        return;
    }
    answer(call,
           std::to_string(
               board.session.holds()[static_cast<std::size_t>(*attenuator - 1)].value_or(-1)));
}

void Instrument::queryFrame(Call& call) {
    const Board& board = selected(call.client);
    if (!board.lastFrame) {
        call.client.status.push({err::kSettingsConflict, "no frame has been sent yet"});
        return;
    }
    answer(call, frameHex(*board.lastFrame));
}

}  // namespace stepctl::instrument
