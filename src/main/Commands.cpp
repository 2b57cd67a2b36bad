#include "main/Commands.h"

#include "foundation/Text.h"
#include "main/ArgumentCheck.h"
#include "main/ScenarioLoading.h"

#include <algorithm>
#include <iostream>

namespace tidemark::cli {
namespace {

void printHelp(std::ostream& out, const std::vector<Command>& table) {
    out << "Usage: tidemark [COMMAND] [OPTIONS]\n\n"
           "Tidemark shows every desktop of every display as a strip of glyphs.\n"
           "Without a command it runs on the X11 desktop.\n\n"
           "The live desktop is the one the environment names: sway (SWAYSOCK), Hyprland\n"
           "(HYPRLAND_INSTANCE_SIGNATURE) or niri (NIRI_SOCKET), else X11 (DISPLAY). On\n"
           "Wayland the commands work and the strip does not run yet.\n\n"
           "Commands:\n";
    for (const auto& command : table)
        if (!command.name.empty())
            out << "  " << usageLine(command) << "\n      " << command.summary << "\n";
    out << "\n  --help       show this help\n  --version    show the version\n";
}

std::optional<std::string> scenarioFile(const Command& command, const Invocation& call) {
    if (auto file = call.option("--scenario"))
        return file;
    if (!command.defaultScenario.empty())
        return std::string(command.defaultScenario);
    return std::nullopt;
}

} // namespace

int run(int argc, char** argv, const std::vector<Command>& table) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string first = args.empty() ? "" : args.front();
    if (first == "--help" || first == "-h" || first == "help") {
        printHelp(std::cout, table);
        return kExitOk;
    }
    if (first == "--version") {
        std::cout << "tidemark " << TIDEMARK_VERSION << "\n";
        return kExitOk;
    }
    // Options without a command are the app's own.
    const bool named = !args.empty() && !first.starts_with("--");
    const auto command = std::find_if(table.begin(), table.end(), [&](const Command& c) {
        return c.name == (named ? first : "");
    });
    if (command == table.end()) {
        std::cerr << "tidemark: unknown command '" << text::printable(first)
                  << "' (see tidemark --help)\n";
        return kExitUsage;
    }
    auto checked = checkArguments(*command, {args.begin() + (named ? 1 : 0), args.end()});
    if (const auto* refusal = std::get_if<Refusal>(&checked)) {
        std::cerr << refusal->line << "\n";
        return kExitUsage;
    }
    auto& call = std::get<Invocation>(checked);
    if (call.help) {
        std::cout << helpText(*command);
        return kExitOk;
    }
    if (!command->run)
        return execDrawing(argv);
    if (const auto file = scenarioFile(*command, call)) {
        call.scenario = loadScenarioOrReport(*file);
        if (!call.scenario)
            return kExitUsage;
    }
    return command->run(std::move(call));
}

} // namespace tidemark::cli
