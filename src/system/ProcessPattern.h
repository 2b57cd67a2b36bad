#pragma once

#include <string>
#include <vector>

namespace tidemark {

// One known multi-process app: the identifiers that switch it on, and the names and install
// paths by which its helpers are found.
struct ProcessPattern {
    std::string parentApp;
    // In the app's own mixed case; every comparison lower-cases both sides.
    std::string parentBundleID;
    // Short process names, matched whole and ignoring case. Linux names are the kernel's
    // short name completed from the program's file name where the kernel cut it.
    std::vector<std::string> processNamePatterns;
    // Fragments of an executable path or argument text; only consulted for generic names.
    std::vector<std::string> pathPatterns;
    // False: the helpers count as residual only after the app has quit.
    bool cleanWhenWindowClosed = true;
    // The app's other identifiers, matched as `parentBundleID` is: the desktop-entry ids
    // under which Linux packages, Flatpaks and Snaps install it.
    std::vector<std::string> otherBundleIDs = {};
    // Folders only this app runs programs from, matched as fragments of a process's own
    // executable path: such a process is the app's whatever its name.
    std::vector<std::string> executableFolders = {};
};

} // namespace tidemark
