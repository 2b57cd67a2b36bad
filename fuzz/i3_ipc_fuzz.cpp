// The byte stream from the i3 socket (whose path any X client can advertise) and sway's:
// framing, then each reply's JSON through the readers of workspaces, outputs (as spaces and
// as geometry), the tree (i3's and sway's, into the desktop table and out of it as displays
// and windows), the configuration's key bindings, and each event's change, also followed
// into the last reply's tree and (a workspace focus) its workspaces, and with what sway's
// events tell whole taken into sway's tables. The payloads go through Hyprland's and niri's
// readers of answers and event lines too.
#include "FuzzCheck.h"
#include "platform/linux/i3/I3Bindings.h"
#include "platform/linux/i3/I3Ipc.h"
#include "platform/linux/wayland/HyprlandReplies.h"
#include "platform/linux/wayland/NiriReplies.h"
#include "platform/linux/wayland/SwayReplies.h"
#include "platform/linux/x11/DesktopEvents.h"
#include "platform/linux/x11/DesktopModel.h"
#include "platform/linux/x11/DockPlacement.h"

#include <algorithm>
#include <string_view>

using namespace tidemark::linux_platform;

namespace {

// Small enough that the fuzzer reaches the refusal of an absurd length.
constexpr std::size_t kMaxPayloadBytes = 1u << 16;

void readReply(const nlohmann::json& reply, const nlohmann::json& previous) {
    for (const auto& displays :
         {desktop::i3DisplaySpaces(reply, previous), desktop::i3DisplaySpaces(previous, reply)}) {
        FUZZ_CHECK(displays.size() <= desktop::kMaxDesktopItems);
        for (const auto& display : displays)
            FUZZ_CHECK(display.spaces.size() <= desktop::kMaxDesktopItems &&
                       std::any_of(display.spaces.begin(), display.spaces.end(),
                                   [&](const tidemark::DisplaySpace& space) {
                                       return space.id == display.currentSpace;
                                   }));
    }
    const auto tree = desktop::i3Tree(reply);
    FUZZ_CHECK(tree.windowSpaces.size() <= desktop::kMaxDesktopItems &&
               tree.fullScreenWindows.size() <= desktop::kMaxDesktopItems);
    FUZZ_CHECK(i3OutputGeometry(reply).size() <= desktop::kMaxDesktopItems);
    const auto outputs = wayland::sway::outputs(reply, previous);
    const auto windows = wayland::sway::windows(reply);
    FUZZ_CHECK(outputs.size() <= desktop::kMaxDesktopItems &&
               windows.size() <= desktop::kMaxDesktopItems);
    FUZZ_CHECK(wayland::displaysOf(outputs, windows).size() <= outputs.size());
    FUZZ_CHECK(wayland::windowListOf(outputs, windows).windows.size() == windows.size());
    for (const auto& other :
         {wayland::hyprland::outputs(reply, previous), wayland::niri::outputs(reply)})
        FUZZ_CHECK(other.size() <= desktop::kMaxDesktopItems);
    FUZZ_CHECK(wayland::hyprland::windows(reply).size() <= desktop::kMaxDesktopItems &&
               wayland::niri::windows(reply).size() <= desktop::kMaxDesktopItems);
    (void)wayland::hyprland::switchRequest(reply, 1);
    if (reply.is_object())
        if (const auto config = reply.find("config"); config != reply.end() && config->is_string())
            (void)i3::parseKeyBindings(config->get_ref<const std::string&>());
}

// What a sway event tells whole, taken into the tables read from the last reply.
void takeSwayEvent(const i3::Message& event, const nlohmann::json& previous) {
    const auto changes =
        wayland::sway::eventChanges(static_cast<i3::EventType>(event.eventType()), event.payload);
    FUZZ_CHECK(changes.shownWorkspaces.size() <= 1);
    if (const auto& focused = changes.focusedWindow) {
        const auto windows = wayland::sway::windows(previous);
        if (const auto edited = wayland::withFocusedWindow(windows, *focused))
            FUZZ_CHECK(edited->size() == windows.size() &&
                       std::any_of(edited->begin(), edited->end(),
                                   [](const wayland::WindowEntry& w) { return w.focused; }));
    }
    for (const auto& shown : changes.shownWorkspaces) {
        const auto outputs = wayland::sway::outputs(previous, previous);
        if (const auto edited = wayland::withShownWorkspace(outputs, shown))
            FUZZ_CHECK(edited->size() == outputs.size());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    // The first byte sets how the stream arrives: in reads of 1 to 256 bytes.
    const std::size_t chunk = std::size_t{data[0]} + 1;
    std::string_view stream(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string buffer;
    nlohmann::json previous;
    while (!stream.empty()) {
        const auto piece = stream.substr(0, chunk);
        stream.remove_prefix(piece.size());
        buffer.append(piece);
        for (;;) {
            auto framed = i3::takeFramedMessage(buffer, kMaxPayloadBytes);
            if (framed.garbage) {
                FUZZ_CHECK(buffer.empty() && !framed.message);
                return 0;
            }
            if (!framed.message)
                break;
            FUZZ_CHECK(framed.message->payload.size() <= kMaxPayloadBytes);
            if (framed.message->isEvent()) {
                (void)i3::eventChange(framed.message->payload);
                takeSwayEvent(*framed.message, previous);
                // Followed into the tree of the last reply, as the window server does.
                auto tree = desktop::i3Tree(previous);
                const auto change = desktop::readI3TreeChange(
                    static_cast<i3::EventType>(framed.message->eventType()),
                    framed.message->payload);
                if (desktop::followI3TreeChange(tree, change))
                    FUZZ_CHECK(tree.fullScreenWindows.size() <= tree.windowSpaces.size());
                if (const auto focus = desktop::readI3WorkspaceFocus(framed.message->payload)) {
                    auto displays = desktop::i3DisplaySpaces(previous, previous);
                    (void)desktop::followI3WorkspaceFocus(displays, *focus);
                    for (const auto& display : displays)
                        FUZZ_CHECK(std::any_of(display.spaces.begin(), display.spaces.end(),
                                               [&](const tidemark::DisplaySpace& space) {
                                                   return space.id == display.currentSpace;
                                               }));
                }
                (void)wayland::hyprland::eventChanges(framed.message->payload);
                (void)wayland::niri::eventChanges(framed.message->payload);
            }
            if (auto reply = i3::parseReplyPayload(framed.message->payload)) {
                readReply(*reply, previous);
                previous = std::move(*reply);
            }
        }
    }
    return 0;
}
