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

void handleQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
    const bool lostServer = message.contains(QStringLiteral("X11 connection broke")) ||
                            message.contains(QStringLiteral("could not connect to display"));
    if (lostServer)
        std::cerr << "tidemark: lost the connection to the X server\n";
    if (type == QtFatalMsg) {
        if (!lostServer)
            std::cerr << "tidemark: " << message.toStdString() << "\n";
        std::_Exit(EXIT_FAILURE);
    }
    if (!lostServer && (type == QtCriticalMsg || type == QtWarningMsg) && printsWarnings)
        std::cerr << "tidemark: " << message.toStdString() << "\n";
}

} // namespace

void installQtMessageHandler(bool printWarnings) {
    printsWarnings = printWarnings;
    qInstallMessageHandler(handleQtMessage);
}

} // namespace tidemark::linux_platform::live
