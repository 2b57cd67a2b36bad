#include "platform/linux/live/QtMessages.h"

#include <QString>
#include <QtGlobal>
#include <atomic>
#include <cstdlib>
#include <iostream>

namespace tidemark::linux_platform::live {
namespace {

// Set before the handler is installed; Qt may call it on any thread.
constinit std::atomic<bool> printsWarnings{false};
// Written before the handler is installed, only read after.
std::string lostServerName;

void handleQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
    const bool lostServer = message.contains(QStringLiteral("X11 connection broke")) ||
                            message.contains(QStringLiteral("could not connect to display")) ||
                            message.contains(QStringLiteral("Wayland connection broke"));
    if (lostServer)
        std::cerr << "tidemark: lost the connection to " << lostServerName << "\n";
    if (type == QtFatalMsg) {
        if (!lostServer)
            std::cerr << "tidemark: " << message.toStdString() << "\n";
        std::_Exit(EXIT_FAILURE);
    }
    if (!lostServer && (type == QtCriticalMsg || type == QtWarningMsg) && printsWarnings)
        std::cerr << "tidemark: " << message.toStdString() << "\n";
}

} // namespace

void installQtMessageHandler(bool printWarnings, std::string server) {
    printsWarnings = printWarnings;
    lostServerName = std::move(server);
    qInstallMessageHandler(handleQtMessage);
}

} // namespace tidemark::linux_platform::live
