#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark::cli {

// Exit codes shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// The arguments after the command name, with the usual option helpers.
class Arguments {
public:
    explicit Arguments(std::vector<std::string> args) : args_(std::move(args)) {}

    const std::vector<std::string>& all() const { return args_; }
    bool hasFlag(std::string_view flag) const;
    // Value of "--name VALUE" or "--name=VALUE".
    std::optional<std::string> option(std::string_view name) const;
    // Arguments that are neither options nor option values; `valued` lists the options that
    // take a value.
    std::vector<std::string> positional(const std::vector<std::string_view>& valued) const;
    // The first argument starting with "--" that is not in `known`, if any.
    std::optional<std::string> unknownOption(const std::vector<std::string_view>& known) const;

private:
    std::vector<std::string> args_;
};

struct Command {
    std::string_view name;
    std::string_view usage;
    std::string_view summary;
    // Nothing for the commands that draw: they run in the drawing executable, so that the
    // others start without loading Qt.
    int (*run)(const Arguments&);
};

const std::vector<Command>& commands();
int run(int argc, char** argv);

// The drawing executable: the live app without a command, else render, contact-sheet or
// demo.
int runDrawing(int argc, char** argv);
// Replaces this process with the drawing executable installed beside this one, with the same
// arguments; returns only after saying in one line why it could not.
int execDrawing(char** argv);

// Commands, one file each.
int runSnapshot(const Arguments&);
int runDefaults(const Arguments&);
int runRender(const Arguments&);
int runContactSheet(const Arguments&);
int runReplay(const Arguments&);
int runScan(const Arguments&);
int runMemory(const Arguments&);
int runSwitch(const Arguments&);
int runShortcut(const Arguments&);
int runDemo(const Arguments&);
// No command: the strip on the live X11 desktop.
int runLiveApp(const Arguments&);
int runWatch(const Arguments&);

} // namespace tidemark::cli
