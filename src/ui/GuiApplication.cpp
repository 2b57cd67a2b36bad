#include "ui/GuiApplication.h"

#include <QApplication>
#include <cstdlib>
#include <memory>

namespace tidemark::ui {

void ensureGuiApplication() {
    if (QCoreApplication::instance())
        return;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY") &&
        !qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tidemark";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's own globals (input devices, fonts) may already be gone,
    // and tearing the application down after them crashes.
    static QApplication* application = std::make_unique<QApplication>(argc, argv).release();
    (void)application;
}

} // namespace tidemark::ui
