#include "platform/sim/SimActionLog.h"

namespace tidemark::sim {

namespace {

SimAction action(SimAction::Kind kind, std::int32_t pid, bool delivered) {
    SimAction made;
    made.kind = kind;
    made.pid = pid;
    made.delivered = delivered;
    return made;
}

} // namespace

SimAction SimAction::quitRequest(std::int32_t pid, bool force, bool delivered) {
    auto made = action(Kind::QuitRequest, pid, delivered);
    made.force = force;
    return made;
}

SimAction SimAction::signalSent(std::int32_t pid, int signal, bool delivered) {
    auto made = action(Kind::Signal, pid, delivered);
    made.signal = signal;
    return made;
}

SimAction SimAction::sleepTool(bool started) {
    return action(Kind::SleepTool, 0, started);
}

SimAction SimAction::sleepService(bool reached) {
    return action(Kind::SleepService, 0, reached);
}

SimAction SimAction::scriptRun(std::string source, bool compiled) {
    auto made = action(Kind::Script, 0, compiled);
    made.script = std::move(source);
    return made;
}

SimAction SimAction::moveRequest(std::int32_t pid, std::int64_t spaceID) {
    auto made = action(Kind::MoveRequest, pid, true);
    made.spaceID = spaceID;
    return made;
}

void SimActionLog::record(SimAction action) {
    action.at = clock_.now();
    std::lock_guard lock(mutex_);
    actions_.push_back(std::move(action));
}

std::vector<SimAction> SimActionLog::actions() const {
    std::lock_guard lock(mutex_);
    return actions_;
}

std::optional<nlohmann::ordered_json> replayLineFields(const SimAction& action) {
    switch (action.kind) {
    case SimAction::Kind::QuitRequest:
        if (!action.delivered)
            return std::nullopt;
        return nlohmann::ordered_json{
            {"kind", "quitRequest"}, {"pid", action.pid}, {"force", action.force}};
    case SimAction::Kind::Signal:
        // A probe only asks whether the process exists.
        if (action.signal == 0)
            return std::nullopt;
        return nlohmann::ordered_json{
            {"kind", "signal"}, {"pid", action.pid}, {"signal", action.signal}};
    case SimAction::Kind::SleepTool:
        return nlohmann::ordered_json{{"kind", "sleepRequest"}};
    case SimAction::Kind::MoveRequest:
        return nlohmann::ordered_json{{"kind", "moveRequest"},
                                      {"pid", action.pid},
                                      {"spaceID", std::to_string(action.spaceID)}};
    case SimAction::Kind::SleepService:
    case SimAction::Kind::Script:
        break;
    }
    return std::nullopt;
}

} // namespace tidemark::sim
