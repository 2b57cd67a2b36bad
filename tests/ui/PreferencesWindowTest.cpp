#include "ui/PreferencesWindow.h"

#include "platform/sim/SimHotKeyService.h"
#include "platform/sim/SimLoginItem.h"
#include "preferences/SettingsKeys.h"
#include "shortcuts/ShortcutCenter.h"
#include "shortcuts/ShortcutRecorder.h"
#include "support/QtEvents.h"
#include "ui/GuiApplication.h"

#include <QApplication>
#include <QColorDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QToolButton>
#include <gtest/gtest.h>

namespace tidemark {
namespace {

using testing::serveUntil;

struct Preferences {
    SettingsStore settings;
    NotificationCenter center;
    sim::SimLoginItemService loginService;
    sim::SimSystemLog log;
    LoginItem loginItem{loginService, log};
    PreferencesModel model{settings, center, loginItem, [] { return Appearance::Light; }};
    std::unique_ptr<ui::PreferencesWindow> window;

    Preferences() {
        ui::ensureGuiApplication();
        settings::registerDefaults(settings);
        window = std::make_unique<ui::PreferencesWindow>(model);
    }

    QColorDialog* openColorPanel() {
        window->findChild<QToolButton*>(QStringLiteral("activeSpaceColor"))->click();
        auto* panel = window->findChild<QColorDialog*>();
        return panel && serveUntil([panel] { return panel->isVisible(); }) ? panel : nullptr;
    }
};

TEST(PreferencesWindow, IsAsHighAsItsSectionsAlsoAfterTheKeyboardSectionCame) {
    Preferences preferences;
    auto& window = *preferences.window;
    sim::SimHotKeyService hotKeys;
    sim::SimKeyboardLayout layout;
    const auto shortcuts =
        KeyBindings::ShortcutCenter::create({preferences.settings, preferences.center, hotKeys,
                                             layout, KeyBindings::DescriptionStyle::Symbols});
    KeyBindings::ShortcutRecorder recorder(shortcuts, preferences.center,
                                           shortcuts->name("refresh"), {});
    window.show();
    ASSERT_TRUE(serveUntil([&] { return window.isVisible(); }));
    const int before = window.height();
    window.addShortcutRecorder(recorder, {});
    ASSERT_TRUE(serveUntil([&] { return window.height() > before; }));

    EXPECT_EQ(window.width(), ui::PreferencesWindow::kWidth);
    // The last control sits one margin (16) above the bottom edge: no empty space below.
    const auto* last = window.findChild<QWidget*>(QStringLiteral("refreshShortcut"));
    ASSERT_NE(last, nullptr);
    const int lastBottom = last->mapTo(&window, QPoint(0, last->height())).y();
    EXPECT_GE(lastBottom, window.height() - 16 - 4);
    EXPECT_LE(lastBottom, window.height() - 16);
}

TEST(PreferencesWindow, TheBindingLineIsWholeSelectableAndInsideTheWindow) {
    Preferences preferences;
    auto& window = *preferences.window;
    window.show();
    ASSERT_TRUE(serveUntil([&] { return window.isVisible(); }));
    const int before = window.height();
    const QString line = QStringLiteral("bindsym Ctrl+Alt+r exec tidemark refresh");
    window.addShortcutBindingLine("~/.config/sway/config", line.toStdString());
    ASSERT_TRUE(serveUntil([&] { return window.height() > before; }));
    const auto* label = window.findChild<QLabel*>(QStringLiteral("refreshBinding"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), line);
    EXPECT_TRUE(label->textInteractionFlags() & Qt::TextSelectableByMouse);
    // Not cut: the whole line fits the window's width.
    EXPECT_LE(label->mapTo(&window, QPoint(label->sizeHint().width(), 0)).x(), window.width());
    EXPECT_LE(label->mapTo(&window, QPoint(0, label->height())).y(), window.height());
}

TEST(PreferencesWindow, TheColourPanelKeepsWhatItShowsOrTakesItBackWhenCancelled) {
    const Color blue{0.1, 0.2, 0.9, 1};
    const QColor red = QColor::fromRgbF(1, 0, 0, 1);
    struct Case {
        const char* what;
        std::optional<Color> before;
        bool cancel;
    };
    for (const auto& c :
         {Case{"default, cancelled", std::nullopt, true}, Case{"custom, cancelled", blue, true},
          Case{"default, kept", std::nullopt, false}}) {
        SCOPED_TRACE(c.what);
        Preferences preferences;
        auto& model = preferences.model;
        if (c.before)
            model.saveActiveColor(*c.before);
        const Color shownBefore = model.activeSpaceColor();
        auto* panel = preferences.openColorPanel();
        ASSERT_NE(panel, nullptr);
        panel->setCurrentColor(red);
        EXPECT_TRUE(model.hasCustomColor()) << "tried at once";
        EXPECT_EQ(model.activeSpaceColor(), (Color{1, 0, 0, 1}));
        if (c.cancel)
            panel->reject();
        else
            panel->accept();
        EXPECT_FALSE(panel->isVisible());
        if (c.cancel) {
            EXPECT_EQ(model.hasCustomColor(), c.before.has_value());
            EXPECT_EQ(model.activeSpaceColor(), shownBefore);
            EXPECT_EQ(preferences.settings.object(settings::kActiveSpaceColor).has_value(),
                      c.before.has_value())
                << "a default stays unstored";
        } else {
            EXPECT_EQ(model.activeSpaceColor(), (Color{1, 0, 0, 1}));
        }
    }
}

} // namespace
} // namespace tidemark
