// The sequence commands: SWEep, LIST, ATTenuation:MODE, SEQuence:TIMed, SOURce:SRATe,
// INITiate, ABORt and the step query.
// Their settings belong to the selected board, like its device; a change while a sequence runs
// applies to the next INITiate.
#include <cmath>

#include "DbCode.h"
#include "InstrumentParts.h"
#include "Numeric.h"
#include "Pattern.h"
#include "Seconds.h"
#include "TextFormat.h"

namespace stepctl::instrument {

using namespace session;

namespace {

namespace err = scpi::err;

// A level in dB within 0..top of the selected device (MIN, MAX, DEF), or nothing with the error
// queued.
std::optional<Level> readLevel(Instrument::Call& call, const scpi::Parameter& parameter, int row) {
    const auto numeric = scpi::readNumeric(parameter, "DB");
    if (!numeric) {
        call.client.status.push(
            {err::kIllegalParameter, "'" + parameter.text + "' is not a level in dB"});
        return std::nullopt;
    }
    if (numeric->word == scpi::Word::Max)
        return Level{formatDb(topDb(row)), topDb(row)};
    if (numeric->word != scpi::Word::None)
        return Level{"0", 0.0};
    if (numeric->value < 0.0 || numeric->value > topDb(row)) {
        call.client.status.push({err::kDataOutOfRange, parameter.text + " is outside 0.." +
                                                           formatDb(topDb(row)) + " dB of " +
                                                           deviceLabel(row)});
        return std::nullopt;
    }
    return Level{numeric->number, numeric->value};
}

std::optional<std::chrono::nanoseconds> readDwell(Instrument::Call& call,
                                                  const scpi::Parameter& parameter) {
    const auto seconds = readSeconds(parameter, kDefaultDwell, kMaxDwell);
    if (!seconds) {
        call.client.status.push(
            {err::kIllegalParameter, "'" + parameter.text + "' is not a time (1.5, 10MS, 500US)"});
        return std::nullopt;
    }
    if (!(seconds->count() >= 0.0) || *seconds > kMaxDwell) {
        call.client.status.push({err::kDataOutOfRange, parameter.text + " is outside 0..3600 s"});
        return std::nullopt;
    }
    return std::chrono::round<std::chrono::nanoseconds>(*seconds);
}

std::string secondsText(std::chrono::nanoseconds time) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", std::chrono::duration<double>(time).count());
    return text;
}

}  // namespace

void Instrument::setMode(Call& call) {
    const scpi::Parameter& parameter = call.command.parameters.front();
    constexpr std::array<std::pair<std::string_view, SequenceMode>, 3> kWords{{
        {"FIXed", SequenceMode::Fixed},
        {"SWEep", SequenceMode::Sweep},
        {"LIST", SequenceMode::List},
    }};
    for (const auto& [word, mode] : kWords) {
        if (!parameter.quoted && scpi::isMnemonic(parameter.text, word)) {
            selected(call.client).settings.mode = mode;
            return;
        }
    }
    call.client.status.push(
        {err::kIllegalParameter, "'" + parameter.text + "' is not FIXed, SWEep or LIST"});
}

void Instrument::queryMode(Call& call) {
    static constexpr std::array<const char*, 3> kWords{"FIX", "SWE", "LIST"};
    answer(call, kWords[static_cast<std::size_t>(selected(call.client).settings.mode)]);
}

void Instrument::setSweepStart(Call& call) {
    Board& board = selected(call.client);
    if (auto level = readLevel(call, call.command.parameters.front(), board.target.row))
        board.settings.sweepStart = *level;
}

void Instrument::querySweepStart(Call& call) {
    answer(call, formatDb(static_cast<float>(selected(call.client).settings.sweepStart.value)));
}

void Instrument::setSweepStop(Call& call) {
    Board& board = selected(call.client);
    if (auto level = readLevel(call, call.command.parameters.front(), board.target.row))
        board.settings.sweepStop = *level;
}

