#pragma once

#include "preferences/LoginItem.h"

namespace tidemark::linux_platform {

// The systemd journal, with the writer's subsystem and category as fields of the entry;
// standard error on a system without the journal.
class JournalLog final : public SystemLog {
public:
    void error(std::string_view subsystem, std::string_view category,
               std::string_view message) override;
};

} // namespace tidemark::linux_platform
