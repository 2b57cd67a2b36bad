#pragma once

#include "system/ProcessFacts.h"
#include "system/ProcessPattern.h"

#include <optional>
#include <string>
#include <unordered_set>

namespace tidemark {

// A pattern with its texts lower-cased once, for the scan's case-insensitive comparisons.
struct PreparedPattern {
    explicit PreparedPattern(const ProcessPattern& pattern);

    const ProcessPattern* pattern;
    std::string loweredBundleID;
    std::unordered_set<std::string> loweredProcessNames;
    std::vector<std::string> loweredPathPatterns;
};

// The name shown for a claimed process: build daemons started by java get a readable name.
std::string daemonDisplayName(ProcessFacts& process);

// Whether a process with a generic name belongs to the pattern's app: through its path, an
// ancestor's path or its argument text, or as a Gradle / Kotlin / JetBrains build daemon
// whose IDE has no window.
bool processMatchesPattern(ProcessFacts& process, const PreparedPattern& pattern,
                           const std::unordered_set<std::string>& windowedBundleIDs);

} // namespace tidemark
