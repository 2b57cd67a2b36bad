#include "system/BuildDaemons.h"

#include "system/BundleFamily.h"
#include "system/CaseFolding.h"
#include "system/ResidualProcessCleaner.h"

namespace tidemark {

namespace {

bool contains(std::string_view text, std::string_view fragment) {
    return text.find(fragment) != std::string_view::npos;
}

bool containsAny(std::string_view text, const std::vector<std::string>& fragments) {
    for (const auto& fragment : fragments)
        if (contains(text, fragment))
            return true;
    return false;
}

bool hasGradleMarker(std::string_view loweredText) {
    return contains(loweredText, "org.gradle") || contains(loweredText, "gradledaemon") ||
           contains(loweredText, "/.gradle/");
}

bool hasKotlinMarker(std::string_view loweredText) {
    return contains(loweredText, "kotlincompiledaemon") || contains(loweredText, "kotlin-daemon");
}

// Whether the known app with this bundle identifier shows a window under any of its
// identifiers.
bool isInUse(std::string_view bundleID, const std::unordered_set<std::string>& windowedBundleIDs) {
    for (const auto& pattern : ResidualProcessCleaner::knownPatterns())
        if (pattern.parentBundleID == bundleID)
            return PreparedPattern(pattern).isAnyInFamily(windowedBundleIDs);
    return false;
}

} // namespace

PreparedPattern::PreparedPattern(const ProcessPattern& source) : pattern(&source) {
    loweredBundleIDs.push_back(lowercased(source.parentBundleID));
    for (const auto& id : source.otherBundleIDs)
        loweredBundleIDs.push_back(lowercased(id));
    for (const auto& name : source.processNamePatterns)
        loweredProcessNames.insert(lowercased(name));
    for (const auto& path : source.pathPatterns)
        loweredPathPatterns.push_back(lowercased(path));
}

bool PreparedPattern::hasInFamily(std::string_view loweredID) const {
    for (const auto& id : loweredBundleIDs)
        if (isInFamilyOf(loweredID, id))
            return true;
    return false;
}

bool PreparedPattern::isAnyInFamily(const std::unordered_set<std::string>& loweredIDs) const {
    for (const auto& id : loweredBundleIDs)
        if (isInBundleFamily(id, loweredIDs))
            return true;
    return false;
}

std::string daemonDisplayName(ProcessFacts& process) {
    if (!equalsIgnoringCase(process.name(), "java"))
        return process.name();
    const auto& text = process.loweredArgumentText();
    if (!text)
        return process.name();
    if (contains(*text, "gradledaemon") || contains(*text, "org.gradle"))
        return "Gradle Daemon (Java)";
    if (contains(*text, "kotlincompiledaemon") || contains(*text, "kotlin-daemon"))
        return "Kotlin Daemon (Java)";
    return process.name();
}

bool processMatchesPattern(ProcessFacts& process, const PreparedPattern& prepared,
                           const std::unordered_set<std::string>& windowedBundleIDs) {
    const ProcessPattern& pattern = *prepared.pattern;
    if (const auto& path = process.executablePath();
        path && containsAny(*path, pattern.pathPatterns))
        return true;
    for (const std::int32_t ancestor : process.ancestors()) {
        if (const auto path = process.ancestorExecutablePath(ancestor);
            path && containsAny(*path, pattern.pathPatterns))
            return true;
    }
    const auto& text = process.loweredArgumentText();
    if (!text)
        return false;
    if (containsAny(*text, prepared.loweredPathPatterns))
        return true;
    if (!equalsIgnoringCase(process.name(), "java"))
        return false;

    const bool gradle = hasGradleMarker(*text);
    const bool kotlin = hasKotlinMarker(*text);
    if (gradle || kotlin) {
        // An IDE that shares these daemons is still in use.
        if (isInUse("com.google.android.studio", windowedBundleIDs) ||
            isInUse("com.jetbrains.intellij", windowedBundleIDs))
            return false;
        if (gradle && prepared.loweredProcessNames.contains("gradle")) {
            return !contains(*text, "android") ||
                   contains(pattern.parentBundleID, "google.android");
        }
        if (kotlin && prepared.loweredProcessNames.contains("kotlin-daemon"))
            return true;
    }
    if (contains(*text, "-didea.") || contains(*text, "jetbrains"))
        return contains(pattern.parentBundleID, "jetbrains") ||
               contains(pattern.parentBundleID, "google.android");
    return false;
}

bool runsFromExecutableFolder(ProcessFacts& process, const PreparedPattern& pattern) {
    const auto& folders = pattern.pattern->executableFolders;
    if (folders.empty())
        return false;
    const auto& path = process.executablePath();
    return path && containsAny(*path, folders);
}

} // namespace tidemark
