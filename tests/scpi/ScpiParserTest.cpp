// The SCPI parser, header patterns, numbers and the error queue, as plain functions.
#include <gtest/gtest.h>

#include "Numeric.h"
#include "Parser.h"
#include "Pattern.h"

namespace stepctl::scpi {
namespace {

// A unit as one text: "ATT:CODE?(5)" for a command, "#-102" for an error.
std::string show(const Unit& unit) {
    if (const auto* error = std::get_if<Error>(&unit))
        return "#" + std::to_string(error->code);
    const auto& command = std::get<Command>(unit);
    std::string text = command.common ? "*" : "";
    for (std::size_t i = 0; i < command.path.size(); ++i) {
        text += (i > 0 ? ":" : "") + command.path[i].mnemonic;
        if (command.path[i].suffix != 0)
            text += std::to_string(command.path[i].suffix);
    }
    text += command.query ? "?" : "";
    if (!command.parameters.empty()) {
        text += "(";
        for (std::size_t i = 0; i < command.parameters.size(); ++i)
            text += (i > 0 ? "|" : "") + command.parameters[i].text;
        text += ")";
    }
    return text;
}

std::string showLine(std::string_view line) {
    std::string text;
    for (const Unit& unit : parseLine(line))
        text += (text.empty() ? "" : " ") + show(unit);
    return text;
}

TEST(ScpiParser, ReadsEachFormOfALine) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"*IDN?", "*IDN?"},
        {"att 10.5", "ATT(10.5)"},
        {"ATTenuation2 5 dB\r", "ATTENUATION2(5 dB)"},
        {":SYST:ERR:NEXT?;COUN?", "SYST:ERR:NEXT? SYST:ERR:COUN?"},  // relative to the parent
        {"ATT:CODE 7;:ATT?", "ATT:CODE(7) ATT?"},                    // ':' back to the root
        {"SYST:ERR?;*CLS;VERS?", "SYST:ERR? *CLS SYST:VERS?"},       // common leaves the node
        {"DEV \"ZMT-B4/B5\", 'a;b''c'", "DEV(ZMT-B4/B5|a;b'c)"},     // quotes hide ';' and ','
        {"  dev\t3  ", "DEV(3)"},
    };
    for (const auto& [line, want] : cases)
        EXPECT_EQ(showLine(line), want) << line;
}

TEST(ScpiParser, GivesOneErrorPerFaultClass) {
    const std::pair<std::string, std::string_view> cases[] = {
        {"", "#-100"},                         // empty line
        {"ATT 1;;ATT?", "ATT(1) #-100 ATT?"},  // empty command between two
        {"ATT\x01 1", "#-102"},                // not text: nothing of the line runs
        {"ATT \xC3\xA9", "#-102"},             // nor a byte above ASCII
        {"ATT 1,,2", "#-102"},                 // missing parameter
        {"DEV \"ZMG", "#-102"},                // open quote
        {"DEV \"a\"b", "#-102"},               // text after a closing quote
        {"SYST::ERR?", "#-102"},               // empty node
        {"1ATT", "#-102"},                     // node not starting with a letter
        {"ATT-1 2", "#-102"},                  // bad character in a header
        {"ATT99999999999 1", "#-113"},         // suffix beyond an int
        {std::string(4097, 'A'), "#-223"},     // too long
    };
    for (const auto& [line, want] : cases)
        EXPECT_EQ(showLine(line), want) << line;
    EXPECT_EQ(showLine(std::string(4096, 'A')), std::string(4096, 'A'));
}

TEST(ScpiPattern, MatchesShortLongOptionalAndNumberedNodes) {
    auto first = [](std::string_view line) { return std::get<Command>(parseLine(line).front()); };
    const Pattern error("SYSTem:ERRor[:NEXT]");
    const Pattern att("ATTenuation#:CODE");
    const Pattern idn("*IDN");
    for (const char* line : {"SYST:ERR?", "system:error:next?", "SYSTEM:ERR:NEXT?"})
        EXPECT_TRUE(error.match(first(line))) << line;
    for (const char* line :
         {"SYS:ERR?", "SYST:ERRO?", "SYST:ERR:NEXT:NEXT?", "SYST2:ERR?", "SYST:ERR:COUN?", "*SYST"})
        EXPECT_FALSE(error.match(first(line))) << line;
    EXPECT_EQ(*att.match(first("ATT:CODE 1")), std::vector<int>{1});
    EXPECT_EQ(*att.match(first("attenuation2:code?")), std::vector<int>{2});
    EXPECT_TRUE(idn.match(first("*idn?")));
    EXPECT_FALSE(idn.match(first("IDN?")));
    EXPECT_TRUE(isMnemonic("addr", "ADDRessable"));
    EXPECT_FALSE(isMnemonic("ADDRE", "ADDRessable"));
}

TEST(ScpiNumeric, ReadsNumbersUnitsAndWords) {
    auto read = [](std::string text, bool steps = false) {
        return readNumeric({std::move(text), false}, "DB", steps);
    };
    const std::pair<std::string, double> numbers[] = {
        {"10.5", 10.5},    {"+1.05E1", 10.5}, {"10.5db", 10.5},
        {"10.5 DB", 10.5}, {"-0", 0.0},       {".5", 0.5},
    };
    for (const auto& [text, value] : numbers) {
        const auto numeric = read(text);
        ASSERT_TRUE(numeric) << text;
        EXPECT_EQ(numeric->value, value) << text;
    }
    EXPECT_EQ(read("10.5DB")->number, "10.5");
    EXPECT_EQ(read("+5")->number, "5");
    EXPECT_EQ(read("maximum")->word, Word::Max);
    EXPECT_EQ(read("def")->word, Word::Def);
    EXPECT_EQ(read("UP", true)->word, Word::Up);
    for (const char* bad :
         {"UP", "abc", "10.5dBm", "0x10", "inf", "nan", "nan(1)", "+inf", "1e999", "1.2.3", ""})
        EXPECT_FALSE(read(bad)) << bad;
    EXPECT_FALSE(readNumeric({"10", true}, "DB"));  // a string is not a number
}

TEST(ScpiErrors, QueueHoldsSixteenThenReportsOverflow) {
    ClientStatus status;
    EXPECT_EQ(formatError(status.next()), "0,\"No error\"");
    for (int i = 0; i < 20; ++i)
        status.push({err::kUndefinedHeader, "X" + std::to_string(i)});
    EXPECT_EQ(status.count(), 16u);
    EXPECT_EQ(status.statusByte(), 0x04);   // no MSS: *SRE enables nothing yet
    EXPECT_EQ(status.next().detail, "X0");  // oldest first
    for (int i = 1; i < 15; ++i)
        status.next();
    EXPECT_EQ(status.next().code, err::kQueueOverflow);
    EXPECT_EQ(status.readEsr(), esr::kCommandError | esr::kDeviceError);  // -350 is one
    EXPECT_EQ(status.readEsr(), 0);                                       // read clears it
    EXPECT_EQ(formatError({err::kHardware, "say \"hi\"\x01"}),
              "-240,\"Hardware error; say \"\"hi\"\"?\"");
}

}  // namespace
}  // namespace stepctl::scpi
