#include "platform/linux/session/LogindWatcher.h"

#ifdef TIDEMARK_HAVE_SYSTEMD
#include "platform/linux/session/Systemd.h"
#endif

#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace tidemark::linux_platform {

WorkspaceEventKind LogindWatcher::sleepEvent(bool preparingForSleep) {
    return preparingForSleep ? WorkspaceEventKind::ScreensSlept : WorkspaceEventKind::ScreensWoke;
}

WorkspaceEventKind LogindWatcher::sessionEvent(bool active) {
    return active ? WorkspaceEventKind::SessionBecameActive : WorkspaceEventKind::SessionResigned;
}

void LogindWatcher::post(WorkspaceEventKind kind) {
    std::weak_ptr<bool> alive = alive_;
    WorkspaceEvents* events = &events_;
    mainQueue_.async([alive, events, kind] {
        if (auto flag = alive.lock(); flag && *flag)
            events->post({kind});
    });
}

#ifdef TIDEMARK_HAVE_SYSTEMD

namespace {

int onPrepareForSleep(sd_bus_message* message, void* self, sd_bus_error*) {
    int sleeping = 0;
    if (systemd()->sd_bus_message_read(message, "b", &sleeping) >= 0)
        static_cast<LogindWatcher*>(self)->dispatchSignal(LogindWatcher::sleepEvent(sleeping));
    return 0;
}

// PropertiesChanged(s interface, a{sv} changed, as invalidated): only "Active" matters.
int onSessionProperties(sd_bus_message* message, void* self, sd_bus_error*) {
    const char* interface = nullptr;
    if (systemd()->sd_bus_message_read(message, "s", &interface) < 0 ||
        std::strcmp(interface, "org.freedesktop.login1.Session") != 0)
        return 0;
    if (systemd()->sd_bus_message_enter_container(message, SD_BUS_TYPE_ARRAY, "{sv}") < 0)
        return 0;
    while (systemd()->sd_bus_message_enter_container(message, SD_BUS_TYPE_DICT_ENTRY, "sv") > 0) {
        const char* name = nullptr;
        if (systemd()->sd_bus_message_read(message, "s", &name) < 0)
            return 0;
        if (std::strcmp(name, "Active") == 0) {
            int active = 0;
            if (systemd()->sd_bus_message_read(message, "v", "b", &active) >= 0)
                static_cast<LogindWatcher*>(self)->dispatchSignal(
                    LogindWatcher::sessionEvent(active));
            return 0;
        }
        if (systemd()->sd_bus_message_skip(message, "v") < 0 ||
            systemd()->sd_bus_message_exit_container(message) < 0)
            return 0;
    }
    return 0;
}

} // namespace

LogindWatcher::LogindWatcher(MainQueue& mainQueue, WorkspaceEvents& workspaceEvents)
    : mainQueue_(mainQueue), events_(workspaceEvents) {}

LogindWatcher::~LogindWatcher() {
    *alive_ = false;
}

bool LogindWatcher::start() {
    if (bus_)
        return true;
    auto bus = BusEventSource::open(BusEventSource::Bus::System);
    if (!bus)
        return false;
    const auto& library = *systemd();
    if (library.sd_bus_match_signal(bus->bus(), bus->newSlot(), "org.freedesktop.login1",
                                    "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                    "PrepareForSleep", onPrepareForSleep, this) < 0)
        return false;
    char* session = nullptr;
    if (library.sd_pid_get_session(::getpid(), &session) >= 0 && session) {
        char* path = nullptr;
        if (library.sd_bus_path_encode("/org/freedesktop/login1/session", session, &path) >= 0) {
            library.sd_bus_match_signal(bus->bus(), bus->newSlot(), "org.freedesktop.login1", path,
                                        "org.freedesktop.DBus.Properties", "PropertiesChanged",
                                        onSessionProperties, this);
            std::free(path);
        }
        std::free(session);
    }
    bus->watch(mainQueue_);
    bus_ = std::move(bus);
    return true;
}

#else

LogindWatcher::LogindWatcher(MainQueue& mainQueue, WorkspaceEvents& workspaceEvents)
    : mainQueue_(mainQueue), events_(workspaceEvents) {}
LogindWatcher::~LogindWatcher() {
    *alive_ = false;
}
bool LogindWatcher::start() {
    return false;
}

#endif

} // namespace tidemark::linux_platform
