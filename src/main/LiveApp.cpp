#include "app/AppDelegate.h"
#include "app/RefreshShortcut.h"
#include "icon/ArtworkCatalog.h"
#include "main/Commands.h"
#include "main/LivePanel.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/keys/LinuxShortcuts.h"
#include "platform/linux/session/JournalLog.h"
#include "platform/linux/settings/AutostartEntry.h"
#include "platform/linux/x11/DisplayCheck.h"
#include "platform/linux/x11/DockPlacement.h"
#include "platform/linux/x11/DockWindow.h"
#include "platform/linux/x11/LinuxSwitchPermission.h"
#include "platform/linux/x11/PanelArea.h"
#include "preferences/PreferencesModel.h"
#include "shortcuts/ShortcutRecorder.h"
#include "ui/AppearancePalette.h"
#include "ui/PreferencesWindow.h"
#include "ui/QtMainQueue.h"
#include "ui/QtStatusPorts.h"
#include "ui/StatusMenu.h"
#include "ui/StripWindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <iostream>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tidemark::cli {
namespace {

constexpr TimeSeconds kPanelPreparationDelay = 1.0;

// One app per user and display: the lock lives as long as the process holds the file.
bool claimSingleInstance(std::string& error) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    for (auto& c : display)
        if (c == '/')
            c = '_';
    const std::string folder =
        runtime && *runtime ? std::string(runtime) : "/tmp/tidemark-" + std::to_string(::getuid());
    ::mkdir(folder.c_str(), 0700);
    const std::string path = folder + "/tidemark" + display + ".lock";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        error = "Tidemark is already running on this display";
        return false;
    }
    return true; // the descriptor stays open until the process ends
}

// When the X server goes away, say so in the app's one line and leave without a core dump.
void handleQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
    // Qt warns, then exits, when the X server goes away.
    const bool lostServer = message.contains(QStringLiteral("X11 connection broke")) ||
                            message.contains(QStringLiteral("could not connect to display"));
    if (lostServer)
        std::cerr << "tidemark: lost the connection to the X server\n";
    if (type == QtFatalMsg) {
        if (!lostServer)
            std::cerr << "tidemark: " << message.toStdString() << "\n";
        std::_Exit(kExitFailure);
    }
    if (!lostServer && (type == QtCriticalMsg || type == QtWarningMsg) &&
        qEnvironmentVariableIsSet("TIDEMARK_QT_WARNINGS"))
        std::cerr << "tidemark: " << message.toStdString() << "\n";
}

std::vector<linux_platform::OutputGeometry> screenOutputs() {
    std::vector<linux_platform::OutputGeometry> outputs;
    const QScreen* primary = QGuiApplication::primaryScreen();
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect g = screen->geometry();
        outputs.push_back(
            {screen->name().toStdString(),
             Rect{double(g.x()), double(g.y()), double(g.width()), double(g.height())},
             screen == primary});
    }
    return outputs;
}

// The app's long-lived parts, in the order they are made and the reverse of their end.
struct LiveApp {
    ui::QtMainQueue queue;
    std::unique_ptr<linux_platform::LinuxPlatform> platform;
    linux_platform::AutostartLoginItem loginService{
        linux_platform::AutostartLoginItem::defaultEntryFile(),
        linux_platform::AutostartLoginItem::runningExecutable()};
    linux_platform::JournalLog journal;
    LoginItem loginItem{loginService, journal};
    ArtworkCatalog artwork;
    std::unique_ptr<PreferencesModel> preferencesModel;
    std::unique_ptr<ui::PreferencesWindow> preferences;
    std::shared_ptr<ui::StripWindow> strip;
    std::shared_ptr<ui::StatusMenu> menu;
    std::unique_ptr<linux_platform::LinuxSwitchPermission> permission;
    std::unique_ptr<ui::QtApplicationPort> application;
    ui::QtAlertPresenter alerts;
    std::unique_ptr<ui::QtScreenPort> screen;
    std::unique_ptr<linux_platform::LinuxShortcuts> shortcuts;
    std::unique_ptr<LivePanel> panel;
    // Ends with the hot keys it may have suspended still there; the preferences window's
    // field only reads it while events are handled.
    std::unique_ptr<KeyBindings::ShortcutRecorder> refreshRecorder;
    std::shared_ptr<AppDelegate> delegate;
    ObservationToken screenToken;
    ObservationToken appearanceToken;
    bool declared = false;
    QRect output{0, 0, 1024, 768};
    std::vector<linux_platform::OutputGeometry> outputs;
    linux_platform::DockPlacement dock;

