// The outcome of the last frame transfer, kept for whoever shows it (the frame view), and the
// one watcher told after every Send. The panel fills it; a view reads it without knowing the
// dialog.
#pragma once

#include <functional>
#include <optional>
#include <utility>

#include "Exchange.h"

namespace stepctl::panel {

// What the last transfer carried, as the panel chose it.
struct SentSettings {
    int row = 0;
    int code1 = 0;
    int code2 = 0;    // the dual device's second code
    int address = 0;  // Serial Addressable
};

class LastSend {
  public:
    // None before the first transfer.
    const std::optional<SendOutcome>& outcome() const { return m_outcome; }

    // The settings the last transfer carried; none before the first.
    const std::optional<SentSettings>& settings() const { return m_settings; }

    // A Send has run. `outcome` is its transfer; none when it sent nothing, and then the
    // earlier transfer and its settings stay the last ones.
    void completed(std::optional<SendOutcome> outcome, const SentSettings& settings) {
        if (outcome) {
            m_outcome = std::move(outcome);
            m_settings = settings;
        }
        if (m_watcher)
            m_watcher();
    }

    // Called after every Send; an empty function removes the watcher. A watcher that dies
    // before this object must remove itself.
    void watch(std::function<void()> watcher) { m_watcher = std::move(watcher); }

  private:
    std::optional<SendOutcome> m_outcome;
    std::optional<SentSettings> m_settings;
    std::function<void()> m_watcher;
};

}  // namespace stepctl::panel
