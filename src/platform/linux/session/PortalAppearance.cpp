#include "platform/linux/session/PortalAppearance.h"

#ifdef TIDEMARK_HAVE_SYSTEMD
#include "platform/linux/session/Systemd.h"
#endif

#include <cstring>

namespace tidemark::linux_platform {

#ifdef TIDEMARK_HAVE_SYSTEMD

namespace {

constexpr const char* kService = "org.freedesktop.portal.Desktop";
constexpr const char* kPath = "/org/freedesktop/portal/desktop";
constexpr const char* kInterface = "org.freedesktop.portal.Settings";
constexpr const char* kNamespace = "org.freedesktop.appearance";
constexpr const char* kKey = "color-scheme";
// A hostile or broken service could nest variants without end.
constexpr int kMaxVariantDepth = 4;

// The unsigned number inside the variant at the message's position, through the extra
// variant level of the older Read call.
std::optional<std::uint32_t> readScheme(sd_bus_message* message) {
    for (int depth = 0; depth < kMaxVariantDepth; ++depth) {
        char type = 0;
        const char* contents = nullptr;
        if (systemd()->sd_bus_message_peek_type(message, &type, &contents) <= 0)
            return std::nullopt;
        if (type == SD_BUS_TYPE_UINT32) {
            std::uint32_t value = 0;
            if (systemd()->sd_bus_message_read_basic(message, SD_BUS_TYPE_UINT32, &value) < 0)
                return std::nullopt;
            return value;
        }
        if (type != SD_BUS_TYPE_VARIANT ||
            systemd()->sd_bus_message_enter_container(message, SD_BUS_TYPE_VARIANT, contents) <= 0)
            return std::nullopt;
    }
    return std::nullopt;
}

int onReadOne(sd_bus_message* reply, void* self, sd_bus_error*) {
    auto* portal = static_cast<PortalAppearance*>(self);
    if (systemd()->sd_bus_message_is_method_error(reply, nullptr)) {
        // Portals before version 2 only have Read.
        if (systemd()->sd_bus_message_is_method_error(reply,
                                                      "org.freedesktop.DBus.Error.UnknownMethod"))
            portal->readWithOldCall();
        return 0;
    }
    if (const auto scheme = readScheme(reply))
        portal->reading(scheme);
    return 0;
}

int onRead(sd_bus_message* reply, void* self, sd_bus_error*) {
    if (!systemd()->sd_bus_message_is_method_error(reply, nullptr))
        if (const auto scheme = readScheme(reply))
            static_cast<PortalAppearance*>(self)->reading(scheme);
    return 0;
}

// SettingChanged(s namespace, s key, v value).
int onSettingChanged(sd_bus_message* message, void* self, sd_bus_error*) {
    const char* space = nullptr;
    const char* key = nullptr;
    if (systemd()->sd_bus_message_read(message, "ss", &space, &key) < 0 ||
        std::strcmp(space, kNamespace) != 0 || std::strcmp(key, kKey) != 0)
        return 0;
    static_cast<PortalAppearance*>(self)->reading(readScheme(message));
    return 0;
}

} // namespace

PortalAppearance::PortalAppearance(MainQueue& mainQueue, Listener listener)
    : mainQueue_(mainQueue), listener_(std::move(listener)) {}

PortalAppearance::~PortalAppearance() = default;

bool PortalAppearance::start() {
    if (bus_)
        return true;
    auto bus = BusEventSource::open(BusEventSource::Bus::Session);
    if (!bus)
        return false;
    const auto& library = *systemd();
    if (library.sd_bus_match_signal_async(bus->bus(), bus->newSlot(), kService, kPath, kInterface,
                                          "SettingChanged", onSettingChanged, nullptr, this) < 0)
        return false;
    // Not waited for: a portal that is being started must not hold up the first image.
    if (library.sd_bus_call_method_async(bus->bus(), bus->newSlot(), kService, kPath, kInterface,
                                         "ReadOne", onReadOne, this, "ss", kNamespace, kKey) < 0)
        return false;
    bus->watch(mainQueue_);
    bus_ = std::move(bus);
    return true;
}

void PortalAppearance::readWithOldCall() {
    systemd()->sd_bus_call_method_async(bus_->bus(), bus_->newSlot(), kService, kPath, kInterface,
                                        "Read", onRead, this, "ss", kNamespace, kKey);
}

#else

PortalAppearance::PortalAppearance(MainQueue& mainQueue, Listener listener)
    : mainQueue_(mainQueue), listener_(std::move(listener)) {}
PortalAppearance::~PortalAppearance() = default;
bool PortalAppearance::start() {
    return false;
}
void PortalAppearance::readWithOldCall() {}

#endif

} // namespace tidemark::linux_platform
