// The stored space names: bytes of a binary property list inside the settings file.
#include "FuzzCheck.h"
#include "spaces/SpaceNameCodec.h"

using namespace tidemark;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto names = decodeSpaceNames(ByteString(data, data + size));
    if (!names)
        return 0;
    // Renaming one space writes all the names back: they must survive the trip.
    const auto encoded = encodeSpaceNames(*names);
    FUZZ_CHECK(encoded);
    const auto again = decodeSpaceNames(*encoded);
    FUZZ_CHECK(again && *again == *names);
    return 0;
}
