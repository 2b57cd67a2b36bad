#include "main/Commands.h"

#include <iostream>

namespace tidemark::cli {
int runSnapshot(const Arguments&) {
    std::cerr << "tidemark snapshot: not built yet\n";
    return kExitFailure;
}
} // namespace tidemark::cli
