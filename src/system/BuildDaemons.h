#pragma once

#include "system/ProcessFacts.h"
#include "system/ProcessPattern.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

namespace tidemark {

// A pattern with its texts lower-cased once, for the scan's case-insensitive comparisons.
struct PreparedPattern {
    explicit PreparedPattern(const ProcessPattern& pattern);

    // Whether `loweredID` is one of the app's identifiers or a sub-identifier of one.
    bool hasInFamily(std::string_view loweredID) const;
    // Whether the set holds one of the app's identifiers or a sub-identifier of one.
    bool isAnyInFamily(const std::unordered_set<std::string>& loweredIDs) const;

    const ProcessPattern* pattern;
    // The bundle identifier first, then the other identifiers.
    std::vector<std::string> loweredBundleIDs;
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

// Whether the process runs a program from one of the pattern's executable folders.
bool runsFromExecutableFolder(ProcessFacts& process, const PreparedPattern& pattern);

} // namespace tidemark
