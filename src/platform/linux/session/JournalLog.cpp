#include "platform/linux/session/JournalLog.h"

#include <iostream>
#include <string>

#ifdef TIDEMARK_HAVE_SYSTEMD
#include "platform/linux/session/Systemd.h"

#include <syslog.h>
#endif

namespace tidemark::linux_platform {

void JournalLog::error(std::string_view subsystem, std::string_view category,
                       std::string_view message) {
#ifdef TIDEMARK_HAVE_SYSTEMD
    const std::string text(message);
    const std::string subsystemText(subsystem);
    const std::string categoryText(category);
    const auto* library = systemd();
    if (library && library->sd_journal_send("MESSAGE=%s", text.c_str(), "PRIORITY=%i", LOG_ERR,
                                            "SYSLOG_IDENTIFIER=tidemark", "TIDEMARK_SUBSYSTEM=%s",
                                            subsystemText.c_str(), "TIDEMARK_CATEGORY=%s",
                                            categoryText.c_str(), nullptr) == 0)
        return;
#endif
    std::cerr << "tidemark: [" << subsystem << ":" << category << "] " << message << "\n";
}

} // namespace tidemark::linux_platform
