#include "platform/linux/x11/WindowFacts.h"

#include "foundation/Text.h"

#include <gtest/gtest.h>

namespace tidemark::linux_platform {
namespace {

TEST(SplitWmClass, InstanceAndClassRepairedAndBounded) {
    using namespace std::string_literals;
    EXPECT_EQ(splitWmClass("xterm\0XTerm\0"s),
              (std::pair<std::string, std::string>{"xterm", "XTerm"}));
    EXPECT_EQ(splitWmClass("lonely"s), (std::pair<std::string, std::string>{"lonely", ""}));
    const auto [instance, klass] =
        splitWmClass("\xff\xfe"s + "evil\0\xc3\x28"s + std::string(1000, 'k'));
    EXPECT_EQ(instance, "\xef\xbf\xbd\xef\xbf\xbd"
                        "evil");
    EXPECT_EQ(text::repairUtf8(klass), klass);
    EXPECT_LE(klass.size(), 256u);
    // An override would show the class reversed, and whatever follows it.
    EXPECT_EQ(splitWmClass("\u202Eevil\0\u2067Ter\u202Em\u2069\0"s),
              (std::pair<std::string, std::string>{"evil", "Term"}));
}

TEST(BestIcon, LargestThatFitsElseSmallestAndPremultiplied) {
    // A 2x1 icon, a 4x4 icon and a 100x100 one that fits nothing.
    std::vector<std::uint32_t> words{2, 1, 0x80ff0000, 0xff00ff00};
    words.insert(words.end(), {4, 4});
    words.insert(words.end(), 16, 0xff0000ff);
    words.insert(words.end(), {100, 100});
    words.insert(words.end(), 10000, 0xffffffff);
    auto icon = bestIcon(words.data(), words.size(), 64);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->width, 4);
    EXPECT_EQ(icon->rgba.size(), 64u);
    EXPECT_EQ((std::vector<std::uint8_t>(icon->rgba.begin(), icon->rgba.begin() + 4)),
              (std::vector<std::uint8_t>{0, 0, 255, 255}));
    icon = bestIcon(words.data(), words.size(), 1);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->width, 2);
    // Half-transparent red is premultiplied.
    EXPECT_EQ((std::vector<std::uint8_t>(icon->rgba.begin(), icon->rgba.begin() + 4)),
              (std::vector<std::uint8_t>{128, 0, 0, 128}));
}

TEST(BestIcon, HeadersThatPromiseMoreThanTheyCarryAreRefused) {
    const std::vector<std::uint32_t> lying{100000, 100000, 0xffff0000, 0xff00ff00};
    EXPECT_FALSE(bestIcon(lying.data(), lying.size(), 64));
    const std::vector<std::uint32_t> shortBy1{2, 2, 1, 2, 3};
    EXPECT_FALSE(bestIcon(shortBy1.data(), shortBy1.size(), 64));
    EXPECT_FALSE(bestIcon(lying.data(), 1, 64));
    const std::vector<std::uint32_t> zero{0, 5};
    EXPECT_FALSE(bestIcon(zero.data(), zero.size(), 64));
}

TEST(WindowInfo, CarriesTheFactsTheWindowListReads) {
    WindowFacts facts;
    facts.window = 0x600003;
    facts.exists = true;
    facts.width = 300;
    facts.height = 200;
    facts.viewable = true;
    facts.pid = 4242;
    const auto window = windowInfo(facts);
    EXPECT_EQ(window.layer, (WindowLayer{.value = 0, .integral = true}));
    EXPECT_EQ(window.alpha, 1.0);
    EXPECT_EQ(window.number, 0x600003);
    EXPECT_EQ(window.ownerPid, 4242);
    EXPECT_TRUE(window.onScreen);
    EXPECT_EQ(window.size, (Size{300, 200}));

    facts.pid.reset();
    facts.hidden = true;
    facts.kind = WindowKind::Dock;
    facts.alpha = 0.0;
    const auto dock = windowInfo(facts);
    EXPECT_EQ(dock.ownerPid, std::nullopt);
    EXPECT_FALSE(dock.onScreen);
    EXPECT_NE(dock.layer->value, 0);
    EXPECT_EQ(dock.alpha, 0.0);
}

} // namespace
} // namespace tidemark::linux_platform
