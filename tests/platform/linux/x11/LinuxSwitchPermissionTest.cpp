#include "platform/linux/x11/LinuxSwitchPermission.h"

#include "statusbar/StatusBarTestSupport.h"

namespace tidemark::linux_platform {
namespace {

// The status bar of the sim's fixture, asking the Linux permission instead.
struct LinuxAlertFixture : testing::StatusBarFixture {
    LinuxAlertFixture() {
        statusBar.reset(); // its teardown would remove the new one's mouse monitor
        statusBar = StatusBar::create(
            {queue, settings, poster, windowServer, linuxPermission, application, alerts, screen},
            {button, menu, {}}, content);
    }
    LinuxSwitchPermission linuxPermission{poster};
};

TEST_F(LinuxAlertFixture, AClickThatCannotSwitchExplainsWhyWithOkAndQuit) {
    poster.setTrusted(false);
    show();
    click({25, 6});
    click({25, 6});
    ASSERT_EQ(alerts.presentedCount(), 1);
    const auto& alert = *alerts.shown();
    EXPECT_NE(alert.informativeText.find("_NET_CURRENT_DESKTOP"), std::string::npos);
    EXPECT_NE(alert.informativeText.find("i3"), std::string::npos);
    EXPECT_EQ(alert.buttons.size(), 2u);
    EXPECT_EQ(alert.buttons[1], "Quit Tidemark");
    for (const auto* text : {&alert.messageText, &alert.informativeText, &alert.buttons[0]})
        for (const auto* word : {"System Settings", "Accessibility", "Privacy", "macOS"})
            EXPECT_EQ(text->find(word), std::string::npos) << *text;

    // OK only closes it; the next click asks again, and Quit quits.
    ASSERT_TRUE(alerts.answer(1));
    EXPECT_FALSE(statusBar->isAlertShowing());
    EXPECT_EQ(application.terminations, 0);
    click({25, 6});
    ASSERT_EQ(alerts.presentedCount(), 2);
    ASSERT_TRUE(alerts.answer(2));
    EXPECT_EQ(application.terminations, 1);
    EXPECT_EQ(permission.settingsOpened, 0);
    EXPECT_TRUE(poster.posted().empty());
}

} // namespace
} // namespace tidemark::linux_platform
