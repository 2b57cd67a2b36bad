#pragma once

#include <string>

namespace tidemark {

enum class ScriptOutcome { DoesNotCompile, Failed, Succeeded };

// Compiles and runs a script that drives another application. Calls may block; they run on
// a background queue. A platform without such scripting answers `DoesNotCompile`.
class ScriptRunner {
public:
    virtual ~ScriptRunner() = default;
    virtual ScriptOutcome run(const std::string& source) = 0;
};

} // namespace tidemark
