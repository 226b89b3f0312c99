#include "Sequence.h"

namespace stepctl::session {

std::optional<std::size_t> totalSteps(const StepPlan& plan) {
    if (plan.passes == 0)
        return std::nullopt;
    const std::size_t first = plan.steps.size();
    const std::size_t later = first - (plan.joinPasses && first > 0 ? 1 : 0);
    return first + later * static_cast<std::size_t>(plan.passes - 1);
}

SendRequest stepRequest(const StepPlan& plan, const Step& step) {
    SendRequest request = plan.target;
    request.text1 = step.text1;
    if (!step.text2.empty())
        request.text2 = step.text2;
    return request;
}

StepCursor::StepCursor(const StepPlan& plan) : plan_(plan), total_(totalSteps(plan)) {}

bool StepCursor::done() const {
    return plan_.steps.empty() || (total_ && number_ > *total_);
}

void StepCursor::advance() {
    due_ += step().dwell;
    ++number_;
    if (++index_ == plan_.steps.size()) {
        ++pass_;
        index_ = plan_.joinPasses && plan_.steps.size() > 1 ? 1 : 0;
    }
}

}  // namespace stepctl::session
