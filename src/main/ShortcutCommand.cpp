#include "app/RefreshShortcut.h"
#include "foundation/Text.h"
#include "main/Commands.h"
#include "platform/linux/i3/I3SystemShortcuts.h"
#include "platform/linux/keys/ShortcutWords.h"
#include "platform/linux/keys/XkbKeyboardLayout.h"
#include "platform/linux/settings/FileSettingsStore.h"
#include "shortcuts/ShortcutCenter.h"
#include "shortcuts/ShortcutCombo.h"
#include "shortcuts/ShortcutStorage.h"

#include <iostream>

namespace tidemark::cli {
namespace {

using namespace KeyBindings;
using Verdict = RecorderDecision::Verdict;

// Messages echo the words they were given, which may hold control characters.
int usageError(const std::string& message) {
    std::cerr << "tidemark shortcut: " << text::printable(message) << "\n";
    return kExitUsage;
}

int refused(const std::string& message) {
    std::cerr << "tidemark shortcut: " << text::printable(message) << "\n";
    return kExitFailure;
}

// This command only edits the stored entries; the running app owns the hot keys and picks
// the change up from the settings file.
class NoHotKeys final : public HotKeyService {
public:
    Registration registerHotKey(std::uint32_t, std::uint32_t, HotKeyID) override {
        return {status::kNoError, Handle{1}};
    }
    void unregisterHotKey(Handle) override {}
    bool installEventHandler(EventHandler) override { return true; }
    void addEventTypes(EventTypes) override {}
    void removeEventTypes(EventTypes) override {}
};

struct ShortcutTool {
    ShortcutTool()
        : settings(linux_platform::FileSettingsStore::defaultLocation(),
                   [](const std::string& line) { std::cerr << "tidemark: " << line << "\n"; }),
          x(linux_platform::XConnection::open()), layout(x),
          shortcuts(ShortcutCenter::create({settings, defaultCenter, hotKeys, layout,
                                            linux_platform::kShortcutDescriptionStyle})) {
        shortcuts->name(kRefreshShortcutName);
    }

    std::string line(const Name& name) {
        const auto shortcut = shortcuts->getShortcut(name);
        if (shortcut)
            return name.rawValue + ": " + shortcuts->description(*shortcut);
        const auto entry = settings.object(settingsKey(name));
        if (entry && entry->asBoolean() != false)
            return name.rawValue + ": none (the stored entry is not a shortcut; it is left as "
                                   "it is)";
        return name.rawValue + ": none";
    }

    std::vector<Shortcut> systemShortcuts() {
        if (!x)
            return {};
        linux_platform::i3::Client client([x = x] { return x->i3SocketPath(); });
        linux_platform::I3SystemShortcuts source(client, layout);
        const auto list = source.copySymbolicHotKeys();
        return list ? enabledSystemShortcuts(*list) : std::vector<Shortcut>{};
    }

    int finish() { return settings.lastWriteSucceeded() ? kExitOk : kExitFailure; }

    linux_platform::FileSettingsStore settings;
    NotificationCenter defaultCenter;
    NoHotKeys hotKeys;
    std::shared_ptr<linux_platform::XConnection> x;
    linux_platform::XkbKeyboardLayout layout;
    std::shared_ptr<ShortcutCenter> shortcuts;
};

std::string knownNamesText(const ShortcutTool& tool) {
    std::string text;
    for (const auto& name : tool.shortcuts->knownNames())
        text += (text.empty() ? "" : ", ") + name.rawValue;
    return text;
}

int setShortcut(ShortcutTool& tool, const Name& name, const std::string& combo, bool force) {
    const auto parsed = parseCombo(combo);
    if (!parsed.event)
        return usageError(parsed.error);
    const auto decision = decideCapturedEvent(*parsed.event, {{}, tool.systemShortcuts(), false});
    const auto quoted = "'" + combo + "'";
    switch (decision.verdict) {
    case Verdict::EndRecording:
        return refused(quoted + " alone ends recording; nothing was stored");
    case Verdict::ClearShortcut:
        return refused(quoted + " alone clears a shortcut; use 'tidemark shortcut clear " +
                       name.rawValue + "'");
    case Verdict::Beep:
        return refused(quoted +
                       " needs ctrl, alt or super (only F1 to F20 may be used without them)");
    case Verdict::UsedByMenuItem:
        return refused(quoted + " is the key of the menu item '" + decision.menuItemTitle + "'");
    case Verdict::Disallowed:
        return refused(quoted + " cannot be used: its only modifier is alt");
    case Verdict::UsedBySystem:
        if (!force)
            return refused(quoted + " is a shortcut of the window manager; add --force to use "
                                    "it anyway");
        break;
    case Verdict::Accept:
        break;
    }
    tool.shortcuts->setShortcut(decision.shortcut, name);
    std::cout << tool.line(name) << "\n";
    return tool.finish();
}

} // namespace

int runShortcut(Invocation call) {
    const auto& words = call.words;
    const std::string& verb = words.front();
    ShortcutTool tool;
    if (verb == "show" && words.size() == 1) {
        for (const auto& name : tool.shortcuts->knownNames())
            std::cout << tool.line(name) << "\n";
        return kExitOk;
    }
    const auto name = tool.shortcuts->knownName(words[1]);
    if (!name)
        return usageError("unknown shortcut name '" + words[1] +
                          "' (names: " + knownNamesText(tool) + ")");
    if (verb == "show") {
        std::cout << tool.line(*name) << "\n";
        return kExitOk;
    }
    if (verb == "clear") {
        tool.shortcuts->setShortcut(std::nullopt, *name);
        std::cout << tool.line(*name) << "\n";
        return tool.finish();
    }
    return setShortcut(tool, *name, words[2], call.flag("--force"));
}

} // namespace tidemark::cli
