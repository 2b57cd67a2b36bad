#include "platform/sim/SimSystemPower.h"

namespace tidemark::sim {

std::optional<int> SimSystemPower::runSleepTool() {
    std::optional<int> status;
    {
        std::lock_guard lock(mutex_);
        status = toolStatus_;
    }
    log_.record(SimAction::sleepTool(status.has_value()));
    return status;
}

PowerServiceAnswer SimSystemPower::requestServiceSleep() {
    PowerServiceAnswer answer;
    {
        std::lock_guard lock(mutex_);
        answer = serviceAnswer_;
    }
    log_.record(SimAction::sleepService(answer != PowerServiceAnswer::NoConnection));
    return answer;
}

void SimSystemPower::setSleepToolStatus(std::optional<int> status) {
    std::lock_guard lock(mutex_);
    toolStatus_ = status;
}

void SimSystemPower::setServiceAnswer(PowerServiceAnswer answer) {
    std::lock_guard lock(mutex_);
    serviceAnswer_ = answer;
}

ScriptOutcome SimScriptRunner::run(const std::string& source) {
    ScriptOutcome outcome = ScriptOutcome::DoesNotCompile;
    {
        std::lock_guard lock(mutex_);
        if (const auto found = outcomes_.find(source); found != outcomes_.end())
            outcome = found->second;
    }
    log_.record(SimAction::scriptRun(source, outcome != ScriptOutcome::DoesNotCompile));
    return outcome;
}

void SimScriptRunner::setOutcome(const std::string& source, ScriptOutcome outcome) {
    std::lock_guard lock(mutex_);
    outcomes_[source] = outcome;
}

} // namespace tidemark::sim
