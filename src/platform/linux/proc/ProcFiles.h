#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tidemark::linux_proc {

// Whole content of a small kernel file, at most `maxBytes`; nothing when it cannot be read.
std::optional<std::string> readFile(const std::string& path, std::size_t maxBytes);

// Valid UTF-8 of at most `maxBytes`, ASCII passing straight through.
std::string sanitizedText(std::string_view bytes, std::size_t maxBytes);

// A process name from its comm file. The kernel keeps 15 bytes of a name
// ("chrome_crashpad_handler" becomes "chrome_crashpad"); the file name of argv[0] in
// `commandLine` (its cmdline file, read only when `isCutName`) completes a name that was cut.
bool isCutName(std::string_view comm);
std::string processName(std::string_view comm, std::string_view commandLine, std::size_t maxBytes);

// The cmdline file (arguments, NUL-separated), with the environ file appended when there was
// room, as one line of text.
std::string argumentLine(std::string_view commandLine, std::string_view environment,
                         std::size_t maxBytes);

// The fields of /proc/PID/stat that the kernel adapter uses.
struct StatFields {
    char state = '?';
    std::int32_t ppid = 0;
    std::uint64_t userTicks = 0;
    std::uint64_t systemTicks = 0;
    std::uint64_t startTicks = 0;
    std::uint64_t residentPages = 0;
};

// Parses a stat line; the name in parentheses may itself hold spaces and parentheses.
std::optional<StatFields> parseStat(std::string_view line);

// The value of a "Key:   123 kB" line of status or meminfo, in its own unit.
std::optional<std::uint64_t> keyedNumber(std::string_view text, std::string_view key);

// Clock ticks since boot at which the process of `pid` under `procRoot` started; nothing once
// it has ended, even while its parent has not yet reaped it.
std::optional<std::uint64_t> processStartTicks(const std::string& procRoot, std::int32_t pid);

// The thread group (the process) of a task id: the id itself for a process. Signalling any
// task id reaches its whole process.
std::optional<std::int32_t> threadGroupOf(const std::string& procRoot, std::int32_t pid);

} // namespace tidemark::linux_proc
