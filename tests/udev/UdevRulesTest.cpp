#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "UdevRules.h"

namespace stepctl::udevtest {
namespace {

std::string readFile(const char* path) {
    std::ifstream in(path);
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

// The two files in the order udev reads them: the marks, then the grant.
std::vector<UdevFile> ruleFiles() {
    return {parseUdevRules(readFile(STEPCTL_UDEV_MARK)),
            parseUdevRules(readFile(STEPCTL_UDEV_GRANT))};
}

TEST(UdevRuleFile, EveryLineIsACommentOrAValidRuleAndEachFileStartsWithAnActionGuard) {
    for (const char* path : {STEPCTL_UDEV_MARK, STEPCTL_UDEV_GRANT}) {
        const std::string text = readFile(path);
        ASSERT_FALSE(text.empty()) << "cannot read " << path;
        const UdevFile file = parseUdevRules(text);
        EXPECT_TRUE(file.errors.empty()) << path << "\n" << joined(file.errors);
        ASSERT_FALSE(file.rules.empty()) << path;
        const UdevRule& first = file.rules.front();
        ASSERT_NE(first.find("ACTION", "", "!="), nullptr) << path;
        EXPECT_EQ(alternatives(first.find("ACTION", "", "!=")->value),
                  (std::set<std::string>{"add", "change"}))
            << path;
        EXPECT_NE(first.find("GOTO", "", "="), nullptr) << path;
    }
}

TEST(UdevRuleFile, OneFileMarksTheChipsAndTheOtherGrantsThem) {
    const std::vector<UdevFile> files = ruleFiles();
    for (const UdevRule& rule : files[0].rules) {
        for (const UdevPair& p : rule.pairs) {
            EXPECT_TRUE(p.key != "TAG" && p.key != "GROUP" && p.key != "MODE" && p.key != "OWNER")
                << "the marking file grants with " << p.key << " on line " << rule.line;
        }
    }
    for (const UdevRule& rule : files[1].rules) {
        EXPECT_EQ(rule.find("ATTR", "idVendor", "=="), nullptr)
            << "the granting file picks chips itself on line " << rule.line;
        for (const UdevPair& p : rule.pairs) {
            if (p.key == "MODE") {
                EXPECT_TRUE(closedToOthers(p.value)) << "line " << rule.line << ": " << p.value;
            }
            EXPECT_NE(p.key, "OWNER") << "line " << rule.line;
        }
    }
}

TEST(UdevRuleFile, GrantsLibftdisChipsToTheSeatUserAndPlugdevAndNobodyElse) {
    struct Case {
        const char* action;
        const char* devtype;
        const char* vendor;
        const char* product;
        bool granted;
    };
    // The products ftdi_usb_find_all looks for, which is how StepCtl finds its chip.
    const std::vector<Case> cases{
        {"add", "usb_device", "0403", "6001", true},
        {"add", "usb_device", "0403", "6010", true},
        {"add", "usb_device", "0403", "6011", true},
        {"add", "usb_device", "0403", "6014", true},
        {"change", "usb_device", "0403", "6015", true},
        {"remove", "usb_device", "0403", "6001", false},
        {"bind", "usb_device", "0403", "6001", false},
        {"add", "usb_interface", "0403", "6001", false},
        {"add", "usb_device", "0403", "6666", false},
        {"add", "usb_device", "1d50", "6001", false},
    };
    const std::vector<UdevFile> files = ruleFiles();
    for (const Case& c : cases) {
        const UdevEvent event{c.action,
                              "usb",
                              {{"DEVTYPE", c.devtype}},
                              {{"idVendor", c.vendor}, {"idProduct", c.product}}};
        const UdevOutcome out = applyUdevRules(files, event);
        const std::string what =
            std::string(c.action) + " " + c.devtype + " " + c.vendor + ":" + c.product;
        EXPECT_TRUE(out.errors.empty()) << what << "\n" << joined(out.errors);
        EXPECT_EQ(out.tags.contains("uaccess"), c.granted) << what;
        EXPECT_EQ(out.group, c.granted ? "plugdev" : "") << what;
        EXPECT_EQ(out.mode, c.granted ? "0660" : "") << what;
    }
    // Another subsystem never reaches the grant, whatever it carries.
    const UdevOutcome tty =
        applyUdevRules(files, {"add", "tty", {{"ID_STEPCTL", "0"}}, {{"idVendor", "0403"}}});
    EXPECT_TRUE(tty.tags.empty());
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