void Instrument::querySweepStop(Call& call) {
    answer(call, formatDb(static_cast<float>(selected(call.client).settings.sweepStop.value)));
}

void Instrument::setSweepStep(Call& call) {
    Board& board = selected(call.client);
    const int row = board.target.row;
    const scpi::Parameter& parameter = call.command.parameters.front();
    const auto numeric = scpi::readNumeric(parameter, "DB");
    const double step = dbFromCode(row, 1);
    if (!numeric) {
        call.client.status.push(
            {err::kIllegalParameter, "'" + parameter.text + "' is not a step in dB"});
    } else if (numeric->word == scpi::Word::Max) {
        board.settings.sweepStep = {formatDb(topDb(row)), topDb(row)};
    } else if (numeric->word != scpi::Word::None) {
        // MIN and DEF: the device's own step
        board.settings.sweepStep = {formatDb(static_cast<float>(step)), step};
    } else if (!(numeric->value > 0.0) || numeric->value > topDb(row)) {
        call.client.status.push({err::kDataOutOfRange, parameter.text + " is outside 0 (not " +
                                                           "included).." + formatDb(topDb(row)) +
                                                           " dB"});
    } else {
        board.settings.sweepStep = {numeric->number, numeric->value};
    }
}

void Instrument::querySweepStep(Call& call) {
    answer(call, formatDb(static_cast<float>(selected(call.client).settings.sweepStep.value)));
}

void Instrument::setSweepDwell(Call& call) {
    if (const auto dwell = readDwell(call, call.command.parameters.front()))
        selected(call.client).settings.sweepDwell = *dwell;
}

void Instrument::querySweepDwell(Call& call) {
    answer(call, secondsText(selected(call.client).settings.sweepDwell));
}

void Instrument::setSweepCount(Call& call) {
    if (const auto count = readWhole(call, 0, kMaxPasses, 1, "a count of passes"))
        selected(call.client).settings.sweepCount = *count;
}

void Instrument::querySweepCount(Call& call) {
    answer(call, std::to_string(selected(call.client).settings.sweepCount));
}

void Instrument::querySweepPoints(Call& call) {
    SequenceSettings sweep = selected(call.client).settings;
    sweep.mode = SequenceMode::Sweep;
    answer(call, std::to_string(passSteps(sweep)));
}

void Instrument::setListLevels(Call& call) {
    Board& board = selected(call.client);
    std::vector<Level> levels;
    for (const scpi::Parameter& parameter : call.command.parameters) {
        auto level = readLevel(call, parameter, board.target.row);
        if (!level)
            return;  // the list stays as it was
        levels.push_back(std::move(*level));
    }
    board.settings.listLevels = std::move(levels);
}

void Instrument::queryListLevels(Call& call) {
    std::string list;
    for (const Level& level : selected(call.client).settings.listLevels)
        list += (list.empty() ? "" : ",") + formatDb(static_cast<float>(level.value));
    answer(call, list);
}

void Instrument::queryListPoints(Call& call) {
    answer(call, std::to_string(selected(call.client).settings.listLevels.size()));
}

void Instrument::setListDwells(Call& call) {
    std::vector<std::chrono::nanoseconds> dwells;
    for (const scpi::Parameter& parameter : call.command.parameters) {
        const auto dwell = readDwell(call, parameter);
        if (!dwell)
            return;
        dwells.push_back(*dwell);
    }
    selected(call.client).settings.listDwells = std::move(dwells);
}

void Instrument::queryListDwells(Call& call) {
    std::string list;
    for (const auto dwell : selected(call.client).settings.listDwells)
        list += (list.empty() ? "" : ",") + secondsText(dwell);
    answer(call, list);
}

void Instrument::setListCount(Call& call) {
    if (const auto count = readWhole(call, 0, kMaxPasses, 1, "a count of passes"))
        selected(call.client).settings.listCount = *count;
}

void Instrument::queryListCount(Call& call) {
    answer(call, std::to_string(selected(call.client).settings.listCount));
}

