#include "platform/linux/live/wayland/WaylandLiveApp.h"

#include "app/AppDelegate.h"
#include "icon/ArtworkCatalog.h"
#include "platform/linux/live/LivePanel.h"
#include "platform/linux/live/QtMessages.h"
#include "platform/linux/live/RefreshRequests.h"
#include "platform/linux/live/ReportHooks.h"
#include "platform/linux/live/wayland/LayerPanel.h"
#include "platform/linux/live/wayland/LayerStrip.h"
#include "platform/linux/live/wayland/PointerRouter.h"
#include "platform/linux/live/wayland/WaylandConnection.h"
#include "platform/linux/session/JournalLog.h"
#include "platform/linux/session/SessionFiles.h"
#include "platform/linux/session/SingleInstanceLock.h"
#include "platform/linux/settings/AutostartEntry.h"
#include "platform/linux/wayland/WaylandPlatform.h"
#include "platform/linux/x11/LinuxSwitchPermission.h"
#include "preferences/PreferencesModel.h"
#include "ui/AppearancePalette.h"
#include "ui/PreferencesWindow.h"
#include "ui/QtMainQueue.h"
#include "ui/QtStatusPorts.h"
#include "ui/StatusMenu.h"

#include <QApplication>
#include <QPalette>
#include <QScreen>
#include <cstdlib>
#include <iostream>

namespace tidemark::linux_platform::live {
namespace {

using wayland::LayerPanel;
using wayland::LayerStrip;
using wayland::PointerRouter;
using wayland::WaylandConnection;

// As on X11: after the first image, off the start-up's path.
constexpr TimeSeconds kPanelPreparationDelay = 1.0;

// The pointer as the strip last saw it; the usable part of the screen is the strip's output
// below its band (a layer surface is told its output's width only, so the panel's frame
// keeps inside that width and under the band).
class StripScreenPort final : public ScreenPort {
public:
    explicit StripScreenPort(const LayerStrip& strip) : strip_(strip) {}
    Point pointerLocation() const override { return strip_.pointerLocation(); }
    Rect visibleFrame(Rect rect) const override {
        const auto output = strip_.outputFrame();
        if (!output)
            return rect;
        return Rect{output->minX(), output->maxY(), output->width(),
                    std::max(rect.maxY() - output->maxY(), rect.height())};
    }

private:
    const LayerStrip& strip_;
};

struct WaylandLiveApp {
    WaylandLiveApp(ReportHooks reports, DesktopSession session)
        : reports(reports), session(session) {}

    const ReportHooks reports;
    const DesktopSession session;
    ui::QtMainQueue queue;
    std::unique_ptr<WaylandPlatform> platform;
    std::unique_ptr<WaylandConnection> connection;
    std::unique_ptr<FdWatcher> connectionWatcher;
    std::unique_ptr<PointerRouter> pointer;
    // The one source of app icons, for the strip and the panel alike.
    std::shared_ptr<const ui::AppIconProvider> appIcons;
    AutostartLoginItem loginService{AutostartLoginItem::defaultEntryFile(),
                                    AutostartLoginItem::runningExecutable(),
                                    AutostartSession::current([] { return std::nullopt; })};
    JournalLog journal;
    LoginItem loginItem{loginService, journal};
    ArtworkCatalog artwork;
    std::unique_ptr<PreferencesModel> preferencesModel;
    std::unique_ptr<ui::PreferencesWindow> preferences;
    std::shared_ptr<LayerStrip> strip;
    std::unique_ptr<LivePanel> panel;
    std::shared_ptr<ui::StatusMenu> menu;
    std::unique_ptr<LinuxSwitchPermission> permission;
    std::unique_ptr<ui::QtApplicationPort> application;
    ui::QtAlertPresenter alerts;
    std::unique_ptr<StripScreenPort> screen;
    std::shared_ptr<AppDelegate> delegate;
    ObservationToken appearanceToken;
    RefreshRequests refreshRequests;

    // False, with one line in `error`, when the compositor does not answer or has no layer
    // shell.
    bool open(std::string& error) {
        platform = WaylandPlatform::open(queue, session, error);
        if (!platform)
            return false;
        appIcons = std::make_shared<const ui::AppIconProvider>(
            &platform->workspace, [&workspace = platform->workspace](const std::string& appKey) {
                return workspace.desktopIconName(appKey);
            });
        platform->setAppIcons(appIcons.get());
        connection = WaylandConnection::open(error);
        return connection != nullptr;
    }

