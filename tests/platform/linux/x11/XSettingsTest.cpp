#include "platform/linux/x11/XSettings.h"

#include <gtest/gtest.h>

namespace tidemark::linux_platform::xsettings {
namespace {

// Writes a settings property as an owner would, in the byte order asked for.
class Writer {
public:
    explicit Writer(bool bigEndian) : bigEndian_(bigEndian) {
        bytes.assign({std::uint8_t(bigEndian ? 1 : 0), 0, 0, 0});
        number(7, 4); // serial
    }
    void number(std::uint32_t value, int width) {
        for (int i = 0; i < width; ++i) {
            const int shift = bigEndian_ ? 8 * (width - 1 - i) : 8 * i;
            bytes.push_back(std::uint8_t(value >> shift));
        }
    }
    void text(const std::string& s) {
        for (const char c : s)
            bytes.push_back(std::uint8_t(c));
        for (std::size_t i = s.size(); i % 4 != 0; ++i)
            bytes.push_back(0);
    }
    void header(std::uint8_t type, const std::string& name) {
        bytes.push_back(type);
        bytes.push_back(0);
        number(std::uint32_t(name.size()), 2);
        text(name);
        number(3, 4); // last change
    }
    void count(std::uint32_t n) {
        for (int i = 0; i < 4; ++i)
            bytes[8 + i] = std::uint8_t(bigEndian_ ? n >> (8 * (3 - i)) : n >> (8 * i));
    }

    std::vector<std::uint8_t> bytes;

private:
    bool bigEndian_;
};

std::vector<std::uint8_t> typicalSettings(bool bigEndian) {
    Writer w(bigEndian);
    w.number(3, 4);
    w.header(0, "Net/DoubleClickTime");
    w.number(400, 4);
    w.header(1, "Net/ThemeName");
    w.number(11, 4);
    w.text("Adwaita-dar");
    w.header(2, "Gtk/Colour");
    for (std::uint32_t channel : {1u, 2u, 3u, 0xffffu})
        w.number(channel, 2);
    return w.bytes;
}

TEST(XSettings, ReadsEveryTypeInBothByteOrdersAndRefusesWhatIsCutShort) {
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "MSB first" : "LSB first");
        const auto bytes = typicalSettings(bigEndian);
        const auto settings = parse(bytes);
        ASSERT_TRUE(settings);
        EXPECT_EQ(settings->at("Net/DoubleClickTime"), SettingValue(std::int32_t(400)));
        EXPECT_EQ(themeName(*settings), "Adwaita-dar");
        EXPECT_EQ(settings->at("Gtk/Colour"), SettingValue(Color{1, 2, 3, 0xffff}));
        // Every shorter prefix is a partial write, never a reading.
        for (std::size_t length = 0; length < bytes.size(); ++length)
            EXPECT_FALSE(parse(std::span(bytes).first(length))) << length;
    }

    auto unknownType = typicalSettings(false);
    unknownType[12] = 3;
    auto badOrder = typicalSettings(false);
    badOrder[0] = 2;
    Writer overclaimed(false);
    overclaimed.number(0, 4);
    overclaimed.count(0xffffffff);
    Writer hugeString(false);
    hugeString.number(1, 4);
    hugeString.header(1, "Net/ThemeName");
    hugeString.number(0xfffffff0, 4);
    hugeString.text("Adwaita");
    for (const auto& bad : {unknownType, badOrder, overclaimed.bytes, hugeString.bytes})
        EXPECT_FALSE(parse(bad));

    Writer integerTheme(false);
    integerTheme.number(1, 4);
    integerTheme.header(0, "Net/ThemeName");
    integerTheme.number(1, 4);
    ASSERT_TRUE(parse(integerTheme.bytes));
    EXPECT_FALSE(themeName(*parse(integerTheme.bytes)));
}

TEST(XSettings, ThePortalDecidesThenTheThemeNameThenTheVariable) {
    struct Case {
        AppearanceSources sources;
        Appearance expected;
    };
    const std::vector<Case> cases{
        {{}, Appearance::Light},
        {{std::nullopt, std::nullopt, "Adwaita:dark"}, Appearance::Dark},
        {{std::nullopt, "Arc-Dark", std::nullopt}, Appearance::Dark},
        // XSETTINGS is what the running desktop says; the variable is older than it.
        {{std::nullopt, "Adwaita", "Adwaita:dark"}, Appearance::Light},
        {{kPortalPrefersLight, "Adwaita-dark", std::nullopt}, Appearance::Light},
        {{kPortalPrefersDark, "Adwaita", std::nullopt}, Appearance::Dark},
        // No preference: the theme decides.
        {{0u, "Adwaita-dark", std::nullopt}, Appearance::Dark},
    };
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(resolveAppearance(cases[i].sources), cases[i].expected) << i;
}

} // namespace
} // namespace tidemark::linux_platform::xsettings
