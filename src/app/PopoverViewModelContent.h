#pragma once

#include "popover/SpacePopoverViewModel.h"
#include "statusbar/PopoverContent.h"

#include <memory>

namespace tidemark {

// The popover view model as the status bar feeds it.
class PopoverViewModelContent final : public PopoverContent {
public:
    explicit PopoverViewModelContent(std::shared_ptr<SpacePopoverViewModel> model)
        : model_(std::move(model)) {}

    void setSpace(std::optional<Space> space) override { model_->setSpace(std::move(space)); }
    void updateMemory(const Space& space) override { model_->updateMemory(space); }
    void updateOtherApps(const Space& space, const std::vector<Space>& allSpaces,
                         bool fetchMemory) override {
        model_->updateOtherApps(space, allSpaces, fetchMemory);
    }
    void reset() override { model_->reset(); }
    void setOnDismissRequest(std::function<void()> handler) override {
        model_->setOnDismissRequest(std::move(handler));
    }

    SpacePopoverViewModel& model() const { return *model_; }

private:
    std::shared_ptr<SpacePopoverViewModel> model_;
};

} // namespace tidemark
