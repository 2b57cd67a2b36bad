#include "platform/linux/x11/DesktopEvents.h"

#include "platform/linux/JsonMembers.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>

namespace tidemark::linux_platform::desktop {

namespace {

using Kind = I3TreeChange::Kind;

constexpr std::string_view kContainerMembers[] = {"change", "container", "window",
                                                  "fullscreen_mode"};

bool isOneOf(std::string_view change, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), change) != names.end();
}

// The event with its container's members that are read; nothing when it has no container.
std::optional<nlohmann::json> containerOf(std::string_view payload) {
    auto event = i3::parseReplyPayload(payload, kContainerMembers);
    const auto* container = event ? json_members::member(*event, "container") : nullptr;
    if (!container || !container->is_object())
        return std::nullopt;
    return *container;
}

I3TreeChange windowChange(std::string_view change, std::string_view payload) {
    if (isOneOf(change, {"focus", "title", "urgent", "mark", "floating"}))
        return {Kind::None};
    if (!isOneOf(change, {"close", "fullscreen_mode"}))
        return {};
    const auto container = containerOf(payload);
    const auto window = container ? json_members::integer(*container, "window") : std::nullopt;
    if (!window)
        return {};
    if (change == "close")
        return {Kind::WindowClosed, *window};
    const auto mode = json_members::integer(*container, "fullscreen_mode");
    if (!mode)
        return {};
    return {Kind::FullScreen, *window, *mode > 0};
}

// On the scratchpad: neither sticky nor on a workspace of the tree.
bool onScratchpad(const I3Tree& tree, std::int64_t window, const std::vector<SpaceId>& spaces) {
    return !tree.stickyWindows.contains(window) &&
           std::none_of(spaces.begin(), spaces.end(), [&](SpaceId space) {
               return std::find(tree.workspaces.begin(), tree.workspaces.end(), space) !=
                      tree.workspaces.end();
           });
}

// Reads the top-level "change" and the "id" and "output" of the top-level "current", and
// stops once it has them.
class FocusReader final : public nlohmann::json::json_sax_t {
public:
    std::optional<std::string> change;
    std::optional<std::int64_t> id;
    std::optional<std::string> output;

    bool key(string_t& name) override {
        wanted_ = Member::None;
        if (depth_ == 1 && name == "change")
            wanted_ = Member::Change;
        else if (depth_ == 1 && name == "current")
            wanted_ = Member::Current;
        else if (depth_ == 2 && inCurrent_ && name == "id")
            wanted_ = Member::Id;
        else if (depth_ == 2 && inCurrent_ && name == "output")
            wanted_ = Member::Output;
        return true;
    }
    bool string(string_t& value) override {
        if (wanted_ == Member::Change)
            change = value;
        else if (wanted_ == Member::Output)
            output = value;
        return scalar();
    }
    bool number_integer(number_integer_t value) override {
        if (wanted_ == Member::Id)
            id = value;
        return scalar();
    }
    bool number_unsigned(number_unsigned_t value) override {
        if (wanted_ == Member::Id && value <= std::uint64_t(INT64_MAX))
            id = std::int64_t(value);
        return scalar();
    }
    bool start_object(std::size_t) override {
        inCurrent_ = inCurrent_ || wanted_ == Member::Current;
        return enter();
    }
    bool start_array(std::size_t) override { return enter(); }
    bool end_object() override { return leave(); }
    bool end_array() override { return leave(); }
    bool null() override { return scalar(); }
    bool boolean(bool) override { return scalar(); }
    bool number_float(number_float_t, const string_t&) override { return scalar(); }
    bool binary(binary_t&) override { return scalar(); }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }

private:
    enum class Member { None, Change, Current, Id, Output };
    bool enter() {
        wanted_ = Member::None;
        ++depth_;
        return true;
    }
    bool leave() {
        // The end of "current" ends the reading.
        if (--depth_ == 1 && inCurrent_)
            return false;
        return true;
    }
    bool scalar() {
        wanted_ = Member::None;
        return !(change && id && output);
    }

    int depth_ = 0;
    bool inCurrent_ = false;
    Member wanted_ = Member::None;
};

} // namespace

std::optional<I3WorkspaceFocus> readI3WorkspaceFocus(std::string_view payload) {
    FocusReader reader;
    nlohmann::json::sax_parse(payload, &reader, nlohmann::json::input_format_t::json, true);
    if (reader.change != "focus" || !reader.id || !reader.output)
        return std::nullopt;
    return I3WorkspaceFocus{*reader.id, text::boundedUtf8(*reader.output, kMaxNameBytes)};
}

bool followI3WorkspaceFocus(std::vector<Display>& displays, const I3WorkspaceFocus& focus) {
    for (auto& display : displays)
        if (display.identifier == focus.output)
            for (const auto& space : display.spaces)
                if (space.id == focus.workspace) {
                    display.currentSpace = focus.workspace;
                    return true;
                }
    return false;
}

I3TreeChange readI3TreeChange(i3::EventType type, std::string_view payload) {
    const auto change = i3::eventChange(payload);
    if (!change)
        return {};
    switch (type) {
    case i3::EventType::Workspace:
        if (isOneOf(*change, {"focus", "urgent", "rename", "move"}))
            return {Kind::None};
        if (isOneOf(*change, {"init", "empty"}))
            return {Kind::WorkspacesChanged};
        return {};
    case i3::EventType::Window:
        return windowChange(*change, payload);
    default:
        return {};
    }
}

std::optional<std::int64_t> readI3FocusedWindow(std::string_view payload) {
    if (i3::eventChange(payload) != "focus")
        return std::nullopt;
    const auto container = containerOf(payload);
    return container ? json_members::integer(*container, "window") : std::nullopt;
}

bool followI3TreeChange(I3Tree& tree, const I3TreeChange& change) {
    switch (change.kind) {
    case Kind::None:
        return true;
    case Kind::WorkspacesChanged:
        return tree.stickyWindows.empty();
    case Kind::WindowClosed:
        tree.windowSpaces.erase(change.window);
        tree.stickyWindows.erase(change.window);
        tree.fullScreen.erase(change.window);
        break;
    case Kind::FullScreen: {
        const auto held = tree.windowSpaces.find(change.window);
        if (held == tree.windowSpaces.end() || tree.fullScreenAboveWindows)
            return false;
        if (onScratchpad(tree, change.window, held->second))
            return true;
        if (change.fullScreen)
            tree.fullScreen.insert(change.window);
        else
            tree.fullScreen.erase(change.window);
        break;
    }
    case Kind::Unknown:
        return false;
    }
    tree.fullScreenWindows = i3FullScreenWindows(tree);
    return true;
}

} // namespace tidemark::linux_platform::desktop
