#include "support/RunCommand.h"

#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tidemark::testing {
namespace {

std::string drain(int fd) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const auto n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        text.append(buffer, std::size_t(n));
    }
    ::close(fd);
    return text;
}

} // namespace

CommandResult runTidemark(const std::vector<std::string>& args,
                          const std::vector<std::string>& environment) {
    // Output goes to temporary files, so a chatty child can never block on a full pipe.
    char outName[] = "/tmp/tidemark-out-XXXXXX";
    char errName[] = "/tmp/tidemark-err-XXXXXX";
    const int outFd = ::mkstemp(outName);
    const int errFd = ::mkstemp(errName);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    posix_spawn_file_actions_adddup2(&actions, errFd, 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);

    std::vector<std::string> argStorage{TIDEMARK_BINARY};
    argStorage.insert(argStorage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argStorage)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStorage;
    for (char** e = environ; *e; ++e)
        envStorage.emplace_back(*e);
    envStorage.insert(envStorage.end(), environment.begin(), environment.end());
    std::vector<char*> envp;
    for (auto& e : envStorage)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    CommandResult result;
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    ::lseek(outFd, 0, SEEK_SET);
    ::lseek(errFd, 0, SEEK_SET);
    result.out = drain(outFd);
    result.err = drain(errFd);
    ::unlink(outName);
    ::unlink(errName);
    return result;
}

std::string sourcePath(const std::string& relative) {
    return std::string(TIDEMARK_SOURCE_DIR) + "/" + relative;
}

} // namespace tidemark::testing
