#include "system/DesktopShell.h"

#include "spaces/Space.h"
#include "system/CaseFolding.h"

#include <array>
#include <string_view>

namespace tidemark {

namespace {

// File managers that draw the desktop in a process of their own when asked to.
constexpr std::array<std::string_view, 2> kDesktopDrawingFileManagers{"pcmanfm", "pcmanfm-qt"};

bool hasWord(std::string_view text, std::string_view word) {
    for (std::size_t at = text.find(word); at != std::string_view::npos;
         at = text.find(word, at + 1)) {
        const std::size_t end = at + word.size();
        const bool starts = at == 0 || text[at - 1] == ' ';
        const bool ends = end == text.size() || text[end] == ' ' || text[end] == '=';
        if (starts && ends)
            return true;
    }
    return false;
}

} // namespace

bool isDesktopShellProcess(ProcessFacts& process) {
    if (isDesktopShellName(process.name()))
        return true;
    const std::string name = lowercased(process.name());
    for (const auto manager : kDesktopDrawingFileManagers) {
        if (name != manager)
            continue;
        const auto& arguments = process.loweredArgumentText();
        return arguments && hasWord(*arguments, "--desktop");
    }
    return false;
}

} // namespace tidemark
