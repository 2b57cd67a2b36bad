#include "platform/linux/live/LiveApp.h"

#include "app/AppDelegate.h"
#include "app/RefreshShortcut.h"
#include "icon/ArtworkCatalog.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/keys/LinuxShortcuts.h"
#include "platform/linux/live/LivePanel.h"
#include "platform/linux/live/QtMessages.h"
#include "platform/linux/live/RefreshRequests.h"
#include "platform/linux/live/ReportHooks.h"
#include "platform/linux/live/StripPlacement.h"
#include "platform/linux/session/JournalLog.h"
#include "platform/linux/session/SessionFiles.h"
#include "platform/linux/session/SingleInstanceLock.h"
#include "platform/linux/settings/AutostartEntry.h"
#include "platform/linux/x11/Compositor.h"
#include "platform/linux/x11/DisplayCheck.h"
#include "platform/linux/x11/LinuxSwitchPermission.h"
#include "preferences/PreferencesModel.h"
#include "shortcuts/ShortcutRecorder.h"
#include "ui/AppearancePalette.h"
#include "ui/PreferencesWindow.h"
#include "ui/QtMainQueue.h"
#include "ui/QtStatusPorts.h"
#include "ui/StatusMenu.h"
#include "ui/StripWindow.h"

#include <QApplication>
#include <cstdlib>
#include <iostream>

namespace tidemark::linux_platform::live {
namespace {

constexpr TimeSeconds kPanelPreparationDelay = 1.0;

// The app's long-lived parts, in the order they are made and the reverse of their end.
struct LiveApp {
    explicit LiveApp(ReportHooks reports) : reports(reports) {}

    const ReportHooks reports;
    ui::QtMainQueue queue;
    std::unique_ptr<LinuxPlatform> platform;
    // The one source of app icons, for the strip and the panel alike.
    std::shared_ptr<const ui::AppIconProvider> appIcons;
    AutostartLoginItem loginService{
        AutostartLoginItem::defaultEntryFile(), AutostartLoginItem::runningExecutable(),
        AutostartSession::current([this] { return platform->x->windowManagerName(); })};
    JournalLog journal;
    LoginItem loginItem{loginService, journal};
    ArtworkCatalog artwork;
    std::unique_ptr<PreferencesModel> preferencesModel;
    std::unique_ptr<ui::PreferencesWindow> preferences;
    std::shared_ptr<ui::StripWindow> strip;
    std::unique_ptr<StripPlacement> placement;
    std::shared_ptr<ui::StatusMenu> menu;
    std::unique_ptr<LinuxSwitchPermission> permission;
    std::unique_ptr<ui::QtApplicationPort> application;
    ui::QtAlertPresenter alerts;
    std::unique_ptr<ui::QtScreenPort> screen;
    std::unique_ptr<LinuxShortcuts> shortcuts;
    std::unique_ptr<LivePanel> panel;
    // Ends with the hot keys it may have suspended still there; the preferences window's
    // field only reads it while events are handled.
    std::unique_ptr<KeyBindings::ShortcutRecorder> refreshRecorder;
    std::shared_ptr<AppDelegate> delegate;
    ObservationToken screenToken;
    ObservationToken appearanceToken;
    // Requests of other programs (`tidemark refresh`); the watcher ends first.
    RefreshRequests refreshRequests;

    // False, with one line in `error`, when no X server answers.
    bool open(std::string& error) {
        platform = LinuxPlatform::open(queue, error);
        if (!platform)
            return false;
        appIcons = std::make_shared<const ui::AppIconProvider>(
            &platform->workspace, [&workspace = platform->workspace](const std::string& appKey) {
                return workspace.desktopIconName(appKey);
            });
        platform->setAppIcons(appIcons.get());
        return true;
    }

    // Everything else, then the strip on screen and the desktop followed.
    void launch() {
        makeViews();
        makeDelegate();
        addShortcuts();
        // The native window first: the dock type must be on it before it is mapped.
        strip->winId();
        delegate->applicationDidFinishLaunching();
        placement->place();
        strip->show();
        platform->startObserving();
        // After the first image, off the start-up's path.
        queue.asyncAfter(kPanelPreparationDelay, [this] { panel->prepareWindow(); });
        followScreensAndAppearance();
        refreshRequests = listenForRefreshRequests(
            queue, [this] { delegate->spaceObserver().updateSpaceInformation(); });
    }

    Appearance appearance() { return platform->workspace.effectiveAppearance(); }

    // Made when first asked for, not at launch: its widgets, fonts and icon would delay the
    // strip's first image.
    ui::PreferencesWindow& preferencesWindow() {
        if (!preferences) {
            preferences = std::make_unique<ui::PreferencesWindow>(*preferencesModel);
            if (refreshRecorder)
                preferences->addShortcutRecorder(*refreshRecorder, &LinuxShortcuts::virtualKeyCode);
        }
        return *preferences;
    }

