#include "spaces/SpaceNameCodec.h"

#include "foundation/PropertyList.h"

namespace tidemark {

std::optional<ByteString> encodeSpaceNames(const SpaceNameMap& names) {
    ValueDictionary root;
    for (const auto& [spaceID, info] : names)
        root.emplace(spaceID, ValueDictionary{{"spaceNum", Value(info.spaceNum)},
                                              {"spaceName", Value(info.spaceName)}});
    return plist::encodeBinary(Value(std::move(root)));
}

std::optional<SpaceNameMap> decodeSpaceNames(const ByteString& bytes) {
    const auto value = plist::decode(bytes);
    if (!value || !value->asDictionary())
        return std::nullopt;
    SpaceNameMap names;
    for (const auto& [spaceID, record] : *value->asDictionary()) {
        const Value* number = record.find("spaceNum");
        const Value* name = record.find("spaceName");
        if (!number || !name || !number->asInteger() || !name->asString())
            return std::nullopt;
        names.emplace(spaceID, SpaceNameInfo{*number->asInteger(), *name->asString()});
    }
    return names;
}

} // namespace tidemark
