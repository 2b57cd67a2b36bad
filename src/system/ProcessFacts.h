#pragma once

#include "system/Kernel.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tidemark {

// The parents of a process, nearest first: at most `maxSteps`, stopping at pid 0 or 1, at a
// parent that cannot be read and at a loop.
std::vector<std::int32_t> processAncestors(Kernel& kernel, std::int32_t pid, int maxSteps);

// What the scan knows about one process. The costly facts (path, ancestors, argument text)
// are read on first use only and then kept, since several rules may ask for them.
class ProcessFacts {
public:
    ProcessFacts(Kernel& kernel, std::int32_t pid, std::string name, int maxAncestorSteps)
        : kernel_(kernel), pid_(pid), name_(std::move(name)), maxAncestorSteps_(maxAncestorSteps) {}

    std::int32_t pid() const { return pid_; }
    const std::string& name() const { return name_; }

    const std::optional<std::string>& executablePath();
    std::optional<std::string> ancestorExecutablePath(std::int32_t ancestor) {
        return kernel_.executablePath(ancestor);
    }
    const std::vector<std::int32_t>& ancestors();
    const std::optional<std::string>& argumentText();
    // The argument text lower-cased.
    const std::optional<std::string>& loweredArgumentText();

private:
    Kernel& kernel_;
    std::int32_t pid_;
    std::string name_;
    int maxAncestorSteps_;
    std::optional<std::optional<std::string>> path_;
    std::optional<std::vector<std::int32_t>> ancestors_;
    std::optional<std::optional<std::string>> arguments_;
    std::optional<std::optional<std::string>> loweredArguments_;
};

} // namespace tidemark
