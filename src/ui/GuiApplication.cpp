#include "ui/GuiApplication.h"

#include <QApplication>
#include <cstdlib>

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
    static QApplication application(argc, argv);
}

} // namespace tidemark::ui
