// The desktop's appearance as other programs publish it: an XSETTINGS owner's
// `_XSETTINGS_SETTINGS` property (any client may own the selection) and the portal's and the
// environment's words, resolved together.
#include "FuzzCheck.h"
#include "platform/linux/x11/XSettings.h"

#include <string>

using namespace tidemark;
using namespace tidemark::linux_platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const auto settings = xsettings::parse(std::span(data + 1, size - 1));
    std::optional<std::string> theme;
    if (settings) {
        theme = xsettings::themeName(*settings);
        if (theme)
            FUZZ_CHECK(settings->contains("Net/ThemeName"));
    }
    // The first byte stands for the portal's answer: absent, or any number it may send.
    const std::optional<std::uint32_t> scheme =
        data[0] < 128 ? std::nullopt : std::optional<std::uint32_t>(data[0] - 128);
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const auto appearance = xsettings::resolveAppearance({scheme, theme, rest});
    if (scheme == xsettings::kPortalPrefersDark)
        FUZZ_CHECK(appearance == Appearance::Dark);
    if (scheme == xsettings::kPortalPrefersLight)
        FUZZ_CHECK(appearance == Appearance::Light);
    return 0;
}
