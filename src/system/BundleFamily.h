#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

namespace tidemark {

// Whether `bundleID` is `familyHead` or one of its sub-identifiers ("familyHead.…").
// Both lower-cased.
inline bool isInFamilyOf(std::string_view bundleID, std::string_view familyHead) {
    return bundleID == familyHead ||
           (bundleID.size() > familyHead.size() && bundleID.starts_with(familyHead) &&
            bundleID[familyHead.size()] == '.');
}

// Whether the set holds `bundleID` or any sub-identifier of it. All lower-cased.
inline bool isInBundleFamily(std::string_view bundleID,
                             const std::unordered_set<std::string>& set) {
    if (set.contains(std::string(bundleID)))
        return true;
    for (const auto& element : set)
        if (isInFamilyOf(element, bundleID))
            return true;
    return false;
}

} // namespace tidemark
