#include "main/drawing/PopoverPictures.h"

#include "platform/sim/HeadlessApp.h"
#include "ui/AppearancePalette.h"
#include "ui/popover/PanelPicture.h"
#include "ui/popover/SpacePopoverView.h"

#include <QImage>

namespace tidemark::cli {
namespace {

// The spaces the pictures show: the current desktop with its apps, and an empty one whose
// panel lists only the apps of the other desktops.
constexpr const char* kAppsSpace = "3";
constexpr const char* kEmptySpace = "4";

} // namespace

bool renderPopovers(const sim::Scenario& scenario, double scale,
                    const std::function<bool(const QImage&, const std::string&)>& save) {
    for (const auto appearance : {Appearance::Light, Appearance::Dark}) {
        ui::applyAppearance(appearance);
        auto variant = scenario;
        variant.appearance = appearance;
        sim::SimPlatform platform(std::move(variant));
        std::shared_ptr<SpacePopoverViewModel> model;
        sim::HeadlessApp app(platform, [&] {
            model = SpacePopoverViewModel::create(platform.popoverServices());
            return model;
        });
        app.delegate->applicationDidFinishLaunching();
        platform.mainQueue.runUntil(1);

        ui::SpacePopoverView view(model,
                                  std::make_shared<const ui::AppIconProvider>(&platform.workspace));
        const std::string suffix = appearance == Appearance::Dark ? "-dark.png" : "-light.png";
        const auto shoot = [&](const char* state) {
            return save(ui::panelPicture(view, scale), std::string("popover-") + state + suffix);
        };
        const auto settle = [&] { platform.mainQueue.advance(2); };

        app.statusBar().showPopover(kEmptySpace);
        if (!shoot("other-desktops"))
            return false;
        app.statusBar().hidePopover();
        settle();
        app.statusBar().showPopover(kAppsSpace);
        if (!shoot("apps"))
            return false;
        model->scanResidualProcesses();
        settle();
        if (!shoot("residual-list"))
            return false;
        // The clean-all's work runs when the clock moves: until then the panel shows it busy.
        model->cleanAllResidualProcesses();
        if (!shoot("cleaning"))
            return false;
        settle();
        if (!shoot("cleaned"))
            return false;
        model->dismissResidualList();
        model->scanResidualProcesses();
        settle();
        if (!shoot("nothing-found"))
            return false;
        app.statusBar().hidePopover();
        settle();
    }
    return true;
}

} // namespace tidemark::cli
