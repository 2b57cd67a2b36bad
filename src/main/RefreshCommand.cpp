#include "main/Commands.h"
#include "platform/linux/session/ControlClient.h"
#include "platform/linux/session/ControlProtocol.h"
#include "platform/linux/session/SessionFiles.h"

#include <iostream>

namespace tidemark::cli {
namespace {

constexpr std::chrono::seconds kAnswerTimeout{2};

} // namespace

int runRefresh(Invocation) {
    using linux_platform::ControlAnswer;
    std::string error;
    const auto socket = linux_platform::displaySessionFile(".sock", error);
    if (!socket) {
        std::cerr << "tidemark refresh: " << error << "\n";
        return kExitFailure;
    }
    const auto answer = linux_platform::askRunningApp(*socket, "refresh", kAnswerTimeout);
    switch (answer.kind) {
    case ControlAnswer::Kind::Answered:
        if (answer.line == linux_platform::kOkReply)
            return kExitOk;
        std::cerr << "tidemark refresh: the app answered '" << answer.line << "'\n";
        return kExitFailure;
    case ControlAnswer::Kind::NoApp:
        std::cerr << "tidemark refresh: no Tidemark app runs on this display\n";
        return kExitFailure;
    case ControlAnswer::Kind::Silent:
        std::cerr << "tidemark refresh: the app on this display did not answer within "
                  << kAnswerTimeout.count() << " s\n";
        return kExitFailure;
    case ControlAnswer::Kind::Closed:
        std::cerr << "tidemark refresh: the app closed the connection without answering\n";
        return kExitFailure;
    }
    return kExitFailure;
}

} // namespace tidemark::cli
