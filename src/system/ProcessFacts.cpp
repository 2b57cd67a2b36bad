#include "system/ProcessFacts.h"

#include "system/CaseFolding.h"

#include <algorithm>

namespace tidemark {

std::vector<std::int32_t> processAncestors(Kernel& kernel, std::int32_t pid, int maxSteps) {
    std::vector<std::int32_t> result;
    std::vector<std::int32_t> visited{pid};
    std::int32_t current = pid;
    for (int step = 0; step < maxSteps; ++step) {
        const auto parent = kernel.parentProcessIdentifier(current);
        if (!parent || *parent < 2)
            break;
        if (std::find(visited.begin(), visited.end(), *parent) != visited.end())
            break;
        result.push_back(*parent);
        visited.push_back(*parent);
        current = *parent;
    }
    return result;
}

const std::optional<std::string>& ProcessFacts::executablePath() {
    if (!path_)
        path_ = kernel_.executablePath(pid_);
    return *path_;
}

const std::vector<std::int32_t>& ProcessFacts::ancestors() {
    if (!ancestors_)
        ancestors_ = processAncestors(kernel_, pid_, maxAncestorSteps_);
    return *ancestors_;
}

const std::optional<std::string>& ProcessFacts::argumentText() {
    if (!arguments_)
        arguments_ = kernel_.argumentText(pid_);
    return *arguments_;
}

const std::optional<std::string>& ProcessFacts::loweredArgumentText() {
    if (!loweredArguments_) {
        const auto& text = argumentText();
        loweredArguments_ = text ? std::optional<std::string>(lowercased(*text)) : std::nullopt;
    }
    return *loweredArguments_;
}

} // namespace tidemark
