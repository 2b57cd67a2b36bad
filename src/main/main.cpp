#include "main/Commands.h"

// Both executables: `tidemark` and `tidemark-draw` differ in the table they are built with.
int main(int argc, char** argv) {
    return tidemark::cli::run(argc, argv, tidemark::cli::commandTable());
}
