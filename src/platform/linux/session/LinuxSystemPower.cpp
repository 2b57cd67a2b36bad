#include "platform/linux/session/LinuxSystemPower.h"

#ifdef TIDEMARK_HAVE_SYSTEMD
#include "platform/linux/session/Systemd.h"
#endif

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace tidemark::linux_platform {

LinuxSystemPower::LinuxSystemPower(std::string toolPath, std::vector<std::string> toolArguments)
    : toolPath_(std::move(toolPath)), toolArguments_(std::move(toolArguments)) {}

std::optional<int> LinuxSystemPower::runSleepTool() {
    std::vector<char*> argv;
    argv.push_back(toolPath_.data());
    for (auto& argument : toolArguments_)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    // glibc reports a failed exec as the spawn's own error, so a missing tool never waits.
    if (::posix_spawn(&child, toolPath_.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return std::nullopt;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0)
        if (errno != EINTR)
            return std::nullopt;
    // A tool killed by a signal did not accept the request.
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

#ifdef TIDEMARK_HAVE_SYSTEMD

PowerServiceAnswer LinuxSystemPower::requestServiceSleep() {
    const auto* library = systemd();
    sd_bus* bus = nullptr;
    if (!library || library->sd_bus_open_system(&bus) < 0)
        return PowerServiceAnswer::NoConnection;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    const int result = library->sd_bus_call_method(
        bus, "org.freedesktop.login1", "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
        "Suspend", &error, &reply, "b", 0);
    const bool noService = library->sd_bus_error_has_name(&error, SD_BUS_ERROR_SERVICE_UNKNOWN) ||
                           library->sd_bus_error_has_name(&error, SD_BUS_ERROR_NAME_HAS_NO_OWNER);
    library->sd_bus_error_free(&error);
    library->sd_bus_message_unref(reply);
    library->sd_bus_flush_close_unref(bus);
    if (result >= 0)
        return PowerServiceAnswer::Accepted;
    return noService ? PowerServiceAnswer::NoConnection : PowerServiceAnswer::Refused;
}

#else

PowerServiceAnswer LinuxSystemPower::requestServiceSleep() {
    return PowerServiceAnswer::NoConnection;
}

#endif

} // namespace tidemark::linux_platform
