#pragma once

#include "app/AppDelegate.h"
#include "platform/linux/PollMainQueue.h"
#include "platform/linux/i3/I3Ipc.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace tidemark::bench {

// From the command that switches a workspace (over the i3 IPC, which sway speaks too) to the
// refreshed snapshot: the switch arrives as an event, the workspace posts its notification on
// `queue`, the observer refreshes and `delegate` receives a snapshot showing the new current
// space. Two workspaces of the focused output are switched back and forth by name, as
// `i3-msg workspace N` does; the manager's own part, until its command reply, is reported in
// the counter `replyCounter`, and the rest, from that reply to the snapshot, in
// `after_reply_ms`.
inline void measureSwitchToSnapshot(benchmark::State& state, linux_platform::i3::Client& commands,
                                    linux_platform::PollMainQueue& queue,
                                    const AppDelegate& delegate, const char* replyCounter) {
    namespace i3 = linux_platform::i3;
    const auto workspaces = commands.request(i3::MessageType::GetWorkspaces);
    if (!workspaces) {
        state.SkipWithError("the window manager does not list its workspaces");
        return;
    }
    std::string output;
    for (const auto& w : *workspaces)
        if (w.value("focused", false))
            output = w.value("output", "");
    std::vector<std::pair<std::string, std::string>> targets; // name, space id
    for (const auto& w : *workspaces)
        if (w.value("output", "") == output)
            targets.emplace_back(w.value("name", ""), std::to_string(w.value("id", 0LL)));
    if (targets.size() < 2) {
        state.SkipWithError("skipped: the focused output needs two workspaces");
        return;
    }
    auto shows = [&](const std::string& id) {
        for (const auto& space : delegate.latestSpaces())
            if (space.spaceID == id)
                return space.isCurrentSpace;
        return false;
    };
    std::size_t next = 0;
    double commandSeconds = 0;
    double afterReplySeconds = 0;
    for (auto _ : state) {
        // Let the follow-up refreshes of the last switch (activation bursts reach 0.6 s) and
        // what starting to follow the desktop's events brought run outside the measured time,
        // so that each switch starts from a quiet queue.
        queue.runUntil([] { return false; }, 0.7);
        next = (next + 1) % 2;
        const auto& [name, id] = targets[next];
        const auto start = std::chrono::steady_clock::now();
        commands.request(i3::MessageType::RunCommand, "workspace " + name);
        const auto replied = std::chrono::steady_clock::now();
        commandSeconds += std::chrono::duration<double>(replied - start).count();
        const bool shown = queue.runUntil([&] { return shows(id); }, 2.0);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        afterReplySeconds += std::chrono::duration<double>(elapsed).count() -
                             std::chrono::duration<double>(replied - start).count();
        if (!shown) {
            state.SkipWithError("the switch never showed in a snapshot");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters[replyCounter] = benchmark::Counter(commandSeconds * 1000 / iterations);
    // Ours: from the manager's reply to the snapshot, switch by switch.
    state.counters["after_reply_ms"] = benchmark::Counter(afterReplySeconds * 1000 / iterations);
}

} // namespace tidemark::bench
