#pragma once

#include "popover/ScriptRunner.h"

namespace tidemark::linux_platform {

// X11 desktops have no host that runs scripts against other applications: every script
// "does not compile", so a quit goes on to signals and a sleep ends after the power stages.
class NoScriptRunner final : public ScriptRunner {
public:
    ScriptOutcome run(const std::string&) override { return ScriptOutcome::DoesNotCompile; }
};

} // namespace tidemark::linux_platform
