#include "platform/sim/SimWindowServer.h"

#include "platform/scenario/WindowServerAnswers.h"

namespace tidemark::sim {

void SimWindowServer::setDisplays(const std::optional<Value>& answer) {
    displays_ = readDisplays(answer);
}

void SimWindowServer::setWindows(const std::optional<Value>& answer) {
    windows_ = readWindows(answer, spacesKnown_);
}

} // namespace tidemark::sim