void Instrument::initiate(Call& call) {
    Board& board = selected(call.client);
    if (board.sequencer.running()) {
        call.client.status.push({err::kInitIgnored, "a sequence is running already"});
        return;
    }
    auto plan = sequencePlan(board.settings, requestFor(board, 1, ""));
    if (auto* error = std::get_if<scpi::Error>(&plan)) {
        call.client.status.push(std::move(*error));
        return;
    }
    StepPlan& steps = std::get<StepPlan>(plan);
    if (board.settings.timed) {
        if (auto problem =
                timedDwellProblem(steps, board.settings.mode, board.settings.sampleRate)) {
            call.client.status.push(std::move(*problem));
            return;
        }
        board.sequencer.startTimed(std::move(steps), board.settings.sampleRate);
    } else {
        board.sequencer.start(std::move(steps));
    }
    call.client.started = Client::Run{call.client.board, board.sequencer.started()};
}

void Instrument::abort(Call& call) {
    selected(call.client).sequencer.abort();
}

void Instrument::querySequenceStep(Call& call) {
    answer(call, std::to_string(selected(call.client).sequencer.step()));
}

}  // namespace stepctl::instrument

namespace stepctl::instrument {

void Instrument::setTimed(Call& call) {
    const scpi::Parameter& parameter = call.command.parameters.front();
    const std::string& text = parameter.text;
    bool& timed = selected(call.client).settings.timed;
    if (!parameter.quoted && (scpi::isMnemonic(text, "ON") || text == "1"))
        timed = true;
    else if (!parameter.quoted && (scpi::isMnemonic(text, "OFF") || text == "0"))
        timed = false;
    else
        call.client.status.push({err::kIllegalParameter, "'" + text + "' is not ON, OFF, 1 or 0"});
}

void Instrument::queryTimed(Call& call) {
    answer(call, selected(call.client).settings.timed ? "1" : "0");
}

namespace {

// A sample rate in Hz (MIN, MAX, DEF too), or nothing with the error queued: the reason a rate
// beyond the chip's clock or the link is refused is the one the timed stream gives.
std::optional<long long> readRate(Instrument::Call& call, bool limitsOnly) {
    const scpi::Parameter& parameter = call.command.parameters.front();
    const auto numeric = scpi::readNumeric(parameter, "HZ");
    if (numeric && numeric->word == scpi::Word::Min)
        return kMinStreamRate;
    if (numeric && numeric->word == scpi::Word::Max)
        return kMaxStreamRate;
    if (numeric && numeric->word == scpi::Word::Def)
        return kDefaultStreamRate;
    if (limitsOnly) {
        call.client.status.push(
            {err::kIllegalParameter, "'" + parameter.text + "': a query takes MIN, MAX or DEF"});
        return std::nullopt;
    }
    if (!numeric || numeric->word != scpi::Word::None ||
        numeric->value != std::floor(numeric->value)) {
        call.client.status.push({err::kIllegalParameter,
                                 "'" + parameter.text + "' is not a whole number of samples/s"});
        return std::nullopt;
    }
    const long long rate =
        numeric->value > 1e15 ? 1'000'000'000'000'000 : static_cast<long long>(numeric->value);
    const RateChoice choice = chooseBitBangRate(ChipFamily::Unknown, rate);
    if (!choice.refusal.empty()) {
        call.client.status.push({err::kDataOutOfRange, choice.refusal});
        return std::nullopt;
    }
    return rate;
}

}  // namespace

void Instrument::setSampleRate(Call& call) {
    if (const auto rate = readRate(call, false))
        selected(call.client).settings.sampleRate = *rate;
}

void Instrument::querySampleRate(Call& call) {
    if (call.command.parameters.empty()) {
        answer(call, std::to_string(selected(call.client).settings.sampleRate));
    } else if (const auto rate = readRate(call, true)) {
        answer(call, std::to_string(*rate));
    }
}

}  // namespace stepctl::instrument