    void launch() {
        connection->setLostListener([this] {
            // As for the compositor's IPC: without the compositor there is no desktop.
            std::cerr << "tidemark: lost the connection to " << sessionName(session) << "\n";
            std::exit(EXIT_FAILURE);
        });
        connectionWatcher = std::make_unique<FdWatcher>(queue, *connection);
        pointer = std::make_unique<PointerRouter>(*connection);
        makeViews();
        makeDelegate();
        delegate->applicationDidFinishLaunching();
        platform->startObserving();
        queue.asyncAfter(kPanelPreparationDelay, [this] { panel->prepareWindow(); });
        followAppearance();
        refreshRequests = listenForRefreshRequests(
            queue, [this] { delegate->spaceObserver().updateSpaceInformation(); });
    }

    Appearance appearance() { return platform->workspace.effectiveAppearance(); }

    ui::PreferencesWindow& preferencesWindow() {
        if (!preferences) {
            preferences = std::make_unique<ui::PreferencesWindow>(*preferencesModel);
            if (const auto binding = refreshBinding(session))
                preferences->addShortcutBindingLine(binding->configFile, binding->line);
        }
        return *preferences;
    }

    // Where the preferences window centres itself: the strip's output.
    QRect outputGeometry() const {
        const auto frame = strip->outputFrame();
        const QScreen* primary = QGuiApplication::primaryScreen();
        if (primary && (!frame || primary->geometry().width() > 0))
            return primary->geometry();
        return frame ? QRect(int(frame->minX()), int(frame->minY()), int(frame->width()), 768)
                     : QRect(0, 0, 1024, 768);
    }

    void makeViews() {
        ui::applyAppearance(appearance());
        preferencesModel =
            std::make_unique<PreferencesModel>(platform->settings, platform->defaultCenter,
                                               loginItem, [this] { return appearance(); });
        strip = std::make_shared<LayerStrip>(*connection, *pointer);
        strip->setAppearance(appearance());
        strip->setHighlightColor(QApplication::palette().color(QPalette::Highlight).lighter(130));
        strip->setFirstImageListener(reports.firstImageListener());
        menu = std::make_shared<ui::StatusMenu>(
            [this] { preferencesWindow().present(outputGeometry()); },
            [] { QCoreApplication::quit(); });
        menu->setButton(strip.get());
        menu->announceTracking(platform->defaultCenter);
        // Qt makes a parentless menu a toplevel on Wayland; one of a fixed size is floated
        // (sway, Hyprland) instead of tiled across half the output.
        menu->setFixedSize(menu->sizeHint());
        permission = std::make_unique<LinuxSwitchPermission>(platform->poster);
        application = std::make_unique<ui::QtApplicationPort>(
            [this](auto monitor) { strip->setMouseMonitor(std::move(monitor)); });
        screen = std::make_unique<StripScreenPort>(*strip);
    }

    void makeDelegate() {
        panel = std::make_unique<LivePanel>(
            platform->popoverServices(), appIcons,
            [this](std::unique_ptr<QWidget> view) {
                return std::make_unique<LayerPanel>(*connection, *pointer, *strip, std::move(view));
            },
            reports.panel);
        StatusItemParts parts{{queue, platform->settings, platform->poster, platform->windowServer,
                               *permission, *application, alerts, *screen},
                              {strip, menu, [this] { return panel->makeWindow(); }},
                              [this] { return panel->model(); },
                              artwork};
        delegate = AppDelegate::create(platform->services(), std::move(parts));
        panel->listen(*delegate->statusBar());
        delegate->spaceObserver().setRefreshListener(reports.refreshListener());
    }

    void followAppearance() {
        appearanceToken = platform->workspace.events().addObserver(
            WorkspaceEventKind::AppearanceChanged, [this](const WorkspaceEvent&) {
                ui::applyAppearance(appearance());
                strip->setAppearance(appearance());
                if (preferences)
                    preferences->appearanceDidChange();
            });
    }
};

} // namespace

LiveAppExit runWaylandLiveApp(DesktopSession session) {
    const auto reports = ReportHooks::fromEnvironment();
    std::string error;
    const auto path = displaySessionFile(".lock", error);
    const auto lock = path ? SingleInstanceLock::acquire(*path, error) : std::nullopt;
    if (!lock)
        return {EXIT_FAILURE, error};
    installQtMessageHandler(reports.qtWarnings, std::string(sessionName(session)));
    // Qt's windows (menu, preferences, about) through its Wayland platform where it is
    // installed; offscreen they cannot be seen, but the strip still works.
    qputenv("QT_QPA_PLATFORM", "wayland;offscreen");
    int argc = 1;
    char name[] = "tidemark";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Tidemark"));
    // The app id of its windows, which compositors' rules and the desktop entry match.
    QGuiApplication::setDesktopFileName(QStringLiteral("tidemark"));

    WaylandLiveApp app(reports, session);
    if (!app.open(error))
        return {EXIT_FAILURE, error};
    app.launch();
    const int status = application.exec();
    app.queue.finishBackgroundWork();
    return {status, {}};
}

} // namespace tidemark::linux_platform::live
