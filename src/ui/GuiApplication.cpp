#include "ui/GuiApplication.h"

#include <QApplication>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace tidemark::ui {

void ensureGuiApplication(const std::optional<std::string>& runtimeFallback) {
    if (QCoreApplication::instance())
        return;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY") &&
        !qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt looks into the runtime folder as it starts and warns when the session names none;
    // the base-directory rules leave that fallback to the program. Only a folder that is the
    // user's own and private passes Qt's check.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtimeFallback) {
        const auto& folder = *runtimeFallback;
        struct stat facts {};
        if (::lstat(folder.c_str(), &facts) == 0 && S_ISDIR(facts.st_mode) &&
            facts.st_uid == ::getuid() && (facts.st_mode & 07777) == 0700)
            qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(folder));
    }
    static int argc = 1;
    static char name[] = "tidemark";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's own globals (input devices, fonts) may already be gone,
    // and tearing the application down after them crashes.
    static QApplication* application = std::make_unique<QApplication>(argc, argv).release();
    (void)application;
}

} // namespace tidemark::ui
