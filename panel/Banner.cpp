#include "Banner.h"

#include "D2xxLink.h"

namespace stepctl::panel {

BannerLine bannerLine(const BannerFacts& facts) {
    if (!facts.failure.empty())
        return {facts.failure, true};
    if (facts.simulated)
        return {"StepCtl \u00b7 simulated board"};
    if (facts.driverMissing)
        return {"StepCtl \u00b7 D2XX driver (" + d2xxLibraryFileName() + ") missing"};
    return {"StepCtl \u00b7 DSA/DVGA control"};
}

std::string sendFailureWords(const SendOutcome& outcome) {
    switch (outcome.status) {
        case SendStatus::Sent:
            return {};
        case SendStatus::NoDevice:
            return "Frame not sent: " +
                   (outcome.detail.empty() ? std::string("the chip did not open") : outcome.detail);
        case SendStatus::TransferFailed:
            break;
    }
    // The transfer names the call that failed first ("write failed: ...", "short write: ...").
    std::string words = outcome.detail.empty() ? std::string("transfer failed") : outcome.detail;
    if (words[0] >= 'a' && words[0] <= 'z')
        words[0] = static_cast<char>(words[0] - 'a' + 'A');
    return words;
}

}  // namespace stepctl::panel
