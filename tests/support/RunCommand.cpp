#include "support/RunCommand.h"

#include <algorithm>
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

namespace {

// One started process and the files its streams go to.
struct Started {
    pid_t pid = -1;
    int outFd = -1;
    int errFd = -1;
    std::string outName;
    std::string errName;
};

Started start(const std::string& program, const std::vector<std::string>& args,
              const std::vector<std::string>& environment) {
    // Output goes to temporary files, so a chatty child can never block on a full pipe.
    char outName[] = "/tmp/tidemark-out-XXXXXX";
    char errName[] = "/tmp/tidemark-err-XXXXXX";
    Started started{-1, ::mkstemp(outName), ::mkstemp(errName), outName, errName};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, started.outFd, 1);
    posix_spawn_file_actions_adddup2(&actions, started.errFd, 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);

    std::vector<std::string> argStorage{program};
    argStorage.insert(argStorage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argStorage)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    // An entry given replaces the inherited one of its name ("DISPLAY=" unsets it).
    const auto given = [&](std::string_view entry) {
        const auto name = entry.substr(0, entry.find('=') + 1);
        return std::any_of(environment.begin(), environment.end(),
                           [&](const std::string& e) { return e.starts_with(name); });
    };
    std::vector<std::string> envStorage;
    for (char** e = environ; *e; ++e)
        if (!given(*e))
            envStorage.emplace_back(*e);
    envStorage.insert(envStorage.end(), environment.begin(), environment.end());
    std::vector<char*> envp;
    for (auto& e : envStorage)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    if (posix_spawn(&started.pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        started.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return started;
}

CommandResult finish(const Started& started) {
    CommandResult result;
    if (started.pid > 0) {
        int status = 0;
        ::waitpid(started.pid, &status, 0);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    ::lseek(started.outFd, 0, SEEK_SET);
    ::lseek(started.errFd, 0, SEEK_SET);
    result.out = drain(started.outFd);
    result.err = drain(started.errFd);
    ::unlink(started.outName.c_str());
    ::unlink(started.errName.c_str());
    return result;
}

} // namespace

CommandResult runTidemark(const std::vector<std::string>& args,
                          const std::vector<std::string>& environment) {
    return runProgram(TIDEMARK_BINARY, args, environment);
}

CommandResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& environment) {
    return finish(start(program, args, environment));
}

std::vector<CommandResult>
runTidemarkConcurrently(const std::vector<std::vector<std::string>>& runs,
                        const std::vector<std::string>& environment) {
    std::vector<Started> started;
    for (const auto& args : runs)
        started.push_back(start(TIDEMARK_BINARY, args, environment));
    std::vector<CommandResult> results;
    for (const auto& one : started)
        results.push_back(finish(one));
    return results;
}

std::string sourcePath(const std::string& relative) {
    return std::string(TIDEMARK_SOURCE_DIR) + "/" + relative;
}

} // namespace tidemark::testing
