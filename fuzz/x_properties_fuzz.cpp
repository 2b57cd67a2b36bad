// Window properties as any X client may set them: the bytes of one property value, read as
// the class, the title, the icon, the pid claim, the desktop and the urgency hint.
#include "FuzzCheck.h"
#include "foundation/Text.h"
#include "platform/linux/x11/PropertyValue.h"
#include "platform/linux/x11/WindowFacts.h"

using namespace tidemark;
using namespace tidemark::linux_platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    // The first two bytes are the reply's type and format; each reader is also handed the
    // wrong ones, which it must refuse.
    static constexpr xcb_atom_t kTypes[] = {XCB_ATOM_CARDINAL, XCB_ATOM_STRING, XCB_ATOM_ATOM,
                                            XCB_ATOM_WM_HINTS};
    static constexpr std::uint8_t kFormats[] = {8, 16, 32, 0};
    const PropertyValue value{kTypes[data[0] % 4], kFormats[data[1] % 4],
                              std::string_view(reinterpret_cast<const char*>(data) + 2, size - 2)};

    const auto [instance, klass] = splitWmClass(value.bytes);
    FUZZ_CHECK(instance.size() <= 256 && klass.size() <= 256);
    FUZZ_CHECK(text::repairUtf8(instance) == instance && text::repairUtf8(klass) == klass);

    if (const auto title = propertyText(value, 64)) {
        FUZZ_CHECK(value.format == 8 && title->size() <= 64);
        FUZZ_CHECK(text::repairUtf8(*title) == *title);
    }

    const auto words = propertyWords(value, XCB_ATOM_CARDINAL);
    FUZZ_CHECK(words.size() <= value.bytes.size() / 4);
    if (const auto icon = bestIcon(words.data(), words.size(), 32)) {
        FUZZ_CHECK(icon->width > 0 && icon->height > 0);
        FUZZ_CHECK(icon->rgba.size() == std::size_t(icon->width) * icon->height * 4);
    }

    if (const auto pid = claimedPid(value))
        FUZZ_CHECK(*pid > 0);
    if (const auto desktop = firstPropertyWord(value, XCB_ATOM_CARDINAL))
        FUZZ_CHECK(!words.empty() && *desktop == words.front());
    (void)propertyWords(value, XCB_ATOM_ATOM);
    if (wmHintsUrgent(value))
        FUZZ_CHECK(value.type == XCB_ATOM_WM_HINTS && value.format == 32 &&
                   value.bytes.size() >= 4);
    return 0;
}
