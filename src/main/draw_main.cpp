#include "main/Commands.h"

// The commands that draw, with Qt; `tidemark` hands them over by exec.
int main(int argc, char** argv) {
    return tidemark::cli::runDrawing(argc, argv);
}
