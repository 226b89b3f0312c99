// The outcome of the last frame transfer, kept for whoever shows it (the frame view), and the
// one watcher told after every Send. The panel fills it; a view reads it without knowing the
// dialog.
#pragma once

#include <functional>
#include <optional>
#include <utility>

#include "Exchange.h"

namespace stepctl::panel {

class LastSend {
  public:
    // None before the first transfer.
    const std::optional<SendOutcome>& outcome() const { return m_outcome; }

    // A Send has run. `outcome` is its transfer; none when it sent nothing, and then the
    // earlier transfer stays the last one.
    void completed(std::optional<SendOutcome> outcome) {
        if (outcome)
            m_outcome = std::move(outcome);
        if (m_watcher)
            m_watcher();
    }

    // Called after every Send; an empty function removes the watcher. A watcher that dies
    // before this object must remove itself.
    void watch(std::function<void()> watcher) { m_watcher = std::move(watcher); }

  private:
    std::optional<SendOutcome> m_outcome;
    std::function<void()> m_watcher;
};

}  // namespace stepctl::panel
