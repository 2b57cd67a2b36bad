#pragma once

#include "spaces/Space.h"

#include <functional>
#include <optional>
#include <vector>

namespace tidemark {

// The model behind the hover panel's content, as the status bar feeds it: the space whose
// panel opens, its memory and the apps of other spaces, and a reset when the panel closes.
class PopoverContent {
public:
    virtual ~PopoverContent() = default;
    virtual void setSpace(std::optional<Space> space) = 0;
    virtual void updateMemory(const Space& space) = 0;
    virtual void updateOtherApps(const Space& space, const std::vector<Space>& allSpaces,
                                 bool fetchMemory) = 0;
    virtual void reset() = 0;
    // How the content asks for the panel to close (the sleep button does).
    virtual void setOnDismissRequest(std::function<void()> handler) = 0;
};

} // namespace tidemark
