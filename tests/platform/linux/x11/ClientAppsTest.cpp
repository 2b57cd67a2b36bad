#include "platform/linux/x11/ClientApps.h"

#include "platform/linux/x11/WindowClose.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"

#include <gtest/gtest.h>

namespace tidemark::linux_platform {
namespace {

constexpr std::int32_t kOwnPid = 40;

WindowFacts client(xcb_window_t window, std::int32_t pid, const std::string& instance,
                   const std::string& klass) {
    WindowFacts facts;
    facts.window = window;
    facts.exists = true;
    facts.pid = pid;
    facts.instanceName = instance;
    facts.className = klass;
    return facts;
}

// An app as a listing reads it: pid, key, name and how many windows it has.
struct App {
    std::int32_t pid;
    std::string key;
    std::string name;
    std::size_t windows;
    bool operator==(const App&) const = default;
};

void PrintTo(const App& app, std::ostream* out) {
    *out << app.pid << " " << app.key << " \"" << app.name << "\" " << app.windows;
}

TEST(GroupClientApps, EachProcessIsAnAppAndThisProgramNone) {
    const testing::TemporaryDirectory folder;
    testing::writeFile(folder.path() / "applications/term.desktop",
                       "[Desktop Entry]\nType=Application\nName=Terminal\nStartupWMClass=XTerm\n");
    const DesktopEntries entries({folder.path()});
    struct Case {
        const char* name;
        std::vector<WindowFacts> clients;
        std::vector<App> apps;
    };
    const std::vector<Case> cases{
        {"two terminals are two apps under one key",
         {client(1, 100, "xterm", "XTerm"), client(2, 101, "xterm", "XTerm"),
          client(3, 100, "xterm", "XTerm")},
         {{100, "term", "Terminal", 2}, {101, "term", "Terminal", 1}}},
        {"this program's own windows are no app, whatever their class",
         {client(1, kOwnPid, "tidemark", "Tidemark"), client(2, kOwnPid, "xterm", "XTerm"),
          client(3, 100, "xlogo", "XLogo")},
         {{100, "XLogo", "XLogo", 1}}},
        {"another instance of this program carries its key",
         {client(1, 300, "tidemark", "Tidemark")},
         {{300, "tidemark", "Tidemark", 1}}},
        {"a class like this program's alone names an app of its own",
         {client(1, 301, "other", "Tidemark")},
         {{301, "Tidemark", "Tidemark", 1}}},
    };
    for (const auto& c : cases) {
        std::vector<App> apps;
        for (const auto& [pid, app] : groupClientApps(c.clients, entries, {}, kOwnPid, "tidemark"))
            apps.push_back({pid, app.application.bundleIdentifier.value_or(""),
                            app.application.localizedName.value_or(""), app.windows.size()});
        EXPECT_EQ(apps, c.apps) << c.name;
    }
}

TEST(PlanWindowClose, TheManagerWhereItClosesWindowsElseTheClientsThatTakeTheMessage) {
    using enum CloseMethod;
    const std::vector<ClosableWindow> windows{{1, true}, {2, false}};
    struct Case {
        const char* name;
        bool managerCloses;
        std::vector<ClosableWindow> windows;
        std::vector<CloseRequest> requests;
    };
    const std::vector<Case> cases{
        {"the manager lists _NET_CLOSE_WINDOW",
         true,
         windows,
         {{1, ManagerRequest}, {2, ManagerRequest}}},
        {"it does not: WM_DELETE_WINDOW where taken", false, windows, {{1, DeleteMessage}}},
        {"neither: nothing to send", false, {{2, false}}, {}},
        {"no windows", true, {}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(planWindowClose(c.managerCloses, c.windows), c.requests) << c.name;
}

} // namespace
} // namespace tidemark::linux_platform
