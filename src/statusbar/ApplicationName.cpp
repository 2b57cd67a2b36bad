#include "statusbar/ApplicationName.h"

namespace tidemark {

std::string applicationName(const std::optional<std::string>& displayName,
                            const std::optional<std::string>& bundleName) {
    if (displayName)
        return *displayName;
    if (bundleName)
        return *bundleName;
    return "Tidemark";
}

} // namespace tidemark
