#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "UdevRules.h"

namespace stepctl::udevtest {
namespace {

std::string readRuleFile() {
    std::ifstream in(STEPCTL_UDEV_RULE);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines)
        out += l + "\n";
    return out;
}

TEST(UdevRuleFile, EveryLineIsACommentOrAValidRule) {
    const std::string text = readRuleFile();
    ASSERT_FALSE(text.empty()) << "cannot read " << STEPCTL_UDEV_RULE;
    const UdevFile file = parseUdevRules(text);
    EXPECT_TRUE(file.errors.empty()) << joined(file.errors);
    EXPECT_EQ(file.rules.size(), 1u);
}

TEST(UdevRuleFile, GrantsLibftdisChipsToTheSeatUserAndPlugdevAndNobodyElse) {
    const UdevFile file = parseUdevRules(readRuleFile());
    const UdevRule* grant = nullptr;
    for (const UdevRule& rule : file.rules) {
        if (const UdevPair* tag = rule.find("TAG", "", "+="); tag && tag->value == "uaccess")
            grant = &rule;
        for (const UdevPair& p : rule.pairs) {
            if (p.key == "MODE") {
                EXPECT_TRUE(closedToOthers(p.value)) << "line " << rule.line << ": " << p.value;
            }
            EXPECT_NE(p.key, "OWNER") << "line " << rule.line;
        }
    }
    ASSERT_NE(grant, nullptr) << "no rule tags the chip with uaccess";

    auto value = [grant](std::string_view key, std::string_view attr, std::string_view op) {
        const UdevPair* p = grant->find(key, attr, op);
        return p != nullptr ? p->value : std::string("(missing)");
    };
    EXPECT_EQ(value("SUBSYSTEM", "", "=="), "usb");
    EXPECT_EQ(value("ATTR", "idVendor", "=="), "0403");
    // The products ftdi_usb_find_all looks for, which is how StepCtl finds its chip.
    EXPECT_EQ(alternatives(value("ATTR", "idProduct", "==")),
              (std::set<std::string>{"6001", "6010", "6011", "6014", "6015"}));
    EXPECT_EQ(value("GROUP", "", "="), "plugdev");
    EXPECT_EQ(value("MODE", "", "="), "0660");
}

TEST(UdevRuleReader, CatchesWhatUdevWouldRejectOrSilentlyIgnore) {
    const char* bad[] = {
        R"(SUBSYSTEM=="usb" ATTR{idVendor}=="0403")",  // no comma
        R"(SUBSYSTEM="usb", MODE="0660")",             // assigns a match-only key
        R"(SUBSYSTEM=="usb", MODE=="0660")",           // matches an assignment key
        R"(SUBSYSTEM=="usb", MODE=0660)",              // unquoted
        R"(SUBSYTEM=="usb", MODE="0660")",             // misspelt key
        R"(ATTR=="0403", MODE="0660")",                // ATTR without {name}
        R"(SUBSYSTEM=="usb", GROUP="plugdev)",         // unterminated
        R"(SUBSYSTEM=="usb", ATTR{idVendor=="0403")",  // unclosed brace
        R"(SUBSYSTEM=="usb", , MODE="0660")",          // empty pair
    };
    for (const char* line : bad)
        EXPECT_EQ(parseUdevRules(line).errors.size(), 1u) << line;

    const UdevFile good = parseUdevRules(
        "# comment\n\n  SUBSYSTEM==\"usb\", \\\n  ATTR{idProduct}==\"6001|6015\", "
        "TAG+=\"uaccess\"\n");
    EXPECT_TRUE(good.errors.empty()) << joined(good.errors);
    ASSERT_EQ(good.rules.size(), 1u);
    EXPECT_EQ(good.rules[0].line, 3);
    EXPECT_EQ(alternatives(good.rules[0].pairs[1].value), (std::set<std::string>{"6001", "6015"}));

    EXPECT_TRUE(closedToOthers("0660"));
    EXPECT_TRUE(closedToOthers("0600"));
    EXPECT_FALSE(closedToOthers("0666"));
    EXPECT_FALSE(closedToOthers("0664"));
    EXPECT_FALSE(closedToOthers("rw"));
}

}  // namespace
}  // namespace stepctl::udevtest
