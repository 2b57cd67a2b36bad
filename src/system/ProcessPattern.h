#pragma once

#include <string>
#include <vector>

namespace tidemark {

// One known multi-process app: the names and install paths by which its helpers are found.
struct ProcessPattern {
    std::string parentApp;
    // In the app's own mixed case; every comparison lower-cases both sides.
    std::string parentBundleID;
    // Short process names, matched whole and ignoring case.
    std::vector<std::string> processNamePatterns;
    // Fragments of an executable path or argument text; only consulted for generic names.
    std::vector<std::string> pathPatterns;
    // False: the helpers count as residual only after the app has quit.
    bool cleanWhenWindowClosed = true;
};

} // namespace tidemark
