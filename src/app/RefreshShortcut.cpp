#include "app/RefreshShortcut.h"

#include "spaces/SpaceObserver.h"

namespace tidemark {

void bindRefreshShortcut(KeyBindings::ShortcutCenter& shortcuts,
                         std::weak_ptr<SpaceObserver> observer) {
    shortcuts.addKeyUpAction(shortcuts.name(kRefreshShortcutName), [observer] {
        if (const auto live = observer.lock())
            live->updateSpaceInformation();
    });
}

} // namespace tidemark
