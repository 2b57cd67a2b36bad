#include "main/Commands.h"

int main(int argc, char** argv) {
    return tidemark::cli::run(argc, argv);
}
