#include "app/RefreshShortcut.h"
#include "main/Commands.h"
#include "main/drawing/PopoverPictures.h"
#include "main/drawing/StripRendering.h"
#include "platform/linux/keys/ShortcutWords.h"
#include "platform/linux/session/SessionFiles.h"
#include "platform/sim/SimHotKeyService.h"
#include "platform/sim/SimLoginItem.h"
#include "preferences/PreferencesModel.h"
#include "preferences/SettingsKeys.h"
#include "shortcuts/ShortcutRecorder.h"
#include "ui/AboutView.h"
#include "ui/AppearancePalette.h"
#include "ui/GuiApplication.h"
#include "ui/PreferencesWindow.h"
#include "ui/StatusMenu.h"
#include "ui/WidgetPicture.h"

#include <QApplication>
#include <filesystem>
#include <iostream>

namespace tidemark::cli {
namespace {

constexpr double kDemoScale = 2;

const char* appearanceName(Appearance appearance) {
    return appearance == Appearance::Dark ? "dark" : "light";
}

std::string styleSlug(SkywardStyle style) {
    std::string slug(label(style));
    for (auto& c : slug)
        c = c == ' ' ? '-' : char(std::tolower(static_cast<unsigned char>(c)));
    return slug;
}

// Writes one picture and names it on standard output; false after reporting a failure.
bool save(const QImage& picture, const std::filesystem::path& file) {
    if (!writePng(picture, file.string(), "demo"))
        return false;
    std::cout << file.string() << "\n";
    return true;
}

bool renderStrips(const sim::Scenario& scenario, const std::filesystem::path& out) {
    for (const auto appearance : {Appearance::Light, Appearance::Dark}) {
        for (const auto style : kAllSkywardStyles) {
            auto variant = scenario;
            variant.appearance = appearance;
            variant.settings[settings::kDisplayStyle] = Value(rawValue(style));
            const auto strip = renderFirstSnapshot(std::move(variant));
            const auto name =
                "strip-" + styleSlug(style) + "-" + appearanceName(appearance) + ".png";
            if (!save(ui::onBar(stripPixels(strip, kDemoScale), appearance, 8), out / name))
                return false;
        }
    }
    return true;
}

bool renderWindows(const sim::Scenario& scenario, const std::filesystem::path& out) {
    for (const auto appearance : {Appearance::Light, Appearance::Dark}) {
        ui::applyAppearance(appearance);
        const std::string suffix = std::string("-") + appearanceName(appearance) + ".png";

        ui::StatusMenu menu([] {}, [] {});
        if (!save(ui::widgetPicture(menu, kDemoScale), out / ("menu" + suffix)))
            return false;
        ui::AboutView about;
        if (!save(ui::widgetPicture(about, kDemoScale), out / ("about" + suffix)))
            return false;

        SettingsStore settings(scenario.settings);
        settings::registerDefaults(settings);
        NotificationCenter center;
        sim::SimLoginItemService loginService;
        sim::SimSystemLog log;
        LoginItem loginItem(loginService, log);
        PreferencesModel model(settings, center, loginItem, [appearance] { return appearance; });
        // The refresh shortcut's field, showing a stored combination.
        sim::SimHotKeyService hotKeys;
        sim::SimKeyboardLayout layout;
        const auto shortcuts = KeyBindings::ShortcutCenter::create(
            {settings, center, hotKeys, layout, linux_platform::kShortcutDescriptionStyle});
        const auto refresh = shortcuts->name(kRefreshShortcutName);
        shortcuts->setShortcut(
            KeyBindings::Shortcut{KeyBindings::key::r.rawValue,
                                  KeyBindings::modifier::kControl | KeyBindings::modifier::kOption},
            refresh);
        KeyBindings::ShortcutRecorder recorder(shortcuts, center, refresh, {});
        ui::PreferencesWindow window(model);
        window.addShortcutRecorder(recorder, {});
        model.loadActiveColor();
        if (!save(ui::widgetPicture(window, kDemoScale), out / ("preferences" + suffix)))
            return false;
    }
    return true;
}

} // namespace

int runDemo(Invocation call) {
    const auto out = call.option("--out");
    const auto& scenario = call.scenario;
    std::error_code error;
    std::filesystem::create_directories(*out, error);
    if (error) {
        std::cerr << "tidemark demo: cannot create '" << *out << "': " << error.message() << "\n";
        return kExitFailure;
    }
    ui::ensureGuiApplication(linux_platform::runtimeFolderFallback());
    const auto savePopover = [&](const QImage& picture, const std::string& name) {
        return save(picture, std::filesystem::path(*out) / name);
    };
    const bool rendered = renderStrips(*scenario, *out) && renderWindows(*scenario, *out) &&
                          renderPopovers(*scenario, kDemoScale, savePopover);
    return rendered ? kExitOk : kExitFailure;
}

} // namespace tidemark::cli
