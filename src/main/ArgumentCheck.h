#pragma once

#include "main/Commands.h"

#include <string>
#include <variant>
#include <vector>

namespace tidemark::cli {

// Why a command's arguments were refused: the one line it prints before exiting 2.
struct Refusal {
    std::string line;
};

// The check every command shares: unknown options, options without their value, missing
// required options and word counts its usage does not allow. `args` follow the command's
// name. --help anywhere asks for help, whatever else is there.
std::variant<Invocation, Refusal> checkArguments(const Command& command,
                                                 const std::vector<std::string>& args);

// What follows "tidemark " in the usage, e.g. "render --scenario FILE --out FILE.png
// [--scale S]".
std::string usageLine(const Command& command);

// "Usage: tidemark ...", the summary and one line per option.
std::string helpText(const Command& command);

} // namespace tidemark::cli
