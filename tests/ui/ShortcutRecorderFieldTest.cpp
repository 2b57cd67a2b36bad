#include "ui/ShortcutRecorderField.h"

#include "platform/linux/keys/LinuxShortcuts.h"
#include "shortcuts/ShortcutWorld.h"
#include "ui/GuiApplication.h"

#include <QApplication>
#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace tidemark::ui {
namespace {

using namespace KeyBindings;

// A key typed as the X server delivers it: the X key code is what the field reads.
void type(QWidget* target, int key, Qt::KeyboardModifiers modifiers, quint32 xKeyCode) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, xKeyCode, 0, 0);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, xKeyCode, 0, 0);
    QApplication::sendEvent(target, &release);
}

TEST(ShortcutRecorderField, TypingACombinationStoresItAndShowsIt) {
    ensureGuiApplication();
    testing::ShortcutWorld world;
    const auto refresh = world.shortcuts->name("refresh");
    ShortcutRecorder recorder(world.shortcuts, world.defaultCenter, refresh, {});
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* other = new QToolButton(&window);
    layout->addWidget(other);
    auto* field =
        new ShortcutRecorderField(recorder, &linux_platform::LinuxShortcuts::virtualKeyCode);
    layout->addWidget(field);
    window.show();
    QApplication::processEvents();

    EXPECT_EQ(field->size(), QSize(130, 24));
    EXPECT_EQ(field->text(), "");
    EXPECT_EQ(field->placeholderText(), "Record Shortcut");
    EXPECT_EQ(field->focusPolicy(), Qt::ClickFocus);

    field->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    ASSERT_TRUE(recorder.isRecording()) << "the field did not take the focus";
    EXPECT_EQ(field->placeholderText(), "Press Shortcut");

    type(field, Qt::Key_Control, Qt::ControlModifier, 37); // a modifier alone does nothing
    type(field, Qt::Key_Tab, Qt::NoModifier, 23);          // refused, and the focus stays
    EXPECT_TRUE(recorder.isRecording());
    EXPECT_TRUE(field->hasFocus());
    type(field, Qt::Key_R, Qt::ControlModifier | Qt::AltModifier, 27); // X key code of r
    EXPECT_EQ(*world.settings.object("KeyBindings_refresh")->asString(),
              R"({"carbonKeyCode":15,"carbonModifiers":6144})");
    EXPECT_EQ(field->text(), "⌃⌥R");
    EXPECT_FALSE(recorder.isRecording());
    EXPECT_FALSE(field->hasFocus());
    EXPECT_EQ(field->placeholderText(), "Record Shortcut");

    // Escape ends a new recording without a change; another process's write shows at once.
    field->setFocus(Qt::MouseFocusReason);
    type(field, Qt::Key_Escape, Qt::NoModifier, 9);
    EXPECT_FALSE(recorder.isRecording());
    world.shortcuts->setShortcut(Shortcut{key::f5.rawValue, modifier::kCommand}, refresh);
    EXPECT_EQ(field->text(), "⌘F5");

    // The clear button removes the shortcut.
    auto* clear = field->findChild<QToolButton*>();
    ASSERT_NE(clear, nullptr);
    clear->click();
    QApplication::processEvents();
    EXPECT_FALSE(world.shortcuts->getShortcut(refresh));
    EXPECT_EQ(field->text(), "");
}

} // namespace
} // namespace tidemark::ui
