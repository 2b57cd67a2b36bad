#pragma once

#include "platform/scenario/Scenario.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark::cli {

// Exit codes shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// What a command reads: a scenario file (--scenario FILE), this machine and desktop, or
// either.
enum class Desktop { Scenario, Live, ScenarioOrLive };

// "--name" alone, or "--name VALUE" / "--name=VALUE" when it takes a value.
struct Option {
    std::string_view name = {};
    // The value as the usage names it ("FILE.png"); empty for an option without one.
    std::string_view value = {};
    // The only values it takes, as the usage shows them in place of `value`: "json|waybar".
    std::string_view choices = {};
    bool required = false;
    std::string_view help = {};
};

// A command's arguments as the shared check accepted them, and the scenario they name.
struct Invocation {
    std::optional<std::string> option(std::string_view name) const;
    bool flag(std::string_view name) const { return options.contains(name); }

    // Each option given, by name; one without a value maps to "". The first of a repeated
    // option counts.
    std::map<std::string, std::string, std::less<>> options;
    // The arguments that are neither options nor their values, in order.
    std::vector<std::string> words;
    bool help = false;
    // Loaded from --scenario, or from the command's default file, before the command runs.
    std::optional<sim::Scenario> scenario;
};

// One row of the command table: everything the shared check, the usage line and --help
// know about a command.
struct Command {
    // Empty for the app itself, which runs when no command is given.
    std::string_view name = {};
    std::string_view summary = {};
    // Implies the --scenario option, which `options` leaves out.
    Desktop desktop = Desktop::Live;
    std::vector<Option> options = {};
    // The words after the options as the usage shows them, e.g. "SPACE_ID", or sub-commands
    // as "read [KEY] | write KEY JSON | delete KEY": a lower-case word is literal, a
    // bracketed one may be left out.
    std::string_view words = {};
    // Lines --help adds after the options: what the output holds and its figures mean.
    std::string_view details = {};
    // What a Desktop::Scenario command reads without --scenario; empty when it is required.
    std::string_view defaultScenario = {};
    // Null in `tidemark` for a command that draws: `tidemark-draw` runs it.
    int (*run)(Invocation) = nullptr;
};

// Every command, the app itself first; each executable compiles its own copy.
const std::vector<Command>& commandTable();

// Both executables' main: checks the arguments of the command `argv` names against its
// row, loads its scenario and runs it, or hands it to the drawing executable.
int run(int argc, char** argv, const std::vector<Command>& table);

// Replaces this process with the drawing executable installed beside this one, with the same
// arguments; returns only after saying in one line why it could not.
int execDrawing(char** argv);

} // namespace tidemark::cli
