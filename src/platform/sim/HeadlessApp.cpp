#include "platform/sim/HeadlessApp.h"

#include "icon/ArtworkCatalog.h"

namespace tidemark::sim {

HeadlessApp::HeadlessApp(SimPlatform& p,
                         std::function<std::shared_ptr<PopoverContent>()> makePopoverContent)
    : platform(p), poster(p.mainQueue, p.scenario.accessibilityTrusted) {
    static const ArtworkCatalog catalog;
    SpaceObserverServices services{platform.mainQueue, platform.settings, platform.windowServer,
                                   platform.workspace, platform.defaultCenter};
    services.memoryPressure = &platform.memoryPressure;
    StatusItemParts parts{{platform.mainQueue, platform.settings, poster, platform.windowServer,
                           permission, application, alerts, screen},
                          {button, menu,
                           [this]() -> std::unique_ptr<PanelWindow> {
                               auto window =
                                   std::make_unique<HeadlessPanelWindow>(platform.mainQueue);
                               panelWindow_ = window.get();
                               return window;
                           }},
                          std::move(makePopoverContent),
                          catalog};
    delegate = AppDelegate::create(services, std::move(parts));
}

HeadlessApp::~HeadlessApp() {
    // The status bar goes first: its panel window and monitor refer to members.
    delegate.reset();
}

void HeadlessApp::placePointerOnScreen() {
    if (overPanel_ && panelWindow_)
        screen.movePointer({panelWindow_->frame().midX(), panelWindow_->frame().midY()});
    else if (overStatusItem_)
        screen.movePointer({kHeadlessButtonScreenX + lastMove_.x, lastMove_.y});
    else
        screen.movePointer({10, kHeadlessScreen.maxY() - 10});
}

void HeadlessApp::rowDragged(std::int32_t pid) {
    statusBar().beginRowDrag(pid);
}

void HeadlessApp::rowDropped() {
    statusBar().dropRow(screen.pointerLocation());
}

// The pointer is the drag's while a row is dragged, wherever it goes.
void HeadlessApp::placePointer() {
    placePointerOnScreen();
    if (statusBar().isDraggingRow())
        statusBar().rowDragMoved(screen.pointerLocation());
}

void HeadlessApp::pointerEntered() {
    overStatusItem_ = true;
    placePointer();
    button->pointerEntered();
}

void HeadlessApp::pointerExited() {
    overStatusItem_ = false;
    placePointer();
    button->pointerExited();
}

void HeadlessApp::pointerMoved(Point inButton) {
    lastMove_ = inButton;
    placePointer();
    button->pointerMoved(inButton);
}

void HeadlessApp::panelEntered() {
    overPanel_ = true;
    placePointer();
    if (isPanelOnScreen())
        panelWindow_->pointerEntered();
}

void HeadlessApp::panelExited() {
    overPanel_ = false;
    placePointer();
    if (isPanelOnScreen())
        panelWindow_->pointerExited();
}

bool HeadlessApp::mouse(MouseButton which, MouseAction action, Point inButton,
                        ModifierFlags modifiers) {
    return application.dispatch({which, action, kHeadlessStatusWindow, inButton, modifiers});
}

} // namespace tidemark::sim
