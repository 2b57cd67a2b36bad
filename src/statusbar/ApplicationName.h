#pragma once

#include <optional>
#include <string>

namespace tidemark {

// The app's name in texts: the bundle's display name, else its name, else "Tidemark".
std::string applicationName(const std::optional<std::string>& displayName,
                            const std::optional<std::string>& bundleName);

} // namespace tidemark
