// Key bindings as they reach the program from outside: a stored entry of the settings file
// (JSON text in a string) and a combination typed on the command line.
#include "FuzzCheck.h"
#include "shortcuts/ShortcutCombo.h"
#include "shortcuts/ShortcutDescription.h"
#include "shortcuts/ShortcutStorage.h"

#include <string_view>

using namespace tidemark;
using namespace tidemark::KeyBindings;

namespace {

// A layout whose keys type nothing: every key is described by its name or position alone.
struct SilentLayout final : KeyboardLayout {
    std::optional<std::string> character(std::int64_t) override { return std::nullopt; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    if (const auto shortcut = decodeShortcutEntry(Value(text))) {
        // What was read is written back the same way and reads back the same.
        FUZZ_CHECK(shortcut->fitsHotKeyService());
        const auto again = decodeShortcutEntry(Value(encodeShortcut(*shortcut)));
        FUZZ_CHECK(again && *again == *shortcut);
        SilentLayout layout;
        for (const auto style : {DescriptionStyle::Symbols, DescriptionStyle::Words})
            FUZZ_CHECK(!describe(*shortcut, layout, style).empty());
    }

    const auto combo = parseCombo(text);
    FUZZ_CHECK(combo.event.has_value() != !combo.error.empty());
    return 0;
}