    void makeViews() {
        ui::applyAppearance(appearance());
        preferencesModel =
            std::make_unique<PreferencesModel>(platform->settings, platform->defaultCenter,
                                               loginItem, [this] { return appearance(); });
        strip = std::make_shared<ui::StripWindow>();
        strip->setAppearance(appearance());
        placement = std::make_unique<StripPlacement>(*platform, *strip);
        menu = std::make_shared<ui::StatusMenu>(
            [this] { preferencesWindow().present(placement->output()); },
            [] { QCoreApplication::quit(); });
        menu->setButton(strip.get());
        menu->announceTracking(platform->defaultCenter);
        menu->setPlacement(
            [this](QPoint wanted, QSize size) { return placement->menuPosition(wanted, size); });
        permission = std::make_unique<LinuxSwitchPermission>(platform->poster);
        application = std::make_unique<ui::QtApplicationPort>(
            [this](auto monitor) { strip->setMouseMonitor(std::move(monitor)); });
        screen = std::make_unique<ui::QtScreenPort>(
            [this](Rect rect) { return placement->panelArea(rect); });
        strip->setImageSizeListener([this] {
            if (placement->placed())
                placement->place();
        });
        strip->setFirstImageListener(reports.firstImageListener());
        reports.watchStripPaints(*strip);
    }

    void makeDelegate() {
        panel = std::make_unique<LivePanel>(platform->popoverServices(), appIcons,
                                            panelWindowMaker(), reports.panel);
        StatusItemParts parts{{queue, platform->settings, platform->poster, platform->windowServer,
                               *permission, *application, alerts, *screen},
                              {strip, menu, [this] { return panel->makeWindow(); }},
                              [this] { return panel->model(); },
                              artwork};
        delegate = AppDelegate::create(platform->services(), std::move(parts));
        panel->listen(*delegate->statusBar());
        delegate->spaceObserver().setRefreshListener(reports.refreshListener());
    }

    // The panel's X11 window, made native at once (blurred behind under a compositor).
    LivePanel::WindowMaker panelWindowMaker() {
        return [x = platform->x](std::unique_ptr<QWidget> view) {
            const bool compositing = compositorRunning(*x);
            auto window = std::make_unique<ui::QtPanelWindow>(std::move(view), compositing);
            const auto native = xcb_window_t(window->winId());
            if (compositing)
                requestBlurBehind(*x, native);
            return window;
        };
    }

    // The refresh shortcut, as key grabs on a connection of their own.
    void addShortcuts() {
        shortcuts = LinuxShortcuts::open(queue, platform->settings, platform->defaultCenter);
        if (!shortcuts)
            return;
        delegate->setShortcuts(shortcuts->center);
        refreshRecorder = std::make_unique<KeyBindings::ShortcutRecorder>(
            shortcuts->center, platform->defaultCenter,
            shortcuts->center->name(kRefreshShortcutName),
            [this] { return shortcuts->recorderContext(); });
        // The open menu holds the keyboard, so the grabs see nothing: its keys are the raw path.
        menu->setRawKeyListener([this](std::uint32_t code, std::uint32_t state, bool pressed) {
            if (code <= 0xff)
                shortcuts->hotKeys.deliverRawKey(std::uint8_t(code), std::uint16_t(state), pressed);
        });
    }

    void followScreensAndAppearance() {
        using Kind = WorkspaceEventKind;
        auto& events = platform->workspace.events();
        screenToken =
            events.addObserver(Kind::ScreenParametersChanged, [this](const WorkspaceEvent&) {
                queue.async([this] { placement->place(); });
            });
        appearanceToken =
            events.addObserver(Kind::AppearanceChanged, [this](const WorkspaceEvent&) {
                ui::applyAppearance(appearance());
                strip->setAppearance(appearance());
                if (preferences)
                    preferences->appearanceDidChange();
            });
    }
};

} // namespace

LiveAppExit runLiveApp() {
    const auto reports = ReportHooks::fromEnvironment();
    std::string error;
    // Before Qt, which says more than one line about a server that does not answer.
    if (!displayAnswers(error))
        return {EXIT_FAILURE, error};
    const auto path = displaySessionFile(".lock", error);
    const auto lock = path ? SingleInstanceLock::acquire(*path, error) : std::nullopt;
    if (!lock)
        return {EXIT_FAILURE, error};
    installQtMessageHandler(reports.qtWarnings);
    qputenv("QT_QPA_PLATFORM", "xcb");
    // Qt names its windows' X class after these, by which the workspace tells this
    // program's windows from other apps'.
    int argc = 1;
    std::string name = kOwnWindowInstance;
    char* argv[] = {name.data(), nullptr};
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QString::fromLatin1(kOwnWindowClass));

    LiveApp app(reports);
    if (!app.open(error))
        return {EXIT_FAILURE, error};
    app.launch();
    const int status = application.exec();
    // The panel's scans and quits use the platform, which goes before the queue.
    app.queue.finishBackgroundWork();
    return {status, {}};
}

} // namespace tidemark::linux_platform::live
