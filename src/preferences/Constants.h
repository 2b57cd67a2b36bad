#pragma once

#include <optional>
#include <string>

// Application-wide values that the about view and the preferences window share.
namespace tidemark::constants {

inline constexpr const char* kAppName = "Tidemark";

// The version the build stamped in, when it stamped one.
inline const std::optional<std::string>& appVersion() {
#ifdef TIDEMARK_VERSION
    static const std::optional<std::string> version =
        std::string(TIDEMARK_VERSION).empty() ? std::nullopt
                                              : std::optional<std::string>(TIDEMARK_VERSION);
#else
    static const std::optional<std::string> version;
#endif
    return version;
}

// "Version 1.2.0", or "Version ?" for a build without a version.
inline std::string versionLine() {
    return "Version " + appVersion().value_or("?");
}

inline constexpr const char* kRepositoryURL = "https://quorlin.com/tidemark";
inline constexpr const char* kWebsiteURL = kRepositoryURL;

} // namespace tidemark::constants
