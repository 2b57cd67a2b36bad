#pragma once

#include "popover/SystemPower.h"

#include <string>
#include <vector>

namespace tidemark::linux_platform {

// Sleep on a systemd machine. The tool is `systemctl suspend`; the service is logind, asked
// over the system bus (`org.freedesktop.login1.Manager.Suspend`, not interactive, so a
// policy that wants a password refuses instead of prompting).
class LinuxSystemPower final : public SystemPower {
public:
    static constexpr const char* kSleepTool = "/usr/bin/systemctl";

    explicit LinuxSystemPower(std::string toolPath = kSleepTool,
                              std::vector<std::string> toolArguments = {"suspend"});

    std::optional<int> runSleepTool() override;
    PowerServiceAnswer requestServiceSleep() override;

private:
    std::string toolPath_;
    std::vector<std::string> toolArguments_;
};

} // namespace tidemark::linux_platform
