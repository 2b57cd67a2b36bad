#include "app/StripPresenter.h"

#include "foundation/SettingsStore.h"
#include "foundation/VirtualMainQueue.h"
#include "icon/ArtworkCatalog.h"
#include "icon/IconTestSupport.h"
#include "platform/sim/SimEventPoster.h"
#include "preferences/SettingsKeys.h"

#include <gtest/gtest.h>

namespace tidemark {
namespace {

using testing::makeSpace;

// A button exactly as large as its image plus `margin` on each side.
class FakeButton final : public StatusItemButton {
public:
    double margin = 6;
    ImageRef shown;
    bool highlighted = true;
    void setImage(ImageRef image) override { shown = std::move(image); }
    ImageRef image() const override { return shown; }
    Rect bounds() const override {
        return {0, 0, (shown ? shown->size().width : 0) + 2 * margin, 24};
    }
    std::optional<Rect> cellImageRect(Rect) const override { return std::nullopt; }
    std::optional<WindowID> window() const override { return 1; }
    std::optional<Rect> convertToScreen(Rect r) const override { return r; }
    void setHighlighted(bool on) override { highlighted = on; }
    void trackPointer(std::function<void()>, std::function<void()>,
                      std::function<void(Point)>) override {}
};

class FakeMenu final : public StatusMenu {
public:
    std::vector<Point> popUps;
    void popUp(Point inButton) override { popUps.push_back(inButton); }
};

struct Fixture {
    SettingsStore settings;
    ArtworkCatalog artwork;
    IconCreator creator{settings, artwork, [] { return Appearance::Light; }};
    FakeButton button;
    FakeMenu menu;
    VirtualMainQueue queue;
    sim::SimEventPoster poster{queue};
    std::shared_ptr<StripPresenter> presenter;

    Fixture() {
        settings::registerDefaults(settings);
        settings.set(settings::kDisplayStyle, Value(0));
        presenter = std::make_shared<StripPresenter>(creator, button, menu,
                                                     DesktopSwitcher::create(queue, poster, [] {}));
        presenter->present({makeSpace("A", "1", 1, true), makeSpace("A", "2", 2),
                            makeSpace("A", "3", 3), makeSpace("B", "9", 4, true)});
    }
    // The centre of a glyph, in button coordinates.
    Point centreOf(const std::string& id) const {
        const Rect r = presenter->layout()->spaceRects.at(id);
        return {button.margin + r.midX(), 12};
    }
    MouseEvent click(MouseButton which, MouseAction action, Point at) const {
        MouseEvent event;
        event.button = which;
        event.action = action;
        event.window = 1;
        event.locationInButton = at;
        return event;
    }
};

TEST(StripPresenter, FindsTheGlyphUnderOrNearestThePointer) {
    Fixture f;
    ASSERT_TRUE(f.button.shown);
    const Rect second = f.presenter->layout()->spaceRects.at("2");
    const Rect third = f.presenter->layout()->spaceRects.at("3");
    const double gapMiddle = f.button.margin + (second.maxX() + third.minX()) / 2;
    struct Case {
        const char* name;
        Point at;
        std::optional<std::string> expected;
    };
    const std::vector<Case> cases{
        {"centre of the second", f.centreOf("2"), "2"},
        {"centre of the other display's", f.centreOf("9"), "9"},
        {"in the gap, nearer the second", {gapMiddle - 0.5, 12}, "2"},
        {"in the margin left of the image", {1, 12}, std::nullopt},
        {"far right, outside the image", {f.button.bounds().width() - 1, 12}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Space* found = f.presenter->spaceAt(c.at);
        EXPECT_EQ(found ? std::optional<std::string>(found->spaceID) : std::nullopt, c.expected);
    }
}

TEST(StripPresenter, RightClickOpensTheMenuBelowTheButtonAndLeftClickSwitches) {
    Fixture f;
    EXPECT_FALSE(f.presenter->handleMouseEvent(
        f.click(MouseButton::Right, MouseAction::Down, f.centreOf("1"))));
    ASSERT_EQ(f.menu.popUps.size(), 1u);
    EXPECT_EQ(f.menu.popUps[0], (Point{0, 29}));

    EXPECT_TRUE(f.presenter->handleMouseEvent(
        f.click(MouseButton::Left, MouseAction::Down, f.centreOf("1"))));
    // The current space: nothing to switch.
    EXPECT_FALSE(f.presenter->handleMouseEvent(
        f.click(MouseButton::Left, MouseAction::Up, f.centreOf("1"))));
    EXPECT_TRUE(f.poster.posted().empty());
    EXPECT_FALSE(f.button.highlighted);

    f.presenter->handleMouseEvent(f.click(MouseButton::Left, MouseAction::Up, f.centreOf("2")));
    ASSERT_FALSE(f.poster.posted().empty());
    EXPECT_EQ(f.poster.posted().front().display, "A");
}

} // namespace
} // namespace tidemark