    Appearance appearance() { return platform->workspace.effectiveAppearance(); }

    // Made when first asked for, not at launch: its widgets, fonts and icon would delay the
    // strip's first image.
    ui::PreferencesWindow& preferencesWindow() {
        if (!preferences) {
            preferences = std::make_unique<ui::PreferencesWindow>(*preferencesModel);
            if (refreshRecorder)
                preferences->addShortcutRecorder(*refreshRecorder,
                                                 &linux_platform::LinuxShortcuts::virtualKeyCode);
        }
        return *preferences;
    }

    void place() {
        const bool i3 = platform->windowServer.mode() == linux_platform::X11WindowServer::Mode::I3;
        outputs.clear();
        if (i3)
            if (auto answer = platform->windowServer.i3Outputs())
                outputs = linux_platform::i3OutputGeometry(*answer);
        if (outputs.empty())
            outputs = screenOutputs();
        const auto& root = platform->x->screen();
        const Rect screen{0, 0, double(root.width_in_pixels), double(root.height_in_pixels)};
        const auto placement = linux_platform::placeDock(outputs, screen, strip->buttonWidth(),
                                                         ui::StripWindow::kBarHeight, i3);
        dock = placement;
        const auto& o = placement.output;
        output = QRect(int(o.minX()), int(o.minY()), int(o.width()), int(o.height()));
        const auto& w = placement.window;
        strip->setWindowRect(
            QRect(int(w.minX()), int(w.minY()), int(std::ceil(w.width())), int(w.height())));
        const auto window = xcb_window_t(strip->winId());
        if (!declared) {
            linux_platform::declareDock(*platform->x, window, placement.strut);
            declared = true;
        } else {
            linux_platform::setDockStrut(*platform->x, window, placement.strut);
        }
    }
};

} // namespace

