#include "main/Commands.h"

#include <algorithm>
#include <iostream>

namespace tidemark::cli {

bool Arguments::hasFlag(std::string_view flag) const {
    return std::find(args_.begin(), args_.end(), flag) != args_.end();
}

std::optional<std::string> Arguments::option(std::string_view name) const {
    for (std::size_t i = 0; i < args_.size(); ++i) {
        const auto& arg = args_[i];
        if (arg == name && i + 1 < args_.size())
            return args_[i + 1];
        if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=')
            return arg.substr(name.size() + 1);
    }
    return std::nullopt;
}

std::vector<std::string> Arguments::positional(const std::vector<std::string_view>& valued) const {
    std::vector<std::string> result;
    for (std::size_t i = 0; i < args_.size(); ++i) {
        const auto& arg = args_[i];
        if (arg.starts_with("--")) {
            if (std::find(valued.begin(), valued.end(), arg) != valued.end())
                ++i;
            continue;
        }
        result.push_back(arg);
    }
    return result;
}

std::optional<std::string>
Arguments::unknownOption(const std::vector<std::string_view>& known) const {
    for (const auto& arg : args_) {
        if (!arg.starts_with("--"))
            continue;
        const auto name = std::string_view(arg).substr(0, arg.find('='));
        if (std::find(known.begin(), known.end(), name) == known.end())
            return arg;
    }
    return std::nullopt;
}

const std::vector<Command>& commands() {
    static const std::vector<Command> table{
        {"snapshot", "snapshot [--scenario FILE]", "print the display-and-space snapshot as JSON",
         runSnapshot},
        {"watch", "watch [--scenario FILE]",
         "run on the live desktop (or a scenario in real time under the settings file) and "
         "print one JSON line per refresh until interrupted",
         runWatch},
        {"switch", "switch SPACE_ID",
         "switch the live desktop's display to a space and print the steps taken", runSwitch},
        {"defaults", "defaults read [KEY] | write KEY JSON | delete KEY",
         "show or change the settings", runDefaults},
        {"render", "render [--scenario FILE] --out FILE.png [--scale S]",
         "draw the strip's image as PNG and print its layout as JSON", nullptr},
        {"contact-sheet", "contact-sheet --scenario FILE --out FILE.png [--scale S]",
         "draw every icon style in dark and light, plain, pronounced and coloured", nullptr},
        {"replay", "replay --scenario FILE --events FILE [--until SECONDS] [--ui]",
         "replay an event script in virtual time: one JSON line per refresh and timer change",
         runReplay},
        {"scan", "scan [--scenario FILE] [--json]",
         "list the helper processes that closed apps left running", runScan},
        {"memory", "memory [--scenario FILE] [--json]", "show the system memory figures",
         runMemory},
        {"shortcut", "shortcut show [NAME] | set NAME COMBO [--force] | clear NAME",
         "show or change a global shortcut. COMBO is modifiers and one key joined by '+', in "
         "any case: ctrl, alt, shift, super, then a letter, digit, punctuation, F1 to F20 or a "
         "key's name (enter, esc, tab, space, backspace, delete, insert, home, end, page up, "
         "page down, up, down, left, right, keypad 7, …), as shown: 'set refresh Ctrl+Alt+R'",
         runShortcut},
        {"demo", "demo --out DIR [--scenario FILE]",
         "draw the strip in every style and appearance, the menu, the about view, the "
         "preferences window and the hover panel in each state as PNG files (scenario: "
         "examples/demo.json)",
         nullptr},
    };
    return table;
}

namespace {

void printHelp(std::ostream& out) {
    out << "Usage: tidemark [COMMAND] [OPTIONS]\n\n"
           "Tidemark shows every desktop of every display as a strip of glyphs.\n"
           "Without a command it runs on the X11 desktop.\n\n"
           "Commands:\n";
    for (const auto& command : commands())
        out << "  " << command.usage << "\n      " << command.summary << "\n";
    out << "\n  --help       show this help\n  --version    show the version\n";
}

} // namespace

int run(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return execDrawing(argv);
    const std::string& first = args.front();
    if (first == "--help" || first == "-h" || first == "help") {
        printHelp(std::cout);
        return kExitOk;
    }
    if (first == "--version") {
        std::cout << "tidemark " << TIDEMARK_VERSION << "\n";
        return kExitOk;
    }
    for (const auto& command : commands()) {
        if (command.name == first) {
            Arguments rest(std::vector<std::string>(args.begin() + 1, args.end()));
            if (rest.hasFlag("--help")) {
                std::cout << "Usage: tidemark " << command.usage << "\n" << command.summary << "\n";
                return kExitOk;
            }
            return command.run ? command.run(rest) : execDrawing(argv);
        }
    }
    std::cerr << "tidemark: unknown command '" << first << "' (see tidemark --help)\n";
    return kExitUsage;
}

} // namespace tidemark::cli
