#pragma once

#include "foundation/MainQueue.h"

#include <cstdint>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace tidemark::sim {

// One request that the simulated system received from the program, stamped with the
// virtual time at which it arrived.
struct SimAction {
    enum class Kind {
        QuitRequest,  // a polite or forced quit request to an app
        Signal,       // a signal to a process
        SleepTool,    // the power-management tool was started (the sleep procedure begins)
        SleepService, // the power-management service was asked
        Script,       // a script was handed to the scripting host
        MoveRequest   // an app's windows were asked to move to another space
    };

    TimeSeconds at = 0;
    Kind kind = Kind::QuitRequest;
    std::int32_t pid = 0;
    bool force = false;
    int signal = 0;
    bool delivered = false;
    std::string script;
    std::int64_t spaceID = 0;

    static SimAction quitRequest(std::int32_t pid, bool force, bool delivered);
    static SimAction signalSent(std::int32_t pid, int signal, bool delivered);
    static SimAction sleepTool(bool started);
    static SimAction sleepService(bool reached);
    static SimAction scriptRun(std::string source, bool compiled);
    static SimAction moveRequest(std::int32_t pid, std::int64_t spaceID);

    friend bool operator==(const SimAction&, const SimAction&) = default;
};

// Every request of the simulated workspace, kernel, power and scripting host, in order.
// Safe to record into from several threads.
class SimActionLog {
public:
    explicit SimActionLog(const MainQueue& clock) : clock_(clock) {}

    void record(SimAction action);
    std::vector<SimAction> actions() const;

private:
    const MainQueue& clock_;
    mutable std::mutex mutex_;
    std::vector<SimAction> actions_;
};

// The replay line of an action without its "at": {"kind": "quitRequest", "pid", "force"}
// for a delivered quit request, {"kind": "signal", "pid", "signal"} for every signal sent,
// {"kind": "sleepRequest"} when the sleep procedure starts, {"kind": "moveRequest", "pid",
// "spaceID"} for every move request; nothing for the other actions.
std::optional<nlohmann::ordered_json> replayLineFields(const SimAction& action);

} // namespace tidemark::sim
