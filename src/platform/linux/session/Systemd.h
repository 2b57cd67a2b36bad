#pragma once

// The declarations only: the library itself is loaded when first needed. Without the
// source location, sd_journal_send is the function rather than a macro over another.
#define SD_JOURNAL_SUPPRESS_LOCATION
#include <systemd/sd-bus.h>
#include <systemd/sd-journal.h>
#include <systemd/sd-login.h>

namespace tidemark::linux_platform {

// The libsystemd functions this program calls, written once.
#define TIDEMARK_SYSTEMD_FUNCTIONS(X)                                                              \
    X(sd_bus_call_method)                                                                          \
    X(sd_bus_call_method_async)                                                                    \
    X(sd_bus_error_free)                                                                           \
    X(sd_bus_error_has_name)                                                                       \
    X(sd_bus_flush_close_unref)                                                                    \
    X(sd_bus_get_fd)                                                                               \
    X(sd_bus_match_signal)                                                                         \
    X(sd_bus_match_signal_async)                                                                   \
    X(sd_bus_message_enter_container)                                                              \
    X(sd_bus_message_exit_container)                                                               \
    X(sd_bus_message_is_method_error)                                                              \
    X(sd_bus_message_peek_type)                                                                    \
    X(sd_bus_message_read)                                                                         \
    X(sd_bus_message_read_basic)                                                                   \
    X(sd_bus_message_skip)                                                                         \
    X(sd_bus_message_unref)                                                                        \
    X(sd_bus_open_system)                                                                          \
    X(sd_bus_open_user)                                                                            \
    X(sd_bus_path_encode)                                                                          \
    X(sd_bus_process)                                                                              \
    X(sd_bus_slot_unref)                                                                           \
    X(sd_journal_send)                                                                             \
    X(sd_pid_get_session)

// libsystemd, opened on first use rather than with the program: most commands touch neither
// a bus nor the journal, and the library with the six it pulls in is about a tenth of their
// run. Call through it with the library's own names: `systemd()->sd_bus_open_user(&bus)`.
struct Systemd {
#define TIDEMARK_SYSTEMD_MEMBER(name) decltype(&::name) name = nullptr;
    TIDEMARK_SYSTEMD_FUNCTIONS(TIDEMARK_SYSTEMD_MEMBER)
#undef TIDEMARK_SYSTEMD_MEMBER
};

// Nothing when libsystemd.so.0 is not installed or lacks one of the functions.
const Systemd* systemd();

} // namespace tidemark::linux_platform
