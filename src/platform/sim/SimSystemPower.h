#pragma once

#include "platform/sim/SimActionLog.h"
#include "popover/ScriptRunner.h"
#include "popover/SystemPower.h"

#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace tidemark::sim {

// Power management that records every request and answers as configured: by default the
// sleep tool starts and exits 0.
class SimSystemPower final : public SystemPower {
public:
    explicit SimSystemPower(SimActionLog& log) : log_(log) {}

    std::optional<int> runSleepTool() override;
    PowerServiceAnswer requestServiceSleep() override;

    // Nothing: the tool cannot be started.
    void setSleepToolStatus(std::optional<int> status);
    void setServiceAnswer(PowerServiceAnswer answer);

private:
    SimActionLog& log_;
    std::mutex mutex_;
    std::optional<int> toolStatus_ = 0;
    PowerServiceAnswer serviceAnswer_ = PowerServiceAnswer::Accepted;
};

// A scripting host that records every script and answers as configured per script text;
// unconfigured scripts do not compile, as on a platform without scripting.
class SimScriptRunner final : public ScriptRunner {
public:
    explicit SimScriptRunner(SimActionLog& log) : log_(log) {}

    ScriptOutcome run(const std::string& source) override;
    void setOutcome(const std::string& source, ScriptOutcome outcome);

private:
    SimActionLog& log_;
    std::mutex mutex_;
    std::map<std::string, ScriptOutcome, std::less<>> outcomes_;
};

} // namespace tidemark::sim
