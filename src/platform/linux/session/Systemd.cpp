#ifdef TIDEMARK_HAVE_SYSTEMD

#include "platform/linux/session/Systemd.h"

#include <dlfcn.h>
#include <optional>

namespace tidemark::linux_platform {

namespace {

std::optional<Systemd> load() {
    // Kept open for the rest of the process: the functions are used until exit.
    void* library = ::dlopen("libsystemd.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return std::nullopt;
    Systemd functions;
    bool complete = true;
    const auto bind = [&](auto& function, const char* name) {
        function =
            reinterpret_cast<std::remove_reference_t<decltype(function)>>(::dlsym(library, name));
        complete = complete && function != nullptr;
    };
#define TIDEMARK_SYSTEMD_BIND(name) bind(functions.name, #name);
    TIDEMARK_SYSTEMD_FUNCTIONS(TIDEMARK_SYSTEMD_BIND)
#undef TIDEMARK_SYSTEMD_BIND
    if (!complete)
        return std::nullopt;
    return functions;
}

} // namespace

const Systemd* systemd() {
    static const std::optional<Systemd> functions = load();
    return functions ? &*functions : nullptr;
}

} // namespace tidemark::linux_platform

#endif