int runLiveApp(const Arguments& args) {
    if (auto unknown = args.unknownOption({})) {
        std::cerr << "tidemark: unknown option '" << *unknown << "'\n";
        return kExitUsage;
    }
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        std::cerr << "tidemark: no X display (DISPLAY is not set); `tidemark demo --out DIR` "
                     "draws the app offscreen\n";
        return kExitFailure;
    }
    std::string error;
    if (!linux_platform::displayAnswers(error) || !claimSingleInstance(error)) {
        std::cerr << "tidemark: " << error << "\n";
        return kExitFailure;
    }
    qInstallMessageHandler(handleQtMessage);
    qputenv("QT_QPA_PLATFORM", "xcb");
    int argc = 1;
    char name[] = "tidemark";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Tidemark"));

    LiveApp app;
    app.platform = linux_platform::LinuxPlatform::open(app.queue, error);
    if (!app.platform) {
        std::cerr << "tidemark: " << error << "\n";
        return kExitFailure;
    }
    auto& platform = *app.platform;
    ui::applyAppearance(app.appearance());

    app.preferencesModel =
        std::make_unique<PreferencesModel>(platform.settings, platform.defaultCenter, app.loginItem,
                                           [&app] { return app.appearance(); });
    app.strip = std::make_shared<ui::StripWindow>();
    app.strip->setAppearance(app.appearance());
    app.menu = std::make_shared<ui::StatusMenu>(
        [&app] { app.preferencesWindow().present(app.output); }, [] { QCoreApplication::quit(); });
    app.menu->setButton(app.strip.get());
    app.menu->announceTracking(platform.defaultCenter);
    app.menu->setPlacement([&app](QPoint wanted, QSize size) {
        const QRect o = app.output;
        const Point at = linux_platform::placeMenu(
            Rect{double(o.x()), double(o.y()), double(o.width()), double(o.height())},
            Point{double(wanted.x()), double(wanted.y())},
            Size{double(size.width()), double(size.height())});
        return QPoint(int(at.x), int(at.y));
    });
    app.permission = std::make_unique<linux_platform::LinuxSwitchPermission>(platform.poster);
    app.application = std::make_unique<ui::QtApplicationPort>(*app.strip);
    app.screen = std::make_unique<ui::QtScreenPort>(
        [&app](Rect rect) { return linux_platform::panelArea(app.outputs, app.dock, rect); });
    app.strip->setImageSizeListener([&app] {
        if (app.declared)
            app.place();
    });

    // For the start-up benchmark: the monotonic time the first image was painted.
    if (qEnvironmentVariableIsSet("TIDEMARK_REPORT_FIRST_IMAGE"))
        app.strip->setFirstImageListener([] {
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            rusage usage{};
            getrusage(RUSAGE_SELF, &usage);
            const long cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000 +
                               (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
            std::cerr << "tidemark: first image at " << now.tv_sec * 1000000000LL + now.tv_nsec
                      << " ns after " << cpuMs << " ms of CPU\n";
        });

    app.panel = std::make_unique<LivePanel>(platform);
    StatusItemParts parts{{app.queue, platform.settings, platform.poster, *app.permission,
                           *app.application, app.alerts, *app.screen},
                          {app.strip, app.menu, [&app] { return app.panel->makeWindow(); }},
                          [&app] { return app.panel->model(); },
                          app.artwork};
    app.delegate = AppDelegate::create(platform.services(), std::move(parts));
    app.panel->listen(*app.delegate->statusBar());
    // For the live tests: a line per refresh, published or not.
    if (qEnvironmentVariableIsSet("TIDEMARK_REPORT_REFRESHES"))
        app.delegate->spaceObserver().setRefreshListener(
            [](bool) { std::cerr << "tidemark: refreshed the spaces" << std::endl; });
    // The refresh shortcut, as key grabs on a connection of their own.
    app.shortcuts =
        linux_platform::LinuxShortcuts::open(app.queue, platform.settings, platform.defaultCenter);
    if (app.shortcuts) {
        app.delegate->setShortcuts(app.shortcuts->center);
        auto& shortcuts = *app.shortcuts;
        app.refreshRecorder = std::make_unique<KeyBindings::ShortcutRecorder>(
            shortcuts.center, platform.defaultCenter, shortcuts.center->name(kRefreshShortcutName),
            [&shortcuts] { return shortcuts.recorderContext(); });
        // The open menu holds the keyboard, so the grabs see nothing: its keys are the raw path.
        app.menu->setRawKeyListener([&shortcuts](std::uint32_t code, std::uint32_t state,
                                                 bool pressed) {
            if (code <= 0xff)
                shortcuts.hotKeys.deliverRawKey(std::uint8_t(code), std::uint16_t(state), pressed);
        });
    }
    // The native window first: the dock type must be on it before it is mapped.
    app.strip->winId();
    app.delegate->applicationDidFinishLaunching();
    app.place();
    app.strip->show();
    platform.startObserving();
    // After the first image, off the start-up's path.
    app.queue.asyncAfter(kPanelPreparationDelay, [&app] { app.panel->prepareWindow(); });

    app.screenToken = platform.defaultCenter.addObserver(
        kScreenParametersDidChangeNotification,
        [&app](const Notification&) { app.queue.async([&app] { app.place(); }); });
    app.appearanceToken = platform.workspace.notificationCenter().addObserver(
        kEffectiveAppearanceDidChangeNotification, [&app](const Notification&) {
            ui::applyAppearance(app.appearance());
            app.strip->setAppearance(app.appearance());
            if (app.preferences)
                app.preferences->appearanceDidChange();
        });
    const int status = application.exec();
    // The panel's scans and quits use the platform, which goes before the queue.
    app.queue.finishBackgroundWork();
    return status;
}

} // namespace tidemark::cli
