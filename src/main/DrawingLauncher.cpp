#include "main/Commands.h"
#include "platform/linux/settings/AutostartEntry.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace tidemark::cli {

using linux_platform::kDrawingExecutable;

int execDrawing(char** argv) {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        std::cerr << "tidemark: cannot find this program's own file: " << error.message() << "\n";
        return kExitFailure;
    }
    // Beside this binary in a build tree; in its libexec folder once installed.
    const auto folder = self.parent_path();
    std::filesystem::path drawing;
    for (const auto& candidate : {folder / kDrawingExecutable,
                                  folder / TIDEMARK_DRAWING_DIR_FROM_BINARY / kDrawingExecutable}) {
        if (::access(candidate.c_str(), X_OK) == 0) {
            drawing = candidate;
            break;
        }
    }
    if (drawing.empty()) {
        std::cerr << "tidemark: cannot find " << kDrawingExecutable << " beside " << self.string()
                  << " or in "
                  << (folder / TIDEMARK_DRAWING_DIR_FROM_BINARY).lexically_normal().string()
                  << "; it runs the commands that draw\n";
        return kExitFailure;
    }
    std::cout.flush();
    // Our own path as argv[0], so that the app can name the program a session starts.
    std::string launcher = self.string();
    argv[0] = launcher.data();
    ::execv(drawing.c_str(), argv);
    std::cerr << "tidemark: cannot run " << drawing.string() << ": " << std::strerror(errno)
              << "\n";
    return kExitFailure;
}

} // namespace tidemark::cli
