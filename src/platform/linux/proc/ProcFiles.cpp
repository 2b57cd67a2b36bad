#include "platform/linux/proc/ProcFiles.h"

#include "foundation/Text.h"

#include <algorithm>
#include <charconv>
#include <fcntl.h>
#include <unistd.h>

namespace tidemark::linux_proc {

std::optional<std::string> readFile(const std::string& path, std::size_t maxBytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string content;
    char buffer[4096];
    bool failed = false;
    while (content.size() < maxBytes) {
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, maxBytes - content.size()));
        if (n < 0) {
            failed = true;
            break;
        }
        if (n == 0)
            break;
        content.append(buffer, std::size_t(n));
    }
    ::close(fd);
    if (failed)
        return std::nullopt;
    return content;
}

std::string sanitizedText(std::string_view bytes, std::size_t maxBytes) {
    const bool ascii =
        std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
    if (ascii)
        return std::string(bytes.substr(0, maxBytes));
    return text::boundedUtf8(bytes, maxBytes);
}

namespace {

constexpr std::size_t kKernelNameLength = 15;

std::string_view withoutNewline(std::string_view comm) {
    if (!comm.empty() && comm.back() == '\n')
        comm.remove_suffix(1);
    return comm;
}

} // namespace

bool isCutName(std::string_view comm) {
    return withoutNewline(comm).size() == kKernelNameLength;
}

std::string processName(std::string_view comm, std::string_view commandLine, std::size_t maxBytes) {
    std::string_view name = withoutNewline(comm);
    if (name.size() == kKernelNameLength) {
        const auto program = commandLine.substr(0, commandLine.find('\0'));
        const auto slash = program.rfind('/');
        const auto file = slash == std::string_view::npos ? program : program.substr(slash + 1);
        if (file.size() > name.size() && file.starts_with(name))
            name = file;
    }
    return sanitizedText(name, maxBytes);
}

std::string argumentLine(std::string_view commandLine, std::string_view environment,
                         std::size_t maxBytes) {
    std::string text(commandLine.substr(0, maxBytes));
    if (!text.empty() && text.size() < maxBytes) {
        if (text.back() != '\0')
            text.push_back('\0');
        text.append(environment.substr(0, maxBytes - text.size()));
    }
    for (char& c : text)
        if (c == '\0')
            c = ' ';
    return sanitizedText(text, maxBytes);
}

namespace {

// Splits off the next space-separated field.
std::string_view nextField(std::string_view& rest) {
    const auto start = rest.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        rest = {};
        return {};
    }
    rest.remove_prefix(start);
    const auto end = std::min(rest.find(' '), rest.size());
    const auto field = rest.substr(0, end);
    rest.remove_prefix(end);
    return field;
}

template <typename Number> bool parseNumber(std::string_view text, Number& out) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), out);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

} // namespace

std::optional<StatFields> parseStat(std::string_view line) {
    const auto close = line.rfind(')');
    if (close == std::string_view::npos)
        return std::nullopt;
    std::string_view rest = line.substr(close + 1);
    if (!rest.empty() && rest.back() == '\n')
        rest.remove_suffix(1);
    StatFields fields;
    // Fields are numbered from 1 (pid) and 2 (name); the rest starts with field 3.
    for (int number = 3; number <= 24; ++number) {
        const auto field = nextField(rest);
        if (field.empty())
            return std::nullopt;
        bool ok = true;
        switch (number) {
        case 3:
            fields.state = field.front();
            break;
        case 4:
            ok = parseNumber(field, fields.ppid);
            break;
        case 14:
            ok = parseNumber(field, fields.userTicks);
            break;
        case 15:
            ok = parseNumber(field, fields.systemTicks);
            break;
        case 22:
            ok = parseNumber(field, fields.startTicks);
            break;
        case 24: {
            // Signed in the kernel's format; never negative for a live process.
            std::int64_t pages = 0;
            ok = parseNumber(field, pages);
            fields.residentPages = pages < 0 ? 0 : std::uint64_t(pages);
            break;
        }
        default:
            break;
        }
        if (!ok)
            return std::nullopt;
    }
    return fields;
}

std::optional<std::uint64_t> keyedNumber(std::string_view text, std::string_view key) {
    std::size_t at = 0;
    while (at < text.size()) {
        const auto end = std::min(text.find('\n', at), text.size());
        const auto line = text.substr(at, end - at);
        at = end + 1;
        if (line.size() <= key.size() || !line.starts_with(key) || line[key.size()] != ':')
            continue;
        std::string_view rest = line.substr(key.size() + 1);
        const auto start = rest.find_first_not_of(" \t");
        if (start == std::string_view::npos)
            return std::nullopt;
        rest.remove_prefix(start);
        const auto stop = std::min(rest.find_first_not_of("0123456789"), rest.size());
        std::uint64_t value = 0;
        if (!parseNumber(rest.substr(0, stop), value))
            return std::nullopt;
        return value;
    }
    return std::nullopt;
}

namespace {

constexpr std::size_t kTaskFileBytes = 64 * 1024;

std::string taskFile(const std::string& procRoot, std::int32_t pid, const char* name) {
    return procRoot + "/" + std::to_string(pid) + "/" + name;
}

} // namespace

std::optional<std::uint64_t> processStartTicks(const std::string& procRoot, std::int32_t pid) {
    const auto stat = readFile(taskFile(procRoot, pid, "stat"), kTaskFileBytes);
    const auto fields = stat ? parseStat(*stat) : std::nullopt;
    if (!fields || fields->state == 'Z' || fields->state == 'X')
        return std::nullopt;
    return fields->startTicks;
}

std::optional<std::int32_t> threadGroupOf(const std::string& procRoot, std::int32_t pid) {
    const auto status = readFile(taskFile(procRoot, pid, "status"), kTaskFileBytes);
    const auto group = status ? keyedNumber(*status, "Tgid") : std::nullopt;
    if (!group || *group > 0x7fffffffu)
        return std::nullopt;
    return static_cast<std::int32_t>(*group);
}

} // namespace tidemark::linux_proc
