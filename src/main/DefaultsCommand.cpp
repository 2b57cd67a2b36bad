#include "main/Commands.h"

#include <iostream>

namespace tidemark::cli {
int runDefaults(const Arguments&) {
    std::cerr << "tidemark defaults: not built yet\n";
    return kExitFailure;
}
} // namespace tidemark::cli
