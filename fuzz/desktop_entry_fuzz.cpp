// A desktop entry file: anyone who can write to an applications folder chooses its text,
// including the Icon= path the popover opens.
#include "FuzzCheck.h"
#include "foundation/Text.h"
#include "platform/linux/apps/DesktopEntries.h"

using namespace tidemark;
using namespace tidemark::linux_platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto entry = parseDesktopEntry(text, "org.example.App", "/a/org.example.App.desktop");
    if (!entry)
        return 0;
    FUZZ_CHECK(!entry->name.empty());
    for (const auto* value : {&entry->name, &entry->icon, &entry->startupWmClass}) {
        FUZZ_CHECK(value->size() <= 512);
        FUZZ_CHECK(text::repairUtf8(*value) == *value);
    }
    return 0;
}
