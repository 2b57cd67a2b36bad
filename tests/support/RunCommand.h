#pragma once

#include <string>
#include <vector>

namespace tidemark::testing {

struct CommandResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the tidemark binary with `args` (no shell), with extra "NAME=value" environment
// entries, and captures both streams.
CommandResult runTidemark(const std::vector<std::string>& args,
                          const std::vector<std::string>& environment = {});

// A path inside the source tree.
std::string sourcePath(const std::string& relative);

} // namespace tidemark::testing
