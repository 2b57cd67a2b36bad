// A settings file as another program or a damaged disk may leave it: property-list decoding,
// then every typed reader the app uses on what it decoded, then the write path's encoders.
#include "FuzzCheck.h"
#include "foundation/PropertyList.h"
#include "foundation/SettingsStore.h"
#include "preferences/SettingsKeys.h"
#include "spaces/SpaceNameCodec.h"

#include <string_view>

using namespace tidemark;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto decoded = plist::decode(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!decoded)
        return 0;
    // Writing one key re-encodes all the others: whatever was read must encode and come back
    // the same, in both forms.
    const auto binary = plist::encodeBinary(*decoded);
    const auto xml = plist::encodeXml(*decoded);
    FUZZ_CHECK(binary && xml);
    for (const auto& again : {plist::decode(*binary), plist::decode(*xml)})
        FUZZ_CHECK(again && sameValue(*again, *decoded));

    const auto* stored = decoded->asDictionary();
    if (!stored)
        return 0;
    SettingsStore store(*stored);
    settings::registerDefaults(store);
    (void)settings::displayStyle(store);
    (void)settings::useHighContrastBorders(store);
    (void)settings::hoverPopupEnabled(store);
    (void)settings::activeSpaceColor(store);
    if (const auto names = store.object(settings::kSpaceNames); names && names->asData())
        (void)decodeSpaceNames(*names->asData());
    for (const auto& [key, value] : *stored) {
        (void)store.integer(key);
        (void)store.boolean(key);
    }
    return 0;
}
