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

// The same for another copy of the program.
CommandResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& environment = {});

// Starts every run at once, then waits for them all; results in the order of `runs`.
std::vector<CommandResult>
runTidemarkConcurrently(const std::vector<std::vector<std::string>>& runs,
                        const std::vector<std::string>& environment = {});

// A path inside the source tree.
std::string sourcePath(const std::string& relative);

} // namespace tidemark::testing
