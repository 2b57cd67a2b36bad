#include "main/bars/PangoMarkup.h"
#include "main/bars/PolybarFormat.h"
#include "main/bars/WaybarFormat.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace tidemark::cli::bars {
namespace {

// Two displays: "web" current on the left beside an urgent "<3>", one space on the right.
std::vector<BarDisplay> twoDisplays() {
    return {{"L", {{"10", "web", true, false, {"Fire & Ice"}}, {"11", "<3>", false, true, {}}}},
            {"R", {{"20", "4", true, false, {"xterm", "xlogo"}}}}};
}

TEST(PangoMarkup, EscapesWhatMarkupReadsAndMarksCurrentAndUrgent) {
    EXPECT_EQ(pangoEscaped(R"(a&b<c>d'e"f)"), "a&amp;b&lt;c&gt;d&apos;e&quot;f");
    EXPECT_EQ(pangoEscaped("plain ünï"), "plain ünï");
    const struct {
        BarLabel label;
        std::string markup;
    } cases[] = {
        {{"1", "a&b", false, false, {}}, " a&amp;b "},
        {{"1", "2", true, false, {}}, R"(<span weight="bold" underline="single"> 2 </span>)"},
        {{"1", "2", false, true, {}},
         R"(<span foreground="#ffffff" background="#bd2c40"> 2 </span>)"},
        {{"1", "2", true, true, {}},
         R"(<span foreground="#ffffff" background="#bd2c40">)"
         R"(<span weight="bold" underline="single"> 2 </span></span>)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pangoLabel(c.label), c.markup);
    const auto displays = twoDisplays();
    EXPECT_EQ(pangoLabels(displays), pangoLabel(displays[0].labels[0]) +
                                         pangoLabel(displays[0].labels[1]) + "|" +
                                         pangoLabel(displays[1].labels[0]));
}

TEST(WaybarFormat, TextAltTooltipAndClass) {
    const auto displays = twoDisplays();
    const auto line = nlohmann::json::parse(waybarLine(displays));
    EXPECT_EQ(line["text"], pangoLabels(displays));
    EXPECT_EQ(line["alt"], "web");
    EXPECT_EQ(line["tooltip"],
              "<b>web</b>: Fire &amp; Ice\n&lt;3&gt;: no apps\n<b>4</b>: xterm, xlogo");
    EXPECT_EQ(line["class"], "urgent");
    const auto calm = nlohmann::json::parse(waybarLine({displays[1]}));
    EXPECT_EQ(calm["class"], "");
    EXPECT_EQ(calm["alt"], "4");
}

// What polybar runs for an action tag's command: up to the first ':' that no backslash
// escapes, with the escaping backslashes taken out.
std::string polybarCommand(std::string_view tag) {
    std::string command;
    for (std::size_t i = 0; i < tag.size() && tag[i] != ':'; ++i) {
        if (tag[i] == '\\' && i + 1 < tag.size() && tag[i + 1] == ':')
            ++i;
        command += tag[i];
    }
    return command;
}

TEST(PolybarFormat, ActionCommandsAndTextSurvivePolybarsParser) {
    for (const std::string command :
         {"tidemark switch 5", "'/opt/a:b/tidemark' switch 5", "/x\\:y/t switch 1", "a::b"})
        EXPECT_EQ(polybarCommand(polybarActionEscaped(command) + ":}"), command) << command;
    EXPECT_EQ(polybarTextEscaped("50%{F#f00}"), "50% {F#f00}");
    EXPECT_EQ(polybarTextEscaped("100% {x} %"), "100% {x} %");
}

TEST(PolybarFormat, ClicksSwitchAndTheWheelStepsEachDisplay) {
    const auto displays = twoDisplays();
    // Left: current first, so the wheel only goes on to the next; right: one space, no wheel.
    EXPECT_EQ(polybarLine(displays, "tm switch"),
              "%{A5:tm switch 11:}"
              "%{A1:tm switch 10:}%{R} web %{R}%{A}"
              "%{A1:tm switch 11:}%{F#ffffff}%{B#bd2c40} <3> %{B-}%{F-}%{A}"
              "%{A}|"
              "%{A1:tm switch 20:}%{R} 4 %{R}%{A}");
    auto middle = displays[0];
    middle.labels.insert(middle.labels.begin(), {"9", "1", false, false, {}});
    middle.labels[1].current = true;
    const auto line = polybarLine({middle}, "tm switch");
    EXPECT_TRUE(line.starts_with("%{A4:tm switch 9:}%{A5:tm switch 11:}%{A1:tm switch 9:}"))
        << line;
    EXPECT_TRUE(line.ends_with("%{A}%{A}%{A}")) << line;
}

} // namespace
} // namespace tidemark::cli::bars
