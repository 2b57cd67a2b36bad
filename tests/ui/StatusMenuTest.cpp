#include "ui/StatusMenu.h"

#include "shortcuts/ShortcutWorld.h"
#include "ui/GuiApplication.h"

#include <QApplication>
#include <QKeyEvent>
#include <gtest/gtest.h>

namespace tidemark::ui {
namespace {

using namespace KeyBindings;

TEST(StatusMenu, WhileOpenTheHotKeysWantRawKeysAndItHandsOnWhatItSees) {
    ensureGuiApplication();
    testing::ShortcutWorld world;
    const auto refresh = world.shortcuts->name("refresh");
    world.shortcuts->addKeyUpAction(refresh, [] {});
    world.shortcuts->setShortcut(Shortcut{key::r.rawValue, modifier::kControl | modifier::kOption},
                                 refresh);

    StatusMenu menu([] {}, [] {});
    menu.announceTracking(world.defaultCenter);
    struct Seen {
        std::uint32_t code, state;
        bool pressed;
        bool operator==(const Seen&) const = default;
    };
    std::vector<Seen> seen;
    menu.setRawKeyListener([&](std::uint32_t code, std::uint32_t state, bool pressed) {
        seen.push_back({code, state, pressed});
    });

    menu.popup(QPoint(0, 0));
    QApplication::processEvents();
    EXPECT_TRUE(world.service.registered().empty()); // the menu holds the keyboard
    EXPECT_TRUE(world.service.wants(EventTypes::RawKey));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_R, Qt::ControlModifier | Qt::AltModifier, 27, 0,
                    0x0c);
    QApplication::sendEvent(&menu, &press);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_R, Qt::ControlModifier | Qt::AltModifier, 27, 0,
                     0x0c, QString(), true);
    QApplication::sendEvent(&menu, &repeat);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_R, Qt::ControlModifier | Qt::AltModifier, 27, 0,
                      0x0c);
    QApplication::sendEvent(&menu, &release);
    EXPECT_EQ(seen, (std::vector<Seen>{{27, 0x0c, true}, {27, 0x0c, false}}));

    menu.hide();
    QApplication::processEvents();
    EXPECT_EQ(world.service.registered().size(), 1u);
    EXPECT_FALSE(world.service.wants(EventTypes::RawKey));
}

} // namespace
} // namespace tidemark::ui
