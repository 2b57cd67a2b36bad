#include "main/Commands.h"

#include <iostream>
#include <string>

namespace tidemark::cli {

int runDrawing(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return runLiveApp(Arguments({}));
    const struct {
        std::string_view name;
        int (*run)(const Arguments&);
    } drawing[] = {{"render", runRender}, {"contact-sheet", runContactSheet}, {"demo", runDemo}};
    for (const auto& command : drawing)
        if (command.name == args.front())
            return command.run(Arguments({args.begin() + 1, args.end()}));
    std::cerr << "tidemark: '" << args.front()
              << "' is no command that draws (see tidemark --help)\n";
    return kExitUsage;
}

} // namespace tidemark::cli
