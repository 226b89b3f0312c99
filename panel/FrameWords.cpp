#include "FrameWords.h"

#include "Catalogue.h"
#include "DbCode.h"
#include "SimulatedBoard.h"
#include "TextFormat.h"

namespace stepctl::panel {
namespace {

std::string statusWords(const SendOutcome& outcome) {
    switch (outcome.status) {
        case SendStatus::Sent:
            return "sent";
        case SendStatus::NoDevice:
            return "not sent, no device: " + outcome.detail;
        case SendStatus::TransferFailed:
            break;
    }
    return "transfer failed: " + outcome.detail;
}

std::string codeWords(int row, int code) {
    return std::to_string(code) + " (" + formatDb(dbFromCode(row, code)) + " dB)";
}

}  // namespace

std::string frameSummary(const std::optional<SendOutcome>& outcome,
                         const std::optional<SentSettings>& sent) {
    if (!outcome)
        return "No frame sent yet: press \"Send Signal\" in the panel.";
    const std::string kind(frameKindName(outcome->kind));
    if (!sent)
        return "Last frame: " + kind + ": " + statusWords(*outcome);
    const std::string device = isCatalogueRow(sent->row) ? std::string(catalogue()[sent->row].name)
                                                         : "row " + std::to_string(sent->row);
    std::string codes = outcome->kind == FrameKind::Dual
                            ? "codes " + codeWords(sent->row, sent->code1) + " and " +
                                  codeWords(sent->row, sent->code2)
                            : "code " + codeWords(sent->row, sent->code1);
    if (outcome->kind == FrameKind::Addressable6 || outcome->kind == FrameKind::Addressable7)
        codes += " to address " + std::to_string(sent->address);
    return "Last frame: " + device + ", " + kind + ", " + codes + ": " + statusWords(*outcome);
}

std::string frameBytes(const Frame& frame) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t byte : frame) {
        if (!text.empty())
            text += ' ';
        text += kHex[byte >> 4];
        text += kHex[byte & 0x0F];
    }
    return text;
}

std::string simulatedHolds(const SimulatedBoard& board) {
    std::string text;
    for (const std::string& line : board.report())
        text += (text.empty() ? "" : "\n") + line;
    return text.empty() ? "(nothing latched yet)" : text;
}

std::string vcdFileName(FrameKind kind) {
    return "stepctl-" + std::string(frameKindName(kind)) + ".vcd";
}

}  // namespace stepctl::panel
